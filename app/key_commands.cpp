// The main window's keys and the title search they open.

#include "app/frm_main.h"
#include "app/list_find.h"
#include "support/error_trap.h"
#include "support/log.h"
#include "support/ui/dialogs.h"

namespace rilumo {

namespace {

constexpr int kKeySpace = 32;
constexpr int kKeyEsc = 27;
constexpr int kKeyR = 82;
constexpr int kKeyS = 83;
constexpr int kKeyF = 70;
constexpr int kCtrlAlone = 2;

}  // namespace

void FrmMain::Form_KeyUp(int KeyCode, int Shift) {
    Trap([&] {
        switch (KeyCode) {
        case kKeySpace: PlayButtons_ButtonClicked(Playback().Playing() ? kButtonPause : kButtonPlay); break;
        case kKeyEsc:
            if (state_.busy == 1) {
                state_.cancelScan = 1;
            } else if (Find().IsOpen()) {
                // The box lost the keyboard to the list: Esc still closes it.
                Find().Close();
            } else {
                PlayButtons_ButtonClicked(kButtonStop);
            }
            break;
        case kKeyR: MenuFileClick(kMenuShuffle); break;
        case kKeyS:
            if (Shift == kCtrlAlone) FindTitle();
            break;
        case kKeyF:
            if (Shift == kCtrlAlone) Find().Open();
            break;
        default: break;
        }
    });
}

void FrmMain::FindTitle() {
    if (lv_->ItemCount() < 1) return;
    bool ok = false;
    const QString text =
        CurrentDialogs().AskText(this, QString(), QString::fromLatin1(kAppTitle), QString(), &ok);
    if (!ok || text.isEmpty()) return;
    const QString wanted = text.toUpper();
    for (int i = 0; i < lv_->ItemCount(); ++i) {
        if (lv_->Value(i, 0).ToText().left(text.size()).toUpper() == wanted) {
            lv_->ShowItem(i, 0);
            return;
        }
    }
}

}  // namespace rilumo
