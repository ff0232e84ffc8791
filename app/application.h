#pragma once

#include <QApplication>

namespace rilumo {

// The application object. In error-catch mode nothing may be swallowed, yet
// nothing may escape an event handler into Qt either: a failure that reaches
// the event loop is written to stderr and the error log and ends the program.
class Application : public QApplication {
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Runs the program: the application object, the main window, the event loop.
int RunProgram(int argc, char** argv);

}  // namespace rilumo
