#pragma once
// The list files other players and file managers write (M3U, M3U8, PLS,
// XSPF) and the program's own, read into local paths. Pure text work: no
// file is opened here (whether a path exists is asked of the caller), so
// the readers can be fed anything.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace rilumo {

enum class PlaylistKind { Own, M3u, M3u8, Pls, Xspf };

// By the list file's extension (any letter case); anything else is the
// program's own one-path-a-line format.
PlaylistKind PlaylistKindOf(const QString& listPath);

// True for the extensions of the formats other programs write.
bool IsForeignPlaylist(const QString& path);
// True for any list file (the foreign ones and the own ".lst" and ".rnl"):
// a list dropped on the playlist or named on the command line is read.
bool IsListFile(const QString& path);

// One written entry as a local path: a file:// URI decoded, a relative path
// taken against baseFolder (which ends with "/"), an absolute path kept as
// written. Empty for what names nothing here: a Windows drive or network
// path, a URI of another scheme, a blank line.
QString ResolveListEntry(const QString& entry, const QString& baseFolder);

// The ways one entry's bytes can be read, the likeliest first: a list in
// UTF-16 (with its mark) has one, a line of valid UTF-8 has one, any other
// line its CP932 reading, Latin-1, and its bytes kept as a raw file name.
using EntryReadings = QStringList;
std::vector<EntryReadings> ReadPlaylistEntries(PlaylistKind kind, const QByteArray& bytes);

// Whether a path names an existing file; empty means "cannot tell".
using PathProbe = std::function<bool(const QString& path)>;

// The path an entry names: the first reading, as written and then with "\"
// as separators in a relative one, that names an existing file; when none
// does, the first reading as written. Empty when it names nothing here.
QString ChooseEntryPath(const EntryReadings& readings, const QString& baseFolder, const PathProbe& exists);

// The entries of a whole list, in list order, chosen as above; entries that
// name nothing here are left out. The program's own format keeps its rule
// of a line in double quotes losing its first and last characters.
QStringList ParsePlaylist(PlaylistKind kind, const QByteArray& bytes, const QString& baseFolder,
                          const PathProbe& exists = {});

// One track of a CUE sheet as a list names it: the sheet's path (or the
// audio file's, for a sheet in its tags), "#" and the track number in two
// digits or more. More digits are used where the shorter name is a file of
// its own (exists says so), so that a line never means two things.
QString SheetTrackName(const QString& sheetPath, int trackNumber, const PathProbe& exists = {});
// The sheet and track such a line names; false for any other line. Whether
// the line is a file of its own is for the caller to ask first.
bool SplitSheetTrackName(const QString& entry, QString* sheetPath, int* trackNumber);

}  // namespace rilumo
