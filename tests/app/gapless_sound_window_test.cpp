// A mixed list played on by itself through the window into a private sound
// server, as a user hears it: six formats at two rates, and no silence at
// any join. The server's null sink is recorded at its monitor.

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "tests/app/window_fixture.h"
#include "tests/common/sound_server.h"

using namespace rilumo;
using test::SoundServer;

namespace {

constexpr int kServerRate = 44100;

bool have(const char* tool) { return !QStandardPaths::findExecutable(tool).isEmpty(); }

// The longest run of near-silent samples between the first and the last
// loud one of a mono 16-bit recording.
qint64 longestSilence(const QByteArray& pcm) {
    const auto* s = reinterpret_cast<const qint16*>(pcm.constData());
    const qint64 n = pcm.size() / 2;
    qint64 first = 0;
    qint64 last = n - 1;
    while (first < n && std::abs(s[first]) < 2000) ++first;
    while (last > first && std::abs(s[last]) < 2000) --last;
    qint64 run = 0;
    qint64 longest = 0;
    for (qint64 i = first; i <= last; ++i) {
        run = std::abs(s[i]) < 300 ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

class GaplessSoundWindow : public test::PlayerWindow, public ::testing::WithParamInterface<SoundServer::Kind> {
protected:
    void SetUp() override {
        if (!have("ffmpeg") || !have("parec") || !have("pacat")) GTEST_SKIP() << "ffmpeg, parec and pacat are needed";
        server = std::make_unique<SoundServer>(kServerRate, GetParam());
        if (!server->Ok()) GTEST_SKIP() << "no private sound server here: " << server->Error().toStdString();
        PlayerWindow::SetUp();
        output = std::make_unique<test::PlayInto>(*server);
    }
    void TearDown() override {
        PlayerWindow::TearDown();
        for (QProcess* p : {&recorder, &zeros}) test::StopChild(*p);
        output.reset();
        server.reset();
    }

    // The tone, 0.7 s of it, at rate, in the format ffmpeg's codec gives.
    QString Tone(const QString& name, int rate, const QStringList& codec) {
        const QString wav = media.File(name + ".source.wav");
        const QString out = media.File(name);
        if (!test::WriteSinePart(wav, rate, 0, rate * 7 / 10 + 17)) return {};
        QProcess ffmpeg;
        ffmpeg.start("ffmpeg", QStringList{"-loglevel", "error", "-y", "-i", wav} + codec + QStringList{out});
        return ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0 ? out : QString();
    }
    // Records the server's sink from now on; a stream of zeros keeps the
    // null sink running, so that a pause shows as silence, not as nothing.
    bool StartRecording(const QString& raw) {
        for (QProcess* p : {&recorder, &zeros}) p->setChildProcessModifier(test::DieWithParent);
        zeros.setStandardInputFile("/dev/zero");
        zeros.start("pacat", {"--playback", "--raw", "--format=s16le", "--rate=44100", "--channels=1"});
        recorder.setStandardOutputFile(raw);
        recorder.start("parec", {"-d", server->MonitorSource(), "--raw", "--format=s16le", "--rate=44100",
                                 "--channels=1", "--latency-msec=20"});
        return recorder.waitForStarted(3000) && WaitFor([&] { return QFileInfo(raw).size() > kServerRate / 5; }, 8000);
    }

    std::unique_ptr<SoundServer> server;
    std::unique_ptr<test::PlayInto> output;
    QProcess recorder;
    QProcess zeros;
};

TEST_P(GaplessSoundWindow, AListOfSixFormatsAtTwoRatesJoinsWithoutSilence) {
    const QStringList list = {
        Tone("a.flac", 44100, {"-c:a", "flac"}),
        Tone("b.mp3", 44100, {"-c:a", "libmp3lame", "-b:a", "160k"}),
        Tone("c.ogg", 48000, {"-c:a", "libvorbis"}),
        Tone("d.opus", 48000, {"-c:a", "libopus"}),
        Tone("e.m4a", 44100, {"-c:a", "aac"}),
        Tone("f.wav", 48000, {"-c:a", "pcm_s16le", "-ac", "1"}),
    };
    ASSERT_FALSE(list.contains(QString())) << "ffmpeg could not make every format";
    const QString raw = media.File("monitor.raw");
    ASSERT_TRUE(StartRecording(raw)) << "the monitor stays mute";
    Fill(list);
    Click(2);
    QList<int> seen;
    ASSERT_TRUE(WaitFor([&] {
        const int p = w->State().playIndex;
        if (seen.isEmpty() || seen.back() != p) seen << p;
        return seen.size() > list.size();
    }));
    EXPECT_EQ(seen, (QList<int>{0, 1, 2, 3, 4, 5, 0}));
    Click(0);
    // What the server still holds reaches the monitor.
    QThread::msleep(500);
    test::StopChild(recorder);
    const qint64 silence = longestSilence(test::ReadFile(raw));
    EXPECT_LE(silence, kServerRate * 5 / 1000) << silence * 1000.0 / kServerRate << " ms of silence";
}

INSTANTIATE_TEST_SUITE_P(Servers, GaplessSoundWindow,
                         ::testing::Values(SoundServer::Kind::PulseAudio, SoundServer::Kind::PipeWire),
                         [](const auto& info) {
                             return std::string(info.param == SoundServer::Kind::PulseAudio ? "PulseAudio" : "PipeWire");
                         });

}  // namespace
