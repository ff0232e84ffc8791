#include "media/playlist_formats.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>

#include <map>

#include "support/legacy_text.h"
#include "support/paths.h"
#include "support/text.h"

namespace rilumo {

namespace {

// No path on this platform is longer; a longer line names no file.
constexpr qsizetype kMaxLineBytes = 32768;

bool isWindowsPath(const QString& s) {
    if (s.size() >= 2 && s[1] == u':' && s[0].isLetter() && s[0].unicode() < 128) return true;
    return s.startsWith(QStringLiteral("\\\\"));
}

// "scheme://...": a name with a colon in it stays a file name.
bool hasScheme(const QString& s) {
    static const QRegularExpression re(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    return re.match(s).hasMatch();
}

bool isRelative(const QString& s) {
    return !s.isEmpty() && !s.startsWith(u'/') && !isWindowsPath(s) && !hasScheme(s);
}

bool isCp932Lead(char16_t raw) {
    const unsigned b = raw & 0xFF;
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// "\" as separators. In a name kept as raw CP932 bytes a 0x5C may be the
// second byte of a character, so the byte after a lead byte stays.
QString withSlashes(const QString& entry) {
    QString out = entry;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const char16_t c = out[i].unicode();
        if (c >= 0xDC80 && c <= 0xDCFF && isCp932Lead(c)) {
            ++i;
        } else if (c == u'\\') {
            out[i] = u'/';
        }
    }
    return out;
}

// Valid UTF-8 is read only as UTF-8; anything else as CP932 text, as
// Latin-1, and as the bytes of a name on disk that is not UTF-8 itself.
EntryReadings readingsOf(const QByteArray& line) {
    const QString asName = PathFromBytes(line);
    if (!HasRawBytes(asName)) return {asName};
    EntryReadings out;
    bool ok = false;
    const QString cp932 = DecodeCp932(line, &ok);
    if (ok) out << cp932;
    out << QString::fromLatin1(line) << asName;
    return out;
}

std::vector<EntryReadings> byteLines(QByteArray bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    std::vector<EntryReadings> out;
    qsizetype pos = 0;
    const qsizetype n = bytes.size();
    while (pos < n) {
        qsizetype end = pos;
        while (end < n && bytes[end] != '\r' && bytes[end] != '\n') ++end;
        if (end - pos > kMaxLineBytes)
            out.push_back({QString()});
        else
            out.push_back(readingsOf(bytes.mid(pos, end - pos)));
        pos = end + 1;
        if (end < n && bytes[end] == '\r' && pos < n && bytes[pos] == '\n') ++pos;
    }
    return out;
}

std::vector<EntryReadings> utf16Lines(const QByteArray& bytes) {
    QStringDecoder utf16(QStringDecoder::Utf16);
    const QString text = utf16.decode(bytes);
    std::vector<EntryReadings> out;
    for (const QString& line : text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n"))))
        out.push_back({line.size() > kMaxLineBytes ? QString() : line});
    if (!out.empty() && out.back().first().isEmpty()) out.pop_back();
    return out;
}

// The lines of a list, each in its readings. Some editors save "Unicode"
// text as UTF-16 with a byte-order mark; other lists mix encodings line by
// line, as entries were appended by different programs.
std::vector<EntryReadings> lines(const QByteArray& bytes) {
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) return utf16Lines(bytes);
    return byteLines(bytes);
}

std::vector<EntryReadings> readM3u(const QByteArray& bytes) {
    std::vector<EntryReadings> out;
    for (EntryReadings& line : lines(bytes)) {
        const QString& first = line.first();
        if (first.isEmpty() || first.startsWith(u'#')) continue;
        out.push_back(std::move(line));
    }
    return out;
}

std::vector<EntryReadings> readOwn(const QByteArray& bytes) {
    std::vector<EntryReadings> out = lines(bytes);
    for (EntryReadings& line : out) {
        for (QString& r : line)
            if (r.startsWith(u'"')) r = r.size() >= 2 ? r.mid(1, r.size() - 2) : QString();
    }
    return out;
}

// "FileN=" in N order; NumberOfEntries is not trusted and a repeated N keeps
// its first value.
std::vector<EntryReadings> readPls(const QByteArray& bytes) {
    std::map<long long, EntryReadings> files;
    bool inPlaylist = false;
    for (const EntryReadings& raw : lines(bytes)) {
        const QString line = TrimSpaces(raw.first());
        if (line.startsWith(u'[')) {
            inPlaylist = line.compare(QLatin1String("[playlist]"), Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (!inPlaylist || eq < 0) continue;
        const QString key = TrimSpaces(line.left(eq));
        if (!key.startsWith(QLatin1String("file"), Qt::CaseInsensitive)) continue;
        bool ok = false;
        const long long n = key.mid(4).toLongLong(&ok);
        if (!ok || key.size() == 4 || !key[4].isDigit()) continue;
        // The key is ASCII, so every reading has its "=" at the key's end.
        EntryReadings values;
        for (const QString& r : raw) values << TrimSpaces(r.mid(r.indexOf(u'=') + 1));
        files.emplace(n, values);
    }
    std::vector<EntryReadings> out;
    for (auto& [n, values] : files) out.push_back(std::move(values));
    return out;
}

// A location is a URI reference: a relative one is percent-decoded to the
// name's bytes before use.
QString xspfEntry(const QString& location) {
    if (hasScheme(location)) return location;
    return PathFromBytes(QByteArray::fromPercentEncoding(PathToBytes(location)));
}

// The first <location> of each <track>, whatever the namespace.
std::vector<EntryReadings> readXspf(const QByteArray& bytes) {
    std::vector<EntryReadings> out;
    QXmlStreamReader xml(bytes);
    int trackDepth = -1, depth = 0;
    bool taken = false;
    while (!xml.atEnd() && !xml.hasError()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            if (xml.name() == QLatin1String("track") && trackDepth < 0) {
                trackDepth = depth;
                taken = false;
            } else if (xml.name() == QLatin1String("location") && trackDepth >= 0 && !taken) {
                taken = true;
                const QString loc = TrimSpaces(xml.readElementText(QXmlStreamReader::SkipChildElements));
                --depth;  // readElementText consumed the end element
                out.push_back({xspfEntry(loc)});
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (depth == trackDepth) trackDepth = -1;
            --depth;
        }
    }
    return out;  // a broken document keeps the tracks read before the fault
}

}  // namespace

PlaylistKind PlaylistKindOf(const QString& listPath) {
    const QString e = LowerExtension(listPath);
    if (e == u"m3u") return PlaylistKind::M3u;
    if (e == u"m3u8") return PlaylistKind::M3u8;
    if (e == u"pls") return PlaylistKind::Pls;
    if (e == u"xspf") return PlaylistKind::Xspf;
    return PlaylistKind::Own;
}

bool IsForeignPlaylist(const QString& path) { return PlaylistKindOf(path) != PlaylistKind::Own; }

bool IsListFile(const QString& path) {
    const QString e = LowerExtension(path);
    return IsForeignPlaylist(path) || e == u"lst" || e == u"rnl";
}

QString ResolveListEntry(const QString& entry, const QString& baseFolder) {
    if (entry.isEmpty() || TrimSpaces(entry).isEmpty() || isWindowsPath(entry)) return {};
    if (hasScheme(entry)) return PathFromFileUri(entry);
    if (entry.startsWith(u'/')) return entry;
    return QDir::cleanPath(baseFolder + entry);
}

std::vector<EntryReadings> ReadPlaylistEntries(PlaylistKind kind, const QByteArray& bytes) {
    switch (kind) {
    case PlaylistKind::Xspf: return readXspf(bytes);
    case PlaylistKind::Pls: return readPls(bytes);
    case PlaylistKind::M3u:
    case PlaylistKind::M3u8: return readM3u(bytes);
    case PlaylistKind::Own: break;
    }
    return readOwn(bytes);
}

QString ChooseEntryPath(const EntryReadings& readings, const QString& baseFolder, const PathProbe& exists) {
    QString first;
    for (const QString& r : readings) {
        const QString asWritten = ResolveListEntry(r, baseFolder);
        if (!asWritten.isEmpty()) {
            if (!exists || exists(asWritten)) return asWritten;
            if (first.isEmpty()) first = asWritten;
        }
        if (!exists || !isRelative(r) || !r.contains(u'\\')) continue;
        const QString slashed = QDir::cleanPath(baseFolder + withSlashes(r));
        if (exists(slashed)) return slashed;
    }
    return first;
}

QStringList ParsePlaylist(PlaylistKind kind, const QByteArray& bytes, const QString& baseFolder,
                          const PathProbe& exists) {
    QStringList out;
    for (const EntryReadings& entry : ReadPlaylistEntries(kind, bytes)) {
        const QString path = ChooseEntryPath(entry, baseFolder, exists);
        if (!path.isEmpty()) out << path;
    }
    return out;
}

QString SheetTrackName(const QString& sheetPath, int trackNumber, const PathProbe& exists) {
    constexpr int kMaxDigits = 8;
    QString name;
    for (int digits = 2; digits <= kMaxDigits; ++digits) {
        name = sheetPath + u'#' + QStringLiteral("%1").arg(trackNumber, digits, 10, QChar(u'0'));
        if (!exists || !exists(name)) break;
    }
    return name;
}

bool SplitSheetTrackName(const QString& entry, QString* sheetPath, int* trackNumber) {
    const qsizetype hash = entry.lastIndexOf(u'#');
    const qsizetype digits = entry.size() - hash - 1;
    if (hash < 1 || digits < 2 || digits > 8) return false;
    int n = 0;
    for (qsizetype i = hash + 1; i < entry.size(); ++i) {
        if (entry[i] < u'0' || entry[i] > u'9') return false;
        n = n * 10 + (entry[i].unicode() - u'0');
    }
    if (n > 999) return false;
    if (sheetPath) *sheetPath = entry.left(hash);
    if (trackNumber) *trackNumber = n;
    return true;
}

}  // namespace rilumo
