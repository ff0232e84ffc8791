// The mouse on the playlist view's list surface: presses and releases that
// select, the move that starts a drag, and the drag-over auto-scroll.

#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTime>

#include <algorithm>
#include <cmath>

#include "controls/key_codes.h"
#include "controls/listview/scroll_bar.h"
#include "controls/listview/uc_listview.h"
#include "controls/listview/view_metrics.h"
#include "controls/surface_widget.h"

namespace rilumo {

using namespace listview;

namespace {

double SecondsSinceMidnight() { return QTime::currentTime().msecsSinceStartOfDay() / 1000.0; }

}  // namespace

bool UC_ListView::ListEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress: ListPress(static_cast<QMouseEvent*>(event)); return true;
    case QEvent::MouseButtonRelease: ListRelease(static_cast<QMouseEvent*>(event)); return true;
    case QEvent::MouseMove: ListMove(static_cast<QMouseEvent*>(event)); return true;
    case QEvent::MouseButtonDblClick: ListDoubleClick(); return true;
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* d = static_cast<QDragMoveEvent*>(event);
        DragOver(d->position().x() * Tpp(), d->position().y() * Tpp());
        d->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* d = static_cast<QDropEvent*>(event);
        const int button = d->buttons() & Qt::RightButton ? 2 : 1;
        emit OLEDragDrop(d->mimeData(), int(d->dropAction()), button, MouseShiftOf(d->modifiers()),
                         float(d->position().x() * Tpp()), float(d->position().y() * Tpp()));
        d->acceptProposedAction();
        return true;
    }
    default: return false;
    }
}

// The entry drawn at y; 0 on an empty view, which the store's selection
// rules ignore.
int UC_ListView::RowAt(double y) const {
    const int h = std::max(view_.oneHeight, 1);
    const long long r = RoundEven(y - PxToTwips(4)) / h + view_.topRow;
    const int row = int(std::clamp<long long>(r, 0, std::max(0, store_.ShownCount() - 1)));
    return std::max(0, store_.ShownEntry(row));
}

void UC_ListView::ListPress(QMouseEvent* e) {
    if (clickDisabled_ == 1) return;
    pressSeen_ = true;
    const float x = float(SurfaceWidget::TwipsX(e)), y = float(SurfaceWidget::TwipsY(e));
    const int shift = MouseShiftOf(e->modifiers());
    emit MouseDown(MouseButtonCode(e->button()), shift, x, y);
    if (e->button() != Qt::LeftButton) return;
    pressX_ = x;
    pressY_ = y;
    if (store_.ShownCount() == 0) {
        store_.SetSelectedItem(-1);
        return;
    }
    if (!view_.PressSelect(store_, RowAt(y), shift, noMultiSelect_)) return;
    view_.clickedColumn = ColumnAtX(x + hOffset_);
    ReDraw();
}

void UC_ListView::ListRelease(QMouseEvent* e) {
    if (clickDisabled_ == 1 || !pressSeen_) return;
    pressSeen_ = false;
    const float x = float(SurfaceWidget::TwipsX(e)), y = float(SurfaceWidget::TwipsY(e));
    if (e->button() == Qt::RightButton) {
        emit RightClicked(x, y);
    } else {
        if (store_.ShownCount() > 0 || store_.ItemCount() == 0)
            ListViewState::ReleaseSelect(store_, RowAt(y), MouseShiftOf(e->modifiers()), noMultiSelect_);
        emit Clicked(x, y);
        ReDraw();
    }
    pressX_ = pressY_ = -1;
}

void UC_ListView::ListMove(QMouseEvent* e) {
    if (clickDisabled_ == 1) return;
    if ((e->buttons() & Qt::LeftButton) && store_.ItemCount() > 0 && pressX_ != -1) {
        const double x = SurfaceWidget::TwipsX(e), y = SurfaceWidget::TwipsY(e);
        if (std::abs(x - pressX_) > PxToTwips(8) || std::abs(y - pressY_) > PxToTwips(8)) {
            pressX_ = pressY_ = -1;
            BeginDrag();
        }
    }
    if (pointerShape_ == kResizePointer) SetPointerShape(0);
}

void UC_ListView::ListDoubleClick() {
    if (clickDisabled_ != 1 && store_.ShownCount() > 0) emit DblClicked();
}

void UC_ListView::BeginDrag() {
    if (clickDisabled_ == 1 || store_.ShownCount() == 0) return;
    auto* data = new QMimeData;
    int allowed = 0;
    emit OLEStartDrag(data, allowed);
    // The release of the press that started the drag goes to the drag loop.
    pressSeen_ = false;
    int effect = StartDrag(data, allowed);
    emit OLECompleteDrag(effect);
}

int UC_ListView::StartDrag(QMimeData* data, int allowedEffects) {
    auto* drag = new QDrag(list_);
    drag->setMimeData(data);
    const Qt::DropActions allowed = Qt::DropActions::fromInt(allowedEffects & 7);
    return int(drag->exec(allowed ? allowed : Qt::CopyAction));
}

void UC_ListView::DragOver(double x, double y) {
    emit OLEDragOver();
    if (noOleScroll_ != 0 || !VBarVisible()) return;
    // Scrolling needs the pointer to rest; a move only records where it is.
    if (x != dragX_ || y != dragY_) {
        dragX_ = x;
        dragY_ = y;
        return;
    }
    const double now = clock_ ? clock_() : SecondsSinceMidnight();
    const double dt = std::abs(now - lastStepTime_);
    if (dt > 1.0) {
        lastStepTime_ = now;
        return;
    }
    const std::optional<long long> target = DragStep(y, dt);
    if (!target) return;
    lastStepTime_ = now;
    VBar().SetValue(int(std::clamp<long long>(*target, VBar().Min(), VBar().Max())));
    if (VBar().slider) VSync();
}

// The bar value a resting drag at y moves to after dt seconds: a page within
// half a row of an edge every 0.02 s, a row within one and a half every 0.2 s.
std::optional<long long> UC_ListView::DragStep(double y, double dt) const {
    const double Hr = view_.oneHeight;
    const double Hl = list_->HeightTwips();
    const long long v = VBar().Value();
    if (y < 0.5 * Hr) return dt >= 0.02 ? std::optional(v - VBar().Large()) : std::nullopt;
    if (y < 1.5 * Hr) return dt >= 0.2 ? std::optional(v - 1) : std::nullopt;
    if (y > Hl - 0.5 * Hr) return dt >= 0.02 ? std::optional(v + VBar().Large()) : std::nullopt;
    if (y > Hl - 1.5 * Hr) return dt >= 0.2 ? std::optional(v + 1) : std::nullopt;
    return std::nullopt;
}

}  // namespace rilumo
