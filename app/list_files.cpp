#include "app/playlist_commands.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include "support/paths.h"

namespace rilumo {

std::int32_t FileTypeCode(const QString& path) {
    static const struct {
        const char* ext;
        std::int32_t code;
    } kTable[] = {{"wav", 1},  {"mp1", 2},  {"mp2", 3},  {"mp3", 4},  {"aif", 5},  {"aiff", 5},
                  {"snd", 5},  {"asf", 5},  {"wma", 5},  {"m4a", 5},  {"m1v", 6},  {"m2v", 6},
                  {"mpg", 6},  {"mpeg", 6}, {"avi", 7},  {"wmv", 7},  {"asx", 7},  {"mid", 8},
                  {"midi", 8}, {"smf", 8}};
    const QString ext = LowerExtension(path);
    for (const auto& e : kTable)
        if (ext == QLatin1String(e.ext)) return e.code;
    return 0;
}

namespace {
// No path on this platform is longer; a longer line names no file.
constexpr qsizetype kMaxLineBytes = 32768;
constexpr qint64 kChunk = 64 * 1024;
}  // namespace

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
