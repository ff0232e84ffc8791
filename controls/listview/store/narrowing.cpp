// The narrowed view of the item store: which entries are shown, and the
// search texts the host keeps with them.

#include "controls/listview/store/item_store.h"

#include <algorithm>

namespace rilumo {

void ItemStore::NarrowTo(const std::function<bool(int)>& keep) {
    for (int i = 0; i < ItemCount(); ++i) {
        ListEntry& e = entries_[static_cast<size_t>(i)];
        e.narrowedOut = !keep(i);
        if (e.narrowedOut) e.selected = 0;
    }
    narrowed_ = true;
    RowsChanged();
}

void ItemStore::ShowAll() {
    for (ListEntry& e : entries_) e.narrowedOut = false;
    narrowed_ = false;
    RowsChanged();
}

void ItemStore::RebuildRows() const {
    if (!rowsStale_) return;
    rowsStale_ = false;
    rows_.clear();
    if (!narrowed_) return;
    for (int i = 0; i < ItemCount(); ++i)
        if (!entries_[static_cast<size_t>(i)].narrowedOut) rows_.push_back(i);
}

int ItemStore::ShownCount() const {
    if (!narrowed_) return ItemCount();
    RebuildRows();
    return static_cast<int>(rows_.size());
}

int ItemStore::ShownEntry(int row) const {
    if (row < 0 || row >= ShownCount()) return -1;
    return narrowed_ ? rows_[static_cast<size_t>(row)] : row;
}

int ItemStore::RowOfEntry(int index) const {
    if (index < 0 || index >= ItemCount()) return -1;
    if (!narrowed_) return index;
    RebuildRows();
    const auto at = std::lower_bound(rows_.begin(), rows_.end(), index);
    return at != rows_.end() && *at == index ? static_cast<int>(at - rows_.begin()) : -1;
}

QString ItemStore::FindKey(int index) const {
    const ListEntry* e = Entry(index);
    return e ? e->findKey : QString();
}

void ItemStore::SetFindKey(int index, QString key) {
    if (ListEntry* e = Entry(index)) e->findKey = std::move(key);
}

void ItemStore::ClearFindKeys() {
    for (ListEntry& e : entries_) e.findKey.clear();
}

}  // namespace rilumo
