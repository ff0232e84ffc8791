#include <gtest/gtest.h>

#include "controls/uc_text_picture.h"
#include "tests/controls/mouse.h"
#include "tests/controls/pinned_colors.h"
#include "tests/controls/spy.h"

namespace rilumo {
namespace {

// The main window's panel: 2280 x 480 units (152 x 32 pixels), standard sets
// 0, 1, 2 and three slots.
class PanelTest : public test::PinnedColors {
protected:
    void SetUp() override {
        PinnedColors::SetUp();
        panel.MoveTwips(0, 0, 2280, 480);
        for (int n = 0; n < 3; ++n) panel.AddStdColorSet(n);
        panel.AddTextSpace(9, false, false, QString(), 1500, 90);
        panel.AddTextSpace(15, true, false, QString(), 270, 90);
        panel.AddTextSpace(9, false, false, QString(), 1500, 270);
        panel.Init();
        panel.show();
    }
    QImage Look() const { return panel.Pic().Image(); }
    UC_TextPicture panel;
};

TEST_F(PanelTest, ColourSetsAreFramedGradientsSwitchedBySetColor) {
    EXPECT_EQ(panel.DesignType(), 1);
    EXPECT_EQ(panel.SetCount(), 3);
    const Surface& s = panel.Pic();
    EXPECT_EQ(s.GetPixel(40, 0), 0x909090u) << "light ring: colour 2 + 40";
    EXPECT_EQ(s.GetPixel(40, 31), 0x000000u) << "dark ring: colour 1 - 40";
    EXPECT_EQ(s.GetPixel(151, 10), 0x000000u);
    panel.SetColor(1);
    EXPECT_EQ(panel.CurrentSet(), 1);
    EXPECT_EQ(s.GetPixel(40, 0), 0xB09090u);
    panel.SetColor(5);
    EXPECT_EQ(panel.CurrentSet(), 1);
    panel.AddStdColorSet(9);
    EXPECT_EQ(panel.SetCount(), 3);
}

TEST_F(PanelTest, SameTextDrawsOnceAndDontDrawDefers) {
    panel.DispMes(1, "01:23");
    EXPECT_EQ(panel.TextMes(1), "01:23");
    panel.Pic().SetPixelV(0, 0, 0x123456);
    panel.DispMes(1, "01:23");
    EXPECT_EQ(panel.Pic().GetPixel(0, 0), 0x123456u) << "no redraw for the same text";
    panel.DispMes(1, "01:24", true);
    EXPECT_EQ(panel.Pic().GetPixel(0, 0), 0x123456u);
    panel.Draw(-1);
    EXPECT_NE(panel.Pic().GetPixel(0, 0), 0x123456u);
    panel.DispMes(7, "x");
    EXPECT_EQ(panel.TextMes(7), "");
}

// Only what a change touches is drawn again, and it comes out as a whole
// redraw would leave it: texts growing, shrinking, emptied, overlapping the
// slot beside them.
TEST_F(PanelTest, APartialRedrawLeavesThePixelsOfAWholeOne) {
    UC_TextPicture whole;
    whole.MoveTwips(0, 0, 2280, 480);
    for (int n = 0; n < 3; ++n) whole.AddStdColorSet(n);
    whole.AddTextSpace(9, false, false, QString(), 1500, 90);
    whole.AddTextSpace(15, true, false, QString(), 270, 90);
    whole.AddTextSpace(9, false, false, QString(), 1500, 270);
    whole.Init();
    whole.show();
    const struct {
        int slot;
        const char* text;
    } steps[] = {{0, "PLAY"}, {2, "03'25.4"}, {1, "00'00.0"}, {1, "00'00.1"}, {1, "WWWWWWWWWWWW"},
                 {0, "STOP"}, {1, "1"},       {1, ""},        {2, ""},        {1, "00'07.9-"}};
    for (const auto& step : steps) {
        panel.DispMes(step.slot, step.text);
        whole.DispMes(step.slot, step.text, true);
        whole.Draw(-1);
        ASSERT_EQ(Look(), whole.Pic().Image()) << step.slot << " " << step.text;
    }
    panel.SetColor(2);
    whole.SetColor(2);
    panel.DispMes(1, "12'00.0");
    whole.DispMes(1, "12'00.0", true);
    whole.Draw(-1);
    EXPECT_EQ(Look(), whole.Pic().Image());
}

TEST_F(PanelTest, LongTextIsCutBeforeTheMargin) {
    const QImage before = Look();
    panel.DispMes(0, QString(40, QChar('W')));
    const QImage after = Look();
    bool drawn = false;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 152; ++x) {
            if (after.pixel(x, y) == before.pixel(x, y)) continue;
            drawn = true;
            EXPECT_LT(x, 148) << "text reaches into the 4-pixel margin at " << x << "," << y;
        }
    EXPECT_TRUE(drawn);
}

TEST_F(PanelTest, HitTestPicksTheLastSlotAboveAndLeftOfThePoint) {
    EXPECT_EQ(panel.HitTest(2000, 300), 2);
    EXPECT_EQ(panel.HitTest(2000, 100), 0);
    EXPECT_EQ(panel.HitTest(300, 100), 1);
    EXPECT_EQ(panel.HitTest(0, 0), 0);
}

TEST_F(PanelTest, PressAndReleaseReportTheSlotAndHighlightOnlyWhenAsked) {
    test::Spy<std::int16_t, bool, std::int32_t> ud(&panel, &UC_TextPicture::MouseUD);
    panel.DispMes(1, "88:88");
    const QImage normal = Look();
    test::Press(&panel, {30, 15});
    EXPECT_EQ(Look(), normal) << "no click highlight on slot 1";
    test::Release(&panel, {30, 15});
    ASSERT_EQ(ud.count(), 2);
    EXPECT_EQ(std::get<0>(ud[0]), 1);
    EXPECT_TRUE(std::get<1>(ud[0]));
    EXPECT_EQ(std::get<2>(ud[0]), 1);
    EXPECT_FALSE(std::get<1>(ud[1]));
    test::Release(&panel, {30, 15});
    EXPECT_EQ(ud.count(), 2) << "a release without a reported press";
    panel.UseClick(1, 1);
    test::Press(&panel, {30, 15}, Qt::RightButton);
    EXPECT_NE(Look(), normal);
    test::Release(&panel, {30, 15}, Qt::RightButton);
    EXPECT_EQ(Look(), normal);
    EXPECT_EQ(std::get<0>(ud[2]), 2);
    test::Press(&panel, {130, 25});
    test::Release(&panel, {130, 25});
    EXPECT_EQ(std::get<2>(ud[5]), 2);
}

TEST_F(PanelTest, LockedPanelAndDoubleClicks) {
    test::Spy<std::int16_t, bool, std::int32_t> ud(&panel, &UC_TextPicture::MouseUD);
    test::Spy<> dbl(&panel, &UC_TextPicture::DblClicked);
    panel.SetLocked(1);
    test::DoubleClick(&panel, {30, 15});
    EXPECT_EQ(ud.count() + dbl.count(), 0);
    panel.SetLocked(0);
    test::SendMouse(&panel, QEvent::MouseButtonDblClick, {130, 25}, Qt::LeftButton, Qt::LeftButton);
    ASSERT_EQ(ud.count(), 1) << "without UseDblClick: a left press at (0, 0)";
    EXPECT_EQ(std::get<2>(ud[0]), 0);
    panel.SetUseDblClick(1);
    test::SendMouse(&panel, QEvent::MouseButtonDblClick, {130, 25}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(dbl.count(), 1);
}

TEST_F(PanelTest, ResetForgetsSlotsAndSets) {
    panel.ResetMe();
    EXPECT_EQ(panel.SlotCount(), 0);
    EXPECT_EQ(panel.SetCount(), 0);
    EXPECT_EQ(panel.DesignType(), 0);
    panel.Init();
    test::Press(&panel, {5, 5});  // no slot at all: still defined
    test::Release(&panel, {5, 5});
}

class PlainPanelTest : public test::PinnedColors {
protected:
    void SetUp() override {
        PinnedColors::SetUp();
        panel.setGeometry(0, 0, 120, 30);
        panel.AddTextSpace(16, true, false, QString(), -1, -1);
        panel.UseClick(0, 1);
        panel.Init();
        panel.show();
    }
    bool Has(std::uint32_t c) const {
        for (int y = 2; y < 28; ++y)
            for (int x = 2; x < 118; ++x)
                if (panel.Pic().GetPixel(x, y) == c) return true;
        return false;
    }
    UC_TextPicture panel;
};

TEST_F(PlainPanelTest, ACentredTextRedrawnInPartMatchesAWholeRedraw) {
    for (const char* t : {"HHHH", "H", "HHHHHHHHHHHHHHHHHHHH", ""}) {
        panel.DispMes(0, t);
        const QImage part = panel.Pic().Image();
        panel.Draw(-1);
        ASSERT_EQ(part, panel.Pic().Image()) << t;
    }
}

TEST_F(PlainPanelTest, SchemesAndTheSunkenFrame) {
    panel.DispMes(0, "HHHH");
    EXPECT_EQ(panel.Pic().GetPixel(0, 10), test::kShadow);
    EXPECT_EQ(panel.Pic().GetPixel(119, 10), test::kHighlight);
    EXPECT_TRUE(Has(test::kFace)) << "scheme 0 text: the button face";
    panel.SetColor(3);
    EXPECT_EQ(panel.Pic().GetPixel(10, 5), 0x0000FFu);
    EXPECT_TRUE(Has(0xFFFFFF));
    panel.SetIsFlat(1);
    panel.Draw(-1);
    EXPECT_EQ(panel.Pic().GetPixel(0, 10), 0x0000FFu) << "flat: no frame";
}

TEST_F(PlainPanelTest, HighlightOfASystemColourIsWhiteAndDoesNotStick) {
    panel.DispMes(0, "HHHH");
    const QImage normal = panel.Pic().Image();
    EXPECT_FALSE(Has(0xFFFFFF));
    test::Press(&panel, {60, 15});
    EXPECT_TRUE(Has(0xFFFFFF));
    test::Release(&panel, {60, 15});
    EXPECT_EQ(panel.Pic().Image(), normal);
    // A plain colour brightens by 30; pressing again and again stays at +30.
    panel.SetColorEx(0x404040, 0x000000);
    const QImage dark = panel.Pic().Image();
    for (int k = 0; k < 3; ++k) {
        test::Press(&panel, {60, 15});
        test::Release(&panel, {60, 15});
    }
    EXPECT_EQ(panel.Pic().Image(), dark);
    test::Press(&panel, {60, 15});
    EXPECT_TRUE(Has(0x5E5E5E));
    EXPECT_FALSE(Has(0x7C7C7C));
}

TEST_F(PlainPanelTest, CentredTextWiderThanThePanelStartsAtTheMargin) {
    panel.DispMes(0, QString(30, QChar('M')));
    int first = -1;
    for (int x = 0; x < 120 && first < 0; ++x)
        for (int y = 3; y < 27; ++y)
            if (panel.Pic().GetPixel(x, y) != 0) { if (x >= 2) { first = x; break; } }
    EXPECT_GE(first, 4);
    EXPECT_LE(first, 6);
}

}  // namespace
}  // namespace rilumo
