#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QAction>
#include <QScreen>
#include <gtest/gtest.h>

#include "app/frm_main.h"
#include "support/globals.h"
#include "support/paths.h"
#include "support/settings.h"
#include "tests/common/test_env.h"

using namespace rilumo;

namespace {

// Every test starts from empty settings and a program folder of its own.
class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        QDir(qEnvironmentVariable("XDG_CONFIG_HOME") + "/korvent").removeRecursively();
        SetAppFolderForTesting(appDir.Path());
        globals::LogError = 0;
        globals::ErrorCatch = 0;
        saved = QDir::currentPath();
    }
    void TearDown() override {
        SetAppFolderForTesting({});
        globals::ErrorCatch = 0;
        QDir::setCurrent(saved);
    }
    test::TempDir appDir;
    QString saved;
};

}  // namespace

TEST_F(Startup, WindowHasCaptionAndPlaylistMenu) {
    FrmMain w({});
    w.Load();
    EXPECT_EQ(w.windowTitle(), "Rilumo");
    EXPECT_EQ(w.MenuPL()->title(), "プレイリスト(&P)");
    const char* captions[] = {"読み込み", "保存", "フォルダから", "フォルダからランダム", "ランダマイズ", "クリア"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(w.MenuFile(i)->text(), QString::fromUtf8(captions[i]));
    EXPECT_TRUE(w.TimerMCI().isActive());
    EXPECT_EQ(w.TimerMCI().interval(), 15);
    EXPECT_EQ(QDir::current().absolutePath(), QDir(appDir.Path()).absolutePath());
    w.close();
}

TEST_F(Startup, SwitchesThatAreNoNumbersReadAsZero) {
    WriteSetting("LogError", "yes");
    WriteSetting("ErrorCatch", "on");
    WriteSetting("IsRemain", "x");
    FrmMain w({});
    w.Load();
    EXPECT_EQ(globals::LogError, 0);
    EXPECT_EQ(globals::ErrorCatch, 0);
    EXPECT_EQ(w.State().showRemaining, 0);
    w.close();
}

TEST_F(Startup, MarkerFileTurnsErrorCatchOn) {
    ASSERT_TRUE(test::WriteFile(appDir.File("ec.txt"), ""));
    FrmMain w({});
    w.Load();
    EXPECT_EQ(globals::ErrorCatch, 1);
    w.close();
}

TEST_F(Startup, ShowRemainingSurvivesTheRun) {
    WriteSetting("IsRemain", 1);
    {
        FrmMain w({});
        w.Load();
        EXPECT_EQ(w.State().showRemaining, 1);
        w.State().showRemaining = 0;
        w.close();
    }
    EXPECT_EQ(ReadSetting("IsRemain", 5), "0");
}

TEST(CommandLine, RelativePathResolvesAgainstStartFolderQuotesKept) {
    EXPECT_EQ(CommandLinePath({"lists/a b.lst", "/home/u"}), "/home/u/lists/a b.lst");
    EXPECT_EQ(CommandLinePath({"/abs/x.lst", "/home/u"}), "/abs/x.lst");
    EXPECT_EQ(CommandLinePath({"", "/home/u"}), "");
    // A quoted path stays quoted and so names no file.
    EXPECT_EQ(CommandLinePath({"\"/abs/x.lst\"", "/home/u"}), "/home/u/\"/abs/x.lst\"");
    char a0[] = "rilumo", a1[] = "my", a2[] = "list.lst";
    char* argv[] = {a0, a1, a2};
    EXPECT_EQ(StartupArgsFrom(3, argv).commandLine, "my list.lst");
}

TEST_F(Startup, StartsStoppedWithAnEmptyPlaylist) {
    FrmMain w({});
    w.Load();
    EXPECT_EQ(w.LV().ItemCount(), 0);
    EXPECT_EQ(w.LV().TabName(0), "タイトル");
    EXPECT_FALSE(w.ImageOA(1)->pixmap().isNull());
    EXPECT_EQ(w.ImageOA(0)->pixmap().toImage(), w.ImageOA(1)->pixmap().toImage());
    EXPECT_EQ(w.Player().mode(), 1);
    EXPECT_TRUE(w.Player().FileName().isEmpty());
    w.close();
}

TEST_F(Startup, PlacementIsRestoredAndAMaximisedCloseWritesOnlyTheState) {
    const int t = globals::TwipsPerPixel;
    WriteSetting("WindowLeft", 40 * t);
    WriteSetting("WindowTop", 50 * t);
    WriteSetting("WindowWidth", 400 * t);
    WriteSetting("WindowHeight", 300 * t);
    {
        FrmMain w({});
        w.Load();
        EXPECT_EQ(w.pos(), QPoint(40, 50));
        EXPECT_EQ(w.size(), QSize(400, 300));
        w.showMaximized();
        test::PumpFor(50);
        w.close();
    }
    EXPECT_EQ(ReadSetting("WindowState", ""), "2");
    EXPECT_EQ(ReadSetting("WindowLeft", ""), QString::number(40 * t));
    EXPECT_EQ(ReadSetting("WindowWidth", ""), QString::number(400 * t));
}

TEST_F(Startup, ADamagedOrOutgrownPlacementStillShowsTheWindowAndHealsTheFile) {
    const int t = globals::TwipsPerPixel;
    struct Case {
        int left, top, width, height;
        const char* state;
    };
    const Case cases[] = {
        {-30000 * t, 90000 * t, 400 * t, 300 * t, "0"},  // a monitor that is no longer there
        {40 * t, 50 * t, 0, 0, "0"},
        {40 * t, 50 * t, -500 * t, -1, "0"},
        {40 * t, 50 * t, 300000, 300000, "0"},
        {40 * t, 50 * t, 400 * t, 300 * t, "1"},  // closed while minimised
        {40 * t, 50 * t, 400 * t, 300 * t, "7"},
    };
    for (const Case& c : cases) {
        WriteSetting("WindowLeft", c.left);
        WriteSetting("WindowTop", c.top);
        WriteSetting("WindowWidth", c.width);
        WriteSetting("WindowHeight", c.height);
        WriteSetting("WindowState", c.state);
        QRect shown;
        {
            FrmMain w({});
            w.Load();
            const QRect screen = w.screen()->availableGeometry();
            EXPECT_TRUE(w.isVisible());
            EXPECT_FALSE(w.isMinimized());
            EXPECT_TRUE(screen.contains(w.frameGeometry())) << c.left << " " << c.width;
            EXPECT_GE(w.width(), 100);
            EXPECT_GE(w.height(), 80);
            shown = QRect(w.pos(), w.size());
            w.close();
        }
        // What was on screen is what is kept.
        EXPECT_EQ(ReadSetting("WindowLeft", ""), QString::number(shown.x() * t));
        EXPECT_EQ(ReadSetting("WindowWidth", ""), QString::number(shown.width() * t));
        EXPECT_EQ(ReadSetting("WindowState", ""), "0");
    }
}

TEST_F(Startup, APositionThatIsNoNumberLeavesTheRestAtTheDesign) {
    const int t = globals::TwipsPerPixel;
    WriteSetting("WindowLeft", 40 * t);
    WriteSetting("WindowTop", "top");
    WriteSetting("WindowWidth", 999 * t);
    FrmMain w({});
    w.Load();
    EXPECT_EQ(w.pos().x(), 40);
    EXPECT_NE(w.width(), 999);
    EXPECT_EQ(w.windowTitle(), "Rilumo");  // later steps still ran
    EXPECT_TRUE(w.TimerMCI().isActive());
    w.close();
}
