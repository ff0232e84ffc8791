#pragma once
// The ReplayGain level of each file the player loads or joins: its tags and
// the settings are read afresh at every load, so a change of mode holds from
// the next file on.

#include <QString>

#include "playback/graph/graph.h"

namespace rilumo {

// Puts the file's gain stage into its freshly built graph; a file played at
// its own level gets none. Failures leave the graph unscaled.
void ApplyReplayGain(const QString& path, graph::Graph& graph);

}  // namespace rilumo
