#pragma once
// Entries that are one track of a CUE sheet: a stretch of an audio file.
// Such an entry keeps the audio file's path where every entry keeps its path
// (aux 0), so playing, the info box and the tags see the file itself; aux 1
// says which track of which sheet it is, so a saved list can name it again.

#include <QString>

#include <cstdint>

namespace rilumo {

class UC_ListView;

struct EntrySegment {
    bool isTrack = false;        // false: the whole file
    std::int64_t startFrames = 0;  // CD frames (75 a second) into the file
    std::int64_t endFrames = -1;   // -1: to the file's end
    QString sheetPath;           // the sheet it came from (empty: embedded)
    int trackNumber = 0;

    bool operator==(const EntrySegment&) const = default;
};

// The segment an entry plays; a plain entry gives isTrack false.
EntrySegment SegmentOf(const UC_ListView& lv, int row);
void SetSegment(UC_ListView& lv, int row, const EntrySegment& segment);

}  // namespace rilumo
