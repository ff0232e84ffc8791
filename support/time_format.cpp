#include "support/time_format.h"

#include <QDate>
#include <QTime>

#include <cmath>

#include "support/error_trap.h"
#include "support/rounding.h"

namespace rilumo {

namespace {

// Zero-filled to at least digits, the sign in front of the zeros.
QString pad(long long n, int digits) {
    if (n < 0) return u'-' + QStringLiteral("%1").arg(-n, digits, 10, QChar(u'0'));
    return QStringLiteral("%1").arg(n, digits, 10, QChar(u'0'));
}

}  // namespace

QString FormatMilliseconds(std::int32_t value, std::int32_t layout, std::int32_t allowNegative) {
    return TrapOr(QString(), [&] {
        QString sign;
        long long x = value;
        if (x < 0) {
            if (allowNegative != 0) {
                sign = QStringLiteral("-");
                x = -x;  // 64-bit: the most negative int32 has a magnitude here
            } else {
                x = 0;
            }
        }
        const long long H = x / 3600000, M = x / 60000, m = M % 60, S = x / 1000, s = S % 60;
        const long long f3 = x % 1000, f2 = (x / 10) % 100, f1 = (x / 100) % 10;
        const QString apo = QStringLiteral("'");
        QString t;
        switch (layout) {
        case 0: t = pad(M, 3) + apo + pad(s, 2) + u'.' + pad(f3, 3); break;
        case 1:
        case 9: t = pad(M, 2) + apo + pad(s, 2) + u'.' + pad(f1, 1); break;
        case 2: t = pad(H, 2) + u':' + pad(m, 2) + u':' + pad(s, 2); break;
        case 3: t = pad(H, 1) + u':' + pad(m, 2) + u':' + pad(s, 2) + u'.' + pad(f1, 1); break;
        case 4: t = pad(M, 2) + u':' + pad(s, 2); break;
        case 5: t = pad(S, 3) + u'.' + pad(f3, 3); break;
        case 6: t = pad(S, 3) + u'.' + pad(f2, 2); break;
        case 7: t = pad(M, 2) + u':' + pad(s, 2) + u'.' + pad(f3, 3); break;
        case 8: t = pad(H, 2) + u':' + pad(m, 2) + u':' + pad(s, 2) + u'.' + pad(f1, 1); break;
        case 10: t = pad(H, 2) + u':' + pad(m, 2) + u':' + pad(s, 2) + u'.' + pad(f3, 3); break;
        case 11:
            t = pad(H, 2) + QStringLiteral("時") + pad(m, 2) + QStringLiteral("分") + pad(s, 2) +
                QStringLiteral("秒");
            break;
        case 12: t = pad(H, 2) + pad(m, 2) + pad(s, 2); break;
        default: return QString();
        }
        return sign + t;
    });
}

QDateTime SystemLocalTime() { return QDateTime::currentDateTime(); }

QString FormatDateTime(std::int32_t minSeconds, std::int32_t dayOffset, std::int32_t separators,
                       std::int32_t parts, std::int32_t timeSource, std::int32_t yearForm,
                       float offsetSeconds) {
    return FormatDateTime(minSeconds, dayOffset, separators, parts, timeSource, yearForm, offsetSeconds,
                          SystemLocalTime);
}

QString FormatDateTime(std::int32_t minSeconds, std::int32_t dayOffset, std::int32_t separators,
                       std::int32_t parts, std::int32_t timeSource, std::int32_t yearForm,
                       float offsetSeconds, const LocalClock& clock) {
    return TrapOr(QString(), [&] {
        QString dateSep, dtSep, timeSep, fracSep;
        if (separators == 0) {
            dateSep = "/"; dtSep = " "; timeSep = ":"; fracSep = ".";
        } else if (separators == 2) {
            dateSep = "-"; dtSep = " "; timeSep = "_"; fracSep = "_";
        }
        if (parts == 0) parts = 3;

        long long hours = 0, minutes = 0, seconds = 0, millis = 0;
        const QDateTime now = clock();
        QDate date = now.date().addDays(dayOffset);
        if (timeSource == 0) {
            // Whole milliseconds throughout: seconds of the day in single
            // precision lose the milliseconds from early morning on.
            const double offset = static_cast<double>(offsetSeconds);
            if (!std::isfinite(offset) || std::fabs(offset) > 1e12) Fail("time offset out of range");
            long long t = now.time().msecsSinceStartOfDay() + static_cast<long long>(RoundEven(offset * 1000.0));
            constexpr long long kDayMs = 86400000;
            if (t >= kDayMs) {
                t -= kDayMs;
                date = date.addDays(1);
            } else if (t < 0) {
                t += kDayMs;
                date = date.addDays(-1);
            }
            const long long w = t >= 0 ? t / 1000 : -((-t + 999) / 1000);
            hours = w / 3600;
            minutes = (w % 3600) / 60;
            seconds = w % 60;
            millis = t - w * 1000;
        } else if (timeSource == 2) {
            hours = 23; minutes = 59; seconds = 59;
        } else if (timeSource == 3) {
            hours = minSeconds / 3600;
            minutes = (minSeconds % 3600) / 60;
            seconds = minSeconds % 60;
        }
        if (hours * 3600 + minutes * 60 + seconds < minSeconds) {
            hours += 24;
            date = date.addDays(-1);
        }

        QString text;
        if (parts & 1) {
            QString year = pad(date.year(), 4);
            if (yearForm == 1) year = year.right(2);
            if (yearForm == 2) year.clear();
            text = year + dateSep + pad(date.month(), 2) + dateSep + pad(date.day(), 2);
        }
        if (parts & 2) {
            if (!text.isEmpty()) text += dtSep;
            text += pad(hours, 2) + timeSep + pad(minutes, 2) + timeSep + pad(seconds, 2);
        }
        if (parts & 4) text += fracSep + pad(millis, 3);
        return text;
    });
}

}  // namespace rilumo
