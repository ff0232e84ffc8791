#include "app/sheet_entries.h"

#include <algorithm>
#include <optional>

#include "controls/listview/uc_listview.h"

namespace rilumo {

namespace {

constexpr int kSegmentAux = 1;
// "cue", start, end, track, then the sheet's path, which may hold anything
// and so comes last.
constexpr char16_t kSep = u'\t';
const QString kTag = QStringLiteral("cue");

std::optional<std::int64_t> Number(QStringView text) {
    bool ok = false;
    const qlonglong v = text.toLongLong(&ok);
    if (!ok) return std::nullopt;
    return v;
}

}  // namespace

EntrySegment SegmentOf(const UC_ListView& lv, int row) {
    if (row < 0 || row >= lv.ItemCount() || lv.NumAux() <= kSegmentAux) return {};
    const QString text = lv.AuxID(row, kSegmentAux).ToText();
    QStringView rest(text);
    QStringView parts[4];
    for (QStringView& p : parts) {
        const qsizetype sep = rest.indexOf(kSep);
        if (sep < 0) return {};
        p = rest.left(sep);
        rest = rest.mid(sep + 1);
    }
    const auto start = Number(parts[1]), end = Number(parts[2]), track = Number(parts[3]);
    if (parts[0] != kTag || !start || !end || !track || *start < 0 || *end < -1) return {};
    if (*end >= 0 && *end <= *start) return {};
    EntrySegment s;
    s.isTrack = true;
    s.startFrames = *start;
    s.endFrames = *end;
    s.trackNumber = static_cast<int>(std::clamp<std::int64_t>(*track, 0, 999));
    s.sheetPath = rest.toString();
    return s;
}

void SetSegment(UC_ListView& lv, int row, const EntrySegment& segment) {
    if (row < 0 || row >= lv.ItemCount() || lv.NumAux() <= kSegmentAux) return;
    if (!segment.isTrack) {
        lv.SetAuxID(row, kSegmentAux, Value());
        return;
    }
    const QString text = kTag + kSep + QString::number(segment.startFrames) + kSep +
                         QString::number(segment.endFrames) + kSep + QString::number(segment.trackNumber) + kSep +
                         segment.sheetPath;
    lv.SetAuxID(row, kSegmentAux, text);
}

}  // namespace rilumo
