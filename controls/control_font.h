#pragma once
// The one place where the drawn controls turn a size/bold/italic/face
// request into a font: the default family at that size, or, when the program
// substitutes fonts, the shared entry of the font table.

#include <QFont>
#include <QString>

namespace rilumo {

// size in points; an empty face keeps the application's default family.
QFont ControlFont(double size, bool bold, bool italic, const QString& face);

}  // namespace rilumo
