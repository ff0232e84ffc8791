#pragma once
// The one place where the drawn controls turn a size/bold/italic/face
// request into a font, so that the program's font service can take over
// without touching the controls.

#include <QFont>
#include <QString>

namespace rilumo {

// size in points; an empty face keeps the application's default family.
QFont ControlFont(double size, bool bold, bool italic, const QString& face);

}  // namespace rilumo
