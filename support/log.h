#pragma once

#include <QString>

#include <vector>

namespace rilumo {

// Appends one stamped line to sirel.err (isError) or sirel.log in the log
// folder, when force or the LogError switch is set. Never reports a failure
// unless the error-catch flag is on.
void WriteLog(const QString& text, int isError, int force);

// While one lives, the lines this thread writes are kept instead, for its
// owner to write later or drop: work done ahead of time (a file prepared for
// playback before it is needed) logs only if it is used.
class HeldLog {
public:
    struct Line {
        QString text;
        int isError = 0;
        int force = 0;
    };
    HeldLog();
    ~HeldLog();
    HeldLog(const HeldLog&) = delete;
    HeldLog& operator=(const HeldLog&) = delete;
    std::vector<Line> Take();

private:
    HeldLog* outer_;
    std::vector<Line> lines_;
    friend void WriteLog(const QString&, int, int);
};

void WriteLines(const std::vector<HeldLog::Line>& lines);

// The folder the log lives in: <program folder>/log, or, when the program
// folder is not writable, $XDG_STATE_HOME/sirel/log. Ends with the separator.
QString LogFolder();

// The application title that names the log files and the settings.
inline constexpr const char* kAppTitle = "sirel";
inline constexpr const char* kCompanyName = "Korvent";

}  // namespace rilumo
