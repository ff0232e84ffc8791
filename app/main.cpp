#include <QApplication>

#include "app/frm_main.h"

int main(int argc, char** argv) {
    return rilumo::RunProgram(argc, argv);
}
