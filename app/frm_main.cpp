#include "app/frm_main.h"

#include <QApplication>
#include <QMainWindow>

namespace rilumo {

int RunProgram(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow w;
    w.setWindowTitle(QStringLiteral("Rilumo"));
    w.show();
    return app.exec();
}

}  // namespace rilumo
