#pragma once
// Twips (logical units, 1/1440 inch) against screen pixels. Every twips/pixel
// conversion of the controls goes through here so that the factor is read in
// one place.

#include "support/globals.h"
#include "support/rounding.h"

namespace rilumo {

inline int Tpp() { return globals::TwipsPerPixel > 0 ? globals::TwipsPerPixel : 15; }

// Pixels from twips: the twips rounded to an integer, then integer-divided.
inline int TwipsToPx(double twips) { return static_cast<int>(RoundEven(twips) / Tpp()); }
inline int PxToTwips(int px) { return px * Tpp(); }

}  // namespace rilumo
