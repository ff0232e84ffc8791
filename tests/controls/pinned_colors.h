#pragma once
// A fixed desktop colour scheme, so that pixel checks do not depend on the
// platform palette of the machine running the tests.

#include <gtest/gtest.h>

#include "controls/colors.h"
#include "support/ui/syscolors.h"

namespace rilumo::test {

inline constexpr std::uint32_t kFace = 0xC0C0C0;
inline constexpr std::uint32_t kShadow = 0x808080;
inline constexpr std::uint32_t kHighlight = 0xFFF0F0;  // told apart from the white tone
inline constexpr std::uint32_t kDkShadow = 0x000000;

inline void PinClassicColors() {
    PinSystemColor(5, 0xFFFFFF);
    PinSystemColor(8, 0x000000);
    PinSystemColor(15, kFace);
    PinSystemColor(16, kShadow);
    PinSystemColor(20, kHighlight);
    PinSystemColor(21, kDkShadow);
    ResetToneColorCache();
}

class PinnedColors : public ::testing::Test {
protected:
    void SetUp() override { PinClassicColors(); }
};

}  // namespace rilumo::test
