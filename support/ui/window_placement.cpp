#include "support/ui/window_placement.h"

#include <QWidget>

#include <algorithm>

#include "support/error_trap.h"
#include "support/globals.h"

namespace rilumo {

namespace {

int tpp() { return globals::TwipsPerPixel > 0 ? globals::TwipsPerPixel : 1; }
int toTwips(int px) { return px * tpp(); }
int toPixels(int twips) { return twips / tpp(); }

}  // namespace

int WidgetPlacement::State() const {
    const Qt::WindowStates s = window_->windowState();
    if (s & Qt::WindowMinimized) return 1;
    if (s & (Qt::WindowMaximized | Qt::WindowFullScreen)) return 2;
    return 0;
}

// move() places the frame, as pos() reports it; resize() sets the client area,
// so the size setters take the frame margins off first. Before the window is
// shown the margins are unknown and the frame is the client area.
int WidgetPlacement::Left() const { return toTwips(window_->pos().x()); }
int WidgetPlacement::Top() const { return toTwips(window_->pos().y()); }
int WidgetPlacement::Width() const { return toTwips(window_->frameGeometry().width()); }
int WidgetPlacement::Height() const { return toTwips(window_->frameGeometry().height()); }

void WidgetPlacement::SetState(int state) {
    Qt::WindowStates s = window_->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized |
                                                    Qt::WindowFullScreen);
    switch (state) {
    case 0: break;
    case 1: s |= Qt::WindowMinimized; break;
    case 2: s |= Qt::WindowMaximized; break;
    default: Fail("invalid window state");
    }
    window_->setWindowState(s);
}

void WidgetPlacement::SetLeft(int twips) { window_->move(toPixels(twips), window_->pos().y()); }
void WidgetPlacement::SetTop(int twips) { window_->move(window_->pos().x(), toPixels(twips)); }

void WidgetPlacement::SetWidth(int twips) {
    const int margins = window_->frameGeometry().width() - window_->width();
    window_->resize(std::max(0, toPixels(twips) - margins), window_->height());
}

void WidgetPlacement::SetHeight(int twips) {
    const int margins = window_->frameGeometry().height() - window_->height();
    window_->resize(window_->width(), std::max(0, toPixels(twips) - margins));
}

}  // namespace rilumo
