// A narrowed view over the item store: rows, selection and what deletions reach.

#include <gtest/gtest.h>

#include "tests/controls/listview/store/store_helpers.h"

using namespace rilumo;
using test::Column;
using test::StoreWith;
using test::Tags;

namespace {

// Keeps the entries whose text contains "x".
void NarrowToX(ItemStore& s) {
    s.NarrowTo([&](int i) { return s.Value(i, 0).ToText().contains(u'x'); });
}

}  // namespace

TEST(ItemStoreNarrowing, RowsAreTheKeptEntriesInStoreOrderAndFollowChanges) {
    ItemStore s = StoreWith({"ax", "b", "cx", "d", "ex"});
    NarrowToX(s);
    EXPECT_EQ(s.ShownCount(), 3);
    EXPECT_EQ(s.ShownEntry(1), 2);
    EXPECT_EQ(s.ShownEntry(3), -1);
    EXPECT_EQ(s.RowOfEntry(4), 2);
    EXPECT_EQ(s.RowOfEntry(3), -1);
    EXPECT_EQ(s.ItemCount(), 5);  // the store keeps every entry

    s.ReOrder(0, 0);
    s.ReOrder(0, 0);  // descending: ex d cx b ax
    EXPECT_EQ(s.ShownEntry(0), 0);
    EXPECT_EQ(s.ShownEntry(2), 4);
    s.DeleteItem(0);
    EXPECT_EQ(s.ShownCount(), 2);
    s.AddItem(1);  // added later: shown until the next narrowing
    EXPECT_EQ(s.ShownCount(), 3);

    s.ShowAll();
    EXPECT_EQ(s.ShownCount(), 5);
    EXPECT_EQ(s.RowOfEntry(3), 3);
    NarrowToX(s);
    s.DeleteAll();
    EXPECT_FALSE(s.Narrowed());
}

// What the user cannot see is never selected, so deleting the selection
// while narrowed removes shown entries only.
TEST(ItemStoreNarrowing, LeftOutEntriesAreNeverSelectedNorDeleted) {
    ItemStore s = StoreWith({"ax", "b", "cx", "d"});
    s.SelectAll();
    NarrowToX(s);
    EXPECT_EQ(s.NumSelectedItems(), 2);  // narrowing dropped b and d
    s.SelectAll();
    s.SelectOnly(0, 3);
    s.SetIsSelected(1, 1);
    s.SetSelectedItem(3);  // the cursor may rest on a left-out entry
    EXPECT_EQ(s.SelectedItem(), 3);
    EXPECT_EQ(s.IsSelected(1) + s.IsSelected(3), 0);
    s.ReOrder(0, 1);  // the cursor's sort marker does not select it either
    EXPECT_EQ(s.IsSelected(s.SelectedItem()), 0);
    s.DeleteSelected();
    s.ShowAll();
    EXPECT_EQ(Column(s), QStringList({"b", "d"}));
}

TEST(ItemStoreNarrowing, FindKeysTravelWithTheirEntryAndDropWhenACellChanges) {
    ItemStore s = StoreWith({"b", "a"});
    s.SetFindKey(0, "key-b");
    s.ReOrder(0, 0);
    EXPECT_EQ(s.FindKey(1), "key-b");
    EXPECT_EQ(Tags(s), QStringList({"#1", "#0"}));
    s.SetValue(1, 0, "c");
    EXPECT_TRUE(s.FindKey(1).isEmpty());
    s.SetFindKey(0, "k");
    s.ClearFindKeys();
    EXPECT_TRUE(s.FindKey(0).isEmpty());
}
