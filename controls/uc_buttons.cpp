#include "controls/uc_buttons.h"

#include <algorithm>

#include <QMouseEvent>

#include "controls/colors.h"
#include "controls/control_font.h"
#include "controls/control_resources.h"
#include "controls/draw_primitives.h"
#include "controls/key_codes.h"
#include "support/error_trap.h"
#include "support/ui/syscolors.h"
#include "support/units.h"

namespace rilumo {

namespace {

constexpr int kCell = 18;
constexpr std::uint32_t kSysHighlight = kSysColorFlag + kColorBtnHighlight;
constexpr std::uint32_t kSysDkShadow = kSysColorFlag + kColor3dDkShadow;

// The coloured "on" icons keep their colours when the library is tinted.
bool KeepsItsColours(int cell) {
    switch (cell) {
    case 8: case 9: case 10: case 11: case 13: case 18: case 19: case 20: case 23: case 24: return true;
    default: return false;
    }
}

}  // namespace

UC_Buttons::UC_Buttons(QWidget* parent) : SurfaceWidget(parent) {
    icons_.LoadImage(BuiltInPicture(kIconLibraryPath));
    Pic().SetBackColor(kSysColorFlag + kColorBtnShadow);
    setMouseTracking(true);
    SetNumButtons(1);
    ApplyButtonFont();
}

void UC_Buttons::SetNumButtons(int count) {
    buttons_.assign(static_cast<size_t>(std::max(1, count)), Button{});
}

void UC_Buttons::SetDesignType(int type) {
    designType_ = type;
    if (type == 1) SetSelectedColor(0xFFFFFF);
}

int UC_Buttons::ButtonLeft(int index) const { return Valid(index) ? buttons_[index].left : 0; }

void UC_Buttons::ApplyButtonFont() { Pic().SetFont(ControlFont(fontSize_, fontBold_, false, fontFace_)); }

void UC_Buttons::SetFontSize(float size) { fontSize_ = size; ApplyButtonFont(); }
void UC_Buttons::SetFontFace(const QString& face) { fontFace_ = face; ApplyButtonFont(); }
void UC_Buttons::SetFontBold(bool bold) { fontBold_ = bold; ApplyButtonFont(); }

void UC_Buttons::TintIcons() {
    const std::uint32_t face = GetSysColor(kColorBtnFace);
    std::int16_t fr, fg, fb;
    SplitColor(static_cast<std::int32_t>(face & 0xFFFFFF), fr, fg, fb);
    const double kr = fr / 210.0, kg = fg / 210.0, kb = fb / 210.0;
    for (int cell = 0; cell < icons_.WidthPx() / kCell; ++cell) {
        if (KeepsItsColours(cell)) continue;
        for (int y = 0; y < kCell; ++y)
            for (int x = cell * kCell; x < cell * kCell + kCell; ++x) {
                const std::uint32_t c = icons_.GetPixel(x, y);
                if (c == 0) continue;  // black is the background the masks rely on
                std::int16_t r, g, b;
                SplitColor(static_cast<std::int32_t>(c), r, g, b);
                icons_.SetPixelV(x, y, static_cast<std::uint32_t>(
                    MakeColor(RoundEvenInt(r * kr), RoundEvenInt(g * kg), RoundEvenInt(b * kb))));
            }
    }
}

void UC_Buttons::PaintFace() {
    switch (designType_) {
    case 0: PaintSurface(face_, 7); break;
    // Face styles the program itself does not use.
    case 1: PaintSurface(face_, 7, 0x909090, 0x606060, 0x303030); break;
    case 2: PaintSurface(face_, 1); break;
    case 3: PaintSurface(face_, 8); break;
    case 4: PaintSurface(face_, 2); break;
    default: break;
    }
}

void UC_Buttons::PlaceContent(int i) {
    Button& b = buttons_[i];
    if (b.iconNormal != -1 || b.iconOn != -1) {
        b.contentY = RoundEvenInt(h_ / 2.0 - 9);
        b.contentX = RoundEvenInt(b.left + w_ / 2.0 - 9);
    } else {
        b.contentY = RoundEvenInt(h_ / 2.0 - Pic().TextHeightPx(b.caption) / 2.0);
        b.contentX = RoundEvenInt(b.left + w_ / 2.0 - Pic().TextWidthPx(b.caption) / 2.0);
    }
}

void UC_Buttons::Init() {
    Trap([&] {
        Pic().Cls();
        face_.Cls();
        darkSelectedColor_ = static_cast<std::uint32_t>(
            AdjustColor(static_cast<std::int32_t>(selectedColor_), -70, -70, -70, -1));
        ApplyButtonFont();
        if (!iconsTinted_) {
            const bool anyIcon = std::any_of(buttons_.begin(), buttons_.end(), [](const Button& b) {
                return b.iconNormal != -1 || b.iconOn != -1;
            });
            if (anyIcon) {
                TintIcons();
                iconsTinted_ = true;
            }
        }
        ear_ = mimiWidth_ != -1 ? std::max(0, mimiWidth_) : (designType_ == 0 ? 8 : 0);
        const int count = NumButtons();
        w_ = std::max(0, (width() - 2 * ear_ - 2) / count);
        resize(w_ * count + 2 * ear_ + 2, height());
        h_ = height();
        face_.ResizePx(w_, h_);
        PaintSurface(Pic(), -2);
        PaintSurface(face_, -2);
        PaintFace();
        if (ear_ != 0) {
            Pic().BitBlt(0, 0, ear_, h_, face_, 0, 0);
            Pic().BitBlt(w_ * count + ear_ + 1, 0, ear_, h_, face_, 0, 0);
            Pic().LinePx(ear_, 0, ear_, h_, kSysDkShadow);
            Pic().FillPx(width() - 1, 0, width() - 1, h_, kSysDkShadow);
        }
        for (int i = 0; i < count; ++i) {
            buttons_[i].left = w_ * i + ear_ + 1;
            PlaceContent(i);
            DrawButton(i, 0);
        }
    });
}

void UC_Buttons::DrawAll() {
    for (int i = 0; i < NumButtons(); ++i) DrawButton(i, 0);
}

void UC_Buttons::DrawButton(int index, int state) {
    if (!Valid(index)) return;
    const int shift = state == 1 ? 1 : 0;
    const bool on = state == 1 || state == 2;
    Button& b = buttons_[index];
    b.drawn = state;
    Pic().FillPx(b.left, 0, b.left + w_ - 1, h_, Pic().BackColor());
    Pic().BitBlt(b.left, shift, w_, h_, face_, 0, 0);
    if (b.iconNormal == -1 && b.iconOn == -1) {
        if (!b.caption.isEmpty()) DrawCaption(index, shift, on);
        return;
    }
    const int cell = (b.hasOnIcon == 1 && on) ? b.iconOn : b.iconNormal;
    if (cell < 0) return;
    Pic().BitBlt(b.contentX, b.contentY + shift, kCell, kCell, icons_, cell * kCell, kCell, Rop::kSrcAnd);
    Pic().BitBlt(b.contentX, b.contentY + shift, kCell, kCell, icons_, cell * kCell, 0, Rop::kSrcInvert);
}

void UC_Buttons::DrawCaption(int i, int shift, bool on) {
    const Button& b = buttons_[i];
    const bool highlighted = on || b.on == 1 || i == selectedButton_;
    const bool disabled = !Enabled(i);
    Surface& s = Pic();
    if (disable3D_ == 0) {
        s.SetForeColor(disabled ? kSysHighlight : highlighted ? darkSelectedColor_ : kSysDkShadow);
        s.PrintPx(b.contentX + 1, b.contentY + shift + 1, b.caption);
    }
    std::uint32_t c;
    if (disabled && noGrayAtDisabled_ == 0) c = kSysHighlight;
    else if (highlighted) c = selectedColor_;
    else if (disable3D_ == 0) c = kSysHighlight;
    else c = kSysDkShadow;
    s.SetForeColor(c);
    s.PrintPx(b.contentX, b.contentY + shift, b.caption);
}

void UC_Buttons::SetButtonState(int pIndex, int pMode) {
    if (Valid(pIndex)) DrawButton(pIndex, pMode);
}

int UC_Buttons::GetButtonDisable(int pIndex, bool pTemp) const {
    if (!Valid(pIndex)) return 0;
    return pTemp ? buttons_[pIndex].tempDisabled : buttons_[pIndex].disabled;
}

void UC_Buttons::SetButtonDisable(int pIndex, int pValue, int pDraw, bool pTemp) {
    if (!Valid(pIndex)) return;
    (pTemp ? buttons_[pIndex].tempDisabled : buttons_[pIndex].disabled) = pValue;
    if (pDraw != 0) DrawButton(pIndex, 0);
}

void UC_Buttons::SetButtonDisableAll(int pValue, bool pTemp) {
    for (int i = 0; i < NumButtons(); ++i) {
        (pTemp ? buttons_[i].tempDisabled : buttons_[i].disabled) = pValue;
        if (buttons_[i].hasOnIcon == 0) DrawButton(i, 0);
    }
}

void UC_Buttons::SetPicIndexa(int index, int cell) {
    if (!Valid(index)) return;
    buttons_[index].iconOn = cell;
    buttons_[index].hasOnIcon = 1;
    buttons_[index].caption.clear();
}

void UC_Buttons::SetPicIndexn(int index, int cell) {
    if (!Valid(index)) return;
    buttons_[index].iconNormal = cell;
    buttons_[index].caption.clear();
}

void UC_Buttons::SetButtonChar(int index, const QString& text) {
    if (!Valid(index)) return;
    Button& b = buttons_[index];
    b.caption = text;
    b.iconNormal = b.iconOn = -1;
    if (w_ > 0) PlaceContent(index);
}

QString UC_Buttons::GetButtonChar(int index) const { return Valid(index) ? buttons_[index].caption : QString(); }

void UC_Buttons::SetButtonCharNum() {
    for (int i = 0; i < NumButtons(); ++i) SetButtonChar(i, QString::number(i + 1));
}

void UC_Buttons::SetButtonOn(int pIndex, int pValue, int pDraw) {
    if (!Valid(pIndex)) return;
    buttons_[pIndex].on = pValue;
    if (pDraw != 0) DrawButton(pIndex, 0);
}

int UC_Buttons::DrawnState(int index) const { return Valid(index) ? buttons_[index].drawn : 0; }

int UC_Buttons::GetButtonOn(int index) const { return Valid(index) ? buttons_[index].on : 0; }

void UC_Buttons::SetSelectedColor(std::uint32_t color) {
    selectedColor_ = color;
    darkSelectedColor_ = static_cast<std::uint32_t>(AdjustColor(static_cast<std::int32_t>(color), -70, -70, -70, -1));
}

void UC_Buttons::SetSelectedButton(int index) {
    const int previous = selectedButton_;
    selectedButton_ = index;
    if (previous != -1) DrawButton(previous, 0);
    if (index != -1) DrawButton(index, 0);
}

void UC_Buttons::Preset(int count, const int* normal, const int* on, int hasOnIcon) {
    SetNumButtons(count);
    for (int i = 0; i < count; ++i) {
        Button& b = buttons_[i];
        b.iconNormal = normal[i];
        b.iconOn = on[i];
        b.caption.clear();
        b.hasOnIcon = hasOnIcon;
    }
}

void UC_Buttons::SetButtonsMCI() {
    static const int n[] = {1, 2, 3}, o[] = {9, 10, 11};
    Preset(3, n, o, 1);
}

void UC_Buttons::SetButtonsTNQplay() {
    static const int n[] = {15, 16, 1, 3, 17}, o[] = {18, 19, 9, 11, 20};
    Preset(5, n, o, 1);
}

void UC_Buttons::SetButtonsEditorCtrl() {
    static const int n[] = {4, 5, 6, 7};
    Preset(4, n, n, 0);
}

void UC_Buttons::SetButtonsEditorPlay() {
    static const int n[] = {0, 1, 2, 3}, o[] = {8, 9, 10, 11};
    Preset(4, n, o, 1);
}

void UC_Buttons::SetOKCancel(int pOKIsZero, int pNoSize, int pType) {
    SetNumButtons(2);
    SetButtonChar(0, pOKIsZero != 0 ? QStringLiteral("OK") : QStringLiteral("Cancel"));
    SetButtonChar(1, pOKIsZero != 0 ? QStringLiteral("Cancel") : QStringLiteral("OK"));
    SetDesignType(pType);
    if (pNoSize == 0) ResizeTwips(1950, 330);
    Init();
}

int UC_Buttons::HitTest(double x) const {
    return TrapOr(-1, [&] {
        const int px = TwipsToPx(x);
        if (px < buttons_.front().left || px > buttons_.back().left + w_) return -1;
        for (int i = 0; i < NumButtons(); ++i)
            if (px < buttons_[i].left + w_) return i;
        return -1;
    });
}

void UC_Buttons::Press(Qt::MouseButton button, double x) {
    Trap([&] {
        lastPressX_ = x;
        pressed_ = HitTest(x);
        if (pressed_ != -1 && Enabled(pressed_) && button == Qt::LeftButton) {
            DrawButton(pressed_, 1);
            emit ButtonDown(pressed_);
        }
    });
}

void UC_Buttons::mousePressEvent(QMouseEvent* e) { Press(e->button(), TwipsX(e)); }

void UC_Buttons::mouseReleaseEvent(QMouseEvent* e) {
    const int p = pressed_;
    if (p < 0 || !Valid(p) || !Enabled(p)) return;
    const int px = TwipsToPx(TwipsX(e)), py = TwipsToPx(TwipsY(e));
    const Button& b = buttons_[p];
    const bool inside = px >= b.left && px <= b.left + w_ && py >= 0 && py <= h_;
    pressed_ = -1;
    if (!inside) return;
    if (e->button() == Qt::LeftButton) {
        DrawButton(p, 0);
        const int shift = KeyShiftOf(e->modifiers());
        if (shift != 0) emit ShiftClicked(p, shift);
        else emit ButtonClicked(p);
    } else if (e->button() == Qt::RightButton) {
        emit RightClicked(p);
    }
}

void UC_Buttons::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) Press(Qt::LeftButton, lastPressX_);
    else Press(e->button(), TwipsX(e));
}

void UC_Buttons::mouseMoveEvent(QMouseEvent* e) {
    const int h = HitTest(TwipsX(e));
    if (h != hover_) {
        hover_ = h;
        emit Hover(h);
    }
}

}  // namespace rilumo
