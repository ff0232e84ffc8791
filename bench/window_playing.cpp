// CPU, wake-ups and memory while a 192 kb/s MP3 and a FLAC file play into a
// private sound server's null sink: the real window (started with a list,
// then Space typed into it, the window showing on a virtual display) beside
// the peers that are installed (audacious's GTK window, Quod Libet, and
// gst-play-1.0 without a window), playing the same file into the same sink.
// A player's figures are taken over RILUMO_BENCH_PLAY_SECONDS (default 15)
// from 2 s after its stream reached the sound server. The players take turns
// for RILUMO_BENCH_PLAY_ROUNDS rounds (default 3): medians and ranges.

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "bench/window_run.h"
#include "tests/common/media_fixtures.h"

using namespace rilumo;
using namespace rilumo::bench;

namespace {

constexpr int kSettleMs = 2000;

struct Figures {
    bool ok = false;
    double cpu = 0;     // % of one core, scheduler run time
    double wakeups = 0; // context switches a second, all threads
    double rssMb = 0;   // resident at the end of the window
};

struct Player {
    const char* label;
    QString program;  // empty: the real window
    std::function<QStringList(const QString& file)> args;
    bool window = true;
    QString build;  // the real window's executable, when not this build's
};

// Waits for the child's stream, then measures it over the window.
Figures measure(const char* label, desktop::Child& child, desktop::SoundServer& sound, int seconds) {
    const auto start = Clock::now();
    while (child.Running() && sound.StreamCount() < 1) {
        if (msSince(start) > 30000) {
            std::printf("    %-16s no stream reached the sound server\n", label);
            return {};
        }
        QThread::msleep(100);
    }
    QThread::msleep(kSettleMs);
    const Usage u = measureUsage(child.Pid(), seconds);
    if (!u.ok || !child.Running() || sound.StreamCount() < 1) {
        std::printf("    %-16s stopped playing before %d s were up\n", label, seconds);
        return {};
    }
    Figures f{true, u.cpu, u.wakeups, u.rssMb};
    std::printf("    %-16s CPU %5.2f %% of one core, %6.1f wake-ups/s, VmRSS %6.1f MB\n", label, f.cpu, f.wakeups,
                f.rssMb);
    return f;
}

Figures run(const Player& p, desktop::SoundServer& sound, const QString& file, const QString& list,
            const QString& registry, int seconds) {
    const QString program = !p.program.isEmpty() ? p.program : !p.build.isEmpty() ? p.build : rilumoExecutable();
    if (!p.program.isEmpty() && !desktop::HaveTool(p.program)) return {};
    desktop::VirtualDisplay display;
    if (p.window && !display.Ok()) {
        std::printf("    %-16s skipped: %s\n", p.label, qPrintable(display.Error()));
        return {};
    }
    desktop::XClient x(display.Name());
    desktop::Child child;
    child.SetEnv("PULSE_SERVER", sound.Server());
    child.SetEnv("GST_REGISTRY", registry);
    child.UnsetEnv("RILUMO_AUDIO_SINK");
    if (p.window) child.SetEnv("DISPLAY", display.Name());
    else child.UnsetEnv("DISPLAY");
    Figures f;
    if (p.program.isEmpty()) {
        const Launch l = startAndWaitForPaint(child, x, program, {list});
        if (!l.ok) {
            std::printf("    %-16s no painted window\n", p.label);
            return {};
        }
        QThread::msleep(300);
        if (!desktop::SendKey(display.Name(), l.window, "space")) std::printf("    %-16s xdotool failed\n", p.label);
        f = measure(p.label, child, sound, seconds);
        closeWindow(child, x, l.window);
        for (int i = 0; i < 50 && sound.StreamCount() > 0; ++i) QThread::msleep(100);
        return f;
    }
    if (!child.Start(program, p.args(file))) {
        std::printf("    %-16s did not start\n", p.label);
        return {};
    }
    f = measure(p.label, child, sound, seconds);
    child.Kill();
    // The sound server forgets the killed client's stream after a moment.
    for (int i = 0; i < 50 && sound.StreamCount() > 0; ++i) QThread::msleep(100);
    return f;
}

void printSpread(const char* label, const char* what, const Spread& s, const char* unit) {
    std::printf("  %-16s %-9s median %7.2f %s (range %.2f to %.2f, %d rounds)\n", label, what, s.median, unit, s.low,
                s.high, s.count);
}

void ratio(const char* what, const Spread& ours, const Spread& theirs, const char* peer, const char* goal) {
    if (ours.count && theirs.count && theirs.median > 0)
        std::printf("  ratio rilumo / %-14s %-9s %.2fx (%s)\n", peer, what, ours.median / theirs.median, goal);
}

void benchKind(const char* kind, const QString& file, const QString& list, desktop::SoundServer& sound,
           const QString& registry) {
    std::vector<Player> players = {
        {"rilumo", QString(), nullptr, true, QString()},
        {"audacious GTK", QStringLiteral("audacious"), [](const QString& f) { return QStringList{"-G", f}; }, true,
         QString()},
        {"quodlibet", QStringLiteral("quodlibet"),
         [](const QString& f) { return QStringList{"--run", "--play-file=" + f}; }, true, QString()},
        {"gst-play-1.0", QStringLiteral("gst-play-1.0"),
         [](const QString& f) { return QStringList{"--no-interactive", "-q", f}; }, false, QString()},
    };
    // Another build of the window in the same rounds, for a before-and-after.
    const QString before = qEnvironmentVariable("RILUMO_BENCH_BEFORE_EXE");
    if (!before.isEmpty()) players.push_back({"rilumo (before)", QString(), nullptr, true, before});
    const int rounds = std::max(1, envInt("RILUMO_BENCH_PLAY_ROUNDS", 3));
    const int seconds = envInt("RILUMO_BENCH_PLAY_SECONDS", 15);
    std::printf("%s, %d rounds of %d s each\n", kind, rounds, seconds);
    for (const Player& p : players)
        if (!p.program.isEmpty() && !desktop::HaveTool(p.program))
            std::printf("  %-16s skipped: not installed\n", p.label);
    std::vector<std::vector<double>> cpu(players.size()), wake(players.size()), rss(players.size());
    for (int r = 0; r < rounds; ++r) {
        std::printf("  round %d\n", r + 1);
        for (size_t i = 0; i < players.size(); ++i) {
            const Figures f = run(players[i], sound, file, list, registry, seconds);
            if (!f.ok) continue;
            cpu[i].push_back(f.cpu);
            wake[i].push_back(f.wakeups);
            rss[i].push_back(f.rssMb);
        }
    }
    std::vector<Spread> c, w, m;
    for (size_t i = 0; i < players.size(); ++i) {
        c.push_back(spread(cpu[i]));
        w.push_back(spread(wake[i]));
        m.push_back(spread(rss[i]));
        if (!c[i].count) continue;
        printSpread(players[i].label, "CPU", c[i], "% ");
        printSpread(players[i].label, "wake-ups", w[i], "/s");
        printSpread(players[i].label, "VmRSS", m[i], "MB");
    }
    ratio("CPU", c[0], c[1], "audacious GTK", "goal at most 0.45x");
    ratio("CPU", c[0], c[2], "quodlibet", "goal below 1x");
    ratio("VmRSS", m[0], m[1], "audacious GTK", "goal at most 1x");
    if (players.size() > 4) ratio("CPU", c[0], c[4], "its build before", "lower is better");
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // figures as they come, also into a file
    desktop::SoundServer sound;
    if (!sound.Ok()) {
        std::printf("skipped: %s\n", qPrintable(sound.Error()));
        return 0;
    }
    QTemporaryDir dir;
    const int trackMs = (envInt("RILUMO_BENCH_PLAY_SECONDS", 15) + 20) * 1000;
    const QString wav = dir.filePath("tone.wav");
    if (!test::WriteSineWave(wav, 44100, 2, 16, 440, trackMs)) return 1;
    const QString registry = dir.filePath("registry.bin");
    struct Kind {
        const char* label;
        QString file;
        const char* pipeline;
    } kinds[] = {{"192 kb/s MP3", dir.filePath("tone.mp3"), "lamemp3enc target=bitrate bitrate=192 cbr=true ! id3v2mux"},
                 {"FLAC", dir.filePath("tone.flac"), "flacenc"}};
    for (const Kind& k : kinds) {
        if (!test::EncodeWithGStreamer(wav, k.file, QString::fromLatin1(k.pipeline))) {
            std::printf("%s: skipped, no encoder\n", k.label);
            continue;
        }
        const QString list = k.file + QStringLiteral(".lst");
        test::WriteFile(list, (k.file + "\r\n").toUtf8());
        benchKind(k.label, k.file, list, sound, registry);
    }
    return 0;
}
