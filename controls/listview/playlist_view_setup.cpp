#include "controls/listview/playlist_view_setup.h"

#include "controls/listview/uc_listview.h"

namespace rilumo {

void SetUpPlaylistView(UC_ListView& lv, const std::vector<PlaylistColumn>& columns,
                       const PlaylistLook& look, const std::function<void(UC_ListView&)>& beforeInit) {
    lv.SetNumData(int(columns.size()));
    lv.SetNumAux(2);
    lv.SetUseUCBar(look.sliderBars ? 1 : 0);
    lv.SetOneHeight(look.rowHeight);
    lv.SetStyle(9, false, QString(), look.fore, look.back);
    lv.SetSelectedColorMode(look.selectedColorMode);
    lv.SetSelectedColor(look.selectedColor);
    if (beforeInit) beforeInit(lv);
    lv.Init();
    for (int k = 0; k < int(columns.size()); ++k) {
        lv.SetTabName(k, columns[size_t(k)].name);
        lv.SetTabWidth(k, columns[size_t(k)].width);
    }
    lv.ReDrawTab(-1);
}

}  // namespace rilumo
