#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>

#include <cmath>

#include "playback/c_fgraph.h"
#include "tests/playback/playback_support.h"

namespace rilumo {
namespace {

using test::PlaybackDir;
using test::PollUntil;
using test::PumpFor;

graph::Catalogue systemWithout(const QStringList& names) {
    graph::Catalogue c;
    const graph::Catalogue all = graph::SystemCatalogue();
    for (const graph::RegFilter& e : all.Entries()) {
        if (!names.contains(e.Name)) c.Register(e.Name, {e.recipe});
    }
    return c;
}

QStringList filterNames(C_FGraph& p) {
    QStringList names;
    if (!p.Context().Control) return names;
    for (graph::Filter* f : p.Context().Control->FilterCollection()) names << f->Name();
    return names;
}

TEST(Player, LoadsAWaveFileWithItsTrueLength) {
    PlaybackDir dir;
    const QString wav = dir.Wave("tone.wav", 1500);
    C_FGraph p;
    p.Init();
    p.SetFileName(wav);
    ASSERT_TRUE(p.WaitLoaded(test::kLoadDeadlineMs));
    EXPECT_EQ(p.FileName(), wav);
    EXPECT_NEAR(p.Length(), 1500, 50);
    EXPECT_EQ(p.ToMS(), p.Length());
    EXPECT_EQ(p.mode(), 1);
    EXPECT_EQ(p.Position(0), 0);
    EXPECT_EQ(filterNames(p), QStringList({"File Source (Async.)", "Wave Parser", "Default WaveOut Device"}));
    EXPECT_TRUE(dir.ErrorLines().isEmpty()) << dir.ErrorLines().join('\n').toStdString();
}

TEST(Player, PlaysPausesSeeksStopsAndCloses) {
    PlaybackDir dir;
    C_FGraph p;
    p.Init();
    p.SetFileName(dir.Wave("tone.wav", 3000));
    ASSERT_TRUE(p.WaitLoaded(test::kLoadDeadlineMs));
    ASSERT_EQ(p.Play(), 1);
    EXPECT_EQ(p.mode(), 3);
    PumpFor(500);
    const int at = p.Position(0);
    EXPECT_GT(at, 300);
    EXPECT_LT(at, 900);
    EXPECT_NEAR(p.Position(1), p.Length() - at, 40);

    p.Pause();
    EXPECT_EQ(p.mode(), 2);
    PumpFor(100);
    const int held = p.Position(0);
    PumpFor(300);
    EXPECT_NEAR(p.Position(0), held, 30);
    p.Pause();
    EXPECT_EQ(p.mode(), 3);
    PumpFor(300);
    EXPECT_GT(p.Position(0), held + 150);

    // Play while playing starts again from FromMS.
    p.SetFromMS(2000);
    ASSERT_EQ(p.Play(), 1);
    PumpFor(100);
    EXPECT_GE(p.Position(0), 2000);
    EXPECT_LT(p.Position(0), 2500);

    p.StopIO();
    EXPECT_EQ(p.mode(), 1);
    EXPECT_EQ(p.Position(0), 0);
    EXPECT_EQ(p.FileName().isEmpty(), false);

    p.SetFromMS(0);
    ASSERT_EQ(p.Play(), 1);
    PumpFor(200);
    EXPECT_LT(p.Position(0), 500);
    p.CloseWave();
    EXPECT_TRUE(p.FileName().isEmpty());
    EXPECT_EQ(p.Length(), 0);
    EXPECT_EQ(p.mode(), 1);
    EXPECT_EQ(p.Play(), 0);
}

TEST(Player, ReportsTheEndOnceThenStopped) {
    PlaybackDir dir;
    C_FGraph p;
    p.Init();
    p.SetFileName(dir.Wave("short.wav", 600));
    QElapsedTimer t;
    t.start();
    ASSERT_EQ(p.Play(), 1);
    int seen = 3;
    ASSERT_TRUE(PollUntil(3000, [&] { return (seen = p.mode()) != 3; }));
    EXPECT_EQ(seen, 0);
    EXPECT_GT(t.elapsed(), 450);
    EXPECT_EQ(p.mode(), 1);
    EXPECT_EQ(p.mode(), 1);
    // The file stays loaded and plays again.
    EXPECT_EQ(p.Play(), 1);
    EXPECT_EQ(p.mode(), 3);
}

TEST(Player, TheSameFileNameKeepsPlayingAndClearsTheRange) {
    PlaybackDir dir;
    const QString wav = dir.Wave("tone.wav", 3000);
    C_FGraph p;
    p.Init();
    p.SetFileName(wav);
    ASSERT_TRUE(p.WaitLoaded(test::kLoadDeadlineMs));
    const int length = p.Length();
    ASSERT_EQ(p.Play(), 1);
    PumpFor(300);
    p.SetFromMS(700);
    p.SetToMS(900);
    p.SetFileName(wav);
    EXPECT_EQ(p.FromMS(), 0);
    EXPECT_EQ(p.ToMS(), 0);
    EXPECT_EQ(p.Length(), length);
    EXPECT_EQ(p.mode(), 3);
    EXPECT_GT(p.Position(0), 200);
}

TEST(Player, AMissingFileTearsDownAndLeavesThePlayerIdleUnlogged) {
    PlaybackDir dir;
    C_FGraph p;
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
    EXPECT_TRUE(dir.ErrorLines().isEmpty());
}

TEST(Player, ToMSEndsPlaybackEarlyAndPositionKindsAgree) {
    PlaybackDir dir;
    C_FGraph p;
    p.Init();
    p.SetFileName(dir.Wave("tone.wav", 3000));
    ASSERT_TRUE(p.WaitLoaded(test::kLoadDeadlineMs));
    ASSERT_EQ(p.Play(), 1);
    EXPECT_NEAR(p.Position(1), p.Length(), 60);
    EXPECT_EQ(p.Position(5), 0);
    p.SetToMS(400);
    EXPECT_NEAR(p.Position(2), 400, 60);
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(PollUntil(2500, [&] {
        p.Position(0);
        return p.mode() == 1;
    }));
    EXPECT_LT(t.elapsed(), 1500);
}

TEST(Player, PlaySpeedIsAlwaysPositive) {
    C_FGraph p;
    p.Init();
    for (float s : {0.0f, -1.0f, std::nanf("")}) {
        p.SetPlaySpeed(s);
        EXPECT_FLOAT_EQ(p.PlaySpeed(), 0.1f);
    }
    p.SetPlaySpeed(1.5f);
    EXPECT_FLOAT_EQ(p.PlaySpeed(), 1.5f);
}

TEST(Player, DevModeOneRunsAtThePlaySpeed) {
    PlaybackDir dir;
    C_FGraph p;
    p.SetDevMode(1);
    p.Init();
    p.SetFileName(dir.Wave("tone.wav", 3000));
    ASSERT_TRUE(p.WaitLoaded(test::kLoadDeadlineMs));
    ASSERT_EQ(p.Play(), 1);
    p.SetPlaySpeed(2.0f);
    PumpFor(200);
    const int a = p.Position(0);
    PumpFor(400);
    EXPECT_NEAR(p.Position(0) - a, 800, 200);
}

TEST(Player, AnUnknownTypeLogsTwiceThenPlaysThroughTheDirectLink) {
    PlaybackDir dir;
    const QString mp3 = dir.Encoded("mp3", "tone.mp3", 1000);
    if (mp3.isEmpty()) GTEST_SKIP() << "no MP3 encoder";
    const QString odd = dir.File("tone.xyz");
    ASSERT_TRUE(QFile::rename(mp3, odd));
    C_FGraph p;
    p.Init();
    p.SetFileName(odd);
    ASSERT_TRUE(p.WaitLoaded(test::kLoadDeadlineMs));
    const QString line = QStringLiteral("SetupPinsToDecode Unknown Filetype #") + odd;
    EXPECT_EQ(dir.ErrorLines(), QStringList({line, line}));
    EXPECT_EQ(p.FileName(), odd);
    EXPECT_NEAR(p.Length(), 1000, 120);
    ASSERT_EQ(p.Play(), 1);
    EXPECT_EQ(p.mode(), 3);
}

TEST(Player, WithoutAnMp3DecoderBothAttemptsUseTheAcmWrapper) {
    PlaybackDir dir;
    const QString mp3 = dir.Encoded("mp3", "tone.mp3", 1000);
    if (mp3.isEmpty()) GTEST_SKIP() << "no MP3 encoder";
    {
        C_FGraph p;
        p.Context().Catalogue = [] { return systemWithout({"MPEG Layer-3 Decoder", "MP3 Decoder DMO"}); };
        p.Init();
        EXPECT_EQ(p.Context().Mp3DecoderKind, 0);
        p.SetFileName(mp3);
        ASSERT_TRUE(p.WaitLoaded(test::kLoadDeadlineMs));
        EXPECT_TRUE(filterNames(p).contains("ACM Wrapper"));
        EXPECT_TRUE(dir.ErrorLines().isEmpty());
        EXPECT_NEAR(p.Length(), 1000, 120);
    }
    // With no ACM Wrapper either, both attempts name it, then the direct link plays.
    C_FGraph p;
    p.Context().Catalogue = [] {
        return systemWithout({"MPEG Layer-3 Decoder", "MP3 Decoder DMO", "ACM Wrapper"});
    };
    p.Init();
    p.SetFileName(mp3);
    ASSERT_TRUE(p.WaitLoaded(test::kLoadDeadlineMs));
    const QStringList failed = {"acm wrappernot found",
                                "SetupPinsToDecode mpeg-i stream splitter#acm wrapper connect failed"};
    EXPECT_EQ(dir.ErrorLines(), failed + failed);
    EXPECT_EQ(p.FileName(), mp3);
    ASSERT_EQ(p.Play(), 1);
    EXPECT_EQ(p.mode(), 3);
}

TEST(Player, AMidiChainEndsInTheMidiDeviceWithoutTheRenderer) {
    PlaybackDir dir;
    const QString mid = dir.Midi("tune.mid", 4);
    {
        C_FGraph p;
        p.Init();
        if (graph::SoundFontPath().isEmpty()) GTEST_SKIP() << "no sound font";
        p.SetFileName(mid);
        ASSERT_TRUE(p.WaitLoaded(test::kLoadDeadlineMs));
        EXPECT_EQ(filterNames(p), QStringList({"File Source (Async.)", "MIDI Parser", "Default MidiOut Device"}));
        EXPECT_NEAR(p.Length(), 2000, 100);
        ASSERT_EQ(p.Play(), 1);
        PumpFor(300);
        EXPECT_EQ(p.mode(), 3);
        EXPECT_GT(p.Position(0), 100);
    }
    C_FGraph p;
    p.Context().Catalogue = [] { return systemWithout({"Default MidiOut Device"}); };
    p.Init();
    p.SetFileName(mid);
    p.WaitLoaded(test::kLoadDeadlineMs);
    const QStringList lines = dir.ErrorLines();
    const QStringList failed = {"default midiout devicenot found",
                                "SetupPinsToDecode midi parser#default midiout device connect failed"};
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines.mid(0, 4), failed + failed);
}

TEST(Player, VolumeFollowsTheAttenuationCurveInDevModeOne) {
    PlaybackDir dir;
    C_FGraph p;
    p.SetDevMode(1);
    p.Init();
    p.SetFileName(dir.Wave("tone.wav", 1000));
    ASSERT_TRUE(p.WaitLoaded(test::kLoadDeadlineMs));
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

TEST(Player, DevModeZeroOnlyStoresTheControls) {
    PlaybackDir dir;
    C_FGraph p;
    p.Init();
    p.SetFileName(dir.Wave("tone.wav", 1000));
    ASSERT_TRUE(p.WaitLoaded(test::kLoadDeadlineMs));
    p.SetAttenuation(-2000);
    p.SetPanValue(4000);
    EXPECT_EQ(p.Attenuation(), -2000);
    EXPECT_EQ(p.PanValue(), 4000);
    EXPECT_EQ(p.Context().Audio->Volume(), 0);
    EXPECT_EQ(p.Context().Audio->Balance(), 0);
}

TEST(Player, StoredControlsOutOfRangeNoLongerFailTheLoad) {
    PlaybackDir dir;
    C_FGraph p;
    p.Init();
    p.SetAttenuation(5000);  // stored as asked while nothing applies it
    p.SetPanValue(20000);
    p.SetDevMode(1);
    const QString wav = dir.Wave("tone.wav", 1000);
    p.SetFileName(wav);
    ASSERT_TRUE(p.WaitLoaded(test::kLoadDeadlineMs));
    EXPECT_EQ(p.FileName(), wav);
    EXPECT_EQ(p.Context().Audio->Volume(), 0);
    EXPECT_EQ(p.Context().Audio->Balance(), 10000);
}

}  // namespace
}  // namespace rilumo
