// Cursor and selection rules, YsItem, combo lists and the column table.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/controls/listview/store/store_helpers.h"

using namespace rilumo;
using test::Column;
using test::StoreWith;

TEST(ItemStoreSelection, SetSelectedItemClampsAndSelectsWithoutClearingOthers) {
    ItemStore s = StoreWith({"a", "b", "c"});
    s.SetIsSelected(0, 1);
    s.SetSelectedItem(9);
    EXPECT_EQ(s.SelectedItem(), 2);
    EXPECT_EQ(s.IsSelected(2), 1);
    EXPECT_EQ(s.IsSelected(0), 1);
    EXPECT_TRUE(s.MultiSelected());
    s.SetSelectedItem(-5);
    EXPECT_EQ(s.SelectedItem(), -1);
    EXPECT_EQ(s.NumSelectedItems(), 2);

    ItemStore empty;
    empty.SetSelectedItem(3);
    EXPECT_EQ(empty.SelectedItem(), -1);
}

TEST(ItemStoreSelection, SelectedFieldHoldsOnlyZeroOrOne) {
    ItemStore s = StoreWith({"a", "b"});
    s.SetIsSelected(0, 7);
    EXPECT_EQ(s.IsSelected(0), 1);
    EXPECT_EQ(s.NumSelectedItems(), 1);
    EXPECT_FALSE(s.MultiSelected());
    // Clearing the cursor entry through -1 also drops the cursor.
    s.SetSelectedItem(1);
    s.SetIsSelected(-1, 0);
    EXPECT_EQ(s.SelectedItem(), -1);
    EXPECT_EQ(s.IsSelected(1), 0);
}

TEST(ItemStoreSelection, MoveCursorSelectsOnlyTheTargetAndStopsAtTheEnds) {
    ItemStore s = StoreWith({"a", "b", "c"});
    s.MoveCursor(1);
    EXPECT_EQ(s.SelectedItem(), 0);
    s.UnSelectAll();
    s.MoveCursor(0);  // from no cursor upwards also lands on the first entry
    EXPECT_EQ(s.SelectedItem(), 0);
    s.SetIsSelected(2, 1);
    s.MoveCursor(5);
    EXPECT_EQ(s.SelectedItem(), 1);
    EXPECT_EQ(s.NumSelectedItems(), 1);
    s.MoveCursor(1);
    s.MoveCursor(1);
    EXPECT_EQ(s.SelectedItem(), 2);
    EXPECT_EQ(s.IsSelected(2), 1);
    ItemStore empty;
    empty.MoveCursor(1);
    EXPECT_EQ(empty.SelectedItem(), -1);
}

TEST(ItemStoreSelection, ExchangeItemSwapsWholeEntriesWithinTheList) {
    ItemStore s = StoreWith({"a", "b", "c"});
    s.SetIconType(0, 3);
    s.SetSelectedItem(0);
    s.ExchangeItem(-1);
    EXPECT_EQ(Column(s), QStringList({"a", "b", "c"}));
    s.SetIsSelected(2, 1);
    s.ExchangeItem(2);
    EXPECT_EQ(Column(s), QStringList({"c", "b", "a"}));
    EXPECT_EQ(s.IconType(2), 3);
    EXPECT_EQ(s.AuxID(2, 0).ToText(), "#0");
    EXPECT_EQ(s.SelectedItem(), 2);
    EXPECT_EQ(s.NumSelectedItems(), 1);
    EXPECT_EQ(s.IsSelected(2), 1);
    s.ExchangeItem(1);
    s.ExchangeItem(std::numeric_limits<int>::max());
    EXPECT_EQ(s.SelectedItem(), 2);
}

TEST(ItemStoreSelection, YsItemMapsPositionsToRowsIncludingBelowTheLast) {
    ItemStore s = StoreWith({"a", "b", "c", "d", "e"});
    ListViewState view;
    auto ys = [&](float y) { return view.YsItem(y, s.ItemCount()); };
    view.oneHeight = 270;
    EXPECT_EQ(ys(0), 0);
    EXPECT_EQ(ys(269.4f), 0);
    EXPECT_EQ(ys(269.6f), 1);  // rounded before dividing
    EXPECT_EQ(ys(-500), 0);
    EXPECT_EQ(ys(10000), 5);
    view.topRow = 3;
    EXPECT_EQ(ys(300), 4);
    EXPECT_EQ(ys(600), 5);
    EXPECT_EQ(ys(std::numeric_limits<float>::quiet_NaN()), 3);
    EXPECT_EQ(ys(std::numeric_limits<float>::infinity()), 3);
    EXPECT_EQ(ys(3e38f), 5);
    view.oneHeight = 0;  // not set up yet: no division by zero
    EXPECT_EQ(ys(1000), 3);
}

TEST(ItemStoreSelection, MousePressAndReleaseRules) {
    ItemStore s = StoreWith({"a", "b", "c", "d", "e", "f"});
    ListViewState view;
    auto selected = [&] {
        QString out;
        for (int i = 0; i < s.ItemCount(); ++i) out += s.IsSelected(i) ? 'x' : '.';
        return out;
    };
    enum Op { kPress, kRelease };
    const struct {
        Op op;
        int row, shift, noMultiSelect;
        const char* selected;
        int cursor;
    } steps[] = {
        {kPress, 2, 0, 0, "..x...", 2},
        {kPress, 4, 1, 0, "..xxx.", 4},    // Shift: from the cursor to the row
        {kPress, 3, 0, 0, "..xxx.", 3},    // a selected row right after a range keeps it for a drag
        {kPress, 3, 0, 0, "...x..", 3},
        {kPress, 0, 2, 0, "...x..", 0},    // Ctrl leaves the selection to the release
        {kRelease, 0, 2, 0, "x..x..", 0},  // which toggles the row
        {kPress, 5, 0, 0, "x..x..", 5},    // the plain press after a Ctrl press keeps it
        {kPress, 1, 1, 1, ".x....", 1},    // single selection: Shift is plain
        {kRelease, 1, 2, 1, ".x....", 1},
        {kPress, 4, 2, 2, "....x.", 4},    // any non-zero value makes presses plain,
        {kRelease, 4, 2, 2, "......", 4},  // only 1 stops the release's toggle
        {kPress, 2, 3, 0, "..x...", 2},    // Shift with Ctrl counts as neither
    };
    for (const auto& st : steps) {
        if (st.op == kPress) EXPECT_TRUE(view.PressSelect(s, st.row, st.shift, st.noMultiSelect));
        else ListViewState::ReleaseSelect(s, st.row, st.shift, st.noMultiSelect);
        EXPECT_EQ(selected(), st.selected) << "row " << st.row << " shift " << st.shift;
        EXPECT_EQ(s.SelectedItem(), st.cursor);
    }
    ItemStore empty;
    empty.SetCursor(2);
    EXPECT_FALSE(view.PressSelect(empty, 0, 0, 0));
    EXPECT_EQ(empty.SelectedItem(), -1);
}

TEST(ItemStoreCombo, ComboIndexNeedsAComboEditorAndMatchesExactly) {
    ItemStore s = StoreWith({"Rock", "jazz"}, 2);
    s.SetValue(0, 1, "Rock");
    s.SetValue(1, 1, "jazz");
    s.AddComboItem(1, "Pop");
    s.AddComboItem(1, "Rock");
    s.AddComboItem(1, "Jazz");
    EXPECT_EQ(s.ComboIndex(0, 1), -1);  // no combo editor on the column
    s.Columns().SetUseTextCombo(1, 1);
    EXPECT_EQ(s.ComboIndex(0, 1), -1);
    s.Columns().SetUseTextCombo(1, 2);
    EXPECT_EQ(s.Columns()[1].frontObj, 2);
    EXPECT_EQ(s.ComboIndex(0, 1), 1);
    EXPECT_EQ(s.ComboIndex(1, 1), -1);  // case matters
    EXPECT_EQ(s.ComboIndex(-2, 1), -1);
    s.SetSelectedItem(0);
    EXPECT_EQ(s.ComboIndex(-1, 1), 1);
    EXPECT_EQ(s.ComboIndex(5, 1), -1);
    s.ClearComboItem(1);
    EXPECT_EQ(s.ComboIndex(0, 1), -1);
    s.AddComboItem(7, "nowhere");
    s.ClearComboItem(-1);
    EXPECT_EQ(s.ComboIndex(0, 7), -1);
}

TEST(ItemStoreColumns, LayoutOrderAndMinimumWidth) {
    ItemStore s;
    s.SetNumData(3);
    s.Init();
    ColumnTable& t = s.Columns();
    t.SetWidth(0, 1000);
    t.SetWidth(1, 2000);
    t.SetWidth(2, 1500);
    t.SetHidden(1, 1);
    EXPECT_EQ(t[0].left, 0);
    EXPECT_EQ(t[0].right, 1000);
    EXPECT_EQ(t[1].left, 1000);
    EXPECT_EQ(t[1].right, 1000);
    EXPECT_EQ(t[2].left, 1000);
    EXPECT_EQ(t[2].right, 2500);
    t.SetWidth(0, 100);
    EXPECT_EQ(t[0].width, 450);

    t.SetTabOrder(0, 2);
    EXPECT_EQ(t.ColumnAt(0), 1);
    EXPECT_EQ(t.ColumnAt(1), 2);
    EXPECT_EQ(t.ColumnAt(2), 0);
    t.SetTabOrder(0, 2);
    t.SetTabOrder(0, 3);
    t.SetTabOrder(-1, 0);
    EXPECT_EQ(t[0].position, 2);
    t.SetHidden(1, 0);
    t.Layout();
    EXPECT_EQ(t[1].left, 0);
    EXPECT_EQ(t[2].left, 2000);
    EXPECT_EQ(t[0].left, 3500);
}
