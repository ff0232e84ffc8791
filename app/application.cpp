#include "app/application.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "support/log.h"

namespace rilumo {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        const QString why = QStringLiteral("unhandled failure: ") + QString::fromUtf8(e.what());
        std::fprintf(stderr, "rilumo: %s\n", why.toLocal8Bit().constData());
        WriteLog(why, 1, 1);
    } catch (...) {
        std::fprintf(stderr, "rilumo: unhandled failure\n");
        WriteLog(QStringLiteral("unhandled failure"), 1, 1);
    }
    std::_Exit(3);
}

}  // namespace rilumo
