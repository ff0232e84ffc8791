// Soak: thousands of auto-advances over short tracks of mixed formats (MP3,
// FLAC, Ogg, Opus, M4A, WAV) through the real window
// and its running timer, null renderer. Reports resident-memory growth from
// after a warm-up to the end, and the longest stall of the tick, measured by
// a slot on the same timer that runs right after each tick.
// Count: first argument or RILUMO_SOAK_ADVANCES (default 2000).

#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

#include "bench/controller_run.h"
#include "support/paths.h"

using namespace rilumo;
using namespace rilumo::bench;

namespace {

// One tone in each format the window plays most; a format that cannot be
// encoded here stays a WAV.
QString writeMixedList(const QTemporaryDir& dir, int ms) {
    const char* kinds[] = {"mp3", "flac", "ogg", "opus", "m4a", "wav"};
    QByteArray list;
    int i = 0;
    for (const char* kind : kinds) {
        const QString wav = dir.filePath(QStringLiteral("tone%1.wav").arg(i));
        test::WriteSineWave(wav, 44100, 2, 16, 440.0 + 110.0 * i, ms);
        QString path = dir.filePath(QStringLiteral("tone%1.%2").arg(i).arg(QLatin1String(kind)));
        if (path != wav && !test::EncodeAs(QLatin1String(kind), wav, path)) path = wav;
        list += path.toUtf8() + "\r\n";
        ++i;
    }
    const QString listPath = dir.filePath("mixed.lst");
    test::WriteFile(listPath, list);
    return listPath;
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir dir;
    installPrivateEnvironment(dir);
    QApplication app(argc, argv);
    SetAppFolderForTesting(dir.path());
    const int advances = argc > 1 ? std::max(1, std::atoi(argv[1])) : envInt("RILUMO_SOAK_ADVANCES", 2000);
    const int warmUp = std::min(100, advances / 4);
    const QString list = writeMixedList(dir, 150);
    std::printf("soak: %d auto-advances over 150 ms tracks of six formats, null renderer (goal: growth under 1 MB)\n",
                advances);

    auto w = openWindow(list, "null");
    int seen = 0;
    std::int32_t lastIndex = w->State().playIndex;
    desktop::ProcUsage afterWarmUp;
    QElapsedTimer sinceTick;
    qint64 longest = 0, longestWarm = 0;
    int over50 = 0, ticks = 0;
    const auto t0 = Clock::now();
    // Connected after the window's own slot, so it runs when each tick is done.
    QObject::connect(&w->TimerMCI(), &QTimer::timeout, [&] {
        const qint64 gap = sinceTick.isValid() ? sinceTick.restart() : (sinceTick.start(), 0);
        ++ticks;
        if (seen < warmUp) {
            longestWarm = std::max(longestWarm, gap);
        } else {
            longest = std::max(longest, gap);
            if (gap > 50) ++over50;
        }
        if (w->State().playIndex != lastIndex) {
            lastIndex = w->State().playIndex;
            if (++seen == warmUp) afterWarmUp = desktop::ReadSelfUsage();
        }
        if (seen >= advances) qApp->quit();
    });
    // No advance within a few seconds means the window does not play on.
    QTimer watchdog;
    int lastSeen = -1;
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        if (seen == lastSeen) qApp->quit();
        lastSeen = seen;
    });
    watchdog.start(5000);
    w->PlayButtons_ButtonClicked(2);
    qApp->exec();
    const desktop::ProcUsage end = desktop::ReadSelfUsage();
    const double wall = msSince(t0) / 1000;
    w->PlayButtons_ButtonClicked(0);
    w->close();

    if (seen < advances) std::printf("  stopped early: %d advances seen (the window did not play on)\n", seen);
    if (seen <= warmUp) return 0;
    std::printf("  %d advances in %.1f s (%.1f ms each), %d ticks\n", seen, wall, 1000 * wall / seen, ticks);
    std::printf("  VmRSS after %d advances %.1f MB, at the end %.1f MB: growth %+.2f MB; VmHWM %.1f MB\n", warmUp,
                afterWarmUp.rssKb / 1024.0, end.rssKb / 1024.0, (end.rssKb - afterWarmUp.rssKb) / 1024.0,
                end.hwmKb / 1024.0);
    std::printf("  longest interval between ticks after warm-up %lld ms (during warm-up %lld ms); %d intervals over 50 ms\n",
                static_cast<long long>(longest), static_cast<long long>(longestWarm), over50);
    return 0;
}
