#pragma once
// The playlist's columns. "タイトル" (the file name) is the one shown by
// default; the others show what the file's tags say and are shown or hidden
// from the column tabs' menu. A column's data index in the view is fixed by
// this enum, whichever are shown and in what order.

#include <QString>

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

}  // namespace rilumo
