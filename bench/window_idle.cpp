// Idle cost, stopped, window showing on a private virtual display: the real
// window beside a minimal Qt window and the installed peers' windows
// (audacious GTK, Quod Libet). CPU is the scheduler's run time of all
// threads over RILUMO_BENCH_IDLE_SECONDS (default 10), as a percentage of one
// core; wake-ups are the context switches of all threads a second. The
// programs take turns for RILUMO_BENCH_IDLE_ROUNDS rounds (default 3).

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

#include "bench/window_run.h"

using namespace rilumo;
using namespace rilumo::bench;

namespace {

struct Program {
    const char* label;
    QString program;
    QStringList args;
};

struct Figures {
    bool ok = false;
    double cpu = 0;
    double wakeups = 0;
};

Figures idle(const Program& p, const QString& registry, int seconds) {
    desktop::VirtualDisplay display;
    if (!display.Ok()) return {};
    desktop::XClient x(display.Name());
    desktop::Child child;
    child.SetEnv("DISPLAY", display.Name());
    child.SetEnv("RILUMO_AUDIO_SINK", "null");
    child.SetEnv("GST_REGISTRY", registry);
    const Launch l = startAndWaitForPaint(child, x, p.program, p.args);
    if (!l.ok) {
        std::printf("    %-18s no painted window\n", p.label);
        child.Kill();
        return {};
    }
    // Past start-up work and any slow-down of an idle timer.
    QThread::msleep(3000);
    const Usage u = measureUsage(child.Pid(), seconds);
    const Figures f{u.ok, u.cpu, u.wakeups};
    std::printf("    %-18s idle %2d s: CPU %.4f %% of one core, %.2f wake-ups/s\n", p.label, seconds, f.cpu,
                f.wakeups);
    closeWindow(child, x, l.window);
    if (child.Running()) child.Kill();
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // figures as they come, also into a file
    std::printf("idle, window stopped (goal: rilumo 0 wake-ups/s)\n");
    QTemporaryDir dir;
    const int seconds = envInt("RILUMO_BENCH_IDLE_SECONDS", 10);
    const int rounds = envInt("RILUMO_BENCH_IDLE_ROUNDS", 3);
    std::vector<Program> programs = {{"rilumo", rilumoExecutable(), {}},
                                     {"minimal Qt window", minimalWindowExecutable(), {}}};
    if (desktop::HaveTool("audacious")) programs.push_back({"audacious GTK", "audacious", {"-G"}});
    else std::printf("  audacious GTK      skipped: not installed\n");
    if (desktop::HaveTool("quodlibet")) programs.push_back({"quodlibet", "quodlibet", {"--run"}});
    else std::printf("  quodlibet          skipped: not installed\n");
    std::vector<std::vector<double>> cpu(programs.size()), wake(programs.size());
    for (int r = 0; r < rounds; ++r) {
        std::printf("  round %d\n", r + 1);
        for (size_t i = 0; i < programs.size(); ++i) {
            const Figures f = idle(programs[i], dir.filePath("registry.bin"), seconds);
            if (!f.ok) continue;
            cpu[i].push_back(f.cpu);
            wake[i].push_back(f.wakeups);
        }
    }
    for (size_t i = 0; i < programs.size(); ++i) {
        const Spread c = spread(cpu[i]), w = spread(wake[i]);
        if (!c.count) continue;
        std::printf("  %-18s CPU median %.4f %% (range %.4f to %.4f), wake-ups median %.2f/s (range %.2f to %.2f)\n",
                    programs[i].label, c.median, c.low, c.high, w.median, w.low, w.high);
    }
    return 0;
}
