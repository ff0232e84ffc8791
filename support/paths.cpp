#include "support/paths.h"

#include <QCoreApplication>
#include <QDir>

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

}  // namespace rilumo
