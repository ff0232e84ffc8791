#pragma once
// How the process's allocator is set up.

namespace rilumo {

// GStreamer streams each file on threads of its own, and glibc gives busy
// threads allocation arenas of their own that keep what they once held:
// over a long listening session the player's memory would creep up file by
// file. Two arenas serve a player's few threads as fast. Once, first thing.
void ConfineAllocatorArenas();

// Hands the allocator's free pages back to the system; takes a moment, so
// not on the window thread.
void ReturnFreeMemory();

}  // namespace rilumo
