#include "controls/surface_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>

#include "controls/control_resources.h"
#include "support/units.h"

namespace rilumo {

SurfaceWidget::SurfaceWidget(QWidget* parent) : QWidget(parent) {
    InitControlResources();
    setAttribute(Qt::WA_OpaquePaintEvent);
    surface_.ResizePx(std::max(1, width()), std::max(1, height()));
    // One repaint request per batch of drawing, not one per stroke, and
    // only of what the batch touched while it stays small.
    surface_.SetChangedHook([this](const QRect& r) {
        if (updatePending_) return;
        if (r.contains(rect())) {
            updatePending_ = true;
            update();
        } else {
            update(r);
        }
    });
}

void SurfaceWidget::SyncSize() const {
    if (surface_.WidthPx() != width() || surface_.HeightPx() != height())
        surface_.ResizePx(width(), height());
}

void SurfaceWidget::MoveTwips(double left, double top, double width, double height) {
    setGeometry(TwipsToPx(left), TwipsToPx(top), std::max(0, TwipsToPx(width)),
                std::max(0, TwipsToPx(height)));
}

void SurfaceWidget::ResizeTwips(double width, double height) {
    resize(std::max(0, TwipsToPx(width)), std::max(0, TwipsToPx(height)));
}

double SurfaceWidget::LeftTwips() const { return PxToTwips(x()); }
double SurfaceWidget::TopTwips() const { return PxToTwips(y()); }
double SurfaceWidget::WidthTwips() const { return PxToTwips(width()); }
double SurfaceWidget::HeightTwips() const { return PxToTwips(height()); }

double SurfaceWidget::TwipsX(const QMouseEvent* e) { return e->position().x() * Tpp(); }
double SurfaceWidget::TwipsY(const QMouseEvent* e) { return e->position().y() * Tpp(); }

void SurfaceWidget::paintEvent(QPaintEvent* e) {
    updatePending_ = false;
    QPainter p(this);
    const QRect r = e->rect();
    p.drawImage(r, Pic().Image(), r);
}

void SurfaceWidget::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    SyncSize();
}

}  // namespace rilumo
