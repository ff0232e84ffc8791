#pragma once
// UC_Slider: a horizontal or vertical slider with a movable pointer and an
// optional arrow box at each end that steps the value and repeats while held.

#include <cstdint>

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include "controls/surface.h"
#include "controls/surface_widget.h"

namespace rilumo {

class UC_Slider : public QWidget {
    Q_OBJECT
public:
    explicit UC_Slider(QWidget* parent = nullptr);

    void Init();
    void Init2();

    void SetIsVertical(std::int32_t v) { isVertical_ = v; }
    std::int32_t IsVertical() const { return isVertical_; }
    void SetNoArrow(std::int32_t v);
    void SetNoGrad(std::int32_t v) { noGrad_ = v; }
    void SetDisabletrim(std::int16_t v) { disabletrim_ = v; }
    void SetRefuseInput(std::int16_t v) { refuseInput_ = v; }
    void SetCenterLined(std::int16_t v) { centerLined_ = v; }

    std::int32_t SmallChange() const { return smallChange_; }
    void SetSmallChange(std::int32_t v) { smallChange_ = v; }
    std::int32_t LargeChange() const { return largeChange_; }
    void SetLargeChange(std::int32_t v) { largeChange_ = v; }
    std::int32_t PointerSize() const { return pointerSize_; }
    // Writes the pointer length (logical units); repainted at the next Init2.
    void PointerSize(std::int32_t v);
    // Pointer length as a share of the track (1 or more counts as 0.95), at
    // least 8 pixels; then Init2.
    void SetPointerSize(float pRate);

    std::int32_t Max() const { return max_; }
    void SetMax(std::int32_t v) { max_ = v; span_ = max_ - min_; }
    std::int32_t Min() const { return min_; }
    void SetMin(std::int32_t v) { min_ = v; span_ = max_ - min_; }
    std::int32_t Value() const { return value_; }
    void SetValue(std::int32_t v);

    // Positions the pointer at p (logical units along the track) and derives
    // the value from it.
    void Draw(std::int32_t p);
    std::int16_t Clicked() const { return clicked_; }

    // The parts, for the host's layout and for tests.
    SurfaceWidget* Track() { return track_; }
    SurfaceWidget* ArrowBox(int i) { return arrow_[i & 1]; }
    const Surface& PointerImage() const { return grad_; }
    double PointerPosition() const { return pointerPos_; }
    std::int32_t Travel() const { return travel_; }
    // The auto-repeat timer (200 ms); TimerStep is what each tick does.
    QTimer* RepeatTimer() { return &timerCheck_; }
    void TimerStep();

signals:
    void MouseUD(bool IsDown, std::int16_t nButton);
    void Scrolled(std::int16_t nButton);
    void DblClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    double TrackLength() const { return isVertical_ == 1 ? trackLenY_ : trackLenX_; }
    double Along(const QMouseEvent* e) const;
    void ComputeTravel();
    void PaintPointerAt(double p);
    void DrawArrow(int i, bool pressed);
    void TrackMouse(QEvent::Type type, QMouseEvent* e);
    void ArrowMouse(int i, QEvent::Type type, QMouseEvent* e);
    void ArrowPress(int i);

    SurfaceWidget* track_;     // PictureSlider
    SurfaceWidget* arrow_[2];  // PictureArrow
    Surface grad_;             // PictureGrad
    Surface src_[2];           // PictureSrc: horizontal, vertical arrow images
    QTimer timerCheck_;

    std::int32_t max_ = 1000, min_ = 0, span_ = 1000;
    std::int32_t value_ = 0;
    std::int32_t smallChange_ = 10, largeChange_ = 0;
    std::int32_t pointerSize_ = 480;
    double trackLenX_ = 15, trackLenY_ = 15;
    std::int32_t travel_ = 0;
    double pointerPos_ = 0;
    double grabOffset_ = 0;
    double lastMove_ = 0;
    std::int16_t clicked_ = 0;
    std::int32_t isVertical_ = 0;
    std::int32_t noArrow_ = 0;
    std::int32_t noGrad_ = 0;
    std::int16_t disabletrim_ = 0;
    std::int16_t refuseInput_ = 0;
    std::int16_t centerLined_ = 0;
    std::int32_t arrowHeld_[2] = {0, 0};
    std::int32_t cellW_ = 6, cellH_ = 10, maskRow_ = 10;
    int arrowPosX_[2] = {0, 0}, arrowPosY_[2] = {0, 0};
    std::int32_t tones_[3] = {0, 0, 0};
};

}  // namespace rilumo
