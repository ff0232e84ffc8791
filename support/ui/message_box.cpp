#include "support/ui/message_box.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

#include "support/error_trap.h"
#include "support/globals.h"
#include "support/rounding.h"
#include "support/ui/dialogs.h"

namespace rilumo {

QPoint CenteredBoxPosition(const QRect& ownerTwips, const QSize& boxPixels, const QSize& screenTwips,
                           int tpp) {
    const int t = tpp > 0 ? tpp : 1;
    const int cx = (ownerTwips.width() / 2 + ownerTwips.left()) / t;
    const int cy = (ownerTwips.height() / 2 + ownerTwips.top()) / t;
    const int w = boxPixels.width(), h = boxPixels.height();

    const double usableHeight = (screenTwips.height() - 600) / static_cast<double>(t);
    int top = cy - h / 2;
    if (usableHeight < top + h) top = RoundEvenInt(usableHeight - h);

    const double screenWidth = screenTwips.width() / static_cast<double>(t);
    int left = cx - w / 2;
    if (screenWidth < left + w) left = RoundEvenInt(screenWidth - w);

    return {left < 0 ? 0 : left, top < 0 ? 0 : top};
}

int CenteredMessageBox(const QString& text, int type, const QString& caption, QWidget* owner) {
    return TrapOr(0, [&] {
        Dialogs& dialogs = CurrentDialogs();
        QWidget* window = owner ? owner->window() : nullptr;
        if (!window || window->isMinimized())
            return dialogs.ShowMessage(owner, text, caption, type, false, 0, 0);

        const int t = globals::TwipsPerPixel > 0 ? globals::TwipsPerPixel : 1;
        // The owner's whole window rectangle, frame included.
        const QRect f = window->frameGeometry();
        const QRect ownerTwips(f.x() * t, f.y() * t, f.width() * t, f.height() * t);
        QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
        if (!screen) Fail("no screen to place the message box on");
        const QSize screenTwips = screen->geometry().size() * t;
        const QSize box = dialogs.MessageSize(owner, text, caption, type);
        const QPoint at = CenteredBoxPosition(ownerTwips, box, screenTwips, t);
        return dialogs.ShowMessage(owner, text, caption, type, true, at.x(), at.y());
    });
}

}  // namespace rilumo
