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

MediaSummary BuildMediaSummary(const QString& path);

// The descriptive name of a file's type (e.g. "WAV audio").
QString ShellTypeName(const QString& path);

}  // namespace rilumo
