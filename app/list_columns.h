#pragma once
// The playlist's columns. "タイトル" (the file name) is the one shown by
// default; the others show what the file's tags say and are shown or hidden
// from the column tabs' menu. A column's data index in the view is fixed by
// this enum, whichever are shown and in what order.

#include <QString>

#include <functional>
#include <vector>

#include "controls/listview/playlist_view_setup.h"

class QMenu;
class QWidget;

namespace rilumo {

class UC_ListView;
struct TrackTags;

enum class ListColumn : int {
    FileTitle = 0,  // "タイトル"
    TagTitle,       // "曲名"
    Artist,         // "アーティスト"
    Album,          // "アルバム"
    Track,          // "トラック": right-aligned, numeric sort
    Length,         // "長さ": m'ss, right-aligned, numeric sort
    Format,         // "形式"
    Folder,         // "フォルダ"
    Count
};

constexpr int DataIndex(ListColumn c) { return static_cast<int>(c); }

QString ColumnCaption(ListColumn c);

// Writes an entry's tag cells (every column but "タイトル" and "フォルダ").
void ShowTrackTags(UC_ListView& lv, int row, const TrackTags& tags);
// Writes the cells a path alone gives ("フォルダ").
void ShowFileColumns(UC_ListView& lv, int row, const QString& path);

// Every column with its caption and default width, in data-index order.
std::vector<PlaylistColumn> ListColumnSet();
// After SetUpPlaylistView with ListColumnSet(): alignments, numeric sorts and
// formats, then the shown columns, their order and widths from the settings
// (only "タイトル" when nothing usable is stored).
void RestoreListColumns(UC_ListView& lv);
void SaveListColumns(const UC_ListView& lv);
bool OnlyTitleShown(const UC_ListView& lv);

// The column tabs' menu for a right click on column: every column as a
// checked item to show or hide (the last shown one cannot be hidden), and
// moves of column left and right. Each choice relays the columns out, saves
// them and calls changed. The caller pops the menu up; it deletes itself
// once closed.
QMenu* NewColumnMenu(QWidget* parent, UC_ListView& lv, int column, std::function<void()> changed);

}  // namespace rilumo
