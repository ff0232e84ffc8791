#include "media/open_formats.h"

#include <QByteArray>

#include <algorithm>
#include <array>

#include "support/error_trap.h"
#include "support/file_ops.h"
#include "support/rounding.h"

namespace rilumo {

namespace {

constexpr std::int64_t kHeadBytes = 64 * 1024;
constexpr std::int64_t kTailBytes = 64 * 1024;

struct Bytes {
    const QByteArray& b;
    bool has(qsizetype at, qsizetype n) const { return at >= 0 && n >= 0 && at <= b.size() - n; }
    std::uint32_t u8(qsizetype at) const { return static_cast<std::uint8_t>(b[at]); }
    std::uint32_t le16(qsizetype at) const { return u8(at) | u8(at + 1) << 8; }
    std::uint32_t le32(qsizetype at) const { return le16(at) | le16(at + 2) << 16; }
    std::uint64_t le64(qsizetype at) const { return le32(at) | std::uint64_t(le32(at + 4)) << 32; }
    std::uint32_t be24(qsizetype at) const { return u8(at) << 16 | u8(at + 1) << 8 | u8(at + 2); }
    bool is(qsizetype at, const char* magic, qsizetype n) const {
        return has(at, n) && std::equal(magic, magic + n, b.constData() + at);
    }
};

std::int32_t msOf(std::uint64_t samples, std::uint32_t rate) {
    if (rate == 0) return 0;
    const double ms = static_cast<double>(samples) * 1000.0 / rate;
    return ms > 2147483647.0 ? 0 : RoundToInt32(ms);
}

QString describe(const OpenAudioInfo& i) {
    QString channels;
    if (i.Channels == 1) channels = QStringLiteral("Mono");
    else if (i.Channels == 2) channels = QStringLiteral("Stereo");
    else channels = QString::number(i.Channels) + QStringLiteral("ch");
    QString text = i.Codec + u'(' + QString::number(i.SampleRate) + QStringLiteral("Hz/");
    if (i.BitsPerSample > 0) text += QString::number(i.BitsPerSample) + QStringLiteral("bit/");
    return text + channels + u')';
}

// The 34-byte STREAMINFO body at `at`.
bool takeStreamInfo(const Bytes& s, qsizetype at, OpenAudioInfo& i) {
    if (!s.has(at, 18)) return false;
    const std::uint32_t rate = s.u8(at + 10) << 12 | s.u8(at + 11) << 4 | s.u8(at + 12) >> 4;
    const std::uint64_t total = (std::uint64_t(s.u8(at + 13) & 0x0F) << 32) | (s.u8(at + 14) << 24) |
                                (s.u8(at + 15) << 16) | (s.u8(at + 16) << 8) | s.u8(at + 17);
    if (rate == 0 || rate > 655350) return false;
    i.Codec = QStringLiteral("flac");
    i.SampleRate = static_cast<std::int32_t>(rate);
    i.Channels = static_cast<std::int32_t>(((s.u8(at + 12) >> 1) & 0x07) + 1);
    i.BitsPerSample = static_cast<std::int32_t>(((s.u8(at + 12) & 0x01) << 4 | s.u8(at + 13) >> 4) + 1);
    i.DurationMs = msOf(total, rate);
    return true;
}

// A leading ID3v2 tag, which some taggers put before "fLaC".
qsizetype afterId3(const Bytes& s) {
    if (!s.is(0, "ID3", 3) || !s.has(0, 10)) return 0;
    return 10 + qsizetype((s.u8(6) & 0x7F) << 21 | (s.u8(7) & 0x7F) << 14 | (s.u8(8) & 0x7F) << 7 |
                          (s.u8(9) & 0x7F));
}

bool readFlac(const Bytes& s, qsizetype at, OpenAudioInfo& i) {
    // The first metadata block must be STREAMINFO.
    if (!s.is(at, "fLaC", 4) || !s.has(at + 4, 4) || (s.u8(at + 4) & 0x7F) != 0) return false;
    if (s.be24(at + 5) < 34) return false;
    return takeStreamInfo(s, at + 8, i);
}

// The first packet of the first Ogg page: where it starts and its length.
bool firstOggPacket(const Bytes& s, qsizetype& packet, qsizetype& length, std::uint32_t& serial) {
    if (!s.is(0, "OggS", 4) || !s.has(0, 27)) return false;
    const qsizetype segments = s.u8(26);
    if (!s.has(27, segments)) return false;
    serial = s.le32(14);
    length = 0;
    for (qsizetype k = 0; k < segments; ++k) {
        length += s.u8(27 + k);
        if (s.u8(27 + k) < 255) break;
    }
    packet = 27 + segments;
    return s.has(packet, length);
}

// The granule position of the stream's last page that has one, searched from
// the end of the file; -1 when none is found.
std::int64_t lastGranule(const Bytes& tail, std::uint32_t serial) {
    for (qsizetype at = tail.b.size() - 27; at >= 0; --at) {
        if (!tail.is(at, "OggS", 4) || tail.u8(at + 4) != 0 || tail.le32(at + 14) != serial) continue;
        const std::uint64_t g = tail.le64(at + 6);
        if (g != ~std::uint64_t(0)) return static_cast<std::int64_t>(std::min<std::uint64_t>(g, INT64_MAX));
    }
    return -1;
}

bool readOgg(const Bytes& head, const Bytes& tail, OpenAudioInfo& i) {
    qsizetype p = 0, n = 0;
    std::uint32_t serial = 0;
    if (!firstOggPacket(head, p, n, serial)) return false;
    const std::int64_t granule = lastGranule(tail, serial);
    if (n >= 30 && head.is(p, "\x01vorbis", 7)) {
        i.Codec = QStringLiteral("ogg");
        i.Channels = static_cast<std::int32_t>(head.u8(p + 11));
        const std::uint32_t rate = head.le32(p + 12);
        if (i.Channels == 0 || rate == 0 || rate > 1000000) return false;
        i.SampleRate = static_cast<std::int32_t>(rate);
        if (granule > 0) i.DurationMs = msOf(static_cast<std::uint64_t>(granule), rate);
        return true;
    }
    if (n >= 19 && head.is(p, "OpusHead", 8)) {
        i.Codec = QStringLiteral("opus");
        i.Channels = static_cast<std::int32_t>(head.u8(p + 9));
        if (i.Channels == 0) return false;
        i.SampleRate = 48000;  // Opus always decodes at 48 kHz
        const std::int64_t preSkip = head.le16(p + 10);
        if (granule > preSkip) i.DurationMs = msOf(static_cast<std::uint64_t>(granule - preSkip), 48000);
        return true;
    }
    // FLAC in Ogg: a small mapping header, then "fLaC" and the STREAMINFO block.
    if (n >= 51 && head.is(p, "\x7F" "FLAC", 5) && head.is(p + 9, "fLaC", 4)) {
        if (!takeStreamInfo(head, p + 17, i)) return false;
        if (granule > 0) i.DurationMs = msOf(static_cast<std::uint64_t>(granule), i.SampleRate);
        return true;
    }
    return false;
}

bool readWavPack(const Bytes& s, OpenAudioInfo& i) {
    if (!s.is(0, "wvpk", 4) || !s.has(0, 32)) return false;
    static constexpr std::array<std::int32_t, 15> rates = {6000,  8000,  9600,  11025, 12000, 16000, 22050, 24000,
                                                           32000, 44100, 48000, 64000, 88200, 96000, 192000};
    const std::uint32_t flags = s.le32(24);
    const std::uint32_t rateIndex = (flags >> 23) & 0x0F;
    if (rateIndex >= rates.size()) return false;  // a custom rate lives in metadata this reader skips
    i.Codec = QStringLiteral("wv");
    i.SampleRate = rates[rateIndex];
    // Bytes stored less the shift of samples whose low bits are always zero.
    const int stored = static_cast<int>(((flags & 0x03) + 1) * 8), shift = static_cast<int>((flags >> 13) & 0x1F);
    i.BitsPerSample = (flags & 0x80) ? 32 : std::max(1, stored - shift);
    i.Channels = (flags & 0x04) ? 1 : 2;
    std::uint64_t total = s.le32(12);
    if (total != 0xFFFFFFFFu) {
        total |= std::uint64_t(s.u8(11)) << 32;  // the high byte of newer streams
        i.DurationMs = msOf(total, static_cast<std::uint32_t>(i.SampleRate));
    }
    return true;
}

OpenAudioInfo read(const QString& path) {
    OpenAudioInfo i;
    if (!IsRegularFile(path)) return i;
    QByteArray head, tail;
    if (ReadAt(head, kHeadBytes, 0, path) == 0 || head.isEmpty()) return i;
    const Bytes h{head};
    bool ok = false;
    if (h.is(0, "OggS", 4)) {
        std::int64_t size = 0;
        FileSizeOf(path, size);
        const std::int64_t from = std::max<std::int64_t>(0, size - kTailBytes);
        if (from == 0) tail = head;
        else ReadAt(tail, kTailBytes, from, path);
        ok = readOgg(h, Bytes{tail}, i);
    } else if (h.is(0, "wvpk", 4)) {
        ok = readWavPack(h, i);
    } else {
        const qsizetype at = afterId3(h);
        if (at > 0 && !h.has(at, 42)) {
            QByteArray block;
            ReadAt(block, 42, at, path);
            ok = readFlac(Bytes{block}, 0, i);
        } else {
            ok = readFlac(h, at, i);
        }
    }
    if (!ok) return OpenAudioInfo{};
    i.Valid = 1;
    i.LongText = describe(i);
    return i;
}

}  // namespace

OpenAudioInfo ReadOpenAudioInfo(const QString& path) {
    return TrapOr(OpenAudioInfo{}, [&] { return read(path); });
}

}  // namespace rilumo
