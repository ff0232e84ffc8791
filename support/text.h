#pragma once
// Text trimming as the stored formats expect it: "trimmed" means the space
// character only, so tabs and other whitespace a user stored stay part of
// the value.

#include <QString>

namespace rilumo {

QString TrimSpaces(const QString& text);

}  // namespace rilumo
