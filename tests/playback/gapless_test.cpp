// Gapless joins through the real player, recorded sample by sample by a
// clocked file renderer in place of the sound card.

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>

#include <cmath>
#include <vector>

#include "playback/c_fgraph.h"
#include "playback/graph/graph.h"
#include "tests/common/media_fixtures.h"
#include "tests/playback/playback_support.h"

namespace rilumo {
namespace {

using test::kPlayDeadlineMs;
using test::PollUntil;

constexpr int kRate = 44100;

using test::ReadLeftChannel;
using test::SineSample;
using test::WriteSinePart;

// The encoder's own program writes the tag with its delay and padding; the
// GStreamer encoder element writes none.
QString lameEncoded(const QString& wav) {
    const QString out = QString(wav).replace(QStringLiteral(".wav"), QStringLiteral(".mp3"));
    QProcess lame;
    lame.start(QStringLiteral("lame"), {"--quiet", "--cbr", "-b", "192", wav, out});
    return lame.waitForFinished(60000) && lame.exitCode() == 0 ? out : QString();
}

// The shift of the recording against the sine over [from, to) that fits best.
int bestShift(const std::vector<qint16>& got, qint64 from, qint64 to) {
    int best = 0;
    double bestError = 1e300;
    for (int shift = -49; shift <= 49; ++shift) {
        double error = 0;
        for (qint64 n = from; n < to; ++n) error += std::abs(got[static_cast<size_t>(n)] - SineSample(n + shift, kRate));
        if (error < bestError) {
            bestError = error;
            best = shift;
        }
    }
    return best;
}

class Gapless : public test::PlayerTest {
protected:
    void SetUp() override {
        saved_ = qgetenv("RILUMO_AUDIO_SINK");
        recording_ = dir.File("recording.raw");
    }
    void TearDown() override { qputenv("RILUMO_AUDIO_SINK", saved_); }
    // The renderer writes what it plays, in real time, at one fixed format.
    void Record(int rate = kRate) {
        qputenv("RILUMO_AUDIO_SINK", test::RecordingSink(recording_, rate));
        p.Init();
    }
    // Plays first, prepares second near the end and takes it up at the
    // join, as the window does; true when the join was made.
    bool PlayJoined(const QString& first, const QString& second) {
        if (!Load(first) || p.Play() != 1) return false;
        bool prepared = false;
        bool joined = PollUntil(p, kPlayDeadlineMs, [&] {
            if (!prepared && p.Position(1) < 1500) prepared = p.PrepareNext(second);
            return p.mode() == 0;
        });
        p.Poll();
        if (!joined || p.JoinedName() != second || p.mode() != 1 || !p.AdoptJoined()) return false;
        return PollUntil(p, kPlayDeadlineMs, [&] { return p.mode() == 0; });
    }
    std::vector<qint16> Recorded() {
        p.CloseWave();
        // The renderer writes its last samples as its graph goes, on a worker.
        EXPECT_TRUE(graph::Graph::WaitForRetiredGraphs(test::kLoadDeadlineMs));
        return ReadLeftChannel(recording_);
    }

    QByteArray saved_;
    QString recording_;
};

TEST_F(Gapless, TwoHalvesOfOneSineJoinSampleForSampleAsWaveAndAsFlac) {
    Record();
    const qint64 first = 2 * kRate + 37;  // the join falls mid-period; time to prepare under load
    const qint64 second = kRate / 2 + 11;
    ASSERT_TRUE(WriteSinePart(dir.File("a.wav"), kRate, 0, first));
    ASSERT_TRUE(WriteSinePart(dir.File("b.wav"), kRate, first, second));
    for (const QString kind : {"wav", "flac"}) {
        QString a = dir.File("a.wav");
        QString b = dir.File("b.wav");
        if (kind == u"flac") {
            a = dir.File("a.flac");
            b = dir.File("b.flac");
            ASSERT_TRUE(test::EncodeAs("flac", dir.File("a.wav"), a));
            ASSERT_TRUE(test::EncodeAs("flac", dir.File("b.wav"), b));
        }
        ASSERT_TRUE(PlayJoined(a, b)) << kind.toStdString();
        const std::vector<qint16> got = Recorded();
        ASSERT_EQ(static_cast<qint64>(got.size()), first + second) << kind.toStdString();
        EXPECT_EQ(test::SamplesOffSine(got, kRate), 0) << kind.toStdString();
    }
    EXPECT_TRUE(dir.ErrorLines().isEmpty()) << dir.ErrorLines().join('\n').toStdString();
}

TEST_F(Gapless, LameTaggedMp3HalvesJoinWithTheirDelayAndPaddingTrimmed) {
    if (QStandardPaths::findExecutable(QStringLiteral("lame")).isEmpty()) GTEST_SKIP() << "no lame encoder";
    Record();
    const qint64 first = kRate + 37;
    const qint64 second = kRate / 2 + 11;
    ASSERT_TRUE(WriteSinePart(dir.File("a.wav"), kRate, 0, first));
    ASSERT_TRUE(WriteSinePart(dir.File("b.wav"), kRate, first, second));
    const QString a = lameEncoded(dir.File("a.wav"));
    const QString b = lameEncoded(dir.File("b.wav"));
    ASSERT_FALSE(a.isEmpty() || b.isEmpty());
    ASSERT_TRUE(PlayJoined(a, b));
    const std::vector<qint16> got = Recorded();
    ASSERT_EQ(static_cast<qint64>(got.size()), first + second);
    // In step with the sine on both sides of the join: no encoder delay or
    // padding was left in, which would shift the second half.
    EXPECT_EQ(bestShift(got, first - 2000, first), 0);
    EXPECT_EQ(bestShift(got, first, first + 2000), 0);
}

TEST_F(Gapless, M4aHalvesWithTheirEncoderDelayTaggedJoinWithItTrimmed) {
    Record();
    const qint64 first = kRate + 37;
    const qint64 second = kRate / 2 + 11;
    const qint64 counts[] = {first, second};
    QString files[2];
    for (int i = 0; i < 2; ++i) {
        const QString wav = dir.File(QStringLiteral("%1.wav").arg(i));
        files[i] = dir.File(QStringLiteral("%1.m4a").arg(i));
        ASSERT_TRUE(WriteSinePart(wav, kRate, i == 0 ? 0 : first, counts[i]));
        if (!test::EncodeAs("m4a", wav, files[i])) GTEST_SKIP() << "no AAC encoder";
        // The encoder's priming: one frame of 1024 samples.
        ASSERT_TRUE(test::AddItunSmpb(files[i], 1024, 0, counts[i]));
    }
    ASSERT_TRUE(PlayJoined(files[0], files[1]));
    const std::vector<qint16> got = Recorded();
    // This muxer's files end a few samples short of what was encoded, so the
    // second half comes that much early; untrimmed, the priming would put it
    // a whole frame late, and the recording would be two frames longer.
    ASSERT_NEAR(static_cast<double>(got.size()), static_cast<double>(first + second), 16);
    EXPECT_EQ(bestShift(got, 2000, 4000), 0);
    EXPECT_LE(std::abs(bestShift(got, first + 200, first + 2200)), 8);

    // On its own the trimmed file lasts what it keeps and seeks within that.
    ASSERT_TRUE(Load(files[0]));
    EXPECT_NEAR(p.Length(), first * 1000.0 / kRate, 2);
    p.SetFromMS(700);
    ASSERT_EQ(p.Play(), 1);
    EXPECT_TRUE(PlaysPast(750));
}

TEST_F(Gapless, ARateChangePlaysBothFilesWhole) {
    Record(48000);
    const QString a = dir.File("a44.wav");
    const QString b = dir.File("b48.wav");
    ASSERT_TRUE(WriteSinePart(a, kRate, 0, kRate));
    ASSERT_TRUE(WriteSinePart(b, 48000, 0, 48000));
    ASSERT_TRUE(PlayJoined(a, b));
    const std::vector<qint16> got = Recorded();
    // Two seconds at the renderer's rate, give or take the resampler's edges.
    EXPECT_NEAR(static_cast<double>(got.size()), 2 * 48000.0, 64);
}

TEST_F(Gapless, AFileThatFailsOrASeekDropsThePreparedFileAndTheTrackEndsAsBefore) {
    p.Init();
    const QString a = dir.Wave("a.wav", 1500);
    const QString bad = dir.File("bad.wav");
    ASSERT_TRUE(test::WriteFile(bad, "this is text, not a wave file\n"));
    ASSERT_TRUE(Load(a));
    ASSERT_EQ(p.Play(), 1);
    // Not audio: refused at once, and the track plays on to its ordinary end.
    EXPECT_FALSE(p.PrepareNext(bad));
    ASSERT_TRUE(PollUntil(p, kPlayDeadlineMs, [&] { return p.mode() != 3; }));
    EXPECT_EQ(p.JoinedName(), QString());
    EXPECT_EQ(p.NextName(), QString());
    p.Poll();
    EXPECT_EQ(p.mode(), 1);

    // Prepared, then a seek into the last second: the ordinary end follows.
    const QString b = dir.Wave("b.wav", 1500);
    ASSERT_TRUE(Load(b));
    ASSERT_EQ(p.Play(), 1);
    ASSERT_TRUE(p.PrepareNext(a));
    EXPECT_EQ(p.NextName(), a);
    p.SetFromMS(p.Length() - 500);
    ASSERT_EQ(p.Play(), 1);
    EXPECT_EQ(p.NextName(), QString());
    ASSERT_TRUE(PollUntil(p, kPlayDeadlineMs, [&] { return p.mode() != 3; }));
    EXPECT_EQ(p.JoinedName(), QString());
    // Taken up, the joined file has its own length and seeks within itself.
    const QString c = dir.Wave("c.wav", 2500);
    ASSERT_TRUE(Load(a));
    ASSERT_EQ(p.Play(), 1);
    ASSERT_TRUE(p.PrepareNext(c));
    ASSERT_TRUE(PollUntil(p, kPlayDeadlineMs, [&] { return p.mode() == 0; }));
    p.Poll();
    EXPECT_EQ(p.mode(), 1);
    ASSERT_TRUE(p.AdoptJoined());
    EXPECT_EQ(p.FileName(), c);
    EXPECT_TRUE(PollUntil(p, kPlayDeadlineMs, [&] { return std::abs(p.Length() - 2500) <= 50; })) << p.Length();
    p.SetFromMS(1500);
    ASSERT_EQ(p.Play(), 1);
    EXPECT_TRUE(PlaysPast(1600));
    // Nothing of the dropped files reached the log.
    EXPECT_TRUE(dir.ErrorLines().isEmpty()) << dir.ErrorLines().join('\n').toStdString();
}

}  // namespace
}  // namespace rilumo
