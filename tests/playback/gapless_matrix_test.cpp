// Gapless joins of a mixed list: every format after every other, at two
// rates and in mono and stereo, played on by themselves through the real
// player into a recording renderer. No join may leave a silence, and the
// recording must be as long as the files' true lengths together.

#include <gtest/gtest.h>

#include <QMap>
#include <QProcess>
#include <QStandardPaths>

#include <cmath>
#include <memory>
#include <vector>

#include "playback/c_fgraph.h"
#include "playback/graph/graph.h"
#include "tests/common/media_fixtures.h"
#include "tests/playback/playback_support.h"

namespace rilumo {
namespace {

using test::kPlayDeadlineMs;
using test::PollUntil;

// Short tracks keep the whole matrix quick; long enough that the next one is
// ready before this one ends even on a busy machine.
constexpr qint64 kTrackMs = 700;

struct Variant {
    QString format;  // a kind of fixture() below
    int rate;
    int channels;
    QString Name() const { return QStringLiteral("%1-%2-%3").arg(format).arg(rate).arg(channels); }
};

// The longest run of near-silent samples within [from, to) of the recording.
qint64 longestQuietRun(const std::vector<qint16>& got, qint64 from, qint64 to) {
    qint64 run = 0;
    qint64 longest = 0;
    const qint64 end = std::min<qint64>(to, static_cast<qint64>(got.size()));
    for (qint64 n = std::max<qint64>(from, 0); n < end; ++n) {
        run = std::abs(got[static_cast<size_t>(n)]) < 300 ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

bool run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QStringList ffmpegArgs(const QString& in, const Variant& v, const QStringList& codec, const QString& out) {
    return QStringList{"-loglevel", "error", "-y", "-i", in, "-ac", QString::number(v.channels)} + codec + QStringList{out};
}

class GaplessMatrix : public test::PlayerTest {
protected:
    static void SetUpTestSuite() { files_ = std::make_unique<test::TempDir>(); }
    static void TearDownTestSuite() { files_.reset(); }

    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty()) GTEST_SKIP() << "no ffmpeg";
        saved_ = qgetenv("RILUMO_AUDIO_SINK");
        recording_ = dir.File("recording.raw");
    }
    void TearDown() override { qputenv("RILUMO_AUDIO_SINK", saved_); }

    // The tone in that variant's format, made once per run; its samples (at
    // its own rate) in samples_.
    static QString fixture(const Variant& v) {
        const QString name = v.Name();
        if (made_.contains(name)) return made_[name];
        const qint64 samples = kTrackMs * v.rate / 1000 + 17;  // no whole number of codec frames
        const QString wav = files_->File(name + "-source.wav");
        QString out;
        if (test::WriteSinePart(wav, v.rate, 0, samples)) out = encode(wav, v);
        made_[name] = out;
        samples_[name] = samples;
        return out;
    }
    static QString encode(const QString& wav, const Variant& v) {
        const QString base = files_->File(v.Name());
        const QMap<QString, QPair<QString, QStringList>> codecs = {
            {"wav", {".wav", {"-c:a", "pcm_s16le"}}},
            {"aiff", {".aiff", {"-c:a", "pcm_s16be"}}},
            {"flac", {".flac", {"-c:a", "flac"}}},
            {"vorbis", {".ogg", {"-c:a", "libvorbis"}}},
            {"opus", {".opus", {"-c:a", "libopus", "-b:a", "96k"}}},
            {"lavf-mp3", {".mp3", {"-c:a", "libmp3lame", "-b:a", "160k"}}},
            {"lavf-m4a", {".m4a", {"-c:a", "aac"}}},
            {"wma", {".wma", {"-c:a", "wmav2", "-b:a", "128k"}}},
            {"pcm", {".pcm.wav", {"-c:a", "pcm_s16le"}}},
        };
        if (v.format == u"lame-mp3") {
            const QString pcm = encode(wav, Variant{"pcm", v.rate, v.channels});
            const QString out = base + ".mp3";
            return !pcm.isEmpty() && run("lame", {"--quiet", "-b", "160", pcm, out}) ? out : QString();
        }
        if (v.format == u"gst-m4a") {
            // This muxer writes no priming anywhere; a tagger adds the tag
            // (one frame of 1024 samples), as for the files of a shop.
            const QString pcm = encode(wav, Variant{"pcm", v.rate, v.channels});
            const QString out = base + ".m4a";
            const qint64 samples = kTrackMs * v.rate / 1000 + 17;
            return !pcm.isEmpty() && test::EncodeAs("m4a", pcm, out) && test::AddItunSmpb(out, 1024, 0, samples)
                       ? out
                       : QString();
        }
        const auto codec = codecs.value(v.format);
        const QString out = base + codec.first;
        return run("ffmpeg", ffmpegArgs(wav, v, codec.second, out)) ? out : QString();
    }

    // Plays the files one after the other, each prepared as soon as the one
    // before is heard, as the window does near each end. True when every
    // join was made.
    bool PlayOnByThemselves(const QStringList& files) {
        if (!Load(files.front()) || p.Play() != 1) return false;
        for (int i = 1; i < files.size(); ++i) {
            bool prepared = false;
            const bool ended = PollUntil(p, kPlayDeadlineMs, [&] {
                if (!prepared) prepared = p.PrepareNext(files[i]);
                return p.mode() == 0;
            });
            p.Poll();
            if (!ended || p.JoinedName() != files[i] || !p.AdoptJoined()) {
                ADD_FAILURE() << "no join into " << files[i].toStdString();
                return false;
            }
        }
        return PollUntil(p, kPlayDeadlineMs, [&] { return p.mode() == 0; });
    }
    std::vector<qint16> Recorded() {
        p.CloseWave();
        EXPECT_TRUE(graph::Graph::WaitForRetiredGraphs(test::kLoadDeadlineMs));
        return test::ReadLeftChannel(recording_);
    }

    // Plays the chain at the first variant's rate, the renderer's from then
    // on, and checks the silences and the length of what it played.
    void PlayChain(const std::vector<Variant>& chain) {
        QStringList files;
        double expected = 0;
        const int rate = chain.front().rate;
        for (const Variant& v : chain) {
            const QString f = fixture(v);
            if (f.isEmpty()) GTEST_SKIP() << "cannot make " << v.Name().toStdString();
            files << f;
            expected += static_cast<double>(samples_[v.Name()]) * rate / v.rate;
        }
        qputenv("RILUMO_AUDIO_SINK", test::RecordingSink(recording_, rate));
        p.Init();
        ASSERT_TRUE(PlayOnByThemselves(files));
        const std::vector<qint16> got = Recorded();
        ASSERT_FALSE(got.empty());
        // Where each file's tone should begin and end in the recording.
        qint64 at = 0;
        std::vector<qint64> joins;
        for (const Variant& v : chain) {
            at += static_cast<qint64>(std::llround(static_cast<double>(samples_[v.Name()]) * rate / v.rate));
            joins.push_back(at);
        }
        for (size_t i = 0; i + 1 < chain.size(); ++i) {
            // Nothing in a Windows Media file tells its decoder's silent
            // first frame: it is played, never guessed away.
            const bool leadIn = chain[i + 1].format == u"wma";
            const qint64 limit = leadIn ? rate * 2048 / chain[i + 1].rate : rate / 1000;  // else 1 ms
            const qint64 run = longestQuietRun(got, joins[i] - rate / 20, joins[i] + rate / 20);
            EXPECT_LE(run, limit) << chain[i].Name().toStdString() << " -> " << chain[i + 1].Name().toStdString();
        }
        // A codec's own granularity at each end, and a resampler's edges;
        // that lead-in and its tail besides.
        EXPECT_NEAR(static_cast<double>(got.size()), expected, 48.0 * static_cast<double>(chain.size()) + 2100);
    }

    static inline std::unique_ptr<test::TempDir> files_;
    static inline QMap<QString, QString> made_;
    static inline QMap<QString, qint64> samples_;
    QByteArray saved_;
    QString recording_;
};

const QStringList kFormats = {"wav", "aiff", "flac", "vorbis", "opus", "lame-mp3", "lavf-mp3", "lavf-m4a", "gst-m4a", "wma"};

// The formats from first on, stride apart (every format once when stride
// and the count share no factor), the renderer opening at the first one's.
// The others alternate rate and channels, so every join converts something.
std::vector<Variant> chainFrom(int first, int stride, int rate, int channels) {
    std::vector<Variant> chain{{kFormats[first], rate, channels}};
    const int n = static_cast<int>(kFormats.size());
    for (int step = 1; step < n; ++step) {
        const bool other = step % 2 == 1;
        chain.push_back({kFormats[(first + step * stride) % n], other ? 92100 - rate : rate, other ? 3 - channels : channels});
    }
    return chain;
}

TEST_F(GaplessMatrix, AStereoListAt44100JoinsEveryFormatWithoutSilence) { PlayChain(chainFrom(0, 1, 44100, 2)); }

TEST_F(GaplessMatrix, AMonoListAt48000JoinsEveryFormatWithoutSilence) { PlayChain(chainFrom(5, 1, 48000, 1)); }

// Other neighbours, and a six-channel file mixed down to the output's two.
TEST_F(GaplessMatrix, OtherPairsAndAFiveOneFileJoinWithoutSilence) {
    std::vector<Variant> chain = chainFrom(2, 3, 44100, 2);
    chain.insert(chain.begin() + 4, Variant{"flac", 48000, 6});
    PlayChain(chain);
}

}  // namespace
}  // namespace rilumo
