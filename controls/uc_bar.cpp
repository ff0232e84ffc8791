#include "controls/uc_bar.h"

#include <algorithm>

#include <QMouseEvent>

#include "controls/colors.h"
#include "controls/control_font.h"
#include "controls/draw_primitives.h"
#include "support/ui/syscolors.h"
#include "support/units.h"

namespace rilumo {

UC_Bar::UC_Bar(QWidget* parent) : SurfaceWidget(parent) {
    Pic().SetBackColor(kSysColorFlag + kColorBtnShadow);
    grad_.SetBackColor(kSysColorFlag + kColorBtnShadow);
    Pic().SetFont(ControlFont(9, false, false, QString()));
}

void UC_Bar::SetStyle(std::int32_t pSize, std::int32_t pBold, const QString& pName, std::uint32_t pForeColor) {
    const QString face = pName.isEmpty() ? Pic().Font().family() : pName;
    Pic().SetFont(ControlFont(pSize, pBold != 0, false, face));
    Pic().SetForeColor(pForeColor);
}

std::int32_t UC_Bar::ValueAt(double x) const {
    if (!(trackWidth_ > 0)) return 0;
    long long v = RoundEven((x - 2 * Tpp()) / trackWidth_ * max_);
    v = std::min<long long>(v, max_);
    return static_cast<std::int32_t>(std::max<long long>(v, 0));
}

void UC_Bar::DrawFrame() {
    Pic().DrawEdge(frame_[0], frame_[1], frame_[2], frame_[3], kEdgeSunken, kBfRect);
}

void UC_Bar::Draw(double x) {
    const int gw = SpriteWidth(), gh = SpriteHeight();
    x = std::max(x, 2.0 * Tpp());
    x = std::min(x, static_cast<double>(gw + 2) * Tpp());
    drawnX_ = x;
    Surface& s = Pic();
    s.Cls();
    if (ready_ != 0) {
        s.BitBlt(1, 1, grad_.WidthPx(), grad_.HeightPx(), grad_, 0, 0);
        // The fill slides in from the right, so its dark end column lands on
        // the last filled column.
        const int sx = RoundEvenInt((trackWidth_ - x) / Tpp()) + 1;
        s.BitBlt(1, 1, RoundEvenInt(x / Tpp()) - 1, 2 * gh, grad_, sx, gh);
    }
    DrawFrame();
    if (!text_.isEmpty()) {
        const double tx = std::max((s.ScaleWidth() - 2 * Tpp() - s.TextWidth(text_)) / 2, 2.0 * Tpp());
        const double ty = std::max((s.ScaleHeight() - 2 * Tpp() - s.TextHeight("I")) / 2, 2.0 * Tpp());
        s.Print(tx, ty, text_);
    }
}

void UC_Bar::SetValue(std::int32_t v) {
    if (clicked_ == -1) return;  // the user is dragging
    v = std::min(v, max_);
    value_ = std::max(v, 0);
    const double x = v > 0 ? static_cast<double>(RoundEven(trackWidth_ * value_ / max_ + 2 * Tpp())) : 0.0;
    // A playing track writes its position many times a second; most writes
    // land on the column already drawn.
    const int gw = SpriteWidth();
    if (std::clamp(x, 2.0 * Tpp(), static_cast<double>(gw + 2) * Tpp()) == drawnX_ && size() == drawnSize_) return;
    Draw(x);
    drawnSize_ = size();
}

void UC_Bar::Init() {
    drawnX_ = -1;
    max_ = 1000;
    ready_ = 1000;
    trackWidth_ = Pic().ScaleWidth() - 4 * Tpp();
    frame_[0] = frame_[1] = 0;
    frame_[2] = width();
    frame_[3] = height();
    DrawFrame();
    const int gw = std::max(0, SpriteWidth()), gh = std::max(0, SpriteHeight());
    const std::uint32_t shadow = GetSysColor(kColorBtnShadow);
    const std::uint32_t light = GetSysColor(kColorBtnHighlight);
    const auto S = static_cast<std::int32_t>(shadow & 0xFFFFFF);
    grad_.ResizePx(gw, gh);
    PaintSurface(grad_, 5, S, static_cast<std::int32_t>(light & 0xFFFFFF), S);
    grad_.FillPx(gw - 1, 0, gw - 1, gh, static_cast<std::uint32_t>(AdjustColor(S, -80, -80, -80, -1)));
    Pic().BitBlt(2, 2, gw, gh, grad_, 0, 0);
    grad_.Cls();
    PaintSurface(grad_, 2, AdjustColor(S, 20, 20, 20, -1), AdjustColor(S, -40, -40, -40, -1));
    grad_.ResizePx(gw, 2 * gh);
    grad_.BitBlt(0, gh + 1, gw, gh, Pic(), 2, 2);
    frame_[2] = width();
    frame_[3] = height();
    Draw(0);
}

void UC_Bar::mousePressEvent(QMouseEvent* e) {
    if (locked_ != 0 || e->button() != Qt::LeftButton) return;
    const double x = TwipsX(e);
    Draw(static_cast<double>(RoundEven(x)));
    value_ = ValueAt(x);
    clicked_ = -1;
    emit MouseUD(true);
}

void UC_Bar::mouseMoveEvent(QMouseEvent* e) {
    if (locked_ != 0 || !(e->buttons() & Qt::LeftButton)) return;
    const double x = TwipsX(e);
    if (x == lastMoveX_) return;
    lastMoveX_ = x;
    Draw(static_cast<double>(RoundEven(x)));
    value_ = ValueAt(x);
    emit Scrolled();
}

void UC_Bar::mouseReleaseEvent(QMouseEvent* e) {
    if (locked_ != 0) return;
    if (e->button() != Qt::LeftButton) {
        emit RightClicked(false);
        return;
    }
    const double x = TwipsX(e);
    Draw(static_cast<double>(RoundEven(x)));
    value_ = ValueAt(x);
    clicked_ = 0;
    emit MouseUD(false);
}

}  // namespace rilumo
