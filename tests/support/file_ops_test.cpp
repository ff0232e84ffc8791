#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTimer>

#include <sys/stat.h>

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

TEST(FileOps, ReadAtPrefersTheSixtyFourBitOffset) {
    test::TempDir dir;
    const QString f = dir.File("a.bin");
    ASSERT_TRUE(test::WriteFile(f, "0123456789"));
    char buf[2];
    ASSERT_EQ(ReadAt(buf, 2, 1, f, 7, 0), 1);
    EXPECT_EQ(std::string(buf, 2), "78");
    EXPECT_EQ(ReadAt(buf, 2, -1, f, 0, 0), 0);

    QByteArray bytes;
    EXPECT_EQ(ReadAt(bytes, 1LL << 40, 8, f), 1);  // a huge count reads what is there
    EXPECT_EQ(bytes, "89");
    EXPECT_EQ(ReadAt(bytes, 4, 0, dir.File("missing")), 0);
    EXPECT_TRUE(bytes.isEmpty());
}

TEST(FileOps, ReadAtRetriesCountReads) {
    test::TempDir dir;
    char buf[1];
    std::uint64_t before = ReadAtCalls();
    EXPECT_EQ(ReadAt(buf, 1, 0, dir.File("missing"), 0, 0), 0);
    EXPECT_EQ(ReadAtCalls() - before, 1u);
    before = ReadAtCalls();
    EXPECT_EQ(ReadAt(buf, 1, 0, dir.File("missing"), 0, 1), 0);
    EXPECT_EQ(ReadAtCalls() - before, 1u);
    before = ReadAtCalls();
    EXPECT_EQ(ReadAt(buf, 1, 0, dir.File("missing"), 0, 2), 0);
    EXPECT_EQ(ReadAtCalls() - before, 2u);
}

TEST(FileOps, EventsRunDuringARetryWait) {
    test::TempDir dir;
    const QString f = dir.File("late.bin");
    // The file appears while ReadAt waits between its attempts.
    QTimer::singleShot(50, [&] { test::WriteFile(f, "Z"); });
    char buf[1] = {0};
    EXPECT_EQ(ReadAt(buf, 1, 0, f, 0, 3), 1);
    EXPECT_EQ(buf[0], 'Z');

    const QString g = dir.File("later.bin");
    QTimer::singleShot(50, [&] { test::WriteFile(g, "ABC"); });
    QByteArray bytes;
    EXPECT_EQ(ReadAt(bytes, 8, 1, g, 3), 1);
    EXPECT_EQ(bytes, "BC");
}

TEST(FileOps, ExistenceTestsTellFilesFromFolders) {
    test::TempDir dir;
    const QString f = dir.File("f.txt");
    ASSERT_TRUE(test::WriteFile(f, "x"));
    EXPECT_EQ(FileExists(f), 1);
    EXPECT_EQ(FileExists(dir.Path()), 0);
    EXPECT_EQ(FileExists("   "), 0);
    EXPECT_TRUE(IsRegularFile(f));
    EXPECT_FALSE(IsRegularFile(dir.Path()));
    const QString fifo = dir.File("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(FileExists(fifo), 1);  // exists, but reading it would block
    EXPECT_FALSE(IsRegularFile(fifo));
    const QString link = dir.File("link");
    ASSERT_TRUE(QFile::link(f, link));
    EXPECT_TRUE(IsRegularFile(link));
    EXPECT_EQ(DirectoryExists(dir.Path() + "/"), 1);
    EXPECT_EQ(DirectoryExists(f), 0);
    EXPECT_EQ(MakeDirectory(dir.File("sub/")), 1);
    EXPECT_EQ(DirectoryExists(dir.File("sub")), 1);
    EXPECT_EQ(MakeDirectory(dir.File("a/b/c")), 0);  // one level only
    EXPECT_EQ(MakeDirectory(f + "/x"), 0);
}

TEST(FileOps, RemoveFileClearsReadOnlyAndToleratesAbsence) {
    test::TempDir dir;
    const QString f = dir.File("ro.txt");
    ASSERT_TRUE(test::WriteFile(f, "x"));
    QFile::setPermissions(f, QFileDevice::ReadOwner);
    EXPECT_EQ(RemoveFile(f), 1);
    EXPECT_FALSE(QFile::exists(f));
    EXPECT_EQ(RemoveFile(f), 1);
    EXPECT_EQ(RemoveFile(dir.Path()), 0);
}

TEST(FileOps, SizesAreSixtyFourBit) {
    test::TempDir dir;
    const QString f = dir.File("big.bin");
    {
        QFile out(f);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        ASSERT_TRUE(out.resize((1LL << 32) + 5));  // sparse
    }
    std::int64_t size = -1;
    EXPECT_EQ(FileSizeOf(f, size), 5);
    EXPECT_EQ(size, (1LL << 32) + 5);
    EXPECT_EQ(FileSizeOf(dir.File("missing"), size), 0);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(FileSizeOf(dir.Path(), size), 0);

    QFile open(f);
    ASSERT_TRUE(open.open(QIODevice::ReadOnly));
    EXPECT_EQ(SizeOfOpenFile(open), (1LL << 32) + 5);
    EXPECT_EQ(SeekTo(open, 1LL << 32), 0);
    EXPECT_EQ(SeekTo(open, -1), -1);
    QFile closed(f);
    EXPECT_EQ(SizeOfOpenFile(closed), -1);
}

TEST(FileOps, BitsAndOddness) {
    EXPECT_EQ(ByteToBits(5), "00000101");
    EXPECT_EQ(ByteToBits(0x1FF), "11111111");
    EXPECT_EQ(ByteToBits(-1), "11111111");
    EXPECT_EQ(IsOdd(3.9), 1);
    EXPECT_EQ(IsOdd(-3), 1);
    EXPECT_EQ(IsOdd(10), 0);
    EXPECT_EQ(IsOdd(1e300), 0);
    EXPECT_EQ(IsOdd(std::numeric_limits<double>::quiet_NaN()), 0);
}
