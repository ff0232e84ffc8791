#include "support/convert.h"

#include <cmath>
#include <limits>
#include <optional>

#include "support/error_trap.h"
#include "support/rounding.h"

namespace rilumo {

namespace {

template <class Int>
std::optional<Int> parse(const QString& text) {
    bool ok = false;
    const double d = text.trimmed().toDouble(&ok);
    // toDouble also reads "inf" and "nan", which are no stored numbers.
    if (!ok || !std::isfinite(d)) return std::nullopt;
    const long long r = RoundEven(d);
    if (r < std::numeric_limits<Int>::min() || r > std::numeric_limits<Int>::max())
        return std::nullopt;
    return static_cast<Int>(r);
}

}  // namespace

std::int32_t ToInt32(const QString& text) {
    if (auto v = parse<std::int32_t>(text)) return *v;
    Fail("not a 32-bit number: " + text.left(64).toStdString());
}

std::int16_t ToInt16(const QString& text) {
    if (auto v = parse<std::int16_t>(text)) return *v;
    Fail("not a 16-bit number: " + text.left(64).toStdString());
}

std::int32_t ToInt32Or(const QString& text, std::int32_t fallback) {
    return parse<std::int32_t>(text).value_or(fallback);
}

std::int16_t ToInt16Or(const QString& text, std::int16_t fallback) {
    return parse<std::int16_t>(text).value_or(fallback);
}

}  // namespace rilumo
