#include "support/log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <utility>

#include "support/error_trap.h"
#include "support/file_ops.h"
#include "support/globals.h"
#include "support/paths.h"
#include "support/time_format.h"

namespace rilumo {

namespace {

constexpr std::int64_t kMaxLogBytes = 1024000;

thread_local HeldLog* held = nullptr;

bool writableFolder(const QString& folder) {
    const QFileInfo fi(FixTrailingSlash(folder, true));
    return fi.isDir() && fi.isWritable();
}

QString stateFallback() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty()) state = QDir::homePath() + QStringLiteral("/.local/state");
    return FixTrailingSlash(state, false) + QString::fromLatin1(kAppTitle) + QStringLiteral("/log/");
}

}  // namespace

QString LogFolder() {
    const QString app = AppFolder();
    const QString inApp = app + QStringLiteral("log/");
    if (DirectoryExists(inApp)) return writableFolder(inApp) ? inApp : stateFallback();
    // Something else by that name (a file) could never become the folder.
    if (QFileInfo::exists(FixTrailingSlash(inApp, true))) return stateFallback();
    return writableFolder(app) ? inApp : stateFallback();
}

HeldLog::HeldLog() : outer_(held) { held = this; }
HeldLog::~HeldLog() { held = outer_; }
std::vector<HeldLog::Line> HeldLog::Take() { return std::exchange(lines_, {}); }

void WriteLines(const std::vector<HeldLog::Line>& lines) {
    for (const HeldLog::Line& l : lines) WriteLog(l.text, l.isError, l.force);
}

void WriteLog(const QString& text, int isError, int force) {
    if (held) {
        held->lines_.push_back({text, isError, force});
        return;
    }
    if (!force && !globals::LogError) return;
    Trap([&] {
        const QString folder = LogFolder();
        // The fallback lies deeper than one level; the program folder's does not.
        if (!DirectoryExists(folder) && !MakeDirectory(folder) && !QDir().mkpath(folder)) return;
        const QString path = folder + QString::fromLatin1(kAppTitle) +
                             QString::fromLatin1(isError ? ".err" : ".log");
        std::int64_t size = 0;
        FileSizeOf(path, size);
        if (size > kMaxLogBytes) RemoveFile(path);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) Fail("log file cannot be opened");
        const QString line = FormatDateTime(0, 0, 0, 0, 0, 0, 0) + u' ' + text + QStringLiteral("\r\n");
        f.write(line.toUtf8());
    });
}

}  // namespace rilumo
