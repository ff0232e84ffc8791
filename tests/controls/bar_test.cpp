#include <gtest/gtest.h>

#include "controls/colors.h"
#include "controls/uc_bar.h"
#include "tests/controls/mouse.h"
#include "tests/controls/pinned_colors.h"
#include "tests/controls/spy.h"

namespace rilumo {
namespace {

// The main window's bar: 2295 x 375 logical units, 153 x 25 pixels, so
// gw = 149, gh = 21 and the track is 2235 units wide.
class BarTest : public test::PinnedColors {
protected:
    void SetUp() override {
        PinnedColors::SetUp();
        bar.MoveTwips(0, 0, 2295, 375);
        bar.Init();
        bar.show();
    }
    std::uint32_t At(int x, int y) const { return bar.Pic().GetPixel(x, y); }
    // A pixel x as the mouse reports it.
    static QPointF Px(double x) { return {x, 10}; }
    UC_Bar bar;
};

TEST_F(BarTest, InitSetsTheMaximumAndDrawsAnEmptyBarInASunkenFrame) {
    EXPECT_EQ(bar.Max(), 1000);
    EXPECT_EQ(bar.Value(), 0);
    EXPECT_EQ(At(0, 10), test::kShadow);
    EXPECT_EQ(At(1, 10), test::kDkShadow);
    EXPECT_EQ(At(152, 10), test::kHighlight);
    EXPECT_EQ(At(151, 10), test::kFace);
}

TEST_F(BarTest, FillRowsAndDarkEndLandWhereTheFillEnds) {
    const std::uint32_t darkEnd = 0x303030;  // S darkened by 80 per component
    // Full: the fill end is clamped to gw + 2 px, its dark end on column 150.
    bar.SetValue(1000);
    EXPECT_EQ(At(10, 2), test::kShadow) << "the fill's first row is S";
    EXPECT_EQ(At(10, 12), test::kHighlight) << "its centre row is L";
    EXPECT_EQ(At(150, 12), darkEnd);
    // Half: x = round(1117.5 + 30) = 1148 units; the dark end on column 76.
    bar.SetValue(500);
    EXPECT_EQ(At(40, 12), test::kHighlight);
    EXPECT_EQ(At(76, 12), darkEnd);
    EXPECT_NE(At(77, 12), test::kHighlight) << "the empty track";
    EXPECT_NE(At(77, 12), darkEnd);
}

TEST_F(BarTest, ValueWritesClampAndDrawEmptyOrFull) {
    bar.SetValue(-5);
    EXPECT_EQ(bar.Value(), 0);
    const std::uint32_t empty = At(60, 12);
    EXPECT_NE(empty, test::kHighlight);
    bar.SetValue(1010);
    EXPECT_EQ(bar.Value(), 1000);
    EXPECT_EQ(At(60, 12), test::kHighlight);
    bar.SetValue(0);
    EXPECT_EQ(At(60, 12), empty);
    bar.SetMax(0);
    bar.SetValue(50);
    EXPECT_EQ(bar.Value(), 0);
}

TEST_F(BarTest, MouseMapsXToAValueWithinTheRange) {
    test::Press(&bar, Px(0));
    EXPECT_EQ(bar.Value(), 0);
    test::Release(&bar, Px(0));
    test::Press(&bar, Px(76.5));  // (1147.5 - 30) / 2235 x 1000
    EXPECT_EQ(bar.Value(), 500);
    test::Release(&bar, Px(500));
    EXPECT_EQ(bar.Value(), 1000);
}

TEST_F(BarTest, DragHoldsOffHostWritesUntilRelease) {
    test::Spy<bool> ud(&bar, &UC_Bar::MouseUD);
    test::Spy<> scrolled(&bar, &UC_Bar::Scrolled);
    test::Press(&bar, Px(40));
    EXPECT_EQ(bar.Clicked(), -1);
    ASSERT_EQ(ud.count(), 1);
    EXPECT_TRUE(std::get<0>(ud[0]));
    const int held = bar.Value();
    const QImage look = bar.Pic().Image();
    bar.SetValue(900);
    EXPECT_EQ(bar.Value(), held);
    EXPECT_EQ(bar.Pic().Image(), look);
    test::Move(&bar, Px(100));
    test::Move(&bar, Px(100));
    test::Move(&bar, Px(110), Qt::NoButton);
    EXPECT_EQ(scrolled.count(), 1);
    EXPECT_GT(bar.Value(), held);
    test::Release(&bar, Px(120));
    EXPECT_EQ(bar.Clicked(), 0);
    ASSERT_EQ(ud.count(), 2);
    EXPECT_FALSE(std::get<0>(ud[1]));
    EXPECT_EQ(bar.Value(), 792);  // (1800 - 30) / 2235 x 1000
    bar.SetValue(900);
    EXPECT_EQ(bar.Value(), 900);
}

TEST_F(BarTest, LockedBarIgnoresTheMouseAndOtherButtonsOnlyReportRelease) {
    test::Spy<bool> ud(&bar, &UC_Bar::MouseUD);
    test::Spy<bool> right(&bar, &UC_Bar::RightClicked);
    test::Spy<> scrolled(&bar, &UC_Bar::Scrolled);
    test::Press(&bar, Px(40), Qt::RightButton);
    test::Release(&bar, Px(40), Qt::RightButton);
    EXPECT_EQ(ud.count(), 0);
    ASSERT_EQ(right.count(), 1);
    EXPECT_FALSE(std::get<0>(right[0]));
    bar.SetLocked(1);
    test::Press(&bar, Px(40));
    test::Move(&bar, Px(60));
    test::Release(&bar, Px(60));
    test::Release(&bar, Px(60), Qt::RightButton);
    EXPECT_EQ(ud.count() + scrolled.count(), 0);
    EXPECT_EQ(right.count(), 1);
    EXPECT_EQ(bar.Value(), 0);
}

TEST_F(BarTest, TextIsCentredButStartsAtTwoPixels) {
    const QImage plain = bar.Pic().Image();
    bar.SetStyle(9, 0, QString(), 0x0000FF);
    bar.SetTextToDisp(QString(60, QChar('W')));
    bar.SetValue(0);
    int first = -1;
    for (int x = 0; x < 153 && first < 0; ++x)
        for (int y = 0; y < 25; ++y)
            if (bar.Pic().GetPixel(x, y) != FromQRgb(plain.pixel(x, y))) { first = x; break; }
    EXPECT_GE(first, 2);
    EXPECT_LE(first, 4);
    bar.SetTextToDisp(QString());
    bar.SetValue(0);
    EXPECT_EQ(bar.Pic().Image(), plain);
}

TEST(BarBeforeInit, DrawsOnlyTheTextAndMapsEverythingToZero) {
    test::PinClassicColors();
    UC_Bar bar;
    bar.resize(100, 20);
    bar.show();
    EXPECT_EQ(bar.Max(), 0);
    bar.SetValue(10);
    test::Press(&bar, {50, 5});
    EXPECT_EQ(bar.Value(), 0);
    EXPECT_EQ(bar.Pic().GetPixel(50, 10), test::kShadow);
}

}  // namespace
}  // namespace rilumo
