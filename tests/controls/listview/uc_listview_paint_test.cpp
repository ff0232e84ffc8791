// The playlist view's pixels (tints, icons, shading, clipped cells) and its
// columns (edges, tab clicks, edge drags, the position menu, auto widths).

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include <vector>

#include "controls/control_resources.h"
#include "controls/draw_primitives.h"
#include "support/ui/syscolors.h"
#include "tests/controls/listview/view_fixture.h"

using namespace rilumo;
using rilumo::test::DarkPixels;
using rilumo::test::TestView;

namespace {

const int R = 18;  // row height in px
const QString kBlocks(3, QChar(0x2588));

QColor At(const QImage& img, int x, int y) { return img.pixelColor(x, y); }

void PinWhiteWindow() {
    PinSystemColor(kColorWindow, 0xFFFFFF);
    PinSystemColor(kColorWindowText, 0x000000);
    PinSystemColor(kColorBtnFace, 0xC0C0C0);
}

}  // namespace

TEST(UCListViewPaint, SelectionTintKeepsTextInBothRasterModes) {
    PinWhiteWindow();
    TestView v;
    v.lv.AddItem(1);
    v.lv.SetValue(0, 0, kBlocks);
    v.lv.ReDraw();
    std::vector<QPoint> black;
    for (int y = 1; y < R - 1; ++y)
        for (int x = 22; x < 172; ++x)
            if (At(v.List(), x, y) == QColor(Qt::black)) black.emplace_back(x, y);
    ASSERT_GT(black.size(), 20u);

    // Mask pen: white turns into the tint, black text stays black.
    v.lv.SetSelectedItem(0);
    v.lv.ReDraw();
    EXPECT_EQ(At(v.List(), 180, R / 2), QColor(160, 160, 192));
    for (const QPoint& p : black) EXPECT_EQ(At(v.List(), p.x(), p.y()), QColor(Qt::black));
    EXPECT_EQ(At(v.List(), 180, R + R / 2), QColor(Qt::white));  // below the entry

    // Merge pen on black with white text, as the main window sets it.
    v.lv.SetStyle(9, false, QString(), 0xFFFFFF, 0x000000);
    v.lv.SetValue(0, 0, kBlocks);
    v.lv.SetDispColor(0, 0xFFFFFF);
    v.lv.SetSelectedColorMode(kDrawMergePen);
    v.lv.SetSelectedColor(0x404040);
    v.lv.ReDraw();
    const QImage img = v.List();
    EXPECT_EQ(At(img, 180, R / 2), QColor(64, 64, 64));
    int white = 0;
    for (int x = 22; x < 172; ++x) white += At(img, x, R / 2) == QColor(Qt::white);
    EXPECT_GT(white, 5);
}

TEST(UCListViewPaint, IconsFromTheStripUntilScrolledSixteenPixels) {
    PinWhiteWindow();
    TestView v;
    v.lv.SetTabWidth(0, 400 * Tpp());  // wider than the list: a horizontal bar
    v.lv.UserControl_Resize();
    for (int t : {-1, 0}) {
        v.lv.AddItem(1);
        v.lv.SetValue(-2, 0, QString());
        v.lv.SetIconType(-2, t);
    }
    v.lv.ReDraw();
    ASSERT_TRUE(v.lv.HBarVisible());
    // The mask ANDed onto white, then the image XORed: mask ^ image.
    const QImage strip = BuiltInPicture(kFileTypeIconsPath).convertToFormat(QImage::Format_RGB32);
    auto expected = [&](int x, int y) { return (strip.pixel(x, y + 16) ^ strip.pixel(x, y)) & 0xFFFFFF; };
    // Icon of the second row, drawn at x = 2 px - the offset.
    auto iconMatches = [&](int shift) {
        const QImage img = v.List();
        bool same = true;
        for (int y = 0; y < 16; ++y)
            for (int sx = 0; sx < 18; ++sx)
                if (const int x = sx - 2 + shift; x >= 0 && x < 16)
                    same &= (img.pixel(sx, R + 1 + y) & 0xFFFFFF) == expected(x, y);
        return same;
    };
    int drawn = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            drawn += expected(x, y) != 0xFFFFFF;
            EXPECT_EQ(At(v.List(), 2 + x, 1 + y), QColor(Qt::white)) << "type -1 drew at " << x;
        }
    ASSERT_GT(drawn, 0);
    EXPECT_TRUE(iconMatches(0));
    v.lv.SetHBarValue(8 * Tpp());
    EXPECT_EQ(v.lv.HOffset(), 8 * Tpp());
    EXPECT_TRUE(iconMatches(8));
    v.lv.SetHBarValue(16 * Tpp());
    EXPECT_EQ(DarkPixels(v.List(), QRect(0, R, 20, R)), 0);
    for (int x = 0; x < 20; ++x) EXPECT_EQ(At(v.List(), x, R + 8), QColor(Qt::white));

    // Without icons the text moves 16 px to the left.
    auto textStart = [](TestView& w, int from) {
        w.lv.AddItem(1);
        w.lv.SetValue(0, 0, kBlocks);
        w.lv.SetIconType(0, 0);
        w.lv.ReDraw();
        const QImage img = w.List();
        for (int x = from; x < img.width(); ++x)
            if (DarkPixels(img, QRect(x, 1, 1, R - 2)) > 0) return x;
        return -1;
    };
    TestView plain, noIcons(1, [](UC_ListView& lv) { lv.SetIconDisabled(1); });
    const int withIcon = textStart(plain, 18);
    ASSERT_GT(withIcon, 18);
    EXPECT_EQ(textStart(noIcons, 0), withIcon - 16);
}

TEST(UCListViewPaint, ShadingSeparatorsBlankTintAndRightAlignedTail) {
    PinWhiteWindow();
    TestView v(2);  // columns end at 100 and 200 px
    v.lv.SetUseMadara(1);
    v.lv.ReDraw();  // an empty list still gets shading and separators
    QImage img = v.List();
    EXPECT_EQ(At(img, 50, R / 2), QColor(Qt::white));
    // An odd row's band is the one a selection tint covers: 1 px below its top
    // down to the next row's top line.
    for (int y = R + 1; y <= 2 * R; ++y) EXPECT_EQ(At(img, 50, y), QColor(204, 255, 255)) << y;
    EXPECT_EQ(At(img, 50, R), QColor(Qt::white));
    EXPECT_EQ(At(img, 50, 2 * R + 1), QColor(Qt::white));
    EXPECT_EQ(At(img, 50, 3 * R + R / 2), QColor(204, 255, 255));
    for (int x : {99, 199}) EXPECT_EQ(At(img, x, R / 2), QColor(192, 192, 192)) << x;
    EXPECT_EQ(At(img, 98, R / 2), QColor(Qt::white));

    v.lv.SetUseMadara(0);
    v.lv.SetBorderIfBlank(2);
    v.lv.SetTabAlign(1, 1);
    const QString wide = kBlocks + QString(60, ' ') + kBlocks;
    const QString cells[][2] = {{"a", ""}, {"a", " "}, {"", wide}};
    for (const auto& c : cells) {
        v.lv.AddItem(1);
        v.lv.SetIconType(-2, -1);
        v.lv.SetValue(-2, 0, c[0]);
        v.lv.SetValue(-2, 1, c[1]);
    }
    v.lv.ReDraw();
    img = v.List();
    EXPECT_EQ(At(img, 150, R / 2), QColor(0xE0, 0xE0, 0xE0));
    EXPECT_EQ(At(img, 150, R + R / 2), QColor(Qt::white));
    // The end of the text sits at the column's right edge; its start is cut.
    const int y = 2 * R + 2;
    EXPECT_GT(DarkPixels(img, QRect(150, y, 48, R - 4)), 20);
    EXPECT_EQ(DarkPixels(img, QRect(0, y, 150, R - 4)), 0);
    const Surface& s = v.lv.PictureList()->Pic();
    EXPECT_TRUE(FitText(wide, s, 100 * Tpp() - 6 * Tpp(), 1).endsWith(kBlocks));
}

TEST(UCListViewColumns, EdgesAndHitTestsSkipHiddenColumns) {
    TestView v(3);
    v.lv.SetTabWidth(0, 1000);
    v.lv.SetTabWidth(1, 2000);
    v.lv.SetTabWidth(2, 1500);
    v.lv.SetTabHidden(1, 1);
    const ColumnTable& cols = v.lv.Store().Columns();
    const int edges[3][2] = {{0, 1000}, {1000, 1000}, {1000, 2500}};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(cols[k].left, edges[k][0]) << k;
        EXPECT_EQ(cols[k].right, edges[k][1]) << k;
    }
    EXPECT_EQ(v.lv.EdgeAt(1000 + 4 * Tpp()), 0);  // not the hidden column on the same edge
    EXPECT_EQ(v.lv.EdgeAt(2500 - 4 * Tpp()), 2);
    EXPECT_EQ(v.lv.EdgeAt(1800), -1);
    EXPECT_EQ(v.lv.ColumnAtX(500), 0);
    EXPECT_EQ(v.lv.ColumnAtX(1500), 2);
    EXPECT_EQ(v.lv.ColumnAtX(9000), 2);
    EXPECT_EQ(v.lv.ColumnAtX(1000), 0);  // on a boundary
    v.lv.SetTabWidth(0, 100);
    EXPECT_EQ(v.lv.TabWidth(0), 450);
}

TEST(UCListViewColumns, TabClicksSortAndEdgesResize) {
    TestView v(2);  // edges at 100 and 200 px
    for (const char* t : {"b", "c", "a"}) {
        v.lv.AddItem(1);
        v.lv.SetValue(-2, 0, QString(t));
    }
    auto order = [&] {
        QString s;
        for (int i = 0; i < v.lv.Count(); ++i) s += v.lv.Value(i, 0).ToText();
        return s;
    };
    v.TabClick(50);
    EXPECT_EQ(order(), "abc");
    v.TabClick(50);
    EXPECT_EQ(order(), "cba");

    // With sorting off a click only repaints: a cell set without a repaint shows.
    v.lv.SetSortDisabled(1);
    v.lv.SetValue(0, 1, kBlocks);
    EXPECT_EQ(DarkPixels(v.List(), QRect(100, 1, 98, R - 2)), 0);
    v.TabClick(50);
    EXPECT_EQ(order(), "cba");
    EXPECT_GT(DarkPixels(v.List(), QRect(100, 1, 98, R - 2)), 0);

    for (int x : {96, 104, 196, 204}) {
        v.Tab(QEvent::MouseMove, x);
        EXPECT_EQ(v.lv.PointerShape(), 9) << x;
    }
    for (int x : {95, 105, 195, 205}) {
        v.Tab(QEvent::MouseMove, x);
        EXPECT_EQ(v.lv.PointerShape(), 0) << x;
    }

    int moved = 0;
    QObject::connect(&v.lv, &UC_ListView::TabMoved, [&] { ++moved; });
    v.Tab(QEvent::MouseMove, 200);
    v.Tab(QEvent::MouseButtonPress, 200);
    v.Tab(QEvent::MouseMove, 150, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(v.lv.TabWidth(1), 53 * Tpp());  // x + 3 px - left edge
    v.Tab(QEvent::MouseMove, 110, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(v.lv.TabWidth(1), 450);
    EXPECT_EQ(moved, 0);
    v.Tab(QEvent::MouseButtonRelease, 110);
    EXPECT_EQ(moved, 1);
    EXPECT_EQ(v.lv.PointerShape(), 0);
    EXPECT_EQ(order(), "cba");  // the release of a drag does not sort
}

TEST(UCListViewColumns, PositionMenuReordersAndAutoWidthFollowsPositions) {
    TestView v(3);  // three columns of 1000 twips
    v.lv.InitTab();
    int reordered = 0;
    QObject::connect(&v.lv, &UC_ListView::TabReOrderd, [&] { ++reordered; });
    QMenu* menu = v.lv.PositionMenu();
    ASSERT_EQ(menu->actions().size(), 3);
    const int col1 = 1500 / Tpp();
    v.TabClick(col1, Qt::RightButton);
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(v.lv.TabOrder(1), 1);

    v.lv.SetUseTabOrder(1);
    v.TabClick(col1, Qt::RightButton);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_FALSE(menu->actions()[1]->isEnabled());
    EXPECT_TRUE(menu->actions()[0]->isEnabled());
    menu->actions()[0]->trigger();
    menu->hide();
    EXPECT_EQ(v.lv.TabOrder(1), 0);
    EXPECT_EQ(v.lv.TabOrder(0), 1);
    EXPECT_EQ(reordered, 1);
    EXPECT_EQ(v.lv.ColumnAtX(100), 1);

    // Auto widths: the column now first gets the icon's room as well.
    const QString texts[][3] = {{"a rather long title", "the longest cell of all here", "x"},
                                {"short", "mid", "y"}};
    for (const auto& row : texts) {
        v.lv.AddItem(1);
        for (int k = 0; k < 3; ++k) v.lv.SetValue(-2, k, row[k]);
    }
    v.lv.SetTabWidthAuto();
    const Surface& s = v.lv.PictureList()->Pic();
    auto w = [&](const QString& t) { return int(RoundEven(s.TextWidth(t))); };
    EXPECT_EQ(v.lv.TabWidth(1), w(texts[0][1]) + 32 * Tpp());
    EXPECT_EQ(v.lv.TabWidth(0), w(texts[0][0]) + 16 * Tpp());
    EXPECT_EQ(v.lv.TabWidth(2), 450);
    EXPECT_EQ(v.lv.Store().Columns()[0].left, v.lv.TabWidth(1));
}

TEST(UCListViewPaint, LongListScrollsPastRow32767WithoutWrapping) {
    TestView v, ref;
    v.Fill(40000);
    ASSERT_TRUE(v.lv.VBarVisible());
    const int top = 40000 - v.lv.RowsPerPage() + 1;
    EXPECT_EQ(v.lv.VBarMax(), top);
    ref.lv.AddItem(1);
    // The first painted row against a one-entry view showing the expected text.
    auto firstRowShows = [&](int entry) {
        ref.lv.SetValue(0, 0, QStringLiteral("title %1").arg(entry));
        ref.lv.ReDraw();
        const QRect r(0, 0, 190, R);
        return v.List().copy(r) == ref.List().copy(r);
    };
    v.lv.ShowItem(32760, 0);
    EXPECT_EQ(v.lv.TopRow(), 32760);
    EXPECT_TRUE(firstRowShows(32760));
    for (auto [delta, want] : {std::pair{10, 32770}, {-20, 32750}, {40000, top}, {32767 - top, 32767},
                               {1, 32768}}) {
        v.lv.VBarMove(delta);
        EXPECT_EQ(v.lv.TopRow(), want);
        EXPECT_EQ(v.lv.VBarValue(), want);
        EXPECT_EQ(v.lv.ViewState().lastDrawnTopRow, want);
        EXPECT_TRUE(firstRowShows(want)) << want;
    }
}
