#pragma once
// Headers of the open formats most Linux collections are in: FLAC (native
// and in Ogg), Ogg Vorbis, Opus and WavPack. Enough to describe a file and
// give its length without decoding it.

#include <QString>

#include <cstdint>

namespace rilumo {

struct OpenAudioInfo {
    std::int32_t Valid = 0;  // 1 when the stream header was read
    QString Codec;           // "flac", "ogg", "opus" or "wv"
    std::int32_t SampleRate = 0;
    std::int32_t BitsPerSample = 0;  // 0 where the codec has none (Vorbis, Opus)
    std::int32_t Channels = 0;
    std::int32_t DurationMs = 0;  // 0 when the file does not tell
    QString LongText;             // e.g. flac(44100Hz/16bit/Stereo), opus(48000Hz/Stereo)
};

// Never fails: anything else (a renamed text file, a truncated download)
// gives Valid 0.
OpenAudioInfo ReadOpenAudioInfo(const QString& path);

}  // namespace rilumo
