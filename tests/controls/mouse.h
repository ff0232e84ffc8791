#pragma once
// Synthesised mouse input, delivered straight to a widget.

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace rilumo::test {

inline void SendMouse(QWidget* w, QEvent::Type type, QPointF pos, Qt::MouseButton button,
                      Qt::MouseButtons buttons, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QMouseEvent e(type, pos, w->mapToGlobal(pos), button, buttons, mods);
    QApplication::sendEvent(w, &e);
}

inline void Press(QWidget* w, QPointF pos, Qt::MouseButton b = Qt::LeftButton,
                  Qt::KeyboardModifiers mods = Qt::NoModifier) {
    SendMouse(w, QEvent::MouseButtonPress, pos, b, b, mods);
}

inline void Release(QWidget* w, QPointF pos, Qt::MouseButton b = Qt::LeftButton,
                    Qt::KeyboardModifiers mods = Qt::NoModifier) {
    SendMouse(w, QEvent::MouseButtonRelease, pos, b, Qt::NoButton, mods);
}

inline void Move(QWidget* w, QPointF pos, Qt::MouseButtons held = Qt::LeftButton) {
    SendMouse(w, QEvent::MouseMove, pos, Qt::NoButton, held);
}

// The platform's order: press, release, double-click, release.
inline void DoubleClick(QWidget* w, QPointF pos, Qt::MouseButton b = Qt::LeftButton) {
    Press(w, pos, b);
    Release(w, pos, b);
    SendMouse(w, QEvent::MouseButtonDblClick, pos, b, b);
    Release(w, pos, b);
}

}  // namespace rilumo::test
