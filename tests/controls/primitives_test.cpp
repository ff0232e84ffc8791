#include <gtest/gtest.h>

#include "controls/colors.h"
#include "controls/draw_primitives.h"
#include "controls/surface.h"
#include "tests/controls/pinned_colors.h"

namespace rilumo {
namespace {

using test::PinnedColors;

constexpr std::uint32_t Grey(int v) { return static_cast<std::uint32_t>(v) * 0x010101u; }
constexpr std::uint32_t kBack = 0x00FF00;  // never produced by the grey ramps below

// light 255, face 100, shadow 60 give the ramp
// e0 255, e1 201, e2 150, e3 100, e4 86, e5 73, e6 60, e7 40, e8 20.
constexpr std::int32_t kL = 0xFFFFFF, kF = 0x646464, kS = 0x3C3C3C;

Surface Blank(int w, int h) {
    Surface s(w, h);
    s.SetBackColor(kBack);
    return s;
}

class ColorTest : public PinnedColors {};

TEST_F(ColorTest, SplitAndMakeRoundTripAndClamp) {
    std::int16_t r, g, b;
    SplitColor(0x123456, r, g, b);
    EXPECT_EQ(r, 0x56);
    EXPECT_EQ(g, 0x34);
    EXPECT_EQ(b, 0x12);
    EXPECT_EQ(MakeColor(300, -5, 128), 0x8000FF);
    EXPECT_EQ(MakeColor(r, g, b), 0x123456);
}

TEST_F(ColorTest, AdjustScalesOrOffsetsAndClamps) {
    EXPECT_EQ(AdjustColor(0x646464, 0, 0, 0, 1.2f), 0x787878);
    EXPECT_EQ(AdjustColor(0xFA0080, 0, 0, 0, 1.2f), 0xFF009A);  // 250 -> 255, 128 -> 153.6
    EXPECT_EQ(AdjustColor(0x00D000, -70, -70, -70, -1.0f), 0x008A00);
    EXPECT_EQ(AdjustColor(0xF0F0F0, 40, 40, 40, -1.0f), 0xFFFFFF);
    // 15 x 1.1f is 16.5000004 in single precision; kept to four places it is a
    // tie and goes to the even 16.
    EXPECT_EQ(AdjustColor(0x0F0F0F, 0, 0, 0, 1.1f), 0x101010);
}

TEST_F(ColorTest, TonesFollowTheDesktopHueAndAreCachedForTheRun) {
    EXPECT_EQ(ToneColor(0), 0xFFFFFF);
    EXPECT_EQ(ToneColor(1), 0xD2D2D2);  // face C0C0C0 scaled to a mean of 210
    EXPECT_EQ(ToneColor(2), 0x787878);  // shadow 808080 scaled to 120
    PinSystemColor(15, 0x0080FF);
    EXPECT_EQ(ToneColor(1), 0xD2D2D2) << "cached";
    ResetToneColorCache();
    EXPECT_EQ(ToneColor(1), 0x00D2FF);  // (255, 128, 0): mean 128, x 1.64 clamps red
    EXPECT_EQ(ToneColor(3), 0);
}

TEST_F(ColorTest, BlackBaseFailsQuietlyAndIsNotCached) {
    PinSystemColor(16, 0x000000);
    EXPECT_EQ(ToneColor(2), 0);
    PinSystemColor(16, 0x808080);
    EXPECT_EQ(ToneColor(2), 0x787878);
}

class PaintTest : public PinnedColors {};

TEST_F(PaintTest, BevelPaintsThreeRingsAndLeavesTheInside) {
    Surface s = Blank(10, 8);
    PaintSurface(s, 1, kL, kF, kS);
    EXPECT_EQ(s.GetPixel(4, 0), Grey(255));
    EXPECT_EQ(s.GetPixel(4, 1), Grey(201));
    EXPECT_EQ(s.GetPixel(4, 2), Grey(201));
    EXPECT_EQ(s.GetPixel(0, 3), Grey(255));
    EXPECT_EQ(s.GetPixel(1, 3), Grey(201));
    EXPECT_EQ(s.GetPixel(2, 3), Grey(150));
    EXPECT_EQ(s.GetPixel(4, 3), kBack);
    EXPECT_EQ(s.GetPixel(9, 3), Grey(60));
    EXPECT_EQ(s.GetPixel(8, 3), Grey(73));
    EXPECT_EQ(s.GetPixel(7, 3), Grey(86));
    EXPECT_EQ(s.GetPixel(4, 7), Grey(60));
    EXPECT_EQ(s.GetPixel(4, 6), Grey(73));
    EXPECT_EQ(s.GetPixel(4, 5), Grey(86));
    EXPECT_EQ(s.GetPixel(9, 0), Grey(60));
    EXPECT_EQ(s.GetPixel(0, 7), Grey(60));
}

TEST_F(PaintTest, DefaultTonesComeFromTheDesktop) {
    Surface s = Blank(6, 6);
    PaintSurface(s, -2);
    EXPECT_EQ(s.GetPixel(3, 3), 0xD2D2D2u);
    PaintSurface(s, 1);
    EXPECT_EQ(s.GetPixel(3, 0), 0xFFFFFFu);
    EXPECT_EQ(s.GetPixel(5, 3), 0x787878u);
}

TEST_F(PaintTest, CentreGradientRunsFromLightOverFaceToShadowMix) {
    Surface s = Blank(7, 9);  // n = 135 \ 30 = 4
    PaintSurface(s, 5, kL, kF, kS);
    for (int x : {0, 6}) {
        EXPECT_EQ(s.GetPixel(x, 0), Grey(255));
        EXPECT_EQ(s.GetPixel(x, 3), Grey(139));  // 0.25 x 255 + 0.75 x 100
        EXPECT_EQ(s.GetPixel(x, 4), Grey(100));
        EXPECT_EQ(s.GetPixel(x, 5), Grey(93));   // 0.25 x 73 + 0.75 x 100
        EXPECT_EQ(s.GetPixel(x, 8), Grey(73));
    }
}

TEST_F(PaintTest, CentreGradientOnOnePixelRowShowsTheLightRow) {
    Surface s = Blank(3, 1);
    PaintSurface(s, 5, kL, kF, kS);
    EXPECT_EQ(s.GetPixel(1, 0), Grey(255));
}

TEST_F(PaintTest, VerticalCentreGradientAndFrame) {
    Surface s = Blank(9, 5);
    PaintSurface(s, 6, kL, kF, kS);
    EXPECT_EQ(s.GetPixel(0, 2), Grey(100));
    EXPECT_EQ(s.GetPixel(4, 2), Grey(255));
    EXPECT_EQ(s.GetPixel(8, 4), Grey(73));
    PaintSurface(s, 8, kL, kF, kS);
    EXPECT_EQ(s.GetPixel(0, 2), Grey(255));
    EXPECT_EQ(s.GetPixel(8, 2), Grey(20));
}

TEST_F(PaintTest, FrameIsLightLeftAndTopNearBlackRightAndBottom) {
    Surface s = Blank(7, 9);
    PaintSurface(s, 7, kL, kF, kS);
    EXPECT_EQ(s.GetPixel(0, 4), Grey(255));
    EXPECT_EQ(s.GetPixel(3, 0), Grey(255));
    EXPECT_EQ(s.GetPixel(6, 0), Grey(20));
    EXPECT_EQ(s.GetPixel(6, 4), Grey(20));
    EXPECT_EQ(s.GetPixel(0, 8), Grey(20));
    EXPECT_EQ(s.GetPixel(3, 8), Grey(20));
    EXPECT_EQ(s.GetPixel(3, 4), Grey(100)) << "the gradient stays inside";
    Surface f = Blank(7, 9);
    PaintSurface(f, -1, kL, kF, kS);
    EXPECT_EQ(f.GetPixel(0, 4), Grey(255));
    EXPECT_EQ(f.GetPixel(3, 4), kBack);
}

TEST_F(PaintTest, DiagonalGradientStepsAlongTheAntiDiagonals) {
    Surface s = Blank(4, 2);  // n = (60 + 30 + 20) \ 15 = 7, step -155 / 7
    PaintSurface(s, 2, kL, kF, kS);
    EXPECT_EQ(s.GetPixel(0, 1), Grey(233));
    EXPECT_EQ(s.GetPixel(1, 1), Grey(211));
    EXPECT_EQ(s.GetPixel(3, 1), Grey(166));
    EXPECT_EQ(s.GetPixel(2, 0), kBack) << "the top row is every stroke's end point";
}

TEST_F(PaintTest, UnknownModesDrawNothingAndMinusTwoNoFrame) {
    for (int mode : {-3, 0, 3, 4, 9, 15, 16}) {
        Surface s = Blank(5, 5);
        PaintSurface(s, mode, kL, kF, kS);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 5; ++x) ASSERT_EQ(s.GetPixel(x, y), kBack) << mode;
    }
    Surface s = Blank(5, 5);
    PaintSurface(s, -2, kL, kF, kS);
    EXPECT_EQ(s.GetPixel(0, 0), Grey(100));
    EXPECT_EQ(s.GetPixel(4, 4), Grey(100));
}

TEST_F(PaintTest, FramedGradientDarkWinsTheMixedCorners) {
    Surface s = Blank(6, 5);
    std::int32_t skip = 1, rings = 2;
    PaintFramedGradient(s, 0x808080, 0x404040, skip, rings);  // dark 88, light 104
    EXPECT_EQ(s.GetPixel(0, 0), Grey(104));
    EXPECT_EQ(s.GetPixel(3, 0), Grey(104));
    EXPECT_EQ(s.GetPixel(5, 0), Grey(88));
    EXPECT_EQ(s.GetPixel(0, 4), Grey(88));
    EXPECT_EQ(s.GetPixel(5, 4), Grey(88));
    EXPECT_EQ(s.GetPixel(1, 1), Grey(104));
    EXPECT_EQ(s.GetPixel(4, 1), Grey(88));
    EXPECT_EQ(s.GetPixel(1, 3), Grey(88));
    EXPECT_EQ(s.GetPixel(2, 2), kBack);
    skip = 0;
    rings = 0;
    PaintFramedGradient(s, 0x808080, 0x404040, skip, rings);
    EXPECT_NE(s.GetPixel(2, 2), kBack);
}

TEST_F(PaintTest, ColourSchemesSetTextAndBackground) {
    Surface s = Blank(2, 2);
    ApplyColorScheme(s, 1, 0, 0);
    EXPECT_EQ(s.ForeColor(), 0x407060u);
    EXPECT_EQ(s.BackColor(), 0xD5FFF1u);
    EXPECT_EQ(s.GetPixel(0, 0), 0xD5FFF1u);
    ApplyColorScheme(s, 7, 0, 0);
    EXPECT_EQ(s.BackColor(), 0xD5FFF1u);
    ApplyColorScheme(s, 0, 0, 0);
    EXPECT_EQ(s.ForeColor(), 0x8000000Fu);
    EXPECT_EQ(s.GetPixel(0, 0), 0u);
    ApplyColorScheme(s, -1, 0x111111, 0x222222);
    EXPECT_EQ(s.ForeColor(), 0x111111u);
    EXPECT_EQ(s.BackColor(), 0x222222u);
}

TEST_F(PaintTest, EdgeRectConvertsTwipsToPixels) {
    Surface s = Blank(8, 8);
    DrawEdgeRect(s, 15, 15, 60, 60, 1);  // pixels 1..4
    EXPECT_EQ(s.GetPixel(1, 2), test::kDkShadow);
    EXPECT_EQ(s.GetPixel(4, 2), test::kHighlight);
    EXPECT_EQ(s.GetPixel(5, 2), kBack);
    DrawEdgeRect(s, 15, 15, 60, 60, 0);
    EXPECT_EQ(s.GetPixel(1, 2), test::kHighlight);
    EXPECT_EQ(s.GetPixel(4, 2), test::kDkShadow);
}

TEST_F(PaintTest, FitTextCutsWithoutEllipsisAndKeepsOneCharacter) {
    Surface s(100, 20);
    EXPECT_EQ(FitText("W", s, 1, 0), "W");
    EXPECT_EQ(FitText("WWWW", s, 1, 0), "W");
    EXPECT_EQ(FitText("abcdef", s, s.TextWidth("abcdef"), 0), "abcdef");
    EXPECT_EQ(FitText("abcXYZ", s, s.TextWidth("abc"), 0), "abc");
    EXPECT_EQ(FitText("abcXYZ", s, s.TextWidth("XYZ"), 1), "XYZ");
    EXPECT_EQ(FitText("", s, 0, 0), "");
}

TEST(FitTextTable, FixedWidthCharacters) {
    struct TenPerChar final : TextMeasure {
        double TextWidth(const QString& t) const override { return 10.0 * t.size(); }
    } measure;
    const struct {
        const char* text;
        double width;
        int keepEnd;
        const char* fitted;
    } cases[] = {
        {"abcdef", 60, 0, "abcdef"},  // fits whole
        {"abcdef", 35, 0, "abc"},     // cut, no mark added
        {"abcdef", 30, 0, "abc"},     // exactly the width still fits
        {"abcdef", 35, 1, "def"},     // the end kept
        {"abcdef", 5, 0, "a"},        // too narrow: one character stays
        {"abcdef", 5, 1, "f"},
        {"W", 0, 0, "W"},
        {"", 0, 1, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FitText(c.text, measure, c.width, c.keepEnd), c.fitted) << c.text << " in " << c.width;
}

}  // namespace
}  // namespace rilumo
