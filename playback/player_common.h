#pragma once
// What the player and the alternative player share: the step runner that
// ignores back-end failures, the attenuation curve and the mode report.

#include <cstdint>

#include "playback/graph/graph.h"

namespace rilumo {

// Runs a back-end step whose failure is of no consequence, whatever the
// error-catch flag says.
template <class Step>
void Ignore(Step&& step) {
    try {
        step();
    } catch (...) {
    }
}

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

}  // namespace rilumo
