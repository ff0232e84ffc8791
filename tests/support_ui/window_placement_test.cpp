#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QWidget>

#include "support/globals.h"
#include "support/settings.h"
#include "support/ui/window_placement.h"
#include "tests/common/test_env.h"

using namespace rilumo;

namespace {

class WindowPlacement : public ::testing::Test {
protected:
    void SetUp() override { QFile::remove(NativeSettingsFile()); }
    void TearDown() override {
        QFile::remove(NativeSettingsFile());
        globals::TwipsPerPixel = 15;
    }
};

}  // namespace

TEST_F(WindowPlacement, TwipsArePixelsTimesTheFactor) {
    QWidget w;
    w.setGeometry(10, 20, 300, 200);
    WidgetPlacement p(&w);
    EXPECT_EQ(p.Left(), w.frameGeometry().x() * 15);
    EXPECT_EQ(p.Width(), w.frameGeometry().width() * 15);
    p.SetLeft(1500);
    p.SetTop(3014);  // integer division: 200 px
    EXPECT_EQ(w.pos(), QPoint(100, 200));
    p.SetWidth(6000);
    p.SetHeight(4500);
    EXPECT_EQ(w.frameGeometry().size(), QSize(400, 300));
}

TEST_F(WindowPlacement, StatesMapBothWays) {
    QWidget w;
    WidgetPlacement p(&w);
    EXPECT_EQ(p.State(), 0);
    p.SetState(2);
    EXPECT_TRUE(w.windowState() & Qt::WindowMaximized);
    EXPECT_EQ(p.State(), 2);
    p.SetState(1);
    EXPECT_EQ(p.State(), 1);
    p.SetState(0);
    EXPECT_EQ(p.State(), 0);
}

TEST_F(WindowPlacement, RestoreAppliesStoredValuesAndStopsAtAnInvalidState) {
    QWidget saved;
    saved.setGeometry(40, 50, 320, 240);
    WidgetPlacement ps(&saved);
    SaveWindowPlacement(ps, "", false, false);
    EXPECT_EQ(ReadSetting("WindowState", -1), "0");

    QWidget fresh;
    fresh.setGeometry(0, 0, 100, 100);
    WidgetPlacement pf(&fresh);
    WriteSetting("WindowState", 7);
    RestoreWindowPlacement(pf, "", false, false, false);
    EXPECT_EQ(fresh.frameGeometry(), saved.frameGeometry());
    EXPECT_EQ(pf.State(), 0);
}

TEST_F(WindowPlacement, MaximisedExitWritesOnlyTheState) {
    QWidget w;
    w.setGeometry(40, 50, 320, 240);
    WidgetPlacement p(&w);
    SaveWindowPlacement(p, "", false, false);
    p.SetState(2);
    SaveWindowPlacement(p, "", false, false);
    EXPECT_EQ(ReadSetting("WindowState", -1), "2");
    EXPECT_EQ(ReadSetting("WindowWidth", -1), QString::number(320 * 15));
}

TEST_F(WindowPlacement, SizeSurvivesRunsOfAFramedWindow) {
    // The offscreen platform gives shown windows a frame, as a desktop does;
    // the placement is restored before the window is shown.
    QWidget first;
    first.setGeometry(100, 100, 320, 240);
    first.show();
    WidgetPlacement p1(&first);
    SaveWindowPlacement(p1, "", false, false);
    const QString width = ReadSetting("WindowWidth", 0), left = ReadSetting("WindowLeft", 0);

    QWidget second;
    WidgetPlacement p2(&second);
    RestoreWindowPlacement(p2, "", false, true, false);
    second.show();
    SaveWindowPlacement(p2, "", false, false);
    EXPECT_EQ(ReadSetting("WindowWidth", 0), width);
    EXPECT_EQ(ReadSetting("WindowLeft", 0), left);
    EXPECT_EQ(second.size(), QSize(320, 240));
}
