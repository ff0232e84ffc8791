#include "controls/listview/store/item_store.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <new>
#include <stdexcept>
#include <type_traits>

#include "support/error_trap.h"

namespace rilumo {

// Sorting, shuffling and inserting move whole entries; a throwing move would
// make std::vector fall back to deep copies.
static_assert(std::is_nothrow_move_constructible_v<ListEntry>);
static_assert(std::is_nothrow_move_assignable_v<ListEntry>);

namespace {

size_t Slots(int n) { return static_cast<size_t>(std::max(n, 0)); }

// Growth that cannot be had is a failure of the step, never a crash.
template <class Grow>
bool GrowOrFail(long long newCount, Grow&& grow) {
    return Trap([&] {
        if (newCount > INT_MAX) Fail("ItemStore: too many entries");
        try {
            grow();
        } catch (const std::bad_alloc&) {
            Fail("ItemStore: out of memory");
        } catch (const std::length_error&) {
            Fail("ItemStore: out of memory");
        }
    });
}

// Deletions give memory back once most of the storage lies unused.
void TrimSpare(std::vector<ListEntry>& v) {
    if (v.capacity() > 1024 && v.size() < v.capacity() / 4) v.shrink_to_fit();
}

}  // namespace

// ---------------------------------------------------------------- storage

ListEntry ItemStore::NewEntry(std::uint32_t color) const {
    ListEntry e;
    e.dispColor = color;
    e.data.resize(Slots(numData_));
    e.aux.resize(Slots(numAux_));
    return e;
}

void ItemStore::ResetNumTab() {
    for (ListEntry& e : entries_) {
        e.data.resize(Slots(numData_));
        e.aux.resize(Slots(numAux_));
    }
}

void ItemStore::Init() {
    columns_.Reset(numData_);
    entries_.clear();
    lastSortColumn_ = -1;
    narrowed_ = false;
    RowsChanged();
}

bool ItemStore::AddItem(int num) {
    if (num <= 0) return true;
    const long long newCount = static_cast<long long>(ItemCount()) + num;
    const bool ok = GrowOrFail(newCount, [&] {
        // Built aside so that a failure leaves the list as it was.
        const ListEntry proto = NewEntry(defaultColor_);
        // resize grows the storage geometrically, so a long fill stays linear.
        entries_.resize(static_cast<size_t>(newCount), proto);
    });
    RowsChanged();
    return ok;
}

bool ItemStore::InsertItem(int index, int num) {
    if (num < 0) return true;
    if (num == 0) num = 1;
    if (index == -1) index = HasCursor() ? cursor_ : -1;
    if (index < 0 || index > ItemCount()) return true;
    const long long newCount = static_cast<long long>(ItemCount()) + num;
    const bool ok = GrowOrFail(newCount, [&] {
        ListEntry blank = NewEntry(0);
        entries_.insert(entries_.begin() + index, static_cast<size_t>(num), blank);
    });
    if (ok && cursor_ != -1 && cursor_ >= index) cursor_ += num;
    RowsChanged();
    return ok;
}

void ItemStore::DeleteItem(int index) {
    if (index == -1) {
        index = cursor_;
    } else if (index >= 0 && index < ItemCount() && index < cursor_) {
        --cursor_;
    }
    if (index < 0 || index >= ItemCount()) return;
    entries_.erase(entries_.begin() + index);
    TrimSpare(entries_);
    RowsChanged();
}

void ItemStore::DeleteItemEx(int from, int to) {
    const int n = ItemCount();
    if (n == 0 || from > to || to < 0 || from > n - 1) return;
    from = std::clamp(from, 0, n - 1);
    to = std::clamp(to, 0, n - 1);
    entries_.erase(entries_.begin() + from, entries_.begin() + to + 1);
    TrimSpare(entries_);
    RowsChanged();
}

void ItemStore::DeleteAll() {
    std::vector<ListEntry>().swap(entries_);
    cursor_ = -1;
    lastSortColumn_ = -1;
    narrowed_ = false;
    RowsChanged();
}

void ItemStore::DeleteSelected() {
    if (entries_.empty()) return;
    std::erase_if(entries_, [](const ListEntry& e) { return e.selected != 0; });
    TrimSpare(entries_);
    cursor_ = -1;
    RowsChanged();
}

// ---------------------------------------------------------------- fields

int ItemStore::Resolve(int index, bool acceptLast) const {
    const int n = ItemCount();
    if (index == -1) return HasCursor() ? cursor_ : -1;
    if (index == -2) return acceptLast && n > 0 ? n - 1 : -1;
    return index >= 0 && index < n ? index : -1;
}

const ListEntry* ItemStore::Entry(int index) const {
    const int i = Resolve(index, true);
    return i < 0 ? nullptr : &entries_[static_cast<size_t>(i)];
}

ListEntry* ItemStore::Entry(int index) {
    const int i = Resolve(index, true);
    return i < 0 ? nullptr : &entries_[static_cast<size_t>(i)];
}

namespace {

// A cell exists when the column is within the declared count and within the
// entry's own array (NumData may have been raised without ResetNumTab).
const Value* Cell(const std::vector<Value>& cells, int k, int declared) {
    if (k < 0 || k >= declared || static_cast<size_t>(k) >= cells.size()) return nullptr;
    return &cells[static_cast<size_t>(k)];
}

// An entry's data or aux array.
using Cells = std::vector<Value> ListEntry::*;

Value ReadCell(const ListEntry* e, Cells cells, int k, int declared) {
    const Value* v = e ? Cell(e->*cells, k, declared) : nullptr;
    return v ? *v : Value();
}

void WriteCell(ListEntry* e, Cells cells, int k, int declared, Value v) {
    if (e && Cell(e->*cells, k, declared)) (e->*cells)[static_cast<size_t>(k)] = std::move(v);
}

}  // namespace

Value ItemStore::Value(int index, int dataIdx) const {
    return ReadCell(Entry(index), &ListEntry::data, dataIdx, numData_);
}

void ItemStore::SetValue(int index, int dataIdx, rilumo::Value v) {
    ListEntry* e = Entry(index);
    WriteCell(e, &ListEntry::data, dataIdx, numData_, std::move(v));
    if (e) e->findKey.clear();
}

Value ItemStore::AuxID(int index, int auxIdx) const {
    return ReadCell(Entry(index), &ListEntry::aux, auxIdx, numAux_);
}

void ItemStore::SetAuxID(int index, int auxIdx, rilumo::Value v) {
    WriteCell(Entry(index), &ListEntry::aux, auxIdx, numAux_, std::move(v));
}

std::int32_t ItemStore::IconType(int index) const {
    const ListEntry* e = Entry(index);
    return e ? e->iconType : 0;
}

void ItemStore::SetIconType(int index, std::int32_t t) {
    if (ListEntry* e = Entry(index)) e->iconType = t;
}

std::uint32_t ItemStore::DispColor(int index) const {
    const int i = Resolve(index, false);
    return i < 0 ? 0 : entries_[static_cast<size_t>(i)].dispColor;
}

void ItemStore::SetDispColor(int index, std::uint32_t c) {
    if (ListEntry* e = Entry(index)) e->dispColor = c;
}

std::uint32_t ItemStore::HLine(int index) const {
    const int i = Resolve(index, false);
    return i < 0 ? 0 : entries_[static_cast<size_t>(i)].hLine;
}

void ItemStore::SetHLine(int index, std::uint32_t c) {
    if (ListEntry* e = Entry(index)) e->hLine = c;
}

std::int32_t ItemStore::IsSelected(int index) const {
    const int i = Resolve(index, false);
    return i < 0 ? 0 : entries_[static_cast<size_t>(i)].selected;
}

void ItemStore::SetIsSelected(int index, std::int32_t v) {
    ListEntry* e = Entry(index);
    if (!e) return;
    // Only 0 and 1 exist outside a sort: any other value would be an entry
    // that looks unselected yet is removed by DeleteSelected.
    if (v != 0) Select(*e);
    else e->selected = 0;
    if (index == -1 && v == 0) cursor_ = -1;
}

// ---------------------------------------------------------------- selection

void ItemStore::DeselectAll() {
    for (ListEntry& e : entries_) e.selected = 0;
}

void ItemStore::SelectOnly(int lo, int hi) {
    for (int i = 0; i < ItemCount(); ++i) {
        ListEntry& e = entries_[size_t(i)];
        if (i >= lo && i <= hi) Select(e);
        else e.selected = 0;
    }
}

void ItemStore::SetSelectedItem(int v) {
    cursor_ = std::clamp(v, -1, std::max(ItemCount() - 1, -1));
    if (HasCursor()) Select(entries_[static_cast<size_t>(cursor_)]);
}

int ItemStore::NumSelectedItems() const {
    return static_cast<int>(std::count_if(entries_.begin(), entries_.end(),
                                          [](const ListEntry& e) { return e.selected == 1; }));
}

bool ItemStore::MultiSelected() const {
    int seen = 0;
    for (const ListEntry& e : entries_)
        if (e.selected == 1 && ++seen > 1) return true;
    return false;
}

void ItemStore::SelectAll() {
    for (ListEntry& e : entries_) Select(e);
}

void ItemStore::UnSelectAll() {
    if (entries_.empty()) return;
    DeselectAll();
    cursor_ = -1;
}

void ItemStore::MoveCursor(int isDown) {
    const int n = ItemCount();
    if (n <= 0) return;
    const int from = HasCursor() ? cursor_ : -1;
    const int target = std::clamp(isDown != 0 ? from + 1 : from - 1, 0, n - 1);
    DeselectAll();
    Select(entries_[static_cast<size_t>(target)]);
    cursor_ = target;
}

void ItemStore::ExchangeItem(int plus) {
    const int n = ItemCount();
    if (n < 2 || !HasCursor()) return;
    const long long target = static_cast<long long>(cursor_) + plus;
    if (target < 0 || target >= n) return;
    DeselectAll();
    std::swap(entries_[static_cast<size_t>(cursor_)], entries_[static_cast<size_t>(target)]);
    cursor_ = static_cast<int>(target);
    Select(entries_[static_cast<size_t>(cursor_)]);
    RowsChanged();
}

// ---------------------------------------------------------------- combo lists

void ItemStore::AddComboItem(int dataIdx, const QString& text) {
    if (columns_.Has(dataIdx)) columns_[dataIdx].comboItems.append(text);
}

void ItemStore::ClearComboItem(int dataIdx) {
    if (columns_.Has(dataIdx)) columns_[dataIdx].comboItems.clear();
}

int ItemStore::ComboIndex(int index, int dataIdx) const {
    if (!columns_.Has(dataIdx) || (columns_[dataIdx].useTextCombo & 2) == 0) return -1;
    if (!Entry(index)) return -1;
    const QStringList& items = columns_[dataIdx].comboItems;
    if (items.isEmpty()) return -1;
    return static_cast<int>(items.indexOf(Value(index, dataIdx).ToText()));
}

}  // namespace rilumo
