#pragma once
// Shared by the window benchmarks: start a window program on the virtual
// display, time its first mapped and first painted frame, close it.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "tests/desktop/session/desktop_session.h"

namespace rilumo::bench {

using Clock = std::chrono::steady_clock;

inline double msSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

inline double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A median with the range it came from.
struct Spread {
    double median = 0, low = 0, high = 0;
    int count = 0;
};

inline Spread spread(const std::vector<double>& v) {
    Spread s;
    if (v.empty()) return s;
    s.median = median(v);
    s.low = *std::min_element(v.begin(), v.end());
    s.high = *std::max_element(v.begin(), v.end());
    s.count = int(v.size());
    return s;
}

// Sleeps and wake-ups of all the process's threads so far, from /proc.
inline std::int64_t contextSwitches(qint64 pid) {
    std::int64_t total = 0;
    QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& t : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile f(tasks.filePath(t + QStringLiteral("/status")));
        if (!f.open(QIODevice::ReadOnly)) continue;
        for (const QByteArray& line : f.readAll().split('\n')) {
            if (line.startsWith("voluntary_ctxt_switches:") || line.startsWith("nonvoluntary_ctxt_switches:"))
                total += line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
        }
    }
    return total;
}

// A process's cost over the next seconds: the run time of all its threads as
// a share of one core, their wake-ups a second, and its resident memory at
// the end.
struct Usage {
    bool ok = false;
    double cpu = 0;      // % of one core
    double wakeups = 0;  // context switches a second
    double rssMb = 0;
};

inline Usage measureUsage(qint64 pid, int seconds) {
    const desktop::ProcUsage a = desktop::ReadProcUsage(pid);
    const std::int64_t sa = contextSwitches(pid);
    const auto t0 = Clock::now();
    QThread::msleep(unsigned(seconds) * 1000);
    const desktop::ProcUsage b = desktop::ReadProcUsage(pid);
    const std::int64_t sb = contextSwitches(pid);
    const double wall = msSince(t0) / 1000;
    return {a.ok && b.ok, 100 * (b.runSeconds - a.runSeconds) / wall, double(sb - sa) / wall, b.rssKb / 1024.0};
}

inline int envInt(const char* name, int fallback) {
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok && v > 0 ? v : fallback;
}

struct Launch {
    bool ok = false;
    double mappedMs = 0;
    double paintedMs = 0;
    std::uint32_t window = 0;
};

// A frame counts as painted once it holds two colours: the server shows the
// root's black or one background colour before the program draws anything.
inline Launch startAndWaitForPaint(desktop::Child& child, desktop::XClient& x, const QString& program,
                                   const QStringList& args, int timeoutMs = 60000) {
    Launch r;
    const auto t0 = Clock::now();
    if (!child.Start(program, args)) return r;
    while (msSince(t0) < timeoutMs && child.Running()) {
        const std::uint32_t w = x.TopLevel();
        if (w) {
            if (!r.window) r.mappedMs = msSince(t0);
            r.window = w;
            if (desktop::DistinctColours(x.Grab(w), 2) >= 2) {
                r.paintedMs = msSince(t0);
                r.ok = true;
                return r;
            }
        }
        QThread::msleep(2);
    }
    return r;
}

// Closes the window as a window manager would and waits until the screen is
// empty again, so that the next run starts from the bare root.
inline void closeWindow(desktop::Child& child, desktop::XClient& x, std::uint32_t window) {
    x.RequestClose(window);
    if (!child.WaitFinished(5000)) child.Kill();
    for (int i = 0; i < 500 && x.TopLevel(); ++i) QThread::msleep(2);
}

// The program under test; RILUMO_BENCH_EXE runs another build of it (an
// older one, for a before-and-after).
inline QString rilumoExecutable() {
    const QString chosen = qEnvironmentVariable("RILUMO_BENCH_EXE");
    return chosen.isEmpty() ? desktop::RilumoExecutable() : chosen;
}

inline QString minimalWindowExecutable() { return QStringLiteral(MINIMAL_WINDOW_EXE); }

}  // namespace rilumo::bench
