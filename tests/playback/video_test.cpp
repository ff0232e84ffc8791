// Video containers play their sound and leave cleanly: the picture is dropped
// where it appears, and no close waits on a streaming thread.

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "playback/graph/graph.h"
#include "playback/media_summary.h"
#include "tests/common/media_fixtures.h"
#include "tests/playback/playback_support.h"

namespace rilumo {
namespace {

using graph::Graph;
using test::kLoadDeadlineMs;
using test::kPlayDeadlineMs;
using test::PollUntil;

// Long enough for any close that returns at once; a wait on a streaming
// thread never returns at all.
constexpr int kCloseBoundMs = 1500;

const char* const kKinds[] = {"avi", "wmv", "mpg", "ogg"};

class VideoFiles : public test::PlayerTest {
protected:
    void SetUp() override {
        if (!test::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    }
    QString Video(const QString& kind, int ms = 2500) {
        const QString path = dir.File("clip." + kind);
        return test::WriteVideoFile(kind, path, ms) ? path : QString();
    }
    // The player's file plays to its reported end, as the window's tick sees it.
    void PlaysToTheEnd(int lengthMs) {
        ASSERT_EQ(p.Play(), 1);
        ASSERT_TRUE(PollUntil(p, kPlayDeadlineMs, [&] { return p.mode() == 3 && p.Position(0) > 300; }));
        int seen = 3;
        ASSERT_TRUE(PollUntil(p, lengthMs + kPlayDeadlineMs, [&] { return (seen = p.mode()) != 3; }));
        EXPECT_EQ(seen, 0) << "the end was not reported";
    }
    static void NoGraphLeftSince(int before) {
        ASSERT_TRUE(Graph::WaitForRetiredGraphs(kLoadDeadlineMs));
        EXPECT_EQ(Graph::PipelinesAlive(), before);
    }
};

TEST_F(VideoFiles, EachPlaysItsSoundToTheEndAndTheWaveAfterItPlays) {
    p.Init();
    const QString wav = dir.Wave("after.wav", 1500);
    for (const char* kind : kKinds) {
        SCOPED_TRACE(kind);
        const QString video = Video(kind);
        ASSERT_FALSE(video.isEmpty());
        ASSERT_TRUE(Load(video)) << dir.ErrorLines().join('\n').toStdString();
        // Ready at once: no graph sat waiting for its picture until it timed out.
        EXPECT_FALSE(dir.ErrorLines().join('\n').contains("PrerollGraph")) << dir.ErrorLines().join('\n').toStdString();
        EXPECT_NEAR(p.Length(), 2500, 200);
        PlaysToTheEnd(p.Length());

        p.CloseWave();
        ASSERT_TRUE(Load(wav));
        ASSERT_EQ(p.Play(), 1);
        EXPECT_TRUE(PollUntil(p, kPlayDeadlineMs, [&] { return p.mode() == 3 && p.Position(0) > 300; }));
        p.CloseWave();
    }
}

TEST_F(VideoFiles, ACloseInTheMiddleReturnsAtOnceAndLeavesNoGraph) {
    ASSERT_TRUE(Graph::WaitForRetiredGraphs(kLoadDeadlineMs));
    const int before = Graph::PipelinesAlive();
    p.Init();
    for (const char* kind : kKinds) {
        SCOPED_TRACE(kind);
        const QString video = Video(kind, 3000);
        ASSERT_TRUE(Load(video));
        ASSERT_EQ(p.Play(), 1);
        ASSERT_TRUE(PollUntil(p, kPlayDeadlineMs, [&] { return p.mode() == 3 && p.Position(0) > 700; }));
        QElapsedTimer clock;
        clock.start();
        p.CloseWave();
        EXPECT_LT(clock.elapsed(), kCloseBoundMs);

        // A new file in place of one still paused after loading leaves as fast.
        ASSERT_TRUE(Load(video));
        clock.restart();
        p.SetFileName(dir.Wave("next.wav", 500));
        EXPECT_LT(clock.elapsed(), kCloseBoundMs);
        ASSERT_TRUE(p.WaitLoaded(kLoadDeadlineMs));
        p.CloseWave();
    }
    NoGraphLeftSince(before);
}

// A long list of videos, each left half-way, must not pile up graphs.
TEST_F(VideoFiles, ManyLoadsAndClosesLeaveNothingBehind) {
    ASSERT_TRUE(Graph::WaitForRetiredGraphs(kLoadDeadlineMs));
    const int before = Graph::PipelinesAlive();
    QStringList videos;
    for (const char* kind : kKinds) videos << Video(kind, 2000);
    {
        C_FGraph player;
        player.Init();
        for (int i = 0; i < 24; ++i) {
            player.SetFileName(videos[i % videos.size()]);
            if (i % 2 == 0) {
                ASSERT_TRUE(player.WaitLoaded(kLoadDeadlineMs));
            }
            player.Play();
            if (i % 3 == 0) PollUntil(player, kPlayDeadlineMs, [&] { return player.Position(0) > 100; });
            player.CloseWave();
        }
    }  // destroyed with nothing loaded
    NoGraphLeftSince(before);
}

// The splitter a chain for AVI files would use: the MP3 beside the picture
// is found, decoded on the way to a renderer that takes raw audio, and played.
TEST_F(VideoFiles, TheAviSplitterPlaysTheSoundOfAnAvi) {
    const QString video = Video("avi", 1500);
    Graph g(graph::SystemCatalogue());
    auto add = [&](const char* name) -> graph::Filter& {
        for (const graph::RegFilter& r : g.RegFilterCollection()) {
            if (r.Name == QLatin1String(name)) return g.AddFilter(r);
        }
        throw std::runtime_error(std::string("not registered: ") + name);
    };
    graph::Filter& source = add("File Source (Async.)");
    graph::Filter& splitter = add("AVI Splitter");
    graph::Filter& renderer = add("Null Audio Renderer");
    source.SetFilename(video);
    source.Pins().back()->Connect(*splitter.Pins().front());
    splitter.Pins().back()->Connect(*renderer.Pins().front());
    EXPECT_NEAR(g.Duration(), 1.5, 0.2);
    g.Run();
    EXPECT_TRUE(PollUntil(kPlayDeadlineMs, [&] { return g.WaitForCompletion(5) != graph::kEventNone; }));
    EXPECT_EQ(g.WaitForCompletion(5), graph::kEventComplete);
    EXPECT_GT(g.CurrentPosition(), 1.0);
}

// What the info box shows comes from graphs of their own, on any thread, that
// never open a sound stream (here the default output cannot open at all), and
// every file gets its answer: a video, a file of zeros, a picture.
TEST_F(VideoFiles, SummariesAnswerForEveryFileOnAWorkerWithoutASoundDevice) {
    qputenv("RILUMO_AUDIO_SINK", "alsasink device=rilumo-no-such-device");
    struct Case {
        QString path;
        int lengthMs;  // -1: whatever comes, as long as it comes
    };
    QList<Case> cases;
    cases << Case{Video("wmv"), 2500} << Case{Video("mpg"), 2500} << Case{Video("ogg"), 2500};
    cases << Case{Video("avi"), -1};
    for (const char* name : {"zeros.wav", "zeros.flac", "zeros.mp3"}) {
        const QString path = dir.File(QString::fromLatin1(name));
        ASSERT_TRUE(test::WriteFile(path, QByteArray(4 << 20, '\0')));
        cases << Case{path, 0};
    }
    const QString picture = dir.File("picture.mp3");
    ASSERT_TRUE(test::WriteFile(picture, QByteArray("\x89PNG\r\n\x1a\n", 8) + test::RandomBytes(3000, 7)));
    cases << Case{picture, 0};

    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        MediaSummary s;
        std::thread worker([&] { s = BuildMediaSummary(c.path); });
        worker.join();
        EXPECT_TRUE(s.Text.startsWith(c.path));
        if (c.lengthMs >= 0) {
            EXPECT_NEAR(s.DurationMs, c.lengthMs, 200);
        }
    }
    qputenv("RILUMO_AUDIO_SINK", "null");
    EXPECT_TRUE(Graph::WaitForRetiredGraphs(kLoadDeadlineMs));
}

}  // namespace
}  // namespace rilumo
