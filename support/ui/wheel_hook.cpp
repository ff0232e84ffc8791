#include "support/ui/wheel_hook.h"

#include <QApplication>
#include <QPointer>
#include <QWheelEvent>
#include <QWidget>

#include <vector>

namespace rilumo {

namespace {

struct Slot {
    SubclassSlot s;
    QMetaObject::Connection destroyed;
};

std::vector<Slot> slotTable;

void recordWheel(QWidget* window, const QWheelEvent& e);

// One filter on the application sees every wheel event before its widget does,
// also those over child widgets that would never reach the top-level window.
class WheelHook final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Wheel && watched->isWidgetType())
            recordWheel(static_cast<QWidget*>(watched)->window(), *static_cast<QWheelEvent*>(event));
        return false;
    }
};

QPointer<WheelHook> hook;

WheelHook* theHook() {
    if (!hook && QCoreApplication::instance()) {
        hook = new WheelHook(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(hook);
    }
    return hook;
}

void clear(Slot& slot) {
    QObject::disconnect(slot.destroyed);
    slot = Slot{};
}

void recordWheel(QWidget* window, const QWheelEvent& e) {
    const int slot = FindSubclassSlot(window);
    if (slot < 0) return;
    // Only vertical turns count; a sideways tilt is no scroll up.
    int dy = e.angleDelta().y();
    if (dy == 0) dy = e.pixelDelta().y();
    if (dy == 0) return;
    // The last turn wins; turns are not added up between two reads.
    slotTable[static_cast<size_t>(slot)].s.wheelDirection = dy < 0 ? 1 : -1;
}

}  // namespace

void InstallSubclass(QWidget* window) {
    if (!window || FindSubclassSlot(window) >= 0) return;
    WheelHook* h = theHook();
    if (!h) return;
    size_t i = 0;
    while (i < slotTable.size() && (slotTable[i].s.window || slotTable[i].s.hook)) ++i;
    if (i == slotTable.size()) slotTable.emplace_back();
    Slot& slot = slotTable[i];
    slot.s.window = window;
    slot.s.hook = h;
    slot.s.wheelDirection = 0;
    // A window destroyed while installed frees its slot, so that a new window
    // at the same address is not mistaken for it.
    slot.destroyed = QObject::connect(window, &QObject::destroyed, h, [window] {
        for (Slot& s : slotTable)
            if (s.s.window == window) clear(s);
    });
}

void RemoveSubclass(QWidget* window) {
    const int i = FindSubclassSlot(window);
    if (i < 0 || !slotTable[static_cast<size_t>(i)].s.hook) return;
    clear(slotTable[static_cast<size_t>(i)]);
}

int FindSubclassSlot(QWidget* window) {
    if (!window) return -1;
    for (size_t i = 0; i < slotTable.size(); ++i)
        if (slotTable[i].s.window == window) return static_cast<int>(i);
    return -1;
}

int TakeWheelDirection(QWidget* window) {
    const int i = FindSubclassSlot(window);
    if (i < 0) return 0;
    int& d = slotTable[static_cast<size_t>(i)].s.wheelDirection;
    const int taken = d;
    d = 0;
    return taken;
}

int SubclassSlotCount() { return static_cast<int>(slotTable.size()); }

SubclassSlot SubclassSlotAt(int index) {
    if (index < 0 || index >= SubclassSlotCount()) return {};
    return slotTable[static_cast<size_t>(index)].s;
}

}  // namespace rilumo
