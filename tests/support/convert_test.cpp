#include <gtest/gtest.h>

#include <limits>

#include "support/convert.h"
#include "support/error_trap.h"
#include "support/globals.h"
#include "support/units.h"

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

TEST(Units, TwipsRoundHalvesToEvenThenDivideByTheFactor) {
    const int saved = globals::TwipsPerPixel;
    globals::TwipsPerPixel = 15;
    EXPECT_EQ(TwipsToPx(29), 1);
    EXPECT_EQ(TwipsToPx(29.5), 2);   // rounded to 30 before dividing
    EXPECT_EQ(TwipsToPx(44.5), 2);   // 44: halves go to the even neighbour
    EXPECT_EQ(TwipsToPx(-29), -1);   // towards zero, as integer division is
    EXPECT_EQ(PxToTwips(18), 270);
    EXPECT_EQ(TwipsToPx(3e18), 2147483647);  // saturates instead of wrapping
    EXPECT_EQ(TwipsToPx(1e300), 2147483647);
    EXPECT_EQ(TwipsToPx(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(PxToTwips(2147483647), 2147483647);
    EXPECT_EQ(TwipsToPx(1600, 16), 100);
    globals::TwipsPerPixel = 0;  // not read yet: the standard factor
    EXPECT_EQ(Tpp(), 15);
    EXPECT_EQ(TwipsToPx(300), 20);
    EXPECT_EQ(PxToTwips(2, -3), 30);
    globals::TwipsPerPixel = saved;
}
