#pragma once
// The gallery window: every drawn control in one place, one section each.
// A new section is one function that fills the widget AddSection returns.

#include <QString>
#include <QWidget>

class QVBoxLayout;

namespace rilumo::gallery {

class Gallery : public QWidget {
public:
    Gallery();
    // A titled, fixed-height area; controls are placed in it in pixels.
    QWidget* AddSection(const QString& title, int height);

private:
    QVBoxLayout* layout_;
};

void AddPainterSection(Gallery& g);
void AddButtonSection(Gallery& g);
void AddBarSection(Gallery& g);
void AddTextPanelSection(Gallery& g);
void AddSliderSection(Gallery& g);
void AddPictureSection(Gallery& g);
void AddListViewSection(Gallery& g);

}  // namespace rilumo::gallery
