#pragma once
// Twips (logical units, 1/1440 inch) against screen pixels: the program's one
// conversion, QtCore-free so that every layer can use it. Pixels are twips
// integer-divided by the factor (a fractional twips value rounded first, halves
// to even); a pixel is the factor's number of twips.

#include <algorithm>

#include "support/globals.h"
#include "support/rounding.h"

namespace rilumo {

// The standard display's factor (96 dpi).
inline constexpr int kStandardTpp = 15;

// A factor not read yet (or nonsense) counts as the standard one, so that no
// conversion divides by zero and sizes keep their usual scale.
inline constexpr int ValidTpp(int tpp) { return tpp > 0 ? tpp : kStandardTpp; }
inline int Tpp() { return ValidTpp(globals::TwipsPerPixel); }

// Saturates at the int range: a wild coordinate stays a far one, never wraps.
inline int TwipsToPx(double twips, int tpp) {
    const long long px = RoundEven(twips) / ValidTpp(tpp);
    return static_cast<int>(std::clamp<long long>(px, -2147483647LL, 2147483647LL));
}
inline int TwipsToPx(double twips) { return TwipsToPx(twips, Tpp()); }

inline int PxToTwips(int px, int tpp) {
    const long long twips = static_cast<long long>(px) * ValidTpp(tpp);
    return static_cast<int>(std::clamp<long long>(twips, -2147483647LL, 2147483647LL));
}
inline int PxToTwips(int px) { return PxToTwips(px, Tpp()); }

}  // namespace rilumo
