#pragma once
// The menu bar's "再生(&L)": the ReplayGain mode as three checked items that
// write the setting. The player reads it at each load.

class QMenu;
class QMenuBar;

namespace rilumo {

QMenu* BuildPlayMenu(QMenuBar& bar);

}  // namespace rilumo
