// The playlist view's tab strip: the column captions, the resize pointer at
// the column edges, and what a click or a drag on the strip does.

#include <QMenu>
#include <QMouseEvent>

#include "controls/draw_primitives.h"
#include "controls/listview/uc_listview.h"
#include "controls/listview/view_metrics.h"
#include "controls/surface_widget.h"

namespace rilumo {

using namespace listview;

void UC_ListView::ReDrawTab(int pushed) {
    Surface& s = tab_->Pic();
    s.Cls();
    const ColumnTable& cols = store_.Columns();
    for (int p = 0; p < cols.Count(); ++p) {
        const int k = cols.ColumnAt(p);
        const ColumnInfo& c = cols[k];
        if (c.hidden) continue;
        if (tabDisabled_ == 0 && listTop_ > 0) DrawTab(s, p, c, k == pushed);
        PlaceEditorsAcross(c);
    }
}

void UC_ListView::DrawTab(Surface& s, int p, const ColumnInfo& c, bool pushed) {
    const double X = hOffset_;
    const int ht = listTop_;
    const int b = pushed ? 1 : 0;
    s.StretchBlt(TwipsToPx(c.left - X), 0, TwipsToPx(c.width), TwipsToPx(ht), tabGrad_, 0, 0, 1,
                 tabGrad_.HeightPx());
    const QString cap = FitText(c.name, s, c.width - PxToTwips(6), c.align != 0 ? 1 : 0);
    double left;
    if (c.align == 1 && noAlign4Tab_ == 0) left = c.right - s.TextWidth(cap) - PxToTwips(6 + b) - X;
    else left = (p == 0 ? 0 : c.left) + PxToTwips(6 + b) - X;
    s.Print(left, PxToTwips(3 + b), cap);
    s.DrawEdge(TwipsToPx(c.left - X), 0, TwipsToPx(c.left - X + c.width), TwipsToPx(ht),
               b ? kEdgeSunken : kEdgeRaised, kBfRect | kBfSoft);
}

void UC_ListView::SetPointerShape(int shape) {
    if (shape == pointerShape_) return;
    pointerShape_ = shape;
    if (shape == kResizePointer) all_->setCursor(Qt::SizeHorCursor);
    else all_->unsetCursor();
    tab_->setCursor(shape == kResizePointer ? Qt::SizeHorCursor : Qt::ArrowCursor);
}

void UC_ListView::TabMouse(QEvent::Type type, QMouseEvent* e) {
    if (tabDisabled_ == 1 || !initialised_) return;
    const double x = SurfaceWidget::TwipsX(e) + hOffset_;
    ColumnTable& cols = store_.Columns();
    switch (type) {
    case QEvent::MouseMove:
        if (e->buttons() == Qt::NoButton) {
            SetPointerShape(EdgeAt(x) >= 0 ? kResizePointer : 0);
        } else if ((e->buttons() & Qt::LeftButton) && resizeCol_ != -1 &&
                   pointerShape_ == kResizePointer && cols.Has(resizeCol_)) {
            cols.SetWidth(resizeCol_, RoundEvenInt(x + PxToTwips(3)) - cols[resizeCol_].left);
            ReDrawTab(-1);
        }
        break;
    case QEvent::MouseButtonPress:
        if (e->button() != Qt::LeftButton) break;
        if (pointerShape_ == kResizePointer) resizeCol_ = EdgeAt(x);
        else ReDrawTab(ColumnAtX(x));
        break;
    case QEvent::MouseButtonRelease: TabRelease(e, x); break;
    default: break;
    }
}

void UC_ListView::TabRelease(QMouseEvent* e, double x) {
    if (e->button() == Qt::LeftButton) {
        if (pointerShape_ == kResizePointer) {
            SetPointerShape(0);
            SetVbarParm();
            ReDrawTab(-1);
            ReDraw();
            emit TabMoved();
        } else {
            if (sortDisabled_ == 0 && clickDisabled_ == 0) store_.ReOrder(ColumnAtX(x), 0);
            ReDrawTab(-1);
            ReDraw();
        }
    } else if (e->button() == Qt::RightButton && useTabOrder_ != 0) {
        menuCol_ = ColumnAtX(x);
        const QList<QAction*> items = menu_->actions();
        for (int p = 0; p < items.size(); ++p) items[p]->setEnabled(p != store_.Columns()[menuCol_].position);
        menu_->popup(e->globalPosition().toPoint());
    } else if (e->button() == Qt::RightButton) {
        emit TabRightClicked(ColumnAtX(x));
    }
}

}  // namespace rilumo
