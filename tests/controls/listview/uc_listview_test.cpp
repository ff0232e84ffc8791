// The playlist view widget: painting, scrolling, clicks and the drop its host
// relies on.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QUrl>

#include "controls/listview/uc_listview.h"
#include "controls/surface_widget.h"
#include "support/ui/syscolors.h"
#include "tests/controls/listview/view_fixture.h"

using namespace rilumo;

namespace {

// One title column and a path in aux 0, as the main window fills them.
struct View : test::TestView {
    void Fill(int n) {
        for (int i = 0; i < n; ++i) {
            lv.AddItem(1);
            lv.SetValue(-2, 0, QStringLiteral("title %1").arg(i));
            lv.SetAuxID(-2, 0, QStringLiteral("/music/%1.mp3").arg(i));
            lv.SetDispColor(-2, 0xE0E0E0);
        }
    }
};

}  // namespace

TEST(UCListView, PaintsRowsInTheirColours) {
    PinSystemColor(5, 0xFFFFFF);
    View v;
    v.Fill(2);
    v.lv.SetDispColor(0, 0x0000FF);  // red
    v.lv.SetValue(0, 0, QString(40, QChar(0x2588)));  // a solid block run
    v.lv.SetSelectedItem(1);
    v.lv.ReDraw();
    const QImage img = v.lv.PictureList()->Pic().Image();
    bool red = false;
    for (int x = 0; x < img.width() && !red; ++x)
        for (int y = 0; y < 18 && !red; ++y) red = img.pixelColor(x, y) == QColor(255, 0, 0);
    EXPECT_TRUE(red);
    // The selected second row is tinted; the empty space below is not.
    EXPECT_EQ(img.pixelColor(5, 18 + 9), QColor(0xA0, 0xA0, 0xC0));
    EXPECT_EQ(img.pixelColor(5, 150), QColor(255, 255, 255));
}

TEST(UCListView, DropReportsTwipsThatYsItemTurnsIntoAnInsertPosition) {
    View v;
    v.Fill(3);
    float seenY = -1;
    QStringList files;
    QObject::connect(&v.lv, &UC_ListView::OLEDragDrop,
                     [&](const QMimeData* d, int, int, int, float, float y) {
                         seenY = y;
                         for (const QUrl& u : d->urls()) files << u.toLocalFile();
                     });
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/music/new.mp3")});
    // A drop goes to the widget the drag entered last.
    QDragEnterEvent enter(QPoint(10, 150), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(v.lv.PictureList(), &enter);
    QDropEvent drop(QPointF(10, 150), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(v.lv.PictureList(), &drop);
    EXPECT_EQ(files, QStringList({"/music/new.mp3"}));
    EXPECT_FLOAT_EQ(seenY, 150.0f * 15);
    EXPECT_EQ(v.lv.YsItem(seenY), 3);  // below the last row: append
}

namespace {
QMouseEvent Mouse(QEvent::Type t, QPointF p, Qt::MouseButton b, Qt::KeyboardModifiers m) {
    return QMouseEvent(t, p, p, b, t == QEvent::MouseButtonRelease ? Qt::NoButton : b, m);
}
void Click(UC_ListView& lv, int row, Qt::KeyboardModifiers m = Qt::NoModifier) {
    const QPointF p(30, row * 18 + 9);
    QMouseEvent press = Mouse(QEvent::MouseButtonPress, p, Qt::LeftButton, m);
    QApplication::sendEvent(lv.PictureList(), &press);
    QMouseEvent release = Mouse(QEvent::MouseButtonRelease, p, Qt::LeftButton, m);
    QApplication::sendEvent(lv.PictureList(), &release);
}
}  // namespace

TEST(UCListView, ScrollRangeAndCentring) {
    View v;
    v.lv.resize(300, 202);
    v.Fill(100);
    v.lv.UserControl_Resize();
    EXPECT_EQ(v.lv.RowsPerPage(), 10);
    EXPECT_TRUE(v.lv.VBarVisible());
    EXPECT_EQ(v.lv.VBarMax(), 91);
    EXPECT_EQ(v.lv.VBarLargeChange(), 9);
    v.lv.SetSelectedItem(50);
    v.lv.ShowSelected(0);
    EXPECT_EQ(v.lv.TopRow(), 45);
    v.lv.ShowSelected(1);  // already on screen
    EXPECT_EQ(v.lv.TopRow(), 45);
    v.lv.VBarScroll(-1);
    EXPECT_EQ(v.lv.TopRow(), 42);
    v.lv.DeleteAll();  // the scroll position goes with the entries
    EXPECT_EQ(v.lv.TopRow(), 0);
    EXPECT_EQ(v.lv.ViewState().lastDrawnTopRow, 0);
}

TEST(UCListView, ShiftAndCtrlClicks) {
    View v;
    v.Fill(10);
    int clicked = 0;
    QObject::connect(&v.lv, &UC_ListView::Clicked, [&](float, float) { ++clicked; });
    Click(v.lv, 2);
    Click(v.lv, 5, Qt::ShiftModifier);
    EXPECT_EQ(v.lv.NumSelectedItems(), 4);
    Click(v.lv, 0, Qt::ShiftModifier);
    EXPECT_EQ(v.lv.NumSelectedItems(), 6);
    Click(v.lv, 3, Qt::ControlModifier);  // toggles entry 3 off at release
    EXPECT_EQ(v.lv.IsSelected(3), 0);
    EXPECT_EQ(v.lv.SelectedItem(), 3);
    EXPECT_EQ(clicked, 4);
    ASSERT_TRUE(v.lv.ViewState().ctrlPending);
    v.lv.DeleteAll();  // so do the click memories
    EXPECT_FALSE(v.lv.ViewState().ctrlPending);
}
