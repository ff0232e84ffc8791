#pragma once
// UC_Bar: a progress bar the user can drag; a filled tube inside a sunken
// frame with an optional line of text over it.

#include <cstdint>

#include <QString>

#include "controls/surface.h"
#include "controls/surface_widget.h"

namespace rilumo {

class UC_Bar : public SurfaceWidget {
    Q_OBJECT
public:
    explicit UC_Bar(QWidget* parent = nullptr);

    void Init();
    void SetStyle(std::int32_t pSize, std::int32_t pBold, const QString& pName, std::uint32_t pForeColor);

    std::int32_t Max() const { return max_; }
    void SetMax(std::int32_t value) { max_ = value; }
    std::int32_t Value() const { return value_; }
    void SetValue(std::int32_t v);
    void SetLocked(std::int32_t value) { locked_ = value; }
    QString TextToDisp() const { return text_; }
    void SetTextToDisp(const QString& text) {
        text_ = text;
        drawnX_ = -1;
    }
    std::int16_t Clicked() const { return clicked_; }

    // Redraws with the fill ending at x (logical units).
    void Draw(double x);

signals:
    void MouseUD(bool IsDown);
    void Scrolled();
    void RightClicked(bool IsDown);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    std::int32_t ValueAt(double x) const;
    void DrawFrame();
    int SpriteWidth() const { return width() - 4; }   // gw, pixels
    int SpriteHeight() const { return height() - 4; }  // gh, pixels

    Surface grad_;  // PictureGrad: empty track over background row over fill
    std::int32_t max_ = 0;
    std::int32_t value_ = 0;
    double trackWidth_ = 0;
    std::int16_t clicked_ = 0;
    std::int32_t locked_ = 0;
    QString text_;
    double lastMoveX_ = 0;
    int frame_[4] = {0, 0, 0, 0};
    std::int32_t ready_ = 0;
    double drawnX_ = -1;  // where the fill last ended, -1 when redrawing is due
    QSize drawnSize_;
};

}  // namespace rilumo
