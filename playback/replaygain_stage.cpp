#include "playback/replaygain_stage.h"

#include <QFile>
#include <QFileInfo>

#include "media/cue_sheet.h"
#include "support/error_trap.h"

namespace rilumo {

namespace {

// A sheet bigger than this is no sheet; nothing is read from it.
constexpr qint64 kSheetLimitBytes = 4 << 20;

ReplayGainTags gainsOf(const QString& path, const PlaySegment& segment) {
    if (segment.isTrack && !segment.sheetPath.isEmpty()) {
        ReplayGainTags sheet = SheetTrackGains(segment.sheetPath, segment.trackNumber);
        if (!sheet.Empty()) return sheet;
    }
    return ReadReplayGain(path);
}

}  // namespace

ReplayGainTags SheetTrackGains(const QString& sheetPath, int trackNumber) {
    QFile file(sheetPath);
    if (file.size() > kSheetLimitBytes || !file.open(QIODevice::ReadOnly)) return {};
    const CueSheet sheet = ParseCueSheet(file.read(kSheetLimitBytes), QFileInfo(sheetPath).absolutePath());
    for (const CueTrack& t : sheet.tracks) {
        if (t.number == trackNumber) return t.gains;
    }
    return {};
}

double ReplayGainLevel(const QString& path, const PlaySegment& segment) {
    const ReplayGainSettings settings = ReadReplayGainSettings();
    if (settings.mode == ReplayGainMode::Off) return -1;
    return ReplayGainFactor(gainsOf(path, segment), settings);
}

void ApplyReplayGain(const QString& path, graph::Graph& graph, const PlaySegment& segment) {
    const double factor = ReplayGainLevel(path, segment);
    if (factor < 0) return;
    Ignore([&] { graph.SetGain(factor, segment.isTrack); });
}

}  // namespace rilumo
