#pragma once
// Colour arithmetic on packed 0x00BBGGRR colours and the cached tone colours
// derived from the desktop's button colours.

#include <cstdint>

namespace rilumo {

void SplitColor(std::int32_t color, std::int16_t& red, std::int16_t& green, std::int16_t& blue);
// Components are clamped to 0..255.
std::int32_t MakeColor(std::int32_t red, std::int32_t green, std::int32_t blue);
// factor != -1: every component scaled by factor; factor == -1: the offsets
// are added. Clamped and rounded. 0 when it fails.
std::int32_t AdjustColor(std::int32_t color, std::int32_t dr, std::int32_t dg, std::int32_t db,
                         float factor);
// 0 light (white), 1 face, 2 shadow; computed once and cached for the run.
// 0 (and nothing cached) when the base colour is black.
std::int32_t ToneColor(int index);
// Test hook: forget the cached tones.
void ResetToneColorCache();

}  // namespace rilumo
