#include "support/ui/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

#include "support/error_trap.h"
#include "support/units.h"

namespace rilumo {

int WidgetPlacement::State() const {
    const Qt::WindowStates s = window_->windowState();
    if (s & Qt::WindowMinimized) return 1;
    if (s & (Qt::WindowMaximized | Qt::WindowFullScreen)) return 2;
    return 0;
}

// Position is the frame's (move() and pos() agree on it); size is the client
// area's (resize() and size() agree on it). Mixing frame and client would
// make a stored size grow by the frame margins at every run.
int WidgetPlacement::Left() const { return PxToTwips(window_->pos().x()); }
int WidgetPlacement::Top() const { return PxToTwips(window_->pos().y()); }
int WidgetPlacement::Width() const { return PxToTwips(window_->width()); }
int WidgetPlacement::Height() const { return PxToTwips(window_->height()); }

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

void WidgetPlacement::SetLeft(int twips) { window_->move(TwipsToPx(twips), window_->pos().y()); }
void WidgetPlacement::SetTop(int twips) { window_->move(window_->pos().x(), TwipsToPx(twips)); }
void WidgetPlacement::SetWidth(int twips) { window_->resize(std::max(0, TwipsToPx(twips)), window_->height()); }
void WidgetPlacement::SetHeight(int twips) { window_->resize(window_->width(), std::max(0, TwipsToPx(twips))); }

namespace {

qint64 overlap(const QRect& a, const QRect& b) {
    const QRect both = a.intersected(b);
    return both.isEmpty() ? 0 : qint64(both.width()) * both.height();
}

int clampInto(int value, int low, int high) { return high < low ? low : std::clamp(value, low, high); }

}  // namespace

QRect FitOnScreens(const QRect& frame, const QList<QRect>& screens, const QRect& primary, QSize minimum) {
    if (screens.isEmpty()) return frame;
    // A size of 0 or below has no overlap to measure: the frame's corner picks the screen.
    const QRect probe(frame.topLeft(), QSize(std::max(frame.width(), 1), std::max(frame.height(), 1)));
    QRect home;
    qint64 best = 0;
    for (const QRect& s : screens) {
        const qint64 o = overlap(probe, s);
        if (o > best) {
            best = o;
            home = s;
        }
    }
    const bool lost = best == 0;
    if (lost) home = primary.isValid() ? primary : screens.front();
    const int width = std::min(std::max(frame.width(), minimum.width()), home.width());
    const int height = std::min(std::max(frame.height(), minimum.height()), home.height());
    if (lost) return QRect(home.left() + (home.width() - width) / 2, home.top() + (home.height() - height) / 2, width, height);
    return QRect(clampInto(frame.left(), home.left(), home.right() + 1 - width),
                 clampInto(frame.top(), home.top(), home.bottom() + 1 - height), width, height);
}

void FitWindowOnScreens(QWidget* window, QSize minimum) {
    if (window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) return;
    QList<QRect> areas;
    for (const QScreen* s : QGuiApplication::screens()) areas << s->availableGeometry();
    const QScreen* primary = QGuiApplication::primaryScreen();
    // The frame is measured with its margins once it has been shown; before
    // that they read as none.
    const QSize margins = window->frameGeometry().size() - window->geometry().size();
    const QRect frame(window->pos(), window->size() + margins);
    const QRect fitted = FitOnScreens(frame, areas, primary ? primary->availableGeometry() : QRect(), minimum + margins);
    if (fitted == frame) return;
    window->resize(fitted.size() - margins);
    window->move(fitted.topLeft());
}

}  // namespace rilumo
