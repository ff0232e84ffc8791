#pragma once
// The one-box format summary of a playlist entry: path, type name, format
// line and duration, learnt the cheapest way the file allows.

#include <QString>

#include <cstdint>

namespace rilumo {

struct MediaSummary {
    std::int32_t Found = 0;
    std::int32_t DurationMs = 0;
    QString Text;
};

// Safe on any thread; a temporary player it builds lives and dies there.
MediaSummary BuildMediaSummary(const QString& path);

// From then on, a temporary player's load gives up at once and reads as length 0.
void AbandonPlayerLengths(bool abandon);

// The descriptive name of a file's type (e.g. "WAV audio").
QString ShellTypeName(const QString& path);

}  // namespace rilumo
