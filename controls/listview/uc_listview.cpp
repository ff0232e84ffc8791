#include "controls/listview/uc_listview.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "controls/units.h"
#include "support/ui/syscolors.h"

namespace rilumo {

namespace {

QColor ToQColor(std::uint32_t c) {
    const std::uint32_t bgr = ResolveColor(c);
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

int Shift(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0);
}

int Button(Qt::MouseButton b) { return b == Qt::RightButton ? 2 : b == Qt::LeftButton ? 1 : 4; }

float TwipsOf(double px) { return static_cast<float>(px * Tpp()); }

}  // namespace

UC_ListView::UC_ListView(QWidget* parent) : QWidget(parent) {
    setAcceptDrops(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

// ---------------------------------------------------------------- set-up

void UC_ListView::SetOneHeight(std::int32_t twips) { store_.SetOneHeight(twips); }

void UC_ListView::SetOneHeight() {
    const QFontMetrics fm(font());
    store_.SetOneHeight(PxToTwips(fm.boundingRect(QStringLiteral("|")).height() + 6));
}

void UC_ListView::SetStyle(float size, bool bold, const QString& name, std::uint32_t foreColor,
                           std::uint32_t backColor) {
    QFont f = font();
    if (!name.isEmpty()) f.setFamily(name);
    if (size > 0) f.setPointSizeF(size);
    f.setBold(bold);
    setFont(f);
    foreColor_ = foreColor;
    backColor_ = backColor;
    store_.SetDefaultEntryColor(foreColor);
}

void UC_ListView::Init() {
    store_.Init();
    initialised_ = true;
}

QString UC_ListView::TabName(int k) const {
    return store_.Columns().Has(k) ? store_.Columns()[k].name : QString();
}
void UC_ListView::SetTabName(int k, const QString& name) {
    if (store_.Columns().Has(k)) store_.Columns()[k].name = name;
}
std::int32_t UC_ListView::TabWidth(int k) const {
    return store_.Columns().Has(k) ? store_.Columns()[k].width : 0;
}
void UC_ListView::SetTabWidth(int k, std::int32_t twips) { store_.Columns().SetWidth(k, twips); }
std::int32_t UC_ListView::TabHidden(int k) const {
    return store_.Columns().Has(k) ? store_.Columns()[k].hidden : 0;
}
void UC_ListView::SetTabHidden(int k, std::int32_t v) { store_.Columns().SetHidden(k, v); }
std::int32_t UC_ListView::TabAlign(int k) const {
    return store_.Columns().Has(k) ? store_.Columns()[k].align : 0;
}
void UC_ListView::SetTabAlign(int k, std::int32_t v) {
    if (store_.Columns().Has(k)) store_.Columns()[k].align = v;
}
std::int32_t UC_ListView::DataNumeric(int k) const {
    return store_.Columns().Has(k) ? store_.Columns()[k].dataNumeric : 0;
}
void UC_ListView::SetDataNumeric(int k, std::int32_t v) {
    if (store_.Columns().Has(k)) store_.Columns()[k].dataNumeric = v;
}

// ---------------------------------------------------------------- geometry

int UC_ListView::RowsPerPage() const {
    const int h = store_.OneHeight();
    return h > 0 ? PxToTwips(height()) / h : 0;
}

int UC_ListView::TopRowMax() const { return std::max(0, store_.ItemCount() - RowsPerPage()); }

void UC_ListView::ScrollTo(int top) {
    store_.SetTopRow(std::clamp(top, 0, TopRowMax()));
    store_.SetLastDrawnTopRow(store_.TopRow());
}

void UC_ListView::ReDrawTab(int) { update(); }

void UC_ListView::UserControl_Resize() {
    if (!initialised_) return;
    SetVbarParm();
    ReDraw();
}

void UC_ListView::SetVbarParm() {
    if (store_.TopRow() > TopRowMax()) ScrollTo(store_.TopRow());
}

void UC_ListView::ReDraw() {
    if (initialised_) update();
}

void UC_ListView::Refresh() {
    SetVbarParm();
    ScrollTo(0);
    ReDraw();
}

void UC_ListView::ShowSelected(int ifHidden) {
    const int c = store_.SelectedItem();
    if (store_.HasCursor()) {
        const int top = store_.TopRow(), rows = RowsPerPage();
        if (ifHidden == 0 || c < top || c >= top + rows)
            ScrollTo(c - RoundEvenInt(rows / 2.0));
    }
    ReDraw();
}

void UC_ListView::ShowItem(int topItem, int ifHidden) {
    if (topItem >= 0 && topItem < store_.ItemCount()) {
        const int top = store_.TopRow();
        if (ifHidden == 0 || topItem < top || topItem >= top + RowsPerPage()) ScrollTo(topItem);
    }
    ReDraw();
}

void UC_ListView::VBarScroll(int notches) {
    if (notches == 0) return;
    ScrollTo(store_.TopRow() + notches * numWheelScroll_);
    ReDraw();
}

// ---------------------------------------------------------------- painting

void UC_ListView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), ToQColor(backColor_));
    const int rowPx = store_.OneHeight() / Tpp();
    if (!initialised_ || rowPx <= 0) return;
    const int textLeft = 22;
    for (int j = 0, i = store_.TopRow(); i < store_.ItemCount() && j * rowPx < height(); ++j, ++i) {
        const ListEntry* e = store_.Entry(i);
        const QRect row(0, j * rowPx, width(), rowPx);
        if (e->selected == 1) p.fillRect(row.adjusted(0, 1, 0, 0), ToQColor(selectedColor_));
        if (e->hLine != 0) {
            p.setPen(ToQColor(e->hLine));
            p.drawLine(0, row.top() + 1, width(), row.top() + 1);
        }
        p.setPen(ToQColor(e->dispColor));
        const QString text = e->data.empty() ? QString() : e->data[0].ToText();
        p.drawText(row.adjusted(textLeft, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft,
                   fontMetrics().elidedText(text, Qt::ElideRight, width() - textLeft - 4));
    }
}

void UC_ListView::resizeEvent(QResizeEvent*) { UserControl_Resize(); }

// ---------------------------------------------------------------- mouse and drops

void UC_ListView::mousePressEvent(QMouseEvent* e) {
    pressSeen_ = true;
    const float x = TwipsOf(e->position().x()), y = TwipsOf(e->position().y());
    emit MouseDown(Button(e->button()), Shift(e->modifiers()), x, y);
    if (e->button() != Qt::LeftButton) return;
    if (store_.ItemCount() == 0) {
        store_.SetSelectedItem(-1);
        return;
    }
    const int h = std::max(store_.OneHeight(), 1);
    const int r = std::clamp(RoundEvenInt(y - PxToTwips(4)) / h + store_.TopRow(), 0,
                             store_.ItemCount() - 1);
    store_.UnSelectAll();
    store_.SetSelectedItem(r);
    ReDraw();
}

void UC_ListView::mouseReleaseEvent(QMouseEvent* e) {
    if (!pressSeen_) return;
    pressSeen_ = false;
    const float x = TwipsOf(e->position().x()), y = TwipsOf(e->position().y());
    if (e->button() == Qt::RightButton) emit RightClicked(x, y);
    else emit Clicked(x, y);
}

void UC_ListView::mouseDoubleClickEvent(QMouseEvent*) {
    if (store_.ItemCount() > 0) emit DblClicked();
}

void UC_ListView::dragEnterEvent(QDragEnterEvent* e) {
    emit OLEDragOver();
    e->acceptProposedAction();
}

void UC_ListView::dragMoveEvent(QDragMoveEvent* e) {
    emit OLEDragOver();
    e->acceptProposedAction();
}

void UC_ListView::dropEvent(QDropEvent* e) {
    const int button = e->buttons() & Qt::RightButton ? 2 : 1;
    emit OLEDragDrop(e->mimeData(), static_cast<int>(e->dropAction()), button,
                     Shift(e->modifiers()), TwipsOf(e->position().x()), TwipsOf(e->position().y()));
    e->acceptProposedAction();
}

}  // namespace rilumo
