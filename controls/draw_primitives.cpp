#include "controls/draw_primitives.h"

#include <algorithm>

#include "controls/colors.h"
#include "controls/surface.h"
#include "support/error_trap.h"
#include "support/units.h"

namespace rilumo {

namespace {

// Nine ramp colours e0..e8 as red, green and blue rows.
struct Ramp {
    int c[3][9];
    std::int32_t Color(int e) const { return MakeColor(c[0][e], c[1][e], c[2][e]); }
};

Ramp MakeRamp(std::int32_t light, std::int32_t face, std::int32_t shadow) {
    Ramp r{};
    std::int16_t comp[3][3];
    SplitColor(light, comp[0][0], comp[0][1], comp[0][2]);
    SplitColor(face, comp[1][0], comp[1][1], comp[1][2]);
    SplitColor(shadow, comp[2][0], comp[2][1], comp[2][2]);
    for (int k = 0; k < 3; ++k) {
        const double e0 = comp[0][k], e3 = comp[1][k], e6 = comp[2][k];
        int* e = r.c[k];
        e[0] = static_cast<int>(e0);
        e[3] = static_cast<int>(e3);
        e[6] = static_cast<int>(e6);
        // 0.33 and 0.66 on purpose: the ramp does not reach the ends exactly.
        e[1] = RoundEvenInt(0.33 * e3 + 0.66 * e0);
        e[2] = RoundEvenInt(0.66 * e3 + 0.33 * e0);
        e[4] = RoundEvenInt(0.33 * e6 + 0.66 * e3);
        e[5] = RoundEvenInt(0.66 * e6 + 0.33 * e3);
        e[7] = RoundEvenInt(0.66 * e6);
        e[8] = RoundEvenInt(0.33 * e6);
    }
    return r;
}

// Blend of ramp colours a and b: (1 - f)·a + f·b per component, rounded.
std::int32_t Mix(const Ramp& r, int a, int b, double f) {
    int out[3];
    for (int k = 0; k < 3; ++k) out[k] = RoundEvenInt((1.0 - f) * r.c[k][a] + f * r.c[k][b]);
    return MakeColor(out[0], out[1], out[2]);
}

void Bevel(Surface& s, const Ramp& r, int W, int H) {
    s.LinePx(0, 0, W, 0, r.Color(0));
    s.FillPx(1, 1, W - 1, 1, r.Color(1));
    s.FillPx(2, 2, W - 2, 2, r.Color(1));
    s.FillPx(0, 0, 0, H, r.Color(0));
    s.LinePx(1, 1, 1, H - 1, r.Color(1));
    s.LinePx(2, 2, 2, H - 2, r.Color(2));
    s.FillPx(W - 1, 0, W, H, r.Color(6));
    s.LinePx(W - 2, 1, W - 2, H - 1, r.Color(5));
    s.LinePx(W - 3, 2, W - 3, H - 2, r.Color(4));
    s.FillPx(0, H - 1, W, H, r.Color(6));
    s.LinePx(1, H - 2, W - 1, H - 2, r.Color(5));
    s.LinePx(1, H - 3, W - 2, H - 3, r.Color(4));
}

void Diagonal(Surface& s, const Ramp& r, double sw, double sh) {
    const int n = TwipsToPx(sw + sh + 20);
    if (n <= 0) return;
    float step[3];
    for (int k = 0; k < 3; ++k) step[k] = static_cast<float>(r.c[k][3] - r.c[k][0]) / static_cast<float>(n);
    for (long long i = 0; i <= n; ++i) {
        int c[3];
        for (int k = 0; k < 3; ++k)
            c[k] = RoundEvenInt(static_cast<float>(r.c[k][0]) + step[k] * static_cast<float>(i));
        const int ii = static_cast<int>(i);
        s.LinePx(0, ii, ii, 0, MakeColor(c[0], c[1], c[2]));
    }
}

void CentreRows(Surface& s, const Ramp& r, double sh, int W) {
    const int n = std::max(1, TwipsToPx(sh) / 2);
    for (int i = 0; i <= n; ++i) {
        const double f = 1.0 - static_cast<double>(i) / n;
        s.LinePx(0, n - i, W + 20, n - i, Mix(r, 0, 3, f));
        s.LinePx(0, n + i, W + 20, n + i, Mix(r, 5, 3, f));
    }
}

void CentreColumns(Surface& s, const Ramp& r, double sw, int H) {
    const int n = std::max(1, TwipsToPx(sw) / 2);
    for (int i = 0; i <= n; ++i) {
        const double f = 1.0 - static_cast<double>(i) / n;
        s.LinePx(i, 0, i, H + 20, Mix(r, 0, 3, f));
        s.LinePx(n + i, 0, n + i, H + 20, Mix(r, 5, 3, f));
    }
}

void Frame(Surface& s, const Ramp& r, int W, int H) {
    s.LinePx(0, 0, 0, H - 1, r.Color(0));
    s.LinePx(0, 0, W - 1, 0, r.Color(0));
    s.LinePx(W - 1, 0, W - 1, H, r.Color(8));
    s.LinePx(0, H - 1, W - 1, H - 1, r.Color(8));
}

}  // namespace

void PaintSurface(Surface& s, int mode, std::int32_t light, std::int32_t face, std::int32_t shadow,
                  std::int32_t, std::int32_t, std::int32_t) {
    Trap([&] {
        const double sw = s.ScaleWidth(), sh = s.ScaleHeight();
        const int W = TwipsToPx(sw);
        const int H = TwipsToPx(sh);
        if (light == -1) light = ToneColor(0);
        if (face == -1) face = ToneColor(1);
        if (shadow == -1) shadow = ToneColor(2);
        const Ramp r = MakeRamp(light, face, shadow);
        switch (mode) {
        case -2: s.SetBackColor(static_cast<std::uint32_t>(r.Color(3))); break;
        case -1: Frame(s, r, W, H); break;
        case 1: Bevel(s, r, W, H); break;
        case 2: Diagonal(s, r, sw, sh); break;
        case 5: CentreRows(s, r, sh, W); break;
        case 6: CentreColumns(s, r, sw, H); break;
        case 7: CentreRows(s, r, sh, W); Frame(s, r, W, H); break;
        case 8: CentreColumns(s, r, sw, H); Frame(s, r, W, H); break;
        default: break;  // the other mode numbers are not used
        }
    });
}

void PaintFramedGradient(Surface& s, std::int32_t a, std::int32_t b, std::int32_t& skip,
                         std::int32_t& rings) {
    Trap([&] {
        if (skip == 0) PaintSurface(s, 2, a, b, -1);
        const std::uint32_t dark = static_cast<std::uint32_t>(AdjustColor(a, -40, -40, -40, -1));
        const std::uint32_t light = static_cast<std::uint32_t>(AdjustColor(b, 40, 40, 40, -1));
        const int W = s.WidthPx(), H = s.HeightPx();
        const int n = std::clamp(rings, 0, std::max(W, H));
        for (int d = 0; d < n; ++d) {
            s.FillPx(d, d, W - d, d, light);
            s.FillPx(d, d, d, H - d, light);
            s.FillPx(d, H - d, W - d - 1, H - d - 1, dark);
            s.FillPx(W - d, d, W - d - 1, H - d - 1, dark);
        }
    });
}

void ApplyColorScheme(Surface& s, int scheme, std::int32_t a, std::int32_t b) {
    std::uint32_t back = 0, fore = 0;
    switch (scheme) {
    case -1: back = static_cast<std::uint32_t>(b); fore = static_cast<std::uint32_t>(a); break;
    case 0: back = 0x000000; fore = 0x8000000F; break;
    case 1:
        // This one sets the text colour first.
        s.SetForeColor(0x407060);
        s.SetBackColor(0xD5FFF1);
        return;
    case 2: back = 0xA6CAC5; fore = 0x406057; break;
    case 3: back = 0x0000FF; fore = 0xFFFFFF; break;
    case 4: back = 0xB0B0D0; fore = 0x101060; break;
    case 5: back = 0x707090; fore = 0x202060; break;
    case 6: back = 0x303030; fore = 0xD0D0D0; break;
    default: return;
    }
    s.SetBackColor(back);
    s.SetForeColor(fore);
}

void DrawEdgeRect(Surface& s, double x, double y, double w, double h, int sunken) {
    Trap([&] {
        s.DrawEdge(TwipsToPx(x), TwipsToPx(y), TwipsToPx(x + w), TwipsToPx(y + h),
                   sunken != 0 ? kEdgeSunken : kEdgeRaised, kBfRect | kBfSoft);
    });
}

QString FitText(const QString& text, const TextMeasure& measure, double width, int keepEnd) {
    return TrapOr<QString>(text, [&] {
        if (text.size() < 2 || measure.TextWidth(text) <= width) return text;
        auto part = [&](qsizetype b) { return keepEnd ? text.right(b) : text.left(b); };
        // The smallest b whose part is too wide; the part widths grow with b,
        // so a binary search finds the same b as counting up from 2.
        qsizetype lo = 2, hi = text.size();
        while (lo < hi) {
            const qsizetype mid = lo + (hi - lo) / 2;
            if (measure.TextWidth(part(mid)) > width) hi = mid;
            else lo = mid + 1;
        }
        return part(lo - 1);
    });
}

QString FitText(const QString& text, const Surface& s, double width, int keepEnd) {
    struct SurfaceMeasure final : TextMeasure {
        explicit SurfaceMeasure(const Surface& surface) : s(surface) {}
        double TextWidth(const QString& t) const override { return s.TextWidth(t); }
        const Surface& s;
    };
    return FitText(text, SurfaceMeasure(s), width, keepEnd);
}

}  // namespace rilumo
