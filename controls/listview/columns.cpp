// The playlist view's columns: their properties, the hit tests on the strip,
// automatic widths and the position menu.

#include <QMenu>

#include <algorithm>

#include "controls/listview/uc_listview.h"
#include "controls/listview/view_metrics.h"
#include "controls/surface_widget.h"

namespace rilumo {

using namespace listview;

QString UC_ListView::TabName(int k) const {
    return store_.Columns().Has(k) ? store_.Columns()[k].name : QString();
}
void UC_ListView::SetTabName(int k, const QString& name) {
    if (store_.Columns().Has(k)) store_.Columns()[k].name = name;
}
std::int32_t UC_ListView::TabWidth(int k) const {
    return store_.Columns().Has(k) ? store_.Columns()[k].width : 0;
}
void UC_ListView::SetTabWidth(int k, std::int32_t twips) {
    if (store_.Columns().Has(k)) store_.Columns().SetWidth(k, twips);
}
std::int32_t UC_ListView::TabHidden(int k) const {
    return store_.Columns().Has(k) ? store_.Columns()[k].hidden : 0;
}
void UC_ListView::SetTabHidden(int k, std::int32_t v) {
    if (store_.Columns().Has(k)) store_.Columns().SetHidden(k, v);
}
std::int32_t UC_ListView::TabAlign(int k) const {
    return store_.Columns().Has(k) ? store_.Columns()[k].align : 0;
}
void UC_ListView::SetTabAlign(int k, std::int32_t v) {
    if (store_.Columns().Has(k)) store_.Columns()[k].align = v;
}
std::int32_t UC_ListView::TabOrder(int k) const {
    return store_.Columns().Has(k) ? store_.Columns()[k].position : 0;
}
std::int32_t UC_ListView::DataNumeric(int k) const {
    return store_.Columns().Has(k) ? store_.Columns()[k].dataNumeric : 0;
}
void UC_ListView::SetDataNumeric(int k, std::int32_t v) {
    if (store_.Columns().Has(k)) store_.Columns()[k].dataNumeric = v;
}
void UC_ListView::SetTextIsTime(int k, std::int32_t v) {
    if (store_.Columns().Has(k)) store_.Columns()[k].textIsTime = v;
}
void UC_ListView::SetFrontObj(int k, std::int32_t v) {
    if (store_.Columns().Has(k)) store_.Columns()[k].frontObj = v;
}

int UC_ListView::EdgeAt(double x) const {
    const ColumnTable& cols = store_.Columns();
    int found = -1;
    for (int p = 0; p < cols.Count(); ++p) {
        const int c = cols.ColumnAt(p);
        if (cols[c].hidden) continue;
        const double r = cols[c].right;
        if (r - PxToTwips(5) < x && x < r + PxToTwips(5)) found = c;
    }
    return found;
}

int UC_ListView::ColumnAtX(double x) const {
    const ColumnTable& cols = store_.Columns();
    const int n = cols.Count();
    if (n == 0) return 0;
    auto firstVisible = [&] {
        for (int p = 0; p < n; ++p)
            if (!cols[cols.ColumnAt(p)].hidden) return cols.ColumnAt(p);
        return 0;
    };
    auto lastVisible = [&] {
        for (int p = n - 1; p >= 0; --p)
            if (!cols[cols.ColumnAt(p)].hidden) return cols.ColumnAt(p);
        return 0;
    };
    if (x > cols[cols.ColumnAt(n - 1)].right) return lastVisible();
    if (x < cols[cols.ColumnAt(0)].right) return firstVisible();
    if (n < 2) return 0;
    for (int p = 1; p < n; ++p) {
        const ColumnInfo& c = cols[cols.ColumnAt(p)];
        if (!c.hidden && c.left < x && x < c.right) return cols.ColumnAt(p);
    }
    return 0;
}

void UC_ListView::InitTab() {
    BuildPositionMenu();
    NumberEditors();
    UserControl_Resize();
}

void UC_ListView::BuildPositionMenu() {
    menu_->clear();
    for (int p = 0; p < store_.NumData(); ++p) {
        QAction* a = menu_->addAction(QString::number(p + 1));
        connect(a, &QAction::triggered, this, [this, p] { ChooseTabPosition(p); });
    }
}

void UC_ListView::ChooseTabPosition(int k) {
    store_.Columns().SetTabOrder(menuCol_, k);
    store_.Columns().Layout();
    ReDrawTab(-1);
    ReDraw();
    emit TabReOrderd();
}

void UC_ListView::RelayoutColumns() {
    store_.Columns().Layout();
    SetVbarParm();
    ReDrawTab(-1);
    ReDraw();
}

void UC_ListView::SetTabWidthAuto() {
    if (store_.ItemCount() == 0) return;
    ColumnTable& cols = store_.Columns();
    const Surface& s = list_->Pic();
    for (int k = 0; k < cols.Count(); ++k) {
        double w = 0;
        for (int i = 0; i < store_.ItemCount(); ++i) {
            const ListEntry* e = store_.Entry(i);
            if (size_t(k) < e->data.size())
                w = std::max(w, double(RoundEven(s.TextWidth(CellText(cols[k], e->data[size_t(k)])))));
        }
        if (cols[k].position == 0 && iconDisabled_ == 0) w += PxToTwips(16);
        cols[k].width = std::max<std::int32_t>(ColumnTable::kMinWidth, std::int32_t(w) + PxToTwips(16));
    }
    cols.Layout();
    ReDrawTab(-1);
    ReDraw();
}

}  // namespace rilumo
