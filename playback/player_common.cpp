#include "playback/player_common.h"

#include <algorithm>
#include <cmath>

#include "playback/c_fgraph.h"
#include "support/error_trap.h"

namespace rilumo {

std::int32_t AttenuationToVolume(std::int32_t v, std::int32_t volMinLevel) {
    if (v <= volMinLevel) return -10000;
    if (volMinLevel == 0) Fail("division by zero");
    const double tenth = std::abs(static_cast<double>(v)) / 10.0;
    return std::clamp(RoundToInt32(tenth * tenth / (volMinLevel / 100.0)), -10000, 0);
}

}  // namespace rilumo
