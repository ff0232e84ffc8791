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

// Position is the frame's (move() and pos() agree on it); size is the client
// area's (resize() and size() agree on it). Mixing frame and client would
// make a stored size grow by the frame margins at every run.
int WidgetPlacement::Left() const { return toTwips(window_->pos().x()); }
int WidgetPlacement::Top() const { return toTwips(window_->pos().y()); }
int WidgetPlacement::Width() const { return toTwips(window_->width()); }
int WidgetPlacement::Height() const { return toTwips(window_->height()); }

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
void WidgetPlacement::SetWidth(int twips) { window_->resize(std::max(0, toPixels(twips)), window_->height()); }
void WidgetPlacement::SetHeight(int twips) { window_->resize(window_->width(), std::max(0, toPixels(twips))); }

}  // namespace rilumo
