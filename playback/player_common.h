#pragma once
// What the player and the alternative player share: the attenuation curve
// and the mode report.

#include <cstdint>

#include "playback/c_fgraph.h"
#include "playback/graph/graph.h"
#include "support/error_trap.h"
#include "support/rounding.h"

namespace rilumo {

// The device volume for a requested attenuation: v² / VolMinLevel, within
// −10000..0, and silence (−10000) at or below the floor. Fails for a floor of 0.
std::int32_t AttenuationToVolume(std::int32_t v, std::int32_t volMinLevel);

// The player mode from the graph's state: 2 paused, 3 running, 0 when a
// running stream has ended (after stop()), 1 otherwise.
template <class StillRunning, class Stop>
std::int32_t ModeFromState(int state, StillRunning&& stillRunning, Stop&& stop) {
    if (state == graph::kStatePaused) return 2;
    if (state != graph::kStateRunning) return 1;
    if (stillRunning() == 1) return 3;
    stop();
    return 0;
}

// Position(kind) of both players: 0 elapsed, 1 left to the end, 2 left to
// ToMS; past a ToMS short of the end the player is stopped (the value read
// before the stop is still returned). Fails without a position interface.
template <class Stop>
std::int32_t PositionOf(graph::Graph* position, std::int32_t kind, std::int32_t length, std::int32_t toMs,
                        Stop&& stop) {
    if (!position) Fail("no position interface");
    double current = position->CurrentPosition();
    std::int32_t result = 0;
    switch (kind) {
    case 0: result = RoundToInt32(current * 1000.0); break;
    case 1: result = RoundToInt32(length - current * 1000.0); break;
    case 2: result = RoundToInt32(toMs - current * 1000.0); break;
    default: break;
    }
    if (toMs > 0 && toMs != length) {
        current = position->CurrentPosition();
        if (current * 1000.0 > toMs) stop();
    }
    return result;
}

}  // namespace rilumo
