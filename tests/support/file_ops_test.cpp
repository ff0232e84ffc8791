#include <gtest/gtest.h>

#include "support/file_ops.h"
#include "tests/common/test_env.h"

using namespace rilumo;

TEST(FileOps, ReadAtReadsShortTailAsSuccess) {
    test::TempDir dir;
    const QString f = dir.File("a.bin");
    ASSERT_TRUE(test::WriteFile(f, "abcdef"));
    char buf[8];
    EXPECT_EQ(ReadAt(buf, 8, 4, f, 0, 0), 1);
    EXPECT_EQ(std::string(buf, 2), "ef");
    EXPECT_EQ(buf[2], 0);
    EXPECT_EQ(ReadAt(buf, 8, 0, dir.File("missing"), 0, 0), 0);
}
