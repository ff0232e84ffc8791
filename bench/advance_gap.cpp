// Auto-advance gap: how long the listener waits between the end of one track
// and the first sound of the next, through the real window and its tick.
//  1. Null renderer: a 1 ms probe beside the tick watches the player's file
//     name and position. A track's sound ends at its first position advance
//     plus its length; the gap runs from there to the next track's first
//     position advance, split into the controller's reaction (until the next
//     file is handed to the player) and the start of the next file.
//  2. Sound server: the same window plays into a private null sink whose
//     monitor is recorded with parec; the gaps are the runs of silence
//     between the tones, counted in samples.

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/controller_run.h"
#include "support/paths.h"

using namespace rilumo;
using namespace rilumo::bench;

namespace {

constexpr int kToneMs = 500;
constexpr int kTones = 4;
constexpr int kRate = 44100;

void printSpread(const char* what, const std::vector<double>& v) {
    if (v.empty()) return;
    std::printf("  %-40s median %6.1f ms, worst %6.1f ms, best %6.1f ms (%zu gaps)\n", what, median(v),
                *std::max_element(v.begin(), v.end()), *std::min_element(v.begin(), v.end()), v.size());
}

void nullRenderer(const QString& list, int advances) {
    std::printf("null renderer, %d tones of %d ms, %d advances:\n", kTones, kToneMs, advances);
    auto w = openWindow(list, "null");
    QString current;
    std::vector<double> handedOver, firstSound;
    const auto t0 = Clock::now();
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const QString name = w->Player().FileName();
        if (!name.isEmpty() && name != current) {
            current = name;
            handedOver.push_back(msSince(t0));
            firstSound.push_back(-1);
        }
        if (!firstSound.empty() && firstSound.back() < 0 && w->Player().Position(0) > 0)
            firstSound.back() = msSince(t0);
        if (int(firstSound.size()) > advances + 1 || msSince(t0) > (advances + 3) * (kToneMs + 1000)) qApp->quit();
    });
    probe.start(1);
    w->PlayButtons_ButtonClicked(2);
    qApp->exec();
    w->close();

    std::vector<double> reaction, start, gap;
    for (size_t i = 1; i < firstSound.size(); ++i) {
        if (firstSound[i] < 0 || firstSound[i - 1] < 0) continue;
        const double end = firstSound[i - 1] + kToneMs;
        reaction.push_back(handedOver[i] - end);
        start.push_back(firstSound[i] - handedOver[i]);
        gap.push_back(firstSound[i] - end);
    }
    if (gap.empty()) {
        std::printf("  no advance seen: the window did not play on to the next entry\n");
        return;
    }
    printSpread("end to next file handed to the player", reaction);
    printSpread("handed over to first position advance", start);
    printSpread("gap, end to next track's first sound", gap);
}

// The silences between the tones, in ms.
std::vector<double> silentRuns(const QByteArray& pcm) {
    std::vector<double> ms;
    for (const qint64 run : quietRuns(pcm)) ms.push_back(run * 1000.0 / kRate);
    return ms;
}

void soundServer(const QString& list, int advances) {
    std::printf("sound server null sink, recorded with parec, %d advances:\n", advances);
    desktop::SoundServer sound;
    if (!sound.Ok()) {
        std::printf("  skipped: %s\n", qPrintable(sound.Error()));
        return;
    }
    if (!desktop::HaveTool("parec")) {
        std::printf("  skipped: parec not installed\n");
        return;
    }
    qputenv("PULSE_SERVER", sound.Server().toLocal8Bit());
    QTemporaryDir dir;
    QProcess rec;
    rec.setStandardOutputFile(dir.filePath("rec.raw"));
    rec.start("parec", {"-d", sound.MonitorSource(), "--raw", "--format=s16le", QStringLiteral("--rate=%1").arg(kRate),
                        "--channels=1", "--latency-msec=20"});
    if (!rec.waitForStarted(3000)) {
        std::printf("  skipped: parec did not start\n");
        return;
    }
    // The first tone counts only when the recorder already hears the sink.
    for (int i = 0; i < 300 && QFileInfo(dir.filePath("rec.raw")).size() < kRate / 5; ++i) QThread::msleep(10);
    auto w = openWindow(list, "pulsesink");
    int played = 0;
    QString current;
    double lastStart = -1;
    bool stopped = false;
    QTimer probe;
    const auto t0 = Clock::now();
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const QString name = w->Player().FileName();
        if (!name.isEmpty() && name != current) {
            current = name;
            if (++played == advances + 1) lastStart = msSince(t0);
        }
        // The last counted track must reach the recording before it stops.
        if (!stopped && lastStart >= 0 && msSince(t0) > lastStart + 300) {
            w->PlayButtons_ButtonClicked(0);
            stopped = true;
        }
        if ((lastStart >= 0 && msSince(t0) > lastStart + 600) || msSince(t0) > (advances + 3) * (kToneMs + 1000))
            qApp->quit();
    });
    probe.start(5);
    w->PlayButtons_ButtonClicked(2);
    qApp->exec();
    w->close();
    rec.terminate();
    rec.waitForFinished(3000);

    QFile f(dir.filePath("rec.raw"));
    f.open(QIODevice::ReadOnly);
    const std::vector<double> gaps = silentRuns(f.readAll());
    if (gaps.empty()) {
        std::printf("  no silence between tones found (%d tracks started)\n", played);
        return;
    }
    printSpread("silence between consecutive tones", gaps);
    if (int(gaps.size()) != advances)
        std::printf("  (%zu silences for %d advances: fewer, the last tone was cut; more, a tone dropped out)\n",
                    gaps.size(), advances);
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir dir;
    installPrivateEnvironment(dir);
    QApplication app(argc, argv);
    const int advances = argc > 1 ? std::max(1, std::atoi(argv[1])) : envInt("RILUMO_GAP_ADVANCES", 12);
    SetAppFolderForTesting(dir.path());
    const QString list = writeToneList(dir, kTones, kToneMs);
    std::printf("auto-advance gap (goal under 50 ms)\n");
    nullRenderer(list, advances);
    soundServer(list, advances);
    return 0;
}
