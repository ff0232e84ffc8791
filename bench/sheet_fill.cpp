// Sheets in the folder fill: a folder of FLAC files, each asked for a sheet
// in its tags on the window thread, beside the same folder of WAV files;
// and a saved list of a 99-track sheet's tracks, one line each.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>

#include "app/frm_main.h"
#include "support/paths.h"
#include "tests/common/media_fixtures.h"
#include "tests/common/test_env.h"

using namespace rilumo;

namespace {

template <class F>
double bestMs(int runs, F&& f) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        best = std::min(best, static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    test::InstallPrivateEnvironment();
    QApplication app(argc, argv);
    test::TempDir appDir, flacs, wavs, album;
    SetAppFolderForTesting(appDir.Path());
    constexpr int kFiles = 500;
    const QString wav = wavs.File("one.wav");
    test::WriteSineWave(wav, 44100, 2, 16, 440, 200);
    if (!test::EncodeAs("flac", wav, flacs.File("one.flac"))) {
        std::printf("no FLAC encoder\n");
        return 0;
    }
    for (int i = 1; i < kFiles; ++i) {
        QFile::copy(flacs.File("one.flac"), flacs.File(QString("t%1.flac").arg(i)));
        QFile::copy(wav, wavs.File(QString("t%1.wav").arg(i)));
    }
    FrmMain w({});
    w.Load();
    const auto fill = [&w](const QString& folder) {
        return bestMs(5, [&] {
            w.LV().DeleteAll();
            w.AddFolder(folder);
        });
    };
    const double flac = fill(flacs.Path());
    const double plain = fill(wavs.Path());
    std::printf("AddFolder, %d FLAC files: %.2f ms (%.3f ms a file); %d WAV files: %.2f ms\n", kFiles, flac,
                flac / kFiles, kFiles, plain);

    constexpr int kTracks = 99;
    test::WriteSineWave(album.File("album.wav"), 8000, 1, 16, 440, kTracks * 1000);
    QByteArray sheet = "FILE \"album.wav\" WAVE\n";
    QByteArray list;
    for (int t = 1; t <= kTracks; ++t) {
        sheet += QString(" TRACK %1 AUDIO\n  TITLE \"Track %1\"\n  INDEX 01 %2:%3:00\n")
                     .arg(t, 2, 10, QChar('0'))
                     .arg((t - 1) / 60, 2, 10, QChar('0'))
                     .arg((t - 1) % 60, 2, 10, QChar('0'))
                     .toUtf8();
        list += album.File(QString("album.cue#%1").arg(t, 2, 10, QChar('0'))).toUtf8() + "\r\n";
    }
    test::WriteFile(album.File("album.cue"), sheet);
    test::WriteFile(album.File("album.lst"), list);
    const double load = bestMs(5, [&] {
        w.LV().DeleteAll();
        w.ReadList(album.File("album.lst"));
    });
    std::printf("ReadList, %d lines naming tracks of one sheet: %.2f ms, %d entries\n", kTracks, load,
                w.LV().ItemCount());
    return 0;
}
