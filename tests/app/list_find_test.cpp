// Find as you type: the folding, the narrowed list and what Enter and Esc do,
// then the real window's keys around the box.

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <gtest/gtest.h>

#include "app/find_text.h"
#include "app/list_columns.h"
#include "app/list_find.h"
#include "controls/listview/find_box.h"
#include "controls/listview/uc_listview.h"
#include "tests/app/window_fixture.h"

using namespace rilumo;

namespace {

constexpr int kArtist = DataIndex(ListColumn::Artist);

void Type(QWidget* w, const QString& text) {
    for (QChar c : text) {
        QKeyEvent e(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &e);
    }
}

void Key(QWidget* w, QEvent::Type t, int key, Qt::KeyboardModifiers m = Qt::NoModifier, const QString& text = {}) {
    QKeyEvent e(t, key, m, text);
    QApplication::sendEvent(w, &e);
}

struct FindView {
    UC_ListView lv;
    int plays = 0;
    ListFind find{lv, [this] { ++plays; }};

    explicit FindView(const QStringList& titles) {
        lv.resize(400, 300);
        SetUpPlaylistView(lv, ListColumnSet());
        RestoreListColumns(lv);
        for (const QString& t : titles) {
            lv.AddItem(1);
            lv.SetValue(-2, 0, t);
            lv.SetAuxID(-2, 0, "/m/" + t);
        }
        lv.UserControl_Resize();
    }
    QStringList Shown() const {
        QStringList out;
        for (int r = 0; r < lv.ShownCount(); ++r) out << lv.Value(lv.ShownEntry(r), 0).ToText();
        return out;
    }
};

}  // namespace

TEST(FindText, KanaWidthAndCaseFoldAlike) {
    const QString want = FoldForFind(QStringLiteral("がーる abc"));
    for (const char* form : {"ガール ABC", "ｶﾞｰﾙ ａｂｃ", "がーる Abc"}) EXPECT_EQ(FoldForFind(QString::fromUtf8(form)), want) << form;
    EXPECT_EQ(FoldForFind("Cafe"), "cafe");
    EXPECT_EQ(FoldForFind(QStringLiteral("CAFÉ")), QStringLiteral("café"));
    EXPECT_NE(FoldForFind(QStringLiteral("は")), FoldForFind(QStringLiteral("ば")));  // voicing still counts
}

TEST(ListFind, NarrowsByShownCellsAndEnterPlaysEscReturnsToTheChosenEntry) {
    FindView v({"Osaka", "トウキョウ Night", "kyoto", "ﾄｳｷｮｳ", "とうきょう"});
    v.lv.SetValue(0, kArtist, "Tokyo Band");  // a hidden column is not searched
    v.find.Open();
    Type(&v.find.Box(), "TOKYO");
    EXPECT_TRUE(v.Shown().isEmpty());
    const std::unique_ptr<QMenu> menu(NewColumnMenu(nullptr, v.lv, 0, [&] { v.find.ColumnsChanged(); }));
    menu->actions()[kArtist]->trigger();
    EXPECT_EQ(v.Shown(), QStringList({"Osaka"}));

    v.find.Narrow(QStringLiteral("とうキョウ"));
    EXPECT_EQ(v.Shown(), QStringList({QStringLiteral("トウキョウ Night"), QStringLiteral("ﾄｳｷｮｳ"), QStringLiteral("とうきょう")}));
    EXPECT_EQ(v.lv.ItemCount(), 5);
    Key(&v.find.Box(), QEvent::KeyPress, Qt::Key_Return);
    EXPECT_EQ(v.plays, 1);
    EXPECT_EQ(v.lv.SelectedItem(), 1);
    v.lv.UnSelectAll();  // as playing does
    Key(&v.find.Box(), QEvent::KeyPress, Qt::Key_Escape);
    EXPECT_FALSE(v.find.IsOpen());
    EXPECT_EQ(v.lv.ShownCount(), 5);
    EXPECT_EQ(v.lv.SelectedItem(), 1);
}

TEST(ListFind, DeletingWhileNarrowedRemovesOnlyWhatIsShown) {
    FindView v({"a1", "b1", "a2", "b2"});
    v.lv.SelectAll();
    v.find.Open();
    Type(&v.find.Box(), "a");
    v.lv.SelectAll();
    v.lv.DeleteSelected();
    Key(&v.find.Box(), QEvent::KeyPress, Qt::Key_Escape);
    EXPECT_EQ(v.Shown(), QStringList({"b1", "b2"}));
}

// In the real window the box's Esc and Space are typing: playback goes on.
using FindWindow = test::PlayerWindow;

TEST_F(FindWindow, FindBoxKeysAreNoWindowCommandsAndEnterPlaysTheMatch) {
    Fill({Track("alpha.wav", 20000), Track("beta.wav", 20000), Track("gamma.wav", 20000)});
    Select(0);
    Click(kButtonPlay);
    ASSERT_TRUE(WaitForStatus("PLAY"));
    w->activateWindow();
    w->LV().setFocus();
    ASSERT_TRUE(WaitFor([&] { return QApplication::focusWidget() == &w->LV(); }, 5000));
    Key(&w->LV(), QEvent::KeyRelease, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(w->Find().IsOpen());
    FindBox* box = &w->Find().Box();
    ASSERT_EQ(QApplication::focusWidget(), box);
    for (QEvent::Type t : {QEvent::KeyPress, QEvent::KeyRelease}) Key(box, t, Qt::Key_Space, Qt::NoModifier, " ");
    Type(box, "gam");
    Key(box, QEvent::KeyRelease, Qt::Key_Escape);
    test::PumpFor(200);
    EXPECT_EQ(Status(), "PLAY");
    EXPECT_EQ(w->LV().ShownCount(), 0);  // " gam" matches nothing
    for (int i = 0; i < 4; ++i) Key(box, QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, "\b");
    EXPECT_EQ(w->LV().ShownCount(), 3);
    Type(box, "gam");
    ASSERT_EQ(w->LV().ShownCount(), 1);
    Key(box, QEvent::KeyPress, Qt::Key_Return);
    EXPECT_TRUE(WaitFor([&] { return Playing().endsWith("gamma.wav"); }));
}
