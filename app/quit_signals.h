#pragma once
// A desktop session ends its programs with SIGTERM (and a terminal with
// SIGINT or SIGHUP); each is turned into an ordinary close of the window so
// that the shutdown sequence still writes what must survive the run.

class QWidget;

namespace rilumo {

// Safe to call once per process; the window must outlive the event loop.
void InstallQuitSignals(QWidget* window);

}  // namespace rilumo
