#include "tests/common/sound_server.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>

#include <sys/prctl.h>

#include <csignal>

namespace rilumo::test {

void DieWithParent() { prctl(PR_SET_PDEATHSIG, SIGKILL); }

void StopChild(QProcess& p) {
    const qint64 pid = p.processId();
    if (pid <= 0) return;
    ::kill(static_cast<pid_t>(pid), SIGTERM);
    if (!p.waitForFinished(3000)) {
        ::kill(static_cast<pid_t>(pid), SIGKILL);
        p.waitForFinished(3000);
    }
}

SoundServer::SoundServer(int rate) {
    if (QStandardPaths::findExecutable("pulseaudio").isEmpty() || QStandardPaths::findExecutable("pactl").isEmpty()) {
        error_ = "pulseaudio is not installed";
        return;
    }
    const QString root = root_.path();
    QDir().mkpath(root + "/run");
    QDir().mkpath(root + "/home");
    socket_ = root + "/run/native";
    QFile script(root + "/server.pa");
    if (!script.open(QIODevice::WriteOnly)) {
        error_ = "no room for the server's script";
        return;
    }
    script.write(QStringLiteral("load-module module-native-protocol-unix socket=%1 auth-anonymous=1\n"
                                "load-module module-null-sink sink_name=rilumo_sink rate=%2\n"
                                "set-default-sink rilumo_sink\n")
                     .arg(socket_)
                     .arg(rate)
                     .toUtf8());
    script.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", root + "/run");
    env.insert("HOME", root + "/home");
    env.insert("XDG_CONFIG_HOME", root + "/home/.config");
    env.remove("PULSE_SERVER");
    daemon_.setProcessEnvironment(env);
    daemon_.setChildProcessModifier(DieWithParent);
    // Into a file: a full pipe nobody reads would stall the server.
    daemon_.setProcessChannelMode(QProcess::MergedChannels);
    daemon_.setStandardOutputFile(root + "/server.log");
    daemon_.start("pulseaudio", {"-n", "--daemonize=no", "--exit-idle-time=-1", "--system=false", "--use-pid-file=false",
                                 "--log-target=stderr", "--log-level=error", "-F", script.fileName()});
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 8000 && daemon_.state() != QProcess::NotRunning) {
        // The socket comes first; the sink is there once the server lists it.
        if (QFile::exists(socket_) && HasSink()) {
            ok_ = true;
            return;
        }
        daemon_.waitForFinished(50);
    }
    error_ = "pulseaudio did not start: " + Log().trimmed();
}

SoundServer::~SoundServer() { StopChild(daemon_); }

bool SoundServer::HasSink() const {
    QProcess list;
    list.start("pactl", {"-s", Server(), "list", "short", "sinks"});
    return list.waitForFinished(3000) && list.readAllStandardOutput().contains("rilumo_sink");
}

int SoundServer::StreamCount() const {
    QProcess pactl;
    pactl.start("pactl", {"-s", Server(), "list", "short", "sink-inputs"});
    if (!pactl.waitForFinished(3000) || pactl.exitCode() != 0) return -1;
    return int(pactl.readAllStandardOutput().count('\n'));
}

QString SoundServer::Log() const {
    QFile f(root_.path() + "/server.log");
    return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll()) : QString();
}

}  // namespace rilumo::test
