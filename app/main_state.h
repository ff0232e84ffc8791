#pragma once
// The main window's state record, shared by the playlist commands, the
// playback loop and the item commands. 32-bit integers as the window keeps them.

#include <cstdint>

namespace rilumo {

struct MainState {
    std::int32_t busy = 0;           // 1 while a playlist command runs
    std::int32_t lastSeenMode = 0;   // the player mode the tick last saw change
    std::int32_t cancelScan = 0;     // set by Esc while busy; the folder scan polls it
    std::int32_t playIndex = 0;      // entry being played or last played
    std::int32_t userStop = 0;       // 1 after a stop by the user or a command
    std::int32_t showRemaining = 0;  // setting "IsRemain": 0 elapsed, 1 remaining
};

}  // namespace rilumo
