#include "media/mp4_gapless.h"

#include <QList>

#include <vector>

#include "support/error_trap.h"
#include "support/file_ops.h"

namespace rilumo {

namespace {

// Larger movie headers are not worth reading for a tag.
constexpr std::int64_t kMaxMoovBytes = 16 * 1024 * 1024;
constexpr int kMaxTopBoxes = 64;

std::uint32_t be32(const QByteArray& b, qsizetype at) {
    auto u = [&](qsizetype i) { return static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + i])); };
    return u(0) << 24 | u(1) << 16 | u(2) << 8 | u(3);
}

struct Span {
    qsizetype from = 0;
    qsizetype to = 0;
};

// The payloads of the child boxes of that type inside span of b, in order.
std::vector<Span> children(const QByteArray& b, Span span, const char* type) {
    std::vector<Span> out;
    qsizetype at = span.from;
    while (at >= 0 && at + 8 <= span.to) {
        const qsizetype size = be32(b, at);
        if (size < 8 || size > span.to - at) break;
        if (b.mid(at + 4, 4) == type) out.push_back({at + 8, at + size});
        at += size;
    }
    return out;
}

// The iTunSMPB text of a freeform ("----") item, or nothing.
QByteArray smpbOf(const QByteArray& b, Span item) {
    const auto names = children(b, item, "name");
    const auto data = children(b, item, "data");
    if (names.empty() || data.empty()) return {};
    const Span n = names.front();
    const Span d = data.front();
    if (n.to - n.from < 4 || d.to - d.from < 8 || b.mid(n.from + 4, n.to - n.from - 4) != "iTunSMPB") return {};
    return b.mid(d.from + 8, d.to - d.from - 8);
}

// The iTunSMPB text among the freeform items of moov/udta/meta/ilst; a
// muxer may write more than one user-data box.
QByteArray smpbText(const QByteArray& moov) {
    for (const Span udta : children(moov, {0, moov.size()}, "udta")) {
        for (const Span meta : children(moov, udta, "meta")) {
            // The meta box's version and flags come first.
            for (const Span ilst : children(moov, {meta.from + 4, meta.to}, "ilst")) {
                for (const Span item : children(moov, ilst, "----")) {
                    const QByteArray text = smpbOf(moov, item);
                    if (!text.isEmpty()) return text;
                }
            }
        }
    }
    return {};
}

QByteArray readMoov(const QString& path) {
    std::int64_t size = 0;
    if (!FileSizeOf(path, size)) return {};
    std::int64_t at = 0;
    for (int n = 0; n < kMaxTopBoxes && at + 8 <= size; ++n) {
        QByteArray head;
        if (ReadAt(head, 16, at, path) == 0 || head.size() < 8) return {};
        std::int64_t box = be32(head, 0);
        qsizetype header = 8;
        if (box == 1 && head.size() >= 16) {
            box = static_cast<std::int64_t>(be32(head, 8)) << 32 | be32(head, 12);
            header = 16;
        } else if (box == 0) {
            box = size - at;
        }
        if (box < header || box > size - at) return {};
        if (head.mid(4, 4) == "moov") {
            if (box - header > kMaxMoovBytes) return {};
            QByteArray moov;
            ReadAt(moov, static_cast<std::int32_t>(box - header), at + header, path);
            return moov;
        }
        at += box;
    }
    return {};
}

}  // namespace

GaplessTrim ParseItunSmpb(const QByteArray& text) {
    const QList<QByteArray> fields = text.simplified().split(' ');
    if (fields.size() < 4) return {};
    bool ok[3] = {false, false, false};
    const qint64 delay = fields[1].toLongLong(&ok[0], 16);
    const qint64 padding = fields[2].toLongLong(&ok[1], 16);
    const qint64 samples = fields[3].toLongLong(&ok[2], 16);
    // A delay of more than a few frames is no encoder's: the tag is wrong.
    if (!ok[0] || !ok[1] || !ok[2] || delay < 0 || delay > 65536 || padding < 0 || samples <= 0) return {};
    return GaplessTrim{delay, samples};
}

GaplessTrim ReadMp4GaplessTrim(const QString& path) {
    return TrapOr(GaplessTrim{}, [&] {
        if (!IsRegularFile(path)) return GaplessTrim{};
        return ParseItunSmpb(smpbText(readMoov(path)));
    });
}

}  // namespace rilumo
