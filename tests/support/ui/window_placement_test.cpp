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

TEST(FitOnScreens, KeepsAWindowWhereItCanBeSeen) {
    const QRect left(0, 0, 1920, 1050), right(1920, 0, 1280, 770);
    const QList<QRect> both{left, right};
    const QSize minimum(160, 100);
    // On a screen and of a fitting size: untouched.
    EXPECT_EQ(FitOnScreens({100, 80, 400, 300}, both, left, minimum), QRect(100, 80, 400, 300));
    EXPECT_EQ(FitOnScreens({2000, 80, 400, 300}, both, left, minimum), QRect(2000, 80, 400, 300));
    // The second monitor is gone: centred on the primary.
    EXPECT_EQ(FitOnScreens({2000, 80, 400, 300}, {left}, left, minimum), QRect(760, 375, 400, 300));
    // Hanging over an edge: pulled in on the screen it overlaps most.
    EXPECT_EQ(FitOnScreens({3000, 700, 400, 300}, both, left, minimum), QRect(2800, 470, 400, 300));
    EXPECT_EQ(FitOnScreens({-150, -40, 400, 300}, both, left, minimum), QRect(0, 0, 400, 300));
    // Sizes of 0 or below grow to the minimum; huge ones shrink to the screen.
    EXPECT_EQ(FitOnScreens({100, 80, 0, -5}, both, left, minimum), QRect(100, 80, 160, 100));
    EXPECT_EQ(FitOnScreens({100, 80, 20000, 20000}, both, left, minimum), QRect(0, 0, 1920, 1050));
    // No screens known (a session without a display): left alone.
    EXPECT_EQ(FitOnScreens({-5000, 0, 10, 10}, {}, QRect(), minimum), QRect(-5000, 0, 10, 10));
}
