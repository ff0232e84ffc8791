#pragma once
// Program-wide switches and factors, set once during start-up and read
// everywhere. Plain values on purpose: everything runs on the window thread.

namespace rilumo::globals {

// Twips per pixel: round(1440 / logical DPI), 15 on a standard display.
inline int TwipsPerPixel = 15;
// Non-zero: every line offered to the log is written (setting "LogError").
inline int LogError = 0;
// Non-zero: failures propagate instead of being swallowed (diagnosis mode).
inline int ErrorCatch = 0;
// Non-zero: the program applies fonts of its own to the text-bearing controls.
inline int FontSubstitution = 0;

}  // namespace rilumo::globals
