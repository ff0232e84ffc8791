// The playback loop end to end: real window, real player, null renderer.

#include <QKeyEvent>
#include <QTimer>
#include <QWheelEvent>

#include "support/settings.h"
#include "tests/app/window_fixture.h"

using namespace rilumo;
using test::PlayerWindow;

namespace {

void KeyUp(QWidget* to, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent e(QEvent::KeyRelease, key, mods);
    QCoreApplication::sendEvent(to, &e);
}

}  // namespace

TEST_F(PlayerWindow, IdleWindowShowsStopAndPlayStartsTheCursorEntry) {
    EXPECT_TRUE(WaitForStatus("STOP"));
    EXPECT_TRUE(Shows(1));
    Fill({Track("a.wav", 3000), Track("b.wav", 3000, 660)});
    Select(1);
    Click(2);
    ASSERT_TRUE(WaitForStatus("PLAY"));
    EXPECT_EQ(w->State().playIndex, 1);
    EXPECT_EQ(w->LV().DispColor(1), 0x00FF00u);
    EXPECT_EQ(w->LV().DispColor(0), 0xFFFFFFu);
    EXPECT_EQ(w->LV().SelectedItem(), -1);
    EXPECT_TRUE(LampsOn());
    EXPECT_TRUE(Shows(2));
    EXPECT_TRUE(WaitFor([&] { return w->PicPlay().TextMes(2) == "00'03.0"; }));  // once the load knows it
    EXPECT_TRUE(WaitFor([&] { return w->PicPlay().TextMes(1) >= "00'00.3" && w->ProgBar().Value() > 0; }));

    // Stop puts the cursor back on the entry; play then starts it from its beginning.
    Click(0);
    ASSERT_TRUE(WaitForStatus("STOP"));
    EXPECT_FALSE(LampsOn());
    EXPECT_TRUE(Shows(1));
    EXPECT_EQ(w->LV().SelectedItem(), 1);
    EXPECT_EQ(w->LV().DispColor(1), 0xFFFFFFu);
    Click(2);
    ASSERT_TRUE(WaitForStatus("PLAY"));
    EXPECT_TRUE(Playing().endsWith("b.wav"));
    EXPECT_LT(w->Player().Position(0), 1000);
}

TEST_F(PlayerWindow, AutoAdvanceWrapsRoundOnSeveralAndOnOneEntry) {
    Fill({Track("a.wav", 250), Track("b.wav", 250), Track("c.wav", 250)});
    Click(2);
    QList<int> seen;
    ASSERT_TRUE(WaitFor([&] {
        const int p = w->State().playIndex;
        if (seen.isEmpty() || seen.back() != p) seen << p;
        return seen.size() >= 5;
    }));
    EXPECT_EQ(seen.mid(0, 5), (QList<int>{0, 1, 2, 0, 1}));

    w->MenuFileClick(5);  // clear
    Fill({Track("only.wav", 250)});
    Click(2);
    int starts = 0;
    int last = -1;
    ASSERT_TRUE(WaitFor([&] {
        const int m = w->State().lastSeenMode;
        if (m == 3 && last != 3) ++starts;
        last = m;
        return starts >= 3;
    }));
    EXPECT_EQ(w->State().playIndex, 0);
}

TEST_F(PlayerWindow, PauseResumesWhereItPausedAndPlayWhilePlayingRestartsFromTheTop) {
    Fill({Track("a.wav", 4000), Track("b.wav", 4000)});
    Select(1);
    Click(2);
    ASSERT_TRUE(WaitFor([&] { return w->Player().Position(0) > 600; }));
    Click(1);
    ASSERT_TRUE(WaitForStatus("PAUSE"));
    EXPECT_TRUE(PausedLamp());
    EXPECT_FALSE(LampsOn());
    const int at = w->Player().Position(0);
    Click(2);  // play while paused resumes
    ASSERT_TRUE(WaitForStatus("PLAY"));
    EXPECT_GE(w->Player().Position(0), at - 50);
    EXPECT_TRUE(Playing().endsWith("b.wav"));
    Click(2);  // no cursor since playback started: the first entry
    ASSERT_TRUE(WaitFor([&] { return Playing().endsWith("a.wav"); }));
}

TEST_F(PlayerWindow, KeysPlayPauseStopShuffleAndFind) {
    QStringList tracks{Track("x1.wav", 3000)};
    const QString filler = Track("x2.wav", 300);
    for (int i = 0; i < 30; ++i) tracks << filler;
    tracks << Track("Abc.wav", 300) << Track("abd.wav", 300);
    for (int i = 0; i < 30; ++i) tracks << filler;
    Fill(tracks);
    QWidget* focus = w.get();
    KeyUp(focus, Qt::Key_Space);
    ASSERT_TRUE(WaitForStatus("PLAY"));
    KeyUp(w->LV().PictureList(), Qt::Key_Space);  // a child with the key still counts
    ASSERT_TRUE(WaitForStatus("PAUSE"));
    KeyUp(focus, Qt::Key_Space);
    ASSERT_TRUE(WaitForStatus("PLAY"));
    KeyUp(focus, Qt::Key_Escape);
    ASSERT_TRUE(WaitForStatus("STOP"));
    EXPECT_EQ(w->State().userStop, 1);

    dialogs.texts << "ab";
    KeyUp(focus, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(dialogs.texts.size(), 1);  // not asked
    KeyUp(focus, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(dialogs.texts.isEmpty());
    EXPECT_EQ(w->LV().TopRow(), 31);

    KeyUp(focus, Qt::Key_R);  // the shuffle command keeps every entry
    EXPECT_EQ(w->LV().ItemCount(), 63);
    EXPECT_EQ(w->State().busy, 0);
}

TEST_F(PlayerWindow, DoubleClickWhilePlayingEndsInStopAndWhilePausedResumes) {
    Fill({Track("a.wav", 3000), Track("b.wav", 300), Track("c.wav", 300)});
    Click(2);
    ASSERT_TRUE(WaitForStatus("PLAY"));
    Click(1);
    ASSERT_TRUE(WaitForStatus("PAUSE"));
    Select(1);
    w->LV_DblClicked();
    ASSERT_TRUE(WaitForStatus("PLAY"));
    EXPECT_TRUE(Playing().endsWith("a.wav"));
    Select(1);
    w->LV_DblClicked();
    ASSERT_TRUE(WaitFor([&] { return Playing().endsWith("b.wav"); }));
    ASSERT_TRUE(WaitForStatus("STOP"));
    EXPECT_EQ(w->State().playIndex, 1);
    EXPECT_TRUE(Playing().isEmpty());
}

TEST_F(PlayerWindow, DraggingTheBarSeeksWhilePlayingAndOnlyStoresWhilePaused) {
    Fill({Track("a.wav", 6000)});
    Click(2);
    ASSERT_TRUE(WaitFor([&] { return w->State().lastSeenMode == 3 && w->Player().Length() > 0; }));
    Click(1);
    ASSERT_TRUE(WaitForStatus("PAUSE"));
    w->ProgBar().SetValue(500);
    w->ProgBar_MouseUD(false);
    EXPECT_EQ(w->PicPlay().TextMes(1), "00'03.0");
    EXPECT_EQ(w->Player().FromMS(), 3000);
    test::PumpFor(100);
    EXPECT_EQ(Status(), "PAUSE");

    Click(1);
    ASSERT_TRUE(WaitForStatus("PLAY"));
    w->ProgBar().SetValue(750);
    w->ProgBar_MouseUD(false);
    EXPECT_TRUE(WaitFor([&] { return w->Player().Position(0) >= 4500; }, 3000));
}

TEST_F(PlayerWindow, RemainingTimeAndTheToggleOnTheTextPanel) {
    // 8 kHz mono 8-bit keeps a 3'25.4 track small.
    const QString longTrack = media.File("long.wav");
    ASSERT_TRUE(test::WriteSineWave(longTrack, 8000, 1, 8, 200, 205400));
    Fill({longTrack});
    w->PicPlay_MouseUD(1, true, 0);
    EXPECT_EQ(w->State().showRemaining, 0);
    w->PicPlay_MouseUD(1, false, 0);
    EXPECT_EQ(w->State().showRemaining, 1);
    EXPECT_EQ(w->PicPlay().CurrentSet(), 2);  // stopped, yet the colour set follows
    Click(2);
    ASSERT_TRUE(WaitFor([&] { return w->State().lastSeenMode == 3 && w->Player().Length() == 205400; }));
    Click(1);
    ASSERT_TRUE(WaitForStatus("PAUSE"));
    w->ProgBar().SetValue(0);
    w->ProgBar_Scrolled();
    EXPECT_EQ(w->PicPlay().TextMes(1), "03'25.4-");
    w->close();
    EXPECT_EQ(ReadSetting("IsRemain", 0), "1");
}

TEST_F(PlayerWindow, WheelScrollsTheListOnlyUnderThePointer) {
    QStringList many;
    const QString t = Track("t.wav", 100);
    for (int i = 0; i < 200; ++i) many << t;
    Fill(many);
    auto turn = [&] {
        QWheelEvent e(QPointF(5, 5), QPointF(5, 5), {}, QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(w->LV().PictureList(), &e);
        w->OnTick();
    };
    QCursor::setPos(w->LV().mapToGlobal(QPoint(40, 60)));
    if (!IsCursorOver(w.get(), &w->LV())) GTEST_SKIP() << "this platform cannot place the pointer";
    turn();
    const int step = w->LV().TopRow();
    EXPECT_GE(step, 5);  // five notches at most per tick
    QCursor::setPos(w->PictureF().mapToGlobal(QPoint(5, 5)));
    turn();
    EXPECT_EQ(w->LV().TopRow(), step);
    w->OnTick();  // the discarded turn does not come back
    EXPECT_EQ(w->LV().TopRow(), step);
}

TEST(CommandLineStart, ListWaitsForPlayHoldingTheBusyFlagWhileItLoads) {
    qputenv("RILUMO_AUDIO_SINK", "null");
    test::TempDir appDir, media;
    SetAppFolderForTesting(appDir.Path() + u'/');
    const QString a = media.File("a.wav"), b = media.File("b.wav");
    ASSERT_TRUE(test::WriteSineWave(a, 44100, 2, 16, 440, 2000));
    ASSERT_TRUE(test::WriteSineWave(b, 44100, 2, 16, 440, 2000));
    ASSERT_TRUE(test::WriteFile(media.File("list.lst"), (a + "\r\n" + b + "\r\n").toUtf8()));
    {
        FrmMain w(StartupArgs{media.File("list.lst"), QDir::currentPath()});
        int busyWhileLoading = 0;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] { busyWhileLoading |= w.State().busy; });
        watch.start(0);
        w.Load();
        watch.stop();
        EXPECT_EQ(busyWhileLoading, 1);
        EXPECT_EQ(w.State().busy, 0);
        ASSERT_TRUE(test::WaitFor([&] { return w.PicPlay().TextMes(0) == "STOP"; }));
        test::PumpFor(200);
        EXPECT_TRUE(w.Player().FileName().isEmpty());  // nothing started by itself
        QKeyEvent space(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier);
        QCoreApplication::sendEvent(&w, &space);
        ASSERT_TRUE(test::WaitFor([&] { return w.PicPlay().TextMes(0) == "PLAY"; }));
        EXPECT_EQ(w.Player().FileName(), a);
        w.close();
    }
    SetAppFolderForTesting({});
}

TEST_F(PlayerWindow, TheTickSlowsDownWhenNothingCanChangeAndWakesForTheUser) {
    ASSERT_TRUE(WaitFor([&] { return !w->TimerMCI().isActive(); }));
    Fill({Track("a.wav", 3000)});
    Click(2);
    EXPECT_EQ(w->TimerMCI().interval(), 15);
    ASSERT_TRUE(WaitForStatus("PLAY"));
    // Slower while playing, but the end of the track still shows at once.
    ASSERT_TRUE(WaitFor([&] { return w->TimerMCI().interval() > 15; }));
    w->ProgBar().SetValue(990);
    w->ProgBar_MouseUD(false);
    ASSERT_TRUE(WaitFor([&] { return w->State().playIndex == 0 && w->Player().Position(0) < 500; }));
}
