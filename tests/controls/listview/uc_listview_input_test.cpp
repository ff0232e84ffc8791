// The playlist view's input: mouse selection and drag start, wheel and
// drag-over scrolling, and the in-place editors.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDragMoveEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>

#include "controls/listview/uc_listview.h"
#include "controls/surface_widget.h"
#include "tests/controls/listview/view_fixture.h"

using namespace rilumo;

namespace {

// The platform's drag loop blocks; the test records what it would be given.
class DragListView : public UC_ListView {
public:
    QStringList drags;  // "allowed effects:text" per drag
protected:
    int StartDrag(QMimeData* data, int allowedEffects) override {
        drags << QStringLiteral("%1:%2").arg(allowedEffects).arg(data->text());
        delete data;
        return 2;
    }
};

// Rows of 18 px, a 180 px list surface (10 rows) when the height is 202.
struct View : test::TestViewOf<DragListView> {
    explicit View(int columns = 1) : TestViewOf(columns, {}, 202) {}
    void Mouse(QEvent::Type t, QPointF p, Qt::MouseButton b = Qt::LeftButton,
               Qt::KeyboardModifiers m = Qt::NoModifier) {
        const Qt::MouseButton button = t == QEvent::MouseMove ? Qt::NoButton : b;
        const Qt::MouseButtons held = t == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(b);
        QMouseEvent e(t, p, p, button, held, m);
        QApplication::sendEvent(lv.PictureList(), &e);
    }
    void Click(int row, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = Qt::NoModifier) {
        const QPointF p(30, row * 18 + 9);
        Mouse(QEvent::MouseButtonPress, p, b, m);
        Mouse(QEvent::MouseButtonRelease, p, b, m);
    }
    QList<int> Selected() const {
        QList<int> s;
        for (int i = 0; i < lv.Count(); ++i)
            if (lv.IsSelected(i) == 1) s << i;
        return s;
    }
};

void Key(QWidget* w, QEvent::Type t, int key, const QString& text,
         Qt::KeyboardModifiers m = Qt::NoModifier) {
    QKeyEvent e(t, key, m, text);
    QApplication::sendEvent(w, &e);
}
void Type(QWidget* w, const QString& s) {
    for (QChar c : s) {
        Key(w, QEvent::KeyPress, c.toUpper().unicode(), QString(c));
        Key(w, QEvent::KeyRelease, c.toUpper().unicode(), QString(c));
    }
}

}  // namespace

TEST(UCListViewInput, DragStartsOnlyPastEightPixels) {
    View v;
    v.Fill(5);
    QStringList log;
    QObject::connect(&v.lv, &UC_ListView::OLEStartDrag, [&](QMimeData* d, int& allowed) {
        d->setText("rows");
        allowed = 3;
        log << "start";
    });
    QObject::connect(&v.lv, &UC_ListView::OLECompleteDrag, [&](int& effect) {
        log << QStringLiteral("complete %1 after %2").arg(effect).arg(v.lv.drags.size());
    });
    const QPointF p(30, 45);
    v.Mouse(QEvent::MouseButtonPress, p);
    for (QPointF d : {QPointF(8, 0), QPointF(-8, 8), QPointF(0, -8)})
        v.Mouse(QEvent::MouseMove, p + d);
    EXPECT_TRUE(log.isEmpty());
    v.Mouse(QEvent::MouseMove, p + QPointF(0, -9));
    v.Mouse(QEvent::MouseMove, p + QPointF(0, -30));  // the press is used up
    EXPECT_EQ(log, QStringList({"start", "complete 2 after 1"}));
    EXPECT_EQ(v.lv.drags, QStringList({"3:rows"}));
    v.Mouse(QEvent::MouseButtonRelease, p);
    v.Mouse(QEvent::MouseButtonPress, p);
    v.Mouse(QEvent::MouseMove, p + QPointF(9, 0));
    EXPECT_EQ(v.lv.drags.size(), 2);
    v.Mouse(QEvent::MouseButtonRelease, p);

    // Without the left button held, or with clicks disabled, nothing drags.
    v.Mouse(QEvent::MouseButtonPress, p, Qt::RightButton);
    v.Mouse(QEvent::MouseMove, p + QPointF(20, 20), Qt::RightButton);
    v.Mouse(QEvent::MouseButtonRelease, p, Qt::RightButton);
    v.lv.SetClickDisabled(1);
    v.Mouse(QEvent::MouseButtonPress, p);
    v.Mouse(QEvent::MouseMove, p + QPointF(20, 20));
    EXPECT_EQ(v.lv.drags.size(), 2);
}

TEST(UCListViewInput, EventsOfPressesReleasesAndDoubleClicks) {
    View v;
    v.Fill(5);
    QStringList log;
    QObject::connect(&v.lv, &UC_ListView::MouseDown, [&](int b, int s, float x, float y) {
        log << QStringLiteral("down %1 %2 %3 %4").arg(b).arg(s).arg(x).arg(y);
    });
    QObject::connect(&v.lv, &UC_ListView::Clicked, [&](float, float y) { log << QStringLiteral("click %1").arg(y); });
    QObject::connect(&v.lv, &UC_ListView::RightClicked, [&](float, float y) { log << QStringLiteral("right %1").arg(y); });
    QObject::connect(&v.lv, &UC_ListView::DblClicked, [&] { log << "dbl"; });
    v.Click(1);
    v.Click(3, Qt::RightButton, Qt::ShiftModifier);
    EXPECT_EQ(log, QStringList({"down 1 0 450 405", "click 405", "down 2 1 450 945", "right 945"}));
    EXPECT_EQ(v.Selected(), QList<int>({1}));
    EXPECT_EQ(v.lv.SelectedItem(), 1);

    // Single selection: Shift and Ctrl clicks are plain ones, Ctrl toggles nothing.
    v.lv.SetNoMultiSelect(1);
    v.Click(3, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(v.Selected(), QList<int>({3}));
    v.Click(0, Qt::LeftButton, Qt::ControlModifier);
    v.Click(0, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(v.Selected(), QList<int>({0}));
    EXPECT_EQ(v.lv.SelectedItem(), 0);

    log.clear();
    v.Mouse(QEvent::MouseButtonDblClick, QPointF(30, 9));
    v.lv.SetClickDisabled(1);
    v.Click(2);
    v.Click(2, Qt::RightButton);
    v.Mouse(QEvent::MouseButtonDblClick, QPointF(30, 9));
    EXPECT_EQ(log, QStringList({"dbl"}));
    EXPECT_EQ(v.Selected(), QList<int>({0}));

    // An empty list: the press drops the cursor, a double click raises nothing.
    v.lv.SetClickDisabled(0);
    v.lv.DeleteAll();
    v.lv.Store().SetCursor(2);
    v.Mouse(QEvent::MouseButtonPress, QPointF(30, 9));
    v.Mouse(QEvent::MouseButtonDblClick, QPointF(30, 9));
    v.Mouse(QEvent::MouseButtonRelease, QPointF(30, 9));
    EXPECT_EQ(log, QStringList({"dbl", "down 1 0 450 135", "click 135"}));
    EXPECT_EQ(v.lv.SelectedItem(), -1);
}

TEST(UCListViewInput, SelectedDataIsThePressedColumnWithinNumData) {
    View v(2);  // two columns of 100 px
    v.Fill(3);
    v.Mouse(QEvent::MouseButtonPress, QPointF(150, 9));
    EXPECT_EQ(v.lv.SelectedData(), 1);
    v.lv.SetNumData(1);  // only stored: the remembered column now lies beyond it
    EXPECT_EQ(v.lv.SelectedData(), 0);
}

TEST(UCListViewInput, ShiftPressWithoutACursorSelectsFromTheTop) {
    View v;
    v.Fill(6);
    v.Click(5);
    v.lv.DeleteItem(5);  // the cursor now equals the count
    ASSERT_EQ(v.lv.SelectedItem(), v.lv.Count());
    v.Click(2, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(v.Selected(), QList<int>({0, 1, 2}));
    EXPECT_EQ(v.lv.SelectedItem(), 2);
    v.lv.DeleteSelected();  // cursor -1
    v.Click(1, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(v.Selected(), QList<int>({0, 1}));
}

TEST(UCListViewInput, WheelAndDragOverScrolling) {
    View v;
    v.Fill(100);
    ASSERT_EQ(v.lv.VBarLargeChange(), 9);
    v.lv.ShowItem(1, 0);
    v.lv.VBarScroll(-1);
    EXPECT_EQ(v.lv.TopRow(), 0);
    v.lv.VBarScroll(2);
    EXPECT_EQ(v.lv.TopRow(), 6);
    v.lv.VBarScroll(1000);
    EXPECT_EQ(v.lv.TopRow(), v.lv.VBarMax());

    double now = 1000;
    v.lv.SetClock([&] { return now; });
    int overs = 0;
    QObject::connect(&v.lv, &UC_ListView::OLEDragOver, [&] { ++overs; });
    QMimeData data;
    auto over = [&](int y, double dt) {
        now += dt;
        QDragMoveEvent e(QPoint(10, y), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(v.lv.PictureList(), &e);
        return v.lv.TopRow();
    };
    v.lv.ShowItem(50, 0);
    QDragEnterEvent enter(QPoint(10, 90), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(v.lv.PictureList(), &enter);  // moves go to the widget entered last
    // Surface 180 px, rows 18 px: bands end at 9 and 27 px from either edge.
    EXPECT_EQ(over(4, 0), 50);       // a new position is only recorded
    EXPECT_EQ(over(4, 0), 50);       // the first rest starts the clock
    EXPECT_EQ(over(4, 0.015), 50);
    EXPECT_EQ(over(4, 0.01), 41);    // 0.025 s after the start: a page up
    EXPECT_EQ(over(4, 0.025), 32);
    EXPECT_EQ(over(20, 0), 32);      // moved
    EXPECT_EQ(over(20, 0.15), 32);
    EXPECT_EQ(over(20, 0.1), 31);
    EXPECT_EQ(over(90, 0), 31);
    EXPECT_EQ(over(90, 0.5), 31);    // the middle never scrolls
    EXPECT_EQ(over(160, 0), 31);
    EXPECT_EQ(over(160, 0), 32);     // 0.5 s since the last step
    EXPECT_EQ(over(176, 0), 32);
    EXPECT_EQ(over(176, 0.03), 41);
    EXPECT_EQ(over(176, 1.5), 41);   // a long pause only restarts the clock
    EXPECT_EQ(over(176, 0.03), 50);
    v.lv.ShowItem(3, 0);
    EXPECT_EQ(over(4, 0), 3);
    EXPECT_EQ(over(4, 0.03), 0);     // never above the first row
    v.lv.ShowItem(50, 0);
    v.lv.SetNoOleScroll(1);
    EXPECT_EQ(over(4, 0.03), 50);
    EXPECT_EQ(over(4, 0.03), 50);
    EXPECT_EQ(overs, 21);
}

namespace {
// Column 1 a time text editor, 2 a combo, 3 a plain text editor.
struct EditView : View {
    EditView() : View(4) {
        lv.SetUseTextCombo(1, 1);
        lv.SetTextIsTime(1, 1);
        lv.SetUseTextCombo(2, 3);
        lv.SetFrontObj(2, 2);
        lv.SetUseTextCombo(3, 1);
        lv.InitTab();
        for (const char* c : {"a", "b", "c", "d"}) lv.AddComboItem(2, c);
        Fill(30);
        lv.SetSelectedItem(1);
        lv.ReDraw();
    }
    QLineEdit* time() const { return lv.TextEditor(0); }
    QLineEdit* plain() const { return lv.TextEditor(2); }
    QComboBox* combo() const { return lv.ComboEditor(0); }
};
}  // namespace

TEST(UCListViewInput, EditorsTimeAidAndComboChoice) {
    EditView v;
    ASSERT_TRUE(v.time() && v.plain() && v.combo());
    EXPECT_TRUE(v.lv.TextComboVisible());
    EXPECT_EQ(v.time()->y(), 19);
    Type(v.time(), "235959");
    EXPECT_EQ(v.time()->text(), "23:59:59");
    EXPECT_EQ(v.lv.Value(1, 1).ToText(), "23:59:59");
    for (const char* t : {"316000", "126000", "12345", "1234567", "12.345", "-12345", "3a5959"}) {
        v.time()->setText(t);
        EXPECT_EQ(v.lv.Value(1, 1).ToText(), t);
    }
    v.time()->setText("305959");
    EXPECT_EQ(v.lv.Value(1, 1).ToText(), "30:59:59");
    v.plain()->setText("123456");
    EXPECT_EQ(v.lv.Value(1, 3).ToText(), "123456");

    std::vector<std::pair<int, int>> chosen;
    QObject::connect(&v.lv, &UC_ListView::ComboChaged,
                     [&](int& d, int& i) { chosen.emplace_back(d, i); });
    Key(v.combo(), QEvent::KeyPress, Qt::Key_Down, QString());
    Key(v.combo(), QEvent::KeyPress, Qt::Key_Down, QString());
    EXPECT_EQ(chosen, (std::vector<std::pair<int, int>>{{2, 1}, {2, 2}}));
    EXPECT_EQ(v.lv.Value(1, 2).ToText(), "c");

    // Another cursor row: the editors show its cells; no cursor stores nothing.
    v.lv.SetValue(4, 1, "01:02:03");
    v.lv.SetSelectedItem(4);
    v.lv.ReDraw();
    EXPECT_EQ(v.time()->text(), "01:02:03");
    EXPECT_EQ(v.time()->y(), 4 * 18 + 1);
    v.lv.DeleteItem(29);
    v.lv.SetSelectedItem(28);
    v.lv.DeleteItem(28);  // the cursor equals the count
    v.time()->setText("x");
    for (int i = 0; i < v.lv.Count(); ++i) EXPECT_NE(v.lv.Value(i, 1).ToText(), "x");
}

TEST(UCListViewInput, EditorKeysReachTheHostAndEditorsHide) {
    EditView v;
    QStringList keys;
    bool swallow = false;
    QObject::connect(&v.lv, &UC_ListView::TextComboKeyAction,
                     [&](int combo, int tab, int action, int& key, int& shift) {
                         keys << QStringLiteral("%1 %2 %3 %4 %5").arg(combo).arg(tab).arg(action).arg(key).arg(shift);
                         if (action == 2 && swallow) key = 0;
                         if (action == 2 && key == 'q') key = 'z';
                     });
    Key(v.plain(), QEvent::KeyPress, 'X', "X", Qt::ShiftModifier);
    Key(v.plain(), QEvent::KeyRelease, 'X', "X", Qt::ShiftModifier);
    EXPECT_EQ(keys, QStringList({"0 3 1 88 1", "0 3 2 88 0", "0 3 0 88 1"}));
    EXPECT_EQ(v.plain()->text(), "X");
    Type(v.plain(), "q");  // the host rewrites it
    EXPECT_EQ(v.plain()->text(), "Xz");
    swallow = true;
    keys.clear();
    Key(v.plain(), QEvent::KeyPress, 'K', "k");
    EXPECT_EQ(keys, QStringList({"0 3 1 75 0", "0 3 2 107 0"}));
    EXPECT_EQ(v.plain()->text(), "Xz");
    keys.clear();
    Key(v.combo(), QEvent::KeyPress, Qt::Key_Escape, QString());
    EXPECT_EQ(keys, QStringList({"1 2 1 27 0"}));

    auto anyShown = [&] {
        return !v.time()->isHidden() || !v.plain()->isHidden() || !v.combo()->isHidden() ||
               !v.lv.TextEditor(1)->isHidden();
    };
    EXPECT_TRUE(v.lv.TextEditor(1)->isHidden());  // column 2's text editor is behind its combo
    v.lv.SetHideTextCombo(1);
    v.lv.ReDraw();
    EXPECT_FALSE(anyShown());
    EXPECT_FALSE(v.lv.TextComboVisible());
    v.lv.SetHideTextCombo(0);
    v.lv.ReDraw();
    EXPECT_TRUE(v.lv.TextComboVisible());
    v.lv.ShowItem(10, 0);  // the cursor row scrolls off
    EXPECT_FALSE(anyShown());
    v.lv.ShowItem(0, 0);
    EXPECT_TRUE(anyShown());
}
