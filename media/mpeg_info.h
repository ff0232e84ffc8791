#pragma once
// MPEG audio (layers I-III) header parser: finds the first frame past a
// leading tag, decodes it, recognises a "Xing" VBR header and derives the
// duration and two summary texts, without decoding any audio.

#include <QString>

#include <array>
#include <cstdint>

namespace rilumo {

struct MpegAudioInfo {
    std::int32_t AudioStart = 1;  // 1-based position of the first frame header
    std::int32_t AudioSize = 0;   // from AudioStart up to a trailing "TAG" (or the end)
    std::int32_t AudioEnd = 0;
    std::int32_t FileSize = 0;    // low 32 bits
    std::int32_t BlockBytes = 0;  // bytes that 3456 samples take at the header's bit rate
    std::int32_t IsVbr = 0;
    std::int32_t FrameCount = 0;  // from the "Xing" header
    std::int32_t SampleRate = 0;
    std::int32_t IsLowRate = 0;   // version bit clear: the lower-sample-rate tables
    std::int32_t Bitrate = 0;     // kbit/s; the average for VBR files
    std::int32_t Channels = 0;
    std::int32_t ChannelMode = 0; // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
    std::int32_t Layer = 0;
    std::int32_t DurationMs = 0;
    QString ShortText;            // e.g. mp3(44.1kHz/128kb/JS)
    QString LongText;             // e.g. mp3(44100Hz/128kbps/JointStereo)
    std::array<std::uint8_t, 3> Header{};  // bytes 2, 3 and 4 of the frame header
};

// Encoder delay and padding from the LAME-style extension of the first
// frame's Xing/"Info" header, which LAME, the Lavc/Lavf library and others
// write in the same layout.
struct MpegGapless {
    QString Encoder;            // the extension's first 9 bytes, e.g. "LAME3.100", "Lavc59.37"
    std::int64_t Delay = 0;     // samples of priming the encoder put first
    std::int64_t Padding = 0;   // samples it added at the end
    std::int64_t Samples = 0;   // all decoded samples: frames times samples per frame
    bool Valid() const { return Samples > Delay + Padding && !Encoder.isEmpty(); }
};

// A decoder starts its output this many samples late (its filter bank), on
// top of the encoder's delay.
inline constexpr std::int64_t kMpegDecoderDelay = 529;

// Empty (not Valid) without the extension, with a frame count missing, or
// when the extension's CRC, where it is written, does not match.
MpegGapless ReadMpegGapless(const QString& path);

// 1 when a frame header was found and decoded, else 0 (info then holds what
// had been filled in). Reads through ReadAt in small pieces.
int ReadMpegInfo(const QString& path, MpegAudioInfo& info);

}  // namespace rilumo
