#pragma once
// A private sound server for tests and benchmarks that must really play:
// pulseaudio with one null sink, reached through its own socket only, so no
// run touches (or needs) the desktop's server. QtCore only.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace rilumo::test {

// For QProcess::setChildProcessModifier: the child dies with this process, so
// a crashed run leaves no stray server, display or recorder behind.
void DieWithParent();

// Stops a child politely, then firmly.
void StopChild(QProcess& process);

class SoundServer {
public:
    // Started and ready (its sink listed) when the constructor returns, or
    // Ok() is false and Error() says why.
    explicit SoundServer(int rate = 44100);
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

private:
    bool HasSink() const;

    QTemporaryDir root_;
    QProcess daemon_;
    QString socket_;
    QString error_;
    bool ok_ = false;
};

}  // namespace rilumo::test
