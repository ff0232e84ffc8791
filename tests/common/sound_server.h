#pragma once
// A private sound server for tests and benchmarks that must really play, with
// one null sink, reached through its own socket and runtime folder only, so no
// run touches (or needs) the desktop's server: PulseAudio, or PipeWire with
// its PulseAudio-protocol server (and the session bus and session manager it
// needs), the two that desktops run. QtCore only.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace rilumo::test {

// For QProcess::setChildProcessModifier: the child dies with this process, so
// a crashed run leaves no stray server, display or recorder behind.
void DieWithParent();

// Stops a child politely, then firmly.
void StopChild(QProcess& process);

class SoundServer {
public:
    enum class Kind { PulseAudio, PipeWire };
    // Started and ready (its sink listed) when the constructor returns, or
    // Ok() is false and Error() says why.
    explicit SoundServer(int rate = 44100, Kind kind = Kind::PulseAudio);
    ~SoundServer();
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    bool Ok() const { return ok_; }
    QString Error() const { return error_; }
    // For PULSE_SERVER.
    QString Server() const { return "unix:" + socket_; }
    QString MonitorSource() const { return QStringLiteral("rilumo_sink.monitor"); }
    // Streams playing into the server now, or -1 when it cannot be asked.
    int StreamCount() const;
    QString Log() const;

    // Kills the server as a crash does (SIGKILL; its clients see the
    // connection drop), and starts it again on the same socket: a restart.
    void Kill();
    bool Start();

private:
    QProcess& Spawn(const QString& program, const QStringList& args, const QString& log);
    bool StartPulseAudio();
    bool StartPipeWire();
    bool StartBus();
    bool WaitReady(int ms, bool loadSink);
    bool HasSink() const;
    bool Pactl(const QStringList& args) const;

    Kind kind_;
    int rate_;
    QTemporaryDir root_;
    QProcessEnvironment env_;
    std::unique_ptr<QProcess> bus_;
    std::vector<std::unique_ptr<QProcess>> servers_;
    QString socket_;
    QString error_;
    bool ok_ = false;
};

// While it lives, the default renderer plays into server (the null renderer
// the tests otherwise use is put back afterwards).
struct PlayInto {
    explicit PlayInto(const SoundServer& server) {
        qputenv("PULSE_SERVER", server.Server().toUtf8());
        qunsetenv("RILUMO_AUDIO_SINK");
    }
    ~PlayInto() {
        qunsetenv("PULSE_SERVER");
        qputenv("RILUMO_AUDIO_SINK", "null");
    }
    PlayInto(const PlayInto&) = delete;
    PlayInto& operator=(const PlayInto&) = delete;
};

}  // namespace rilumo::test
