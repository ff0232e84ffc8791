#pragma once
// UC_Buttons: a strip of equal-width push buttons drawn over one gradient
// face, each showing an 18 x 18 icon of the built-in library or a caption.

#include <cstdint>
#include <vector>

#include <QString>

#include "controls/surface.h"
#include "controls/surface_widget.h"

namespace rilumo {

class UC_Buttons : public SurfaceWidget {
    Q_OBJECT
public:
    explicit UC_Buttons(QWidget* parent = nullptr);

    int NumButtons() const { return static_cast<int>(buttons_.size()); }
    void SetNumButtons(int count);
    void SetMimiWidth(int ear) { mimiWidth_ = ear; }
    void SetDesignType(int type);
    int DesignType() const { return designType_; }

    void Init();
    void DrawAll();
    // state 0 normal, 1 pressed, 2 on.
    void DrawButton(int index, int state);
    void SetButtonState(int pIndex, int pMode);

    int GetButtonDisable(int pIndex, bool pTemp = false) const;
    void SetButtonDisable(int pIndex, int pValue, int pDraw = 0, bool pTemp = false);
    void SetButtonDisableAll(int pValue, bool pTemp = false);
    void SetNoGrayAtDisabled(int value) { noGrayAtDisabled_ = value; }
    void SetDisable3D(int value) { disable3D_ = value; }
    void SetToolTip(const QString& text) { setToolTip(text); }

    void SetPicIndexa(int index, int cell);
    void SetPicIndexn(int index, int cell);
    void SetButtonChar(int index, const QString& text);
    QString GetButtonChar(int index) const;
    void SetButtonCharNum();
    void SetButtonOn(int pIndex, int pValue, int pDraw = 0);
    int GetButtonOn(int index) const;
    // The state a button was last drawn in (0 normal, 1 pressed, 2 on).
    int DrawnState(int index) const;

    void SetSelectedColor(std::uint32_t color);
    std::uint32_t SelectedColor() const { return selectedColor_; }
    std::uint32_t DarkSelectedColor() const { return darkSelectedColor_; }
    int SelectedButton() const { return selectedButton_; }
    void SetSelectedButton(int index);

    void SetFontSize(float size);
    void SetFontFace(const QString& face);
    void SetFontBold(bool bold);

    // The icon library, for hosts that draw its icons themselves.
    const Surface& PiclibHdc() const { return icons_; }

    void SetButtonsMCI();
    void SetButtonsTNQplay();
    void SetButtonsEditorCtrl();
    void SetButtonsEditorPlay();
    void SetOKCancel(int pOKIsZero, int pNoSize = 0, int pType = 0);

    // Layout as computed by Init (pixels), for hosts and tests.
    int ButtonWidth() const { return w_; }
    int ButtonHeight() const { return h_; }
    int ButtonLeft(int index) const;
    int EarWidth() const { return ear_; }
    // Index of the button under a logical x, -1 for none.
    int HitTest(double x) const;

signals:
    void ButtonClicked(int ClickedIndex);
    void RightClicked(int ClickedIndex);
    void ShiftClicked(int ClickedIndex, int Shift);
    void ButtonDown(int ClickedIndex);
    void Hover(int pButtonIndex);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    struct Button {
        int disabled = 0;
        int tempDisabled = 0;
        int left = 0;
        int contentX = 0;
        int contentY = 0;
        int iconOn = -1;
        int iconNormal = -1;
        int hasOnIcon = 0;
        QString caption;
        int on = 0;
        int drawn = 0;
    };

    bool Valid(int i) const { return i >= 0 && i < NumButtons(); }
    bool Enabled(int i) const { return buttons_[i].disabled == 0 && buttons_[i].tempDisabled == 0; }
    void Preset(int count, const int* normal, const int* on, int hasOnIcon);
    void TintIcons();
    void PaintFace();
    void PlaceContent(int i);
    void DrawCaption(int i, int shift, bool on);
    void Press(Qt::MouseButton button, double x);
    void ApplyButtonFont();

    std::vector<Button> buttons_;
    Surface face_;   // PictureGrad
    Surface icons_;  // PictureIcons
    int w_ = 0, h_ = 0;
    int mimiWidth_ = -1;
    int ear_ = 0;
    int designType_ = 0;
    int pressed_ = -1;
    int hover_ = 0;
    double lastPressX_ = 0;
    std::uint32_t selectedColor_ = 0x00D000;
    std::uint32_t darkSelectedColor_ = 0x00A000;
    int selectedButton_ = -1;
    int disable3D_ = 1;
    int noGrayAtDisabled_ = 0;
    float fontSize_ = 9;
    QString fontFace_;
    bool fontBold_ = false;
    bool iconsTinted_ = false;
};

}  // namespace rilumo
