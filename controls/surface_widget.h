#pragma once
// A widget that shows a Surface. It never draws by itself: paintEvent only
// copies the surface, which the owning control paints when it is told to.
// Geometry is available in twips; resizing resizes the surface with it,
// keeping what fits.

#include <QWidget>

#include "controls/surface.h"

class QMouseEvent;

namespace rilumo {

class SurfaceWidget : public QWidget {
    Q_OBJECT
public:
    explicit SurfaceWidget(QWidget* parent = nullptr);

    // The surface, always the widget's size (a hidden widget gets no resize
    // events, so the size is matched here as well).
    Surface& Pic() { SyncSize(); return surface_; }
    const Surface& Pic() const { SyncSize(); return surface_; }

    // Geometry in twips (converted to pixels through support/units.h).
    void MoveTwips(double left, double top, double width, double height);
    void ResizeTwips(double width, double height);
    double LeftTwips() const;
    double TopTwips() const;
    double WidthTwips() const;
    double HeightTwips() const;

    // A mouse position in twips.
    static double TwipsX(const QMouseEvent* e);
    static double TwipsY(const QMouseEvent* e);

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void SyncSize() const;
    mutable Surface surface_;
    bool updatePending_ = false;
};

}  // namespace rilumo
