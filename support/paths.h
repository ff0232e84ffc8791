#pragma once
// Path texts split and joined on the native separator "/". None of these
// touch the file system except AppFolder and SystemFolder.

#include <QString>

namespace rilumo {

inline constexpr QChar kSep = u'/';

// The program file's folder, with a trailing separator.
QString AppFolder();
// Tests point the program folder elsewhere (the log lives below it); empty restores.
void SetAppFolderForTesting(const QString& folder);
// The stand-in for the system folder: where the platform keeps its shared libraries.
QString SystemFolder();

QString FixTrailingSlash(const QString& path, bool remove);
QString EnsureExtension(const QString& path, const QString& extension);
// caseMode 1 lower-cases the result, 2 upper-cases it.
QString SplitPath(const QString& path, int wantFolder, int addSlash, int wantBase, int wantDot,
                  int wantExtension, int caseMode);
QString CutAtNul(const QString& text);

// The three argument sets the program uses.
inline QString LowerExtension(const QString& p) { return SplitPath(p, 0, 0, 0, 0, 1, 1); }
inline QString TitleOf(const QString& p) { return SplitPath(p, 0, 0, 1, 0, 0, 0); }
inline QString FolderOf(const QString& p) { return SplitPath(p, 1, 1, 0, 0, 0, 0); }

}  // namespace rilumo
