#include "media/cue_sheet.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

#include <optional>

#include "media/file_types.h"
#include "support/file_ops.h"
#include "support/legacy_text.h"

namespace rilumo {

namespace {

// Longer times are no disc's: such a line is junk, and the limit keeps every
// product of frames and rates far inside 64 bits.
constexpr std::int64_t kMaxMinutes = 99999;

// UTF-16 written without a byte-order mark shows as a zero in every other
// byte of plain text.
std::optional<QStringConverter::Encoding> bareUtf16(const QByteArray& bytes) {
    const qsizetype n = std::min<qsizetype>(bytes.size() & ~qsizetype(1), 512);
    if (n < 4) return std::nullopt;
    int evenZeros = 0;
    int oddZeros = 0;
    for (qsizetype i = 0; i < n; i += 2) {
        evenZeros += bytes[i] == 0;
        oddZeros += bytes[i + 1] == 0;
    }
    const int half = static_cast<int>(n / 2);
    if (oddZeros * 10 >= half * 7 && evenZeros == 0) return QStringConverter::Utf16LE;
    if (evenZeros * 10 >= half * 7 && oddZeros == 0) return QStringConverter::Utf16BE;
    return std::nullopt;
}

// A quoted value loses its quotes; an unclosed quote runs to the line's end.
QString unquoted(QStringView text) {
    text = text.trimmed();
    if (!text.startsWith(u'"')) return text.toString();
    text = text.mid(1);
    const qsizetype close = text.lastIndexOf(u'"');
    return (close >= 0 ? text.left(close) : text).toString();
}

// FILE "name" TYPE, or FILE name with blanks TYPE.
QString fileName(QStringView rest) {
    rest = rest.trimmed();
    if (rest.startsWith(u'"')) {
        const qsizetype close = rest.indexOf(u'"', 1);
        return (close > 0 ? rest.mid(1, close - 1) : rest.mid(1)).toString();
    }
    const qsizetype last = rest.lastIndexOf(u' ');
    return (last > 0 ? rest.left(last) : rest).trimmed().toString();
}

std::optional<int> smallNumber(QStringView text, int max) {
    if (text.isEmpty() || text.size() > 6) return std::nullopt;
    int v = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
        v = v * 10 + (c.unicode() - u'0');
    }
    if (v > max) return std::nullopt;
    return v;
}

// mm:ss:ff, minutes unbounded by two digits.
std::optional<std::int64_t> frames(QStringView text) {
    const auto parts = text.split(u':');
    if (parts.size() != 3) return std::nullopt;
    const auto m = smallNumber(parts[0], kMaxMinutes);
    const auto s = smallNumber(parts[1], 59);
    const auto f = smallNumber(parts[2], kCueFramesPerSecond - 1);
    if (!m || !s || !f) return std::nullopt;
    return (std::int64_t{*m} * 60 + *s) * kCueFramesPerSecond + *f;
}

bool playable(const QString& path) { return FileTypeCode(path) != 0 && IsRegularFile(path); }

// Finds the file a FILE line means: as written, with Windows separators
// turned, by its bare name in the sheet's folder, then by its name in any
// letter case or its stem with another playable extension (a disc ripped to
// WAVE and later re-encoded keeps its old sheet).
class FileFinder {
public:
    explicit FileFinder(QString folder) : folder_(std::move(folder)) {}

    QString Find(const QString& written) {
        if (written.isEmpty()) return {};
        QString turned = written;
        turned.replace(u'\\', u'/');
        const QString bare = turned.section(u'/', -1);
        for (const QString& c : {written, turned, bare}) {
            if (c.isEmpty()) continue;
            const QString path = QDir::isAbsolutePath(c) ? c : QDir(folder_).filePath(c);
            if (playable(path)) return QDir::cleanPath(path);
        }
        const QString writtenDir = QDir::isAbsolutePath(turned) ? QString() : turned.section(u'/', 0, -2);
        if (!writtenDir.isEmpty()) {
            if (QString found = Similar(QDir(folder_).filePath(writtenDir), bare); !found.isEmpty()) return found;
        }
        return Similar(folder_, bare);
    }

private:
    QString Similar(const QString& dir, const QString& bare) {
        if (bare.isEmpty()) return {};
        auto listed = listings_.find(dir);
        if (listed == listings_.end()) listed = listings_.insert(dir, QDir(dir).entryList(QDir::Files, QDir::Name));
        const QString stem = QFileInfo(bare).completeBaseName();
        for (const bool byStem : {false, true}) {
            for (const QString& e : *listed) {
                const bool same = byStem ? QFileInfo(e).completeBaseName().compare(stem, Qt::CaseInsensitive) == 0
                                         : e.compare(bare, Qt::CaseInsensitive) == 0;
                const QString path = QDir(dir).filePath(e);
                if (same && playable(path)) return QDir::cleanPath(path);
            }
        }
        return {};
    }

    QString folder_;
    QHash<QString, QStringList> listings_;  // folder listings, made once each
};

struct PendingTrack {
    CueTrack track;
    bool audio = false;
    bool started = false;
    int pregapFile = -1;
};

class Reader {
public:
    explicit Reader(const QString& folder) : finder_(folder) {}

    void Line(QStringView line) {
        line = line.trimmed();
        const qsizetype space = line.indexOf(u' ');
        const QString command = (space < 0 ? line : line.left(space)).toString().toUpper();
        const QStringView rest = space < 0 ? QStringView() : line.mid(space + 1).trimmed();
        if (command == u"FILE") return File(fileName(rest));
        if (command == u"TRACK") return Track(rest);
        if (command == u"INDEX") return Index(rest);
        if (command == u"TITLE") return Text(unquoted(rest), &CueSheet::title, &CueTrack::title);
        if (command == u"PERFORMER") return Text(unquoted(rest), &CueSheet::performer, &CueTrack::performer);
        if (command == u"REM") return Remark(rest);
    }

    CueSheet Finish() {
        for (PendingTrack& p : pending_) Keep(p);
        SetEnds();
        if (sheet_.tracks.empty()) sheet_.failure = Failure();
        return std::move(sheet_);
    }

private:
    void File(const QString& written) {
        sheet_.files << written;
        paths_ << finder_.Find(written);
    }

    void Track(QStringView rest) {
        const auto parts = rest.split(u' ', Qt::SkipEmptyParts);
        const auto number = parts.isEmpty() ? std::nullopt : smallNumber(parts[0], 999);
        if (!number) return;
        PendingTrack p;
        p.track.number = *number;
        p.audio = parts.size() > 1 && parts[1].compare(u"AUDIO", Qt::CaseInsensitive) == 0;
        pending_.push_back(std::move(p));
    }

    void Index(QStringView rest) {
        const auto parts = rest.split(u' ', Qt::SkipEmptyParts);
        if (pending_.empty() || parts.size() != 2 || paths_.isEmpty()) return;
        const auto number = smallNumber(parts[0], 99);
        const auto at = frames(parts[1]);
        if (!number || !at) return;
        PendingTrack& p = pending_.back();
        const int file = static_cast<int>(paths_.size()) - 1;
        // Indexes come in order: an INDEX 00 after the start is junk.
        if (*number == 0 && !p.started) {
            p.track.pregap = *at;
            p.pregapFile = file;
        } else if (*number == 1 && !p.started) {
            p.started = true;
            p.track.start = *at;
            p.track.file = paths_.back();
            if (p.pregapFile != file || p.track.pregap > *at) p.track.pregap = -1;
        }
    }

    void Text(const QString& value, QString CueSheet::*sheetField, QString CueTrack::*trackField) {
        if (pending_.empty()) {
            sheet_.*sheetField = value;
        } else {
            pending_.back().track.*trackField = value;
        }
    }

    void Remark(QStringView rest) {
        const qsizetype space = rest.indexOf(u' ');
        if (space < 0) return;
        const QString key = rest.left(space).toString().toUpper();
        const QString value = unquoted(rest.mid(space + 1));
        if (key == u"DATE") sheet_.date = value;
        if (key == u"GENRE") sheet_.genre = value;
        if (key == u"REPLAYGAIN_ALBUM_GAIN") album_.albumGain = ParseGainText(value);
        if (key == u"REPLAYGAIN_ALBUM_PEAK") album_.albumPeak = ParsePeakText(value);
        if (pending_.empty()) return;
        ReplayGainTags& g = pending_.back().track.gains;
        if (key == u"REPLAYGAIN_TRACK_GAIN") g.trackGain = ParseGainText(value);
        if (key == u"REPLAYGAIN_TRACK_PEAK") g.trackPeak = ParsePeakText(value);
    }

    // A track plays when it is audio, has its start and its file was found,
    // and starts after the track before it in the same file.
    void Keep(PendingTrack& p) {
        if (!p.audio || !p.started || p.track.file.isEmpty()) return;
        const auto& kept = sheet_.tracks;
        if (!kept.empty() && kept.back().file == p.track.file && kept.back().start >= p.track.start) return;
        if (p.track.performer.isEmpty()) p.track.performer = sheet_.performer;
        p.track.gains.albumGain = album_.albumGain;
        p.track.gains.albumPeak = album_.albumPeak;
        sheet_.tracks.push_back(std::move(p.track));
    }

    void SetEnds() {
        auto& t = sheet_.tracks;
        for (size_t i = 0; i + 1 < t.size(); ++i) {
            if (t[i + 1].file == t[i].file) t[i].end = t[i + 1].start;
        }
    }

    QString Failure() const {
        if (sheet_.files.isEmpty()) return QStringLiteral("the sheet names no file");
        QStringList missing;
        for (qsizetype i = 0; i < paths_.size(); ++i) {
            if (paths_[i].isEmpty()) missing << sheet_.files[i];
        }
        if (missing.size() == paths_.size()) return QStringLiteral("no playable file: ") + missing.join(u", ");
        return QStringLiteral("no audio track in a file that was found");
    }

    FileFinder finder_;
    CueSheet sheet_;
    QStringList paths_;  // the found path of each FILE, empty when missing
    std::vector<PendingTrack> pending_;
    ReplayGainTags album_;
};

}  // namespace

QString DecodeCueText(const QByteArray& bytes) {
    if (const auto utf16 = bareUtf16(bytes)) return QStringDecoder(*utf16).decode(bytes);
    return DecodeUnknownText(bytes);
}

CueSheet ParseCueSheet(const QByteArray& bytes, const QString& folder) {
    QString text = DecodeCueText(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(u'\t', u' ');
    Reader reader(folder);
    for (QStringView line : QStringView(text).tokenize(u'\n')) reader.Line(line);
    return reader.Finish();
}

std::int64_t CueFramesToSamples(std::int64_t frames, int rate) {
    if (frames <= 0 || rate <= 0) return 0;
    const std::int64_t product = frames * rate;
    const std::int64_t q = product / kCueFramesPerSecond;
    // 75 is odd: a remainder is never exactly half.
    return 2 * (product % kCueFramesPerSecond) > kCueFramesPerSecond ? q + 1 : q;
}

std::int64_t CueFramesToMs(std::int64_t frames) { return CueFramesToSamples(frames, 1000); }

}  // namespace rilumo
