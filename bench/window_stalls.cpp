// The window's longest stall while it tries each hostile file: files of
// zeros as a half-finished download leaves them, a picture under an audio
// name, a truncated MP3, a source that trickles. A probe timer on the window
// thread fires every 2 ms; the longest gap between two firings is the stall.
// Also how long until the window has given the file up ("STOP") or played it.

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>

#include <sys/stat.h>

#include <csignal>

#include <atomic>
#include <cstdio>
#include <thread>

#include "bench/controller_run.h"
#include "support/paths.h"

using namespace rilumo;
using namespace rilumo::bench;

namespace {

struct Outcome {
    qint64 stallMs = 0;
    qint64 settledMs = -1;  // -1: still not settled at the limit
    QString status;
};

Outcome tryFile(FrmMain& w, const QString& path, int limitMs) {
    w.PlayButtons_ButtonClicked(0);
    w.LV().DeleteAll();
    w.AddTitle(path, -2);
    w.LV().Refresh();
    w.LV().SetSelectedItem(0);
    QElapsedTimer probe, clock;
    Outcome o;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] { o.stallMs = std::max(o.stallMs, probe.restart()); });
    probe.start();
    clock.start();
    tick.start(2);
    w.LV_DblClicked();
    o.stallMs = std::max(o.stallMs, probe.restart());
    while (clock.elapsed() < limitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const bool stopped = w.PicPlay().TextMes(0) == QLatin1String("STOP") && w.Player().mode() == 1;
        if (stopped && o.settledMs < 0) o.settledMs = clock.elapsed();
        if (o.settledMs >= 0 && clock.elapsed() > o.settledMs + 200) break;
    }
    o.status = w.PicPlay().TextMes(0);
    w.PlayButtons_ButtonClicked(0);
    return o;
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir dir;
    installPrivateEnvironment(dir);
    // The trickling writer's reader may go away first.
    std::signal(SIGPIPE, SIG_IGN);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QApplication app(argc, argv);
    SetAppFolderForTesting(dir.path());
    std::printf("window stalls on hostile files (goal: every stall under 50 ms, a refusal within 1 s)\n");

    const auto zeros = [&](const char* name, qint64 size) {
        const QString p = dir.filePath(QString::fromLatin1(name));
        QFile f(p);
        if (f.open(QIODevice::WriteOnly)) f.resize(size);  // sparse, as a preallocating download leaves it
        return p;
    };
    const QString zeros2g = zeros("download.wav", 2LL << 30);
    const QString zeros100m = zeros("download.flac", 100LL << 20);
    const QString picture = dir.filePath("cover.mp3");
    QImage(64, 64, QImage::Format_RGB32).save(picture, "PNG");
    const QString wav = dir.filePath("tone.wav"), mp3 = dir.filePath("tone.mp3"), cut = dir.filePath("cut.mp3");
    test::WriteSineWave(wav, 44100, 2, 16, 440, 3000);
    if (test::EncodeAs("mp3", wav, mp3)) {
        const QByteArray bytes = test::ReadFile(mp3);
        test::WriteFile(cut, bytes.left(bytes.size() / 3));
    }
    // A pipe under an audio name whose writer trickles a WAV header and then nothing.
    const QString pipe = dir.filePath("stream.wav");
    ::mkfifo(pipe.toLocal8Bit().constData(), 0600);
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        FILE* f = std::fopen(pipe.toLocal8Bit().constData(), "wb");
        if (!f) return;
        const QByteArray head = test::PcmWave(44100, 2, 16, QByteArray(64, '\0')).left(44);
        for (char c : head) {
            if (stop) break;
            std::fputc(c, f);
            std::fflush(f);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        while (!stop) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::fclose(f);
    });

    // A WAV still being downloaded: its header promises a minute, the data
    // grows by 8 KiB every 100 ms.
    const QString growing = dir.filePath("growing.wav");
    const QByteArray promise = test::PcmWave(44100, 2, 16, QByteArray(44100 * 4 * 60, '\0'));
    test::WriteFile(growing, promise.left(44 + 8192));
    std::thread grower([&] {
        QFile f(growing);
        if (!f.open(QIODevice::Append)) return;
        for (qsizetype at = 44 + 8192; !stop && at < promise.size(); at += 8192) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            f.write(promise.mid(at, 8192));
            f.flush();
        }
    });

    auto w = openWindow(QString(), "null");
    struct Case {
        const char* label;
        QString path;
    };
    const Case cases[] = {
        {"2 GB of zeros named .wav", zeros2g}, {"100 MB of zeros named .flac", zeros100m},
        {"a PNG named .mp3", picture},         {"an MP3 cut to a third (plays on)", cut},
        {"a pipe that trickles", pipe},         {"a WAV still being downloaded", growing},
    };
    for (const Case& c : cases) {
        if (!QFile::exists(c.path)) {
            std::printf("  %-36s skipped (could not be made)\n", c.label);
            continue;
        }
        const Outcome o = tryFile(*w, c.path, 5000);
        if (o.settledMs >= 0) {
            std::printf("  %-36s longest stall %4lld ms; refused (STOP) after %lld ms\n", c.label,
                        static_cast<long long>(o.stallMs), static_cast<long long>(o.settledMs));
        } else {
            std::printf("  %-36s longest stall %4lld ms; after 5 s it shows %s\n", c.label,
                        static_cast<long long>(o.stallMs), qPrintable(o.status));
        }
    }
    stop = true;
    {
        // Opens the pipe's other end in case the player never did, so the writer can end.
        QFile drain(pipe);
        if (drain.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) drain.close();
    }
    writer.join();
    grower.join();
    w->close();
    return 0;
}
