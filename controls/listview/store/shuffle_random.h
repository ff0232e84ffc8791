#pragma once
// The random source of the shuffle: re-seeded from the clock before every draw.

namespace rilumo {

// A uniform value in [0, 1) drawn right after re-seeding from the time of day.
// Successive seeds always differ, even when the clock has not moved between
// two calls, and every seed is mixed before use, so neighbouring seeds give
// unrelated values (a coarse clock or a linear generator would hand the
// shuffle the same value over and over and make it a fixed rotation).
float ReseededUniform();

}  // namespace rilumo
