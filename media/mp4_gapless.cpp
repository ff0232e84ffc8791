#include "media/mp4_gapless.h"

#include <QList>

#include <vector>

#include "support/error_trap.h"
#include "support/file_ops.h"

namespace rilumo {

namespace {

// Boxes looked at per level, and the largest freeform item read: the tag sits
// a few levels down the movie header, beside the tracks' tables and the cover
// art, which are stepped over, never read.
constexpr int kMaxBoxes = 64;
// Header reads over the whole walk, whatever nesting a hostile file builds.
constexpr int kMaxHeaderReads = 256;
constexpr std::int64_t kMaxItemBytes = 64 * 1024;

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

struct FileSpan {
    std::int64_t from = 0;
    std::int64_t to = 0;
};

// The payloads of the boxes of that type inside span of the file, found by
// reading box headers only; each header read spends one of budget.
std::vector<FileSpan> fileChildren(const QString& path, FileSpan span, const char* type, int& budget) {
    std::vector<FileSpan> out;
    std::int64_t at = span.from;
    for (int n = 0; n < kMaxBoxes && at + 8 <= span.to && budget > 0; ++n, --budget) {
        QByteArray head;
        if (ReadAt(head, 16, at, path) == 0 || head.size() < 8) break;
        std::int64_t box = be32(head, 0);
        std::int64_t header = 8;
        if (box == 1 && head.size() >= 16) {
            box = static_cast<std::int64_t>(be32(head, 8)) << 32 | be32(head, 12);
            header = 16;
        } else if (box == 0) {
            box = span.to - at;  // runs to the end
        }
        if (box < header || box > span.to - at) break;
        if (head.mid(4, 4) == type) out.push_back({at + header, at + box});
        at += box;
    }
    return out;
}

// The iTunSMPB text among the freeform items of moov/udta/meta/ilst; a
// muxer may write more than one user-data box.
QByteArray smpbText(const QString& path) {
    std::int64_t size = 0;
    FileSizeOf(path, size);
    int b = kMaxHeaderReads;
    for (const FileSpan moov : fileChildren(path, {0, size}, "moov", b)) {
        for (const FileSpan udta : fileChildren(path, moov, "udta", b)) {
            for (const FileSpan meta : fileChildren(path, udta, "meta", b)) {
                // The meta box's version and flags come first.
                for (const FileSpan ilst : fileChildren(path, {meta.from + 4, meta.to}, "ilst", b)) {
                    for (const FileSpan item : fileChildren(path, ilst, "----", b)) {
                        if (item.to - item.from > kMaxItemBytes) continue;
                        QByteArray bytes;
                        ReadAt(bytes, item.to - item.from, item.from, path);
                        const QByteArray text = smpbOf(bytes, {0, bytes.size()});
                        if (!text.isEmpty()) return text;
                    }
                }
            }
        }
    }
    return {};
}

// A box's payload, when it is small enough to read whole.
QByteArray payload(const QString& path, FileSpan span) {
    QByteArray bytes;
    if (span.to - span.from > kMaxItemBytes) return {};
    ReadAt(bytes, span.to - span.from, span.from, path);
    return bytes;
}

FileSpan first(const std::vector<FileSpan>& spans) { return spans.empty() ? FileSpan{} : spans.front(); }

// The audio track's edit list as a trim: its first edit with media starts
// where the priming ends and lasts as long as the recording. Only when the
// media's time scale is its sample rate, as encoders write it; else the
// units would be a guess.
GaplessTrim editListTrim(const QString& path) {
    std::int64_t size = 0;
    FileSizeOf(path, size);
    int b = kMaxHeaderReads;
    for (const FileSpan moov : fileChildren(path, {0, size}, "moov", b)) {
        const QByteArray mvhd = payload(path, first(fileChildren(path, moov, "mvhd", b)));
        for (const FileSpan trak : fileChildren(path, moov, "trak", b)) {
            const FileSpan mdia = first(fileChildren(path, trak, "mdia", b));
            const QByteArray hdlr = payload(path, first(fileChildren(path, mdia, "hdlr", b)));
            if (hdlr.size() < 12 || hdlr.mid(8, 4) != "soun") continue;
            const QByteArray mdhd = payload(path, first(fileChildren(path, mdia, "mdhd", b)));
            const FileSpan minf = first(fileChildren(path, mdia, "minf", b));
            const FileSpan stbl = first(fileChildren(path, minf, "stbl", b));
            const QByteArray stsd = payload(path, first(fileChildren(path, stbl, "stsd", b)));
            const FileSpan edts = first(fileChildren(path, trak, "edts", b));
            const QByteArray elst = payload(path, first(fileChildren(path, edts, "elst", b)));
            return ParseEditList(elst, mvhd, mdhd, stsd);
        }
    }
    return {};
}

std::int64_t be64(const QByteArray& b, qsizetype at) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(be32(b, at)) << 32 | be32(b, at + 4));
}

// A full box's time scale: version 1 puts 64-bit times in front of it.
std::int64_t timeScale(const QByteArray& header) {
    if (header.size() < 24) return 0;
    const qsizetype at = header[0] == 1 ? 20 : 12;
    return header.size() >= at + 4 ? be32(header, at) : 0;
}

}  // namespace

GaplessTrim ParseEditList(const QByteArray& elst, const QByteArray& mvhd, const QByteArray& mdhd,
                          const QByteArray& stsd) {
    const std::int64_t movieScale = timeScale(mvhd);
    const std::int64_t mediaScale = timeScale(mdhd);
    // The first sample entry's rate, 16.16 fixed point.
    const std::int64_t rate = stsd.size() >= 8 + 36 ? be32(stsd, 8 + 32) >> 16 : 0;
    if (elst.size() < 8 || movieScale <= 0 || mediaScale <= 0 || mediaScale != rate) return {};
    const bool wide = elst[0] == 1;
    const qsizetype entryBytes = wide ? 20 : 12;
    const std::int64_t count = be32(elst, 4);
    for (std::int64_t i = 0; i < count && 8 + (i + 1) * entryBytes <= elst.size(); ++i) {
        const qsizetype at = 8 + i * entryBytes;
        const std::int64_t duration = wide ? be64(elst, at) : be32(elst, at);
        const std::int64_t start = wide ? be64(elst, at + 8) : static_cast<std::int32_t>(be32(elst, at + 4));
        // An empty edit (a pause in front) plays nothing of the file.
        if (start < 0) continue;
        if (start > 65536 || duration <= 0 || duration > (std::int64_t(1) << 40)) return {};
        return GaplessTrim{start, duration * mediaScale / movieScale};
    }
    return {};
}

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
        // Both say the same of one file; taken together they would cut twice.
        const GaplessTrim tagged = ParseItunSmpb(smpbText(path));
        return tagged.Valid() ? tagged : editListTrim(path);
    });
}

}  // namespace rilumo
