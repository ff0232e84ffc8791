#pragma once

namespace rilumo {

// Runs the program: the application object, the main window, the event loop.
int RunProgram(int argc, char** argv);

}  // namespace rilumo
