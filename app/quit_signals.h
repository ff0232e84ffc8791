#pragma once
// A desktop session ends its programs with SIGTERM (and a terminal with
// SIGINT or SIGHUP); each is turned into an ordinary close of the window so
// that the shutdown sequence still writes what must survive the run. The
// handlers are in place from the first line of the program, so a signal
// during start-up (a long list loading) is kept until there is someone to
// hand it to.

#include <functional>

class QObject;

namespace rilumo {

// Once per process, before anything else.
void InstallQuitSignals();

// Hands the signals to quit, called on receiver's thread; a signal that came
// earlier is handed over at once. The receiver must outlive the watch, which
// ends with StopWatchingQuitSignals.
void WatchQuitSignals(QObject* receiver, std::function<void()> quit);
void StopWatchingQuitSignals();

// How long a close asked for by a signal may take before the process ends
// without it: a window thread stuck for good must not make the session wait.
inline constexpr int kQuitGraceMs = 5000;

}  // namespace rilumo
