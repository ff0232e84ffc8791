// Stand-in for the list side's sheet entries: aux 1 holds
// "start-end|sheet|track", frames as decimal text; anything else is a plain entry.

#include "app/sheet_entries.h"

#include <QStringList>

#include "controls/listview/uc_listview.h"

namespace rilumo {

EntrySegment SegmentOf(const UC_ListView& lv, int row) {
    if (lv.NumAux() < 2 || row < 0 || row >= lv.ItemCount()) return {};
    const QStringList parts = lv.AuxID(row, 1).ToText().split(u'|');
    if (parts.size() != 3) return {};
    const QStringList range = parts[0].split(u'-');
    bool ok[3] = {false, false, false};
    EntrySegment s;
    if (range.size() != 2) return {};
    s.startFrames = range[0].toLongLong(&ok[0]);
    s.endFrames = range[1].isEmpty() ? -1 : range[1].toLongLong(&ok[1]);
    ok[1] = ok[1] || range[1].isEmpty();
    s.sheetPath = parts[1];
    s.trackNumber = parts[2].toInt(&ok[2]);
    if (!ok[0] || !ok[1] || !ok[2] || s.startFrames < 0 || (s.endFrames >= 0 && s.endFrames <= s.startFrames)) return {};
    s.isTrack = true;
    return s;
}

void SetSegment(UC_ListView& lv, int row, const EntrySegment& segment) {
    if (lv.NumAux() < 2) return;
    if (!segment.isTrack) {
        lv.SetAuxID(row, 1, Value());
        return;
    }
    const QString end = segment.endFrames < 0 ? QString() : QString::number(segment.endFrames);
    lv.SetAuxID(row, 1, QStringLiteral("%1-%2|%3|%4").arg(segment.startFrames).arg(end, segment.sheetPath).arg(segment.trackNumber));
}

}  // namespace rilumo
