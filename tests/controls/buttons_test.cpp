#include <gtest/gtest.h>

#include <map>

#include "controls/colors.h"
#include "controls/control_resources.h"
#include "controls/uc_buttons.h"
#include "tests/controls/mouse.h"
#include "tests/controls/pinned_colors.h"
#include "tests/controls/spy.h"

namespace rilumo {
namespace {

using test::PinnedColors;

bool HasColor(const Surface& s, int x0, int x1, int y0, int y1, std::uint32_t c) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (s.GetPixel(x, y) == c) return true;
    return false;
}

class ButtonsTest : public PinnedColors {
protected:
    // The main window's strip: stop, pause, play, 200 x 33 pixels.
    void MakeMci(UC_Buttons& b) {
        b.setGeometry(0, 0, 200, 33);
        b.SetButtonsMCI();
        b.Init();
        b.show();
    }
    // Three captioned buttons in large bold type (whole-pixel stems).
    void MakeCaptions(UC_Buttons& b) {
        b.setGeometry(0, 0, 200, 40);
        b.SetNumButtons(3);
        b.SetFontSize(16);
        b.SetFontBold(true);
        b.SetButtonCharNum();
        b.Init();
        b.show();
    }
    static int Mid(const UC_Buttons& b, int i) { return b.ButtonLeft(i) + b.ButtonWidth() / 2; }
};

TEST_F(ButtonsTest, StripOfThreeWithEarsHoldsWholeButtons) {
    UC_Buttons b;
    MakeMci(b);
    EXPECT_EQ(b.EarWidth(), 8);
    EXPECT_EQ(b.ButtonWidth(), 60);
    EXPECT_EQ(b.width(), 198);
    EXPECT_EQ(b.ButtonLeft(0), 9);
    EXPECT_EQ(b.ButtonLeft(1), 69);
    EXPECT_EQ(b.ButtonLeft(2), 129);
    const Surface& s = b.Pic();
    for (int y = 0; y < 33; ++y) {
        EXPECT_EQ(s.GetPixel(8, y), test::kDkShadow) << y;
        EXPECT_EQ(s.GetPixel(197, y), test::kDkShadow) << y;
        for (int k = 0; k < 8; ++k) ASSERT_EQ(s.GetPixel(189 + k, y), s.GetPixel(k, y)) << k << "," << y;
    }
    // The face is mode 7: a light left frame column and a near-black right one.
    EXPECT_EQ(s.GetPixel(9, 16), 0xFFFFFFu);
    EXPECT_NE(s.GetPixel(68, 16), s.GetPixel(9 + 30, 16));
}

TEST_F(ButtonsTest, CountBelowOneGivesOneButton) {
    UC_Buttons b;
    b.SetNumButtons(0);
    EXPECT_EQ(b.NumButtons(), 1);
    b.SetNumButtons(-4);
    EXPECT_EQ(b.NumButtons(), 1);
    b.SetNumButtons(5);
    EXPECT_EQ(b.NumButtons(), 5);
}

TEST_F(ButtonsTest, TintScalesGreyIconsOnceAndLeavesBlackAndColouredCells) {
    const QImage original = BuiltInPicture(kIconLibraryPath);
    UC_Buttons b;
    MakeMci(b);
    const Surface& lib = b.PiclibHdc();
    // Cell 1's greys, each scaled by 192 / 210 (face C0C0C0).
    const std::map<std::uint32_t, std::uint32_t> tinted = {
        {0x3C3C3C, 0x373737}, {0x707070, 0x666666}, {0x767676, 0x6C6C6C}, {0x7D7D7D, 0x727272},
        {0x838383, 0x787878}, {0x898989, 0x7D7D7D}, {0x8F8F8F, 0x838383}, {0x959595, 0x888888},
        {0x9C9C9C, 0x8F8F8F}, {0xA2A2A2, 0x949494}, {0xD0D0D0, 0xBEBEBE}};
    int black = 0;
    for (int y = 0; y < 18; ++y)
        for (int x = 18; x < 36; ++x) {  // cell 1, grey
            const std::uint32_t was = FromQRgb(original.pixel(x, y));
            if (was == 0) {
                ++black;
                ASSERT_EQ(lib.GetPixel(x, y), 0u);
                continue;
            }
            ASSERT_TRUE(tinted.count(was)) << std::hex << was;
            ASSERT_EQ(lib.GetPixel(x, y), tinted.at(was)) << x << "," << y;
        }
    EXPECT_GT(black, 0);
    for (int x = 9 * 18; x < 10 * 18; ++x)  // cell 9, green: untouched
        ASSERT_EQ(lib.GetPixel(x, 9), FromQRgb(original.pixel(x, 9)));
    for (int x = 0; x < 468; ++x) ASSERT_EQ(lib.GetPixel(x, 27), FromQRgb(original.pixel(x, 27))) << "mask";
    const std::uint32_t once = lib.GetPixel(18 + 9, 9);
    b.Init();
    EXPECT_EQ(lib.GetPixel(18 + 9, 9), once) << "later Inits never tint again";
}

TEST_F(ButtonsTest, TintWaitsForAnIcon) {
    UC_Buttons b;
    MakeCaptions(b);
    const QImage original = BuiltInPicture(kIconLibraryPath);
    EXPECT_EQ(b.PiclibHdc().GetPixel(18 + 9, 9), FromQRgb(original.pixel(18 + 9, 9)));
    b.SetButtonsMCI();
    b.Init();
    EXPECT_NE(b.PiclibHdc().GetPixel(18 + 9, 9), FromQRgb(original.pixel(18 + 9, 9)));
}

TEST_F(ButtonsTest, IconsAreMaskedOntoTheFaceAndPressedFacesMoveDown) {
    UC_Buttons b;
    MakeMci(b);
    const Surface& s = b.Pic();
    const Surface& lib = b.PiclibHdc();
    // Content of button 0 at round(9 + 30 - 9) = 30, round(16.5 - 9) = 8.
    const int cx = 30, cy = 8;
    int icon = 0;
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 18; ++x) {
            const bool inIcon = lib.GetPixel(18 + x, 18 + y) == 0;
            if (!inIcon) continue;
            ++icon;
            ASSERT_EQ(s.GetPixel(cx + x, cy + y), lib.GetPixel(18 + x, y));
        }
    EXPECT_GT(icon, 50);
    const std::uint32_t faceTop = s.GetPixel(20, 0);
    b.DrawButton(0, 1);
    EXPECT_EQ(s.GetPixel(20, 0), 0xD2D2D2u) << "background row above the moved face";
    EXPECT_EQ(s.GetPixel(20, 1), faceTop);
    // Pressed shows the on icon (green), drawn one pixel lower.
    EXPECT_EQ(s.GetPixel(cx + 9, cy + 9 + 1), lib.GetPixel(9 * 18 + 9, 9));
    b.DrawButton(0, 0);
    EXPECT_EQ(s.GetPixel(20, 0), faceTop);
    b.DrawButton(7, 1);  // beyond the count: ignored
}

TEST_F(ButtonsTest, CaptionColoursFollowOnSelectedAndDisabled) {
    UC_Buttons b;
    MakeCaptions(b);
    const Surface& s = b.Pic();
    auto cell = [&](int i, std::uint32_t c) {
        return HasColor(s, b.ButtonLeft(i) + 2, b.ButtonLeft(i) + b.ButtonWidth() - 3, 2, 37, c);
    };
    EXPECT_TRUE(cell(0, test::kDkShadow));
    EXPECT_FALSE(cell(0, 0x00D000));
    b.SetButtonOn(0, 1, 1);
    EXPECT_TRUE(cell(0, 0x00D000));
    b.SetSelectedButton(1);
    EXPECT_TRUE(cell(1, 0x00D000));
    b.SetSelectedButton(-1);
    EXPECT_FALSE(cell(1, 0x00D000)) << "the previous selection is redrawn";
    b.SetButtonDisable(2, 1, 1);
    EXPECT_TRUE(cell(2, test::kHighlight));
    EXPECT_FALSE(cell(2, test::kDkShadow));
    b.SetNoGrayAtDisabled(1);
    b.DrawButton(2, 0);
    EXPECT_TRUE(cell(2, test::kDkShadow));
    b.SetDisable3D(0);  // embossed: light caption over a dark shadow
    b.SetNoGrayAtDisabled(0);
    b.DrawButton(1, 0);
    EXPECT_TRUE(cell(1, test::kHighlight));
    EXPECT_TRUE(cell(1, test::kDkShadow));
}

TEST_F(ButtonsTest, CaptionIsCentredOnceTheStripIsLaidOut) {
    UC_Buttons b;
    b.setGeometry(0, 0, 200, 33);
    b.SetNumButtons(2);
    b.SetButtonChar(0, "OK");
    EXPECT_EQ(b.GetButtonChar(0), "OK");
    b.Init();
    const Surface& s = b.Pic();
    const int left = b.ButtonLeft(0), w = b.ButtonWidth();
    int minX = 1000, maxX = -1;
    for (int y = 3; y < 30; ++y)
        for (int x = left + 2; x < left + w - 2; ++x)
            if (s.GetPixel(x, y) == test::kDkShadow || (s.GetPixel(x, y) & 0xFF) < 0x60) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
            }
    ASSERT_LT(minX, maxX);
    EXPECT_NEAR((minX + maxX) / 2.0, left + w / 2.0, 2.5);
}

TEST_F(ButtonsTest, OkCancelPairTakesItsSizeAndOrder) {
    UC_Buttons b;
    b.SetOKCancel(0, 0, 1);
    EXPECT_EQ(b.NumButtons(), 2);
    EXPECT_EQ(b.GetButtonChar(0), "Cancel");
    EXPECT_EQ(b.GetButtonChar(1), "OK");
    EXPECT_EQ(b.width(), 130);
    EXPECT_EQ(b.height(), 22);
    EXPECT_EQ(b.EarWidth(), 0);
    EXPECT_EQ(b.SelectedColor(), 0xFFFFFFu);
    UC_Buttons c;
    c.resize(300, 40);
    c.SetOKCancel(1, 1, 0);
    EXPECT_EQ(c.GetButtonChar(0), "OK");
    EXPECT_EQ(c.height(), 40);
    EXPECT_EQ(c.DarkSelectedColor(), 0x008A00u);
}

TEST_F(ButtonsTest, PressAndReleaseOnTheSameEnabledButtonClicks) {
    UC_Buttons b;
    MakeMci(b);
    test::Spy<int> down(&b, &UC_Buttons::ButtonDown);
    test::Spy<int> clicked(&b, &UC_Buttons::ButtonClicked);
    test::Press(&b, {double(Mid(b, 1)), 10});
    ASSERT_EQ(down.count(), 1);
    EXPECT_EQ(std::get<0>(down[0]), 1);
    EXPECT_EQ(b.Pic().GetPixel(Mid(b, 1), 0), 0xD2D2D2u) << "drawn pressed";
    test::Release(&b, {double(Mid(b, 1)), 32});
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(std::get<0>(clicked[0]), 1);
    EXPECT_NE(b.Pic().GetPixel(Mid(b, 1), 0), 0xD2D2D2u);
}

TEST_F(ButtonsTest, ReleaseElsewhereRaisesNothingAndLeavesThePressedLook) {
    UC_Buttons b;
    MakeMci(b);
    test::Spy<int> clicked(&b, &UC_Buttons::ButtonClicked);
    test::Spy<int> right(&b, &UC_Buttons::RightClicked);
    test::Press(&b, {double(Mid(b, 1)), 10});
    test::Release(&b, {double(Mid(b, 2)), 10});
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_EQ(b.Pic().GetPixel(Mid(b, 1), 0), 0xD2D2D2u);
    test::Release(&b, {double(Mid(b, 1)), 10});  // no press pending any more
    EXPECT_EQ(clicked.count(), 0);
    test::Press(&b, {3, 10});  // the ear
    test::Release(&b, {3, 10});
    EXPECT_EQ(clicked.count(), 0);
    test::Press(&b, {double(Mid(b, 0)), 10}, Qt::RightButton);
    test::Release(&b, {double(Mid(b, 0)), 10}, Qt::RightButton);
    EXPECT_EQ(clicked.count(), 0);
    ASSERT_EQ(right.count(), 1);
    EXPECT_EQ(std::get<0>(right[0]), 0);
}

TEST_F(ButtonsTest, DisabledButtonsIgnoreBothMouseButtons) {
    UC_Buttons b;
    MakeMci(b);
    b.SetButtonDisable(2, 1);
    test::Spy<int> down(&b, &UC_Buttons::ButtonDown);
    test::Spy<int> clicked(&b, &UC_Buttons::ButtonClicked);
    test::Spy<int> right(&b, &UC_Buttons::RightClicked);
    const std::uint32_t top = b.Pic().GetPixel(Mid(b, 2), 0);
    for (Qt::MouseButton mb : {Qt::LeftButton, Qt::RightButton}) {
        test::Press(&b, {double(Mid(b, 2)), 10}, mb);
        test::Release(&b, {double(Mid(b, 2)), 10}, mb);
    }
    EXPECT_EQ(down.count() + clicked.count() + right.count(), 0);
    EXPECT_EQ(b.Pic().GetPixel(Mid(b, 2), 0), top);
    // A temporary disable works alike and is kept apart.
    b.SetButtonDisable(2, 0);
    b.SetButtonDisable(1, 1, 0, true);
    EXPECT_EQ(b.GetButtonDisable(1, true), 1);
    EXPECT_EQ(b.GetButtonDisable(1, false), 0);
    EXPECT_EQ(b.GetButtonDisable(9, false), 0);
    test::Press(&b, {double(Mid(b, 1)), 10});
    EXPECT_EQ(down.count(), 0);
}

TEST_F(ButtonsTest, ReleaseOfADisabledPressKeepsItPending) {
    UC_Buttons b;
    MakeMci(b);
    test::Spy<int> clicked(&b, &UC_Buttons::ButtonClicked);
    test::Press(&b, {double(Mid(b, 0)), 10});
    b.SetButtonDisable(0, 1);
    test::Release(&b, {double(Mid(b, 0)), 10});
    EXPECT_EQ(clicked.count(), 0);
    b.SetButtonDisable(0, 0);
    test::Release(&b, {double(Mid(b, 0)), 10});
    EXPECT_EQ(clicked.count(), 1);
}

TEST_F(ButtonsTest, ShiftReleaseReportsShiftClickInstead) {
    UC_Buttons b;
    MakeMci(b);
    test::Spy<int> clicked(&b, &UC_Buttons::ButtonClicked);
    test::Spy<int, int> shift(&b, &UC_Buttons::ShiftClicked);
    test::Press(&b, {double(Mid(b, 0)), 10}, Qt::LeftButton, Qt::ShiftModifier);
    test::Release(&b, {double(Mid(b, 0)), 10}, Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(clicked.count(), 0);
    ASSERT_EQ(shift.count(), 1);
    EXPECT_EQ(std::get<0>(shift[0]), 0);
    EXPECT_EQ(std::get<1>(shift[0]), 3);
}

TEST_F(ButtonsTest, DoubleClickClicksTwice) {
    UC_Buttons b;
    MakeMci(b);
    test::Spy<int> down(&b, &UC_Buttons::ButtonDown);
    test::Spy<int> clicked(&b, &UC_Buttons::ButtonClicked);
    test::DoubleClick(&b, {double(Mid(b, 2)), 10});
    EXPECT_EQ(down.count(), 2);
    ASSERT_EQ(clicked.count(), 2);
    EXPECT_EQ(std::get<0>(clicked[1]), 2);
}

TEST_F(ButtonsTest, HoverReportsChangesOnly) {
    UC_Buttons b;
    MakeMci(b);
    test::Spy<int> hover(&b, &UC_Buttons::Hover);
    test::Move(&b, {double(Mid(b, 0)), 5}, Qt::NoButton);
    EXPECT_EQ(hover.count(), 0) << "the hover index starts at 0";
    test::Move(&b, {double(Mid(b, 1)), 5}, Qt::NoButton);
    test::Move(&b, {double(Mid(b, 1) + 3), 5}, Qt::NoButton);
    test::Move(&b, {2, 5}, Qt::NoButton);
    ASSERT_EQ(hover.count(), 2);
    EXPECT_EQ(std::get<0>(hover[0]), 1);
    EXPECT_EQ(std::get<0>(hover[1]), -1);
}

TEST_F(ButtonsTest, HitTestUsesWholePixelsOfTheLayout) {
    UC_Buttons b;
    MakeMci(b);
    EXPECT_EQ(b.HitTest(8 * 15), -1);
    EXPECT_EQ(b.HitTest(9 * 15), 0);
    EXPECT_EQ(b.HitTest(68 * 15 + 14), 0);
    EXPECT_EQ(b.HitTest(69 * 15), 1);
    EXPECT_EQ(b.HitTest(189 * 15), -1) << "left of the last button + w is a gap";
    EXPECT_EQ(b.HitTest(190 * 15), -1);
}

TEST_F(ButtonsTest, PresetsSetCountAndIcons) {
    UC_Buttons b;
    b.setGeometry(0, 0, 200, 33);
    b.SetButtonsTNQplay();
    EXPECT_EQ(b.NumButtons(), 5);
    b.SetButtonsEditorCtrl();
    EXPECT_EQ(b.NumButtons(), 4);
    b.Init();
    // No on icon in this preset: "on" draws the normal icon.
    b.DrawButton(0, 2);
    const std::uint32_t onLook = b.Pic().GetPixel(b.ButtonLeft(0) + b.ButtonWidth() / 2, 16);
    b.DrawButton(0, 0);
    EXPECT_EQ(b.Pic().GetPixel(b.ButtonLeft(0) + b.ButtonWidth() / 2, 16), onLook);
    b.SetButtonsEditorPlay();
    EXPECT_EQ(b.NumButtons(), 4);
}

}  // namespace
}  // namespace rilumo
