// Playback engine figures: the window thread's cost of one steady-state poll,
// load-to-running times, and the process CPU time of a 30-second MP3 beside
// gst-play-1.0 playing the same file into the same kind of sink.
// Plays into the null renderer (RILUMO_AUDIO_SINK=null unless set).

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>
#include <vector>

#include "playback/c_fgraph.h"
#include "tests/common/media_fixtures.h"

using namespace rilumo;
using Clock = std::chrono::steady_clock;

namespace {

double usSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
}

double processCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

double childrenCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

QString encode(const QString& wav, const QString& out, const QString& fragment) {
    return test::EncodeWithGStreamer(wav, out, fragment) ? out : QString();
}

void pollCost(const QString& wav) {
    C_FGraph p;
    p.Init();
    p.SetFileName(wav);
    p.WaitLoaded(30000);
    p.Play();
    sleepMs(300);
    std::vector<double> us;
    int sink = 0;
    for (int i = 0; i < 1000; ++i) {
        const auto t0 = Clock::now();
        p.Poll();
        sink += p.mode() + p.Length() + p.Position(0);
        us.push_back(usSince(t0));
        sleepMs(2);
    }
    std::printf("poll (Poll, mode, Length, Position(0)) while playing: median %.1f us, worst %.1f us over %zu polls%s\n",
                median(us), *std::max_element(us.begin(), us.end()), us.size(), sink ? "" : " (?)");
    p.CloseWave();
}

void loadToRunning(const char* label, const QString& a, const QString& b) {
    if (a.isEmpty()) {
        std::printf("load-to-running %-4s: no encoder\n", label);
        return;
    }
    C_FGraph p;
    p.Init();
    std::vector<double> toPlay, toSound;
    for (int i = 0; i < 12; ++i) {
        const QString& file = i % 2 ? b : a;
        const auto t0 = Clock::now();
        p.SetFileName(file);
        p.Play();
        toPlay.push_back(usSince(t0) / 1000);
        // The graph gets ready in the background; the polls carry the load on.
        for (p.Poll(); p.Position(0) <= 0 && usSince(t0) < 30e6; p.Poll()) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        toSound.push_back(usSince(t0) / 1000);
        if (p.mode() != 3) std::printf("  (%s did not run)\n", label);
        p.StopIO();
    }
    // The first load warms caches; the figures are of the steady state.
    toPlay.erase(toPlay.begin(), toPlay.begin() + 2);
    toSound.erase(toSound.begin(), toSound.begin() + 2);
    std::printf("load-to-running %-4s: median %.1f ms, worst %.1f ms (FileName write + Play return); "
                "first position advance: median %.1f ms\n",
                label, median(toPlay), *std::max_element(toPlay.begin(), toPlay.end()), median(toSound));
}

void cpuBeside(const QString& mp3) {
    if (mp3.isEmpty()) {
        std::printf("cpu: no MP3 encoder\n");
        return;
    }
    C_FGraph p;
    p.Init();
    p.SetFileName(mp3);
    p.WaitLoaded(30000);
    const double cpu0 = processCpuSeconds();
    const auto t0 = Clock::now();
    p.Play();
    // The window's timer: a poll every 15 ms until the end is reported.
    for (p.Poll(); p.mode() != 0 && usSince(t0) < 40e6; p.Poll()) {
        p.Position(0);
        sleepMs(15);
    }
    const double ours = processCpuSeconds() - cpu0;
    const double wall = usSince(t0) / 1e6;
    p.CloseWave();

    const double child0 = childrenCpuSeconds();
    const auto t1 = Clock::now();
    QProcess gstPlay;
    gstPlay.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    gstPlay.setStandardOutputFile(QProcess::nullDevice());
    gstPlay.start("gst-play-1.0", {"--no-interactive", "-q", "--audiosink=fakesink sync=true", mp3});
    gstPlay.waitForFinished(60000);
    const double theirs = childrenCpuSeconds() - child0;
    const double wall2 = usSince(t1) / 1e6;
    std::printf("cpu playing a 30 s MP3: rilumo %.3f s over %.1f s; gst-play-1.0 %.3f s over %.1f s; ratio %.2fx\n",
                ours, wall, theirs, wall2, theirs > 0 ? ours / theirs : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("RILUMO_AUDIO_SINK")) qputenv("RILUMO_AUDIO_SINK", "null");
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString wav = dir.filePath("tone.wav");
    const QString wav2 = dir.filePath("tone2.wav");
    const QString long30 = dir.filePath("long.wav");
    test::WriteSineWave(wav, 44100, 2, 16, 440, 10000);
    test::WriteSineWave(wav2, 44100, 2, 16, 660, 10000);
    test::WriteSineWave(long30, 44100, 2, 16, 440, 30000);
    const QString mp3 = encode(wav, dir.filePath("a.mp3"), "lamemp3enc target=bitrate bitrate=192 cbr=true");
    const QString mp3b = encode(wav2, dir.filePath("b.mp3"), "lamemp3enc target=bitrate bitrate=192 cbr=true");
    const QString wma = encode(wav, dir.filePath("a.wma"), "avenc_wmav2 ! asfmux");
    const QString wmab = encode(wav2, dir.filePath("b.wma"), "avenc_wmav2 ! asfmux");
    const QString mp3long = encode(long30, dir.filePath("long.mp3"), "lamemp3enc target=bitrate bitrate=192 cbr=true");

    pollCost(wav);
    loadToRunning("WAV", wav, wav2);
    loadToRunning("MP3", mp3, mp3b);
    loadToRunning("WMA", wma, wmab);
    cpuBeside(mp3long);
    return 0;
}
