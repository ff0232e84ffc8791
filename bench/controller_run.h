#pragma once
// Shared by the in-process controller benchmarks: the real main window with a
// generated list of tones, its real timer, watched from beside it.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>
#include <vector>

#include "app/frm_main.h"
#include "bench/window_run.h"
#include "support/memory.h"
#include "tests/common/media_fixtures.h"

namespace rilumo::bench {

// Private settings and folders, and a runtime folder Qt accepts (owner only).
inline void installPrivateEnvironment(const QTemporaryDir& dir) {
    // As the program itself starts.
    ConfineAllocatorArenas();
    test::InstallPrivateEnvironment();
    const QString run = dir.filePath("runtime");
    QDir().mkpath(run);
    QFile::setPermissions(run, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", run.toLocal8Bit());
}

// Writes `count` WAV tones of `ms` each, each at its own pitch, and a list of them.
inline QString writeToneList(const QTemporaryDir& dir, int count, int ms) {
    QByteArray list;
    for (int i = 0; i < count; ++i) {
        const QString path = dir.filePath(QStringLiteral("tone%1.wav").arg(i));
        test::WriteSineWave(path, 44100, 2, 16, 440.0 + 110.0 * i, ms);
        list += path.toUtf8() + "\r\n";
    }
    const QString listPath = dir.filePath("tones.lst");
    test::WriteFile(listPath, list);
    return listPath;
}

// Runs of two or more (near) silent samples in a 16-bit mono recording,
// between its first sound and its last, in samples: a sine passes zero in
// one sample, so two quiet samples in a row are a gap.
inline std::vector<qint64> quietRuns(const QByteArray& pcm) {
    const auto* s = reinterpret_cast<const qint16*>(pcm.constData());
    const qsizetype n = pcm.size() / 2;
    auto quiet = [&](qsizetype i) { return std::abs(s[i]) <= 8; };
    qsizetype first = 0, last = n - 1;
    while (first < n && quiet(first)) ++first;
    while (last > first && quiet(last)) --last;
    std::vector<qint64> runs;
    qint64 run = 0;
    for (qsizetype i = first; i <= last; ++i) {
        if (quiet(i)) {
            ++run;
            continue;
        }
        if (run >= 2) runs.push_back(run);
        run = 0;
    }
    return runs;
}

// The window loaded with the list, as `rilumo LIST` would start; the sink is
// chosen by RILUMO_AUDIO_SINK when the player is created.
inline std::unique_ptr<FrmMain> openWindow(const QString& list, const char* sink) {
    qputenv("RILUMO_AUDIO_SINK", sink);
    auto w = std::make_unique<FrmMain>(StartupArgs{list, QDir::currentPath()});
    w->Load();
    return w;
}

}  // namespace rilumo::bench
