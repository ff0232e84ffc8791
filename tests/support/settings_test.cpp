#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QDateTime>

#include "support/error_trap.h"
#include "support/globals.h"
#include "support/paths.h"
#include "support/settings.h"
#include "tests/common/test_env.h"

using namespace rilumo;

namespace {

// Qt keeps parsed files while their size and time stamp are unchanged; every
// file a test writes by hand gets a time stamp of its own.
void writeByHand(const QString& path, const QByteArray& bytes) {
    static int bump = 0;
    ASSERT_TRUE(test::WriteFile(path, bytes));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-1000 - ++bump), QFileDevice::FileModificationTime);
}

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        file = NativeSettingsFile();
        folder = QFileInfo(file).absolutePath();
        clean();
    }
    void TearDown() override {
        clean();
        globals::IniOverride.clear();
        globals::ErrorCatch = 0;
    }
    void clean() {
        QFileInfo fi(folder);
        if (fi.isDir()) QDir(folder).removeRecursively();
        else QFile::remove(folder);
    }
    QString file, folder;
};

}  // namespace

TEST_F(Settings, NativeStoreLivesInLowerCasedCompanyAndTitleUnderConfigHome) {
    EXPECT_EQ(file, qEnvironmentVariable("XDG_CONFIG_HOME") + "/korvent/sirel.conf");
}

TEST_F(Settings, RoundTripsTextsAndNumbersAsDecimalText) {
    WriteSetting("IsRemain", 1);
    WriteSetting("ListFolder", "/home/u/音楽/");
    WriteSetting("Ratio", 1.5);
    EXPECT_EQ(ReadSetting("IsRemain", 0), "1");
    EXPECT_EQ(ReadSetting("ListFolder", "x"), "/home/u/音楽/");
    EXPECT_EQ(ReadSetting("Ratio", 0), "1.5");
    EXPECT_TRUE(test::ReadFile(file).contains("IsRemain=1"));
}

TEST_F(Settings, EmptyValueIsStoredAsStarsAndStarsReadBackEmpty) {
    WriteSetting("RndFolder", "");
    EXPECT_TRUE(test::ReadFile(file).contains("RndFolder=***"));
    EXPECT_EQ(ReadSetting("RndFolder", "default"), "");
    writeByHand(file, "[General]\nListFolder=***\n");
    EXPECT_EQ(ReadSetting("ListFolder", "default"), "");
}

TEST_F(Settings, MissingKeyReadsDefaultTextAndCreatesNothing) {
    EXPECT_EQ(ReadSetting("LogError", 0), "0");
    EXPECT_EQ(ReadSetting("ListFolder", "/opt/x/"), "/opt/x/");
    EXPECT_EQ(ReadSetting("Nothing", Value()), "");
    EXPECT_FALSE(QFileInfo::exists(folder));

    WriteSetting("Other", 3);
    const QByteArray before = test::ReadFile(file);
    EXPECT_EQ(ReadSetting("Missing", 7), "7");
    EXPECT_EQ(test::ReadFile(file), before);
}

TEST_F(Settings, StoredSpacesAndNulAreCut) {
    WriteSetting("A", "  padded  ");
    EXPECT_EQ(ReadSetting("A", ""), "padded");
    writeByHand(file, "[General]\nB=\"  x y \"\nC=\"ab\\0cd\"\n");
    EXPECT_EQ(ReadSetting("B", ""), "x y");
    EXPECT_EQ(ReadSetting("C", ""), "ab");
    WriteSetting("D", " \tkept\t ");  // only spaces are trimmed
    EXPECT_EQ(ReadSetting("D", ""), "\tkept\t");
}

TEST_F(Settings, LongValuesReadBackWhole) {
    const QString deep = "/" + QString("verylongfoldername/").repeated(200);
    ASSERT_GT(deep.size(), 3000);
    WriteSetting("ListFolder", deep);
    EXPECT_EQ(ReadSetting("ListFolder", ""), deep);
}

TEST_F(Settings, TextsQtWouldInterpretStayTexts) {
    for (const QString& v : {QStringLiteral("a, b,c"), QStringLiteral("@Variant(x)"), QStringLiteral("\"q\""),
                            QStringLiteral("; not a comment"), QStringLiteral("[conf]"),
                            QStringLiteral("x=y")}) {
        WriteSetting("K", v);
        EXPECT_EQ(ReadSetting("K", ""), v);
    }
    // A hand-typed list of words is read as the text it looks like.
    writeByHand(file, "[General]\nL=a, b\n");
    EXPECT_EQ(ReadSetting("L", ""), "a, b");
}

TEST_F(Settings, KeysWithSeparatorsOrEmptyDoNotBreakTheStore) {
    WriteSetting("a/b", 1);
    WriteSetting("c\\d", 2);
    WriteSetting("", 3);
    EXPECT_EQ(ReadSetting("a/b", 0), "1");
    EXPECT_EQ(ReadSetting("c\\d", 0), "2");
    EXPECT_EQ(ReadSetting("", 9), "9");
}

TEST_F(Settings, CorruptFileReadsDefaultsAndIsNotTouchedByReads) {
    // Qt parses the first line and stumbles over the unterminated section.
    QByteArray garbage("IsRemain=1\n\x00\x01\xff\xfe[[[=\n\x80\x81ListFolder=/x/\n[conf\nk=1", 46);
    writeByHand(file, garbage);
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(ReadSetting("IsRemain", 0), "0");
        EXPECT_EQ(ReadSetting("ListFolder", "d"), "d");
    }
    EXPECT_EQ(test::ReadFile(file), garbage);

    // A later write keeps the original aside before the file is rewritten.
    WriteSetting("IsRemain", 2);
    EXPECT_EQ(test::ReadFile(file + ".corrupt"), garbage);
    EXPECT_EQ(ReadSetting("IsRemain", 0), "2");
}

TEST_F(Settings, UnreadableStoreReadsDefaultsAndWritesFailQuietly) {
    // A folder where the file should be.
    ASSERT_TRUE(QDir().mkpath(file));
    EXPECT_EQ(ReadSetting("IsRemain", 5), "5");
    WriteSetting("IsRemain", 1);
    EXPECT_TRUE(QFileInfo(file).isDir());
    EXPECT_EQ(ReadSetting("IsRemain", 5), "5");
    clean();

    // A file where the folder should be.
    ASSERT_TRUE(test::WriteFile(folder, "not a folder"));
    EXPECT_EQ(ReadSetting("IsRemain", 5), "5");
    WriteSetting("IsRemain", 1);
    EXPECT_EQ(test::ReadFile(folder), "not a folder");
}

TEST_F(Settings, AppNameOverrideSelectsAnotherLowerCasedFile) {
    globals::AppNameOverride = "Other";
    WriteSetting("K", "v");
    const QString other = NativeSettingsFile();
    globals::AppNameOverride.clear();
    EXPECT_TRUE(other.endsWith("/korvent/other.conf"));
    EXPECT_TRUE(QFileInfo::exists(other));
    EXPECT_EQ(ReadSetting("K", "none"), "none");
    EXPECT_EQ(ReadReg("K", "none", "OTHER", ""), "v");
    EXPECT_EQ(ReadReg("K", "none", "", "Software\\korvent\\other"), "v");
}

TEST(IniBackEnd, IsDefaultMarkerReadsDefaultAndRewritesItThroughReadSetting) {
    test::TempDir dir;
    const QString ini = dir.File("my.ini");
    writeByHand(ini, "[conf]\nA=ISDEFAULT\nB= kept \nC=***\n");
    globals::IniOverride = ini;
    EXPECT_EQ(ReadSetting("A", 42), "42");
    EXPECT_EQ(ReadSetting("B", 0), "kept");
    EXPECT_EQ(ReadSetting("C", "x"), "");
    EXPECT_EQ(ReadSetting("Missing", ""), "");
    WriteSetting("D", "d");
    globals::IniOverride.clear();

    const QByteArray text = test::ReadFile(ini);
    EXPECT_TRUE(text.contains("A=42"));
    EXPECT_TRUE(text.contains("Missing=***"));
    EXPECT_TRUE(text.contains("D=d"));
    EXPECT_EQ(ReadIni("A", 0, ini, "", 0), "42");
    // Without the write-default flag nothing is written back.
    EXPECT_EQ(ReadIni("Absent", 5, ini, "other", 0), "5");
    EXPECT_FALSE(test::ReadFile(ini).contains("Absent"));
}

TEST(IniBackEnd, CorruptIniIsNotRewrittenByReadingADefault) {
    test::TempDir dir;
    const QString ini = dir.File("bad.ini");
    const QByteArray bad("[conf\nA=1\n");
    writeByHand(ini, bad);
    globals::IniOverride = ini;
    EXPECT_EQ(ReadSetting("A", 5), "5");
    EXPECT_EQ(ReadSetting("B", 6), "6");
    globals::IniOverride.clear();
    EXPECT_EQ(test::ReadFile(ini), bad);
}

TEST(IniBackEnd, EmptyFileNameMeansTitleIniInProgramFolder) {
    test::TempDir dir;
    SetAppFolderForTesting(dir.Path());
    WriteIni("K", "v", "", "");
    SetAppFolderForTesting("");
    EXPECT_TRUE(test::ReadFile(dir.File("sirel.ini")).contains("[conf]\nK=v"));
}

namespace {

struct FakeWindow : PlacementTarget {
    int state = 0, left = 100, top = 200, width = 3000, height = 4000;
    int State() const override { return state; }
    int Left() const override { return left; }
    int Top() const override { return top; }
    int Width() const override { return width; }
    int Height() const override { return height; }
    void SetState(int s) override { state = s; }
    void SetLeft(int v) override { left = v; }
    void SetTop(int v) override { top = v; }
    void SetWidth(int v) override { width = v; }
    void SetHeight(int v) override { height = v; }
};

}  // namespace

TEST_F(Settings, PlacementRoundTripsAndMaximisedExitKeepsEarlierGeometry) {
    FakeWindow w;
    SaveWindowPlacement(w, "", false, false);
    FakeWindow max;
    max.state = 2;
    max.left = max.top = 0;
    max.width = max.height = 99999;
    SaveWindowPlacement(max, "", false, false);

    FakeWindow fresh;
    fresh.left = fresh.top = fresh.width = fresh.height = 1;
    RestoreWindowPlacement(fresh, "", false, false, false);
    EXPECT_EQ(fresh.left, 100);
    EXPECT_EQ(fresh.top, 200);
    EXPECT_EQ(fresh.width, 3000);
    EXPECT_EQ(fresh.height, 4000);
    EXPECT_EQ(fresh.state, 2);
}

TEST_F(Settings, PlacementSkipsGeometryOfAWindowThatIsNotNormal) {
    WriteSetting("WindowLeft", 5);
    FakeWindow w;
    w.state = 1;
    RestoreWindowPlacement(w, "", false, true, false);
    EXPECT_EQ(w.left, 100);
    EXPECT_EQ(w.state, 1);
    EXPECT_FALSE(test::ReadFile(file).contains("WindowState"));
}

TEST_F(Settings, NonNumericStoredValueAbandonsTheRestOfThePlacement) {
    WriteSetting("WindowLeft", "15.5");  // rounds to even: 16
    WriteSetting("WindowTop", "abc");
    WriteSetting("WindowHeight", 777);
    FakeWindow w;
    RestoreWindowPlacement(w, "", false, false, false);
    EXPECT_EQ(w.left, 16);
    EXPECT_EQ(w.top, 200);
    EXPECT_EQ(w.height, 4000);

    globals::ErrorCatch = 1;
    FakeWindow strict;
    EXPECT_THROW(RestoreWindowPlacement(strict, "", false, false, false), Failure);
}

TEST_F(Settings, PlacementPrefixAndSkipFlags) {
    FakeWindow w;
    SaveWindowPlacement(w, "Tool", true, true);
    const QByteArray text = test::ReadFile(file);
    EXPECT_TRUE(text.contains("ToolWindowLeft=100"));
    EXPECT_FALSE(text.contains("ToolWindowWidth"));
    EXPECT_FALSE(text.contains("ToolWindowState"));
    WriteSetting("ToolWindowWidth", 1234);
    FakeWindow r;
    RestoreWindowPlacement(r, "Tool", true, false, true);
    EXPECT_EQ(r.width, 3000);
    EXPECT_EQ(r.left, 100);
}
