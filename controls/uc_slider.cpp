#include "controls/uc_slider.h"

#include <algorithm>
#include <limits>

#include <QMouseEvent>

#include "controls/colors.h"
#include "controls/control_resources.h"
#include "controls/draw_primitives.h"
#include "controls/key_codes.h"
#include "support/error_trap.h"
#include "support/ui/syscolors.h"
#include "support/units.h"

namespace rilumo {

namespace {

constexpr int kArrowBoxPx = 18;  // 270 logical units at 15 per pixel
constexpr std::uint32_t kSysShadow = kSysColorFlag + kColorBtnShadow;
constexpr std::uint32_t kSysDkShadow = kSysColorFlag + kColor3dDkShadow;

std::int32_t ClampToInt32(long long v) {
    return static_cast<std::int32_t>(std::clamp<long long>(v, std::numeric_limits<std::int32_t>::min(),
                                                           std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

UC_Slider::UC_Slider(QWidget* parent) : QWidget(parent) {
    track_ = new SurfaceWidget(this);
    arrow_[0] = new SurfaceWidget(this);
    arrow_[1] = new SurfaceWidget(this);
    track_->Pic().SetBackColor(kSysShadow);
    grad_.SetBackColor(kSysShadow);
    src_[0].LoadImage(BuiltInPicture(kSliderArrowsHPath));
    src_[1].LoadImage(BuiltInPicture(kSliderArrowsVPath));
    for (QWidget* w : {static_cast<QWidget*>(track_), static_cast<QWidget*>(arrow_[0]),
                       static_cast<QWidget*>(arrow_[1])})
        w->installEventFilter(this);
    timerCheck_.setInterval(200);
    timerCheck_.setTimerType(Qt::PreciseTimer);
    connect(&timerCheck_, &QTimer::timeout, this, &UC_Slider::TimerStep);
}

void UC_Slider::SetNoArrow(std::int32_t v) {
    noArrow_ = v;
    if (v != 0) disabletrim_ = -1;
}

void UC_Slider::ComputeTravel() { travel_ = ClampToInt32(RoundEven(TrackLength() - pointerSize_)); }

void UC_Slider::PointerSize(std::int32_t v) {
    pointerSize_ = v;
    ComputeTravel();
}

void UC_Slider::SetPointerSize(float pRate) {
    if (pRate >= 1) pRate = 0.95f;
    const long long size = RoundEven(TrackLength() * static_cast<double>(pRate));
    pointerSize_ = ClampToInt32(std::max<long long>(size, 8LL * Tpp()));
    Init2();
}

void UC_Slider::Init() {
    const bool vertical = isVertical_ == 1;
    if (vertical) { cellW_ = 10; cellH_ = 6; maskRow_ = 6; }
    else { cellW_ = 6; cellH_ = 10; maskRow_ = 10; }
    const int along = vertical ? height() : width();
    const int across = vertical ? width() : height();
    auto place = [&](QWidget* w, int start, int length) {
        if (vertical) w->setGeometry(0, start, across, length);
        else w->setGeometry(start, 0, length, across);
    };
    if (noArrow_ != 0) {
        place(track_, 0, along);
        arrow_[0]->hide();
        arrow_[1]->hide();
    } else {
        int length = along - 2 * kArrowBoxPx - 1;
        if (vertical) length = std::max(length, 1);
        length = std::max(length, 0);
        place(track_, kArrowBoxPx + 1, length);
        place(arrow_[0], 0, kArrowBoxPx);
        place(arrow_[1], kArrowBoxPx + 1 + length, kArrowBoxPx);
        arrow_[0]->show();
        arrow_[1]->show();
    }
    track_->show();
    trackLenX_ = std::max(15.0, track_->WidthTwips() - 4.0 * Tpp());
    trackLenY_ = std::max(15.0, track_->HeightTwips() - 4.0 * Tpp());
    grad_.ResizeTwips(trackLenX_, trackLenY_);
    for (int i = 0; i < 2; ++i) {
        arrowPosX_[i] = RoundEvenInt(arrow_[i]->width() / 2 - cellW_ / 2.0);
        arrowPosY_[i] = RoundEvenInt(arrow_[i]->height() / 2 - cellH_ / 2.0);
    }
    const auto shadow = static_cast<std::int32_t>(GetSysColor(kColorBtnShadow) & 0xFFFFFF);
    const auto face = static_cast<std::int32_t>(GetSysColor(kColorBtnFace) & 0xFFFFFF);
    tones_[0] = AdjustColor(shadow, 0, 0, 0, 1.2f);
    tones_[1] = AdjustColor(face, 0, 0, 0, 1.1f);
    tones_[2] = AdjustColor(shadow, 0, 0, 0, 0.9f);
    for (SurfaceWidget* box : arrow_) {
        Surface& s = box->Pic();
        if (noGrad_ != 0) PaintSurface(s, 1);
        else PaintSurface(s, 5 + isVertical_, tones_[0], tones_[1], tones_[2]);
        s.FillPx(0, s.HeightPx() - 1, s.WidthPx() - 1, s.HeightPx() - 1, kSysDkShadow);
        s.FillPx(s.WidthPx() - 1, 0, s.WidthPx() - 1, s.HeightPx() - 1, kSysDkShadow);
    }
    if (disabletrim_ != -1) {
        DrawArrow(0, false);
        DrawArrow(1, false);
    }
    Init2();
}

void UC_Slider::Init2() {
    const bool vertical = isVertical_ == 1;
    const double length = (vertical ? track_->HeightTwips() : track_->WidthTwips()) - 4.0 * Tpp();
    if (vertical) trackLenY_ = length;
    else trackLenX_ = length;
    travel_ = ClampToInt32(RoundEven(length - pointerSize_));
    const int sizePx = TwipsToPx(pointerSize_);
    if (vertical) grad_.ResizePx(grad_.WidthPx(), sizePx);
    else grad_.ResizePx(sizePx, grad_.HeightPx());
    grad_.Cls();
    if (noGrad_ != 0) PaintSurface(grad_, 1);
    else PaintSurface(grad_, 5 + isVertical_, tones_[0], tones_[1], tones_[2]);
    // Grip lines across the pointer.
    auto grip = [&](int at) {
        if (vertical) grad_.LinePx(0, at, grad_.WidthPx(), at, kSysShadow);
        else grad_.LinePx(at, 0, at, grad_.HeightPx(), kSysShadow);
    };
    if (centerLined_ == -1) {
        grip(sizePx / 2 - 1);
    } else if (noGrad_ == 0) {
        grip(4);
        grip(sizePx - 6);
    }
    if (noGrad_ == 0) grad_.LinePx(sizePx - 1, 0, sizePx - 1, TwipsToPx(trackLenY_), kSysDkShadow);
}

void UC_Slider::PaintPointerAt(double p) {
    Surface& s = track_->Pic();
    s.Cls();
    const int px = TwipsToPx(p);
    if (isVertical_ == 1) s.BitBlt(0, px, grad_.WidthPx(), grad_.HeightPx(), grad_, 0, 0);
    else s.BitBlt(px, 0, grad_.WidthPx(), grad_.HeightPx(), grad_, 0, 0);
    pointerPos_ = p;
}

void UC_Slider::SetValue(std::int32_t v) {
    if (span_ == 0) return;
    if (v > max_) v = max_;
    if (v < min_) v = min_;
    value_ = v;
    const double p = static_cast<double>(RoundEven(static_cast<double>(travel_) / span_ * (static_cast<double>(v) - min_)));
    PaintPointerAt(p);
}

void UC_Slider::Draw(std::int32_t p) {
    if (span_ == 0) return;
    Trap([&] {
        if (travel_ == 0) Fail("pointer as long as the track");
        const long long v = RoundEven(static_cast<double>(span_) / travel_ * p + min_);
        double at = p;
        if (v > max_) {
            value_ = max_;
            at = static_cast<double>(RoundEven(TrackLength() - pointerSize_));
        } else if (v < min_) {
            value_ = min_;
            at = 0;
        } else {
            value_ = static_cast<std::int32_t>(v);
        }
        PaintPointerAt(at);
    });
}

void UC_Slider::DrawArrow(int i, bool pressed) {
    const int cell = pressed ? i : 2 + i;
    const Surface& src = src_[isVertical_ == 1 ? 1 : 0];
    Surface& box = arrow_[i]->Pic();
    box.BitBlt(arrowPosX_[i], arrowPosY_[i], cellW_, cellH_, src, cell * cellW_, maskRow_, Rop::kSrcAnd);
    box.BitBlt(arrowPosX_[i], arrowPosY_[i], cellW_, cellH_, src, cell * cellW_, 0, Rop::kSrcInvert);
}

void UC_Slider::TimerStep() {
    if (disabletrim_ == -1) return;
    if (arrowHeld_[0] == 1) SetValue(ClampToInt32(static_cast<long long>(value_) - smallChange_));
    else if (arrowHeld_[1] == 1) SetValue(ClampToInt32(static_cast<long long>(value_) + smallChange_));
    else return;
    emit Scrolled(1);
}

double UC_Slider::Along(const QMouseEvent* e) const {
    return isVertical_ == 1 ? SurfaceWidget::TwipsY(e) : SurfaceWidget::TwipsX(e);
}

void UC_Slider::TrackMouse(QEvent::Type type, QMouseEvent* e) {
    const double c = Along(e);
    const bool left = e->button() == Qt::LeftButton;
    switch (type) {
    case QEvent::MouseButtonPress: {
        if (left) {
            const double b = pointerPos_;
            grabOffset_ = (c > b && c < b + pointerSize_) ? c - b : pointerSize_ / 2.0;
            Draw(RoundEvenInt(c - grabOffset_));
        }
        clicked_ = -1;
        emit MouseUD(true, MouseButtonCode(e->button()));
        if (left) emit Scrolled(1);
        break;
    }
    case QEvent::MouseMove:
        if (!(e->buttons() & Qt::LeftButton) || c == lastMove_) return;
        lastMove_ = c;
        Draw(RoundEvenInt(c - grabOffset_));
        emit Scrolled(1);
        break;
    case QEvent::MouseButtonRelease:
        clicked_ = 0;
        emit MouseUD(false, MouseButtonCode(e->button()));
        if (left) emit Scrolled(1);
        break;
    case QEvent::MouseButtonDblClick:
        emit DblClicked();
        emit Scrolled(1);
        break;
    default: break;
    }
}

void UC_Slider::ArrowPress(int i) {
    arrowHeld_[i] = 1;
    DrawArrow(i, true);
    TimerStep();
    timerCheck_.start();
    clicked_ = -1;
}

void UC_Slider::ArrowMouse(int i, QEvent::Type type, QMouseEvent* e) {
    if (disabletrim_ == -1) return;
    const bool left = e->button() == Qt::LeftButton;
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (left) ArrowPress(i);
        break;
    case QEvent::MouseButtonRelease:
        if (left) {
            arrowHeld_[i] = 0;
            DrawArrow(i, false);
            timerCheck_.stop();
            clicked_ = 0;
        }
        emit MouseUD(false, MouseButtonCode(e->button()));
        break;
    default: break;
    }
}

bool UC_Slider::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type t = event->type();
    if (t != QEvent::MouseButtonPress && t != QEvent::MouseButtonRelease && t != QEvent::MouseMove &&
        t != QEvent::MouseButtonDblClick)
        return QWidget::eventFilter(watched, event);
    if (refuseInput_ == -1) return true;
    auto* e = static_cast<QMouseEvent*>(event);
    if (watched == track_) TrackMouse(t, e);
    else if (watched == arrow_[0]) ArrowMouse(0, t, e);
    else if (watched == arrow_[1]) ArrowMouse(1, t, e);
    return true;
}

}  // namespace rilumo
