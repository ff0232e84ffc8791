#include "controls/colors.h"

#include <algorithm>

#include "support/error_trap.h"
#include "support/ui/syscolors.h"
#include "support/units.h"

namespace rilumo {

namespace {
std::int32_t g_tones[3] = {0, 0, 0};

int Clamp255(long long v) { return static_cast<int>(std::clamp<long long>(v, 0, 255)); }
}  // namespace

void SplitColor(std::int32_t color, std::int16_t& red, std::int16_t& green, std::int16_t& blue) {
    // Truncating division and remainder, as the packed form is defined.
    red = static_cast<std::int16_t>(color % 256);
    green = static_cast<std::int16_t>((color / 256) % 256);
    blue = static_cast<std::int16_t>(color / 65536);
}

std::int32_t MakeColor(std::int32_t red, std::int32_t green, std::int32_t blue) {
    return Clamp255(blue) * 65536 + Clamp255(green) * 256 + Clamp255(red);
}

std::int32_t AdjustColor(std::int32_t color, std::int32_t dr, std::int32_t dg, std::int32_t db,
                         float factor) {
    return TrapOr<std::int32_t>(0, [&] {
        std::int16_t r, g, b;
        SplitColor(color, r, g, b);
        double c[3] = {double(r), double(g), double(b)};
        if (factor != -1.0f) {
            // Four decimal places take the single-precision noise out of the
            // product before it is rounded to an integer.
            for (double& v : c) v = static_cast<double>(RoundEven(v * double(factor) * 10000.0)) / 10000.0;
        } else {
            c[0] += dr;
            c[1] += dg;
            c[2] += db;
        }
        for (double& v : c) v = std::clamp(v, 0.0, 255.0);
        return MakeColor(RoundEvenInt(c[0]), RoundEvenInt(c[1]), RoundEvenInt(c[2]));
    });
}

std::int32_t ToneColor(int index) {
    if (index < 0 || index > 2) return 0;
    if (g_tones[index] != 0) return g_tones[index];
    return TrapOr<std::int32_t>(0, [&] {
        std::int32_t base = 0xFFFFFF;
        double target = 255;
        if (index == 1) {
            base = static_cast<std::int32_t>(GetSysColor(15) & 0xFFFFFF);
            target = 210;
        } else if (index == 2) {
            base = static_cast<std::int32_t>(GetSysColor(16) & 0xFFFFFF);
            target = 120;
        }
        std::int16_t r, g, b;
        SplitColor(base, r, g, b);
        const long long mean = RoundEven((r + g + b) / 3.0);
        if (mean == 0) Fail("tone of a black base colour");
        const double k = target / static_cast<double>(mean);
        std::int32_t tone = MakeColor(RoundEvenInt(k * r), RoundEvenInt(k * g), RoundEvenInt(k * b));
        if (tone == 0) tone = 1;
        g_tones[index] = tone;
        return tone;
    });
}

void ResetToneColorCache() { std::fill(std::begin(g_tones), std::end(g_tones), 0); }

}  // namespace rilumo
