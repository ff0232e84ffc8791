#pragma once
// A picture surface: a pixel image that the drawn controls paint on, with
// the handful of raster operations they need (strokes, fills, text, blits
// with copy/AND/XOR, single pixels, 3-D edges, binary raster modes).
//
// Colours are 0x00BBGGRR; 0x80000000 + n is system colour n and is resolved
// when drawn. Coordinates of the *Px functions are pixels; the twips forms
// (Line, Fill, Print, TextWidth ...) convert through support/units.h.

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

namespace rilumo {

// Raster operations of BitBlt/StretchBlt (the platform's codes).
enum class Rop : std::uint32_t {
    kSrcCopy = 0x00CC0020,
    kSrcPaint = 0x00EE0086,   // OR
    kSrcAnd = 0x008800C6,
    kSrcInvert = 0x00660046,  // XOR
};

// Binary raster modes for strokes and fills (1 black .. 16 white).
enum DrawModes : int {
    kDrawMaskPen = 9,    // destination AND pen
    kDrawXorPen = 7,
    kDrawCopyPen = 13,
    kDrawMergePen = 15,  // destination OR pen
};

// DrawEdge edges and flags.
inline constexpr int kEdgeRaised = 5;
inline constexpr int kEdgeSunken = 10;
inline constexpr int kBfRect = 0x000F;
inline constexpr int kBfSoft = 0x1000;

// System colour numbers used by the controls.
inline constexpr int kColorWindow = 5;
inline constexpr int kColorWindowText = 8;
inline constexpr int kColorBtnFace = 15;
inline constexpr int kColorBtnShadow = 16;
inline constexpr int kColorBtnHighlight = 20;
inline constexpr int kColor3dDkShadow = 21;
inline constexpr int kColor3dLight = 22;

class Surface {
public:
    Surface() = default;
    Surface(int widthPx, int heightPx);

    // Size. Resizing keeps what fits and fills the rest with the background.
    void ResizePx(int widthPx, int heightPx);
    void ResizeTwips(double width, double height);
    int WidthPx() const { return image_.width(); }
    int HeightPx() const { return image_.height(); }
    double ScaleWidth() const;   // twips
    double ScaleHeight() const;  // twips

    // Colours. Setting the background clears the surface to it.
    void SetBackColor(std::uint32_t color);
    std::uint32_t BackColor() const { return back_; }
    void SetForeColor(std::uint32_t color) { fore_ = color; }
    std::uint32_t ForeColor() const { return fore_; }
    void Cls();
    // Clears the pixel rectangle r (clipped) to the background.
    void ClsPx(const QRect& r);
    void SetDrawMode(int mode) { drawMode_ = (mode >= 1 && mode <= 16) ? mode : kDrawCopyPen; }
    int DrawMode() const { return drawMode_; }

    // Strokes leave out their end point; fills include both corners. Both
    // use the current draw mode.
    void LinePx(int x1, int y1, int x2, int y2, std::uint32_t color);
    void FillPx(int x1, int y1, int x2, int y2, std::uint32_t color);
    void Line(double x1, double y1, double x2, double y2, std::uint32_t color);
    void Fill(double x1, double y1, double x2, double y2, std::uint32_t color);

    // Single pixels (copy, whatever the draw mode). GetPixel of a point
    // outside gives 0xFFFFFFFF.
    std::uint32_t GetPixel(int x, int y) const;
    void SetPixelV(int x, int y, std::uint32_t color);

    // Text in the surface's font and fore colour; (x, y) is the top left of
    // the text cell. The background shows through.
    void SetFont(const QFont& font);
    const QFont& Font() const { return font_; }
    void PrintPx(int x, int y, const QString& text);
    void Print(double x, double y, const QString& text);
    // Text output draws only inside r until ClearClip (a null r: everywhere).
    void SetClipPx(const QRect& r) { clip_ = r; }
    void ClearClip() { clip_ = QRect(); }
    int TextWidthPx(const QString& text) const;
    int TextHeightPx(const QString& text) const;
    double TextWidth(const QString& text) const;   // twips
    double TextHeight(const QString& text) const;  // twips

    // Blits in pixels; parts outside either surface are clipped. The source
    // may be this surface.
    void BitBlt(int dx, int dy, int w, int h, const Surface& src, int sx, int sy,
                Rop rop = Rop::kSrcCopy);
    void StretchBlt(int dx, int dy, int dw, int dh, const Surface& src, int sx, int sy,
                    int sw, int sh, Rop rop = Rop::kSrcCopy);

    // The platform's 3-D edge inside the pixel rectangle [left, right) x [top, bottom).
    void DrawEdge(int left, int top, int right, int bottom, int edge, int flags);

    // The pixels, for tests and for the widget that shows the surface.
    const QImage& Image() const { return image_; }
    // Replaces the pixels (converted to RGB32), e.g. with a built-in picture.
    void LoadImage(const QImage& image);

    // Called after every change with the pixel rectangle it touched; the
    // widget showing the surface schedules a repaint of it.
    void SetChangedHook(std::function<void(const QRect&)> hook) { changed_ = std::move(hook); }

private:
    void Changed(const QRect& r = QRect()) {
        if (changed_) changed_(r.isNull() ? image_.rect() : r & image_.rect());
    }
    // Writes x1..x2 of row y in the draw mode; rows are taken from the pixel
    // buffer fetched once per operation (QImage::scanLine would check for
    // sharing on every call).
    struct Rows {
        uchar* bits;
        qsizetype stride;
    };
    Rows Pixels() { return {image_.bits(), image_.bytesPerLine()}; }
    void PutSpan(const Rows& rows, int y, int x1, int x2, std::uint32_t qrgb);

    // Texts measured and shaped once per font: a repaint mostly draws the
    // texts the previous one drew, and shaping is the bulk of its cost.
    struct Shaped {
        int width = -1;
        bool laidOut = false;
        QList<QGlyphRun> runs;
        double baseline = 0;  // of the laid-out line, from its top
    };
    Shaped& Cached(const QString& text) const;

    QImage image_;
    std::uint32_t back_ = 0xFFFFFF;
    std::uint32_t fore_ = 0x000000;
    int drawMode_ = kDrawCopyPen;
    QFont font_;
    mutable QHash<QString, Shaped> texts_;
    // The texts of the other fonts used here: a control that switches fonts
    // between its texts on every repaint keeps them all.
    std::vector<std::pair<QFont, QHash<QString, Shaped>>> parked_;
    QRect clip_;
    std::function<void(const QRect&)> changed_;
};

// 0x00BBGGRR (system references resolved) as the image's 0xFFRRGGBB.
std::uint32_t ToQRgb(std::uint32_t color);
// 0xFFRRGGBB (alpha ignored) as 0x00BBGGRR.
std::uint32_t FromQRgb(std::uint32_t rgb);

}  // namespace rilumo
