// Adding, inserting and deleting entries, and the index conventions.

#include <gtest/gtest.h>

#include <climits>

#include "support/error_trap.h"
#include "tests/controls/listview/store/store_helpers.h"

using namespace rilumo;
using test::Column;
using test::StoreWith;
using test::Tags;

TEST(ItemStoreStorage, NewEntriesCarryDefaultsAndCurrentColour) {
    ItemStore s;
    s.SetNumAux(2);
    s.Init();
    s.AddItem(3);
    ASSERT_EQ(s.ItemCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(s.Value(i, 0).IsEmpty());
        EXPECT_TRUE(s.AuxID(i, 1).IsEmpty());
        EXPECT_EQ(s.IconType(i), 0);
        EXPECT_EQ(s.DispColor(i), ItemStore::kDefaultEntryColor);
        EXPECT_EQ(s.IsSelected(i), 0);
    }
    s.SetDefaultEntryColor(0x123456);
    s.AddItem(1);
    EXPECT_EQ(s.DispColor(3), 0x123456u);
}

TEST(ItemStoreStorage, NonPositiveCountsAddNothing) {
    ItemStore s = StoreWith({"a", "b"});
    EXPECT_TRUE(s.AddItem(0));
    EXPECT_TRUE(s.AddItem(-5));
    EXPECT_TRUE(s.InsertItem(0, -3));
    EXPECT_EQ(Column(s), QStringList({"a", "b"}));
}

TEST(ItemStoreStorage, GrowthBeyondThe32BitCountFailsAndKeepsTheList) {
    ItemStore s = StoreWith({"a"});
    globals::ErrorCatch = 0;
    EXPECT_FALSE(s.AddItem(INT_MAX));
    EXPECT_FALSE(s.InsertItem(0, INT_MAX));
    EXPECT_EQ(s.ItemCount(), 1);
    globals::ErrorCatch = 1;
    EXPECT_THROW(s.AddItem(INT_MAX), Failure);
    globals::ErrorCatch = 0;
    EXPECT_EQ(Column(s), QStringList({"a"}));
}

TEST(ItemStoreStorage, InsertShiftsLaterEntriesAndKeepsTheCursorOnItsEntry) {
    ItemStore s = StoreWith({"e0", "e1", "e2"});
    s.SetSelectedItem(2);
    s.SetDispColor(0, 0xFFFFFF);
    s.InsertItem(1, 2);
    EXPECT_EQ(Column(s), QStringList({"e0", "", "", "e1", "e2"}));
    EXPECT_EQ(s.SelectedItem(), 4);
    // Inserted entries are black, not the default colour.
    EXPECT_EQ(s.DispColor(1), 0u);
    EXPECT_TRUE(s.AuxID(2, 0).IsEmpty());

    s.InsertItem(5, 0);  // at the count: appends one
    EXPECT_EQ(s.ItemCount(), 6);
    s.InsertItem(7, 1);  // beyond the count: nothing
    s.InsertItem(-2, 1);
    EXPECT_EQ(s.ItemCount(), 6);

    s.InsertItem(-1);  // before the cursor entry
    EXPECT_EQ(s.Value(4, 0).ToText(), "");
    EXPECT_EQ(s.Value(5, 0).ToText(), "e2");
    EXPECT_EQ(s.SelectedItem(), 5);
}

TEST(ItemStoreStorage, DeleteItemFollowsTheCursor) {
    ItemStore s = StoreWith({"a", "b", "c", "d"});
    s.SetSelectedItem(2);
    s.DeleteItem(0);
    EXPECT_EQ(s.SelectedItem(), 1);
    EXPECT_EQ(s.Value(-1, 0).ToText(), "c");
    s.DeleteItem(3);  // out of range
    s.DeleteItem(-3);
    EXPECT_EQ(Column(s), QStringList({"b", "c", "d"}));
    s.DeleteItem(-1);  // the cursor entry: the cursor now designates the next
    EXPECT_EQ(Column(s), QStringList({"b", "d"}));
    EXPECT_EQ(s.Value(-1, 0).ToText(), "d");
}

// Deleting the last entry through the cursor leaves cursor == count, which
// must behave as no cursor everywhere, never as a slot beyond the list.
TEST(ItemStoreStorage, CursorEqualToTheCountIsNoCursor) {
    ItemStore s = StoreWith({"b", "a", "c"});
    s.SetSelectedItem(2);
    s.DeleteItem(-1);
    ASSERT_EQ(s.SelectedItem(), 2);
    ASSERT_EQ(s.ItemCount(), 2);
    EXPECT_FALSE(s.HasCursor());
    EXPECT_TRUE(s.Value(-1, 0).IsEmpty());
    EXPECT_EQ(s.IsSelected(-1), 0);
    s.SetValue(-1, 0, "x");
    s.SetIconType(-1, 7);
    s.ExchangeItem(-1);
    s.DeleteItem(-1);
    s.InsertItem(-1);
    EXPECT_EQ(Column(s), QStringList({"b", "a"}));
    EXPECT_EQ(s.IconType(1), 0);

    EXPECT_TRUE(s.ReOrder(0, 0));
    EXPECT_EQ(Column(s), QStringList({"a", "b"}));
    EXPECT_EQ(s.NumSelectedItems(), 0);
    EXPECT_EQ(s.ComboIndex(-1, 0), -1);

    // Appending keeps it past the end rather than landing on the new entry.
    s.InsertItem(2, 1);
    EXPECT_FALSE(s.HasCursor());
    s.MoveCursor(1);  // from no cursor both directions give the first entry
    EXPECT_EQ(s.SelectedItem(), 0);
}

TEST(ItemStoreStorage, DeleteItemExClampsOverlapsAndIgnoresRangesOutside) {
    ItemStore s = StoreWith({"a", "b", "c", "d", "e"});
    s.SetIsSelected(3, 1);
    s.DeleteItemEx(5, 9);
    s.DeleteItemEx(-4, -1);
    s.DeleteItemEx(3, 1);
    EXPECT_EQ(s.ItemCount(), 5);
    s.DeleteItemEx(-3, 1);
    EXPECT_EQ(Column(s), QStringList({"c", "d", "e"}));
    EXPECT_EQ(s.IsSelected(1), 1);  // the selection travelled with "d"
    s.DeleteItemEx(2, 40);
    EXPECT_EQ(Column(s), QStringList({"c", "d"}));
    s.DeleteItemEx(0, 1);
    EXPECT_EQ(s.ItemCount(), 0);
    s.DeleteItemEx(0, 0);
}

TEST(ItemStoreStorage, DeleteSelectedKeepsTheOrderOfTheRest) {
    ItemStore s = StoreWith({"a", "b", "c", "d", "e"});
    s.SetIsSelected(0, 1);
    s.SetIsSelected(3, 1);
    s.SetSelectedItem(4);
    s.DeleteSelected();
    EXPECT_EQ(Column(s), QStringList({"b", "c"}));
    EXPECT_EQ(s.SelectedItem(), -1);

    s.SelectAll();
    s.DeleteSelected();
    EXPECT_EQ(s.ItemCount(), 0);
    s.AddItem(1);
    EXPECT_EQ(s.IsSelected(0), 0);
    EXPECT_EQ(s.NumSelectedItems(), 0);
}

TEST(ItemStoreStorage, DeleteAllForgetsCursorViewStateAndLastSort) {
    ItemStore s = StoreWith({"b", "a"});
    s.ReOrder(0, 0);
    s.SetSelectedItem(1);
    ListViewState view;
    view.topRow = 1;
    view.lastDrawnTopRow = 1;
    view.shiftRangeDone = true;
    view.ctrlPending = true;
    s.DeleteAll();
    view.ForgetRows();  // the view's DeleteAll does both
    EXPECT_EQ(s.ItemCount(), 0);
    EXPECT_EQ(s.SelectedItem(), -1);
    EXPECT_EQ(view.topRow, 0);
    EXPECT_EQ(view.lastDrawnTopRow, 0);
    EXPECT_FALSE(view.shiftRangeDone);
    EXPECT_FALSE(view.ctrlPending);
    // A fresh fill sorted on the same column comes out ascending.
    s.AddItem(2);
    s.SetValue(0, 0, "b");
    s.SetValue(1, 0, "a");
    s.ReOrder(0, 0);
    EXPECT_EQ(Column(s), QStringList({"a", "b"}));
}

TEST(ItemStoreFields, IndexConventionsForReadsAndWrites) {
    ItemStore s;
    s.Init();
    // -2 on an empty list designates nothing.
    s.SetValue(-2, 0, "x");
    s.SetDispColor(-2, 5);
    EXPECT_EQ(s.ItemCount(), 0);
    EXPECT_TRUE(s.Value(-2, 0).IsEmpty());

    s.AddItem(3);
    s.SetValue(-2, 0, "last");
    s.SetDispColor(-2, 0x00FF00);
    s.SetHLine(-2, 0x0000FF);
    s.SetIsSelected(-2, 1);
    s.SetIconType(-2, 4);
    EXPECT_EQ(s.Value(2, 0).ToText(), "last");
    EXPECT_EQ(s.Value(-2, 0).ToText(), "last");
    EXPECT_EQ(s.IconType(-2), 4);
    // These three reads do not take -2.
    EXPECT_EQ(s.DispColor(-2), 0u);
    EXPECT_EQ(s.HLine(-2), 0u);
    EXPECT_EQ(s.IsSelected(-2), 0);
    EXPECT_EQ(s.DispColor(2), 0x00FF00u);
    EXPECT_EQ(s.HLine(2), 0x0000FFu);
    EXPECT_EQ(s.IsSelected(2), 1);

    // No cursor: -1 reads defaults and writes nothing.
    s.SetValue(-1, 0, "cur");
    EXPECT_EQ(s.Value(0, 0).ToText(), "");
    EXPECT_EQ(s.IconType(-1), 0);
    EXPECT_EQ(s.ComboIndex(-1, 0), -1);

    // Out of range entries and cells.
    EXPECT_TRUE(s.Value(3, 0).IsEmpty());
    EXPECT_TRUE(s.Value(0, 1).IsEmpty());
    EXPECT_TRUE(s.Value(0, -1).IsEmpty());
    EXPECT_TRUE(s.AuxID(0, 1).IsEmpty());
    EXPECT_EQ(s.DispColor(-7), 0u);
    s.SetAuxID(0, 1, "beyond");
    s.SetValue(0, 1, "beyond");
    s.SetIconType(99, 3);
    EXPECT_EQ(s.IconType(99), 0);
}

TEST(ItemStoreFields, RaisingNumDataNeedsResetNumTabBeforeTheNewCellsExist) {
    ItemStore s = StoreWith({"a", "b"});
    s.SetNumData(3);
    s.SetValue(0, 2, "lost");  // the entry's array has no third cell yet
    EXPECT_TRUE(s.Value(0, 2).IsEmpty());
    s.ResetNumTab();
    s.SetValue(0, 2, "kept");
    EXPECT_EQ(s.Value(0, 2).ToText(), "kept");
    EXPECT_EQ(s.Value(0, 0).ToText(), "a");
    s.SetNumData(1);
    s.ResetNumTab();
    s.SetNumData(3);
    EXPECT_TRUE(s.Value(0, 2).IsEmpty());
    EXPECT_EQ(s.Value(1, 0).ToText(), "b");
}
