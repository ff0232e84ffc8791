#include "support/ui/message_box.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

#include "support/error_trap.h"
#include "support/rounding.h"
#include "support/ui/dialogs.h"
#include "support/units.h"

namespace rilumo {

QPoint CenteredBoxPosition(const QRect& ownerTwips, const QSize& boxPixels, const QSize& screenTwips,
                           int tpp) {
    const int t = ValidTpp(tpp);
    const int cx = TwipsToPx(ownerTwips.width() / 2 + ownerTwips.left(), t);
    const int cy = TwipsToPx(ownerTwips.height() / 2 + ownerTwips.top(), t);
    const int w = boxPixels.width(), h = boxPixels.height();

    // The screen's edges are compared in fractional pixels, rounded only when they move the box.
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

        // The owner's whole window rectangle, frame included.
        const QRect f = window->frameGeometry();
        const QRect ownerTwips(PxToTwips(f.x()), PxToTwips(f.y()), PxToTwips(f.width()), PxToTwips(f.height()));
        QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
        if (!screen) Fail("no screen to place the message box on");
        const QSize s = screen->geometry().size();
        const QSize screenTwips(PxToTwips(s.width()), PxToTwips(s.height()));
        const QSize box = dialogs.MessageSize(owner, text, caption, type);
        const QPoint at = CenteredBoxPosition(ownerTwips, box, screenTwips, Tpp());
        return dialogs.ShowMessage(owner, text, caption, type, true, at.x(), at.y());
    });
}

}  // namespace rilumo
