// Filling the playlist from an M3U of 10,000 and 100,000 entries (hard links
// to one small tagged MP3): time until the window answers again, time until
// every entry's tags are shown, CPU and resident memory. Beside it, the peer
// player "audacious", when installed, loads the same list headless; its tags
// count as read once its CPU time stops moving.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "app/frm_main.h"
#include "app/list_columns.h"
#include "app/tag_loader.h"
#include "support/memory.h"
#include "support/paths.h"
#include "tests/common/media_fixtures.h"
#include "tests/common/test_env.h"

using namespace rilumo;

namespace {

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// VmRSS of a process in MB, from /proc.
double ResidentMb(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// utime + stime of a process in seconds.
double ProcessCpu(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray stat = f.readAll();
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

QString MakeSource(const test::TempDir& dir) {
    // A real encoder's file, as a library holds them; bare
    // frames when this machine has no encoder.
    const QString path = dir.File("source.mp3"), wav = dir.File("source.wav");
    test::WriteSineWave(wav, 44100, 2, 16, 440, 1000);
    if (!test::EncodeAs(QStringLiteral("mp3"), wav, path)) test::WriteFile(path, test::MpegFrames(test::MpegFrameSpec{}, 40));
    TagLib::MPEG::File f(QFile::encodeName(path).constData());
    TagLib::ID3v2::Tag* tag = f.ID3v2Tag(true);
    tag->setTitle(TagLib::String("夜の曲", TagLib::String::UTF8));
    tag->setArtist(TagLib::String("歌手", TagLib::String::UTF8));
    tag->setAlbum(TagLib::String("東京", TagLib::String::UTF8));
    tag->setTrack(3);
    f.save(TagLib::MPEG::File::ID3v2);
    return path;
}

// n hard links to copies of source and an M3U naming them, in a folder of
// their own. A file system allows some 65,000 links to one file: a fresh
// copy every kLinksPerCopy.
QString MakeList(const test::TempDir& dir, const QString& source, int n) {
    constexpr int kLinksPerCopy = 50000;
    const QString folder = dir.File(QString::number(n));
    QDir().mkpath(folder);
    QByteArray m3u = "#EXTM3U\n";
    QString copy;
    for (int i = 0; i < n; ++i) {
        if (i % kLinksPerCopy == 0) {
            copy = QStringLiteral("%1/source %2.mp3").arg(folder).arg(i);
            QFile::copy(source, copy);
        }
        const QString path = QStringLiteral("%1/track %2.mp3").arg(folder).arg(i, 6, 10, QChar('0'));
        if (link(QFile::encodeName(copy).constData(), QFile::encodeName(path).constData()) != 0) continue;
        m3u += path.toUtf8() + '\n';
    }
    const QString list = folder + QStringLiteral(".m3u");
    test::WriteFile(list, m3u);
    return list;
}

// One fill in a fresh process, so that its memory is its own: prints
// "entries usable_ms tags_ms cpu_s rss_mb".
int RunRilumo(const QString& list) {
    test::TempDir appDir;
    SetAppFolderForTesting(appDir.Path());
    FrmMain w({});
    w.Load();
    if (w.LV().NumData() < DataIndex(ListColumn::Count)) w.LV().SetNumData(DataIndex(ListColumn::Count));
    QCoreApplication::processEvents();
    const double cpu0 = CpuSeconds();
    QElapsedTimer t;
    t.start();
    w.ReadList(list);
    QCoreApplication::processEvents();
    const double usable = static_cast<double>(t.nsecsElapsed()) / 1e6;
    const int n = w.LV().ItemCount();
    // An event loop that sleeps between events, as the window's own does.
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if ((w.Tags().Idle() && w.Tags().Applied() >= n) || t.elapsed() > 600000) loop.quit();
    });
    poll.start(10);
    loop.exec();
    const double tags = static_cast<double>(t.nsecsElapsed()) / 1e6;
    const bool shown = w.LV().Value(n - 1, DataIndex(ListColumn::Artist)).ToText() == QStringLiteral("歌手");
    const double cpu = CpuSeconds() - cpu0;
    // What stays resident once the fill has settled.
    QTimer::singleShot(2000, &loop, &QEventLoop::quit);
    loop.exec();
    std::printf("%d %.0f %.0f %.2f %.1f %d\n", n, usable, tags, cpu, ResidentMb(QCoreApplication::applicationPid()),
                shown ? 1 : 0);
    w.close();
    SetAppFolderForTesting({});
    return 0;
}

void Rilumo(const QString& list) {
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--one"), list});
    p.waitForFinished(900000);
    const QList<QByteArray> f = p.readAllStandardOutput().trimmed().split(' ');
    if (f.size() < 6) {
        std::printf("  rilumo: no figures (%s)\n", p.readAllStandardError().constData());
        return;
    }
    std::printf("  rilumo:    %s entries, usable after %6s ms, every tag shown after %6s ms, CPU %5s s, resident %6s MB%s\n",
                f[0].constData(), f[1].constData(), f[2].constData(), f[3].constData(), f[4].constData(),
                f[5] == "1" ? "" : " (tags NOT shown)");
}

// Headless: there is no window to time; the tags count as read once the
// process has used no CPU for two seconds.
void Peer(const QString& list) {
    const QString exe = QStandardPaths::findExecutable(QStringLiteral("audacious"));
    if (exe.isEmpty()) {
        std::printf("  audacious: not installed\n");
        return;
    }
    test::TempDir home;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* v : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) env.insert(v, home.Path());
    env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    p.setProcessEnvironment(env);
    QElapsedTimer t;
    t.start();
    p.start(exe, {QStringLiteral("-H"), QStringLiteral("-e"), list});
    if (!p.waitForStarted(10000)) {
        std::printf("  audacious: could not be started headless\n");
        return;
    }
    double lastCpu = -1, doneMs = 0, rss = 0;
    qint64 still = 0;
    while (p.state() == QProcess::Running && t.elapsed() < 600000) {
        QThread::msleep(100);
        const double cpu = ProcessCpu(p.processId());
        rss = std::max(rss, ResidentMb(p.processId()));
        if (cpu != lastCpu) {
            lastCpu = cpu;
            doneMs = static_cast<double>(t.elapsed());
            still = t.elapsed();
        } else if (t.elapsed() - still > 2000 && lastCpu > 0.2) {
            break;
        }
    }
    const bool ran = p.state() == QProcess::Running;
    ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
    if (!p.waitForFinished(5000)) p.kill();
    if (!ran) {
        std::printf("  audacious: ended by itself, no figures (%s)\n", p.readAllStandardError().left(200).constData());
        return;
    }
    std::printf("  audacious: headless, no window;  tags read after %6.0f ms, CPU %5.2f s, resident %6.1f MB\n", doneMs,
                lastCpu, rss);
}

}  // namespace

int main(int argc, char** argv) {
    ConfineAllocatorArenas();  // as the program's own main() does
    rilumo::test::InstallPrivateEnvironment();
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 3 && args[1] == QStringLiteral("--one")) return RunRilumo(args[2]);

    test::TempDir dir;
    const QString source = MakeSource(dir);
    for (const int n : {10000, 100000}) {
        const QString list = MakeList(dir, source, n);
        std::printf("%d entries from an M3U:\n", n);
        std::fflush(stdout);
        Rilumo(list);
        std::fflush(stdout);
        Peer(list);
        std::fflush(stdout);
    }
    return 0;
}
