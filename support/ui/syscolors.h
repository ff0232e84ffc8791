#pragma once
// The desktop's system colours, resolved once from the application palette.
// Colours are 0x00BBGGRR (red in the low byte); 0x80000000 + n names system
// colour n (5 window, 8 window text, 15 button face, 16 button shadow,
// 20 button highlight, 21 dark shadow).

#include <cstdint>

namespace rilumo {

inline constexpr std::uint32_t kSysColorFlag = 0x80000000u;

// Reads the table from the current QApplication palette (called at start-up).
void ResolveSystemColors();
// Fixes system colour n for tests; values are 0x00BBGGRR.
void PinSystemColor(int n, std::uint32_t bgr);
// Releases every pinned colour (the next lookup reads the palette again).
void UnpinSystemColors();
// The colour of system colour n, 0x00BBGGRR.
std::uint32_t GetSysColor(int n);
// A colour value with system-colour references resolved to 0x00BBGGRR.
std::uint32_t ResolveColor(std::uint32_t color);

}  // namespace rilumo
