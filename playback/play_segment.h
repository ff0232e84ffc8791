#pragma once
// What of a file the player plays: the whole file, or one track of a CUE
// sheet, a stretch in CD frames whose level the sheet may give.

#include <QString>

#include <cstdint>

namespace rilumo {

struct PlaySegment {
    bool isTrack = false;          // false: the whole file
    std::int64_t startFrames = 0;  // 75 a second into the file
    std::int64_t endFrames = -1;   // -1: to the file's end
    QString sheetPath;             // where its gains are; empty: the file's tags
    int trackNumber = 0;

    bool operator==(const PlaySegment&) const = default;
    // The next track of the same file begins where this one ends.
    bool FollowedBy(const PlaySegment& next) const {
        return isTrack && next.isTrack && endFrames >= 0 && next.startFrames == endFrames;
    }
};

}  // namespace rilumo
