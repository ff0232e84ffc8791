#include "app/application.h"
#include "app/quit_signals.h"
#include "support/memory.h"

int main(int argc, char** argv) {
    rilumo::ConfineAllocatorArenas();
    rilumo::InstallQuitSignals();
    return rilumo::RunProgram(argc, argv);
}
