#include "controls/surface.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>

#include "support/ui/syscolors.h"
#include "support/units.h"

namespace rilumo {

namespace {

// Enough for every row and caption on screen several times over; a larger
// cache only holds texts scrolled away long ago.
constexpr qsizetype kMaxCachedTexts = 2048;
constexpr std::size_t kMaxParkedFonts = 8;

// Texts the one-line layout would break or lay out differently from a plain
// draw; they are drawn and measured directly.
bool NeedsPlainDraw(const QString& text) {
    for (const QChar c : text)
        if (c == u'\n' || c == u'\r' || c == u'\t' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return true;
    return false;
}

// Lines longer than this are garbage from the caller and draw nothing.
constexpr int kMaxLineSteps = 1 << 16;

// Binary raster mode code (1..16) applied to pen and destination, bitwise.
inline std::uint32_t ApplyMode(int mode, std::uint32_t pen, std::uint32_t dst) {
    switch (mode) {
    case kDrawCopyPen: return pen;
    case kDrawMaskPen: return pen & dst;
    case kDrawMergePen: return pen | dst;
    case kDrawXorPen: return pen ^ dst;
    default: break;
    }
    // The code minus one is the truth table over (pen bit, destination bit).
    const unsigned t = static_cast<unsigned>(mode - 1);
    std::uint32_t r = 0;
    if (t & 1) r |= ~pen & ~dst;
    if (t & 2) r |= ~pen & dst;
    if (t & 4) r |= pen & ~dst;
    if (t & 8) r |= pen & dst;
    return r;
}

inline std::uint32_t ApplyRop(Rop rop, std::uint32_t src, std::uint32_t dst) {
    switch (rop) {
    case Rop::kSrcCopy: return src;
    case Rop::kSrcPaint: return src | dst;
    case Rop::kSrcAnd: return src & dst;
    case Rop::kSrcInvert: return src ^ dst;
    }
    return src;
}

constexpr std::uint32_t kOpaque = 0xFF000000u;

}  // namespace

std::uint32_t ToQRgb(std::uint32_t color) {
    if (color & kSysColorFlag) color = ResolveColor(color);
    const std::uint32_t r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    return kOpaque | (r << 16) | (g << 8) | b;
}

std::uint32_t FromQRgb(std::uint32_t rgb) {
    const std::uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return r | (g << 8) | (b << 16);
}

Surface::Surface(int widthPx, int heightPx) { ResizePx(widthPx, heightPx); }

double Surface::ScaleWidth() const { return static_cast<double>(WidthPx()) * Tpp(); }
double Surface::ScaleHeight() const { return static_cast<double>(HeightPx()) * Tpp(); }

void Surface::ResizePx(int widthPx, int heightPx) {
    widthPx = std::max(0, widthPx);
    heightPx = std::max(0, heightPx);
    if (widthPx == WidthPx() && heightPx == HeightPx() && !image_.isNull()) return;
    QImage next(std::max(1, widthPx), std::max(1, heightPx), QImage::Format_RGB32);
    if (widthPx == 0 || heightPx == 0) next = QImage();
    if (!next.isNull()) {
        next.fill(ToQRgb(back_));
        const int cw = std::min(widthPx, WidthPx()), ch = std::min(heightPx, HeightPx());
        for (int y = 0; y < ch; ++y)
            std::memcpy(next.scanLine(y), image_.constScanLine(y), static_cast<size_t>(cw) * 4);
    }
    image_ = std::move(next);
    Changed();
}

void Surface::ResizeTwips(double width, double height) {
    ResizePx(TwipsToPx(width), TwipsToPx(height));
}

void Surface::SetBackColor(std::uint32_t color) {
    back_ = color;
    Cls();
}

void Surface::Cls() {
    if (image_.isNull()) return;
    image_.fill(ToQRgb(back_));
    Changed();
}

void Surface::ClsPx(const QRect& r) {
    const QRect area = r & image_.rect();
    if (image_.isNull() || area.isEmpty()) return;
    const std::uint32_t c = ToQRgb(back_);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(image_.scanLine(y));
        std::fill(row + area.left(), row + area.right() + 1, c);
    }
    Changed(area);
}

void Surface::PutSpan(const Rows& rows, int y, int x1, int x2, std::uint32_t qrgb) {
    // x1..x2 inclusive, already ordered.
    if (y < 0 || y >= HeightPx()) return;
    x1 = std::max(x1, 0);
    x2 = std::min(x2, WidthPx() - 1);
    if (x1 > x2) return;
    auto* row = reinterpret_cast<std::uint32_t*>(rows.bits + rows.stride * y);
    if (drawMode_ == kDrawCopyPen) {
        std::fill(row + x1, row + x2 + 1, qrgb);
        return;
    }
    for (int x = x1; x <= x2; ++x) row[x] = ApplyMode(drawMode_, qrgb, row[x]) | kOpaque;
}

void Surface::LinePx(int x1, int y1, int x2, int y2, std::uint32_t color) {
    if (image_.isNull()) return;
    const std::uint32_t c = ToQRgb(color);
    const long long ddx = static_cast<long long>(x2) - x1, ddy = static_cast<long long>(y2) - y1;
    if (ddx == 0 && ddy == 0) return;
    const Rows rows = Pixels();
    if (ddy == 0) {
        // Horizontal: the end point is left out.
        if (x2 > x1) PutSpan(rows, y1, x1, x2 - 1, c);
        else PutSpan(rows, y1, x2 + 1, x1, c);
        Changed();
        return;
    }
    if (ddx == 0) {
        const int ya = ddy > 0 ? y1 : y2 + 1, yb = ddy > 0 ? y2 - 1 : y1;
        for (int y = std::max(ya, 0); y <= std::min(yb, HeightPx() - 1); ++y) PutSpan(rows, y, x1, x1, c);
        Changed();
        return;
    }
    if (std::llabs(ddx) > kMaxLineSteps || std::llabs(ddy) > kMaxLineSteps) return;
    // Bresenham, end point excluded.
    int dx = static_cast<int>(std::llabs(ddx)), dy = -static_cast<int>(std::llabs(ddy));
    const int sx = ddx > 0 ? 1 : -1, sy = ddy > 0 ? 1 : -1;
    int err = dx + dy, x = x1, y = y1;
    while (!(x == x2 && y == y2)) {
        PutSpan(rows, y, x, x, c);
        const int e2 = 2 * err;
        if (e2 >= dy) { err += dy; x += sx; }
        if (e2 <= dx) { err += dx; y += sy; }
    }
    Changed();
}

void Surface::FillPx(int x1, int y1, int x2, int y2, std::uint32_t color) {
    if (image_.isNull()) return;
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    const std::uint32_t c = ToQRgb(color);
    const Rows rows = Pixels();
    for (int y = std::max(y1, 0); y <= std::min(y2, HeightPx() - 1); ++y) PutSpan(rows, y, x1, x2, c);
    Changed();
}

void Surface::Line(double x1, double y1, double x2, double y2, std::uint32_t color) {
    LinePx(TwipsToPx(x1), TwipsToPx(y1), TwipsToPx(x2), TwipsToPx(y2), color);
}

void Surface::Fill(double x1, double y1, double x2, double y2, std::uint32_t color) {
    FillPx(TwipsToPx(x1), TwipsToPx(y1), TwipsToPx(x2), TwipsToPx(y2), color);
}

std::uint32_t Surface::GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= WidthPx() || y >= HeightPx()) return 0xFFFFFFFFu;
    return FromQRgb(reinterpret_cast<const std::uint32_t*>(image_.constScanLine(y))[x]);
}

void Surface::SetPixelV(int x, int y, std::uint32_t color) {
    if (x < 0 || y < 0 || x >= WidthPx() || y >= HeightPx()) return;
    reinterpret_cast<std::uint32_t*>(image_.scanLine(y))[x] = ToQRgb(color);
    Changed();
}

void Surface::SetFont(const QFont& font) {
    if (font == font_ && font.families() == font_.families()) return;
    auto same = [&](const auto& p) { return p.first == font && p.first.families() == font.families(); };
    auto it = std::find_if(parked_.begin(), parked_.end(), same);
    QHash<QString, Shaped> texts;
    if (it != parked_.end()) {
        texts = std::move(it->second);
        parked_.erase(it);
    }
    // Few fonts per surface; a surface handed ever new ones starts afresh.
    if (parked_.size() >= kMaxParkedFonts) parked_.clear();
    parked_.emplace_back(font_, std::move(texts_));
    texts_ = std::move(texts);
    font_ = font;
}

Surface::Shaped& Surface::Cached(const QString& text) const {
    auto it = texts_.find(text);
    if (it != texts_.end()) return *it;
    if (texts_.size() >= kMaxCachedTexts) texts_.clear();
    return *texts_.insert(text, Shaped{});
}

void Surface::PrintPx(int x, int y, const QString& text) {
    if (image_.isNull() || text.isEmpty()) return;
    {
        QPainter p(&image_);
        if (!clip_.isNull()) p.setClipRect(clip_);
        p.setFont(font_);
        p.setPen(QColor::fromRgb(ToQRgb(fore_)));
        const QFontMetrics fm(font_, &image_);
        if (NeedsPlainDraw(text)) {
            p.drawText(QPoint(x, y + fm.ascent()), text);
        } else {
            Shaped& t = Cached(text);
            if (!t.laidOut) {
                QTextLayout layout(text, font_, &image_);
                QTextOption option;
                option.setWrapMode(QTextOption::NoWrap);
                layout.setTextOption(option);
                layout.beginLayout();
                QTextLine line = layout.createLine();
                if (line.isValid()) line.setLineWidth(1e7);
                layout.endLayout();
                t.runs = layout.glyphRuns();
                t.baseline = line.isValid() ? line.ascent() : 0;
                t.laidOut = true;
            }
            // The same baseline as a plain draw, whatever fallback fonts the
            // line needed.
            const QPointF at(x, y + fm.ascent() - t.baseline);
            for (const QGlyphRun& run : t.runs) p.drawGlyphRun(at, run);
        }
    }
    Changed(clip_);
}

void Surface::Print(double x, double y, const QString& text) {
    PrintPx(TwipsToPx(x), TwipsToPx(y), text);
}

int Surface::TextWidthPx(const QString& text) const {
    if (image_.isNull()) return QFontMetrics(font_).horizontalAdvance(text);
    if (NeedsPlainDraw(text)) return QFontMetrics(font_, &image_).horizontalAdvance(text);
    Shaped& t = Cached(text);
    if (t.width < 0) t.width = QFontMetrics(font_, &image_).horizontalAdvance(text);
    return t.width;
}

int Surface::TextHeightPx(const QString&) const {
    if (image_.isNull()) return QFontMetrics(font_).height();
    return QFontMetrics(font_, &image_).height();
}

double Surface::TextWidth(const QString& text) const {
    return static_cast<double>(TextWidthPx(text)) * Tpp();
}

double Surface::TextHeight(const QString& text) const {
    return static_cast<double>(TextHeightPx(text)) * Tpp();
}

void Surface::BitBlt(int dx, int dy, int w, int h, const Surface& src, int sx, int sy, Rop rop) {
    if (image_.isNull() || src.image_.isNull() || w <= 0 || h <= 0) return;
    // Clip against the source, then against the destination.
    if (sx < 0) { dx -= sx; w += sx; sx = 0; }
    if (sy < 0) { dy -= sy; h += sy; sy = 0; }
    w = std::min(w, src.WidthPx() - sx);
    h = std::min(h, src.HeightPx() - sy);
    if (dx < 0) { sx -= dx; w += dx; dx = 0; }
    if (dy < 0) { sy -= dy; h += dy; dy = 0; }
    w = std::min(w, WidthPx() - dx);
    h = std::min(h, HeightPx() - dy);
    if (w <= 0 || h <= 0) return;
    QImage copy;
    const QImage* from = &src.image_;
    if (&src == this) {
        copy = image_.copy(sx, sy, w, h);
        from = &copy;
        sx = sy = 0;
    }
    for (int y = 0; y < h; ++y) {
        const auto* s = reinterpret_cast<const std::uint32_t*>(from->constScanLine(sy + y)) + sx;
        auto* d = reinterpret_cast<std::uint32_t*>(image_.scanLine(dy + y)) + dx;
        if (rop == Rop::kSrcCopy) {
            std::memcpy(d, s, static_cast<size_t>(w) * 4);
        } else {
            for (int x = 0; x < w; ++x) d[x] = ApplyRop(rop, s[x], d[x]) | kOpaque;
        }
    }
    Changed(QRect(dx, dy, w, h));
}

void Surface::StretchBlt(int dx, int dy, int dw, int dh, const Surface& src, int sx, int sy,
                         int sw, int sh, Rop rop) {
    if (image_.isNull() || src.image_.isNull() || dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    if (dw == sw && dh == sh) {
        BitBlt(dx, dy, dw, dh, src, sx, sy, rop);
        return;
    }
    const QImage from = (&src == this) ? image_.copy() : QImage();
    const QImage& s = (&src == this) ? from : src.image_;
    // Nearest source pixel, as colour-on-colour stretching does.
    for (int y = std::max(0, -dy); y < dh && dy + y < HeightPx(); ++y) {
        const long long syy = sy + static_cast<long long>(y) * sh / dh;
        if (syy < 0 || syy >= s.height()) continue;
        const auto* srow = reinterpret_cast<const std::uint32_t*>(s.constScanLine(static_cast<int>(syy)));
        auto* drow = reinterpret_cast<std::uint32_t*>(image_.scanLine(dy + y));
        for (int x = std::max(0, -dx); x < dw && dx + x < WidthPx(); ++x) {
            const long long sxx = sx + static_cast<long long>(x) * sw / dw;
            if (sxx < 0 || sxx >= s.width()) continue;
            drow[dx + x] = ApplyRop(rop, srow[sxx], drow[dx + x]) | kOpaque;
        }
    }
    Changed();
}

namespace {

struct EdgeColors {
    int lt;  // top and left
    int rb;  // bottom and right
};

// Colours of one ring of a 3-D edge (system colour numbers); -1 = not drawn.
EdgeColors OuterRing(int edge, bool soft) {
    if (edge & 1) return {soft ? kColorBtnHighlight : kColor3dLight, kColor3dDkShadow};
    if (edge & 2) return {soft ? kColor3dDkShadow : kColorBtnShadow, kColorBtnHighlight};
    return {-1, -1};
}

EdgeColors InnerRing(int edge, bool soft) {
    if (edge & 4) return {soft ? kColor3dLight : kColorBtnHighlight, kColorBtnShadow};
    if (edge & 8) return {soft ? kColorBtnShadow : kColor3dDkShadow, kColor3dLight};
    return {-1, -1};
}

std::uint32_t EdgeColor(int n) {
    // The system colour table has no separate 3-D light; it is the face.
    return GetSysColor(n == kColor3dLight ? kColorBtnFace : n);
}

}  // namespace

void Surface::DrawEdge(int left, int top, int right, int bottom, int edge, int flags) {
    if (image_.isNull()) return;
    const bool soft = (flags & kBfSoft) != 0;
    const int savedMode = drawMode_;
    drawMode_ = kDrawCopyPen;
    const EdgeColors rings[2] = {OuterRing(edge, soft), InnerRing(edge, soft)};
    const Rows rows = Pixels();
    for (int r = 0; r < 2; ++r) {
        const int l = left + r, t = top + r, rt = right - 1 - r, b = bottom - 1 - r;
        if (l > rt || t > b) break;
        if (rings[r].lt >= 0) {
            const std::uint32_t c = ToQRgb(EdgeColor(rings[r].lt));
            if (flags & 1) for (int y = t; y <= b; ++y) PutSpan(rows, y, l, l, c);
            if (flags & 2) PutSpan(rows, t, l, rt, c);
        }
        if (rings[r].rb >= 0) {
            const std::uint32_t c = ToQRgb(EdgeColor(rings[r].rb));
            if (flags & 4) for (int y = t; y <= b; ++y) PutSpan(rows, y, rt, rt, c);
            if (flags & 8) PutSpan(rows, b, l, rt, c);
        }
    }
    drawMode_ = savedMode;
    Changed();
}

void Surface::LoadImage(const QImage& image) {
    image_ = image.convertToFormat(QImage::Format_RGB32);
    Changed();
}

}  // namespace rilumo
