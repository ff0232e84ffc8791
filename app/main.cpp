#include "app/application.h"
#include "app/quit_signals.h"

int main(int argc, char** argv) {
    rilumo::InstallQuitSignals();
    return rilumo::RunProgram(argc, argv);
}
