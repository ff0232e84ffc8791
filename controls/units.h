#pragma once
// Twips (logical units, 1/1440 inch) against screen pixels, and the one
// rounding rule the drawn controls use. Every twips/pixel conversion of the
// controls goes through here so that the factor is read in one place.

#include <cmath>

#include "support/globals.h"

namespace rilumo {

// Nearest integer, halves to the even neighbour.
inline long long RoundEven(double v) {
    if (!std::isfinite(v)) return 0;
    if (v > 9.0e18) return 9000000000000000000LL;
    if (v < -9.0e18) return -9000000000000000000LL;
    return std::llrint(v);  // default rounding mode: to nearest, ties to even
}
inline int RoundEvenInt(double v) {
    long long r = RoundEven(v);
    if (r > 2147483647LL) return 2147483647;
    if (r < -2147483647LL) return -2147483647;
    return static_cast<int>(r);
}

inline int Tpp() { return globals::TwipsPerPixel > 0 ? globals::TwipsPerPixel : 15; }

// Pixels from twips: the twips rounded to an integer, then integer-divided.
inline int TwipsToPx(double twips) { return static_cast<int>(RoundEven(twips) / Tpp()); }
inline int PxToTwips(int px) { return px * Tpp(); }

}  // namespace rilumo
