#pragma once
// Records the direction of the last wheel turn over a window (or any of its
// children) for the timer to collect with a take-and-reset read. Every event
// passes on unchanged.

class QObject;
class QWidget;

namespace rilumo {

// A second installation on the same window is refused.
void InstallSubclass(QWidget* window);
void RemoveSubclass(QWidget* window);
// The slot of an installed window, or -1.
int FindSubclassSlot(QWidget* window);
// 1 towards the user (scroll down), -1 away from the user, 0 none since the
// last read; the recorded direction is reset to 0.
int TakeWheelDirection(QWidget* window);

// The slot table as it stands; a slot is free when window and hook are null.
struct SubclassSlot {
    QWidget* window = nullptr;
    QObject* hook = nullptr;
    int wheelDirection = 0;
};
int SubclassSlotCount();
SubclassSlot SubclassSlotAt(int index);

}  // namespace rilumo
