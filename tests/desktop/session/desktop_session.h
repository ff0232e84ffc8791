#pragma once
// Drives the real program from outside, as a user's desktop would: a private
// virtual X display, a private sound server with a null sink, the program as
// a child process, its top-level window grabbed as pixels, keys sent with
// xdotool, and the child's CPU time and memory read from /proc. Shared by the
// desktop test and the benchmark programs.

#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "tests/common/sound_server.h"

#include <cstdint>
#include <functional>
#include <memory>

struct xcb_connection_t;

namespace rilumo::desktop {

// The built program, the folder for pictures the runs leave, the source tree.
QString RilumoExecutable();
QString ArtifactsFolder();
QString SourceFolder();

bool HaveTool(const QString& program);

// Xvfb on the first free display number from 90 on; stopped with the object.
class VirtualDisplay {
public:
    VirtualDisplay(int width = 1024, int height = 768);
    ~VirtualDisplay();
    bool Ok() const { return !name_.isEmpty(); }
    QString Name() const { return name_; }  // ":N"
    QString Error() const { return error_; }

private:
    QProcess server_;
    QString name_;
    QString error_;
};

using SoundServer = test::SoundServer;

// A child process with a private home, config, state and runtime folder, so
// that no run touches the user's settings. Killed with the object.
class Child {
public:
    Child();
    ~Child();
    void SetEnv(const QString& name, const QString& value) { env_.insert(name, value); }
    void UnsetEnv(const QString& name) { env_.remove(name); }
    bool Start(const QString& program, const QStringList& args);
    qint64 Pid() const { return proc_.processId(); }
    bool Running() const { return proc_.state() != QProcess::NotRunning; }
    bool WaitFinished(int ms) { return proc_.waitForFinished(ms); }
    void Kill();
    QString Home() const { return home_.path(); }

private:
    QTemporaryDir home_;
    QProcessEnvironment env_;
    QProcess proc_;
};

// One process's CPU time (user + system, all threads) and memory, from /proc.
struct ProcUsage {
    bool ok = false;
    double cpuSeconds = 0;   // utime + stime, in clock ticks
    double runSeconds = 0;   // the scheduler's run time of the live threads
    std::int64_t hwmKb = 0;  // peak resident size
    std::int64_t rssKb = 0;
};
ProcUsage ReadProcUsage(qint64 pid);
ProcUsage ReadSelfUsage();

// A client connection to an X display for finding and grabbing windows.
class XClient {
public:
    explicit XClient(const QString& display);
    ~XClient();
    bool Ok() const { return conn_ != nullptr; }
    // The largest mapped top-level window, 0 when none is mapped.
    std::uint32_t TopLevel();
    // The window's pixels as they are on the screen; null when not viewable.
    QImage Grab(std::uint32_t window);
    // Asks the window to close as a window manager would.
    void RequestClose(std::uint32_t window);

private:
    xcb_connection_t* conn_ = nullptr;
    std::uint32_t root_ = 0;
};

// Focuses the window and types the key (an xdotool key name, e.g. "space").
bool SendKey(const QString& display, std::uint32_t window, const QString& key);

// How many different colours the image holds, counting up to `limit`.
int DistinctColours(const QImage& image, int limit);
// How many pixels of a 32-bit image the predicate accepts.
int CountPixels(const QImage& image, const std::function<bool(QRgb)>& wanted);

}  // namespace rilumo::desktop
