// CPU and peak memory while a 30-second 192 kb/s MP3 plays into a private
// sound server's null sink: the real window (started with a list, then Space
// typed into it) beside gst-play-1.0 and, when installed, audacious, playing
// the same file into the same sink. Steady CPU is taken from 2 s to 28 s of
// the track, total CPU from process start to the end of the track. The
// players take turns for a few rounds (RILUMO_BENCH_PLAY_ROUNDS, default 3)
// and the medians are compared: one run on a busy machine says little.

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>
#include <functional>

#include "bench/window_run.h"
#include "tests/common/media_fixtures.h"

using namespace rilumo;
using namespace rilumo::bench;

namespace {

constexpr int kTrackMs = 30000;

struct Figures {
    double steady = -1;  // % of one core
    double total = 0;    // seconds
    double hwmMb = 0;
};

// Samples the child until the track has had its time (or the child exits):
// the last sample stands for the end, since a finished process has no /proc.
Figures sampleWhilePlaying(const char* label, desktop::Child& child, desktop::SoundServer& sound,
                           Clock::time_point start) {
    desktop::ProcUsage at2, at28, last;
    int streams = -1;
    while (msSince(start) < kTrackMs + 300 && child.Running()) {
        const desktop::ProcUsage u = desktop::ReadProcUsage(child.Pid());
        if (u.ok) last = u;
        const double t = msSince(start);
        if (!at2.ok && t >= 2000) at2 = u;
        if (!at28.ok && t >= 28000) at28 = u;
        if (streams < 0 && t >= 15000) streams = sound.StreamCount();
        QThread::msleep(50);
    }
    if (!at2.ok || !at28.ok) {
        std::printf("  %-14s ended after %.1f s, before the track's time was up\n", label, msSince(start) / 1000);
        return {};
    }
    const Figures f{100 * (at28.runSeconds - at2.runSeconds) / 26.0, last.cpuSeconds, last.hwmKb / 1024.0};
    std::printf("  %-14s steady CPU %5.2f %% of one core, total CPU %.2f s, VmHWM %6.1f MB, streams at 15 s: %d%s\n",
                label, f.steady, f.total, f.hwmMb, streams, streams > 0 ? "" : " (nothing played)");
    return streams > 0 ? f : Figures{};
}

Figures runRilumo(desktop::SoundServer& sound, const QString& list, const QString& registry) {
    desktop::VirtualDisplay display;
    if (!display.Ok()) {
        std::printf("  rilumo         skipped: %s\n", qPrintable(display.Error()));
        return {};
    }
    desktop::XClient x(display.Name());
    desktop::Child child;
    child.SetEnv("DISPLAY", display.Name());
    child.SetEnv("PULSE_SERVER", sound.Server());
    child.SetEnv("GST_REGISTRY", registry);
    child.UnsetEnv("RILUMO_AUDIO_SINK");
    const Launch l = startAndWaitForPaint(child, x, desktop::RilumoExecutable(), {list});
    if (!l.ok) {
        std::printf("  rilumo         no painted window\n");
        return {};
    }
    QThread::msleep(300);
    const auto start = Clock::now();
    if (!desktop::SendKey(display.Name(), l.window, "space")) std::printf("  rilumo         xdotool failed\n");
    const Figures f = sampleWhilePlaying("rilumo", child, sound, start);
    closeWindow(child, x, l.window);
    return f;
}

Figures runTool(desktop::SoundServer& sound, const char* label, const QString& program, const QStringList& args,
                const QString& registry) {
    if (!desktop::HaveTool(program)) {
        std::printf("  %-14s skipped: %s not installed\n", label, qPrintable(program));
        return {};
    }
    desktop::Child child;
    child.SetEnv("PULSE_SERVER", sound.Server());
    child.SetEnv("GST_REGISTRY", registry);
    child.UnsetEnv("DISPLAY");
    const auto start = Clock::now();
    if (!child.Start(program, args)) {
        std::printf("  %-14s did not start\n", label);
        return {};
    }
    const Figures f = sampleWhilePlaying(label, child, sound, start);
    if (!child.WaitFinished(5000)) child.Kill();
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::printf("playing a 30 s 192 kb/s MP3 into a null sink\n");
    desktop::SoundServer sound;
    if (!sound.Ok()) {
        std::printf("  skipped: %s\n", qPrintable(sound.Error()));
        return 0;
    }
    QTemporaryDir dir;
    const QString wav = dir.filePath("tone.wav"), mp3 = dir.filePath("tone.mp3"), list = dir.filePath("list.lst");
    if (!test::WriteSineWave(wav, 44100, 2, 16, 440, kTrackMs) ||
        !test::EncodeWithGStreamer(wav, mp3, "lamemp3enc target=bitrate bitrate=192 cbr=true ! id3v2mux")) {
        std::printf("  skipped: no MP3 encoder\n");
        return 0;
    }
    test::WriteFile(list, (mp3 + "\r\n").toUtf8());
    const QString registry = dir.filePath("registry.bin");

    const char* labels[] = {"rilumo", "gst-play-1.0", "audacious"};
    std::vector<double> steady[3], total[3], hwm[3];
    const int rounds = std::max(1, envInt("RILUMO_BENCH_PLAY_ROUNDS", 3));
    for (int r = 0; r < rounds; ++r) {
        const Figures f[3] = {runRilumo(sound, list, registry),
                              runTool(sound, labels[1], "gst-play-1.0", {"--no-interactive", "-q", mp3}, registry),
                              runTool(sound, labels[2], "audacious", {"-H", "-q", mp3}, registry)};
        for (int i = 0; i < 3; ++i) {
            if (f[i].steady < 0) continue;
            steady[i].push_back(f[i].steady);
            total[i].push_back(f[i].total);
            hwm[i].push_back(f[i].hwmMb);
        }
    }
    std::printf("medians over %d rounds (goal: rilumo no more CPU than the lightest):\n", rounds);
    for (int i = 0; i < 3; ++i) {
        if (steady[i].empty()) continue;
        std::printf("  %-14s steady CPU %5.2f %% of one core, total CPU %.2f s, VmHWM %6.1f MB\n", labels[i],
                    median(steady[i]), median(total[i]), median(hwm[i]));
    }
    return 0;
}
