#pragma once
// The set-up of a playlist view as the main window makes it. The gallery,
// the benchmark and the tests go through the same steps with their own
// columns and looks, so that what they show or measure is what the window has.

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

#include "controls/surface.h"

namespace rilumo {

class UC_ListView;

struct PlaylistColumn {
    QString name;
    std::int32_t width = 0;  // twips
};

// The defaults are the main window's: white on black, selections merged in.
struct PlaylistLook {
    bool sliderBars = true;
    std::int32_t rowHeight = 255;  // twips
    std::uint32_t fore = 0xFFFFFF;
    std::uint32_t back = 0x000000;
    std::int32_t selectedColorMode = kDrawMergePen;
    std::uint32_t selectedColor = 0x404040;
};

// Counts, look and Init, then the columns' captions and widths and the tab
// strip. beforeInit sets what only takes effect at Init (IconDisabled, ...).
void SetUpPlaylistView(UC_ListView& lv, const std::vector<PlaylistColumn>& columns,
                       const PlaylistLook& look = {},
                       const std::function<void(UC_ListView&)>& beforeInit = {});

}  // namespace rilumo
