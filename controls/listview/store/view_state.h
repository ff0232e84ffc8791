#pragma once
// What the playlist view remembers apart from its entries: the row height,
// the scroll position and the memories of the last clicks. UC_ListView owns
// one; it sits beside the store, QtCore only, so that the rules reading it
// run and are tested without a display.

#include <cstdint>

namespace rilumo {

class ItemStore;

struct ListViewState {
    std::int32_t oneHeight = 0;  // row height, twips
    int topRow = 0;              // first visible row
    // 32 bits: a long list scrolled past row 32,767 must not wrap.
    std::int32_t lastDrawnTopRow = 0;
    int clickedColumn = 0;       // column of the last left press on the rows
    bool shiftRangeDone = false; // the last press selected a Shift range
    bool ctrlPending = false;    // the last press was a Ctrl press

    // What emptying the list forgets: the scroll position and the click memories.
    void ForgetRows();

    // Row under vertical position y of the list surface (twips), 0 .. count;
    // count means below the last entry.
    int YsItem(float y, int count) const;

    // --- The mouse selection (shift: 1 Shift, 2 Ctrl; 3 counts as neither) ---
    // A left press on row: Shift selects exactly the rows from the cursor (the
    // first row without one) to row; Ctrl leaves the selection to the release;
    // a plain press selects row alone, except right after a Shift range on a
    // selected row (so that the range can be dragged) or after a Ctrl press.
    // With noMultiSelect non-zero Shift and Ctrl presses are plain ones. Row
    // becomes the cursor. On an empty list it only drops the cursor and
    // returns false.
    bool PressSelect(ItemStore& store, int row, int shift, std::int32_t noMultiSelect);
    // A left release: Ctrl (unless noMultiSelect is 1) toggles row and makes
    // it the cursor; on an empty list it drops the cursor.
    static void ReleaseSelect(ItemStore& store, int row, int shift, std::int32_t noMultiSelect);
};

}  // namespace rilumo
