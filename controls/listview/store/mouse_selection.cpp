// The selection rules of presses and releases on the playlist view's rows.

#include <algorithm>

#include "controls/listview/store/item_store.h"
#include "controls/listview/store/view_state.h"

namespace rilumo {

namespace {
constexpr int kShift = 1;
constexpr int kCtrl = 2;
}  // namespace

bool ListViewState::PressSelect(ItemStore& store, int row, int shift, std::int32_t noMultiSelect) {
    if (store.ItemCount() == 0) {
        store.SetSelectedItem(-1);
        return false;
    }
    row = std::clamp(row, 0, store.ItemCount() - 1);
    if (shift == kShift && noMultiSelect == 0) {
        // A cursor at the count (its entry was deleted) is no cursor either.
        const int from = store.HasCursor() ? store.SelectedItem() : 0;
        store.SelectOnly(std::min(from, row), std::max(from, row));
        shiftRangeDone = true;
        ctrlPending = false;
    } else if (shift == kCtrl && noMultiSelect == 0) {
        shiftRangeDone = false;
        ctrlPending = true;
    } else {
        bool keep = false;
        if (shiftRangeDone) {
            shiftRangeDone = false;
            keep = store.IsSelected(row) == 1;
        }
        if (!keep && ctrlPending) {
            ctrlPending = false;
            keep = true;
        }
        if (!keep) store.SelectOnly(row, row);
    }
    store.SetCursor(row);
    return true;
}

void ListViewState::ReleaseSelect(ItemStore& store, int row, int shift, std::int32_t noMultiSelect) {
    if (shift != kCtrl || noMultiSelect == 1) return;
    if (store.ItemCount() == 0) {
        store.SetSelectedItem(-1);
        return;
    }
    row = std::clamp(row, 0, store.ItemCount() - 1);
    store.SetIsSelected(row, store.IsSelected(row) == 1 ? 0 : 1);
    store.SetCursor(row);
}

}  // namespace rilumo
