// What keeps the window light: the tick sleeps while nothing plays and every
// way in wakes it; a hidden window draws nothing and shows the time again
// when it comes back.

#include <QApplication>
#include <QKeyEvent>

#include "tests/app/window_fixture.h"

namespace rilumo {
namespace {

using test::PlayerWindow;

TEST_F(PlayerWindow, StoppedTheTickSleepsAndEveryWayInWakesIt) {
    QTimer& tick = w->TimerMCI();
    ASSERT_TRUE(WaitFor([&] { return !tick.isActive(); }, 5000)) << "stopped, the timer stops";
    EXPECT_EQ(Status(), "STOP");

    // A key: Esc while stopped stops again, and the tick wakes to show it.
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : w.get();
    QKeyEvent esc(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &esc);
    EXPECT_TRUE(tick.isActive());
    ASSERT_TRUE(WaitFor([&] { return !tick.isActive(); }, 5000));

    // A remote's call, a drop, a click: all come in through Enter.
    w->Enter(FrmMain::WhenBusy::Passes, [] {});
    EXPECT_TRUE(tick.isActive());
    ASSERT_TRUE(WaitFor([&] { return !tick.isActive(); }, 5000));

    // Playing keeps it going; a track's end is answered with the next one.
    Fill({Track("a.wav", 600), Track("b.wav", 3000)});
    Click(kButtonPlay);
    ASSERT_TRUE(WaitFor([&] { return Playing().endsWith("b.wav") && w->State().lastSeenMode == 3; }));
    EXPECT_TRUE(tick.isActive());
    Click(kButtonStop);
    ASSERT_TRUE(WaitForStatus("STOP"));
    EXPECT_TRUE(WaitFor([&] { return !tick.isActive(); }, 5000));
}

TEST_F(PlayerWindow, HiddenTheTimeIsNotDrawnAndShowingAgainDrawsItAtOnce) {
    Fill({Track("a.wav", 5000)});
    Click(kButtonPlay);
    ASSERT_TRUE(WaitFor([&] { return Status() == "PLAY" && w->Player().Position(0) > 300; }));
    w->hide();
    const QString hidden = w->PicPlay().TextMes(1);
    const std::int32_t before = w->Player().Position(0);
    ASSERT_TRUE(WaitFor([&] { return w->Player().Position(0) > before + 600; }));
    EXPECT_EQ(w->PicPlay().TextMes(1), hidden) << "nothing drawn while hidden";
    w->show();
    EXPECT_NE(w->PicPlay().TextMes(1), hidden) << "the current time at once";
    EXPECT_GT(w->ProgBar().Value(), 0);
}

}  // namespace
}  // namespace rilumo
