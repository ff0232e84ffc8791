#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "support/error_trap.h"
#include "support/globals.h"
#include "support/log.h"
#include "support/paths.h"
#include "tests/common/test_env.h"

using namespace rilumo;

namespace {

class Log : public ::testing::Test {
protected:
    void SetUp() override { SetAppFolderForTesting(dir.Path()); }
    void TearDown() override {
        SetAppFolderForTesting("");
        globals::LogError = 0;
        globals::ErrorCatch = 0;
    }
    QString errFile() const { return dir.Path() + "/log/sirel.err"; }
    test::TempDir dir;
};

QString fallbackFolder() { return qEnvironmentVariable("XDG_STATE_HOME") + "/sirel/log/"; }

}  // namespace

TEST_F(Log, LinesAreStampedAndEndInCrLf) {
    WriteLog("グラフ構築に失敗", 1, 1);
    WriteLog("second", 1, 1);
    const QString text = QString::fromUtf8(test::ReadFile(errFile()));
    const QRegularExpression line(
        R"(^\d{4}/\d\d/\d\d \d\d:\d\d:\d\d グラフ構築に失敗\r\n\d{4}/\d\d/\d\d \d\d:\d\d:\d\d second\r\n$)");
    EXPECT_TRUE(line.match(text).hasMatch()) << text.toStdString();
}

TEST_F(Log, OnlyForcedLinesWhileLoggingIsOff) {
    WriteLog("quiet", 0, 0);
    EXPECT_FALSE(QFileInfo::exists(dir.Path() + "/log"));
    WriteLog("forced", 0, 1);
    EXPECT_TRUE(test::ReadFile(dir.Path() + "/log/sirel.log").contains("forced"));
    globals::LogError = 1;
    WriteLog("on", 1, 0);
    EXPECT_TRUE(test::ReadFile(errFile()).contains("on"));
}

TEST_F(Log, FileOfExactlyTheLimitIsAppendedOneByteMoreStartsAgain) {
    ASSERT_TRUE(test::WriteFile(errFile(), QByteArray(1024000, 'x')));
    WriteLog("kept", 1, 1);
    QByteArray text = test::ReadFile(errFile());
    EXPECT_GT(text.size(), 1024000);
    EXPECT_TRUE(text.startsWith("xxxx"));

    ASSERT_TRUE(test::WriteFile(errFile(), QByteArray(1024001, 'x')));
    WriteLog("fresh", 1, 1);
    text = test::ReadFile(errFile());
    EXPECT_FALSE(text.contains('x'));
    EXPECT_TRUE(text.endsWith(" fresh\r\n"));
}

TEST_F(Log, FallsBackWhenTheProgramFolderCannotHoldTheLog) {
    EXPECT_EQ(LogFolder(), dir.Path() + "/log/");

    // A program folder below a file can never be written.
    ASSERT_TRUE(test::WriteFile(dir.File("file"), "x"));
    SetAppFolderForTesting(dir.File("file/bin"));
    EXPECT_EQ(LogFolder(), fallbackFolder());
    WriteLog("not lost", 1, 1);
    EXPECT_TRUE(test::ReadFile(fallbackFolder() + "sirel.err").contains("not lost"));

    // A file named log where the folder should be.
    SetAppFolderForTesting(dir.Path());
    ASSERT_TRUE(test::WriteFile(dir.File("log"), "x"));
    EXPECT_EQ(LogFolder(), fallbackFolder());
    QDir(fallbackFolder()).removeRecursively();
}

TEST_F(Log, FailuresPropagateOnlyInErrorCatchMode) {
    // A folder where the log file should be: it cannot be opened for appending.
    ASSERT_TRUE(QDir().mkpath(errFile()));
    EXPECT_NO_THROW(WriteLog("x", 1, 1));
    globals::ErrorCatch = 1;
    EXPECT_THROW(WriteLog("x", 1, 1), Failure);
}
