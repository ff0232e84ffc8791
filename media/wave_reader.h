#pragma once
// RIFF/WAVE chunk walk: the sample format, data size and duration of a file,
// and the file-type answer the graph builder chooses its decoder chain by.

#include <QString>

#include <cstdint>

namespace rilumo {

struct WaveInfo {
    std::int32_t Valid = 0;  // 1 when a supported "fmt " and a "data" chunk were found
    std::int32_t FrameCount = 0;
    std::int32_t SampleRate = 0;
    std::int16_t BitsPerSample = 0;
    std::int16_t Channels = 0;
    std::int32_t BytesPerFrame = 0;
    std::int32_t DataOffset = 0;  // file offset of the data chunk's body
    std::uint64_t DataSize = 0;
    std::uint64_t FileSize = 0;
    // 0/1 mono/stereo 8-bit, 2/3 16-bit, 4/5 24-bit, 6/7 six/eight channels
    // 16-bit, 8/9 six/eight channels 24-bit.
    std::int32_t FormatCode = 0;
    std::int32_t DurationMs = 0;
    std::int32_t FormatTag = 0;  // sign-extended: 0xFFFE reads as -2
};

// Never fails: an unreadable or non-RIFF file gives Valid 0.
WaveInfo ReadWaveInfo(const QString& path);
// The same, filling info; returns info.Valid.
int ReadWaveInfo(const QString& path, WaveInfo& info);

// "wav", "mp2", "mp3" or "wmariff" by the RIFF format tag; otherwise the
// lower-cased extension (possibly empty).
QString GetFileType(const QString& path);

}  // namespace rilumo
