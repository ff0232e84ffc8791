#include <gtest/gtest.h>

#include "controls/uc_slider.h"
#include "tests/controls/mouse.h"
#include "tests/controls/pinned_colors.h"
#include "tests/controls/spy.h"

namespace rilumo {
namespace {

// A horizontal slider 300 x 18 pixels: arrow boxes of 18, a track from 19
// to 282 (263 pixels), track length 259 px = 3885 units, pointer 480 units,
// travel 3405.
class SliderTest : public test::PinnedColors {
protected:
    void SetUp() override {
        PinnedColors::SetUp();
        s.setGeometry(0, 0, 300, 18);
        s.Init();
        s.show();
    }
    QWidget* Track() { return s.Track(); }
    static QPointF Px(double x) { return {x, 8}; }
    UC_Slider s;
};

TEST_F(SliderTest, InitLaysOutTrackAndArrowBoxes) {
    EXPECT_EQ(s.ArrowBox(0)->geometry(), QRect(0, 0, 18, 18));
    EXPECT_EQ(s.Track()->geometry(), QRect(19, 0, 263, 18));
    EXPECT_EQ(s.ArrowBox(1)->geometry(), QRect(282, 0, 18, 18));
    EXPECT_EQ(s.Travel(), 3405);
    EXPECT_EQ(s.PointerImage().WidthPx(), 32);
    EXPECT_EQ(s.PointerImage().HeightPx(), 14);
    // Box: bottom row and right column in the dark shadow, a grey arrow.
    const Surface& box = s.ArrowBox(0)->Pic();
    EXPECT_EQ(box.GetPixel(5, 17), test::kDkShadow);
    EXPECT_EQ(box.GetPixel(17, 5), test::kDkShadow);
}

TEST_F(SliderTest, ValueClampsAndPlacesThePointer) {
    s.SetValue(s.Max() + 1);
    EXPECT_EQ(s.Value(), 1000);
    EXPECT_EQ(s.PointerPosition(), 3405);
    s.SetValue(500);
    EXPECT_EQ(s.PointerPosition(), 1702);  // round(3405 / 1000 x 500) = 1702.5 -> even
    const Surface& t = s.Track()->Pic();
    const int px = 113;  // 1702 units
    EXPECT_EQ(t.GetPixel(px + 10, 2), 0xAAAAAAu) << "the pointer's gradient, row 2";
    EXPECT_EQ(t.GetPixel(px + 10, 15), test::kShadow) << "the last 4 rows show the track";
    EXPECT_EQ(t.GetPixel(px + 4, 6), test::kShadow) << "grip line at 4 px";
    EXPECT_EQ(t.GetPixel(px + 26, 6), test::kShadow) << "grip line at size - 6 px";
    EXPECT_EQ(t.GetPixel(px + 31, 6), test::kDkShadow) << "the far edge";
    s.SetValue(-7);
    EXPECT_EQ(s.Value(), 0);
    EXPECT_EQ(s.PointerPosition(), 0);
}

TEST_F(SliderTest, EmptyRangeIgnoresWritesAndDraws) {
    s.SetValue(300);
    s.SetMin(50);
    s.SetMax(50);
    s.SetValue(10);
    EXPECT_EQ(s.Value(), 300);
    s.Draw(900);
    EXPECT_EQ(s.Value(), 300);
}

TEST_F(SliderTest, PressOnThePointerKeepsTheGrabPoint) {
    test::Spy<bool, std::int16_t> ud(&s, &UC_Slider::MouseUD);
    test::Spy<std::int16_t> scrolled(&s, &UC_Slider::Scrolled);
    test::Press(Track(), Px(10));  // 150 units into the pointer at 0
    EXPECT_EQ(s.PointerPosition(), 0);
    EXPECT_EQ(s.Clicked(), -1);
    ASSERT_EQ(ud.count(), 1);
    EXPECT_TRUE(std::get<0>(ud[0]));
    EXPECT_EQ(std::get<1>(ud[0]), 1);
    EXPECT_EQ(scrolled.count(), 1);
    test::Move(Track(), Px(60));
    EXPECT_EQ(s.PointerPosition(), 750);
    EXPECT_EQ(s.Value(), 220);
    test::Move(Track(), Px(60));
    EXPECT_EQ(scrolled.count(), 2) << "a move to the same place is no move";
    test::Release(Track(), Px(60));
    EXPECT_EQ(s.Clicked(), 0);
    EXPECT_EQ(scrolled.count(), 3);
    EXPECT_FALSE(std::get<0>(ud[1]));
}

TEST_F(SliderTest, PressOffThePointerCentresIt) {
    test::Press(Track(), Px(200));
    EXPECT_EQ(s.PointerPosition(), 2760);
    test::Release(Track(), Px(200));
}

TEST_F(SliderTest, DraggingPastTheEndsPinsThePointer) {
    test::Press(Track(), Px(10));
    test::Move(Track(), Px(400));
    EXPECT_EQ(s.Value(), 1000);
    EXPECT_EQ(s.PointerPosition(), 3405);
    test::Move(Track(), Px(-50));
    EXPECT_EQ(s.Value(), 0);
    EXPECT_EQ(s.PointerPosition(), 0);
    test::Release(Track(), Px(-50));
}

TEST_F(SliderTest, ArrowStepsAtOnceThenOnEveryTimerTickUntilRelease) {
    test::Spy<std::int16_t> scrolled(&s, &UC_Slider::Scrolled);
    test::Spy<bool, std::int16_t> ud(&s, &UC_Slider::MouseUD);
    const QImage released = s.ArrowBox(1)->Pic().Image();
    test::Press(s.ArrowBox(1), {9, 9});
    EXPECT_EQ(s.Value(), 10);
    EXPECT_EQ(scrolled.count(), 1);
    EXPECT_EQ(ud.count(), 0);
    EXPECT_EQ(s.Clicked(), -1);
    EXPECT_TRUE(s.RepeatTimer()->isActive());
    EXPECT_EQ(s.RepeatTimer()->interval(), 200);
    EXPECT_NE(s.ArrowBox(1)->Pic().Image(), released) << "drawn pressed (green)";
    s.TimerStep();
    s.TimerStep();
    EXPECT_EQ(s.Value(), 30);
    EXPECT_EQ(scrolled.count(), 3);
    test::Release(s.ArrowBox(1), {9, 9});
    EXPECT_FALSE(s.RepeatTimer()->isActive());
    EXPECT_EQ(s.Clicked(), 0);
    ASSERT_EQ(ud.count(), 1);
    EXPECT_FALSE(std::get<0>(ud[0]));
    EXPECT_EQ(s.ArrowBox(1)->Pic().Image(), released);
    s.TimerStep();
    EXPECT_EQ(scrolled.count(), 3) << "nothing held, no step";
    // Stepping below the range clamps and still reports.
    test::Press(s.ArrowBox(0), {9, 9});
    s.TimerStep();
    s.TimerStep();
    s.TimerStep();
    EXPECT_EQ(s.Value(), 0);
    EXPECT_EQ(scrolled.count(), 7);
    test::Release(s.ArrowBox(0), {9, 9});
}

TEST_F(SliderTest, RefusedInputRaisesNothing) {
    test::Spy<std::int16_t> scrolled(&s, &UC_Slider::Scrolled);
    test::Spy<bool, std::int16_t> ud(&s, &UC_Slider::MouseUD);
    test::Spy<> dbl(&s, &UC_Slider::DblClicked);
    s.SetRefuseInput(-1);
    test::DoubleClick(Track(), Px(100));
    test::Press(s.ArrowBox(0), {9, 9});
    test::Release(s.ArrowBox(0), {9, 9});
    EXPECT_EQ(scrolled.count() + ud.count() + dbl.count(), 0);
    EXPECT_EQ(s.Value(), 0);
}

TEST_F(SliderTest, DoubleClickOnTheTrackAndDisabledArrows) {
    test::Spy<> dbl(&s, &UC_Slider::DblClicked);
    test::SendMouse(Track(), QEvent::MouseButtonDblClick, Px(100), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(dbl.count(), 1);
    s.SetDisabletrim(-1);
    test::Press(s.ArrowBox(1), {9, 9});
    EXPECT_EQ(s.Value(), 0) << "a double-click alone does not move the pointer; the arrow is off";
    EXPECT_FALSE(s.RepeatTimer()->isActive());
}

TEST_F(SliderTest, PointerSizeRateIsCappedAndHasAMinimum) {
    s.SetPointerSize(1.5f);
    EXPECT_EQ(s.PointerSize(), 3691);
    EXPECT_EQ(s.PointerImage().WidthPx(), 246);
    s.SetPointerSize(0.001f);
    EXPECT_EQ(s.PointerSize(), 120);
    EXPECT_EQ(s.Travel(), 3765);
}

TEST(SliderVertical, LaysOutTopToBottomAndDragsAlongY) {
    test::PinClassicColors();
    UC_Slider v;
    v.setGeometry(0, 0, 17, 200);
    v.SetIsVertical(1);
    v.Init();
    v.show();
    EXPECT_EQ(v.Track()->geometry(), QRect(0, 19, 17, 163));
    EXPECT_EQ(v.ArrowBox(1)->geometry(), QRect(0, 182, 17, 18));
    EXPECT_EQ(v.PointerImage().WidthPx(), 13);
    EXPECT_EQ(v.PointerImage().HeightPx(), 32);
    test::Press(v.Track(), {8, 100});
    EXPECT_EQ(v.PointerPosition(), 1260);
    test::Release(v.Track(), {8, 100});
    v.SetNoArrow(1);
    v.Init();
    EXPECT_EQ(v.Track()->geometry(), QRect(0, 0, 17, 200));
    EXPECT_TRUE(v.ArrowBox(0)->isHidden());
}

}  // namespace
}  // namespace rilumo
