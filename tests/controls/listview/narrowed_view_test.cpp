// The view narrowed to some entries, the columns' formats, the tabs' right
// click, and the find box's typing.

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <gtest/gtest.h>

#include "controls/listview/find_box.h"
#include "tests/controls/listview/view_fixture.h"
#include "tests/controls/mouse.h"
#include "tests/controls/spy.h"

using namespace rilumo;
using namespace rilumo::test;

namespace {

// The row's top in px at 18 px rows (the list surface starts below the tabs).
QPointF RowPoint(int row) { return QPointF(20, row * 18 + 9); }

}  // namespace

TEST(NarrowedView, RowsClicksAndDropsMapToTheShownEntries) {
    TestView v;
    v.Fill(100);
    // Every twentieth entry: 0, 20, ..., 80.
    v.lv.NarrowTo([](int i) { return i % 20 == 0; });
    v.lv.Refresh();
    EXPECT_FALSE(v.lv.VBarVisible());  // five rows fit without a bar
    Press(v.lv.PictureList(), RowPoint(1));
    Release(v.lv.PictureList(), RowPoint(1));
    EXPECT_EQ(v.lv.SelectedItem(), 20);
    Press(v.lv.PictureList(), RowPoint(3), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(v.lv.NumSelectedItems(), 3);  // 20, 40, 60: none of the entries between
    EXPECT_EQ(v.lv.YsItem(float(2 * 18 * Tpp())), 40);
    EXPECT_EQ(v.lv.YsItem(float(50 * 18 * Tpp())), 81);  // below the last shown row
    v.lv.ShowItem(40, 0);  // an entry shown in row 4 still scrolls by its row
    v.lv.ShowAll();
    v.lv.Refresh();
    EXPECT_TRUE(v.lv.VBarVisible());
}

TEST(NarrowedView, PaintsOnlyTheShownRows) {
    TestView v;
    v.Fill(3);
    const QRect row1(0, 18, 200, 18);
    v.lv.ReDraw();
    EXPECT_GT(DarkPixels(v.List(), row1), 0);
    v.lv.NarrowTo([](int i) { return i == 2; });
    v.lv.ReDraw();
    EXPECT_EQ(DarkPixels(v.List(), QRect(0, 18, 200, 18)), 0);
    EXPECT_GT(DarkPixels(v.List(), QRect(0, 0, 200, 18)), 0);
}

TEST(ListColumns, LengthShowsMinutesAndSecondsAndRightClickReportsTheTab) {
    ColumnInfo c;
    c.format = CellFormat::MinutesSeconds;
    EXPECT_EQ(CellText(c, Value(187400.0)), "3'07");
    EXPECT_EQ(CellText(c, Value(59600.0)), "1'00");
    EXPECT_EQ(CellText(c, Value()), "");
    EXPECT_EQ(CellText(c, Value(-5.0)), "");
    EXPECT_EQ(CellText(c, Value("text")), "text");

    TestView v(2);
    Spy<int> spy(&v.lv, &UC_ListView::TabRightClicked);
    v.TabClick(150, Qt::RightButton);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(std::get<0>(spy[0]), 1);
}

TEST(FindBox, TypingEditsComposingDoesNotEnterAndEscClose) {
    FindBox box;
    box.resize(200, 22);
    box.Open();
    Spy<QString> edited(&box, &FindBox::TextEdited);
    Spy<> accepted(&box, &FindBox::Accepted);
    Spy<> closed(&box, &FindBox::Closed);
    auto key = [&](int k, const QString& text, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QKeyEvent e(QEvent::KeyPress, k, m, text);
        QApplication::sendEvent(&box, &e);
    };
    key(Qt::Key_A, "a");
    key(Qt::Key_B, "b");
    key(Qt::Key_A, "\x01", Qt::ControlModifier);  // no text to look for
    EXPECT_EQ(box.Text(), "ab");
    EXPECT_GT(DarkPixels(box.Pic().Image(), QRect(4, 3, 20, 16)), 0);  // the text is drawn
    QInputMethodEvent compose(QString::fromUtf8("とう"), {});
    QApplication::sendEvent(&box, &compose);
    EXPECT_EQ(box.Text(), "ab");
    EXPECT_EQ(box.Preedit(), QString::fromUtf8("とう"));
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("東"));
    QApplication::sendEvent(&box, &commit);
    EXPECT_EQ(box.Text(), QString::fromUtf8("ab東"));
    EXPECT_TRUE(box.Preedit().isEmpty());
    key(Qt::Key_Backspace, "\b");
    EXPECT_EQ(box.Text(), "ab");
    EXPECT_EQ(edited.count(), 4);
    key(Qt::Key_Return, "\r");
    key(Qt::Key_Escape, "\x1b");
    EXPECT_EQ(accepted.count(), 1);
    EXPECT_EQ(closed.count(), 1);
}
