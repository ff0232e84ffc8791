#pragma once
// Shared by every test program: a private, throw-away environment so that no
// test reads or writes the real settings, logs or folders of the user.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <ostream>

QT_BEGIN_NAMESPACE
// Readable failure messages for text comparisons.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace rilumo::test {

// Points XDG_CONFIG_HOME, XDG_STATE_HOME and XDG_RUNTIME_DIR at fresh
// temporary folders for the whole test process; called by the test mains.
void InstallPrivateEnvironment();

// A temporary folder removed with the object. Path() has no trailing slash.
class TempDir {
public:
    TempDir();
    QString Path() const { return dir_.path(); }
    QString File(const QString& name) const { return dir_.filePath(name); }
private:
    QTemporaryDir dir_;
};

// Writes bytes to a file, creating parent folders; returns false on failure.
bool WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);

// Pumps the Qt event loop for the given time (real time, for playback tests).
void PumpFor(int ms);

}  // namespace rilumo::test
