#include <gtest/gtest.h>

#include "support/convert.h"
#include "support/error_trap.h"

using namespace rilumo;

TEST(Convert, ReadsDecimalTextRoundingHalvesToEven) {
    EXPECT_EQ(ToInt32(" 42 "), 42);
    EXPECT_EQ(ToInt32("-7"), -7);
    EXPECT_EQ(ToInt32("2.5"), 2);
    EXPECT_EQ(ToInt32("3.5"), 4);
    EXPECT_EQ(ToInt32("-2.5"), -2);
    EXPECT_EQ(ToInt32("2147483647"), 2147483647);
    EXPECT_EQ(ToInt16("32767"), 32767);
}

TEST(Convert, NonNumbersAndOverflowFail) {
    for (const char* bad : {"", "   ", "abc", "12abc", "inf", "nan", "2147483648", "1e10"})
        EXPECT_THROW(ToInt32(bad), Failure) << bad;
    EXPECT_THROW(ToInt16("32768"), Failure);
    EXPECT_EQ(ToInt32Or("abc", 0), 0);
    EXPECT_EQ(ToInt32Or("1", 0), 1);
    EXPECT_EQ(ToInt16Or("99999", -1), -1);
}
