#pragma once
// A top-level widget as RestoreWindowPlacement/SaveWindowPlacement see it.
// Position is the frame's, size the client area's, in twips: pixels *
// TwipsPerPixel, so that a placement saved and restored stays the same.

#include "support/settings.h"

class QWidget;

namespace rilumo {

class WidgetPlacement : public PlacementTarget {
public:
    explicit WidgetPlacement(QWidget* window) : window_(window) {}

    int State() const override;
    int Left() const override;
    int Top() const override;
    int Width() const override;
    int Height() const override;
    // 0, 1 or 2; any other value fails like an invalid property value.
    void SetState(int state) override;
    void SetLeft(int twips) override;
    void SetTop(int twips) override;
    void SetWidth(int twips) override;
    void SetHeight(int twips) override;

private:
    QWidget* window_;
};

}  // namespace rilumo

#include <QList>
#include <QRect>
#include <QSize>

namespace rilumo {

// Where a window's frame goes so that it can be seen on the screens there
// are now: on the screen it overlaps most, or centred on the primary one
// when it overlaps none; no smaller than minimum and no larger than that
// screen's available area.
QRect FitOnScreens(const QRect& frame, const QList<QRect>& screens, const QRect& primary, QSize minimum);

// Applies FitOnScreens to a window in the normal state, against the
// available areas of QGuiApplication::screens(); minimum is the client size.
void FitWindowOnScreens(QWidget* window, QSize minimum);

}  // namespace rilumo
