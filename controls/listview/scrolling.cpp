// The playlist view's scrolling: the bars' ranges from the list's size, the
// first visible row, and the syncs that follow the bars.

#include <algorithm>

#include "controls/listview/scroll_bar.h"
#include "controls/listview/uc_listview.h"
#include "controls/listview/view_metrics.h"
#include "controls/surface_widget.h"
#include "support/event_pump.h"

namespace rilumo {

using namespace listview;

ListScrollBar& UC_ListView::VBar() const { return *vbar_; }
ListScrollBar& UC_ListView::HBar() const { return *hbar_; }

void UC_ListView::CreateBars() {
    vbar_ = new ListScrollBar;
    hbar_ = new ListScrollBar;
    if (useUCBar_) {
        hbar_->slider = new UC_Slider(all_);
        vbar_->slider = new UC_Slider(all_);
        connect(vbar_->slider, &UC_Slider::Scrolled, this, [this] { VSync(); });
        connect(hbar_->slider, &UC_Slider::Scrolled, this, [this] { HSync(); });
    } else {
        hbar_->std = new QScrollBar(Qt::Horizontal, all_);
        vbar_->std = new QScrollBar(Qt::Vertical, all_);
        for (QScrollBar* b : {hbar_->std, vbar_->std}) b->setMinimum(0);
        connect(vbar_->std, &QScrollBar::valueChanged, this, [this] { VSync(); });
        connect(hbar_->std, &QScrollBar::valueChanged, this, [this] { HSync(); });
    }
    hbar_->Show(false);
    vbar_->Show(false);
}

void UC_ListView::PlaceBars() {
    QWidget* vb = VBar().Widget();
    QWidget* hb = HBar().Widget();
    vb->setGeometry(vb->x(), TwipsToPx(listTop_), TwipsToPx(kBarSize), std::max(1, vb->height()));
    hb->setGeometry(0, hb->y(), std::max(1, hb->width()), TwipsToPx(kBarSize));
    HBar().SetSmall(Tpp());
    VBar().SetSmall(1);
    if (useUCBar_) {
        HBar().slider->SetNoGrad(1);
        HBar().slider->Init();
        VBar().slider->SetNoGrad(1);
        VBar().slider->SetIsVertical(1);
        VBar().slider->Init();
    } else {
        HBar().std->setFocusPolicy(Qt::NoFocus);
        VBar().std->setFocusPolicy(Qt::NoFocus);
    }
}

void UC_ListView::UserControl_Resize() {
    if (!initialised_ || PxToTwips(width()) < 600 || PxToTwips(height()) < 600) return;
    all_->setGeometry(1, 0, width() - 2, height());
    tab_->resize(width() - 2, TwipsToPx(listTop_));
    QWidget* vb = VBar().Widget();
    QWidget* hb = HBar().Widget();
    vb->move(all_->width() - TwipsToPx(kBarSize) - 4, vb->y());
    hb->move(hb->x(), all_->height() - TwipsToPx(kBarSize) - 4);
    SetVbarParm();
    HBar().SetValue(0);
    hOffset_ = 0;
    if (!VBar().Shown()) view_.topRow = 0;
    else if (view_.topRow > VBar().Max()) view_.topRow = VBar().Max();
    if (VBar().Shown()) {
        view_.lastDrawnTopRow = view_.topRow;  // the bar's notification finds nothing new
        VBar().SetValue(view_.topRow);
    }
    view_.lastDrawnTopRow = view_.topRow;
    ReDrawTab(-1);
    ReDraw();
}

void UC_ListView::SetVbarParm() {
    if (!initialised_) return;
    const double W = PxToTwips(all_->width()) - PxToTwips(4);
    double H = RoundEven(PxToTwips(all_->height()) - listTop_ - PxToTwips(4));
    const ColumnTable& cols = store_.Columns();
    const double R = cols.Count() > 0 ? cols[cols.ColumnAt(cols.Count() - 1)].right : 0;
    const long long count = store_.ShownCount();
    const long long rowH = view_.oneHeight;
    bool needV = count > 0 && count * rowH >= H;
    double L = needV ? W - kBarSize : W;
    const bool needH = L < R && hbarDisabled_ == 0;
    if (needH) {
        H -= kBarSize;
        // The horizontal bar takes rows away, which may call for the vertical one.
        if (!needV && count > 0 && count * rowH >= H) {
            needV = true;
            L -= kBarSize;
        }
    }
    list_->ResizeTwips(std::max(0.0, L), std::max(0.0, H));
    rowsPerPage_ = rowH > 0 ? int(RoundEven(H) / rowH) : 0;
    FitVBar(needV, H, count);
    FitHBar(needH, L, R);
}

void UC_ListView::FitVBar(bool need, double H, long long count) {
    ListScrollBar& vb = VBar();
    if (!need) {
        vb.SetValue(0);
        vb.Show(false);
        return;
    }
    const int P = rowsPerPage_;
    const int max = std::max<int>(1, int(count) - P + 1);
    const int large = std::max(1, RoundEvenInt(double(max) * P / double(count)));
    vb.Widget()->resize(TwipsToPx(kBarSize), std::max(1, TwipsToPx(H) - 4));
    vb.SetMax(max);
    vb.SetLarge(large);
    if (vb.slider) {
        vb.slider->Init();
        vb.slider->SetPointerSize(float(P) / float(count));
    }
    vb.SetValue(vb.Value());
    vb.Show(true);
}

void UC_ListView::FitHBar(bool need, double L, double R) {
    ListScrollBar& hb = HBar();
    if (!need) {
        hb.SetValue(0);
        hb.Show(false);
        hOffset_ = 0;
        return;
    }
    int max = std::max(1, int(R - L));
    if (hb.std) max = std::min(max, 32767);
    const int large = std::max(1, RoundEvenInt(double(max) * L / R));
    hb.Widget()->resize(std::max(1, TwipsToPx(L)), TwipsToPx(kBarSize));
    hb.SetMax(max);
    hb.SetLarge(large);
    if (hb.slider) {
        hb.slider->Init();
        hb.slider->SetPointerSize(float(L / R));
    }
    hb.SetValue(hb.Value());
    hb.Show(true);
    hOffset_ = hb.Value();
}

void UC_ListView::Refresh() {
    if (!initialised_) return;
    SetVbarParm();
    view_.topRow = 0;
    view_.lastDrawnTopRow = 0;
    hOffset_ = 0;
    VBar().SetValue(0);
    HBar().SetValue(0);
    hOffset_ = 0;
    ReDraw();
    ReDrawTab(-1);
}

void UC_ListView::BringIntoView(int entry, int ifHidden, bool centre) {
    // Rows are what is shown: while narrowed an entry left out has none.
    const int index = store_.RowOfEntry(entry);
    if (initialised_ && index >= 0) {
        if (!VBar().Shown()) {
            view_.topRow = 0;
            view_.lastDrawnTopRow = 0;
        } else {
            const int P = rowsPerPage_, T = view_.topRow;
            const int want = centre ? index - RoundEvenInt(P / 2.0) : index;
            if (ifHidden == 0 || index < T || index > T + P - 1) {
                const int top = std::clamp(want, 0, std::max(0, VBar().Max()));
                view_.topRow = top;
                view_.lastDrawnTopRow = top;
                VBar().SetValue(top);
            }
        }
    }
    ReDraw();
}

void UC_ListView::ShowSelected(int ifHidden) { BringIntoView(store_.SelectedItem(), ifHidden, true); }
void UC_ListView::ShowItem(int topItem, int ifHidden) { BringIntoView(topItem, ifHidden, false); }

bool UC_ListView::VBarVisible() const { return vbar_ && vbar_->Shown(); }
int UC_ListView::VBarValue() const { return vbar_ ? vbar_->Value() : 0; }
int UC_ListView::VBarMax() const { return vbar_ ? vbar_->Max() : 0; }
int UC_ListView::VBarLargeChange() const { return vbar_ ? vbar_->Large() : 0; }
bool UC_ListView::HBarVisible() const { return hbar_ && hbar_->Shown(); }
int UC_ListView::HBarValue() const { return hbar_ ? hbar_->Value() : 0; }
int UC_ListView::HBarMax() const { return hbar_ ? hbar_->Max() : 0; }
void UC_ListView::SetHBarValue(int v) {
    if (!hbar_) return;
    hbar_->SetValue(std::clamp(v, hbar_->Min(), hbar_->Max()));
    if (hbar_->slider) HSync();
}

void UC_ListView::VBarMove(int delta) {
    if (!VBarVisible()) return;
    const long long v = static_cast<long long>(VBar().Value()) + delta;
    VBar().SetValue(int(std::clamp<long long>(v, VBar().Min(), VBar().Max())));
    if (VBar().slider) VSync();  // the slider has no change notification of its own
}

void UC_ListView::VBarScroll(int notches) {
    if (!VBarVisible() || notches == 0) return;
    VBarMove(int(std::clamp<long long>(static_cast<long long>(notches) * numWheelScroll_,
                                       -2147483647LL, 2147483647LL)));
    VSync();
}

void UC_ListView::VSync() {
    if (!initialised_) return;
    view_.topRow = VBar().Value();
    if (view_.topRow == view_.lastDrawnTopRow) return;
    // Recorded before the events run so that a nested notification for the
    // same row does not paint again.
    view_.lastDrawnTopRow = view_.topRow;
    ReDraw();
    if (barNoDoEvents_ == 0) DoEvents();
}

void UC_ListView::HSync() {
    if (!initialised_) return;
    hOffset_ = HBar().Value();
    if (barNoDoEvents_ == 0) DoEvents();
    ReDrawTab(-1);
    DoEvents();
    ReDraw();
    DoEvents();
}

}  // namespace rilumo
