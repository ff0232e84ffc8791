#pragma once
// Key, button and modifier codes as the controls' hosts know them: the
// platform's virtual keys for the common editing keys, the character code for
// letters and digits, the buttons 1 left, 2 right, 4 middle, and the shift
// word 1 shift, 2 ctrl, 4 alt.

#include <Qt>

#include <cstdint>

namespace rilumo {

struct KeyPair {
    int qt;
    int vk;
};

inline constexpr KeyPair kVirtualKeys[] = {
    {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},      {Qt::Key_Return, 13}, {Qt::Key_Enter, 13},
    {Qt::Key_Shift, 16},    {Qt::Key_Control, 17}, {Qt::Key_Alt, 18},    {Qt::Key_Escape, 27},
    {Qt::Key_Space, 32},    {Qt::Key_PageUp, 33},  {Qt::Key_PageDown, 34}, {Qt::Key_End, 35},
    {Qt::Key_Home, 36},     {Qt::Key_Left, 37},    {Qt::Key_Up, 38},     {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},     {Qt::Key_Insert, 45},  {Qt::Key_Delete, 46},
};

inline int VirtualKeyOf(int qtKey) {
    for (const KeyPair& k : kVirtualKeys)
        if (k.qt == qtKey) return k.vk;
    return qtKey;
}

inline int QtKeyOf(int vk) {
    for (const KeyPair& k : kVirtualKeys)
        if (k.vk == vk) return k.qt;
    return vk;
}

inline int KeyShiftOf(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

// The list view's mouse events report Shift and Ctrl only.
inline int MouseShiftOf(Qt::KeyboardModifiers m) { return KeyShiftOf(m) & 3; }

// 0 for a button without a code.
inline std::int16_t MouseButtonCode(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

}  // namespace rilumo
