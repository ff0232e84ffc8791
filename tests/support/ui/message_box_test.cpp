#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QWidget>

#include "support/globals.h"
#include "support/ui/message_box.h"
#include "tests/common/scripted_dialogs.h"

using namespace rilumo;

namespace {
const QSize kScreen(1920 * 15, 1080 * 15);
const QSize kBox(300, 120);
}  // namespace

TEST(CenteredBoxPosition, CentresOnTheOwner) {
    // Owner 600 x 400 px at (300, 200): centre (600, 400).
    EXPECT_EQ(CenteredBoxPosition(QRect(4500, 3000, 9000, 6000), kBox, kScreen, 15), QPoint(450, 340));
}

TEST(CenteredBoxPosition, ClampsToTheRightEdgeAndAboveTheBottomStrip) {
    EXPECT_EQ(CenteredBoxPosition(QRect(1900 * 15, 3000, 3000, 3000), kBox, kScreen, 15).x(), 1920 - 300);
    // The bottom stays 600 twips (40 px) above the screen's bottom.
    EXPECT_EQ(CenteredBoxPosition(QRect(4500, 1070 * 15, 3000, 3000), kBox, kScreen, 15).y(),
              1080 - 40 - 120);
    // At 16 twips per pixel the right limit is 1000.5 px: 900.5 rounds to even.
    EXPECT_EQ(CenteredBoxPosition(QRect(16008, 0, 0, 0), QSize(100, 10), QSize(16008, 20000), 16).x(), 900);
}

TEST(CenteredBoxPosition, OwnerOffTheTopLeftGivesZero) {
    EXPECT_EQ(CenteredBoxPosition(QRect(-6000, -6000, 3000, 3000), kBox, kScreen, 15), QPoint(0, 0));
    // A box taller than the usable screen is pulled up to the top, not off it.
    EXPECT_EQ(CenteredBoxPosition(QRect(0, 0, 3000, 3000), QSize(100, 2000), kScreen, 15).y(), 0);
}

TEST(CenteredMessageBox, PlacesTheBoxOnTheOwnersCentre) {
    test::ScriptedDialogs d;
    d.button = 1;
    QWidget owner;
    owner.setGeometry(300, 200, 600, 400);
    EXPECT_EQ(CenteredMessageBox("形式", 64, "情報", &owner), 1);
    ASSERT_EQ(d.shown, 1);
    EXPECT_TRUE(d.placed);
    EXPECT_EQ(d.askedType, 64);
    const QRect f = owner.frameGeometry();
    EXPECT_EQ(d.left, f.x() + f.width() / 2 - 150);
    EXPECT_EQ(d.top, f.y() + f.height() / 2 - 60);
}

TEST(CenteredMessageBox, MinimisedOrMissingOwnerLeavesTheBoxUnplaced) {
    test::ScriptedDialogs d;
    QWidget owner;
    owner.setWindowState(Qt::WindowMinimized);
    CenteredMessageBox("x", 64, "c", &owner);
    EXPECT_FALSE(d.placed);
    d.placed = true;
    CenteredMessageBox("x", 64, "c", nullptr);
    EXPECT_FALSE(d.placed);
    EXPECT_EQ(d.shown, 2);
}

TEST(CenteredMessageBox, RealMeasurementCentresTheRealBoxSize) {
    test::ScriptedDialogs d;
    d.measureReal = true;
    QWidget owner;
    owner.setGeometry(300, 200, 600, 400);
    owner.show();
    CenteredMessageBox("ファイル形式の概要\n44100 Hz 16 bit ステレオ", 64, "情報", &owner);
    ASSERT_TRUE(d.placed);
    EXPECT_GT(d.boxSize.width(), 50);
    const QRect f = owner.frameGeometry();
    EXPECT_EQ(d.left, f.x() + f.width() / 2 - d.boxSize.width() / 2);
    EXPECT_EQ(d.top, f.y() + f.height() / 2 - d.boxSize.height() / 2);
    // Measuring left no modal box behind.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}
