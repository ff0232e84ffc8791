#include "tests/common/sound_server.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

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

namespace {

bool installed(const QStringList& programs) {
    for (const QString& p : programs) {
        if (QStandardPaths::findExecutable(p).isEmpty()) return false;
    }
    return true;
}

}  // namespace

SoundServer::SoundServer(int rate, Kind kind) : kind_(kind), rate_(rate) {
    const QStringList needed = kind == Kind::PulseAudio
                                   ? QStringList{"pulseaudio", "pactl"}
                                   : QStringList{"pipewire", "wireplumber", "pipewire-pulse", "dbus-daemon", "pactl"};
    if (!installed(needed)) {
        error_ = needed.join(", ") + " must be installed (scripts/install-deps)";
        return;
    }
    const QString root = root_.path();
    QDir().mkpath(root + "/run");
    QDir().mkpath(root + "/home");
    // PipeWire refuses a runtime folder that others may enter.
    QFile::setPermissions(root + "/run", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    socket_ = kind == Kind::PulseAudio ? root + "/run/native" : root + "/run/pulse/native";
    env_ = QProcessEnvironment::systemEnvironment();
    env_.insert("XDG_RUNTIME_DIR", root + "/run");
    env_.insert("HOME", root + "/home");
    env_.insert("XDG_CONFIG_HOME", root + "/home/.config");
    env_.insert("XDG_STATE_HOME", root + "/home/.state");
    env_.remove("PULSE_SERVER");
    env_.remove("PIPEWIRE_REMOTE");
    if (kind == Kind::PipeWire && !StartBus()) return;
    Start();
}

SoundServer::~SoundServer() {
    for (auto it = servers_.rbegin(); it != servers_.rend(); ++it) StopChild(**it);
    if (bus_) StopChild(*bus_);
}

QProcess& SoundServer::Spawn(const QString& program, const QStringList& args, const QString& log) {
    auto p = std::make_unique<QProcess>();
    p->setProcessEnvironment(env_);
    p->setChildProcessModifier(DieWithParent);
    // Into a file: a full pipe nobody reads would stall the server.
    p->setProcessChannelMode(QProcess::MergedChannels);
    p->setStandardOutputFile(root_.path() + "/" + log, QIODevice::Append);
    p->start(program, args);
    servers_.push_back(std::move(p));
    return *servers_.back();
}

// PipeWire's session manager finds its peers on the session bus.
bool SoundServer::StartBus() {
    const QString address = "unix:path=" + root_.path() + "/run/bus";
    bus_ = std::make_unique<QProcess>();
    bus_->setProcessEnvironment(env_);
    bus_->setChildProcessModifier(DieWithParent);
    bus_->start("dbus-daemon", {"--session", "--nofork", "--nopidfile", "--address=" + address});
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 5000 && !QFile::exists(root_.path() + "/run/bus")) QThread::msleep(20);
    if (!QFile::exists(root_.path() + "/run/bus")) {
        error_ = "the session bus did not start";
        return false;
    }
    env_.insert("DBUS_SESSION_BUS_ADDRESS", address);
    return true;
}

bool SoundServer::Start() {
    ok_ = kind_ == Kind::PulseAudio ? StartPulseAudio() : StartPipeWire();
    if (!ok_ && error_.isEmpty()) error_ = "the sound server did not start: " + Log().trimmed().right(400);
    return ok_;
}

bool SoundServer::StartPulseAudio() {
    QFile script(root_.path() + "/server.pa");
    if (!script.open(QIODevice::WriteOnly)) {
        error_ = "no room for the server's script";
        return false;
    }
    script.write(QStringLiteral("load-module module-native-protocol-unix socket=%1 auth-anonymous=1\n"
                                "load-module module-null-sink sink_name=rilumo_sink rate=%2\n"
                                "set-default-sink rilumo_sink\n")
                     .arg(socket_)
                     .arg(rate_)
                     .toUtf8());
    script.close();
    Spawn("pulseaudio",
          {"-n", "--daemonize=no", "--exit-idle-time=-1", "--system=false", "--use-pid-file=false",
           "--log-target=stderr", "--log-level=error", "-F", script.fileName()},
          "server.log");
    return WaitReady(8000, false);
}

bool SoundServer::StartPipeWire() {
    // A killed server leaves its socket behind; its peers must not find that one.
    const QString core = root_.path() + "/run/pipewire-0";
    QFile::remove(core);
    Spawn("pipewire", {}, "pipewire.log");
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 5000 && !QFile::exists(core)) QThread::msleep(20);
    Spawn("wireplumber", {}, "wireplumber.log");
    Spawn("pipewire-pulse", {}, "server.log");
    // The null sink is the server's own module: loaded anew with every start.
    return WaitReady(10000, true);
}

bool SoundServer::WaitReady(int ms, bool loadSink) {
    QElapsedTimer t;
    t.start();
    bool loaded = !loadSink;
    while (t.elapsed() < ms) {
        for (const auto& p : servers_) {
            if (p->state() == QProcess::NotRunning) return false;
        }
        // The socket comes first; the sink is there once the server lists it.
        if (QFile::exists(socket_)) {
            if (!loaded) {
                loaded = Pactl({"load-module", "module-null-sink", "sink_name=rilumo_sink",
                                QStringLiteral("rate=%1").arg(rate_)}) &&
                         Pactl({"set-default-sink", "rilumo_sink"});
            }
            if (loaded && HasSink()) return true;
        }
        QThread::msleep(50);
    }
    return false;
}

void SoundServer::Kill() {
    for (const auto& p : servers_) {
        if (p->processId() > 0) ::kill(static_cast<pid_t>(p->processId()), SIGKILL);
    }
    for (const auto& p : servers_) p->waitForFinished(3000);
    servers_.clear();
    ok_ = false;
}

bool SoundServer::Pactl(const QStringList& args) const {
    QProcess pactl;
    pactl.start("pactl", QStringList{"-s", Server()} + args);
    return pactl.waitForFinished(3000) && pactl.exitStatus() == QProcess::NormalExit && pactl.exitCode() == 0;
}

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
