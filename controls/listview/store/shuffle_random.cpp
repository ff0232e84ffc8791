#include "controls/listview/store/shuffle_random.h"

#include <chrono>
#include <cstdint>

namespace rilumo {

namespace {

std::uint64_t lastSeed = 0;

std::uint64_t ClockSeed() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    std::uint64_t seed =
        static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
    if (seed <= lastSeed) seed = lastSeed + 1;
    lastSeed = seed;
    return seed;
}

// SplitMix64 finaliser: every input bit reaches every output bit.
std::uint64_t Mix(std::uint64_t z) {
    z += 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

}  // namespace

float ReseededUniform() {
    // 24 bits fill a float's mantissa exactly, so the value stays below 1.
    return static_cast<float>(Mix(ClockSeed()) >> 40) * (1.0f / 16777216.0f);
}

}  // namespace rilumo
