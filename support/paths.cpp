#include "support/paths.h"

#include <QCoreApplication>
#include <QDir>

#include "support/legacy_text.h"
#include "support/text.h"

namespace rilumo {

namespace {
QString& appFolderOverride() {
    static QString folder;
    return folder;
}
}  // namespace

QString AppFolder() {
    if (!appFolderOverride().isEmpty()) return FixTrailingSlash(appFolderOverride(), false);
    QString dir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                               : QDir::currentPath();
    return FixTrailingSlash(dir, false);
}

void SetAppFolderForTesting(const QString& folder) { appFolderOverride() = folder; }

QString SystemFolder() {
    for (const char* dir : {"/usr/lib/x86_64-linux-gnu", "/usr/lib"}) {
        if (QDir(QString::fromLatin1(dir)).exists()) return FixTrailingSlash(QString::fromLatin1(dir), false);
    }
    return QStringLiteral("/");
}

QString FixTrailingSlash(const QString& path, bool remove) {
    if (TrimSpaces(path).isEmpty()) return {};
    if (remove) return path.endsWith(kSep) ? path.left(path.size() - 1) : path;
    return path.endsWith(kSep) ? path : path + kSep;
}

QString EnsureExtension(const QString& path, const QString& extension) {
    QString ext = TrimSpaces(extension);
    if (path.isEmpty()) return {};
    if (ext.isEmpty()) return path;
    if (!ext.startsWith(u'.')) ext.prepend(u'.');
    if (path.right(ext.size()).compare(ext, Qt::CaseInsensitive) == 0) return path;
    return path + ext.toLower();
}

QString SplitPath(const QString& path, int wantFolder, int addSlash, int wantBase, int wantDot,
                  int wantExtension, int caseMode) {
    if (path.isEmpty()) return {};
    // Views, so that a call allocates only its result: list fills call this per file.
    const QStringView all(path);
    const qsizetype slash = all.lastIndexOf(kSep);
    const QStringView folder = slash < 0 ? QStringView() : all.left(slash);
    const QStringView name = slash < 0 ? all : all.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    const QStringView base = dot < 0 ? name : name.left(dot);
    const QStringView ext = dot < 0 ? QStringView() : name.mid(dot + 1);

    QString result;
    result.reserve(path.size() + 1);
    if (wantFolder) result += folder;
    if (addSlash) result += kSep;
    if (wantBase) result += base;
    if (wantDot && dot >= 0) result += u'.';
    if (wantExtension) result += ext;
    if (caseMode == 1) return result.toLower();
    if (caseMode == 2) return result.toUpper();
    return result;
}

QString CutAtNul(const QString& text) {
    QString t = TrimSpaces(text);
    const qsizetype nul = t.indexOf(QChar(0));
    return nul < 0 ? t : t.left(nul);
}

namespace {

constexpr char16_t kRawFirst = 0xDC80;
constexpr char16_t kRawLast = 0xDCFF;

bool isRaw(char16_t c) { return c >= kRawFirst && c <= kRawLast; }
// A raw byte, not the low half of a real surrogate pair.
bool rawAt(const QString& s, qsizetype i) {
    return isRaw(s[i].unicode()) && !(i > 0 && QChar::isHighSurrogate(s[i - 1].unicode()));
}
bool isCont(unsigned char c) { return (c & 0xC0) == 0x80; }

// Length of the well-formed UTF-8 sequence at p (no overlong forms, no
// surrogates, nothing past U+10FFFF), or 0.
int sequenceLength(const unsigned char* p, qsizetype left) {
    const unsigned char b = p[0];
    if (b < 0x80) return 1;
    int len = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3;
        if (b == 0xE0) lo = 0xA0;
        if (b == 0xED) hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4;
        if (b == 0xF0) lo = 0x90;
        if (b == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    if (left < len || p[1] < lo || p[1] > hi) return 0;
    for (int i = 2; i < len; ++i)
        if (!isCont(p[i])) return 0;
    return len;
}

bool allAscii(const QByteArray& bytes) {
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

QByteArray decodePercents(const QByteArray& text) { return QByteArray::fromPercentEncoding(text); }

}  // namespace

QString PathFromBytes(const QByteArray& bytes) {
    if (allAscii(bytes)) return QString::fromLatin1(bytes);
    QString out;
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const int len = sequenceLength(p + i, n - i);
        if (len == 0) {
            out += QChar(char16_t(0xDC00 | p[i]));
            ++i;
            continue;
        }
        // By hand: Qt's own decoder would drop a byte-order mark, which in a
        // name is part of the name.
        char32_t cp = len == 1 ? p[i] : p[i] & (0x7F >> len);
        for (int k = 1; k < len; ++k) cp = (cp << 6) | (p[i + k] & 0x3F);
        for (const char16_t unit : QChar::fromUcs4(cp)) out += QChar(unit);
        i += len;
    }
    return out;
}

QByteArray PathToBytes(const QString& path) {
    if (!HasRawBytes(path)) return path.toUtf8();
    QByteArray out;
    out.reserve(path.size() * 3);
    const qsizetype n = path.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = path[i].unicode();
        if (rawAt(path, i)) {
            out += char(c & 0xFF);
            continue;
        }
        const bool pair = QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(path[i + 1].unicode());
        const qsizetype len = pair ? 2 : 1;
        out += QStringView(path).mid(i, len).toUtf8();
        i += len - 1;
    }
    return out;
}

bool HasRawBytes(const QString& path) {
    const qsizetype n = path.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (rawAt(path, i)) return true;
    }
    return false;
}

QByteArray FileUriOf(const QString& absolutePath) {
    return QByteArrayLiteral("file://") + PathToBytes(absolutePath).toPercentEncoding("/");
}

QString PathFromFileUri(const QByteArray& uri) {
    if (uri.size() < 6 || qstrnicmp(uri.constData(), "file:", 5) != 0) return {};
    QByteArray rest = uri.mid(5);
    const qsizetype end = rest.indexOf('#');
    if (end >= 0) rest.truncate(end);
    const qsizetype query = rest.indexOf('?');
    if (query >= 0) rest.truncate(query);
    if (rest.startsWith("//")) {
        const qsizetype slash = rest.indexOf('/', 2);
        const QByteArray host = rest.mid(2, slash < 0 ? -1 : slash - 2);
        if (!host.isEmpty() && host.compare("localhost", Qt::CaseInsensitive) != 0) return {};
        rest = slash < 0 ? QByteArray() : rest.mid(slash);
    }
    if (!rest.startsWith('/')) return {};
    return PathFromBytes(decodePercents(rest));
}

QString PathFromFileUri(const QString& uri) { return PathFromFileUri(PathToBytes(uri)); }

QString DisplayName(const QString& name) {
    if (!HasRawBytes(name)) return name;
    bool ok = false;
    const QString decoded = DecodeCp932(PathToBytes(name), &ok);
    if (ok) return decoded;
    QString shown;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (rawAt(name, i))
            shown += QStringLiteral("\\x") + QString::number(name[i].unicode() & 0xFF, 16).toUpper();
        else
            shown += name[i];
    }
    return shown;
}

}  // namespace rilumo
