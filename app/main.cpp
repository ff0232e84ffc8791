#include <QtGlobal>

#include "app/application.h"
#include "app/quit_signals.h"
#include "support/memory.h"

int main(int argc, char** argv) {
    // The time panel repaints a few pixels ten times a second; through shared
    // memory every such repaint waits for the X server's answer, which costs
    // more than sending the pixels. Left to the user when set.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
    rilumo::ConfineAllocatorArenas();
    rilumo::InstallQuitSignals();
    return rilumo::RunProgram(argc, argv);
}
