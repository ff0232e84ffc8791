#include "controls/listview/store/column_table.h"

#include <algorithm>
#include <cmath>

#include "support/value.h"

namespace rilumo {

QString CellText(const ColumnInfo& c, const Value& v) {
    if (c.format != CellFormat::MinutesSeconds || !v.IsNumber()) return v.ToText();
    const double ms = v.ToNumber();
    if (!(ms > 0) || ms > 1e12) return QString();
    const long long s = std::llround(ms / 1000.0);
    return QStringLiteral("%1'%2").arg(s / 60).arg(s % 60, 2, 10, QChar(u'0'));
}

void ColumnTable::Reset(int n) {
    cols_.assign(static_cast<size_t>(std::max(n, 0)), ColumnInfo{});
    for (int k = 0; k < Count(); ++k) cols_[static_cast<size_t>(k)].position = k;
    RebuildPosMap();
}

void ColumnTable::RebuildPosMap() {
    posMap_.assign(cols_.size(), 0);
    for (int k = 0; k < Count(); ++k) {
        const int p = cols_[static_cast<size_t>(k)].position;
        if (p >= 0 && p < Count()) posMap_[static_cast<size_t>(p)] = k;
    }
}

void ColumnTable::SetWidth(int k, std::int32_t w) {
    if (!Has(k)) return;
    (*this)[k].width = std::max(w, kMinWidth);
    Layout();
}

void ColumnTable::SetHidden(int k, std::int32_t h) {
    if (!Has(k)) return;
    (*this)[k].hidden = h;
    Layout();
}

void ColumnTable::SetUseTextCombo(int k, std::int32_t kind) {
    if (!Has(k)) return;
    ColumnInfo& c = (*this)[k];
    c.useTextCombo = kind;
    if (kind == 1 || kind == 3) c.frontObj = 1;
    else if (kind == 2) c.frontObj = 2;
}

void ColumnTable::SetTabOrder(int tab, int value) {
    if (!Has(tab) || value < 0 || value >= Count()) return;
    const int p = (*this)[tab].position;
    if (p == value) return;
    for (ColumnInfo& c : cols_) {
        if (p < value && c.position > p && c.position <= value) --c.position;
        else if (p > value && c.position >= value && c.position < p) ++c.position;
    }
    (*this)[tab].position = value;
    RebuildPosMap();
}

void ColumnTable::Layout() {
    const ColumnInfo* prevShown = nullptr;
    for (int p = 0; p < Count(); ++p) {
        ColumnInfo& c = (*this)[ColumnAt(p)];
        const std::int32_t start = prevShown ? prevShown->right : 0;
        c.left = start;
        c.right = c.hidden ? start : start + c.width;
        if (!c.hidden) prevShown = &c;
    }
}

}  // namespace rilumo
