#pragma once
// A private D-Bus session bus for one test, and playerctl on it as the
// desktop's media remote. The bus ends with the object.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include "tests/common/sound_server.h"

namespace rilumo::test {

class SessionBus {
public:
    SessionBus() {
        // The bus lives as long as dbus-run-session's command: a shell that
        // tells the address, then waits for its input to close.
        bus_.setChildProcessModifier(DieWithParent);
        bus_.start(QStringLiteral("dbus-run-session"),
                   {"--", "sh", "-c", "echo \"$DBUS_SESSION_BUS_ADDRESS\"; exec cat"});
        QElapsedTimer t;
        t.start();
        while (bus_.waitForStarted(5000) && !bus_.canReadLine() && t.elapsed() < 10000) bus_.waitForReadyRead(100);
        address_ = QString::fromUtf8(bus_.readLine()).trimmed();
    }
    ~SessionBus() {
        bus_.closeWriteChannel();
        if (!bus_.waitForFinished(5000)) StopChild(bus_);
    }
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;

    bool Ok() const { return address_.startsWith(QStringLiteral("unix:")); }
    QString Address() const { return address_; }
    QProcessEnvironment Env(QProcessEnvironment env = QProcessEnvironment::systemEnvironment()) const {
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address_);
        return env;
    }

    // playerctl on the player named rilumo; its standard output. Events run
    // meanwhile, so a player in this very process answers it.
    QString Playerctl(const QStringList& args) const {
        QProcess p;
        p.setProcessEnvironment(Env());
        p.start(QStringLiteral("playerctl"), QStringList{QStringLiteral("--player=rilumo")} + args);
        QElapsedTimer t;
        t.start();
        while (!p.waitForFinished(5) && p.state() != QProcess::NotRunning && t.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }

private:
    QProcess bus_;
    QString address_;
};

}  // namespace rilumo::test
