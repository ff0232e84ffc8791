#pragma once
// A CUE sheet's tracks as playlist entries, one entry a track: the audio
// file in aux 0 like every entry, the track's stretch of it in aux 1, and
// the sheet's words in the cells where a file's tags would go.

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

#include "app/sheet_entries.h"
#include "media/cue_sheet.h"

class QMimeData;
class QWidget;

namespace rilumo {

class FrmMain;
class TagLoader;
class UC_ListView;
struct TrackTags;

struct SheetEntry {
    QString file;
    EntrySegment segment;
    QString title;       // "タイトル": the track's TITLE, else the file's name and the number
    QString trackTitle;  // "曲名"
    QString performer;
    QString album;       // the sheet's TITLE
    int number = 0;
    std::int64_t lengthMs = 0;  // 0: to the file's end, known once its tags are
};

bool IsSheetFile(const QString& path);

// sheetPath is empty for a sheet kept in the audio file's tags.
std::vector<SheetEntry> SheetTrackEntries(const CueSheet& sheet, const QString& sheetPath);

// A sheet file, or the sheet in an audio file's tags; a sheet that cannot be
// read has no tracks and says why.
CueSheet ReadSheet(const QString& path);
// Why a sheet gives no entries, in words for the user.
QString SheetProblem(const CueSheet& sheet);

void ShowSheetTrack(UC_ListView& lv, int row, const SheetEntry& entry);
// What a sheet track takes from its file's tags: the format, and the last
// track's length (the file's less the track's start). Not the titles: those
// are the whole file's.
void ShowSheetFileTags(UC_ListView& lv, int row, const EntrySegment& segment, const TrackTags& tags);

// The line a list file keeps for row: its path, or its sheet track's name.
QString SavedEntryName(const UC_ListView& lv, int row);

// The entries a drag out of the list carries by their list lines, for a
// drop back onto it: their links name files, which sheet tracks share.
void PutEntryNames(QMimeData& data, const QStringList& names);
QStringList EntryNamesOf(const QMimeData& data);

// Sorts by "タイトル" ascending, each sheet's tracks kept together in sheet
// order where the sheet's own name would sort.
void SortKeepingSheets(UC_ListView& lv);

// Whether a file with a sheet in its tags is that sheet's tracks: a list's
// line is one entry; a file the user gives is the album it holds.
enum class EmbeddedSheets { Kept, Opened };

// Tells why a sheet gives no entries, as a list that cannot be read is
// told; false then.
bool TellSheetProblem(QWidget* owner, const QString& file);

// Puts sheet tracks into the window's list, reading each sheet once for as
// long as it lives (one command).
class SheetFiller {
public:
    explicit SheetFiller(FrmMain& window);

    // What a list line, a drop or the command line names, as entries at
    // index (-2: appended): a sheet as its tracks, a sheet track's name as
    // that track, any other file through AddTitle. How many were added.
    int AddNamed(const QString& path, int index, EmbeddedSheets embedded);
    // Each returns how many entries it added at index.
    int AddSheet(const QString& sheetPath, int index);
    int AddTrack(const QString& sheetPath, int number, int index);
    // A file's embedded sheet; 0 when it has none, and the file is the caller's.
    int AddEmbedded(const QString& audioPath, int index);
    // After a folder scan that added its files from firstRow on: the files
    // the sheets play give way to the sheets' tracks (a second sheet of the
    // same files adds nothing), and files with a sheet in their tags become
    // its tracks.
    void OpenFolderSheets(const QStringList& sheetPaths, int firstRow);
    // The audio files the sheets among paths play: given with their sheet,
    // they are its tracks and not entries of their own.
    QSet<QString> FilesOfSheets(const QStringList& paths);

    const CueSheet& Sheet(const QString& path);

private:
    int Add(const std::vector<SheetEntry>& entries, int index);

    FrmMain& window_;
    UC_ListView& lv_;
    TagLoader& tags_;
    QHash<QString, CueSheet> sheets_;
};

}  // namespace rilumo
