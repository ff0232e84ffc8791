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
