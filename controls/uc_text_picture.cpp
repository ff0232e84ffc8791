#include "controls/uc_text_picture.h"

#include <algorithm>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>

#include "controls/colors.h"
#include "controls/control_font.h"
#include "controls/draw_primitives.h"
#include "controls/key_codes.h"
#include "support/error_trap.h"
#include "support/ui/syscolors.h"
#include "support/units.h"

namespace rilumo {

UC_TextPicture::UC_TextPicture(QWidget* parent) : SurfaceWidget(parent) {
    Pic().SetBackColor(0x000000);
    Pic().SetForeColor(kSysColorFlag + kColorBtnFace);
    setAcceptDrops(true);
}

void UC_TextPicture::AddTextSpace(float pSize, bool pBold, bool pItalic, const QString& pFace,
                                  std::int32_t pLeft, std::int32_t pTop) {
    Slot slot;
    slot.font = ControlFont(pSize, pBold, pItalic, pFace);
    slot.left = pLeft;
    if (pTop == -1) {
        Surface probe;
        probe.SetFont(slot.font);
        const double h = Pic().ScaleHeight() - probe.TextHeight("I");
        pTop = static_cast<std::int32_t>(std::max<long long>(0, RoundEven(h / 2)));
    }
    slot.top = pTop;
    slots_.push_back(std::move(slot));
    whole_ = false;
}

void UC_TextPicture::AddColorSet(std::uint32_t pFontColor, std::uint32_t pColor1, std::uint32_t pColor2,
                                 std::uint32_t pColor3) {
    sets_.push_back({pFontColor, pColor1, pColor2, pColor3});
    designType_ = 1;
}

void UC_TextPicture::AddStdColorSet(int n) {
    static const std::uint32_t text[] = {0x909090, 0xD0B0B0, 0xB0B0D0, 0xB0D0B0, 0xC0C0C0, 0x90B0E0};
    static const std::uint32_t color2[] = {0x686868, 0x886868, 0x686888, 0x688868, 0x686868, 0x4878A8};
    if (n >= 0 && n <= 5) AddColorSet(text[n], 0x000000, color2[n], 0x000000);
    designType_ = 1;
}

void UC_TextPicture::Init(std::int32_t pWakuWidth, std::int32_t pNoGrad) {
    Trap([&] {
        const int w = width(), h = height();
        Pic();  // takes the control's size
        if (designType_ == 0) {
            frame_[0] = frame_[1] = 0;
            frame_[2] = w;
            frame_[3] = h;
        } else if (!sets_.empty()) {
            hasRendered_ = true;
            rendered_.ResizePx(SetCount() * w, h);
            for (int i = 0; i < SetCount(); ++i) {
                PaintFramedGradient(Pic(), static_cast<std::int32_t>(sets_[i].color1),
                                    static_cast<std::int32_t>(sets_[i].color2), pNoGrad, pWakuWidth);
                rendered_.BitBlt(i * w, 0, w, h, Pic(), 0, 0);
            }
        }
        Draw(-1);
    });
}

void UC_TextPicture::ResetMe() {
    whole_ = false;
    slots_.clear();
    sets_.clear();
    designType_ = 0;
    currentSet_ = 0;
    if (hasRendered_) {
        rendered_ = Surface();
        hasRendered_ = false;
    }
}

void UC_TextPicture::DispMes(int pIndex, const QString& pStr, bool DontDraw) {
    if (pIndex < 0 || pIndex >= SlotCount()) return;
    if (slots_[pIndex].text == pStr) return;
    slots_[pIndex].text = pStr;
    if (DontDraw) whole_ = false;
    else DrawSlot(pIndex);
}

QString UC_TextPicture::TextMes(int index) const {
    return (index >= 0 && index < SlotCount()) ? slots_[index].text : QString();
}

double UC_TextPicture::Margin() const { return ((isFlat_ != 0 && designType_ == 0) ? 2 : 4) * Tpp(); }

UC_TextPicture::Placed UC_TextPicture::Place(int index) {
    Surface& s = Pic();
    const Slot& slot = slots_[index];
    s.SetFont(slot.font);
    Placed p;
    p.x = slot.left;
    if (slot.left == -1) p.x = std::max((s.ScaleWidth() - s.TextWidth(slot.text)) / 2, Margin());
    const double room = static_cast<double>(RoundEven(s.ScaleWidth() - p.x - Margin()));
    p.text = FitText(slot.text, s, room, 0);
    const int h = s.TextHeightPx(p.text);
    const int pad = std::max(2, h / 3);
    p.area = QRect(TwipsToPx(p.x) - pad, TwipsToPx(slot.top) - 1, s.TextWidthPx(p.text) + 2 * pad, h + 2);
    return p;
}

void UC_TextPicture::PaintBackground(const QRect& area) {
    Surface& s = Pic();
    if (designType_ == 1 && hasRendered_ && currentSet_ < SetCount()) {
        s.BitBlt(area.x(), area.y(), area.width(), area.height(), rendered_, currentSet_ * width() + area.x(),
                 area.y());
        s.SetForeColor(sets_[currentSet_].text);
    } else {
        s.ClsPx(area);
    }
}

void UC_TextPicture::Draw(std::int32_t plite) {
    whole_ = false;
    Trap([&] {
        Surface& s = Pic();
        PaintBackground(QRect(0, 0, width(), height()));
        const std::uint32_t base = s.ForeColor();
        for (int i = 0; i < SlotCount(); ++i) {
            const Placed p = Place(i);
            if (i == plite) {
                s.SetForeColor((base & kSysColorFlag) ? 0xFFFFFFu
                                                      : static_cast<std::uint32_t>(AdjustColor(
                                                            static_cast<std::int32_t>(base), 30, 30, 30, -1)));
            } else if (plite != -1 && s.ForeColor() != base) {
                s.SetForeColor(base);
            }
            s.Print(p.x, slots_[i].top, p.text);
            slots_[i].drawn = p;
        }
        // The highlight colour must not become the next draw's base colour.
        s.SetForeColor(base);
        if (designType_ == 0 && isFlat_ == 0)
            s.DrawEdge(frame_[0], frame_[1], frame_[2], frame_[3], kEdgeSunken, kBfRect);
        whole_ = plite == -1;
        wholeSize_ = QSize(s.WidthPx(), s.HeightPx());
    });
}

void UC_TextPicture::DrawSlot(int index) {
    if (!whole_ || wholeSize_ != QSize(Pic().WidthPx(), Pic().HeightPx())) {
        Draw(-1);
        return;
    }
    Trap([&] {
        Surface& s = Pic();
        // Where the old text was and where the new one goes; every slot that
        // reaches into that is drawn again inside it, in slot order, so the
        // pixels come out as a whole redraw leaves them.
        const Placed placed = Place(index);
        const QRect area = (slots_[index].drawn.area | placed.area) & QRect(0, 0, width(), height());
        slots_[index].drawn = placed;
        if (area.isEmpty()) return;
        PaintBackground(area);
        s.SetClipPx(area);
        // The other slots are where the last whole draw put them.
        for (int i = 0; i < SlotCount(); ++i) {
            const Placed& p = slots_[i].drawn;
            if (!p.area.intersects(area)) continue;
            s.SetFont(slots_[i].font);
            s.Print(p.x, slots_[i].top, p.text);
        }
        s.ClearClip();
        if (designType_ == 0 && isFlat_ == 0)
            s.DrawEdge(frame_[0], frame_[1], frame_[2], frame_[3], kEdgeSunken, kBfRect);
    });
}

void UC_TextPicture::SetColor(int pType, bool pDraw) {
    if (designType_ != 1) ApplyColorScheme(Pic(), pType, 0, 0);
    else if (pType >= 0 && pType < SetCount()) currentSet_ = pType;
    whole_ = false;
    if (pDraw) Draw(-1);
}

void UC_TextPicture::SetColorEx(std::uint32_t pForeColor, std::uint32_t pBackColor, bool pDraw) {
    Pic().SetBackColor(pBackColor);
    Pic().SetForeColor(pForeColor);
    whole_ = false;
    if (pDraw) Draw(-1);
}

void UC_TextPicture::UseClick(int index, std::int32_t value) {
    if (index >= 0 && index < SlotCount()) slots_[index].click = value;
}

int UC_TextPicture::HitTest(double x, double y) const {
    int result = 0;
    std::int32_t bestTop = 0, bestLeft = 0;
    for (int i = 0; i < SlotCount(); ++i) {
        const Slot& s = slots_[i];
        if ((s.left == -1 || x > s.left) && (s.top == -1 || y > s.top) && s.top >= bestTop && s.left >= bestLeft) {
            result = i;
            bestTop = s.top;
            bestLeft = s.left;
        }
    }
    return result;
}

void UC_TextPicture::Press(std::int16_t button, double x, double y) {
    if (locked_ != 0) return;
    Trap([&] {
        const int i = HitTest(x, y);
        if (i < SlotCount() && slots_[i].click != 0) Draw(i);
        emit MouseUD(button, true, i);
        pressed_ = true;
    });
}

void UC_TextPicture::mousePressEvent(QMouseEvent* e) {
    Press(MouseButtonCode(e->button()), TwipsX(e), TwipsY(e));
}

void UC_TextPicture::mouseReleaseEvent(QMouseEvent* e) {
    if (locked_ != 0 || !pressed_) return;
    pressed_ = false;
    const int i = HitTest(TwipsX(e), TwipsY(e));
    if (i < SlotCount() && slots_[i].click != 0) Draw(-1);
    emit MouseUD(MouseButtonCode(e->button()), false, i);
}

void UC_TextPicture::mouseDoubleClickEvent(QMouseEvent*) {
    if (locked_ != 0) return;
    if (useDblClick_ != 0) emit DblClicked();
    else Press(1, 0, 0);
}

void UC_TextPicture::dragEnterEvent(QDragEnterEvent* e) {
    if (locked_ == 0) e->acceptProposedAction();
}

void UC_TextPicture::dragMoveEvent(QDragMoveEvent* e) {
    if (locked_ == 0) e->acceptProposedAction();
}

void UC_TextPicture::dropEvent(QDropEvent* e) {
    if (locked_ != 0) return;
    const std::int32_t effect = static_cast<std::int32_t>(e->dropAction());
    emit OLEDragDrop(e->mimeData(), effect, MouseButtonCode(Qt::MouseButton(int(e->buttons()))),
                     static_cast<std::int16_t>(KeyShiftOf(e->modifiers())), static_cast<float>(e->position().x() * Tpp()),
                     static_cast<float>(e->position().y() * Tpp()));
    e->acceptProposedAction();
}

}  // namespace rilumo
