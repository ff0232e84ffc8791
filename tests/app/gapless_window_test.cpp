// Gapless auto-advance through the real window: what is heard at the joins,
// and what the user and the commands do to a file prepared to follow.

#include <QFile>

#include "playback/graph/graph.h"
#include "tests/app/window_fixture.h"

using namespace rilumo;
using test::PlayerWindow;

namespace {

constexpr int kRate = 44100;

class GaplessWindow : public PlayerWindow {
protected:
    bool Prepared() const { return !w->Player().NextName().isEmpty(); }
    bool WaitPrepared() {
        return WaitFor([&] { return Prepared(); });
    }
    QString ErrorLog() const {
        QFile f(appDir.Path() + "/log/sirel.err");
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
};

TEST_F(GaplessWindow, AnAlbumOfTwoHalvesPlaysRoundWithoutAGapAndTheWindowFollowsEachJoin) {
    const QString recording = media.File("recording.raw");
    qputenv("RILUMO_AUDIO_SINK", test::RecordingSink(recording));
    // Together a whole number of periods, so the round from b to a joins too.
    const qint64 first = kRate + 37;
    const qint64 second = kRate / 2 + 13;
    const QString a = media.File("a.wav");
    const QString b = media.File("b.wav");
    ASSERT_TRUE(test::WriteSinePart(a, kRate, 0, first));
    ASSERT_TRUE(test::WriteSinePart(b, kRate, first, second));
    Fill({a, b});
    Click(2);
    QList<int> seen;
    ASSERT_TRUE(WaitFor([&] {
        const int p = w->State().playIndex;
        if (seen.isEmpty() || seen.back() != p) seen << p;
        return seen.size() >= 3;
    }));
    EXPECT_EQ(seen, (QList<int>{0, 1, 0}));
    // The window shows the new track as any start does.
    EXPECT_TRUE(WaitForStatus("PLAY"));
    EXPECT_TRUE(LampsOn());
    EXPECT_EQ(w->LV().DispColor(0), 0x00FF00u);
    EXPECT_EQ(w->LV().DispColor(1), 0xFFFFFFu);
    EXPECT_TRUE(Playing().endsWith("a.wav"));
    Click(0);
    w->Player().CloseWave();
    // The renderer writes its last samples as its graph goes, on a worker.
    ASSERT_TRUE(graph::Graph::WaitForRetiredGraphs(20000));
    const std::vector<qint16> got = test::ReadLeftChannel(recording);
    ASSERT_GT(static_cast<qint64>(got.size()), first + second);
    EXPECT_EQ(test::SamplesOffSine(got, kRate), 0);
}

TEST_F(GaplessWindow, StopClearDeleteAndDoubleClickWhileTheNextFileIsPreparedEndAsWithoutIt) {
    const QString a = Track("a.wav", 1500);
    const QString b = Track("b.wav", 1500, 550);
    const QString c = Track("c.wav", 1500, 660);

    // Stop: nothing follows.
    Fill({a, b, c});
    Click(2);
    ASSERT_TRUE(WaitPrepared());
    EXPECT_EQ(w->Player().NextName(), b);
    Click(0);
    EXPECT_FALSE(Prepared());
    ASSERT_TRUE(WaitForStatus("STOP"));
    QThread::msleep(1800);
    QCoreApplication::processEvents();
    EXPECT_EQ(Status(), "STOP");
    EXPECT_EQ(w->State().playIndex, 0);

    // The prepared entry deleted: the one now after the playing entry follows.
    Select(0);
    Click(2);
    ASSERT_TRUE(WaitPrepared());
    Select(1);
    w->MenuDel_Click();
    EXPECT_FALSE(Prepared());
    // The playing track goes on to its end, untouched by the drop.
    QThread::msleep(300);
    QCoreApplication::processEvents();
    EXPECT_EQ(Playing(), a);
    ASSERT_TRUE(WaitFor([&] { return Playing() == c; }));
    EXPECT_EQ(w->State().playIndex, 1);
    EXPECT_EQ(ErrorLog(), QString());

    // A double-click elsewhere: that entry plays and ends in "STOP".
    ASSERT_TRUE(WaitPrepared());
    Select(0);
    w->LV_DblClicked();
    EXPECT_TRUE(Playing() == a || w->Player().Loading());
    ASSERT_TRUE(WaitFor([&] { return Status() == "STOP"; }, 8000));
    EXPECT_EQ(w->State().playIndex, 0);

    // "クリア" while prepared: the list and the sound both go.
    Click(2);
    ASSERT_TRUE(WaitPrepared());
    w->MenuFileClick(5);
    EXPECT_FALSE(Prepared());
    ASSERT_TRUE(WaitForStatus("STOP"));
    EXPECT_EQ(w->LV().ItemCount(), 0);
}

}  // namespace
