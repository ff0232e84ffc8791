#include <gtest/gtest.h>

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

#include "support/file_ops.h"
#include "support/paths.h"
#include "tests/common/test_env.h"

using namespace rilumo;

namespace {

// Qt cannot create such a name, so the test writes it through the bytes.
void writeRaw(const QByteArray& name, const QByteArray& bytes) {
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
    ::close(fd);
}

}  // namespace

TEST(FileNames, RawNamesReachTheFileSystemByteExact) {
    test::TempDir dir;
    const QByteArray folder = QFile::encodeName(dir.File("x")).chopped(1);
    const QByteArray raw = folder + "\x93\x8C\x8B\x9E.wav";
    writeRaw(raw, "RIFFdata");
    ::mkdir((folder + "sub\xFF").constData(), 0755);
    const QString path = PathFromBytes(raw);

    EXPECT_EQ(FileExists(path), 1);
    EXPECT_TRUE(IsRegularFile(path));
    EXPECT_EQ(DirectoryExists(PathFromBytes(folder + "sub\xFF")), 1);
    EXPECT_EQ(FileExists(PathFromBytes(folder + "sub\xFF")), 0);
    std::int64_t size = 0;
    FileSizeOf(path, size);
    EXPECT_EQ(size, 8);
    QByteArray got;
    EXPECT_EQ(ReadAt(got, 4, 4, path), 1);
    EXPECT_EQ(got, "data");

    // The folder listing gives the name back as it lies on disk, and no folders.
    QStringList names;
    QString name;
    for (FolderFiles files(PathFromBytes(folder)); files.Next(name);) names << name;
    ASSERT_EQ(names.size(), 1);
    EXPECT_EQ(PathToBytes(PathFromBytes(folder) + names[0]), raw);

    EXPECT_EQ(RemoveFile(path), 1);
    EXPECT_EQ(FileExists(path), 0);
    ::rmdir((folder + "sub\xFF").constData());  // the temporary folder cannot name it
}
