// One track of a CUE sheet through the real player: a WAV album of three
// tones in one file, recorded sample by sample by a clocked file renderer.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>

#include <cmath>
#include <vector>

#include "media/cue_sheet.h"
#include "playback/c_fgraph.h"
#include "playback/graph/graph.h"
#include "support/settings.h"
#include "tests/common/media_fixtures.h"
#include "tests/playback/playback_support.h"

namespace rilumo {
namespace {

using test::kPlayDeadlineMs;
using test::PollUntil;

constexpr int kRate = 44100;
constexpr int kSamplesPerFrame = kRate / kCueFramesPerSecond;
// Track boundaries in CD frames: about two seconds each, none a whole period.
constexpr std::int64_t kBounds[] = {0, 157, 320, 469};

const test::ThreePitchAlbum kAlbum{{0, 157, 320, 469}, kRate};

qint16 AlbumSample(qint64 n) { return kAlbum.Sample(n); }

PlaySegment Track(int number, const QString& sheet = {}) {
    const std::int64_t end = number == 3 ? -1 : kBounds[number];
    return PlaySegment{true, kBounds[number - 1], end, sheet, number};
}

std::vector<qint16> Expected(std::int64_t fromFrames, std::int64_t toFrames) {
    std::vector<qint16> v;
    for (qint64 n = fromFrames * kSamplesPerFrame; n < toFrames * kSamplesPerFrame; ++n) v.push_back(AlbumSample(n));
    return v;
}

class SheetSegment : public test::PlayerTest {
protected:
    void SetUp() override {
        saved_ = qgetenv("RILUMO_AUDIO_SINK");
        QFile::remove(NativeSettingsFile());
        recording_ = dir.File("recording.raw");
        qputenv("RILUMO_AUDIO_SINK", test::RecordingSink(recording_, kRate));
        p.Init();
        album_ = dir.File("album.wav");
        ASSERT_TRUE(kAlbum.Write(album_));
    }
    void TearDown() override {
        qputenv("RILUMO_AUDIO_SINK", saved_);
        QFile::remove(NativeSettingsFile());
    }
    bool LoadTrack(const QString& path, const PlaySegment& s) {
        p.SetFileName(path, s);
        return p.WaitLoaded(test::kLoadDeadlineMs);
    }
    bool PlayToEnd() {
        return p.Play() == 1 && PollUntil(p, kPlayDeadlineMs, [&] { return p.mode() == 0; });
    }
    // Plays on to the end of the track prepared to follow, taken up as the window does.
    bool FollowInto(const QString& path, const PlaySegment& next) {
        bool prepared = false;
        const bool ended = PollUntil(p, kPlayDeadlineMs, [&] {
            if (!prepared && p.Position(1) < 1500) prepared = p.PrepareNext(path, next);
            return p.mode() == 0;
        });
        p.Poll();
        if (!ended || !prepared || p.JoinedName() != path || p.JoinedSegment() != next || !p.AdoptJoined()) return false;
        return PollUntil(p, kPlayDeadlineMs, [&] { return p.mode() == 0; });
    }
    std::vector<qint16> Recorded() {
        p.CloseWave();
        EXPECT_TRUE(graph::Graph::WaitForRetiredGraphs(test::kLoadDeadlineMs));
        std::vector<qint16> got = test::ReadLeftChannel(recording_);
        QFile::remove(recording_);
        return got;
    }

    QByteArray saved_;
    QString recording_;
    QString album_;
};

TEST_F(SheetSegment, EachTrackPlaysExactlyItsOwnSamplesAndLastsItsOwnLength) {
    for (int n = 1; n <= 3; ++n) {
        ASSERT_TRUE(LoadTrack(album_, Track(n))) << n;
        EXPECT_EQ(p.Length(), CueFramesToMs(kBounds[n] - kBounds[n - 1])) << n;
        ASSERT_TRUE(PlayToEnd()) << n;
        EXPECT_EQ(Recorded(), Expected(kBounds[n - 1], kBounds[n])) << n;
    }
    EXPECT_TRUE(dir.ErrorLines().isEmpty()) << dir.ErrorLines().join('\n').toStdString();
}

TEST_F(SheetSegment, ASeekCountsWithinTheTrackAndItStillEndsOnItsLastSample) {
    ASSERT_TRUE(LoadTrack(album_, Track(2)));
    ASSERT_EQ(p.Play(), 1);
    ASSERT_TRUE(PlaysPast(100));
    p.SetFromMS(1000);
    ASSERT_EQ(p.Play(), 1);
    ASSERT_TRUE(PollUntil(p, kPlayDeadlineMs, [&] { return p.Position(0) >= 1000; }));
    EXPECT_LT(p.Position(0), p.Length());
    ASSERT_TRUE(PollUntil(p, kPlayDeadlineMs, [&] { return p.mode() == 0; }));
    // The recording renderer starts its file afresh at a seek's flush.
    EXPECT_EQ(Recorded(), Expected(kBounds[1] + kCueFramesPerSecond, kBounds[2]));
}

TEST_F(SheetSegment, TheNextTrackOfTheSameFileContinuesTheStreamWithNoGapAndNoNewGraph) {
    ASSERT_TRUE(LoadTrack(album_, Track(1)));
    ASSERT_EQ(p.Play(), 1);
    const graph::Graph* graph = p.Context().Control.get();
    ASSERT_TRUE(FollowInto(album_, Track(2)));
    EXPECT_EQ(p.Context().Control.get(), graph);
    EXPECT_EQ(p.Segment(), Track(2));
    EXPECT_EQ(p.Length(), CueFramesToMs(kBounds[2] - kBounds[1]));
    EXPECT_EQ(Recorded(), Expected(0, kBounds[2]));
}

TEST_F(SheetSegment, ATrackJoinsTheFileAfterItSampleForSample) {
    const QString other = dir.File("other.wav");
    const qint64 otherSamples = kRate / 2 + 11;
    ASSERT_TRUE(test::WriteSinePart(other, kRate, 0, otherSamples));
    ASSERT_TRUE(LoadTrack(album_, Track(2)));
    ASSERT_EQ(p.Play(), 1);
    ASSERT_TRUE(FollowInto(other, {}));
    std::vector<qint16> want = Expected(kBounds[1], kBounds[2]);
    for (qint64 n = 0; n < otherSamples; ++n) want.push_back(test::SineSample(n, kRate));
    const std::vector<qint16> got = Recorded();
    ASSERT_EQ(got.size(), want.size());
    EXPECT_EQ(got, want);
}

TEST_F(SheetSegment, ASheetThatPromisesMoreThanTheFileHasEndsWithTheFileOrPlaysNothing) {
    // The end past the file's: the track lasts to the file's end.
    ASSERT_TRUE(LoadTrack(album_, PlaySegment{true, kBounds[2], kBounds[3] + 750, {}, 3}));
    EXPECT_EQ(p.Length(), CueFramesToMs(kBounds[3] - kBounds[2]));
    ASSERT_TRUE(PlayToEnd());
    EXPECT_EQ(Recorded(), Expected(kBounds[2], kBounds[3]));
    // The start past it: nothing is heard, and the player is soon idle or at an end.
    p.SetFileName(album_, PlaySegment{true, kBounds[3] + 750, -1, {}, 4});
    p.WaitLoaded(test::kLoadDeadlineMs);
    p.Play();
    EXPECT_TRUE(PollUntil(p, kPlayDeadlineMs, [&] { return p.mode() != 3; }));
    EXPECT_TRUE(Recorded().empty());
}

TEST_F(SheetSegment, ATrackFiftyMinutesInStartsAtOnce) {
    // A sparse file: fifty minutes of silence, then the tone.
    const QString longAlbum = dir.File("long.wav");
    const qint64 silent = 50LL * 60 * kRate;
    const QByteArray tail = test::SineSamples(kRate, 2, 16, 660, 1000);
    QByteArray header = test::PcmWave(kRate, 2, 16, QByteArray());
    const quint32 dataBytes = static_cast<quint32>(silent * 4 + tail.size());
    const quint32 riffBytes = static_cast<quint32>(header.size() - 8) + dataBytes;
    std::memcpy(header.data() + 4, &riffBytes, 4);
    std::memcpy(header.data() + header.size() - 4, &dataBytes, 4);
    QFile f(longAlbum);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(header);
    ASSERT_TRUE(f.seek(header.size() + silent * 4));
    f.write(tail);
    f.close();
    QElapsedTimer clock;
    clock.start();
    const std::int64_t at = 50LL * 60 * kCueFramesPerSecond;
    ASSERT_TRUE(LoadTrack(longAlbum, PlaySegment{true, at, -1, {}, 9}));
    ASSERT_EQ(p.Play(), 1);
    ASSERT_TRUE(PlaysPast(50));
    std::printf("track at 50:00 heard after %lld ms\n", static_cast<long long>(clock.elapsed()));
    EXPECT_LT(clock.elapsed(), 8000);
    EXPECT_EQ(p.Length(), 1000);
    ASSERT_TRUE(PollUntil(p, kPlayDeadlineMs, [&] { return p.mode() == 0; }));
    const std::vector<qint16> got = Recorded();
    ASSERT_EQ(static_cast<int>(got.size()), tail.size() / 4);
    EXPECT_NE(*std::max_element(got.begin(), got.end()), 0);
}

TEST_F(SheetSegment, TheSheetsTrackGainsReplaceTheFilesAndChangeAtTheBoundary) {
    const QString sheet = dir.File("album.cue");
    ASSERT_TRUE(test::WriteFile(sheet, "FILE \"album.wav\" WAVE\n"
                                       "  TRACK 01 AUDIO\n    REM REPLAYGAIN_TRACK_GAIN -6.02 dB\n    INDEX 01 00:00:00\n"
                                       "  TRACK 02 AUDIO\n    REM REPLAYGAIN_TRACK_GAIN +0.00 dB\n    INDEX 01 00:02:07\n"
                                       "  TRACK 03 AUDIO\n    INDEX 01 00:04:20\n"));
    WriteSetting(QStringLiteral("ReplayGain"), QStringLiteral("1"));
    ASSERT_TRUE(LoadTrack(album_, Track(1, sheet)));
    ASSERT_EQ(p.Play(), 1);
    ASSERT_TRUE(FollowInto(album_, Track(2, sheet)));
    const std::vector<qint16> got = Recorded();
    const std::vector<qint16> want = Expected(0, kBounds[2]);
    ASSERT_EQ(got.size(), want.size());
    // Away from the boundary by more than a buffer: half, then full.
    const auto peak = [&](const std::vector<qint16>& v, qint64 from, qint64 to) {
        int m = 0;
        for (qint64 i = from; i < to; ++i) m = std::max(m, std::abs(static_cast<int>(v[static_cast<size_t>(i)])));
        return m;
    };
    const qint64 boundary = kBounds[1] * kSamplesPerFrame;
    EXPECT_NEAR(peak(got, 0, boundary - kRate / 5), 6000, 60);
    EXPECT_NEAR(peak(got, boundary + kRate / 5, static_cast<qint64>(got.size())), 12000, 60);
}

}  // namespace
}  // namespace rilumo
