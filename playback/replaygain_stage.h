#pragma once
// The ReplayGain level of each file the player loads or joins: its tags and
// the settings are read afresh at every load, so a change of mode holds from
// the next file on. A CUE sheet's track takes the sheet's gains, where the
// sheet gives any, in place of the file's.

#include <QString>

#include "media/replaygain.h"
#include "playback/graph/graph.h"
#include "playback/play_segment.h"

namespace rilumo {

// Puts the file's gain stage into its freshly built graph; a file played at
// its own level gets none, a sheet's track one at any level, so that the
// track after it in the same stream can take its own. Failures leave the
// graph unscaled.
void ApplyReplayGain(const QString& path, graph::Graph& graph, const PlaySegment& segment = {});

// The factor for a file or track; -1 when ReplayGain is off.
double ReplayGainLevel(const QString& path, const PlaySegment& segment);

// The gains the sheet gives a track; none for a sheet that cannot be read.
ReplayGainTags SheetTrackGains(const QString& sheetPath, int trackNumber);

}  // namespace rilumo
