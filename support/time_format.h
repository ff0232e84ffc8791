#pragma once

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <functional>

namespace rilumo {

// Milliseconds as display text in one of thirteen layouts (0..12); any other
// layout gives empty text. Negative values show a sign only with allowNegative.
QString FormatMilliseconds(std::int32_t value, std::int32_t layout, std::int32_t allowNegative);

// Date and time stamps from the clock; see the log for the common forms
// (0,0,0,0,0,0,0) "2024/01/05 09:07:03" and (0,0,1,1,0,0,0) "20240105".
QString FormatDateTime(std::int32_t minSeconds, std::int32_t dayOffset, std::int32_t separators,
                       std::int32_t parts, std::int32_t timeSource, std::int32_t yearForm,
                       float offsetSeconds);

// Where the stamps take "now" from: the local date and time read at once, so
// that a stamp made at midnight never pairs one day's date with the next
// day's time. Tests pass a fixed moment.
using LocalClock = std::function<QDateTime()>;
QDateTime SystemLocalTime();
QString FormatDateTime(std::int32_t minSeconds, std::int32_t dayOffset, std::int32_t separators,
                       std::int32_t parts, std::int32_t timeSource, std::int32_t yearForm,
                       float offsetSeconds, const LocalClock& clock);

}  // namespace rilumo
