// Filling the playlist: the folder scan beside a plain listing of the same
// folder, and list reading beside a loop that only reads lines and tests files.

#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <cstdlib>

#include "app/frm_main.h"
#include "support/file_ops.h"
#include "support/paths.h"
#include "tests/common/test_env.h"

using namespace rilumo;

namespace {

double msSince(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

template <class F>
double bestOf(int runs, F&& f) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        best = std::min(best, msSince(t));
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    rilumo::test::InstallPrivateEnvironment();
    QApplication app(argc, argv);
    test::TempDir appDir, folder, lists;
    SetAppFolderForTesting(appDir.Path());

    constexpr int kFiles = 20000;
    for (int i = 0; i < kFiles; ++i) {
        QFile f(folder.File(QString("track %1 of the long folder.mp3").arg(i, 5, 10, QChar('0'))));
        f.open(QIODevice::WriteOnly);
    }
    FrmMain w({});
    w.Load();

    const double scan = bestOf(5, [&] {
        w.LV().DeleteAll();
        w.AddFolder(folder.Path());
    });
    int listed = 0;
    const double listing = bestOf(5, [&] {
        listed = 0;
        QDirIterator it(folder.Path(), QDir::Files | QDir::Hidden | QDir::System);
        while (it.hasNext()) {
            it.next();
            ++listed;
        }
    });
    std::printf("AddFolder, %d files: %.2f ms; plain listing: %.2f ms; ratio %.2f\n", w.LV().ItemCount(), scan,
                listing, scan / listing);

    constexpr int kLines = 100000;
    QByteArray list;
    for (int i = 0; i < kLines; ++i)
        list += folder.File(QString("track %1 of the long folder.mp3").arg(i % kFiles, 5, 10, QChar('0'))).toUtf8() +
                "\r\n";
    const QString listFile = lists.File("big.lst");
    test::WriteFile(listFile, list);

    const double load = bestOf(3, [&] {
        w.LV().DeleteAll();
        w.ReadList(listFile);
    });
    int found = 0;
    const double readTest = bestOf(3, [&] {
        found = 0;
        QFile f(listFile);
        f.open(QIODevice::ReadOnly);
        while (!f.atEnd()) {
            const QString line = QString::fromUtf8(f.readLine()).trimmed();
            if (FileExists(line)) ++found;
        }
    });
    std::printf("ReadList, %d lines: %.2f ms; read-and-test loop: %.2f ms; ratio %.2f\n", w.LV().ItemCount(), load,
                readTest, load / readTest);
    w.close();
    SetAppFolderForTesting({});
    return listed == kFiles && found == kLines ? 0 : 1;
}
