#include "support/paths.h"

#include <QCoreApplication>
#include <QDir>

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
    if (path.trimmed().isEmpty()) return {};
    if (remove) return path.endsWith(kSep) ? path.left(path.size() - 1) : path;
    return path.endsWith(kSep) ? path : path + kSep;
}

QString EnsureExtension(const QString& path, const QString& extension) {
    QString ext = extension.trimmed();
    if (path.isEmpty()) return {};
    if (ext.isEmpty()) return path;
    if (!ext.startsWith(u'.')) ext.prepend(u'.');
    if (path.right(ext.size()).compare(ext, Qt::CaseInsensitive) == 0) return path;
    return path + ext.toLower();
}

QString SplitPath(const QString& path, int wantFolder, int addSlash, int wantBase, int wantDot,
                  int wantExtension, int caseMode) {
    if (path.isEmpty()) return {};
    const qsizetype slash = path.lastIndexOf(kSep);
    const QString folder = slash < 0 ? QString() : path.left(slash);
    const QString name = slash < 0 ? path : path.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString base = dot < 0 ? name : name.left(dot);
    const QString ext = dot < 0 ? QString() : name.mid(dot + 1);

    QString result;
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
    QString t = text.trimmed();
    const qsizetype nul = t.indexOf(QChar(0));
    return nul < 0 ? t : t.left(nul);
}

}  // namespace rilumo
