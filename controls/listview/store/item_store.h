#pragma once
// The entries of the playlist view and every operation that adds, removes,
// moves, sorts, shuffles, selects or reads them. A plain class without any
// drawing, so that it runs and is tested without a display; UC_ListView owns
// one and exposes it.
//
// Index conventions: entries are 0-based. Where an operation accepts -1 it
// means the cursor entry, and does nothing (reads give their default) while
// there is no cursor: the cursor is -1, or not below the count (DeleteItem of
// the last entry leaves it equal to the count). Where it accepts -2 it means
// the last entry. Any other index outside 0 .. count - 1 is ignored: writes do
// nothing, reads give 0, empty or -1. None of these operations repaints.
//
// Failures (out of memory while growing, a numeric sort meeting a cell that is
// no number) follow support/error_trap.h: swallowed while the error-catch flag
// is off, the operation then reporting false; propagated while it is on.

#include <QString>

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "controls/listview/store/column_table.h"
#include "controls/listview/store/list_entry.h"
#include "controls/listview/store/shuffle_random.h"
#include "support/value.h"

namespace rilumo {

class ItemStore {
public:
    static constexpr std::uint32_t kDefaultEntryColor = 0x80000008u;  // window text

    // --- Counts and storage ---
    int NumData() const { return numData_; }
    // Only stores the number: Init rebuilds the columns, ResetNumTab resizes entries.
    void SetNumData(int n) { numData_ = n; }
    int NumAux() const { return numAux_; }
    void SetNumAux(int n) { numAux_ = n; }
    // Resizes every entry's data and aux arrays to NumData / NumAux, keeping
    // the values that still fit.
    void ResetNumTab();
    int ItemCount() const { return static_cast<int>(entries_.size()); }

    // The store's part of the view's Init: a fresh column table for NumData
    // columns, no entries, no last sort. The cursor is kept.
    void Init();

    // Appends num new entries (default entry colour). num <= 0 does nothing.
    bool AddItem(int num);
    // Inserts num blank entries (colour 0) before index; index = count appends,
    // -1 means the cursor. num 0 counts as 1, a negative num does nothing.
    bool InsertItem(int index, int num = 1);
    // Removes one entry; accepts -1. The cursor keeps designating its entry;
    // deleting the cursor entry itself leaves the cursor on the one after.
    void DeleteItem(int index);
    // Removes from .. to inclusive. A range overlapping the list is clamped
    // into it; one wholly outside (or from > to) removes nothing.
    void DeleteItemEx(int from, int to);
    // No entries, no storage, no cursor, no last sort.
    void DeleteAll();
    // Removes every entry whose selected field is non-zero; cursor -1.
    void DeleteSelected();

    // --- Per-entry fields (index accepts -1 and -2 unless noted) ---
    rilumo::Value Value(int index, int dataIdx) const;
    void SetValue(int index, int dataIdx, rilumo::Value v);
    rilumo::Value AuxID(int index, int auxIdx) const;
    void SetAuxID(int index, int auxIdx, rilumo::Value v);
    std::int32_t IconType(int index) const;
    void SetIconType(int index, std::int32_t t);
    std::uint32_t DispColor(int index) const;  // read: -2 not accepted
    void SetDispColor(int index, std::uint32_t c);
    std::uint32_t HLine(int index) const;      // read: -2 not accepted
    void SetHLine(int index, std::uint32_t c);
    std::int32_t IsSelected(int index) const;  // read: -2 not accepted
    // Stores 1 for any non-zero value. Writing 0 through -1 also clears the cursor.
    void SetIsSelected(int index, std::int32_t v);

    // --- Selection and cursor ---
    int SelectedItem() const { return cursor_; }
    // Clamped into -1 .. count - 1; a valid cursor entry becomes selected.
    void SetSelectedItem(int v);
    // Moves the cursor without touching any selected field (the view's mouse
    // rules decide the selection themselves).
    void SetCursor(int v) { cursor_ = v; }
    // Exactly the entries lo .. hi selected, every other one not; the cursor stays.
    void SelectOnly(int lo, int hi);
    int NumSelectedItems() const;
    bool MultiSelected() const;
    void SelectAll();
    void UnSelectAll();
    void MoveCursor(int isDown);
    void ExchangeItem(int plus);

    // --- Ordering ---
    // Sorts by data column orderItem; repeating the same column alternates
    // ascending and descending unless force is 1. Text columns compare
    // case-insensitively, numeric ones (DataNumeric) as numbers. The sort is
    // stable in both directions, so sorting by one column and then another
    // orders by the second and, within it, by the first; empty cells go last
    // either way (an unknown value is no smallest one). The cursor entry ends
    // selected and keeps the cursor. False when nothing was sorted
    // or the sort failed.
    bool ReOrder(int orderItem, int force);
    // Shuffles the entries (three or more); the next ReOrder is ascending.
    void RndItem();
    // Where RndItem draws from; an empty source restores ReseededUniform.
    void SetRandomSource(UniformSource source) { random_ = std::move(source); }

    // --- Combo lists of the in-place editors ---
    void AddComboItem(int dataIdx, const QString& text);
    void ClearComboItem(int dataIdx);
    // Position of the entry's cell text in column dataIdx's choices, or -1;
    // index accepts -1 and -2.
    int ComboIndex(int index, int dataIdx) const;

    // --- Columns and the sort memory the operations above share with the view ---
    ColumnTable& Columns() { return columns_; }
    const ColumnTable& Columns() const { return columns_; }
    std::uint32_t DefaultEntryColor() const { return defaultColor_; }
    void SetDefaultEntryColor(std::uint32_t c) { defaultColor_ = c; }
    int LastSortColumn() const { return lastSortColumn_; }
    bool LastSortReversed() const { return lastSortReversed_; }

    // --- Narrowing: a view of some entries, the store keeping all of them ---
    // Shows only the entries keep(i) accepts; the others are deselected.
    // Entries added later are shown until the next narrowing.
    void NarrowTo(const std::function<bool(int)>& keep);
    // Every entry shown again.
    void ShowAll();
    bool Narrowed() const { return narrowed_; }
    // Shown rows in store order: their count, the entry of a row (-1 outside),
    // and the row of an entry (-1 when it is not shown).
    int ShownCount() const;
    int ShownEntry(int row) const;
    int RowOfEntry(int index) const;

    // The host's per-entry search text (see ListEntry::findKey).
    QString FindKey(int index) const;
    void SetFindKey(int index, QString key);
    void ClearFindKeys();

    // The entry an index designates (-1 and -2 accepted), nullptr for none.
    const ListEntry* Entry(int index) const;
    ListEntry* Entry(int index);
    // True when the cursor designates an entry.
    bool HasCursor() const { return cursor_ >= 0 && cursor_ < ItemCount(); }

private:
    // Entry index for an operation, or -1 when it designates nothing.
    int Resolve(int index, bool acceptLast) const;
    ListEntry NewEntry(std::uint32_t color) const;
    void DeselectAll();
    // Replaces the entries by entries_[order[0]], entries_[order[1]], ...
    void Permute(const std::vector<int>& order);
    bool SortOrder(int column, bool numeric, bool descending, std::vector<int>& order) const;
    // A narrowed-out entry never carries a selection.
    static void Select(ListEntry& e) { e.selected = e.narrowedOut ? 0 : 1; }
    void RowsChanged() { rowsStale_ = true; }
    void RebuildRows() const;

    std::vector<ListEntry> entries_;
    ColumnTable columns_;
    int numData_ = 1;
    int numAux_ = 1;
    int cursor_ = -1;
    std::uint32_t defaultColor_ = kDefaultEntryColor;
    int lastSortColumn_ = -1;
    bool lastSortReversed_ = false;
    UniformSource random_;
    bool narrowed_ = false;
    mutable bool rowsStale_ = true;
    mutable std::vector<int> rows_;  // entries shown while narrowed
};

}  // namespace rilumo
