#include <gtest/gtest.h>

#include <QDate>

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

TEST(FormatDateTime, DateForms) {
    const QDate today = QDate::currentDate();
    EXPECT_EQ(FormatDateTime(0, 0, 1, 1, 0, 0, 0), today.toString("yyyyMMdd"));
    EXPECT_EQ(FormatDateTime(0, 0, 0, 1, 0, 1, 0), today.toString("yy/MM/dd"));
    EXPECT_EQ(FormatDateTime(0, 0, 0, 1, 0, 2, 0), today.toString("/MM/dd"));
    EXPECT_EQ(FormatDateTime(0, 1, 2, 1, 3, 0, 0), today.addDays(1).toString("yyyy-MM-dd"));
    EXPECT_EQ(FormatDateTime(0, 0, 0, 0, 3, 0, 0), today.toString("yyyy/MM/dd") + " 00:00:00");
}

TEST(FormatDateTime, ClockOffsetsRollTheDate) {
    const QDate today = QDate::currentDate();
    EXPECT_EQ(FormatDateTime(0, 0, 0, 1, 0, 0, 86400.0f), today.addDays(1).toString("yyyy/MM/dd"));
    EXPECT_EQ(FormatDateTime(0, 0, 0, 1, 0, 0, -86400.0f), today.addDays(-1).toString("yyyy/MM/dd"));
    // A time of day below minSeconds counts as the previous day's late hours.
    EXPECT_EQ(FormatDateTime(3600, 0, 0, 3, 4, 0, 0), today.addDays(-1).toString("yyyy/MM/dd") + " 24:00:00");
    EXPECT_EQ(FormatDateTime(0, 0, 0, 2, 0, 0, 1e30f), "");
}

TEST(FormatDateTime, NegativeFieldsKeepTheSignBeforeTheZeros) {
    EXPECT_EQ(FormatDateTime(-3725, 0, 0, 2, 3, 0, 0), "-01:-02:-05");
}
