#include <gtest/gtest.h>

#include <QCoreApplication>

#include "support/paths.h"

using namespace rilumo;

TEST(Paths, FixTrailingSlash) {
    EXPECT_EQ(FixTrailingSlash("   ", false), "");
    EXPECT_EQ(FixTrailingSlash("   ", true), "");
    EXPECT_EQ(FixTrailingSlash("/a", false), "/a/");
    EXPECT_EQ(FixTrailingSlash("/a/", false), "/a/");
    EXPECT_EQ(FixTrailingSlash("/a/", true), "/a");
    EXPECT_EQ(FixTrailingSlash("/a", true), "/a");
}

TEST(Paths, EnsureExtension) {
    EXPECT_EQ(EnsureExtension("/d/x.LST", ".lst"), "/d/x.LST");
    EXPECT_EQ(EnsureExtension("/d/x", "lst"), "/d/x.lst");
    EXPECT_EQ(EnsureExtension("/d/x", " .LST "), "/d/x.lst");
    EXPECT_EQ(EnsureExtension("", ".lst"), "");
    EXPECT_EQ(EnsureExtension("/d/x", "  "), "/d/x");
    EXPECT_EQ(EnsureExtension("st", ".lst"), "st.lst");
}

TEST(Paths, SplitPathTheProgramsThreeUses) {
    EXPECT_EQ(LowerExtension("/a/Song.MP3"), "mp3");
    EXPECT_EQ(TitleOf("/a/Song.MP3"), "Song");
    EXPECT_EQ(FolderOf("/a/Song.MP3"), "/a/");
    EXPECT_EQ(SplitPath("/a/Song.MP3", 0, 0, 1, 1, 1, 2), "SONG.MP3");
}

TEST(Paths, SplitPathEdges) {
    EXPECT_EQ(SplitPath("", 1, 1, 1, 1, 1, 0), "");
    EXPECT_EQ(LowerExtension("/a/README"), "");
    EXPECT_EQ(TitleOf("/a/README"), "README");
    EXPECT_EQ(FolderOf("name.txt"), "/");
    EXPECT_EQ(LowerExtension("/a.b/c"), "");
    EXPECT_EQ(TitleOf("/a.b/c"), "c");
    EXPECT_EQ(TitleOf("/a/x.tar.gz"), "x.tar");
    EXPECT_EQ(SplitPath("/a/.hidden", 0, 0, 1, 1, 1, 0), ".hidden");
}

TEST(Paths, CutAtNulTrimsThenCuts) {
    EXPECT_EQ(CutAtNul(QString("  abc") + QChar(0) + "def  "), "abc");
    EXPECT_EQ(CutAtNul("  plain  "), "plain");
    EXPECT_EQ(CutAtNul(QString(QChar(0)) + "x"), "");
    // Only the space character is trimmed, here and wherever paths are tested for blankness.
    EXPECT_EQ(CutAtNul(" \tx\n "), "\tx\n");
    EXPECT_EQ(FixTrailingSlash("\t", false), "\t/");
}

TEST(Paths, FoldersEndWithTheSeparator) {
    EXPECT_EQ(AppFolder(), QCoreApplication::applicationDirPath() + "/");
    SetAppFolderForTesting("/tmp/elsewhere");
    EXPECT_EQ(AppFolder(), "/tmp/elsewhere/");
    SetAppFolderForTesting("");
    EXPECT_TRUE(SystemFolder().endsWith('/'));
}

TEST(Paths, NamesThatAreNotUtf8SurviveTheRoundTrip) {
    const QByteArray names[] = {
        "/m/\x93\x8C\x8B\x9E.wav",          // CP932 "東京"
        "/m/caf\xE9\xFF\x80.mp3",           // stray bytes
        "/m/\xED\xA0\x80\xC0\xAF.mp3",      // an encoded surrogate and an overlong "/"
        "/m/\xE6\x9D\xB1\xE6\x9D.wav",      // UTF-8 cut short
        QString::fromUtf8("/m/東京 𝄞.mp3").toUtf8(),
        "/m/\xEF\xBB\xBF\xFF.mp3",             // a byte-order mark belongs to the name
    };
    for (const QByteArray& raw : names) {
        const QString path = PathFromBytes(raw);
        EXPECT_EQ(PathToBytes(path), raw) << raw.toHex().constData();
        EXPECT_EQ(FileUriOf(path).startsWith("file:///m/"), true);
        EXPECT_EQ(PathToBytes(PathFromFileUri(FileUriOf(path))), raw);
    }
    // Valid UTF-8 is plain text, with no raw bytes.
    EXPECT_EQ(PathFromBytes(names[4]), QString::fromUtf8("/m/東京 𝄞.mp3"));
    EXPECT_FALSE(HasRawBytes(PathFromBytes(names[4])));
    EXPECT_TRUE(HasRawBytes(PathFromBytes(names[0])));
    // Only raw bytes become escapes: the slash in "/\xC0\xAF" stays a byte pair, not a separator.
    EXPECT_EQ(LowerExtension(PathFromBytes(names[2])), "mp3");
    EXPECT_EQ(FolderOf(PathFromBytes(names[2])), "/m/");
}

TEST(Paths, FileUrisDecodeToBytes) {
    EXPECT_EQ(PathFromFileUri(QByteArray("file:///a%20b%23.mp3")), "/a b#.mp3");
    EXPECT_EQ(PathToBytes(PathFromFileUri(QByteArray("file://localhost/m/%93%8C.wav"))), "/m/\x93\x8C.wav");
    EXPECT_EQ(PathFromFileUri(QByteArray("FILE:/x.mp3")), "/x.mp3");
    EXPECT_EQ(PathFromFileUri(QByteArray("file://server/x.mp3")), "");
    EXPECT_EQ(PathFromFileUri(QByteArray("http://h/x.mp3")), "");
    EXPECT_EQ(PathFromFileUri(QByteArray("file:relative.mp3")), "");
    EXPECT_EQ(FileUriOf(QString::fromUtf8("/a b/曲#.mp3")), "file:///a%20b/%E6%9B%B2%23.mp3");
}

TEST(Paths, DisplayNamesReadRawBytesAsCp932OrShowThem) {
    EXPECT_EQ(DisplayName(PathFromBytes("\x83\x5E\x83\x43\x83\x67\x83\x8B")), QString::fromUtf8("タイトル"));
    EXPECT_EQ(DisplayName(PathFromBytes("caf\xE9")), "caf\\xE9");
    EXPECT_EQ(DisplayName(QString::fromUtf8("東京")), QString::fromUtf8("東京"));
}
