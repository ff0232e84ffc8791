#include <gtest/gtest.h>

#include <QDateTime>

#include "support/time_format.h"

using namespace rilumo;

TEST(FormatMilliseconds, AllThirteenLayouts) {
    const char* expected[] = {"001'23.456", "01'23.4",    "00:01:23", "0:01:23.4",   "01:23",
                              "083.456",    "083.45",     "01:23.456", "00:01:23.4", "01'23.4",
                              "00:01:23.456", "00時01分23秒", "000123"};
    for (int layout = 0; layout <= 12; ++layout)
        EXPECT_EQ(FormatMilliseconds(83456, layout, 0), QString::fromUtf8(expected[layout])) << layout;
}

TEST(FormatMilliseconds, Edges) {
    EXPECT_EQ(FormatMilliseconds(-5000, 1, 0), "00'00.0");
    EXPECT_EQ(FormatMilliseconds(-5000, 1, 1), "-00'05.0");
    EXPECT_EQ(FormatMilliseconds(3600000, 4, 0), "60:00");
    EXPECT_EQ(FormatMilliseconds(3600000, 2, 0), "01:00:00");
    EXPECT_EQ(FormatMilliseconds(999, 1, 0), "00'00.9");
    EXPECT_EQ(FormatMilliseconds(75 * 60000, 1, 0), "75'00.0");
    EXPECT_EQ(FormatMilliseconds(1000 * 3600 * 123, 3, 0), "123:00:00.0");
    EXPECT_EQ(FormatMilliseconds(83456, 13, 0), "");
    EXPECT_EQ(FormatMilliseconds(83456, -1, 0), "");
    EXPECT_TRUE(FormatMilliseconds(INT32_MIN, 2, 1).startsWith("-596:31:23"));
}

TEST(FormatDateTime, FixedTimeSources) {
    EXPECT_EQ(FormatDateTime(0, 0, 1, 2, 3, 0, 0), "000000");
    EXPECT_EQ(FormatDateTime(3725, 0, 0, 2, 3, 0, 0), "01:02:05");
    EXPECT_EQ(FormatDateTime(0, 0, 0, 6, 2, 0, 0), "23:59:59.000");
    EXPECT_EQ(FormatDateTime(0, 0, 2, 6, 9, 0, 0), "00_00_00_000");
    EXPECT_EQ(FormatDateTime(0, 0, 0, 4, 3, 0, 0), ".000");
}

LocalClock At(const char* when) {
    const QDateTime t = QDateTime::fromString(QString::fromLatin1(when), Qt::ISODateWithMs);
    return [t] { return t; };
}

TEST(FormatDateTime, FromAFixedClock) {
    struct Row {
        const char* now;
        std::int32_t minSeconds, dayOffset, separators, parts, timeSource, yearForm;
        float offset;
        const char* expected;
    };
    const Row rows[] = {
        // date forms
        {"2024-01-05T09:07:03.000", 0, 0, 0, 0, 0, 0, 0, "2024/01/05 09:07:03"},
        {"2024-01-05T09:07:03.000", 0, 0, 1, 1, 0, 0, 0, "20240105"},
        {"2024-01-05T09:07:03.000", 0, 0, 0, 1, 0, 1, 0, "24/01/05"},
        {"2024-01-05T09:07:03.000", 0, 0, 0, 1, 0, 2, 0, "/01/05"},
        {"2024-02-28T12:00:00.000", 0, 1, 2, 1, 3, 0, 0, "2024-02-29"},
        // offsets across midnight roll the day, the month and the year
        {"2024-01-31T23:59:59.000", 0, 0, 0, 7, 0, 0, 1.5f, "2024/02/01 00:00:00.500"},
        {"2024-03-01T00:00:00.250", 0, 0, 0, 7, 0, 0, -0.5f, "2024/02/29 23:59:59.750"},
        {"2023-12-31T23:59:59.000", 0, 0, 0, 3, 0, 0, 1.0f, "2024/01/01 00:00:00"},
        // a time of day below minSeconds counts as the previous day's late hours
        {"2024-03-01T00:30:00.000", 3600, 0, 0, 3, 0, 0, 0, "2024/02/29 24:30:00"},
        {"2024-03-01T00:30:00.000", 3600, 0, 0, 3, 4, 0, 0, "2024/02/29 24:00:00"},
        // milliseconds: ties go to the even neighbour; a full second carries
        {"2024-01-05T09:07:03.000", 0, 0, 0, 6, 0, 0, 0.0625f, "09:07:03.062"},
        {"2024-01-05T09:07:03.000", 0, 0, 0, 6, 0, 0, 0.1875f, "09:07:03.188"},
        {"2024-01-05T00:00:01.000", 0, 0, 0, 6, 0, 0, 0.9996f, "00:00:02.000"},
        // exact late in the day, where seconds in single precision are not
        {"2024-01-05T23:59:59.500", 0, 0, 0, 6, 0, 0, 0, "23:59:59.500"},
        {"2024-01-05T17:43:21.007", 0, 0, 0, 6, 0, 0, 0, "17:43:21.007"},
        {"2024-01-05T09:07:03.000", 0, 0, 0, 2, 0, 0, 1e30f, ""},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(FormatDateTime(r.minSeconds, r.dayOffset, r.separators, r.parts, r.timeSource, r.yearForm,
                                 r.offset, At(r.now)),
                  QString::fromUtf8(r.expected))
            << r.now << " parts " << r.parts << " offset " << r.offset;
    }
}

TEST(FormatDateTime, NegativeFieldsKeepTheSignBeforeTheZeros) {
    EXPECT_EQ(FormatDateTime(-3725, 0, 0, 2, 3, 0, 0), "-01:-02:-05");
}
