#pragma once
// Stored decimal text to integers, the way the program converts its settings
// ("LogError", "WindowLeft", ...): surrounding spaces allowed, fractions
// rounded half to even, anything else (empty, words, out of range) a failure.

#include <QString>

#include <cstdint>

namespace rilumo {

// Throws Failure when the text is not a number or does not fit.
std::int32_t ToInt32(const QString& text);
std::int16_t ToInt16(const QString& text);

// The same conversions, giving fallback instead of failing.
std::int32_t ToInt32Or(const QString& text, std::int32_t fallback);
std::int16_t ToInt16Or(const QString& text, std::int16_t fallback);

}  // namespace rilumo
