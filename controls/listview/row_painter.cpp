// The playlist view's row painter: shading, then per visible entry its icon,
// its cells, its marks (selection, rule, blank tint), then the separators.

#include "controls/draw_primitives.h"
#include "controls/listview/uc_listview.h"
#include "controls/listview/view_metrics.h"
#include "controls/surface_widget.h"
#include "support/event_pump.h"

namespace rilumo {

using namespace listview;

namespace {
constexpr std::uint32_t kShade = 0xFFFFCC;
constexpr std::uint32_t kBlankTint = 0xE0E0E0;
constexpr int kIconPx = 16;
}  // namespace

void UC_ListView::ReDraw() {
    if (!initialised_) return;
    DoEvents();
    DrawRows();
}

void UC_ListView::DrawRows() {
    Surface& s = list_->Pic();
    s.Cls();
    const int Hr = view_.oneHeight;
    if (Hr <= 0) return;
    const int T = view_.topRow;
    const int rows = int(RoundEven(s.ScaleHeight()) / Hr);
    // Rows are the shown entries: all of them unless the view is narrowed.
    const int count = store_.ShownCount();
    const int cur = store_.RowOfEntry(store_.SelectedItem());
    const bool cursorShown = cur >= 0 && cur >= T && cur < T + rows && cur < count && hideTextCombo_ != 1;
    if (!cursorShown) HideEditors();
    if (useMadara_) DrawShading(s, rows);
    for (int j = 0; j <= rows && T + j < count; ++j) {
        const ListEntry& e = *store_.Entry(store_.ShownEntry(T + j));
        const double top = double(j) * Hr;
        DrawIcon(s, e, top);
        DrawCells(s, e, top);
        if (T + j == cur && cursorShown) PlaceEditorsVertically(j, e);
        DrawMarks(s, e, top);
    }
    DrawSeparators(s);
}

void UC_ListView::DrawShading(Surface& s, int rows) {
    const int Hr = view_.oneHeight;
    const int T = view_.topRow;
    for (int j = 0; j <= rows; ++j)
        if ((T + j) % 2 == 1) s.Fill(0, double(j) * Hr + PxToTwips(1), s.ScaleWidth(), double(j + 1) * Hr, kShade);
}

void UC_ListView::DrawIcon(Surface& s, const ListEntry& e, double top) {
    // Scrolled a whole icon to the right, nothing of it is left to show.
    if (iconDisabled_ != 0 || hOffset_ >= PxToTwips(kIconPx) || e.iconType == -1) return;
    const int tpp = Tpp();
    const int d = RoundEvenInt((double(view_.oneHeight) / tpp - kIconPx) / 2);
    const int x = 2 - TwipsToPx(hOffset_);
    const int y = RoundEvenInt(top / tpp + d);
    const int t = kIconPx * e.iconType;
    s.BitBlt(x, y, kIconPx, kIconPx, icons_, t, kIconPx, Rop::kSrcAnd);
    s.BitBlt(x, y, kIconPx, kIconPx, icons_, t, 0, Rop::kSrcInvert);
}

void UC_ListView::DrawCells(Surface& s, const ListEntry& e, double top) {
    const ColumnTable& cols = store_.Columns();
    const int X = hOffset_;
    s.SetForeColor(e.dispColor);
    int k = 0;  // visible columns so far
    for (int p = 0; p < cols.Count(); ++p) {
        const int c = cols.ColumnAt(p);
        const ColumnInfo& col = cols[c];
        if (col.hidden) continue;
        ++k;
        if (size_t(c) >= e.data.size()) continue;
        const QString full = CellText(col, e.data[size_t(c)]);
        if (full.isEmpty()) continue;
        const int m = k == 1 ? textMargin_ : PxToTwips(6);
        const bool right = col.align == 1;
        const QString text = FitText(full, s, col.width - m, right ? 1 : 0);
        double left;
        if (right) left = col.right - s.TextWidth(text) - PxToTwips(6) - X;
        else left = (k == 1 ? m : col.left + PxToTwips(6)) - X;
        s.Print(left, top + PxToTwips(4), text);
    }
}

void UC_ListView::DrawMarks(Surface& s, const ListEntry& e, double top) {
    const double Wl = s.ScaleWidth();
    const double bottom = top + editorHeight_ + PxToTwips(1);
    auto tint = [&](std::uint32_t colour) {
        s.SetDrawMode(selectedColorMode_);
        s.Fill(0, top + PxToTwips(1), Wl, bottom, colour);
        s.SetDrawMode(kDrawCopyPen);
    };
    if (e.selected == 1) tint(selectedColor_);
    if (e.hLine != 0) s.Line(0, top + PxToTwips(1), Wl, top + PxToTwips(1), e.hLine);
    if (borderIfBlank_ != 0) {
        const size_t b = size_t(borderIfBlank_ - 1);
        if (b < e.data.size() && e.data[b].IsText() && e.data[b].ToText().isEmpty()) tint(kBlankTint);
    }
}

void UC_ListView::DrawSeparators(Surface& s) {
    const ColumnTable& cols = store_.Columns();
    const std::uint32_t sep = s.BackColor() == kBtnFace ? kBtnShadow : kBtnFace;
    const double Hl = s.ScaleHeight();
    for (int k = 0; k < cols.Count(); ++k)
        if (!cols[k].hidden) {
            const double x = cols[k].right - hOffset_ - PxToTwips(1);
            s.Line(x, 0, x, Hl, sep);
        }
}

}  // namespace rilumo
