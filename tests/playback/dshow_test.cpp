#include <gtest/gtest.h>

#include "playback/c_dshow.h"
#include "tests/playback/playback_support.h"

namespace rilumo {
namespace {

using test::kPlayDeadlineMs;
using test::PlaybackDir;
using test::PollUntil;

bool playsPast(C_DShow& p, int ms) {
    return PollUntil(p, kPlayDeadlineMs, [&] { return p.mode() == 3 && p.Position(0) > ms; });
}

TEST(AlternativePlayer, LoadsPlaysAndReportsTheEndOnce) {
    PlaybackDir dir;
    const QString wav = dir.Wave("tone.wav", 800);
    C_DShow p;
    p.SetFileName(wav);
    ASSERT_EQ(p.FileName(), wav);
    EXPECT_NEAR(p.Length(), 800, 50);
    EXPECT_EQ(p.ToMS(), p.Length());
    ASSERT_EQ(p.Play(), 1);
    EXPECT_EQ(p.mode(), 3);
    int seen = 3;
    ASSERT_TRUE(PollUntil(p, kPlayDeadlineMs, [&] { return (seen = p.mode()) != 3; }));
    EXPECT_EQ(seen, 0);
    p.Poll();
    EXPECT_EQ(p.mode(), 1);
}

TEST(AlternativePlayer, AStopPointShortOfTheEndStillReportsTruePositions) {
    PlaybackDir dir;
    C_DShow p;
    p.SetFileName(dir.Wave("tone.wav", 3000));
    ASSERT_EQ(p.Play(), 1);
    p.SetToMS(2500);
    ASSERT_TRUE(playsPast(p, 150));
    const int before = p.Position(0);
    const int left = p.Position(2);
    const int after = p.Position(0);
    EXPECT_LE(left, 2500 - before + 1);
    EXPECT_GE(left, 2500 - after - 1);
}

TEST(AlternativePlayer, PlayFromBeyondTheEndOrAfterStopStartsAtTheBeginning) {
    PlaybackDir dir;
    C_DShow p;
    p.SetFileName(dir.Encoded("mp3", "tone.mp3", 2000).isEmpty() ? dir.Wave("tone.wav", 2000)
                                                                  : dir.File("tone.mp3"));
    ASSERT_FALSE(p.FileName().isEmpty());
    p.SetFromMS(p.Length() + 500);
    ASSERT_EQ(p.Play(), 1);
    EXPECT_EQ(p.FromMS(), 0);
    EXPECT_LT(p.Position(0), 300);
    EXPECT_TRUE(playsPast(p, 200));
    p.StopIO();
    EXPECT_EQ(p.mode(), 1);
    ASSERT_EQ(p.Play(), 1);
    EXPECT_LT(p.Position(0), 300);
    p.SetFromMS(-5);
    EXPECT_EQ(p.FromMS(), 0);
}

TEST(AlternativePlayer, AMissingFileLeavesItEmpty) {
    PlaybackDir dir;
    C_DShow p;
    p.SetFileName(dir.File("gone.mp3"));
    EXPECT_TRUE(p.FileName().isEmpty());
    EXPECT_EQ(p.Length(), 0);
    EXPECT_EQ(p.Play(), 0);
    EXPECT_EQ(p.mode(), 1);
    p.CloseWave();
    EXPECT_EQ(p.mode(), 1);
}

TEST(AlternativePlayer, StoredControlsOutOfRangeDoNotFailTheLoad) {
    PlaybackDir dir;
    C_DShow p;
    p.SetAttenuation(3000);  // stored; nothing loaded yet
    p.SetPanValue(20000);
    p.SetFileName(dir.Wave("tone.wav", 1000));
    ASSERT_FALSE(p.FileName().isEmpty());
    p.SetAttenuation(-2000);
    EXPECT_EQ(p.Attenuation(), -2000);  // as asked, not the device's -1000
}

}  // namespace
}  // namespace rilumo
