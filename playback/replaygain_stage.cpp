#include "playback/replaygain_stage.h"

#include "media/replaygain.h"
#include "support/error_trap.h"

namespace rilumo {

void ApplyReplayGain(const QString& path, graph::Graph& graph) {
    const ReplayGainSettings settings = ReadReplayGainSettings();
    if (settings.mode == ReplayGainMode::Off) return;
    const double factor = ReplayGainFactor(ReadReplayGain(path), settings);
    Ignore([&] { graph.SetGain(factor); });
}

}  // namespace rilumo
