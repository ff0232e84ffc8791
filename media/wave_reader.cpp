#include "media/wave_reader.h"

#include <QFile>

#include <cmath>
#include <cstring>
#include <limits>

#include "support/error_trap.h"
#include "support/file_ops.h"
#include "support/rounding.h"
#include "support/paths.h"

namespace rilumo {

namespace {

constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
// Real files carry a handful of chunks before "data" (LIST, bext, JUNK, ...).
// A file of zeros is one 8-byte "chunk" after another: without a bound the
// walk would read a half-downloaded file from end to end.
constexpr int kMaxChunks = 64;

// Reads count bytes at offset; bytes past the end of the file read as zero,
// so a truncated chunk gives defined (and usually unsupported) values.
bool readHere(QFile& f, std::int64_t offset, unsigned char* out, int count) {
    std::memset(out, 0, static_cast<size_t>(count));
    if (SeekTo(f, offset) != 0) return false;
    return f.read(reinterpret_cast<char*>(out), count) >= 0;
}

std::uint32_t le32(const unsigned char* b) {
    return std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 |
           std::uint32_t(b[3]) << 24;
}
std::uint16_t le16(const unsigned char* b) { return std::uint16_t(b[0] | b[1] << 8); }

int formatCodeOf(int channels, int bits) {
    struct Row { int channels, bits, code; };
    static constexpr Row table[] = {{1, 8, 0},  {2, 8, 1},  {1, 16, 2}, {2, 16, 3}, {1, 24, 4},
                                    {2, 24, 5}, {6, 16, 6}, {8, 16, 7}, {6, 24, 8}, {8, 24, 9}};
    for (const Row& r : table)
        if (r.channels == channels && r.bits == bits) return r.code;
    return -1;
}

// Fills info as far as the walk gets; throws only for a failure inside the
// arithmetic (e.g. a sample rate of 0), which the callers trap.
void walkChunks(const QString& path, WaveInfo& info) {
    QFile f;
    if (!OpenForRead(f, path)) return;
    const std::int64_t size = SizeOfOpenFile(f);
    if (size < 0) return;

    bool haveFormat = false;
    bool haveData = false;
    unsigned char b[16];
    // Chunk sizes are unsigned, so P only ever moves forward and the walk ends.
    std::int64_t p = 12;
    for (int chunk = 0; chunk < kMaxChunks; ++chunk) {
        if (p + 4 > size || !readHere(f, p, b, 4)) break;
        if (std::memcmp(b, "fmt ", 4) == 0) {
            if (p + 8 > size || !readHere(f, p + 8, b, 16)) break;
            info.FormatTag = static_cast<std::int16_t>(le16(b));
            info.Channels = static_cast<std::int16_t>(le16(b + 2));
            info.SampleRate = static_cast<std::int32_t>(le32(b + 4));
            info.BitsPerSample = static_cast<std::int16_t>(le16(b + 14));
            info.BytesPerFrame = RoundToInt32(info.Channels * double(info.BitsPerSample) / 8);
            const int code = formatCodeOf(info.Channels, info.BitsPerSample);
            if (code < 0) break;
            info.FormatCode = code;
            haveFormat = true;
        } else if (std::memcmp(b, "data", 4) == 0) {
            if (p + 8 > kInt32Max) Fail("overflow");
            info.DataOffset = static_cast<std::int32_t>(p + 8);
            // The whole size field must be in the file, or a cut-off header
            // would count as a data chunk.
            if (p + 8 > size || !readHere(f, p + 4, b, 4)) break;
            info.DataSize = le32(b);
            haveData = true;
        }
        if (haveFormat && haveData) {
            const double frames =
                std::floor(double(info.DataSize) / (info.Channels * info.BitsPerSample / 8.0));
            info.FrameCount = static_cast<std::int32_t>(std::min<double>(frames, kInt32Max));
            if (info.SampleRate == 0) Fail("sample rate 0");
            info.DurationMs = RoundToInt32(double(info.FrameCount) / info.SampleRate * 1000);
            info.FileSize = static_cast<std::uint64_t>(size);
            info.Valid = 1;
            break;
        }
        if (p + 8 > size || !readHere(f, p + 4, b, 4)) break;
        const std::uint32_t s = le32(b);
        p += 8 + std::int64_t(s) + (s & 1);
    }
}

}  // namespace

WaveInfo ReadWaveInfo(const QString& path) {
    WaveInfo info;
    Trap([&] { walkChunks(path, info); });
    return info;
}

int ReadWaveInfo(const QString& path, WaveInfo& info) {
    info = ReadWaveInfo(path);
    return info.Valid;
}

QString GetFileType(const QString& path) {
    return TrapOr(QString(), [&] {
        WaveInfo info;
        walkChunks(path, info);
        switch (info.FormatTag) {
        case 1: return QStringLiteral("wav");
        case 80: return QStringLiteral("mp2");
        case 85: return QStringLiteral("mp3");
        case 352:
        case 353: return QStringLiteral("wmariff");
        default: return LowerExtension(path);
        }
    });
}

}  // namespace rilumo
