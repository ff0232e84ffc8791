#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPainter>

#include "controls/control_resources.h"
#include "controls/surface.h"
#include "tests/controls/pinned_colors.h"

namespace rilumo {
namespace {

using test::PinnedColors;

class SurfaceTest : public PinnedColors {};

TEST_F(SurfaceTest, StrokesLeaveOutTheirEndPointFillsKeepBothCorners) {
    Surface s(10, 10);
    s.SetBackColor(0xFFFFFF);
    s.LinePx(1, 1, 5, 1, 0x0000FF);
    EXPECT_EQ(s.GetPixel(1, 1), 0x0000FFu);
    EXPECT_EQ(s.GetPixel(4, 1), 0x0000FFu);
    EXPECT_EQ(s.GetPixel(5, 1), 0xFFFFFFu);
    s.LinePx(3, 8, 3, 4, 0x00FF00);  // upwards
    EXPECT_EQ(s.GetPixel(3, 8), 0x00FF00u);
    EXPECT_EQ(s.GetPixel(3, 5), 0x00FF00u);
    EXPECT_EQ(s.GetPixel(3, 4), 0xFFFFFFu);
    s.LinePx(0, 4, 4, 0, 0xFF0000);  // the diagonal of the gradient painter
    for (int k = 0; k < 4; ++k) EXPECT_EQ(s.GetPixel(k, 4 - k), 0xFF0000u) << k;
    EXPECT_EQ(s.GetPixel(4, 0), 0xFFFFFFu);
    s.FillPx(8, 8, 6, 6, 0x123456);
    EXPECT_EQ(s.GetPixel(6, 6), 0x123456u);
    EXPECT_EQ(s.GetPixel(8, 8), 0x123456u);
    EXPECT_EQ(s.GetPixel(9, 9), 0xFFFFFFu);
    // Far outside: clipped, nothing breaks.
    s.LinePx(-100000, 2, 100000, 2, 0x010203);
    EXPECT_EQ(s.GetPixel(9, 2), 0x010203u);
    s.FillPx(-5, -5, -1, -1, 0);
    EXPECT_EQ(s.GetPixel(10, 0), 0xFFFFFFFFu);
}

TEST_F(SurfaceTest, TwipsCoordinatesAreIntegerDividedByTheFactor) {
    Surface s(4, 4);
    s.SetBackColor(0);
    EXPECT_EQ(s.ScaleWidth(), 60.0);
    s.Fill(29, 0, 44, 0, 0xFFFFFF);  // 29 twips is pixel 1, 44 still pixel 2
    EXPECT_EQ(s.GetPixel(0, 0), 0u);
    EXPECT_EQ(s.GetPixel(1, 0), 0xFFFFFFu);
    EXPECT_EQ(s.GetPixel(2, 0), 0xFFFFFFu);
    EXPECT_EQ(s.GetPixel(3, 0), 0u);
}

TEST_F(SurfaceTest, BinaryRasterModesCombinePenAndDestination) {
    Surface s(3, 1);
    s.SetBackColor(0xFFFFFF);
    s.SetPixelV(1, 0, 0x000000);  // black text stays black under the mask pen
    s.SetPixelV(2, 0, 0x0F0F0F);
    s.SetDrawMode(kDrawMaskPen);
    s.FillPx(0, 0, 2, 0, 0xC0A0A0);
    EXPECT_EQ(s.GetPixel(0, 0), 0xC0A0A0u);
    EXPECT_EQ(s.GetPixel(1, 0), 0x000000u);
    EXPECT_EQ(s.GetPixel(2, 0), 0x000000u);
    s.SetDrawMode(kDrawMergePen);
    s.FillPx(0, 0, 2, 0, 0x0F0F0F);
    EXPECT_EQ(s.GetPixel(0, 0), 0xCFAFAFu);
    EXPECT_EQ(s.GetPixel(1, 0), 0x0F0F0Fu);
    s.SetDrawMode(kDrawXorPen);
    s.FillPx(0, 0, 0, 0, 0xFFFFFF);
    EXPECT_EQ(s.GetPixel(0, 0), 0x305050u);
    s.SetDrawMode(kDrawCopyPen);
    s.FillPx(0, 0, 0, 0, 0x111111);
    EXPECT_EQ(s.GetPixel(0, 0), 0x111111u);
    // Codes outside 1..16 fall back to copying.
    s.SetDrawMode(99);
    EXPECT_EQ(s.DrawMode(), kDrawCopyPen);
}

TEST_F(SurfaceTest, MaskThenImageBlitDrawsASpriteOverTheBackground) {
    // Image: black background, red dot; mask: white background, black dot.
    Surface sprite(2, 2);
    sprite.SetBackColor(0);
    sprite.SetPixelV(0, 0, 0x0000FF);
    sprite.FillPx(0, 1, 1, 1, 0xFFFFFF);
    sprite.SetPixelV(0, 1, 0x000000);
    Surface dst(3, 3);
    dst.SetBackColor(0x00FF00);
    dst.BitBlt(1, 1, 2, 1, sprite, 0, 1, Rop::kSrcAnd);
    dst.BitBlt(1, 1, 2, 1, sprite, 0, 0, Rop::kSrcInvert);
    EXPECT_EQ(dst.GetPixel(1, 1), 0x0000FFu);
    EXPECT_EQ(dst.GetPixel(2, 1), 0x00FF00u);
    EXPECT_EQ(dst.GetPixel(0, 0), 0x00FF00u);
}

TEST_F(SurfaceTest, BlitsClipAndMayReadTheirOwnSurface) {
    Surface s(4, 1);
    for (int x = 0; x < 4; ++x) s.SetPixelV(x, 0, static_cast<std::uint32_t>(x + 1));
    s.BitBlt(1, 0, 4, 1, s, 0, 0);  // overlapping copy to the right
    EXPECT_EQ(s.GetPixel(0, 0), 1u);
    EXPECT_EQ(s.GetPixel(1, 0), 1u);
    EXPECT_EQ(s.GetPixel(2, 0), 2u);
    EXPECT_EQ(s.GetPixel(3, 0), 3u);
    Surface wide(6, 2);
    wide.SetBackColor(0);
    wide.StretchBlt(0, 0, 6, 2, s, 0, 0, 1, 1);  // one pixel over a rectangle
    EXPECT_EQ(wide.GetPixel(5, 1), 1u);
    wide.BitBlt(-2, -2, 10, 10, s, -1, 0);
    wide.StretchBlt(0, 0, 0, 5, s, 0, 0, 1, 1);
}

TEST_F(SurfaceTest, SunkenSoftEdgeIsDarkTopLeftAndLightBottomRight) {
    Surface s(6, 6);
    s.SetBackColor(0x00FF00);
    s.DrawEdge(0, 0, 6, 6, kEdgeSunken, kBfRect | kBfSoft);
    EXPECT_EQ(s.GetPixel(0, 2), test::kDkShadow);
    EXPECT_EQ(s.GetPixel(2, 0), test::kDkShadow);
    EXPECT_EQ(s.GetPixel(1, 2), test::kShadow);
    EXPECT_EQ(s.GetPixel(5, 2), test::kHighlight);
    EXPECT_EQ(s.GetPixel(2, 5), test::kHighlight);
    EXPECT_EQ(s.GetPixel(4, 2), test::kFace);
    EXPECT_EQ(s.GetPixel(2, 2), 0x00FF00u);
    s.DrawEdge(0, 0, 6, 6, kEdgeRaised, kBfRect);
    EXPECT_EQ(s.GetPixel(0, 2), test::kFace);
    EXPECT_EQ(s.GetPixel(1, 2), test::kHighlight);
    EXPECT_EQ(s.GetPixel(5, 2), test::kDkShadow);
    EXPECT_EQ(s.GetPixel(4, 2), test::kShadow);
}

TEST_F(SurfaceTest, SystemColourReferencesResolveWhenDrawn) {
    Surface s(2, 2);
    s.SetBackColor(0x80000010);
    EXPECT_EQ(s.BackColor(), 0x80000010u);
    EXPECT_EQ(s.GetPixel(1, 1), test::kShadow);
}

TEST_F(SurfaceTest, TextIsMeasuredAndPrintedInTheForeColour) {
    Surface s(200, 40);
    s.SetBackColor(0);
    s.SetForeColor(0xFFFFFF);
    EXPECT_GT(s.TextWidthPx("WWW"), s.TextWidthPx("W"));
    EXPECT_EQ(s.TextWidth("W"), s.TextWidthPx("W") * 15.0);
    EXPECT_GT(s.TextHeightPx("I"), 0);
    s.Print(150, 150, "Hello");
    bool lit = false;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x)
            if (s.GetPixel(x, y) != 0) {
                lit = true;
                EXPECT_GE(x, 10);
                EXPECT_GE(y, 10);
            }
    EXPECT_TRUE(lit);
}

// Repeated texts come from a cache of shaped glyphs: they must land exactly
// where a plain draw puts them, also with fallback fonts, right-to-left runs
// and after a font change.
TEST_F(SurfaceTest, CachedTextDrawsAndMeasuresExactlyLikeAPlainDraw) {
    const QString texts[] = {"Hello, world", "夜の散歩 (live) 03:21", "שלום abc", "a\tb", "x"};
    QFont big;
    big.setPixelSize(23);
    big.setBold(true);
    for (const QFont& font : {QFont(), big}) {
        Surface s(320, 40);
        s.SetBackColor(0xFFFFFF);
        s.SetForeColor(0x000000);
        s.SetFont(font);
        for (const QString& t : texts) {
            for (int pass = 0; pass < 2; ++pass) {  // the second pass hits the cache
                s.Cls();
                s.PrintPx(7, 5, t);
                QImage want(s.Image().size(), QImage::Format_RGB32);
                want.fill(Qt::white);
                {
                    QPainter p(&want);
                    p.setFont(font);
                    p.setPen(Qt::black);
                    p.drawText(QPoint(7, 5 + QFontMetrics(font, &want).ascent()), t);
                }
                EXPECT_EQ(s.Image(), want) << t.toStdString() << " pass " << pass;
                EXPECT_EQ(s.TextWidthPx(t), QFontMetrics(font, &want).horizontalAdvance(t)) << t.toStdString();
            }
        }
    }
}

TEST_F(SurfaceTest, ResizeKeepsWhatFits) {
    Surface s(2, 2);
    s.SetBackColor(0x0000FF);
    s.SetPixelV(1, 1, 0x00FF00);
    s.ResizePx(3, 3);
    EXPECT_EQ(s.GetPixel(1, 1), 0x00FF00u);
    EXPECT_EQ(s.GetPixel(2, 2), 0x0000FFu);
    s.ResizePx(0, 5);
    EXPECT_EQ(s.GetPixel(0, 0), 0xFFFFFFFFu);
    s.FillPx(0, 0, 1, 1, 0);  // a surface without pixels ignores drawing
}

// Each font keeps its own measured texts, and a clip keeps text output inside it.
TEST_F(SurfaceTest, FontsKeepTheirOwnWidthsAndTextStaysInsideTheClip) {
    QFont small, big;
    small.setPixelSize(10);
    big.setPixelSize(30);
    Surface s(200, 40);
    s.SetBackColor(0xFFFFFF);
    s.SetForeColor(0x000000);
    const QString t = "WWW 03'25.4";
    int width[2] = {0, 0};
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 2; ++i) {
            s.SetFont(i == 0 ? small : big);
            const int w = s.TextWidthPx(t);
            EXPECT_EQ(w, QFontMetrics(i == 0 ? small : big, &s.Image()).horizontalAdvance(t)) << round;
            if (round == 0) width[i] = w;
            EXPECT_EQ(w, width[i]);
        }
    }
    EXPECT_LT(width[0], width[1]);
    s.SetClipPx(QRect(10, 0, 20, 40));
    s.PrintPx(0, 0, t);
    s.ClearClip();
    bool inside = false;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 200; ++x) {
            const bool ink = s.GetPixel(x, y) != 0xFFFFFFu;
            if (x < 10 || x >= 30) {
                EXPECT_FALSE(ink) << x << "," << y;
            }
            inside = inside || ink;
        }
    }
    EXPECT_TRUE(inside);
}

}  // namespace
}  // namespace rilumo

namespace rilumo {
namespace {

TEST(BuiltInPictures, HaveTheirLayoutsAndMatchingMasks) {
    struct Pic { const char* path; int w, h, cellW; };
    const Pic pics[] = {{kIconLibraryPath, 468, 36, 18}, {kFileTypeIconsPath, 160, 32, 16},
                        {kSliderArrowsHPath, 24, 20, 6}, {kSliderArrowsVPath, 40, 12, 10}};
    for (const Pic& p : pics) {
        const QImage img = BuiltInPicture(p.path);
        ASSERT_EQ(img.width(), p.w) << p.path;
        ASSERT_EQ(img.height(), p.h) << p.path;
        const int half = p.h / 2;
        for (int x0 = 0; x0 < p.w; x0 += p.cellW) {
            int drawn = 0;
            for (int y = 0; y < half; ++y)
                for (int x = x0; x < x0 + p.cellW; ++x) {
                    const bool inMask = (img.pixel(x, half + y) & 0xFFFFFF) == 0;
                    const bool mask01 = inMask || (img.pixel(x, half + y) & 0xFFFFFF) == 0xFFFFFF;
                    ASSERT_TRUE(mask01) << p.path << " " << x << "," << y;
                    // Outside the mask the image is black, so XOR leaves the background.
                    if (!inMask) {
                        ASSERT_EQ(img.pixel(x, y) & 0xFFFFFF, 0u) << p.path << " " << x << "," << y;
                    }
                    drawn += inMask;
                }
            // No cell is left empty.
            EXPECT_GT(drawn, 10) << p.path << " cell at " << x0;
        }
    }
    EXPECT_EQ(BuiltInPicture(kOnAirOffPath).size(), QSize(64, 23));
    EXPECT_EQ(BuiltInPicture(kOnAirOnPath).size(), QSize(64, 23));
}

}  // namespace
}  // namespace rilumo

#include "controls/control_font.h"
#include "support/globals.h"
#include "support/ui/fonts.h"

namespace rilumo {
namespace {

TEST(ControlFonts, SizeInPointsBecomesTheCellHeightAndSubstitutionSharesEntries) {
    const QFont f = ControlFont(9, true, false, QString());
    EXPECT_EQ(f.pixelSize(), 12);
    EXPECT_TRUE(f.bold());
    globals::FontSubstitution = 1;
    DeleteFonts();
    const QFont a = ControlFont(15, false, false, QString());
    const int count = FontCount();
    const QFont b = ControlFont(15, false, false, QString());
    EXPECT_EQ(FontCount(), count) << "the same request shares its entry";
    EXPECT_EQ(a, b);
    EXPECT_EQ(a.pixelSize(), 20);
    globals::FontSubstitution = 0;
    DeleteFonts();
}

}  // namespace
}  // namespace rilumo
