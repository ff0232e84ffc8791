// Plays a tone through the default renderer into a private sound server's
// null sink and listens to the sink's monitor: the one test that hears the
// program, so it needs no sound card and no desktop session.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <cmath>
#include <vector>

#include "playback/c_fgraph.h"
#include "tests/common/sound_server.h"
#include "tests/playback/playback_support.h"

namespace rilumo {
namespace {

constexpr int kRate = 48000;

// The strongest frequency between lo and hi (Goertzel scan), in Hz.
double dominantFrequency(const std::vector<double>& x, double lo, double hi, double step) {
    double best = lo;
    double bestPower = -1;
    for (double f = lo; f <= hi; f += step) {
        const double w = 2 * M_PI * f / kRate;
        const double c = 2 * std::cos(w);
        double s1 = 0, s2 = 0;
        for (double v : x) {
            const double s0 = v + c * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        const double power = s1 * s1 + s2 * s2 - c * s1 * s2;
        if (power > bestPower) {
            bestPower = power;
            best = f;
        }
    }
    return best;
}

using RealSound = test::PlayerTest;

TEST_F(RealSound, AToneThroughTheDefaultRendererReachesTheSoundServer) {
    if (QStandardPaths::findExecutable("pulseaudio").isEmpty() || QStandardPaths::findExecutable("parec").isEmpty() ||
        QStandardPaths::findExecutable("pactl").isEmpty()) {
        GTEST_SKIP() << "pulseaudio and parec are installed by scripts/install-deps";
    }
    test::SoundServer server(kRate);
    ASSERT_TRUE(server.Ok()) << server.Error().toStdString();
    qputenv("PULSE_SERVER", server.Server().toUtf8());
    qunsetenv("RILUMO_AUDIO_SINK");
    struct Restore {
        ~Restore() {
            qunsetenv("PULSE_SERVER");
            qputenv("RILUMO_AUDIO_SINK", "null");
        }
    } restore;

    QProcess recorder;
    recorder.setChildProcessModifier(test::DieWithParent);
    const QString recording = dir.File("monitor.raw");
    recorder.setStandardOutputFile(recording);
    recorder.start("parec", {"-d", server.MonitorSource(), "--format=s16le", QStringLiteral("--rate=%1").arg(kRate),
                             "--channels=1", "--latency-msec=20"});
    ASSERT_TRUE(recorder.waitForStarted(3000));
    // The recorder takes a moment before the monitor's first samples arrive.
    ASSERT_TRUE(test::PollUntil(5000, [&] { return QFileInfo(recording).size() > 0; })) << "the monitor stays mute";

    const QString wav = dir.Wave("tone.wav", 2000, 1000);
    p.Init();
    ASSERT_EQ(p.Context().RendererName, "default waveout device");
    ASSERT_TRUE(Load(wav));
    ASSERT_EQ(p.FileName(), wav) << dir.ErrorLines().join('\n').toStdString();
    ASSERT_EQ(p.Play(), 1);
    // The real sink's clock drives the position.
    EXPECT_TRUE(PlaysPast(1500));
    p.CloseWave();
    recorder.kill();
    recorder.waitForFinished(2000);
    const QByteArray pcm = test::ReadFile(recording);

    std::vector<double> samples;
    for (qsizetype i = 0; i + 1 < pcm.size(); i += 2) {
        samples.push_back(static_cast<qint16>(static_cast<quint8>(pcm[i]) | (static_cast<quint8>(pcm[i + 1]) << 8)));
    }
    // The sound starts after the server's latency; listen to half a second of it.
    size_t start = 0;
    while (start < samples.size() && std::fabs(samples[start]) < 300) ++start;
    start += kRate / 20;
    ASSERT_GT(samples.size(), start + kRate / 2) << "heard " << samples.size() << " samples, sound from " << start
                                                 << "; " << recorder.readAllStandardError().toStdString();
    const std::vector<double> window(samples.begin() + start, samples.begin() + start + kRate / 2);
    double energy = 0;
    for (double v : window) energy += v * v;
    const double rms = std::sqrt(energy / window.size());
    EXPECT_GT(rms, 1000) << "silence";
    const double coarse = dominantFrequency(window, 100, 5000, 10);
    const double fine = dominantFrequency(window, coarse - 10, coarse + 10, 0.5);
    EXPECT_NEAR(fine, 1000, 20);
    RecordProperty("frequency_hz", std::to_string(fine));
    RecordProperty("rms", std::to_string(rms));
}

}  // namespace
}  // namespace rilumo
