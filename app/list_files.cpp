#include "app/playlist_commands.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include "support/file_ops.h"
#include "support/paths.h"

namespace rilumo {

namespace {
// Far above any real list; a bigger "list" is something else.
constexpr qint64 kMaxListBytes = 64 * 1024 * 1024;
constexpr qint64 kTextProbeBytes = 4096;
}  // namespace

QString ListFileProblem(const QString& file) {
    if (DirectoryExists(file)) return QStringLiteral("フォルダはプレイリストとして読み込めません。");
    if (!IsRegularFile(file)) return QStringLiteral("通常のファイルではありません。");
    QFile f;
    if (!OpenForRead(f, file)) return QStringLiteral("ファイルを開けません。");
    const QByteArray head = f.read(kTextProbeBytes);
    const bool utf16 = head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF");
    if (!utf16 && head.contains('\0')) return QStringLiteral("テキストファイルではありません。");
    return {};
}

QString ListBaseFolder(const QString& file) {
    const QString absolute = QDir::isRelativePath(file) ? QDir::currentPath() + u'/' + file : file;
    return FolderOf(QDir::cleanPath(absolute));
}

ListEntries ReadListEntries(const QString& file) {
    // A pipe or a device would hold the first read for good.
    if (!IsRegularFile(file)) return {};
    QFile f;
    if (!OpenForRead(f, file) || f.size() > kMaxListBytes) return {};
    return {ReadPlaylistEntries(PlaylistKindOf(file), f.readAll()), ListBaseFolder(file)};
}

QString ExistingEntryPath(const EntryReadings& entry, const QString& baseFolder) {
    // The probe's last answer is about the path chosen: no second look.
    bool found = false;
    const QString path = ChooseEntryPath(entry, baseFolder, [&found](const QString& p) {
        QString sheet;
        found = FileExists(p) == 1 || (SplitSheetTrackName(p, &sheet, nullptr) && FileExists(sheet) == 1);
        return found;
    });
    return found ? path : QString();
}

bool WriteListFile(const QString& file, const QStringList& paths, QString* error, QStringList* leftOut) {
    QSaveFile f(file);
    if (!f.open(QIODevice::WriteOnly)) {
        if (error) *error = f.errorString();
        return false;
    }
    for (const QString& p : paths) {
        if (p.contains(u'\n') || p.contains(u'\r')) {
            if (leftOut) *leftOut << p;
            continue;
        }
        f.write(PathToBytes(p));
        f.write("\r\n", 2);
    }
    if (!f.commit()) {
        if (error) *error = f.errorString();
        return false;
    }
    return true;
}

}  // namespace rilumo
