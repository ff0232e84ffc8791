#pragma once
// UC_TextPicture: a panel with a few independently placed lines of text over
// a plain background or one of several pre-rendered colour sets.

#include <cstdint>
#include <vector>

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

#include "controls/surface.h"
#include "controls/surface_widget.h"

class QMimeData;

namespace rilumo {

class UC_TextPicture : public SurfaceWidget {
    Q_OBJECT
public:
    explicit UC_TextPicture(QWidget* parent = nullptr);

    void AddTextSpace(float pSize, bool pBold, bool pItalic, const QString& pFace, std::int32_t pLeft,
                      std::int32_t pTop);
    void AddColorSet(std::uint32_t pFontColor, std::uint32_t pColor1, std::uint32_t pColor2,
                     std::uint32_t pColor3);
    void AddStdColorSet(int n);
    // Omitted: one ring around a drawn gradient.
    void Init(std::int32_t pWakuWidth = 1, std::int32_t pNoGrad = 0);
    void ResetMe();
    void DispMes(int pIndex, const QString& pStr, bool DontDraw = false);
    QString TextMes(int index) const;
    void Draw(std::int32_t plite);
    void SetColor(int pType, bool pDraw = true);
    void SetColorEx(std::uint32_t pForeColor, std::uint32_t pBackColor, bool pDraw = true);
    void SetDesignType(std::int32_t type) { designType_ = type; }
    std::int32_t DesignType() const { return designType_; }
    void UseClick(int index, std::int32_t value);
    void SetUseDblClick(std::int32_t value) { useDblClick_ = value; }
    void SetLocked(std::int32_t value) { locked_ = value; }
    void SetIsFlat(std::int32_t value) { isFlat_ = value; }

    int SlotCount() const { return static_cast<int>(slots_.size()); }
    int SetCount() const { return static_cast<int>(sets_.size()); }
    int CurrentSet() const { return currentSet_; }
    // The slot under a point in logical units.
    int HitTest(double x, double y) const;

signals:
    void MouseUD(std::int16_t Button, bool IsDown, std::int32_t pIndex);
    void DblClicked();
    void OLEDragDrop(const QMimeData* Data, std::int32_t Effect, std::int16_t Button, std::int16_t Shift,
                     float X, float Y);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    // Where a slot's text goes and what of it fits.
    struct Placed {
        double x = 0;  // twips
        QString text;
        QRect area;  // pixels, with room for glyphs past their advance
    };
    struct Slot {
        QFont font;
        std::int32_t left = 0;
        std::int32_t top = 0;
        QString text;
        std::int32_t click = 0;
        Placed drawn;  // as last drawn
    };
    struct ColorSet {
        std::uint32_t text, color1, color2, color3;
    };

    void Press(std::int16_t button, double x, double y);
    double Margin() const;
    Placed Place(int index);
    void PaintBackground(const QRect& area);
    // Redraws only the part of the panel a change of the slot's text touches.
    void DrawSlot(int index);

    std::vector<Slot> slots_;
    std::vector<ColorSet> sets_;
    Surface rendered_;  // element 1: the colour sets side by side
    bool hasRendered_ = false;
    std::int32_t designType_ = 0;
    int currentSet_ = 0;
    std::int32_t isFlat_ = 0;
    std::int32_t locked_ = 0;
    std::int32_t useDblClick_ = 0;
    bool pressed_ = false;
    // The surface shows the last Draw(-1) with every slot's current text.
    bool whole_ = false;
    QSize wholeSize_;
    int frame_[4] = {0, 0, 0, 0};
};

}  // namespace rilumo
