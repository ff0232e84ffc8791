#pragma once
// Path texts split and joined on the native separator "/". None of these
// touch the file system except AppFolder and SystemFolder.

#include <QByteArray>
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

// File names are bytes, and old archives hold names that are not UTF-8. Such
// a name travels in a QString with each byte that breaks the UTF-8 as one of
// U+DC80..U+DCFF, so it meets the file system again byte-exact. Every path
// handed to the file system, to a URI or to a list file goes through this pair.
QString PathFromBytes(const QByteArray& bytes);
QByteArray PathToBytes(const QString& path);
// True when the path carries bytes that are not UTF-8.
bool HasRawBytes(const QString& path);

// A file:// URI of an absolute path, its bytes percent-encoded.
QByteArray FileUriOf(const QString& absolutePath);
// The path of a file:// URI on this machine (no host or "localhost"); empty
// for another scheme or host. Percent escapes decode to bytes, not to UTF-8.
QString PathFromFileUri(const QByteArray& uri);
QString PathFromFileUri(const QString& uri);

// A name for people: raw bytes read as CP932 when the whole name decodes,
// else each raw byte shown as \xNN.
QString DisplayName(const QString& name);

}  // namespace rilumo
