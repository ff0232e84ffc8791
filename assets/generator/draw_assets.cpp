// Draws the built-in pictures pixel by pixel and writes them as PNG files:
//   icons.png            468 x 36: 26 button icons of 18 x 18, images over masks
//   slider_arrows_h.png   24 x 20: left/right arrows (green, green, grey, grey)
//   slider_arrows_v.png   40 x 12: up/down arrows (green, green, grey, grey)
//   file_types.png       160 x 32: ten 16 x 16 file-type icons, images over masks
//   on_air_off.png, on_air_on.png: 64 x 23 status signs
// Images are on black, masks black where the picture is and white elsewhere,
// so that an AND of the mask followed by an XOR of the image draws them.
//
// usage: asset-generator OUTPUT_FOLDER [PREVIEW_FOLDER]
// (the preview folder receives eight-times enlarged copies to look at)

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <QDir>
#include <QGuiApplication>
#include <QImage>

namespace {

using Rgb = unsigned;  // 0xRRGGBB

Rgb Lerp(Rgb a, Rgb b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    auto ch = [&](int shift) {
        const double x = ((a >> shift) & 0xFF) * (1 - t) + ((b >> shift) & 0xFF) * t;
        return static_cast<Rgb>(std::lround(x)) << shift;
    };
    return ch(16) | ch(8) | ch(0);
}

// A picture being drawn: colours plus which pixels belong to it.
struct Sprite {
    int w, h;
    std::vector<Rgb> color;
    std::vector<bool> on;
    Sprite(int w_, int h_) : w(w_), h(h_), color(w_ * h_, 0), on(w_ * h_, false) {}
    bool In(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h && on[y * w + x]; }
    void Set(int x, int y, Rgb c) {
        if (x < 0 || y < 0 || x >= w || y >= h) return;
        // Pure black would read as "background" to the icon tint.
        if (c == 0) c = 0x0A0A0A;
        color[y * w + x] = c;
        on[y * w + x] = true;
    }
};

using Shape = std::function<bool(double, double)>;

struct Style {
    Rgb top, bottom;  // fill gradient
    Rgb outline;
    Rgb highlight;    // inner pixels right below or right of the outline's top/left part
};

// Fills a shape sampled at pixel centres: dark outline, a lit inner rim at the
// top and left, a vertical gradient inside. Hard edges, no smoothing.
void Paint(Sprite& s, const Shape& shape, const Style& st, bool outline = true) {
    std::vector<bool> in(s.w * s.h);
    int y0 = s.h, y1 = -1;
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x)
            if (shape(x + 0.5, y + 0.5)) {
                in[y * s.w + x] = true;
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
    auto inside = [&](int x, int y) { return x >= 0 && y >= 0 && x < s.w && y < s.h && in[y * s.w + x]; };
    auto edge = [&](int x, int y) {
        return inside(x, y) && (!inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1));
    };
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) {
            if (!inside(x, y)) continue;
            Rgb c = Lerp(st.top, st.bottom, y1 > y0 ? double(y - y0) / (y1 - y0) : 0);
            if (outline && edge(x, y)) c = st.outline;
            else if (outline && edge(x, y - 1) && !inside(x, y - 2) && !edge(x - 1, y) && !edge(x + 1, y)) c = st.highlight;
            s.Set(x, y, c);
        }
}

// A ball lit from the upper left.
void Ball(Sprite& s, double cx, double cy, double r, Rgb light, Rgb mid, Rgb dark, Rgb outline) {
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            const double d = std::sqrt(dx * dx + dy * dy);
            if (d > r) continue;
            Rgb c;
            if (d > r - 1.0) {
                c = outline;
            } else {
                const double hx = dx + r * 0.38, hy = dy + r * 0.38;
                const double t = std::sqrt(hx * hx + hy * hy) / (r * 1.45);
                c = t < 0.5 ? Lerp(light, mid, t * 2) : Lerp(mid, dark, (t - 0.5) * 2);
                if (hx * hx + hy * hy < (r * 0.18) * (r * 0.18) + 0.3) c = 0xFFFFFF;
            }
            s.Set(x, y, c);
        }
}

// Pixel art from rows of text: '.' empty, other characters from the palette.
void Art(Sprite& s, int ox, int oy, const std::vector<std::string>& rows,
         const std::function<Rgb(char, int, int)>& palette) {
    for (int y = 0; y < static_cast<int>(rows.size()); ++y)
        for (int x = 0; x < static_cast<int>(rows[y].size()); ++x)
            if (rows[y][x] != '.' && rows[y][x] != ' ') s.Set(ox + x, oy + y, palette(rows[y][x], x, y));
}

// Shapes.
Shape Rect(double x0, double y0, double x1, double y1) {
    return [=](double x, double y) { return x >= x0 && x < x1 && y >= y0 && y < y1; };
}
Shape Circle(double cx, double cy, double r) {
    return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}
// Triangle pointing right (dir 1) or left (dir -1) with its base at x = base.
Shape Tri(double base, double tip, double cy, double half) {
    return [=](double x, double y) {
        const double len = tip - base;
        const double t = (x - base) / len;  // 0 at the base, 1 at the tip
        if (t < 0 || t > 1) return false;
        return std::abs(y - cy) <= half * (1 - t) + 0.01;
    };
}
Shape Union(Shape a, Shape b) { return [=](double x, double y) { return a(x, y) || b(x, y); }; }

const Style kGrey{0xA8A8A8, 0x6A6A6A, 0x3C3C3C, 0xD0D0D0};
const Style kGreen{0x5CF05C, 0x10A818, 0x066010, 0xB8FFB8};

// --- the 18 x 18 icon library ---------------------------------------------

// Triangles are centred on pixel row 9 with one pixel less per row away from
// the centre, so that their slopes are clean 45-degree steps.
void PlayTri(Sprite& s, const Style& st) { Paint(s, Tri(6, 13, 9.5, 6.5), st); }
void LeftTri(Sprite& s, const Style& st) { Paint(s, Tri(12, 5, 9.5, 6.5), st); }
void DoubleLeft(Sprite& s, const Style& st) { Paint(s, Union(Tri(9, 3, 9.5, 5.5), Tri(15, 9, 9.5, 5.5)), st); }
void DoubleRight(Sprite& s, const Style& st) { Paint(s, Union(Tri(3, 9, 9.5, 5.5), Tri(9, 15, 9.5, 5.5)), st); }
void Previous(Sprite& s, const Style& st) { Paint(s, Union(Rect(4, 4, 7, 15), Tri(14, 8, 9.5, 5.5)), st); }
void Next(Sprite& s, const Style& st) { Paint(s, Union(Tri(4, 10, 9.5, 5.5), Rect(11, 4, 14, 15)), st); }
void StopSquare(Sprite& s, const Style& st) { Paint(s, Rect(4, 4, 15, 15), st); }
void PauseBars(Sprite& s, const Style& st) { Paint(s, Union(Rect(4, 4, 8, 15), Rect(11, 4, 15, 15)), st); }

void CircleSign(Sprite& s, bool plus) {
    Paint(s, Circle(9, 9, 7.5), kGrey);
    const Style mark{0xF4F4F4, 0xDADADA, 0xF0F0F0, 0xFFFFFF};
    Paint(s, Rect(5, 8, 13, 10), mark, false);
    if (plus) Paint(s, Rect(8, 5, 10, 13), mark, false);
}

void LeftRightArrow(Sprite& s) {
    Paint(s, Union(Union(Tri(7, 1, 9.5, 5.5), Tri(11, 17, 9.5, 5.5)), Rect(7, 8, 11, 11)), kGrey);
}

void UpDownArrow(Sprite& s) {
    auto up = [](double x, double y) { double t = (y - 0.5) / 6.0; return t >= 0 && t <= 1 && std::abs(x - 9) <= 5 * t + 0.01; };
    auto down = [](double x, double y) { double t = (17.5 - y) / 6.0; return t >= 0 && t <= 1 && std::abs(x - 9) <= 5 * t + 0.01; };
    Paint(s, Union(Union(up, down), Rect(7, 6, 11, 12)), kGrey);
}

void FramedF(Sprite& s) {
    Paint(s, [](double x, double y) {
        const bool outer = x >= 2 && x < 16 && y >= 2 && y < 16;
        const bool inner = x >= 4 && x < 14 && y >= 4 && y < 14;
        return outer && !inner;
    }, kGrey);
    Art(s, 6, 5, {"..###",
                  ".##..",
                  ".##..",
                  "####.",
                  ".##..",
                  ".##..",
                  ".##..",
                  ".##.."},
        [](char, int, int y) { return Lerp(0x9A9A9A, 0x5A5A5A, y / 7.0); });
}

void BlankPage(Sprite& s) {
    auto page = [](double x, double y) { return x >= 3 && x < 15 && y >= 1 && y < 17 && !(x - 11 > y - 1); };
    Paint(s, page, {0xD8D8D8, 0xB4B4B4, 0x4A4A4A, 0xF2F2F2});
    // The folded corner.
    for (int k = 0; k < 4; ++k) {
        s.Set(11 + k, 1 + k, 0x4A4A4A);
        for (int x = 11; x < 11 + k; ++x) s.Set(x, 1 + k, 0x9C9C9C);
        s.Set(11, 1 + k, 0x4A4A4A);
    }
    for (int x = 11; x <= 14; ++x) s.Set(x, 5, 0x4A4A4A);
}

QImage IconLibrary() {
    constexpr int kCell = 18, kCount = 26;
    QImage out(kCell * kCount, kCell * 2, QImage::Format_RGB32);
    out.fill(0);
    for (int k = 0; k < kCount; ++k) {
        Sprite s(kCell, kCell);
        switch (k) {
        case 0: Ball(s, 9, 9, 7, 0xE8E8E8, 0x9C9C9C, 0x505050, 0x3A3A3A); break;
        case 1: StopSquare(s, kGrey); break;
        case 2: PauseBars(s, kGrey); break;
        case 3: PlayTri(s, kGrey); break;
        case 4: CircleSign(s, false); break;
        case 5: LeftRightArrow(s); break;
        case 6: CircleSign(s, true); break;
        case 7: FramedF(s); break;
        case 8: Ball(s, 9, 9, 7, 0xFFE0A0, 0xFF9820, 0xB05000, 0x703000); break;
        case 9: StopSquare(s, kGreen); break;
        case 10: PauseBars(s, kGreen); break;
        case 11: PlayTri(s, kGreen); break;
        case 12: Ball(s, 9, 9, 4.5, 0xE0E0E0, 0x989898, 0x585858, 0x3A3A3A); break;
        case 13: Ball(s, 9, 9, 4.5, 0xC8FFC8, 0x30D030, 0x107010, 0x065008); break;
        case 14: BlankPage(s); break;
        case 15: DoubleLeft(s, kGrey); break;
        case 16: LeftTri(s, kGrey); break;
        case 17: DoubleRight(s, kGrey); break;
        case 18: DoubleLeft(s, kGreen); break;
        case 19: LeftTri(s, kGreen); break;
        case 20: DoubleRight(s, kGreen); break;
        case 21: Previous(s, kGrey); break;
        case 22: Next(s, kGrey); break;
        case 23: Previous(s, kGreen); break;
        case 24: Next(s, kGreen); break;
        case 25: UpDownArrow(s); break;
        }
        for (int y = 0; y < kCell; ++y)
            for (int x = 0; x < kCell; ++x) {
                const bool on = s.In(x, y);
                out.setPixel(k * kCell + x, y, on ? (0xFF000000u | s.color[y * kCell + x]) : 0xFF000000u);
                out.setPixel(k * kCell + x, kCell + y, on ? 0xFF000000u : 0xFFFFFFFFu);
            }
    }
    return out;
}

// --- slider arrows --------------------------------------------------------

QImage SliderArrows(bool vertical) {
    // Rows of the up arrow; the others are its mirror and transposition.
    const std::vector<std::string> up = {"..........", "....##....", "...####...",
                                         "..######..", ".########.", ".........."};
    const int cw = vertical ? 10 : 6, ch = vertical ? 6 : 10;
    QImage out(cw * 4, ch * 2, QImage::Format_RGB32);
    out.fill(0xFF000000u);
    for (int cell = 0; cell < 4; ++cell) {
        const bool green = cell < 2, second = (cell % 2) == 1;  // down or right
        for (int y = 0; y < ch; ++y)
            for (int x = 0; x < cw; ++x) {
                // Map the cell pixel to the up-arrow pattern.
                int ux, uy;
                if (vertical) { ux = x; uy = second ? ch - 1 - y : y; }
                else { ux = y; uy = second ? cw - 1 - x : x; }
                const bool on = up[uy][ux] == '#';
                const double t = (y - 1) / double(ch - 3);
                const Rgb c = green ? Lerp(0x70FF70, 0x00A000, t) : Lerp(0x585858, 0x2E2E2E, t);
                out.setPixel(cell * cw + x, y, on ? 0xFF000000u | c : 0xFF000000u);
                out.setPixel(cell * cw + x, ch + y, on ? 0xFF000000u : 0xFFFFFFFFu);
            }
    }
    return out;
}

// --- file-type icons ------------------------------------------------------

void Page16(Sprite& s) {
    auto page = [](double x, double y) { return x >= 2 && x < 14 && y >= 0 && y < 16 && !(x - 10 > y); };
    Paint(s, page, {0xFFFFFF, 0xE4E4E4, 0x505050, 0xFFFFFF});
    for (int k = 0; k < 4; ++k) {
        for (int x = 10; x < 10 + k; ++x) s.Set(x, k, 0xB8B8B8);
        s.Set(10, k, 0x505050);
        s.Set(10 + k, k, 0x505050);
    }
    for (int x = 10; x <= 13; ++x) s.Set(x, 4, 0x505050);
}

void Speaker(Sprite& s, Rgb light, Rgb dark, int oy) {
    Art(s, 3, oy, {"....#....",
                   "...##..#.",
                   "####..#.#",
                   "####.#..#",
                   "####.#..#",
                   "####..#.#",
                   "...##..#.",
                   "....#...."},
        [&](char, int x, int y) { return x >= 5 ? dark : Lerp(light, dark, y / 7.0); });
}

void Numeral(Sprite& s, int count, Rgb c) {
    // Roman I, II, III with bars above and below, centred under the speaker.
    const int width = count * 2 - 1 + 2;
    const int x0 = 8 - width / 2;
    for (int x = x0; x < x0 + width; ++x) {
        s.Set(x, 11, c);
        s.Set(x, 14, c);
    }
    for (int i = 0; i < count; ++i) {
        s.Set(x0 + 1 + i * 2, 12, c);
        s.Set(x0 + 1 + i * 2, 13, c);
    }
}

void Projector(Sprite& s, Rgb light, Rgb dark) {
    Art(s, 3, 5, {".##..##...",
                  "#oo##oo#..",
                  "#oo##oo#..",
                  ".##..##...",
                  "#######..#",
                  "##########",
                  "##########",
                  "#######..#"},
        [&](char c, int, int y) { return c == 'o' ? 0xFFFFFFu : Lerp(light, dark, y / 7.0); });
}

void Note(Sprite& s) {
    Art(s, 4, 3, {"....#...",
                  "....##..",
                  "....#.#.",
                  "....#..#",
                  "....#...",
                  "....#...",
                  "....#...",
                  ".####...",
                  "#####...",
                  ".###...."},
        [](char, int, int y) { return Lerp(0x3040C0, 0x101860, y / 9.0); });
}

QImage FileTypeIcons() {
    QImage out(160, 32, QImage::Format_RGB32);
    out.fill(0);
    for (int k = 0; k < 10; ++k) {
        Sprite s(16, 16);
        Page16(s);
        switch (k) {
        case 1: Speaker(s, 0xFFF060, 0xC09000, 4); break;
        case 2: case 3: case 4:
            Speaker(s, 0x60F0FF, 0x0090B0, 2);
            Numeral(s, k - 1, 0x0078A0);
            break;
        case 5: Speaker(s, 0xB0B0B0, 0x585858, 4); break;
        case 6: Projector(s, 0x60E8FF, 0x0088A8); break;
        case 7: Projector(s, 0xB0B0B0, 0x585858); break;
        case 8: Note(s); break;
        case 9: Speaker(s, 0xFF70FF, 0xB000B0, 4); break;
        default: break;
        }
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool on = s.In(x, y);
                out.setPixel(k * 16 + x, y, on ? 0xFF000000u | s.color[y * 16 + x] : 0xFF000000u);
                out.setPixel(k * 16 + x, 16 + y, on ? 0xFF000000u : 0xFFFFFFFFu);
            }
    }
    return out;
}

// --- status signs ---------------------------------------------------------

const std::vector<std::string>& Glyph(char c) {
    static const std::vector<std::string> O = {".######.", "##....##", "##....##", "##....##", "##....##",
                                               "##....##", "##....##", "##....##", "##....##", "##....##",
                                               ".######."};
    static const std::vector<std::string> N = [] {
        std::vector<std::string> g(11, "##....##");
        for (int r = 1; r <= 9; ++r) {
            const int l = 1 + (r - 1) / 2;
            g[r][l] = '#';
            g[r][l + 1] = '#';
        }
        return g;
    }();
    static const std::vector<std::string> A = {"..####..", ".##..##.", "##....##", "##....##", "##....##",
                                               "########", "########", "##....##", "##....##", "##....##",
                                               "##....##"};
    static const std::vector<std::string> I(11, "##");
    static const std::vector<std::string> R = {"#######.", "##....##", "##....##", "##....##", "##....##",
                                               "#######.", "##.##...", "##..##..", "##...##.", "##....##",
                                               "##....##"};
    switch (c) {
    case 'O': return O;
    case 'N': return N;
    case 'A': return A;
    case 'I': return I;
    default: return R;
    }
}

QImage OnAirSign(bool lit) {
    constexpr int W = 64, H = 23;
    QImage out(W, H, QImage::Format_RGB32);
    out.fill(0xFF000000u);
    const Rgb bezel = lit ? 0x701838 : 0x383838;
    const Rgb rimLight = lit ? 0xFFC0D8 : 0x9A9A9A;
    const Rgb rimDark = lit ? 0x9C2850 : 0x4A4A4A;
    const Rgb top = lit ? 0xFF78AA : 0x7A7A7A, bottom = lit ? 0xE0306E : 0x5E5E5E;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const bool corner = (x == 0 || x == W - 1) && (y == 0 || y == H - 1);
            if (corner) continue;  // rounded: the four corner pixels stay black
            Rgb c;
            if (x == 0 || y == 0 || x == W - 1 || y == H - 1) c = bezel;
            else if (x == 1 || y == 1) c = rimLight;
            else if (x == W - 2 || y == H - 2) c = rimDark;
            else c = Lerp(top, bottom, (y - 2) / double(H - 5));
            out.setPixel(x, y, 0xFF000000u | c);
        }
    // Letters with a one-pixel halo (lit) or a cut-in shadow (unlit).
    const std::string text = "ON AIR";
    std::vector<std::vector<bool>> ink(H, std::vector<bool>(W, false));
    int x = 9;
    const int y0 = 6;
    for (char c : text) {
        if (c == ' ') { x += 5; continue; }
        const auto& g = Glyph(c);
        for (int gy = 0; gy < static_cast<int>(g.size()); ++gy)
            for (int gx = 0; gx < static_cast<int>(g[gy].size()); ++gx)
                if (g[gy][gx] == '#') ink[y0 + gy][x + gx] = true;
        x += static_cast<int>(g[0].size()) + 2;
    }
    for (int y = 2; y < H - 2; ++y)
        for (int xx = 2; xx < W - 2; ++xx) {
            if (ink[y][xx]) {
                const Rgb c = lit ? Lerp(0xFFFFFF, 0xFFE4F0, (y - y0) / 10.0) : Lerp(0x909090, 0x828282, (y - y0) / 10.0);
                out.setPixel(xx, y, 0xFF000000u | c);
                continue;
            }
            bool near = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) near = near || ink[y + dy][xx + dx];
            if (lit && near) out.setPixel(xx, y, 0xFF000000u | 0xFFA8CC);
            if (!lit && ink[y - 1][xx - 1]) out.setPixel(xx, y, 0xFF000000u | 0x4C4C4C);
        }
    return out;
}

bool Save(const QImage& img, const QString& dir, const char* name) {
    const QString path = QDir(dir).filePath(QString::fromLatin1(name));
    if (!img.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(path), img.width(), img.height());
    return true;
}

// A large nearest-neighbour copy for looking at the pixels, with each
// picture of a strip composed onto a light face colour through its mask.
void SavePreview(const QImage& strip, bool masked, const QString& dir, const char* name) {
    QImage view = strip;
    if (masked) {
        const int h = strip.height() / 2;
        view = QImage(strip.width(), h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < strip.width(); ++x) {
                const bool on = (strip.pixel(x, h + y) & 0xFFFFFF) == 0;
                view.setPixel(x, y, on ? strip.pixel(x, y) : 0xFFD8D8D8u);
            }
    }
    Save(view.scaled(view.width() * 8, view.height() * 8, Qt::IgnoreAspectRatio, Qt::FastTransformation),
         dir, name);
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: asset-generator OUTPUT_FOLDER [PREVIEW_FOLDER]\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir);
    bool ok = Save(IconLibrary(), dir, "icons.png");
    ok = Save(SliderArrows(false), dir, "slider_arrows_h.png") && ok;
    ok = Save(SliderArrows(true), dir, "slider_arrows_v.png") && ok;
    ok = Save(FileTypeIcons(), dir, "file_types.png") && ok;
    ok = Save(OnAirSign(false), dir, "on_air_off.png") && ok;
    ok = Save(OnAirSign(true), dir, "on_air_on.png") && ok;
    if (argc == 3) {
        const QString pv = QString::fromLocal8Bit(argv[2]);
        QDir().mkpath(pv);
        const QImage icons = IconLibrary();
        QImage two(18 * 13, 72, QImage::Format_RGB32);
        for (int half = 0; half < 2; ++half)
            for (int y = 0; y < 36; ++y)
                for (int x = 0; x < 18 * 13; ++x) {
                    // Cells 0..12 in the first row, 13..25 in the second.
                    const int dy = y < 18 ? half * 18 + y : 36 + half * 18 + (y - 18);
                    two.setPixel(x, dy, icons.pixel(half * 18 * 13 + x, y));
                }
        SavePreview(two, true, pv, "icons_x8.png");
        SavePreview(SliderArrows(false), true, pv, "slider_arrows_h_x8.png");
        SavePreview(SliderArrows(true), true, pv, "slider_arrows_v_x8.png");
        SavePreview(FileTypeIcons(), true, pv, "file_types_x8.png");
        SavePreview(OnAirSign(false), false, pv, "on_air_off_x8.png");
        SavePreview(OnAirSign(true), false, pv, "on_air_on_x8.png");
    }
    return ok ? 0 : 1;
}
