#pragma once
// One scroll bar of the playlist view: the drawn slider or the platform's
// standard bar, behind the few operations the view needs of either.

#include <QScrollBar>

#include "controls/uc_slider.h"

namespace rilumo {

struct ListScrollBar {
    UC_Slider* slider = nullptr;
    QScrollBar* std = nullptr;
    // The widget's own visibility is not used: a hidden parent hides it too.
    bool shown = false;

    QWidget* Widget() const { return slider ? static_cast<QWidget*>(slider) : std; }
    int Value() const { return slider ? slider->Value() : std->value(); }
    void SetValue(int v) {
        if (slider) slider->SetValue(v);
        else std->setValue(v);
    }
    int Min() const { return slider ? slider->Min() : std->minimum(); }
    int Max() const { return slider ? slider->Max() : std->maximum(); }
    void SetMax(int v) {
        if (slider) slider->SetMax(v);
        else std->setMaximum(v);
    }
    int Large() const { return slider ? slider->LargeChange() : std->pageStep(); }
    void SetLarge(int v) {
        if (slider) slider->SetLargeChange(v);
        else std->setPageStep(v);
    }
    void SetSmall(int v) {
        if (slider) slider->SetSmallChange(v);
        else std->setSingleStep(v);
    }
    bool Shown() const { return shown; }
    void Show(bool on) {
        shown = on;
        Widget()->setVisible(on);
    }
};

}  // namespace rilumo
