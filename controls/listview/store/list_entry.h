#pragma once
// One row of the playlist view: what is drawn and what the host keeps beside it.

#include <QString>

#include <cstdint>
#include <vector>

#include "support/value.h"

namespace rilumo {

struct ListEntry {
    // 0 or 1; 2 only while a sort runs (it marks the cursor entry).
    std::int32_t selected = 0;
    // Icon of the file-type strip, -1 = none.
    std::int32_t iconType = 0;
    // Colours are 0x00BBGGRR or 0x80000000 + a system colour number.
    std::uint32_t dispColor = 0;
    std::uint32_t hLine = 0;  // rule across the top of the row, 0 = none
    std::vector<Value> data;  // one cell per data column
    std::vector<Value> aux;   // the host's own per-entry values, never drawn
    // Left out of a narrowed view; such an entry is never selected, so that
    // what the user cannot see is never deleted or dragged.
    bool narrowedOut = false;
    // The host's search text for this entry, kept with it wherever it moves;
    // emptied whenever one of its cells changes.
    QString findKey;
};

}  // namespace rilumo
