// The selection rules of presses and releases on the playlist view's rows.

#include <algorithm>

#include "controls/listview/store/item_store.h"

namespace rilumo {

namespace {
constexpr int kShift = 1;
constexpr int kCtrl = 2;
}  // namespace

bool ItemStore::PressSelect(int row, int shift, std::int32_t noMultiSelect) {
    if (entries_.empty()) {
        SetSelectedItem(-1);
        return false;
    }
    row = std::clamp(row, 0, ItemCount() - 1);
    if (shift == kShift && noMultiSelect == 0) {
        // A cursor at the count (its entry was deleted) is no cursor either.
        const int from = HasCursor() ? cursor_ : 0;
        const int lo = std::min(from, row), hi = std::max(from, row);
        for (int i = 0; i < ItemCount(); ++i) entries_[size_t(i)].selected = (i >= lo && i <= hi) ? 1 : 0;
        shiftRangeDone_ = true;
        ctrlPending_ = false;
    } else if (shift == kCtrl && noMultiSelect == 0) {
        shiftRangeDone_ = false;
        ctrlPending_ = true;
    } else {
        bool keep = false;
        if (shiftRangeDone_) {
            shiftRangeDone_ = false;
            keep = entries_[size_t(row)].selected == 1;
        }
        if (!keep && ctrlPending_) {
            ctrlPending_ = false;
            keep = true;
        }
        if (!keep) {
            DeselectAll();
            entries_[size_t(row)].selected = 1;
        }
    }
    cursor_ = row;
    return true;
}

void ItemStore::ReleaseSelect(int row, int shift, std::int32_t noMultiSelect) {
    if (shift != kCtrl || noMultiSelect == 1) return;
    if (entries_.empty()) {
        SetSelectedItem(-1);
        return;
    }
    row = std::clamp(row, 0, ItemCount() - 1);
    ListEntry& e = entries_[size_t(row)];
    e.selected = e.selected == 1 ? 0 : 1;
    cursor_ = row;
}

}  // namespace rilumo
