#pragma once
// ReplayGain: the level a file's tags (or its CUE sheet) ask it to be played
// at, and the one factor the player scales its samples by. Gains are in dB
// against the ReplayGain reference (-18 LUFS), peaks linear (1.0 = full scale).

#include <QString>

#include <optional>

namespace rilumo {

struct ReplayGainTags {
    std::optional<double> trackGain;
    std::optional<double> trackPeak;
    std::optional<double> albumGain;
    std::optional<double> albumPeak;

    bool Empty() const { return !trackGain && !albumGain; }
    bool operator==(const ReplayGainTags&) const = default;
};

enum class ReplayGainMode { Off = 0, Track = 1, Album = 2 };

struct ReplayGainSettings {
    ReplayGainMode mode = ReplayGainMode::Track;
    double preampDb = 0;
    bool noClip = true;      // gain x peak stays at or below full scale
    double fallbackDb = 0;   // for a file with no gain of the mode's kind
};

// "-6.02 dB", "+3.1", " -0.5 db ": the number in dB; nothing for text that is
// no finite number.
std::optional<double> ParseGainText(const QString& text);
// A peak: a finite number above 0.
std::optional<double> ParsePeakText(const QString& text);

// Reads the gains of a file through TagLib: REPLAYGAIN_* in Vorbis comments,
// APE tags, ID3v2 TXXX frames and MP4 freeform atoms; for Opus the R128 gains
// (whose header output gain the decoder applies by itself). Nothing for a
// file that cannot be read. Blocking.
ReplayGainTags ReadReplayGain(const QString& path);

// "ReplayGain", "ReplayGainPreamp", "ReplayGainNoClip", "ReplayGainFallback".
ReplayGainSettings ReadReplayGainSettings();
void WriteReplayGainMode(ReplayGainMode mode);

// The linear factor for the samples: 1 when off.
double ReplayGainFactor(const ReplayGainTags& tags, const ReplayGainSettings& settings);

}  // namespace rilumo
