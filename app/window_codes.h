#pragma once
// The numbers the window's handlers and the player speak in, by name. The
// values are fixed: handlers are called with them from keys, menus, remotes
// and tests alike.

#include <cstdint>

namespace rilumo {

// The player's mode as it reports it. The end of a track is reported once.
enum PlayerModeCode : std::int32_t {
    kModeEnded = 0,
    kModeStopped = 1,  // or nothing loaded
    kModePaused = 2,
    kModePlaying = 3,
};

// The play buttons, as PlayButtons_ButtonClicked numbers them.
enum PlayButtonIndex : std::int16_t {
    kButtonStop = 0,
    kButtonPause = 1,
    kButtonPlay = 2,
};

// A play button's lamp.
enum ButtonLamp : std::int32_t {
    kLampOff = 0,
    kLampOn = 2,
};

// The playlist menu, as MenuFileClick numbers it.
enum FileMenuItem : int {
    kMenuLoad = 0,
    kMenuSave = 1,
    kMenuFolder = 2,
    kMenuFolderShuffled = 3,
    kMenuShuffle = 4,
    kMenuClear = 5,
};

// Entry indexes the playlist view reads as names rather than places.
inline constexpr std::int32_t kCursorEntry = -1;
inline constexpr std::int32_t kLastEntry = -2;

}  // namespace rilumo
