// ReOrder and RndItem.

#include <gtest/gtest.h>

#include <QSet>

#include <random>

#include "support/error_trap.h"
#include "tests/controls/listview/store/store_helpers.h"

using namespace rilumo;
using test::Column;
using test::IsPermutation;
using test::StoreWith;
using test::Tags;

TEST(ItemStoreReOrder, RepeatedClicksAlternateAndOtherColumnsStartAscending) {
    ItemStore s = StoreWith({"b", "A", "c"}, 2);
    s.SetValue(0, 1, "z");
    s.SetValue(1, 1, "y");
    s.SetValue(2, 1, "x");
    s.ReOrder(0, 0);
    EXPECT_EQ(Column(s), QStringList({"A", "b", "c"}));
    s.ReOrder(0, 0);
    EXPECT_EQ(Column(s), QStringList({"c", "b", "A"}));
    s.ReOrder(0, 0);
    EXPECT_EQ(Column(s), QStringList({"A", "b", "c"}));
    s.ReOrder(1, 0);
    EXPECT_EQ(Column(s, 1), QStringList({"x", "y", "z"}));
    s.ReOrder(1, 1);  // forced: ascending again
    EXPECT_EQ(Column(s, 1), QStringList({"x", "y", "z"}));
    EXPECT_FALSE(s.ReOrder(2, 0));  // no such column: nothing moves
    EXPECT_FALSE(s.ReOrder(-1, 0));
    EXPECT_EQ(Column(s, 1), QStringList({"x", "y", "z"}));
}

TEST(ItemStoreReOrder, TextComparesCaseInsensitivelyAndNumbersByValue) {
    ItemStore s = StoreWith({"abc", "Z", "ABC", "a"});
    s.ReOrder(0, 1);
    // Equal keys keep their order in a list this short (a single pass).
    EXPECT_EQ(Column(s), QStringList({"a", "abc", "ABC", "Z"}));
    ItemStore t = StoreWith({"9", "10"});
    t.ReOrder(0, 1);
    EXPECT_EQ(Column(t), QStringList({"10", "9"}));

    ItemStore n = StoreWith({"10", "9", " 2.5 ", "-1"});
    n.SetValue(1, 0, 9.0);
    n.AddItem(1);  // an empty cell: no value known, so after every number
    n.SetAuxID(4, 0, "#4");
    n.Columns()[0].dataNumeric = 1;
    EXPECT_TRUE(n.ReOrder(0, 1));
    EXPECT_EQ(Tags(n), QStringList({"#3", "#2", "#1", "#0", "#4"}));
}

// Both directions are stable: equal keys keep the order they had, and empty
// cells stay at the end, so a descending sort is no mirror of the ascending one.
TEST(ItemStoreReOrder, DescendingKeepsTiesInOrderAndEmptiesLast) {
    ItemStore s = StoreWith({"b", "a", "B", "", "c", "b"});
    s.ReOrder(0, 0);
    EXPECT_EQ(Tags(s), QStringList({"#1", "#0", "#2", "#5", "#4", "#3"}));
    s.ReOrder(0, 0);
    EXPECT_EQ(Tags(s), QStringList({"#4", "#0", "#2", "#5", "#1", "#3"}));
    EXPECT_TRUE(s.LastSortReversed());

    ItemStore n = StoreWith({"3", "", "1", "2"});
    n.Columns()[0].dataNumeric = 1;
    n.ReOrder(0, 0);
    EXPECT_EQ(Column(n), QStringList({"1", "2", "3", ""}));
    n.ReOrder(0, 0);
    EXPECT_EQ(Column(n), QStringList({"3", "2", "1", ""}));
}

// Sorting by track and then by album gives album order, tracks in order
// within each album, whichever way the album sort runs.
TEST(ItemStoreReOrder, OneSortRefinesTheNext) {
    ItemStore s = StoreWith({"B", "A", "B", "A", "B"}, 2);
    const double tracks[] = {2, 2, 1, 1, 3};
    for (int i = 0; i < 5; ++i) s.SetValue(i, 1, tracks[i]);
    s.Columns()[1].dataNumeric = 1;
    s.ReOrder(1, 0);
    s.ReOrder(0, 0);
    EXPECT_EQ(Tags(s), QStringList({"#3", "#1", "#2", "#0", "#4"}));
    s.ReOrder(0, 0);  // albums descending, tracks still ascending within
    EXPECT_EQ(Tags(s), QStringList({"#2", "#0", "#4", "#3", "#1"}));
}

TEST(ItemStoreReOrder, CursorFollowsItsEntryAndEndsSelected) {
    ItemStore s = StoreWith({"d", "c", "b", "a"});
    s.SetIsSelected(1, 1);
    s.SetSelectedItem(0);
    s.SetIsSelected(0, 0);  // the cursor may sit on an unselected entry
    s.ReOrder(0, 0);
    EXPECT_EQ(s.SelectedItem(), 3);
    EXPECT_EQ(s.Value(-1, 0).ToText(), "d");
    EXPECT_EQ(s.IsSelected(3), 1);
    EXPECT_EQ(s.IsSelected(2), 1);  // "c" kept its selection
    EXPECT_EQ(s.NumSelectedItems(), 2);
    s.ReOrder(0, 0);
    EXPECT_EQ(s.SelectedItem(), 0);
    EXPECT_EQ(s.Value(-1, 0).ToText(), "d");
}

TEST(ItemStoreReOrder, EmptyAndSingleEntryListsSortTwiceWithoutHarm) {
    ItemStore s;
    s.Init();
    EXPECT_TRUE(s.ReOrder(0, 0));
    EXPECT_TRUE(s.ReOrder(0, 0));  // descending: nothing to mirror
    EXPECT_EQ(s.ItemCount(), 0);
    s.AddItem(1);
    s.SetValue(0, 0, "only");
    s.SetSelectedItem(0);
    s.ReOrder(0, 0);
    s.ReOrder(0, 0);
    EXPECT_EQ(Column(s), QStringList({"only"}));
    EXPECT_EQ(s.SelectedItem(), 0);
}

TEST(ItemStoreReOrder, MatchesAStableSortOfTheLoweredTextsOnManyTies) {
    std::mt19937 gen(7);
    const QStringList pool = {"a", "A", "ab", "Ab", "abcd", "ABCD", "abcde", "abcdE", "abcdf",
                              "b", "", QString::fromUtf8("曲"), QString::fromUtf8("Ünï"),
                              QString::fromUtf8("ünï"), QString(QChar(0)), "a b", "a\tb"};
    QStringList texts;
    for (int i = 0; i < 3000; ++i) {
        QString t = pool[static_cast<int>(gen() % pool.size())];
        t += QStringLiteral("|%1").arg(gen() % 3);  // ties that differ after the prefix
        if (gen() % 4 == 0) t = t.left(static_cast<int>(gen() % 6));
        texts << t;
    }
    ItemStore s = StoreWith(texts);
    s.ReOrder(0, 0);
    QStringList want = texts;
    std::stable_sort(want.begin(), want.end(), [](const QString& a, const QString& b) {
        if (a.isEmpty() != b.isEmpty()) return b.isEmpty();
        return a.toLower() < b.toLower();
    });
    EXPECT_EQ(Column(s), want);
    EXPECT_TRUE(IsPermutation(s, texts.size()));
}

// A numeric sort meeting a text that is no number moves nothing; no entry is
// lost or doubled and the cursor marker does not linger as an invisible
// selection that a later DeleteSelected would remove.
TEST(ItemStoreReOrder, NumericFailureKeepsEveryEntryAndClearsTheMarker) {
    QStringList texts;
    for (int i = 0; i < 60; ++i) texts << QString::number((i * 37) % 60);
    texts[41] = "n/a";
    for (int catchFlag : {0, 1}) {
        ItemStore s = StoreWith(texts);
        s.Columns()[0].dataNumeric = 1;
        s.SetSelectedItem(5);
        const QString cursorTag = s.AuxID(-1, 0).ToText();
        globals::ErrorCatch = catchFlag;
        if (catchFlag) {
            EXPECT_THROW(s.ReOrder(0, 0), Failure);
        } else {
            EXPECT_FALSE(s.ReOrder(0, 0));
        }
        globals::ErrorCatch = 0;
        EXPECT_TRUE(IsPermutation(s, 60));
        EXPECT_EQ(s.AuxID(-1, 0).ToText(), cursorTag);
        EXPECT_EQ(s.NumSelectedItems(), 1);
        s.DeleteSelected();
        EXPECT_EQ(s.ItemCount(), 59);
    }
    // A single bad cell alone in the list fails too, and sorts nothing.
    ItemStore one = StoreWith({"x"});
    one.Columns()[0].dataNumeric = 1;
    EXPECT_FALSE(one.ReOrder(0, 0));
}

TEST(ItemStoreShuffle, RndItemPermutesKeepingSelectionsAndResetsTheSortDirection) {
    QStringList texts;
    for (int i = 0; i < 500; ++i) texts << QStringLiteral("t%1").arg(i, 4, 10, QChar('0'));
    ItemStore s = StoreWith(texts);
    s.SetIsSelected(10, 1);
    s.SetSelectedItem(20);
    s.ReOrder(0, 0);  // ascending; the next click on column 0 would reverse
    const int cursor = s.SelectedItem();
    s.RndItem();
    EXPECT_TRUE(IsPermutation(s, 500));
    EXPECT_NE(Column(s), texts);
    EXPECT_EQ(s.SelectedItem(), cursor);
    EXPECT_EQ(s.NumSelectedItems(), 2);
    EXPECT_EQ(s.LastSortColumn(), -1);
    s.ReOrder(0, 0);
    EXPECT_EQ(Column(s), texts);
}

TEST(ItemStoreShuffle, TwoEntriesStayAndSuccessiveShufflesDiffer) {
    ItemStore two = StoreWith({"a", "b"});
    two.RndItem();
    EXPECT_EQ(Column(two), QStringList({"a", "b"}));

    QStringList texts;
    for (int i = 0; i < 300; ++i) texts << QString::number(i);
    ItemStore s = StoreWith(texts);
    s.RndItem();
    const QStringList first = Tags(s);
    s.RndItem();
    EXPECT_NE(Tags(s), first);
    // A degenerate shuffle (same draw every time) moves every entry by the
    // same few offsets; a real one spreads them across the list.
    QSet<int> offsets;
    for (int i = 0; i < s.ItemCount(); ++i)
        offsets.insert((s.AuxID(i, 0).ToText().mid(1).toInt() - i + 300) % 300);
    EXPECT_GT(offsets.size(), 100);
}

TEST(ItemStoreShuffle, FixedDrawsGiveTheExactOrder) {
    // Five entries: window 7, span 4, so target = round(4r + i), halves to even.
    // Eight entries: window 7, so the last entry's offset wraps to 0.
    const struct {
        QStringList entries;
        std::vector<float> draws;
        QStringList shuffled;
    } cases[] = {
        {{"a", "b", "c", "d", "e"}, {0.625f, 0.125f, 0.375f, 0.625f, 0.25f}, {"c", "a", "e", "d", "b"}},
        {{"a", "b", "c", "d", "e", "f", "g", "h"}, {0}, {"h", "b", "c", "d", "e", "f", "g", "a"}},
    };
    for (const auto& c : cases) {
        ItemStore s = StoreWith(c.entries);
        size_t next = 0;
        s.SetRandomSource([&] { return c.draws[next++ % c.draws.size()]; });
        s.RndItem();
        EXPECT_EQ(Column(s), c.shuffled);
        EXPECT_EQ(next, size_t(c.entries.size()));
    }
}
