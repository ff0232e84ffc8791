#include "media/mpeg_info.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "support/error_trap.h"
#include "support/file_ops.h"
#include "support/rounding.h"

namespace rilumo {

namespace {

constexpr int kProbeBytes = 48;
constexpr int kWindowBytes = 1000;
constexpr int kTailBytes = 1024;
// Encoders put the first frame right after the tag; a file with no frame in
// this stretch past it is no MPEG audio file, and a half-downloaded one of
// zeros must not be read from end to end.
constexpr std::int64_t kMaxSearchBytes = 1024 * 1024;

// Bytes past the end of the file read as zero.
bool readBytes(const QString& path, std::int64_t offset, unsigned char* out, int count) {
    std::memset(out, 0, static_cast<size_t>(count));
    return ReadAt(reinterpret_cast<char*>(out), count, offset, path, offset, 0) == 1;
}

std::uint32_t be32(const unsigned char* b) {
    return std::uint32_t(b[0]) << 24 | std::uint32_t(b[1]) << 16 | std::uint32_t(b[2]) << 8 |
           std::uint32_t(b[3]);
}

std::int32_t toInt32(double x) {
    if (!(x >= std::numeric_limits<std::int32_t>::min() &&
          x <= std::numeric_limits<std::int32_t>::max()))
        Fail("overflow");
    return static_cast<std::int32_t>(x);
}

// The VBR header follows the layer III side information, whose length
// depends on the version and on mono versus two channels.
int xingOffset(std::uint8_t byte2, std::uint8_t byte4) {
    const bool mpeg1 = (byte2 & 0x08) != 0;
    const bool mono = (byte4 & 0xC0) == 0xC0;
    if (mpeg1) return mono ? 21 : 36;
    return mono ? 13 : 21;
}

// Looks for "Xing" at offset in bytes; sets the VBR fields when it is there.
void takeXing(const unsigned char* bytes, int offset, MpegAudioInfo& info) {
    if (std::memcmp(bytes + offset, "Xing", 4) != 0) return;
    info.IsVbr = 1;
    info.FrameCount = toInt32(double(be32(bytes + offset + 8)));
}

// The byte search of the first frame header, in 1000-byte windows. A 0xFF in
// a window's last three bytes is never examined. The first window is read on
// its own, so a frame near the start costs one small read; later windows are
// fetched several at a time (up to 64 per read) so that a long stretch before
// the first frame does not cost one open per kilobyte. Each window is still
// examined on its own, with zeros past the end of the file.
std::int64_t findHeader(const QString& path, std::int64_t fileSize, std::int64_t from,
                        std::uint8_t ref, bool isMp3, unsigned char header[4]) {
    constexpr std::int64_t kMaxBatch = 64;
    std::vector<unsigned char> buffer;
    std::int64_t batch = 1;
    const std::int64_t end = std::min(fileSize, from + kMaxSearchBytes);
    for (std::int64_t start = from; start < end;) {
        const std::int64_t left = (end - start + kWindowBytes - 1) / kWindowBytes;
        const std::int64_t windows = std::min(batch, left);
        buffer.resize(static_cast<size_t>(windows * kWindowBytes));
        if (!readBytes(path, start, buffer.data(), int(buffer.size()))) return -1;
        for (std::int64_t k = 0; k < windows; ++k) {
            const unsigned char* w = buffer.data() + k * kWindowBytes;
            const unsigned char* const last = w + kWindowBytes - 3;
            for (const unsigned char* at = w;; ++at) {
                at = static_cast<const unsigned char*>(std::memchr(at, 0xFF, size_t(last - at)));
                if (at == nullptr) break;
                const int p = int(at - w);
                const std::uint8_t b = w[p + 1];
                if (ref == 0) {
                    if (b < 0xF0 || (b == 0xFF && isMp3)) continue;
                    if (w[p + 2] == 0xFF) {
                        ref = b;
                        continue;
                    }
                } else if (b != ref || w[p + 2] == 0xFF) {
                    continue;
                }
                std::memcpy(header, w + p, 4);
                return start + k * kWindowBytes + p;
            }
        }
        start += windows * kWindowBytes;
        batch = std::min(batch * 2, kMaxBatch);
    }
    return -1;
}

int bitrateKbps(bool lowRate, int layer, int index) {
    static constexpr std::int16_t mpeg1[3][15] = {
        {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}};
    static constexpr std::int16_t lower[3][15] = {
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}};
    if (index <= 0 || index >= 15) return 0;
    return (lowRate ? lower : mpeg1)[layer - 1][index];
}

int samplesPerFrame(int layer, bool lowRate) {
    if (layer == 1) return 384;
    if (layer == 3 && lowRate) return 576;
    return 1152;
}

// Skips a leading tag, takes the frame at offset 0 when it is one, else
// searches; returns the offset of the first frame header or -1.
std::int64_t locateFirstFrame(const QString& path, std::int64_t fileSize, bool isMp3, MpegAudioInfo& info,
                              unsigned char (&header)[4]) {
    unsigned char probe[kProbeBytes];
    if (!readBytes(path, 0, probe, kProbeBytes)) return -1;
    std::int64_t searchFrom = 0;
    std::uint8_t ref = 0;
    if (std::memcmp(probe, "TAG", 3) == 0) {
        searchFrom = 128;
    } else if (std::memcmp(probe, "ID3", 3) == 0) {
        searchFrom = 10 + (std::int64_t(probe[6] & 0x7F) << 21 | (probe[7] & 0x7F) << 14 |
                           (probe[8] & 0x7F) << 7 | (probe[9] & 0x7F));
    } else {
        takeXing(probe, xingOffset(probe[1], probe[3]), info);
        if (probe[0] == 0xFF && probe[1] >= 0xF0 && !(probe[1] == 0xFF && isMp3)) {
            if (probe[2] != 0xFF) {
                std::memcpy(header, probe, 4);
                return 0;
            }
            ref = probe[1];
        }
    }
    return findHeader(path, fileSize, searchFrom, ref, isMp3, header);
}

// The VBR header of the first frame, and where the audio ends: before the
// first "TAG" in the last 1024 bytes, else at the end of the file.
void measureAudio(const QString& path, std::int64_t fileSize, std::int64_t at, const unsigned char (&header)[4],
                  MpegAudioInfo& info) {
    info.AudioStart = toInt32(double(at + 1));
    std::memcpy(info.Header.data(), header + 1, 3);
    const int xo = xingOffset(header[1], header[3]);
    if (info.IsVbr == 0 && at + xo + 11 < fileSize) {
        unsigned char frameStart[kProbeBytes];
        if (readBytes(path, at, frameStart, xo + 12)) takeXing(frameStart, xo, info);
    }
    const int tailBytes = int(std::min<std::int64_t>(kTailBytes, fileSize));
    if (tailBytes > 3) {
        unsigned char tail[kTailBytes];
        if (readBytes(path, fileSize - tailBytes, tail, tailBytes)) {
            for (int q = 0; q <= tailBytes - 3; ++q) {
                if (std::memcmp(tail + q, "TAG", 3) == 0) {
                    info.AudioSize = toInt32(double(fileSize - info.AudioStart - tailBytes + q + 1));
                    break;
                }
            }
        }
    }
    if (info.AudioSize <= 3) info.AudioSize = toInt32(double(fileSize - info.AudioStart + 1));
    info.AudioEnd = toInt32(double(info.AudioSize) + info.AudioStart - 1);
}

// Layer, rate, bit rate and duration from the header; false for a header
// no decoder would take.
bool decodeHeader(const unsigned char (&header)[4], MpegAudioInfo& info) {
    const std::uint8_t b2 = header[1], b3 = header[2];
    switch (b2 & 0x06) {
    case 0x02: info.Layer = 3; break;
    case 0x04: info.Layer = 2; break;
    case 0x06: info.Layer = 1; break;
    default: return false;
    }
    info.IsLowRate = (b2 & 0x08) == 0 ? 1 : 0;
    info.Bitrate = bitrateKbps(info.IsLowRate, info.Layer, b3 >> 4);
    if (info.Bitrate == 0) return false;

    static constexpr std::int32_t rates[3] = {44100, 48000, 32000};
    if ((b3 & 0x0C) == 0x0C) return false;
    info.SampleRate = rates[(b3 & 0x0C) >> 2] / (info.IsLowRate ? 2 : 1);

    if (info.IsVbr) {
        const int spf = samplesPerFrame(info.Layer, info.IsLowRate);
        info.DurationMs = RoundToInt32(double(info.FrameCount) * spf / (info.SampleRate / 1000.0));
        if (info.DurationMs == 0) Fail("VBR header without frames");
        info.Bitrate = RoundToInt32(double(info.AudioSize) * 8 / info.DurationMs);
    } else {
        info.DurationMs = RoundToInt32(info.AudioSize / (info.Bitrate / 8.0));
    }
    return true;
}

void describe(std::uint8_t b4, MpegAudioInfo& info) {
    struct Mode { int channels; const char* longName; const char* shortName; };
    static constexpr Mode modes[4] = {{2, "Stereo", "ST"}, {2, "JointStereo", "JS"},
                                      {2, "DualChannel", "DC"}, {1, "Mono", "Mono"}};
    info.ChannelMode = b4 >> 6;
    const Mode& mode = modes[info.ChannelMode];
    info.Channels = mode.channels;

    const QString layer = QString::number(info.Layer);
    const QString kbps = QString::number(info.Bitrate);
    info.LongText = QStringLiteral("mp") + layer + u'(' + QString::number(info.SampleRate) +
                    QStringLiteral("Hz/") + kbps + QStringLiteral("kbps") +
                    (info.IsVbr ? QStringLiteral("[VBR]") : QString()) + u'/' +
                    QLatin1String(mode.longName) + u')';
    info.ShortText = QStringLiteral("mp") + layer + u'(' +
                     QString::number(info.SampleRate / 1000.0) + QStringLiteral("kHz/") + kbps +
                     QStringLiteral("kb/") + QLatin1String(mode.shortName) + u')';
    info.BlockBytes = RoundToInt32(3456.0 / info.SampleRate * (double(info.Bitrate) * 125));
}

// CRC-16 with the reflected 0x8005 polynomial, as the extension's writers
// compute it over the frame's bytes in front of the checksum.
std::uint16_t crc16(const unsigned char* bytes, int count) {
    std::uint16_t crc = 0;
    for (int i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}

// The frame's fields come in the order of the flag bits: frames, bytes, the
// 100-byte seek table, quality; the extension follows them.
constexpr int kXingFieldBytes[4] = {4, 4, 100, 4};
constexpr int kExtensionBytes = 36;
constexpr int kFrameReadBytes = 36 + 8 + 112 + kExtensionBytes;

MpegGapless gaplessOf(const unsigned char* frame, const unsigned char (&header)[4], const MpegAudioInfo& info) {
    const int xo = xingOffset(header[1], header[3]);
    if (std::memcmp(frame + xo, "Xing", 4) != 0 && std::memcmp(frame + xo, "Info", 4) != 0) return {};
    const std::uint32_t flags = be32(frame + xo + 4);
    if ((flags & 1) == 0) return {};
    const std::int64_t frames = be32(frame + xo + 8);
    int ext = xo + 8;
    for (int bit = 0; bit < 4; ++bit) ext += (flags >> bit & 1) ? kXingFieldBytes[bit] : 0;
    const unsigned char* e = frame + ext;
    const std::uint16_t written = std::uint16_t(e[34] << 8 | e[35]);
    // Some writers leave the checksum out (zero); a wrong one means the
    // bytes are not what they seem, and nothing is trimmed.
    if (written != 0 && written != crc16(frame, ext + 34)) return {};
    QString encoder;
    for (int i = 0; i < 9 && e[i] >= 0x20 && e[i] < 0x7F; ++i) encoder += QChar(e[i]);
    MpegGapless g;
    g.Encoder = encoder.trimmed();
    g.Delay = std::int64_t(e[21]) << 4 | e[22] >> 4;
    g.Padding = std::int64_t(e[22] & 0x0F) << 8 | e[23];
    g.Samples = frames * samplesPerFrame(info.Layer, info.IsLowRate);
    return g.Valid() ? g : MpegGapless{};
}

MpegGapless parseGapless(const QString& path) {
    std::int64_t fileSize = 0;
    FileSizeOf(path, fileSize);
    if (fileSize < kProbeBytes) return {};
    MpegAudioInfo info;
    unsigned char header[4] = {};
    const std::int64_t at = locateFirstFrame(path, fileSize, true, info, header);
    if (at < 0 || !decodeHeader(header, info) || info.Layer != 3) return {};
    unsigned char frame[kFrameReadBytes];
    if (!readBytes(path, at, frame, kFrameReadBytes)) return {};
    return gaplessOf(frame, header, info);
}

int parse(const QString& path, MpegAudioInfo& info) {
    const bool isMp3 = path.right(3).compare(QLatin1String("mp3"), Qt::CaseInsensitive) == 0;
    std::int64_t size64 = 0;
    info.FileSize = FileSizeOf(path, size64);
    const std::int64_t fileSize = info.FileSize;
    if (fileSize < kProbeBytes) return 0;

    unsigned char header[4] = {};
    const std::int64_t at = locateFirstFrame(path, fileSize, isMp3, info, header);
    if (at < 0) return 0;
    measureAudio(path, fileSize, at, header, info);
    if (!decodeHeader(header, info)) return 0;
    describe(header[3], info);
    return 1;
}

}  // namespace

MpegGapless ReadMpegGapless(const QString& path) {
    return TrapOr(MpegGapless{}, [&] { return parseGapless(path); });
}

int ReadMpegInfo(const QString& path, MpegAudioInfo& info) {
    info = MpegAudioInfo{};
    return TrapOr(0, [&] { return parse(path, info); });
}

}  // namespace rilumo
