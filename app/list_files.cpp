#include "app/playlist_commands.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include "media/playlist_formats.h"
#include "support/file_ops.h"
#include "support/paths.h"

namespace rilumo {

namespace {
// No path on this platform is longer; a longer line names no file.
constexpr qsizetype kMaxLineBytes = 32768;
constexpr qint64 kChunk = 64 * 1024;
// Far above any real list; a bigger "list" is something else.
constexpr qint64 kMaxForeignListBytes = 64 * 1024 * 1024;
constexpr qint64 kTextProbeBytes = 4096;
}  // namespace

QString ListFileProblem(const QString& file) {
    const QFileInfo fi(file);
    if (fi.isDir()) return QStringLiteral("フォルダはプレイリストとして読み込めません。");
    if (!IsRegularFile(file)) return QStringLiteral("通常のファイルではありません。");
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return f.errorString();
    const QByteArray head = f.read(kTextProbeBytes);
    const bool utf16 = head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF");
    if (!utf16 && head.contains('\0')) return QStringLiteral("テキストファイルではありません。");
    return {};
}

QString ListBaseFolder(const QString& file) { return QFileInfo(file).absolutePath() + u'/'; }

QStringList ReadForeignList(const QString& file) {
    if (!IsRegularFile(file)) return {};
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxForeignListBytes) return {};
    return ParsePlaylist(PlaylistKindOf(file), f.readAll(), ListBaseFolder(file));
}

ListReader::ListReader(const QString& file) : file_(file) {
    if (!file_.open(QIODevice::ReadOnly)) eof_ = true;
}

bool ListReader::Fill() {
    if (eof_) return false;
    buf_.remove(0, pos_);
    pos_ = 0;
    const QByteArray more = file_.read(kChunk);
    if (more.isEmpty()) {
        eof_ = true;
        return false;
    }
    buf_ += more;
    return true;
}

bool ListReader::Next(QString& line) {
    QByteArray bytes;
    bool overlong = false;
    for (;;) {
        if (pos_ >= buf_.size() && !Fill()) {
            if (bytes.isEmpty() && !overlong) return false;
            break;
        }
        const qsizetype start = pos_;
        while (pos_ < buf_.size() && buf_[pos_] != '\r' && buf_[pos_] != '\n') ++pos_;
        if (!overlong) bytes.append(buf_.constData() + start, pos_ - start);
        if (bytes.size() > kMaxLineBytes) {
            overlong = true;
            bytes.clear();
        }
        if (pos_ < buf_.size()) {
            const bool cr = buf_[pos_] == '\r';
            ++pos_;
            if (cr) {
                if (pos_ >= buf_.size()) Fill();
                if (pos_ < buf_.size() && buf_[pos_] == '\n') ++pos_;
            }
            break;
        }
    }
    line = overlong ? QString() : QString::fromUtf8(bytes);
    // A lone quote is an empty line, not the end of the list.
    if (line.startsWith(u'"')) line = line.size() >= 2 ? line.mid(1, line.size() - 2) : QString();
    return true;
}

bool WriteListFile(const QString& file, const QStringList& paths, QString* error) {
    QSaveFile f(file);
    if (!f.open(QIODevice::WriteOnly)) {
        if (error) *error = f.errorString();
        return false;
    }
    for (const QString& p : paths) {
        f.write(p.toUtf8());
        f.write("\r\n", 2);
    }
    if (!f.commit()) {
        if (error) *error = f.errorString();
        return false;
    }
    return true;
}

}  // namespace rilumo
