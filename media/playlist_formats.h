#pragma once
// The list files other players and file managers write (M3U, M3U8, PLS,
// XSPF) and the program's own, read into local paths. Pure text work: no
// file is opened here, so the readers can be fed anything.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace rilumo {

enum class PlaylistKind { Own, M3u, M3u8, Pls, Xspf };

// By the list file's extension (any letter case); anything else is the
// program's own one-path-a-line format.
PlaylistKind PlaylistKindOf(const QString& listPath);

// True for the extensions of the formats other programs write; a file of
// that kind dropped on the list is read, not added as an entry.
bool IsForeignPlaylist(const QString& path);

// One written entry as a local path: a file:// URI decoded, a relative path
// taken against baseFolder (which ends with "/"), an absolute path kept as
// written. Empty for what names nothing here: a Windows drive or network
// path, a URI of another scheme, a blank line.
QString ResolveListEntry(const QString& entry, const QString& baseFolder);

// The text of a list in its encoding: UTF-8 with or without a byte-order
// mark, UTF-16 with one; for an M3U or PLS that is not valid UTF-8, Latin-1.
QString DecodeListText(PlaylistKind kind, const QByteArray& bytes);

// The entries of a whole list, in list order, resolved as above; entries
// that name nothing here are left out. The program's own format keeps its
// rule of a line in double quotes losing its first and last characters.
QStringList ParsePlaylist(PlaylistKind kind, const QByteArray& bytes, const QString& baseFolder);

}  // namespace rilumo
