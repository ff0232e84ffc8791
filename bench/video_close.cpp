// Leaving a video file: how long the window thread spends in CloseWave and in
// a new FileName write while a video plays, how long its graph takes to go
// on the worker, and how long the format summary takes for videos and for
// files that are not audio at all. Plays into the null renderer
// (RILUMO_AUDIO_SINK=null unless set). Needs ffmpeg for the videos.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <thread>

#include "playback/c_fgraph.h"
#include "playback/graph/graph.h"
#include "playback/media_summary.h"
#include "tests/common/media_fixtures.h"
#include "tests/common/test_env.h"

using namespace rilumo;

namespace {

double msOf(const QElapsedTimer& t) { return t.nsecsElapsed() / 1e6; }

// Plays until the position passes ms, polling as the window's tick does.
bool playPast(C_FGraph& p, int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 20000) {
        p.Poll();
        if (p.mode() == 3 && p.Position(0) > ms) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
    return false;
}

void closeFigures(const QString& kind, const QString& video, const QString& wav) {
    C_FGraph p;
    p.Init();
    p.SetFileName(video);
    p.WaitLoaded(30000);
    p.Play();
    if (!playPast(p, 800)) {
        std::printf("%-4s  did not play\n", qPrintable(kind));
        return;
    }
    QElapsedTimer t;
    t.start();
    p.CloseWave();
    const double close = msOf(t);
    t.restart();
    const bool gone = graph::Graph::WaitForRetiredGraphs(10000);
    const double retire = msOf(t);

    p.SetFileName(video);
    p.WaitLoaded(30000);
    p.Play();
    playPast(p, 800);
    t.restart();
    p.SetFileName(wav);
    const double replace = msOf(t);
    p.WaitLoaded(30000);
    p.CloseWave();
    graph::Graph::WaitForRetiredGraphs(10000);
    std::printf("%-4s  CloseWave %7.2f ms  new FileName %7.2f ms  graph gone after %7.2f ms%s\n",
                qPrintable(kind), close, replace, retire, gone ? "" : " (still there)");
}

void summaryFigure(const QString& label, const QString& path) {
    QElapsedTimer t;
    t.start();
    const MediaSummary s = BuildMediaSummary(path);
    std::printf("summary %-12s %8.1f ms  length %d ms\n", qPrintable(label), msOf(t), s.DurationMs);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("RILUMO_AUDIO_SINK")) qputenv("RILUMO_AUDIO_SINK", "null");
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString wav = dir.filePath("after.wav");
    test::WriteSineWave(wav, 44100, 2, 16, 440, 1000);
    if (!test::HaveFfmpeg()) std::printf("ffmpeg missing: no video figures\n");
    for (const QString kind : {"avi", "wmv", "mpg", "ogg"}) {
        const QString video = dir.filePath("clip." + kind);
        if (!test::WriteVideoFile(kind, video, 3000)) continue;
        closeFigures(kind, video, wav);
        summaryFigure(kind, video);
    }
    for (const QString name : {"zeros.wav", "zeros.flac", "zeros.mp3"}) {
        const QString path = dir.filePath(name);
        test::WriteFile(path, QByteArray(100 << 20, '\0'));
        summaryFigure(name + " 100M", path);
    }
    const QString picture = dir.filePath("picture.mp3");
    test::WriteFile(picture, QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(3000, 'x'));
    summaryFigure("png as mp3", picture);
    graph::Graph::WaitForRetiredGraphs(10000);
    return 0;
}
