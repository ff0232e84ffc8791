#pragma once
// Sizes and colours the parts of the playlist view share (twips unless noted).

#include <cstdint>

#include "controls/surface.h"
#include "support/ui/syscolors.h"
#include "support/units.h"

namespace rilumo::listview {

inline constexpr std::int32_t kBarSize = 270;  // 18 px at 15 twips per pixel
inline constexpr std::uint32_t kBtnFace = kSysColorFlag + kColorBtnFace;
inline constexpr std::uint32_t kBtnShadow = kSysColorFlag + kColorBtnShadow;
inline constexpr std::uint32_t kWindow = kSysColorFlag + kColorWindow;
inline constexpr std::uint32_t kWindowText = kSysColorFlag + kColorWindowText;

// PointerShape over a column edge.
inline constexpr int kResizePointer = 9;

}  // namespace rilumo::listview
