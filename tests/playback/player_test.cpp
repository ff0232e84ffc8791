#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>

#include <cmath>

#include "playback/c_fgraph.h"
#include "tests/playback/playback_support.h"

namespace rilumo {
namespace {

using test::kPlayDeadlineMs;
using test::PollUntil;
using test::PumpFor;
using Player = test::PlayerTest;

graph::Catalogue systemWithout(const QStringList& names) {
    graph::Catalogue c;
    const graph::Catalogue all = graph::SystemCatalogue();
    for (const graph::RegFilter& e : all.Entries()) {
        if (!names.contains(e.Name)) c.Register(e.Name, {e.recipe});
    }
    return c;
}

// Position(kind) read between two reads of Position(0): what it says lies
// between what those two say, however long the reads take.
void expectPositionBetweenReads(C_FGraph& p, int kind, int from) {
    const int before = p.Position(0);
    const int value = p.Position(kind);
    const int after = p.Position(0);
    // A read just after a seek may still give the old place, a little earlier.
    EXPECT_LE(value, from - before + 10) << kind;
    EXPECT_GE(value, from - after - 10) << kind;
}

TEST_F(Player, LoadsAWaveFileWithItsTrueLength) {
    p.Init();
    const QString wav = dir.Wave("tone.wav", 1500);
    ASSERT_TRUE(Load(wav));
    EXPECT_EQ(p.FileName(), wav);
    EXPECT_NEAR(p.Length(), 1500, 50);
    EXPECT_EQ(p.ToMS(), p.Length());
    EXPECT_EQ(p.mode(), 1);
    EXPECT_EQ(p.Position(0), 0);
    EXPECT_EQ(FilterNames(), QStringList({"File Source (Async.)", "Wave Parser", "Default WaveOut Device"}));
    EXPECT_TRUE(dir.ErrorLines().isEmpty()) << dir.ErrorLines().join('\n').toStdString();
}

TEST_F(Player, PlaysPausesSeeksStopsAndCloses) {
    ASSERT_TRUE(InitWithTone(3000));
    QElapsedTimer sincePlay;
    sincePlay.start();
    ASSERT_EQ(p.Play(), 1);
    EXPECT_EQ(p.mode(), 3);
    ASSERT_TRUE(PlaysPast(300));
    // The clocked renderer never runs ahead of real time.
    EXPECT_LE(p.Position(0), sincePlay.elapsed() + 50);
    expectPositionBetweenReads(p, 1, p.Length());

    p.Pause();
    EXPECT_EQ(p.mode(), 2);
    PumpFor(100);
    const int held = p.Position(0);
    PumpFor(300);
    EXPECT_NEAR(p.Position(0), held, 30);
    p.Pause();
    EXPECT_EQ(p.mode(), 3);
    EXPECT_TRUE(PlaysPast(held + 150));

    // Play while playing starts again from FromMS.
    p.SetFromMS(2000);
    ASSERT_EQ(p.Play(), 1);
    EXPECT_GE(p.Position(0), 2000);
    EXPECT_LT(p.Position(0), 2500);
    EXPECT_TRUE(PlaysPast(2000));

    p.StopIO();
    EXPECT_EQ(p.mode(), 1);
    EXPECT_EQ(p.Position(0), 0);
    EXPECT_EQ(p.FileName().isEmpty(), false);

    p.SetFromMS(0);
    ASSERT_EQ(p.Play(), 1);
    EXPECT_LT(p.Position(0), 500);
    p.CloseWave();
    EXPECT_TRUE(p.FileName().isEmpty());
    EXPECT_EQ(p.Length(), 0);
    EXPECT_EQ(p.mode(), 1);
    EXPECT_EQ(p.Play(), 0);
}

TEST_F(Player, ReportsTheEndOnceThenStopped) {
    p.Init();
    p.SetFileName(dir.Wave("short.wav", 600));
    ASSERT_EQ(p.Play(), 1);
    // Still running half-way through: the end is not reported early.
    ASSERT_TRUE(PlaysPast(300));
    int seen = 3;
    ASSERT_TRUE(PollUntil(p, kPlayDeadlineMs, [&] { return (seen = p.mode()) != 3; }));
    EXPECT_EQ(seen, 0);
    p.Poll();
    EXPECT_EQ(p.mode(), 1);
    EXPECT_EQ(p.mode(), 1);
    // The file stays loaded and plays again.
    EXPECT_EQ(p.Play(), 1);
    EXPECT_EQ(p.mode(), 3);
}

// A reader such as the MPRIS service may ask at any time: only Poll moves the
// load on, stops at the stop point and takes the end in.
TEST_F(Player, ReadsChangeNothingTillThePoll) {
    p.Init();
    p.SetFileName(dir.Wave("tone.wav", 3000));
    ASSERT_TRUE(p.Loading());
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(p.mode(), 1);
        EXPECT_EQ(p.Position(0), 0);
        PumpFor(15);
    }
    EXPECT_TRUE(p.Loading());
    EXPECT_EQ(p.Length(), 0);
    ASSERT_TRUE(PollUntil(p, kPlayDeadlineMs, [&] { return p.LoadSettled(); }));

    p.SetToMS(100);
    ASSERT_EQ(p.Play(), 1);
    EXPECT_TRUE(PollUntil(kPlayDeadlineMs, [&] { return p.Position(0) > 300; }));
    EXPECT_EQ(p.mode(), 3);
    p.Poll();
    EXPECT_EQ(p.mode(), 1);

    p.SetFileName(dir.Wave("short.wav", 600));
    ASSERT_EQ(p.Play(), 1);
    ASSERT_TRUE(PollUntil(p, kPlayDeadlineMs, [&] { return p.mode() != 3; }));
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(p.mode(), 0);
        EXPECT_EQ(p.Position(0), 0);
    }
    p.Poll();
    EXPECT_EQ(p.mode(), 1);
}

TEST_F(Player, TheSameFileNameKeepsPlayingAndClearsTheRange) {
    ASSERT_TRUE(InitWithTone(3000));
    const int length = p.Length();
    ASSERT_EQ(p.Play(), 1);
    ASSERT_TRUE(PlaysPast(250));
    p.SetFromMS(700);
    p.SetToMS(900);
    p.SetFileName(p.FileName());
    EXPECT_EQ(p.FromMS(), 0);
    EXPECT_EQ(p.ToMS(), 0);
    EXPECT_EQ(p.Length(), length);
    EXPECT_EQ(p.mode(), 3);
    EXPECT_GT(p.Position(0), 200);
}

TEST_F(Player, AMissingFileTearsDownAndLeavesThePlayerIdleWithOneLine) {
    p.Init();
    p.SetFileName(dir.Wave("tone.wav", 1000));
    ASSERT_EQ(p.Play(), 1);
    p.SetFileName(dir.File("gone.wav"));
    EXPECT_TRUE(p.FileName().isEmpty());
    EXPECT_EQ(p.Length(), 0);
    EXPECT_EQ(p.mode(), 1);
    EXPECT_TRUE(p.LoadFailed());
    EXPECT_EQ(p.Play(), 0);
    EXPECT_EQ(p.mode(), 1);
    const QStringList lines = dir.ErrorLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains("file not found: " + dir.File("gone.wav"))) << lines[0].toStdString();
}

TEST_F(Player, ToMSEndsPlaybackEarlyAndPositionKindsAgree) {
    ASSERT_TRUE(InitWithTone(3000));
    ASSERT_EQ(p.Play(), 1);
    expectPositionBetweenReads(p, 1, p.Length());
    EXPECT_EQ(p.Position(5), 0);
    p.SetToMS(1000);
    expectPositionBetweenReads(p, 2, 1000);
    // The stop point stops it: mode goes to 1 without the end's 0.
    int seen = 3;
    ASSERT_TRUE(PollUntil(p, kPlayDeadlineMs, [&] {
        p.Position(0);
        return (seen = p.mode()) != 3;
    }));
    EXPECT_EQ(seen, 1);
}

TEST_F(Player, PlaySpeedIsAlwaysPositive) {
    p.Init();
    for (float s : {0.0f, -1.0f, std::nanf("")}) {
        p.SetPlaySpeed(s);
        EXPECT_FLOAT_EQ(p.PlaySpeed(), 0.1f);
    }
    p.SetPlaySpeed(1.5f);
    EXPECT_FLOAT_EQ(p.PlaySpeed(), 1.5f);
}

TEST_F(Player, DevModeOneRunsAtThePlaySpeed) {
    p.SetDevMode(1);
    ASSERT_TRUE(InitWithTone(3000));
    ASSERT_EQ(p.Play(), 1);
    ASSERT_TRUE(PlaysPast(50));
    p.SetPlaySpeed(2.0f);
    // Past the seek that changed the rate.
    const int changed = p.Position(0);
    ASSERT_TRUE(PlaysPast(changed + 100));
    QElapsedTimer t;
    t.start();
    const int a = p.Position(0);
    PumpFor(400);
    const int b = p.Position(0);
    EXPECT_NEAR(static_cast<double>(b - a) / t.elapsed(), 2.0, 0.5);
}

TEST_F(Player, AnUnknownTypeLogsTwiceThenPlaysThroughTheDirectLink) {
    const QString mp3 = dir.Encoded("mp3", "tone.mp3", 1000);
    if (mp3.isEmpty()) GTEST_SKIP() << "no MP3 encoder";
    const QString odd = dir.File("tone.xyz");
    ASSERT_TRUE(QFile::rename(mp3, odd));
    p.Init();
    ASSERT_TRUE(Load(odd));
    const QString line = QStringLiteral("SetupPinsToDecode Unknown Filetype #") + odd;
    EXPECT_EQ(dir.ErrorLines(), QStringList({line, line}));
    EXPECT_EQ(p.FileName(), odd);
    EXPECT_NEAR(p.Length(), 1000, 120);
    ASSERT_EQ(p.Play(), 1);
    EXPECT_EQ(p.mode(), 3);
}

TEST_F(Player, WithoutAnMp3DecoderBothAttemptsUseTheAcmWrapper) {
    const QString mp3 = dir.Encoded("mp3", "tone.mp3", 1000);
    if (mp3.isEmpty()) GTEST_SKIP() << "no MP3 encoder";
    p.Context().Catalogue = [] { return systemWithout({"MPEG Layer-3 Decoder", "MP3 Decoder DMO"}); };
    p.Init();
    EXPECT_EQ(p.Context().Mp3DecoderKind, 0);
    ASSERT_TRUE(Load(mp3));
    EXPECT_TRUE(FilterNames().contains("ACM Wrapper"));
    EXPECT_TRUE(dir.ErrorLines().isEmpty());
    EXPECT_NEAR(p.Length(), 1000, 120);

    // With no ACM Wrapper either, both attempts name it, then the direct link plays.
    p.CloseWave();
    p.Context().Catalogue = [] {
        return systemWithout({"MPEG Layer-3 Decoder", "MP3 Decoder DMO", "ACM Wrapper"});
    };
    p.Init();
    ASSERT_TRUE(Load(mp3));
    const QStringList failed = {"acm wrappernot found",
                                "SetupPinsToDecode mpeg-i stream splitter#acm wrapper connect failed"};
    EXPECT_EQ(dir.ErrorLines(), failed + failed);
    EXPECT_EQ(p.FileName(), mp3);
    ASSERT_EQ(p.Play(), 1);
    EXPECT_EQ(p.mode(), 3);
}

TEST_F(Player, AMidiChainEndsInTheMidiDeviceWithoutTheRenderer) {
    if (graph::SoundFontPath().isEmpty()) GTEST_SKIP() << "no sound font";
    const QString mid = dir.Midi("tune.mid", 4);
    p.Init();
    ASSERT_TRUE(Load(mid));
    EXPECT_EQ(FilterNames(), QStringList({"File Source (Async.)", "MIDI Parser", "Default MidiOut Device"}));
    EXPECT_NEAR(p.Length(), 2000, 100);
    ASSERT_EQ(p.Play(), 1);
    EXPECT_TRUE(PlaysPast(100));

    p.CloseWave();
    p.Context().Catalogue = [] { return systemWithout({"Default MidiOut Device"}); };
    p.Init();
    Load(mid);
    const QStringList lines = dir.ErrorLines();
    const QStringList failed = {"default midiout devicenot found",
                                "SetupPinsToDecode midi parser#default midiout device connect failed"};
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines.mid(0, 4), failed + failed);
}

TEST_F(Player, VolumeFollowsTheAttenuationCurveInDevModeOne) {
    p.SetDevMode(1);
    ASSERT_TRUE(InitWithTone(1000));
    const std::pair<int, int> curve[] = {{-1000, -250}, {-2000, -1000}, {-3999, -3998}, {-4000, -10000},
                                         {-6000, -10000}, {0, 0}, {1000, -250}, {5000, -6250}};
    for (auto [v, volume] : curve) {
        p.SetAttenuation(v);
        EXPECT_EQ(p.Context().Audio->Volume(), volume) << v;
        EXPECT_EQ(p.Attenuation(), volume) << v;  // the read takes the device's value
    }
    p.SetPanValue(-3000);
    EXPECT_EQ(p.PanValue(), -3000);
    // A floor of 0 divides by zero: the write gives up and keeps the old value.
    p.SetAttenuation(-2000);
    p.SetVolMinLevel(0);
    p.SetAttenuation(500);
    EXPECT_EQ(p.Context().Audio->Volume(), -1000);
}

TEST_F(Player, DevModeZeroOnlyStoresTheControls) {
    ASSERT_TRUE(InitWithTone(1000));
    p.SetAttenuation(-2000);
    p.SetPanValue(4000);
    EXPECT_EQ(p.Attenuation(), -2000);
    EXPECT_EQ(p.PanValue(), 4000);
    EXPECT_EQ(p.Context().Audio->Volume(), 0);
    EXPECT_EQ(p.Context().Audio->Balance(), 0);
}

TEST_F(Player, StoredControlsOutOfRangeNoLongerFailTheLoad) {
    p.Init();
    p.SetAttenuation(5000);  // stored as asked while nothing applies it
    p.SetPanValue(20000);
    p.SetDevMode(1);
    const QString wav = dir.Wave("tone.wav", 1000);
    ASSERT_TRUE(Load(wav));
    EXPECT_EQ(p.FileName(), wav);
    EXPECT_EQ(p.Context().Audio->Volume(), 0);
    EXPECT_EQ(p.Context().Audio->Balance(), 10000);
}

}  // namespace
}  // namespace rilumo
