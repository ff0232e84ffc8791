// ReplayGain through the real player: files tagged by TagLib, heard by a
// clocked renderer that writes what it plays.

#include <gtest/gtest.h>

#include <QFile>

#include <algorithm>
#include <cmath>
#include <vector>

#include <taglib/fileref.h>
#include <taglib/tpropertymap.h>

#include "playback/graph/graph.h"
#include "support/settings.h"
#include "tests/common/media_fixtures.h"
#include "tests/playback/playback_support.h"

namespace rilumo {
namespace {

using test::kPlayDeadlineMs;
using test::PollUntil;

constexpr int kRate = 44100;
constexpr double kHalf = 0.49997;  // -6.02 dB

void tag(const QString& path, const char* trackGain, const char* trackPeak, const char* albumGain = nullptr) {
    TagLib::FileRef f(QFile::encodeName(path).constData());
    ASSERT_FALSE(f.isNull());
    TagLib::PropertyMap map = f.file()->properties();
    map.replace("REPLAYGAIN_TRACK_GAIN", TagLib::StringList(trackGain));
    map.replace("REPLAYGAIN_TRACK_PEAK", TagLib::StringList(trackPeak));
    if (albumGain) map.replace("REPLAYGAIN_ALBUM_GAIN", TagLib::StringList(albumGain));
    f.file()->setProperties(map);
    ASSERT_TRUE(f.save());
}

void setting(const char* key, const char* value) { WriteSetting(QString::fromUtf8(key), QString::fromUtf8(value)); }

// The largest sample of the steady middle, and the share of it at full scale.
struct Level {
    double peak = 0;
    double clipped = 0;
};

Level levelOf(const std::vector<qint16>& got) {
    Level l;
    const size_t from = got.size() / 5;
    const size_t to = got.size() - got.size() / 5;
    int atTop = 0;
    for (size_t i = from; i < to; ++i) {
        const int v = std::abs(static_cast<int>(got[i]));
        l.peak = std::max<double>(l.peak, v);
        atTop += v >= 32700;
    }
    l.clipped = to > from ? static_cast<double>(atTop) / static_cast<double>(to - from) : 0;
    return l;
}

class ReplayGainPlayback : public test::PlayerTest {
protected:
    void SetUp() override {
        saved_ = qgetenv("RILUMO_AUDIO_SINK");
        recording_ = dir.File("recording.raw");
        QFile::remove(NativeSettingsFile());
        qputenv("RILUMO_AUDIO_SINK", test::RecordingSink(recording_, kRate));
        p.Init();
        tone_ = dir.Wave("tone.wav", 400);
        ASSERT_FALSE(tone_.isEmpty());
        untagged_ = Heard(tone_).peak;
        ASSERT_GT(untagged_, 15000);
    }
    void TearDown() override {
        qputenv("RILUMO_AUDIO_SINK", saved_);
        QFile::remove(NativeSettingsFile());
    }
    QString TaggedCopy(const QString& name, const char* gain, const char* peak, const char* albumGain = nullptr) {
        const QString path = dir.File(name);
        QFile::copy(tone_, path);
        tag(path, gain, peak, albumGain);
        return path;
    }
    // Plays the file to its end and reads what the renderer wrote.
    Level Heard(const QString& path) {
        if (!Load(path) || p.Play() != 1) return {};
        if (!PollUntil(p, kPlayDeadlineMs, [&] { return p.mode() == 0; })) return {};
        return levelOf(Recorded());
    }
    std::vector<qint16> Recorded() {
        p.CloseWave();
        // The renderer writes its last samples as its graph goes, on a worker.
        EXPECT_TRUE(graph::Graph::WaitForRetiredGraphs(test::kLoadDeadlineMs));
        return test::ReadLeftChannel(recording_);
    }
    double Ratio(const QString& path) { return Heard(path).peak / untagged_; }

    QByteArray saved_;
    QString recording_;
    QString tone_;
    double untagged_ = 0;
};

TEST_F(ReplayGainPlayback, ATaggedFileIsHeardAtItsTrackOrAlbumLevelAndUnchangedWhenOff) {
    const QString tagged = TaggedCopy("tagged.wav", "-6.02 dB", "0.5", "-12.04 dB");
    EXPECT_NEAR(Ratio(tagged), kHalf, 0.01);  // track mode by default
    setting("ReplayGain", "2");
    EXPECT_NEAR(Ratio(tagged), kHalf * kHalf, 0.01);
    setting("ReplayGain", "0");
    EXPECT_NEAR(Ratio(tagged), 1.0, 0.005);
    // An untagged file takes the fallback level, and the preamp only a tagged one.
    setting("ReplayGain", "1");
    setting("ReplayGainFallback", "-6.02");
    setting("ReplayGainPreamp", "6.02");
    EXPECT_NEAR(Ratio(tone_), kHalf, 0.01);
    EXPECT_NEAR(Ratio(tagged), 1.0, 0.01);
}

TEST_F(ReplayGainPlayback, APeakThatWouldClipIsHeldAtFullScale) {
    // +12 dB on a tone peaking at half scale would clip a third of it.
    const QString loud = TaggedCopy("loud.wav", "+12.00 dB", "0.500000");
    const Level held = Heard(loud);
    EXPECT_NEAR(held.peak / untagged_, 2.0, 0.02);
    EXPECT_LT(held.clipped, 0.05);
    setting("ReplayGainNoClip", "0");
    EXPECT_GT(Heard(loud).clipped, 0.2);
}

TEST_F(ReplayGainPlayback, JoinedFilesKeepEachTheirLevelAndTheJoinStaysSampleExact) {
    const qint64 first = kRate + 37;
    const qint64 second = kRate / 2 + 11;
    const QString a = dir.File("a.wav");
    const QString b = dir.File("b.wav");
    ASSERT_TRUE(test::WriteSinePart(a, kRate, 0, first));
    ASSERT_TRUE(test::WriteSinePart(b, kRate, first, second));
    tag(b, "-6.02 dB", "0.4");
    ASSERT_TRUE(Load(a));
    ASSERT_EQ(p.Play(), 1);
    bool prepared = false;
    ASSERT_TRUE(PollUntil(p, kPlayDeadlineMs, [&] {
        if (!prepared && p.Position(1) < 700) prepared = p.PrepareNext(b);
        return p.mode() == 0;
    }));
    p.Poll();
    ASSERT_EQ(p.JoinedName(), b);
    ASSERT_TRUE(p.AdoptJoined());
    ASSERT_TRUE(PollUntil(p, kPlayDeadlineMs, [&] { return p.mode() == 0; }));
    const std::vector<qint16> got = Recorded();
    ASSERT_GE(static_cast<qint64>(got.size()), first + second);
    qint64 off = 0;
    for (qint64 n = 0; n < first + second; ++n) {
        const double want = test::SineSample(n, kRate) * (n < first ? 1.0 : kHalf);
        off += std::abs(got[static_cast<size_t>(n)] - want) > 2;
    }
    EXPECT_EQ(off, 0) << "samples off the sine at its own level";
}

}  // namespace
}  // namespace rilumo
