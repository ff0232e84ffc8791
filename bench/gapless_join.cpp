// Gapless joins through the real window, on a list of two files that are the
// two halves of one sine (the round from the second back to the first joins
// too), and CPU while a list of short tracks plays.
//  1. Recorded by the renderer itself (a clocked file sink): every sample of
//     the recording is compared with the ideal sine.
//  2. The desktop's sound server (a private PulseAudio with a null sink, its
//     monitor recorded with parec), with gapless joins and with one file at a
//     time (RILUMO_GAPLESS=off): the silences between the halves.
//  3. CPU time while 20 tracks of 500 ms play, both ways.
//  4. A mixed list (FLAC, MP3, Vorbis, Opus, M4A, WAV at 44.1 and 48 kHz,
//     made by ffmpeg) through the sound server: the silence at each join,
//     and the CPU of playing it on by itself, every file converted to the
//     first one's format, against one file at a time.

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/controller_run.h"
#include "playback/graph/graph.h"
#include "support/paths.h"

using namespace rilumo;
using namespace rilumo::bench;

namespace {

constexpr int kRate = 44100;
constexpr qint64 kFirst = kRate + 37;       // the join falls mid-period
constexpr qint64 kSecond = kRate / 2 + 13;  // together whole periods

QString writeHalves(const QTemporaryDir& dir) {
    const QString a = dir.filePath("half1.wav");
    const QString b = dir.filePath("half2.wav");
    test::WriteSinePart(a, kRate, 0, kFirst);
    test::WriteSinePart(b, kRate, kFirst, kSecond);
    const QString list = dir.filePath("halves.lst");
    test::WriteFile(list, (a + "\r\n" + b + "\r\n").toUtf8());
    return list;
}

// A second of the sine at 44.1 kHz, then a second at 48 kHz.
QString writeRateChange(const QTemporaryDir& dir) {
    const QString a = dir.filePath("rate44.wav");
    const QString b = dir.filePath("rate48.wav");
    test::WriteSinePart(a, kRate, 0, kRate);
    test::WriteSinePart(b, 48000, 0, 48000);
    const QString list = dir.filePath("rates.lst");
    test::WriteFile(list, (a + "\r\n" + b + "\r\n").toUtf8());
    return list;
}

// Six formats at two rates, a second each; empty without ffmpeg.
QString writeMixedList(const QTemporaryDir& dir) {
    struct Kind {
        const char* name;
        int rate;
        QStringList codec;
    };
    const Kind kinds[] = {{"m1.flac", 44100, {"-c:a", "flac"}},
                          {"m2.mp3", 44100, {"-c:a", "libmp3lame", "-b:a", "160k"}},
                          {"m3.ogg", 48000, {"-c:a", "libvorbis"}},
                          {"m4.opus", 48000, {"-c:a", "libopus"}},
                          {"m5.m4a", 44100, {"-c:a", "aac"}},
                          {"m6.wav", 48000, {"-c:a", "pcm_s16le", "-ac", "1"}}};
    QString text;
    for (const Kind& k : kinds) {
        const QString wav = dir.filePath(QString::fromLatin1(k.name) + ".source.wav");
        const QString out = dir.filePath(QString::fromLatin1(k.name));
        test::WriteSinePart(wav, k.rate, 0, k.rate);
        QProcess ffmpeg;
        ffmpeg.start("ffmpeg", QStringList{"-loglevel", "error", "-y", "-i", wav} + k.codec + QStringList{out});
        if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0) return {};
        text += out + "\r\n";
    }
    const QString list = dir.filePath("mixed.lst");
    test::WriteFile(list, text.toUtf8());
    return list;
}

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Plays the window's list until `joins` advances have happened; returns the
// milliseconds from each audible join to the window showing the next entry
// (the join's time reckoned from the first track's start and the lengths).
std::vector<double> playJoins(FrmMain& w, int joins, double firstMs, double otherMs) {
    std::vector<double> late;
    int last = -1;
    int seen = 0;
    double started = -1;
    double expected = 0;
    const auto t0 = Clock::now();
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const int p = w.State().playIndex;
        if (started < 0 && w.Player().Position(0) > 0) started = msSince(t0) - w.Player().Position(0);
        if (p != last && started >= 0) {
            if (last >= 0) {
                expected += last == 0 ? firstMs : otherMs;
                late.push_back(msSince(t0) - started - expected);
                ++seen;
            }
            last = p;
        }
        if (seen >= joins || msSince(t0) > joins * 2000.0 + 10000) qApp->quit();
    });
    probe.start(1);
    w.PlayButtons_ButtonClicked(2);
    qApp->exec();
    w.PlayButtons_ButtonClicked(0);
    return late;
}

void printLate(const std::vector<double>& late) {
    if (late.empty()) return;
    if (qEnvironmentVariableIsSet("RILUMO_BENCH_VERBOSE")) {
        for (double v : late) std::printf(" %.0f", v);
        std::printf("\n");
    }
    std::printf("  window shows the next entry after the join: median %.1f ms, worst %.1f ms (%zu joins)\n",
                median(late), *std::max_element(late.begin(), late.end()), late.size());
}

void recordedByRenderer(const QString& list, const QTemporaryDir& dir, int joins) {
    const QString rec = dir.filePath("renderer.raw");
    const QByteArray sink = test::RecordingSink(rec);
    std::printf("recorded by the renderer, %d joins:\n", joins);
    auto w = openWindow(list, sink.constData());
    const std::vector<double> late = playJoins(*w, joins, kFirst * 1000.0 / kRate, kSecond * 1000.0 / kRate);
    w->Player().CloseWave();
    w->close();
    // The renderer writes its last samples as its graph goes, on a worker.
    graph::Graph::WaitForRetiredGraphs(10000);
    const std::vector<qint16> got = test::ReadLeftChannel(rec);
    const qint64 wrong = test::SamplesOffSine(got, kRate);
    std::printf("  %zu samples recorded, %lld differ from the one sine: gap 0 samples at every join when 0\n",
                got.size(), static_cast<long long>(wrong));
    printLate(late);
}

void soundServer(const char* what, const QString& list, const QTemporaryDir& dir, int joins, bool gapless,
                 double firstMs, double otherMs) {
    std::printf("sound server null sink, recorded with parec, %s, %s, %d joins:\n", what,
                gapless ? "gapless" : "one file at a time", joins);
    desktop::SoundServer sound;
    if (!sound.Ok() || !desktop::HaveTool("parec") || !desktop::HaveTool("pacat")) {
        std::printf("  skipped: no sound server, parec or pacat\n");
        return;
    }
    qputenv("PULSE_SERVER", sound.Server().toLocal8Bit());
    qputenv("RILUMO_GAPLESS", gapless ? "on" : "off");
    // A stream of zeros keeps the null sink running, so a stop shows as silence.
    QProcess zeros;
    zeros.setStandardInputFile("/dev/zero");
    zeros.start("pacat", {"--playback", "--raw", "--format=s16le", "--rate=44100", "--channels=1"});
    const QString raw = dir.filePath(QStringLiteral("server-%1-%2.raw").arg(what).arg(gapless));
    QProcess rec;
    rec.setStandardOutputFile(raw);
    rec.start("parec", {"-d", sound.MonitorSource(), "--raw", "--format=s16le", "--rate=44100", "--channels=1",
                        "--latency-msec=20"});
    for (int i = 0; i < 300 && QFileInfo(raw).size() < kRate / 5; ++i) QThread::msleep(10);
    auto w = openWindow(list, "pulsesink");
    const std::vector<double> late = playJoins(*w, joins, firstMs, otherMs);
    QThread::msleep(300);
    w->close();
    rec.terminate();
    rec.waitForFinished(3000);
    zeros.terminate();
    zeros.waitForFinished(3000);
    QFile f(raw);
    f.open(QIODevice::ReadOnly);
    const std::vector<qint64> quiet = quietRuns(f.readAll());
    const qint64 worst = quiet.empty() ? 0 : *std::max_element(quiet.begin(), quiet.end());
    std::printf("  silences between the files: %zu, longest %lld samples (%.1f ms)\n", quiet.size(),
                static_cast<long long>(worst), worst * 1000.0 / kRate);
    std::printf("  silences over 1 ms, in order (ms):");
    for (qint64 q : quiet) {
        if (q > kRate / 1000) std::printf(" %.1f", q * 1000.0 / kRate);
    }
    std::printf("\n");
    // One file at a time, each gap delays every later join: only the silences tell.
    if (gapless) printLate(late);
}

void cpuWhilePlaying(const QString& list, int joins, double ms, bool gapless) {
    qputenv("RILUMO_GAPLESS", gapless ? "on" : "off");
    auto w = openWindow(list, "null");
    const double cpu0 = cpuSeconds();
    const auto t0 = Clock::now();
    playJoins(*w, joins, ms, ms);
    const double wall = msSince(t0) / 1000.0;
    const double cpu = cpuSeconds() - cpu0;
    w->close();
    std::printf("  %-20s %.2f s CPU in %.2f s (%.1f%% of a core)\n", gapless ? "gapless:" : "one file at a time:",
                cpu, wall, 100.0 * cpu / wall);
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir dir;
    installPrivateEnvironment(dir);
    QApplication app(argc, argv);
    const int joins = argc > 1 ? std::max(2, std::atoi(argv[1])) : envInt("RILUMO_GAPLESS_JOINS", 20);
    SetAppFolderForTesting(dir.path());
    const QString list = writeHalves(dir);
    std::printf("gapless joins (goal: 0 samples of gap)\n");
    recordedByRenderer(list, dir, joins);
    const double firstMs = kFirst * 1000.0 / kRate;
    const double secondMs = kSecond * 1000.0 / kRate;
    soundServer("halves", list, dir, joins, true, firstMs, secondMs);
    soundServer("halves", list, dir, joins, false, firstMs, secondMs);
    // Each join changes the sample rate: the renderer reconfigures there.
    soundServer("44.1-then-48-kHz", writeRateChange(dir), dir, std::max(2, joins / 2), true, 1000, 1000);
    std::printf("CPU while 20 tracks of 500 ms play (null renderer):\n");
    const QString tones = writeToneList(dir, 20, 500);
    cpuWhilePlaying(tones, 20, 500, true);
    cpuWhilePlaying(tones, 20, 500, false);
    const QString mixed = writeMixedList(dir);
    if (mixed.isEmpty()) {
        std::printf("mixed list: skipped, ffmpeg cannot make it\n");
        return 0;
    }
    // Twice round the list: every join, the one from the last file back to the first too.
    soundServer("mixed-formats-and-rates", mixed, dir, 12, true, 1000, 1000);
    soundServer("mixed-formats-and-rates", mixed, dir, 12, false, 1000, 1000);
    std::printf("CPU while the mixed list plays twice round (null renderer):\n");
    cpuWhilePlaying(mixed, 12, 1000, true);
    cpuWhilePlaying(mixed, 12, 1000, false);
    return 0;
}
