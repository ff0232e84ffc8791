// Start to first painted window: the real program beside a minimal Qt
// Widgets window, both on a private virtual display, watched from outside
// (first frame with more than one colour). Warm: a GStreamer registry that an
// earlier run wrote; cold: a registry file that does not exist yet, so the
// plugins are scanned again. RILUMO_BENCH_RUNS sets the runs per figure.

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

#include "bench/window_run.h"

using namespace rilumo;
using namespace rilumo::bench;

namespace {

struct Figures {
    double mapped = 0;
    double painted = 0;
    double worst = 0;
    int done = 0;
};

Figures measure(desktop::XClient& x, const QString& display, const QString& program, const QString& registry,
                bool coldEachRun, int runs) {
    desktop::Child child;
    child.SetEnv("DISPLAY", display);
    child.SetEnv("RILUMO_AUDIO_SINK", "null");
    std::vector<double> mapped, painted;
    for (int i = 0; i < runs; ++i) {
        child.SetEnv("GST_REGISTRY", coldEachRun ? registry + QString::number(i) : registry);
        const Launch l = startAndWaitForPaint(child, x, program, {});
        if (l.ok) {
            mapped.push_back(l.mappedMs);
            painted.push_back(l.paintedMs);
        }
        closeWindow(child, x, l.window);
    }
    Figures f;
    f.done = int(painted.size());
    if (f.done) {
        f.mapped = median(mapped);
        f.painted = median(painted);
        f.worst = *std::max_element(painted.begin(), painted.end());
    }
    return f;
}

void report(const char* label, const char* registry, const Figures& f, int runs) {
    if (!f.done) {
        std::printf("  %-22s %s registry: no painted window in %d runs\n", label, registry, runs);
        return;
    }
    std::printf("  %-22s %s registry: first paint median %7.1f ms (worst %7.1f), mapped median %7.1f ms, %d/%d runs\n",
                label, registry, f.painted, f.worst, f.mapped, f.done, runs);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::printf("start to first painted window\n");
    desktop::VirtualDisplay display;
    if (!display.Ok()) {
        std::printf("  skipped: %s\n", qPrintable(display.Error()));
        return 0;
    }
    desktop::XClient x(display.Name());
    const int runs = envInt("RILUMO_BENCH_RUNS", 7);
    const int coldRuns = std::max(3, runs / 2);
    QTemporaryDir dir;
    const QString warm = dir.filePath("warm-registry.bin");

    // Unmeasured first runs write the warm registry and fill the file cache.
    measure(x, display.Name(), desktop::RilumoExecutable(), warm, false, 1);
    measure(x, display.Name(), minimalWindowExecutable(), warm, false, 1);

    const Figures ours = measure(x, display.Name(), desktop::RilumoExecutable(), warm, false, runs);
    const Figures base = measure(x, display.Name(), minimalWindowExecutable(), warm, false, runs);
    report("rilumo", "warm", ours, runs);
    report("minimal Qt window", "warm", base, runs);
    const Figures oursCold = measure(x, display.Name(), desktop::RilumoExecutable(), dir.filePath("cold-"), true, coldRuns);
    const Figures baseCold = measure(x, display.Name(), minimalWindowExecutable(), dir.filePath("cold-min-"), true, coldRuns);
    report("rilumo", "cold", oursCold, coldRuns);
    report("minimal Qt window", "cold", baseCold, coldRuns);
    if (ours.done && base.done)
        std::printf("  ratio rilumo / minimal, warm: %.2fx (goal within 1.5x)\n", ours.painted / base.painted);
    if (oursCold.done && baseCold.done)
        std::printf("  ratio rilumo / minimal, cold: %.2fx\n", oursCold.painted / baseCold.painted);
    return 0;
}
