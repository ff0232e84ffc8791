// Idle CPU: the real window stopped, its 15 ms timer running, beside a
// minimal Qt window, on a private virtual display. CPU is the process's
// user + system time from /proc over RILUMO_BENCH_IDLE_SECONDS (default 20),
// as a percentage of one core; the scheduler's run time gives a finer figure.

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>

#include "bench/window_run.h"

using namespace rilumo;
using namespace rilumo::bench;

namespace {

void idle(desktop::XClient& x, const QString& display, const char* label, const QString& program,
          const QString& registry, int seconds) {
    desktop::Child child;
    child.SetEnv("DISPLAY", display);
    child.SetEnv("RILUMO_AUDIO_SINK", "null");
    child.SetEnv("GST_REGISTRY", registry);
    const Launch l = startAndWaitForPaint(child, x, program, {});
    if (!l.ok) {
        std::printf("  %-18s no painted window\n", label);
        closeWindow(child, x, l.window);
        return;
    }
    // Past start-up work and any slow-down of an idle timer.
    QThread::msleep(3000);
    const desktop::ProcUsage a = desktop::ReadProcUsage(child.Pid());
    const auto t0 = Clock::now();
    QThread::msleep(unsigned(seconds) * 1000);
    const desktop::ProcUsage b = desktop::ReadProcUsage(child.Pid());
    const double wall = msSince(t0) / 1000;
    std::printf("  %-18s idle %2d s: %.3f %% of one core (utime+stime, %.2f s ticks), run time %.4f %%\n", label,
                seconds, 100 * (b.cpuSeconds - a.cpuSeconds) / wall, b.cpuSeconds - a.cpuSeconds,
                100 * (b.runSeconds - a.runSeconds) / wall);
    closeWindow(child, x, l.window);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::printf("idle CPU, window stopped (goal under 0.2 %%)\n");
    desktop::VirtualDisplay display;
    if (!display.Ok()) {
        std::printf("  skipped: %s\n", qPrintable(display.Error()));
        return 0;
    }
    desktop::XClient x(display.Name());
    QTemporaryDir dir;
    const int seconds = envInt("RILUMO_BENCH_IDLE_SECONDS", 20);
    idle(x, display.Name(), "rilumo", desktop::RilumoExecutable(), dir.filePath("registry.bin"), seconds);
    idle(x, display.Name(), "minimal Qt window", minimalWindowExecutable(), dir.filePath("registry.bin"), seconds);
    return 0;
}
