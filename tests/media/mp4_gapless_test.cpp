#include <gtest/gtest.h>

#include "media/mp4_gapless.h"
#include "tests/common/media_fixtures.h"
#include "tests/common/test_env.h"

namespace rilumo {
namespace {

TEST(Mp4Gapless, TheTagGivesTheSamplesToSkipAndKeepAndAnythingOddGivesNone) {
    const GaplessTrim t = ParseItunSmpb(" 00000000 00000840 000001CA 00000000003F31F6 00000000 00000000");
    EXPECT_EQ(t.Skip, 0x840);
    EXPECT_EQ(t.Keep, 0x3F31F6);
    for (const char* odd : {"", " 00000000 00000840", " 00000000 zz 0 100", " 0 0 0 0", " 0 FFFFFFFF 0 100"}) {
        EXPECT_FALSE(ParseItunSmpb(odd).Valid()) << odd;
    }
    // Files: no movie header at all, and a box claiming more than the file holds.
    test::TempDir dir;
    ASSERT_TRUE(test::WriteFile(dir.File("text.m4a"), "not an mp4 file at all"));
    ASSERT_TRUE(test::WriteFile(dir.File("cut.m4a"), QByteArray("\0\0\x10\0moov", 8) + QByteArray(64, '\0')));
    EXPECT_FALSE(ReadMp4GaplessTrim(dir.File("text.m4a")).Valid());
    EXPECT_FALSE(ReadMp4GaplessTrim(dir.File("cut.m4a")).Valid());
    EXPECT_FALSE(ReadMp4GaplessTrim(dir.File("missing.m4a")).Valid());
}

}  // namespace
}  // namespace rilumo
