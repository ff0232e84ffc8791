#pragma once

#include <QString>

namespace rilumo {

// Appends one stamped line to sirel.err (isError) or sirel.log in the log
// folder, when force or the LogError switch is set. Never reports a failure
// unless the error-catch flag is on.
void WriteLog(const QString& text, int isError, int force);

// The folder the log lives in: <program folder>/log, or, when the program
// folder is not writable, $XDG_STATE_HOME/sirel/log. Ends with the separator.
QString LogFolder();

// The application title that names the log files and the settings.
inline constexpr const char* kAppTitle = "sirel";
inline constexpr const char* kCompanyName = "Korvent";

}  // namespace rilumo
