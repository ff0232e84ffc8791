// Start to first painted window: the real program beside a minimal Qt
// Widgets window, both on a private virtual display, watched from outside
// (first frame with more than one colour), in interleaved runs. Warm: a
// GStreamer registry that an earlier run wrote; cold: a registry file that
// does not exist yet, so the plugins are scanned again. RILUMO_BENCH_RUNS
// sets the runs per figure.

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

#include "bench/window_run.h"

using namespace rilumo;
using namespace rilumo::bench;

namespace {

// Milliseconds to the first painted frame, or -1.
double paint(desktop::XClient& x, const QString& display, const QString& program, const QString& registry) {
    desktop::Child child;
    child.SetEnv("DISPLAY", display);
    child.SetEnv("RILUMO_AUDIO_SINK", "null");
    child.SetEnv("GST_REGISTRY", registry);
    const Launch l = startAndWaitForPaint(child, x, program, {});
    closeWindow(child, x, l.window);
    return l.ok ? l.paintedMs : -1;
}

void report(const char* label, const char* registry, const std::vector<double>& v, int runs) {
    const Spread s = spread(v);
    if (!s.count) {
        std::printf("  %-18s %s registry: no painted window in %d runs\n", label, registry, runs);
        return;
    }
    std::printf("  %-18s %s registry: first paint median %7.1f ms (range %.1f to %.1f), %d/%d runs\n", label,
                registry, s.median, s.low, s.high, s.count, runs);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // figures as they come, also into a file
    std::printf("start to first painted window\n");
    desktop::VirtualDisplay display;
    if (!display.Ok()) {
        std::printf("  skipped: %s\n", qPrintable(display.Error()));
        return 0;
    }
    desktop::XClient x(display.Name());
    const int runs = envInt("RILUMO_BENCH_RUNS", 7);
    QTemporaryDir dir;
    const QString warm = dir.filePath("warm-registry.bin");
    const QString rilumo = rilumoExecutable(), minimal = minimalWindowExecutable();

    // Unmeasured first runs write the warm registry and fill the file cache.
    paint(x, display.Name(), rilumo, warm);
    paint(x, display.Name(), minimal, warm);

    std::vector<double> ours, base, oursCold, baseCold;
    auto keep = [](std::vector<double>& v, double ms) {
        if (ms >= 0) v.push_back(ms);
    };
    for (int i = 0; i < runs; ++i) {
        keep(ours, paint(x, display.Name(), rilumo, warm));
        keep(base, paint(x, display.Name(), minimal, warm));
        keep(oursCold, paint(x, display.Name(), rilumo, dir.filePath("cold-%1.bin").arg(i)));
        keep(baseCold, paint(x, display.Name(), minimal, warm));
    }
    report("rilumo", "warm", ours, runs);
    report("minimal Qt window", "warm", base, runs);
    report("rilumo", "cold", oursCold, runs);
    report("minimal Qt window", "(beside cold)", baseCold, runs);
    if (!ours.empty() && !base.empty())
        std::printf("  ratio rilumo / minimal, warm: %.2fx (goal within 1.3x)\n", median(ours) / median(base));
    if (!oursCold.empty() && !baseCold.empty())
        std::printf("  ratio rilumo / minimal, cold registry: %.2fx (goal within 2x)\n",
                    median(oursCold) / median(baseCold));
    return 0;
}
