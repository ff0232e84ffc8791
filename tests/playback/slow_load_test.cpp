// Loads whose graph takes seconds to get ready: the FileName write returns at
// once, the polls carry the load on, and what was asked for meanwhile holds.

#include <gtest/gtest.h>

#include "playback/c_fgraph.h"
#include "tests/playback/playback_support.h"

namespace rilumo {
namespace {

using test::kLoadDeadlineMs;
using test::PollUntil;

// The file source hands over the whole file as one buffer, 2.5 s late, as a
// disk waking up would: every graph built on it prerolls that much later.
graph::Catalogue slowSource() {
    graph::Recipe slow;
    slow.factories = {QStringLiteral("filesrc"), QStringLiteral("identity"), QStringLiteral("queue")};
    slow.description =
        QStringLiteral("filesrc name=source blocksize=16777216 ! identity sleep-time=2500000 ! queue");
    slow.fileSource = true;
    graph::Catalogue c;
    c.Register(QStringLiteral("File Source (Async.)"), {slow});
    const graph::Catalogue all = graph::SystemCatalogue();
    for (const graph::RegFilter& e : all.Entries()) {
        if (e.Name != u"File Source (Async.)") c.Register(e.Name, {e.recipe});
    }
    return c;
}

void slowPlayer(C_FGraph& p) {
    p.Context().Catalogue = slowSource;
    p.Init();
}

class SlowLoad : public test::PlayerTest {
protected:
    bool LoadEnds() {
        return PollUntil(p, kLoadDeadlineMs, [&] {
            p.mode();
            return !p.Loading();
        });
    }
};

TEST_F(SlowLoad, TheWriteReturnsAtOnceAndPlayStartsAtFromMSOnceReady) {
    const QString wav = dir.Wave("slow.wav", 3000);
    slowPlayer(p);
    p.SetFileName(wav);
    ASSERT_TRUE(p.Loading());
    EXPECT_EQ(p.FileName(), wav);
    EXPECT_EQ(p.Length(), 0);
    EXPECT_EQ(p.mode(), 1);
    p.SetFromMS(1000);
    ASSERT_EQ(p.Play(), 1);
    EXPECT_EQ(p.mode(), 3);
    EXPECT_EQ(p.Position(0), 1000);
    ASSERT_TRUE(p.Loading()) << "the load did not take long enough to test anything";

    ASSERT_TRUE(PollUntil(p, kLoadDeadlineMs, [&] { return p.mode() == 3 && p.Position(0) > 1000; }));
    EXPECT_FALSE(p.Loading());
    EXPECT_LT(p.Position(0), 2500);
    EXPECT_NEAR(p.Length(), 3000, 50);
    EXPECT_EQ(p.ToMS(), p.Length());
    EXPECT_TRUE(dir.ErrorLines().isEmpty()) << dir.ErrorLines().join('\n').toStdString();
    int seen = 3;
    ASSERT_TRUE(PollUntil(p, kLoadDeadlineMs, [&] { return (seen = p.mode()) != 3; }));
    EXPECT_EQ(seen, 0);
    p.Poll();
    EXPECT_EQ(p.mode(), 1);
}

TEST_F(SlowLoad, PauseAndStopDuringTheLoadChangeWhatHappensOnceReady) {
    const QString wav = dir.Wave("slow.wav", 2000);
    slowPlayer(p);
    p.SetFileName(wav);
    ASSERT_EQ(p.Play(), 1);
    p.Pause();
    EXPECT_EQ(p.mode(), 2);
    p.Pause();
    EXPECT_EQ(p.mode(), 3);
    p.StopIO();
    EXPECT_EQ(p.mode(), 1);
    ASSERT_TRUE(p.Loading());

    ASSERT_TRUE(LoadEnds());
    EXPECT_EQ(p.FileName(), wav);
    EXPECT_FALSE(p.LoadFailed());
    test::PumpFor(300);
    EXPECT_EQ(p.mode(), 1);
    EXPECT_EQ(p.Context().Control->GetState(10), graph::kStateStopped);
    EXPECT_EQ(p.Context().Position->CurrentPosition(), 0.0);  // it never ran
    ASSERT_EQ(p.Play(), 1);
    EXPECT_TRUE(PollUntil(p, kLoadDeadlineMs, [&] { return p.Position(0) > 100; }));
}

TEST_F(SlowLoad, AFileThatFailsEveryStrategyEndsIdleWithTheReasonsLogged) {
    const QString noise = dir.File("noise.wav");
    ASSERT_TRUE(test::WriteFile(noise, test::RandomBytes(8192, 3)));
    p.Init();
    p.SetFileName(noise);
    ASSERT_TRUE(p.Loading());  // both strategies fail only once data flows
    EXPECT_EQ(p.Play(), 1);
    ASSERT_TRUE(LoadEnds());
    EXPECT_TRUE(p.LoadFailed());
    EXPECT_TRUE(p.FileName().isEmpty());
    EXPECT_EQ(p.Length(), 0);
    EXPECT_EQ(p.mode(), 1);
    EXPECT_EQ(p.Position(0), 0);
    EXPECT_EQ(p.Play(), 0);
    const QStringList lines = dir.ErrorLines();
    ASSERT_EQ(lines.size(), 2) << lines.join('\n').toStdString();
    for (const QString& line : lines) {
        EXPECT_TRUE(line.startsWith("PrerollGraph ") && line.endsWith("#" + noise)) << line.toStdString();
    }
    // The next write clears the failure.
    p.SetFileName(dir.Wave("good.wav", 500));
    EXPECT_FALSE(p.LoadFailed());
    EXPECT_TRUE(p.WaitLoaded(kLoadDeadlineMs));
}

TEST_F(SlowLoad, AGraphThatStaysUnreadyFailsAtTheLoadLimit) {
    const QString wav = dir.Wave("slow.wav", 1000);
    p.SetLoadLimit(500);
    slowPlayer(p);
    EXPECT_FALSE(Load(wav));
    EXPECT_TRUE(p.LoadFailed());
    EXPECT_EQ(p.mode(), 1);
    const QString line = QStringLiteral("PrerollGraph preroll timed out#") + wav;
    EXPECT_EQ(dir.ErrorLines(), QStringList({line, line}));
}

TEST_F(SlowLoad, ClosingReplacingOrDestroyingAPendingLoadIsClean) {
    const QString a = dir.Wave("a.wav", 1000);
    const QString b = dir.Wave("b.wav", 1000);
    {
        C_FGraph p;  // its own, destroyed while it loads
        slowPlayer(p);
        p.SetFileName(a);
        ASSERT_EQ(p.Play(), 1);
        p.CloseWave();
        EXPECT_TRUE(p.FileName().isEmpty());
        EXPECT_FALSE(p.LoadFailed());
        EXPECT_EQ(p.mode(), 1);
        EXPECT_EQ(p.Play(), 0);
        p.SetFileName(a);
        p.SetFileName(b);  // a new name while the first still loads
        ASSERT_TRUE(p.Loading());
        ASSERT_TRUE(p.WaitLoaded(kLoadDeadlineMs));
        EXPECT_EQ(p.FileName(), b);
        EXPECT_NEAR(p.Length(), 1000, 50);
        p.SetFileName(a);
        ASSERT_EQ(p.Play(), 1);
    }  // destroyed while loading
    EXPECT_TRUE(graph::Graph::WaitForRetiredGraphs(kLoadDeadlineMs));
}

}  // namespace
}  // namespace rilumo
