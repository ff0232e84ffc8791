#include "support/event_pump.h"

#include <QCoreApplication>

namespace rilumo {

namespace {
int depth = 0;
}

void DoEvents() {
    if (!QCoreApplication::instance()) return;
    ++depth;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    --depth;
}

int EventPumpDepth() { return depth; }

}  // namespace rilumo
