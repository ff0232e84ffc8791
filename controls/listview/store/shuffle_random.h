#pragma once
// The random source of the shuffle: re-seeded from the clock before every draw.

#include <functional>

namespace rilumo {

// Uniform values in [0, 1), one per call; tests hand the store a fixed sequence.
using UniformSource = std::function<float()>;

// A uniform value in [0, 1) drawn right after re-seeding from the time of day.
// Successive seeds always differ, even when the clock has not moved between
// two calls, and every seed is mixed before use, so neighbouring seeds give
// unrelated values (a coarse clock or a linear generator would hand the
// shuffle the same value over and over and make it a fixed rotation).
float ReseededUniform();

}  // namespace rilumo
