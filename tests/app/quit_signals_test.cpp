// The real program ended by the signals a session or a terminal sends: it
// closes the normal way and keeps its settings, whenever the signal comes.

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

#include <csignal>

#include "tests/app/window_fixture.h"

using namespace rilumo;

namespace {

// True once the process has a handler for the signal, so it is safe to send.
bool Catches(qint64 pid, int sig) {
    QFile f(QString("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return false;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("SigCgt:")) return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (sig - 1)) & 1;
    return false;
}

class QuitSignals : public ::testing::Test {
protected:
    void Start(const QStringList& args) {
        QDir(config.Path()).removeRecursively();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", config.Path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("RILUMO_AUDIO_SINK", "null");
        p.setProcessEnvironment(env);
        p.start(RILUMO_BINARY, args);
        ASSERT_TRUE(p.waitForStarted());
    }
    // Sends sig and expects an ordinary end within a few seconds, settings written.
    void EndsTheNormalWay(int sig) {
        QElapsedTimer clock;
        clock.start();
        ::kill(static_cast<pid_t>(p.processId()), sig);
        ASSERT_TRUE(p.waitForFinished(10000)) << p.readAllStandardError().toStdString();
        EXPECT_LT(clock.elapsed(), 5000);
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 0);
        const QString conf = QString::fromUtf8(test::ReadFile(config.File("korvent/sirel.conf")));
        EXPECT_TRUE(conf.contains("IsRemain=0")) << conf.toStdString();
        EXPECT_TRUE(conf.contains("WindowWidth=")) << conf.toStdString();
    }
    test::TempDir config;
    QProcess p;
};

}  // namespace

TEST_F(QuitSignals, TermAndHupCloseTheWindowTheNormalWay) {
    for (int sig : {SIGTERM, SIGHUP}) {
        Start({});
        ASSERT_TRUE(test::WaitFor([&] { return Catches(p.processId(), sig); }));
        EndsTheNormalWay(sig);
    }
}

TEST_F(QuitSignals, ATermWhileTheStartUpListLoadsClosesTheNormalWay) {
    test::TempDir dir;
    const QString track = dir.File("t.wav");
    test::WriteFile(track, "x");
    // Long enough that it is still loading when the signal comes.
    QByteArray line = track.toUtf8() + "\r\n", list;
    for (int i = 0; i < 300000; ++i) list += line;
    test::WriteFile(dir.File("long.lst"), list);
    Start({dir.File("long.lst")});
    // The handlers are there from the first line, long before the load ends.
    ASSERT_TRUE(test::WaitFor([&] { return Catches(p.processId(), SIGTERM); }, 1000));
    test::PumpFor(500);
    EndsTheNormalWay(SIGTERM);
}
