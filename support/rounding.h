#pragma once
// The program's one rounding rule: to the nearest integer, halves to the even
// neighbour. Drawing saturates; arithmetic on stored or measured values fails
// instead, because a clamped duration or size would be a wrong answer.

#include <cmath>
#include <cstdint>
#include <limits>

#include "support/error_trap.h"

namespace rilumo {

// Saturating; a value that is not finite gives 0.
inline long long RoundEven(double v) {
    if (!std::isfinite(v)) return 0;
    if (v > 9.0e18) return 9000000000000000000LL;
    if (v < -9.0e18) return -9000000000000000000LL;
    return std::llrint(v);  // the default rounding mode: ties to even
}

// Saturating at the int range (less one at the bottom, so that negation stays in range).
inline int RoundEvenInt(double v) {
    const long long r = RoundEven(v);
    if (r > 2147483647LL) return 2147483647;
    if (r < -2147483647LL) return -2147483647;
    return static_cast<int>(r);
}

// Throws Failure when the result does not fit.
inline std::int32_t RoundToInt32(double v) {
    const double r = std::nearbyint(v);
    if (!(r >= std::numeric_limits<std::int32_t>::min() && r <= std::numeric_limits<std::int32_t>::max()))
        Fail("overflow");
    return static_cast<std::int32_t>(r);
}

}  // namespace rilumo
