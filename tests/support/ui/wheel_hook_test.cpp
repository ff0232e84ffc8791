#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QWheelEvent>
#include <QWidget>

#include <memory>

#include "support/ui/wheel_hook.h"

using namespace rilumo;

namespace {

void turn(QWidget* over, int deltaY, int deltaX = 0) {
    QWheelEvent e(QPointF(5, 5), over->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(deltaX, deltaY),
                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(over, &e);
}

}  // namespace

TEST(WheelHook, LastTurnWinsAndIsTakenOnce) {
    QWidget window;
    auto* child = new QLabel("list", &window);
    InstallSubclass(&window);
    turn(child, -120);  // towards the user
    turn(child, 120);   // away from the user
    EXPECT_EQ(TakeWheelDirection(&window), -1);
    EXPECT_EQ(TakeWheelDirection(&window), 0);
    turn(&window, -240);
    EXPECT_EQ(TakeWheelDirection(&window), 1);
    turn(child, 0, -120);  // sideways: no vertical scroll
    EXPECT_EQ(TakeWheelDirection(&window), 0);
    RemoveSubclass(&window);
    turn(child, -120);
    EXPECT_EQ(TakeWheelDirection(&window), 0);
}

TEST(WheelHook, WindowsAreKeptApart) {
    QWidget a, b, never;
    InstallSubclass(&a);
    InstallSubclass(&b);
    turn(&b, -120);
    EXPECT_EQ(TakeWheelDirection(&a), 0);
    EXPECT_EQ(TakeWheelDirection(&b), 1);
    EXPECT_EQ(TakeWheelDirection(&never), 0);
    EXPECT_EQ(FindSubclassSlot(&never), -1);
    EXPECT_EQ(FindSubclassSlot(nullptr), -1);
    RemoveSubclass(&never);
    RemoveSubclass(&a);
    RemoveSubclass(&b);
}

TEST(WheelHook, FreedSlotsAreReusedAndSecondInstallIsRefused) {
    QWidget a, b;
    InstallSubclass(&a);
    const int slot = FindSubclassSlot(&a);
    const int count = SubclassSlotCount();
    InstallSubclass(&a);
    EXPECT_EQ(SubclassSlotCount(), count);
    RemoveSubclass(&a);
    EXPECT_EQ(SubclassSlotAt(slot).window, nullptr);
    EXPECT_EQ(SubclassSlotAt(slot).hook, nullptr);
    InstallSubclass(&b);
    EXPECT_EQ(FindSubclassSlot(&b), slot);
    EXPECT_EQ(SubclassSlotCount(), count);
    RemoveSubclass(&b);
}

TEST(WheelHook, DestroyedWindowFreesItsSlot) {
    auto w = std::make_unique<QWidget>();
    QWidget* raw = w.get();
    InstallSubclass(raw);
    const int slot = FindSubclassSlot(raw);
    ASSERT_GE(slot, 0);
    w.reset();
    EXPECT_EQ(SubclassSlotAt(slot).window, nullptr);
    EXPECT_EQ(FindSubclassSlot(raw), -1);
}
