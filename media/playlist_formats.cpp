#include "media/playlist_formats.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QUrl>
#include <QXmlStreamReader>

#include <map>

#include "support/paths.h"
#include "support/text.h"

namespace rilumo {

namespace {

bool isWindowsPath(const QString& s) {
    if (s.size() >= 2 && s[1] == u':' && s[0].isLetter() && s[0].unicode() < 128) return true;
    return s.startsWith(QStringLiteral("\\\\"));
}

// "scheme://...": a name with a colon in it stays a file name.
bool hasScheme(const QString& s) {
    static const QRegularExpression re(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    return re.match(s).hasMatch();
}

QString fromFileUri(const QString& uri) {
    const QUrl url(uri, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().compare(QLatin1String("file"), Qt::CaseInsensitive) != 0) return {};
    const QString host = url.host();
    if (!host.isEmpty() && host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0) return {};
    return url.path(QUrl::FullyDecoded);
}

QStringList lines(const QString& text) {
    return text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
}

QStringList readM3u(const QString& text, const QString& base) {
    QStringList out;
    for (const QString& line : lines(text)) {
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        const QString path = ResolveListEntry(line, base);
        if (!path.isEmpty()) out << path;
    }
    return out;
}

QStringList readOwn(const QString& text, const QString& base) {
    QStringList out;
    for (QString line : lines(text)) {
        if (line.startsWith(u'"')) line = line.size() >= 2 ? line.mid(1, line.size() - 2) : QString();
        const QString path = ResolveListEntry(line, base);
        if (!path.isEmpty()) out << path;
    }
    return out;
}

// "FileN=" in N order; NumberOfEntries is not trusted and a repeated N keeps
// its first value.
QStringList readPls(const QString& text, const QString& base) {
    std::map<long long, QString> files;
    bool inPlaylist = false;
    for (const QString& raw : lines(text)) {
        const QString line = TrimSpaces(raw);
        if (line.startsWith(u'[')) {
            inPlaylist = line.compare(QLatin1String("[playlist]"), Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inPlaylist) continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0) continue;
        const QString key = TrimSpaces(line.left(eq));
        if (!key.startsWith(QLatin1String("file"), Qt::CaseInsensitive)) continue;
        bool ok = false;
        const long long n = key.mid(4).toLongLong(&ok);
        if (!ok || key.size() == 4 || !key[4].isDigit()) continue;
        files.emplace(n, TrimSpaces(line.mid(eq + 1)));
    }
    QStringList out;
    for (const auto& [n, value] : files) {
        const QString path = ResolveListEntry(value, base);
        if (!path.isEmpty()) out << path;
    }
    return out;
}

// The first <location> of each <track>, whatever the namespace; a location
// is a URI reference, so a relative one is percent-decoded before use.
QStringList readXspf(const QByteArray& bytes, const QString& base) {
    QStringList out;
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
                const QString entry = hasScheme(loc) ? loc : QUrl::fromPercentEncoding(loc.toUtf8());
                const QString path = ResolveListEntry(entry, base);
                if (!path.isEmpty()) out << path;
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

QString ResolveListEntry(const QString& entry, const QString& baseFolder) {
    if (entry.isEmpty() || TrimSpaces(entry).isEmpty() || isWindowsPath(entry)) return {};
    if (hasScheme(entry)) return fromFileUri(entry);
    if (entry.startsWith(u'/')) return entry;
    return QDir::cleanPath(baseFolder + entry);
}

QString DecodeListText(PlaylistKind kind, const QByteArray& bytes) {
    // Some editors save "Unicode" text as UTF-16 with a byte-order mark.
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(QStringDecoder::Utf16);
        return utf16.decode(bytes);
    }
    QByteArray b = bytes;
    if (b.startsWith("\xEF\xBB\xBF")) b.remove(0, 3);
    // Lists from older players are often in a single-byte code page.
    if (kind == PlaylistKind::M3u || kind == PlaylistKind::Pls) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8.decode(b);
        if (!utf8.hasError()) return text;
        return QString::fromLatin1(b);
    }
    return QString::fromUtf8(b);
}

QStringList ParsePlaylist(PlaylistKind kind, const QByteArray& bytes, const QString& baseFolder) {
    switch (kind) {
    case PlaylistKind::Xspf: return readXspf(bytes, baseFolder);
    case PlaylistKind::Pls: return readPls(DecodeListText(kind, bytes), baseFolder);
    case PlaylistKind::M3u:
    case PlaylistKind::M3u8: return readM3u(DecodeListText(kind, bytes), baseFolder);
    case PlaylistKind::Own: break;
    }
    return readOwn(DecodeListText(kind, bytes), baseFolder);
}

}  // namespace rilumo
