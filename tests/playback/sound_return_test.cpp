// The sound server goes away under a playing track and comes back: the
// player says so, stops claiming to play, and plays on by itself where it
// stopped; or gives up after its limit. Against a private PulseAudio and a
// private PipeWire (with its PulseAudio-protocol server), killed and
// started again on the same socket.

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <algorithm>

#include "playback/c_fgraph.h"
#include "tests/common/sound_server.h"
#include "tests/playback/playback_support.h"

namespace rilumo {
namespace {

using Kind = test::SoundServer::Kind;

class SoundReturn : public test::PlayerTest, public ::testing::WithParamInterface<Kind> {
protected:
    void SetUp() override {
        server = std::make_unique<test::SoundServer>(44100, GetParam());
        if (!server->Ok()) GTEST_SKIP() << "no private sound server here: " << server->Error().toStdString();
        output = std::make_unique<test::PlayInto>(*server);
        p.Init();
        ASSERT_EQ(p.Context().RendererName, "default waveout device");
    }
    void TearDown() override {
        p.CloseWave();
        output.reset();
    }
    // Lines of the log that speak of the sound output.
    QStringList OutputLines() const { return dir.ErrorLines().filter("sound output"); }
    bool StreamsInto(int count) {
        return test::PollUntil(test::kPlayDeadlineMs, [&] { return server->StreamCount() == count; });
    }
    // Also notes the longest poll meanwhile: the one that finds the loss
    // takes the lost graph down.
    bool Lost() {
        qint64 longest = 0;
        const bool lost = test::PollUntil(test::kPlayDeadlineMs, [&] {
            QElapsedTimer t;
            t.start();
            p.Poll();
            const int m = p.mode();
            longest = std::max(longest, t.elapsed());
            return m == 2 && p.OutputLost();
        });
        RecordProperty("longest_poll_ms", std::to_string(longest));
        return lost;
    }

    std::unique_ptr<test::SoundServer> server;
    std::unique_ptr<test::PlayInto> output;
};

TEST_P(SoundReturn, PlaybackGoesOnWhereItWasLostAndTheNextFileJoinsAfterwards) {
    const QString first = dir.Wave("first.wav", 5000);
    const QString second = dir.Wave("second.wav", 1500, 880);
    ASSERT_TRUE(Load(first)) << dir.ErrorLines().join('\n').toStdString();
    ASSERT_EQ(p.Play(), 1);
    ASSERT_TRUE(PlaysPast(1200));
    ASSERT_TRUE(StreamsInto(1));

    server->Kill();
    ASSERT_TRUE(Lost()) << "mode " << p.mode();
    const int lostAt = p.Position(0);
    EXPECT_GT(lostAt, 1000);
    ASSERT_EQ(OutputLines().size(), 1);
    EXPECT_TRUE(OutputLines()[0].startsWith("sound output lost: ")) << OutputLines()[0].toStdString();
    // Tries against the dead server say nothing more, and the time stands.
    test::PollUntil(2500, [] { return false; });
    EXPECT_EQ(p.mode(), 2);
    EXPECT_EQ(p.Position(0), lostAt);
    EXPECT_EQ(OutputLines().size(), 1) << OutputLines().join('\n').toStdString();

    ASSERT_TRUE(server->Start()) << server->Error().toStdString();
    QElapsedTimer back;
    back.start();
    ASSERT_TRUE(test::PollUntil(p, test::kPlayDeadlineMs, [&] { return p.mode() == 3; }));
    RecordProperty("resumed_after_ms", std::to_string(back.elapsed()));
    EXPECT_LT(back.elapsed(), 10000);
    EXPECT_GE(p.Position(0), lostAt - 100);
    EXPECT_TRUE(PlaysPast(lostAt + 500));
    EXPECT_TRUE(StreamsInto(1));
    ASSERT_EQ(OutputLines().size(), 2);
    EXPECT_TRUE(OutputLines()[1].startsWith("sound output back")) << OutputLines()[1].toStdString();

    // The rebuilt graph takes the next file at its end, as any graph does.
    ASSERT_TRUE(test::PollUntil(p, test::kPlayDeadlineMs, [&] { return p.Position(1) < 3000; }));
    ASSERT_TRUE(p.PrepareNext(second));
    ASSERT_TRUE(test::PollUntil(p, test::kPlayDeadlineMs, [&] { return p.mode() == 0; }));
    ASSERT_EQ(p.JoinedName(), second);
    ASSERT_TRUE(p.AdoptJoined());
    EXPECT_TRUE(PlaysPast(300));
    EXPECT_EQ(server->StreamCount(), 1);
    EXPECT_EQ(OutputLines().size(), 2);
}

TEST_P(SoundReturn, ATrackStartedWhileTheServerIsDownPlaysOnceItIsBack) {
    server->Kill();
    const QString wav = dir.Wave("tone.wav", 3000);
    p.SetFileName(wav);
    ASSERT_EQ(p.Play(), 1);
    ASSERT_TRUE(Lost());
    EXPECT_FALSE(p.LoadFailed());
    EXPECT_EQ(p.FileName(), wav);
    // Not taken for a broken file: one line, and no preroll failure.
    ASSERT_EQ(dir.ErrorLines().size(), 1) << dir.ErrorLines().join('\n').toStdString();
    EXPECT_TRUE(dir.ErrorLines()[0].startsWith("sound output lost: "));
    // Stopped meanwhile it stays loaded and stopped; asked to play, it waits to play.
    p.StopIO();
    EXPECT_EQ(p.mode(), 1);
    EXPECT_EQ(p.Position(0), 0);
    p.SetFromMS(200);
    ASSERT_EQ(p.Play(), 1);
    EXPECT_EQ(p.mode(), 2);
    EXPECT_EQ(p.Position(0), 200);

    ASSERT_TRUE(server->Start()) << server->Error().toStdString();
    EXPECT_TRUE(PlaysPast(500));
    EXPECT_EQ(p.Length(), 3000);
    EXPECT_TRUE(StreamsInto(1));
    EXPECT_EQ(OutputLines().size(), 2);
}

TEST_P(SoundReturn, PastTheRetryLimitThePlayerGivesUpAndPlaysAgainWhenAsked) {
    p.SetOutputRetryLimit(2500);
    const QString wav = dir.Wave("tone.wav", 8000);
    ASSERT_TRUE(Load(wav));
    ASSERT_EQ(p.Play(), 1);
    ASSERT_TRUE(PlaysPast(500));
    server->Kill();
    ASSERT_TRUE(Lost());
    ASSERT_TRUE(test::PollUntil(p, test::kPlayDeadlineMs, [&] { return p.mode() == 1; }));
    EXPECT_TRUE(p.OutputGaveUp());
    EXPECT_TRUE(p.LoadFailed());
    EXPECT_TRUE(p.FileName().isEmpty());
    EXPECT_EQ(p.Position(0), 0);
    ASSERT_EQ(OutputLines().size(), 2);
    EXPECT_TRUE(OutputLines()[1].startsWith("sound output not back after 2.5 s")) << OutputLines()[1].toStdString();

    ASSERT_TRUE(server->Start());
    ASSERT_TRUE(Load(wav));
    EXPECT_FALSE(p.OutputGaveUp());
    ASSERT_EQ(p.Play(), 1);
    EXPECT_TRUE(PlaysPast(500));
}

INSTANTIATE_TEST_SUITE_P(Servers, SoundReturn, ::testing::Values(Kind::PulseAudio, Kind::PipeWire),
                         [](const auto& info) { return info.param == Kind::PulseAudio ? "PulseAudio" : "PipeWire"; });

}  // namespace
}  // namespace rilumo
