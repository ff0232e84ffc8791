#pragma once
// The main window's state record. Its playback fields belong to the playback
// controller, its command flags to the playlist commands; MainState is the
// whole record as one view over both. 32-bit integers as the window keeps them.

#include <cstdint>

namespace rilumo {

struct PlaybackState {
    std::int32_t lastSeenMode = 0;   // the player mode the tick last saw change
    std::int32_t playIndex = 0;      // entry being played or last played
    std::int32_t userStop = 0;       // 1 after a stop by the user or a command
    std::int32_t showRemaining = 0;  // setting "IsRemain": 0 elapsed, 1 remaining
};

struct CommandFlags {
    std::int32_t busy = 0;        // 1 while a playlist command runs
    std::int32_t cancelScan = 0;  // set by Esc while busy; the folder scan polls it
};

struct MainState {
    std::int32_t& busy;
    std::int32_t& lastSeenMode;
    std::int32_t& cancelScan;
    std::int32_t& playIndex;
    std::int32_t& userStop;
    std::int32_t& showRemaining;
};

}  // namespace rilumo
