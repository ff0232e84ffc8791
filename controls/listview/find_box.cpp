#include "controls/listview/find_box.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

#include "support/units.h"

namespace rilumo {

namespace {
constexpr std::uint32_t kBack = 0xFFFFFF;
constexpr std::uint32_t kText = 0x000000;
constexpr std::uint32_t kPreedit = 0x804000;
constexpr int kPadPx = 4;

// A character outside the basic plane goes as a whole, never half a pair.
QString WithoutLastCharacter(const QString& s) {
    qsizetype n = s.size();
    if (n == 0) return s;
    --n;
    if (n > 0 && s.at(n).isLowSurrogate() && s.at(n - 1).isHighSurrogate()) --n;
    return s.left(n);
}
}  // namespace

FindBox::FindBox(QWidget* parent) : SurfaceWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    hide();
}

void FindBox::Open() {
    text_.clear();
    preedit_.clear();
    show();
    raise();
    setFocus(Qt::OtherFocusReason);
    Draw();
}

void FindBox::Close() {
    preedit_.clear();
    hide();
}

void FindBox::Draw() {
    Surface& s = Pic();
    s.SetBackColor(kBack);
    s.Cls();
    const int h = s.HeightPx();
    const int textTop = std::max(0, (h - s.TextHeightPx(QStringLiteral("|"))) / 2);
    s.SetForeColor(kText);
    s.PrintPx(kPadPx, textTop, text_);
    const int x = kPadPx + s.TextWidthPx(text_);
    if (!preedit_.isEmpty()) {
        s.SetForeColor(kPreedit);
        s.PrintPx(x, textTop, preedit_);
        const int w = s.TextWidthPx(preedit_);
        s.LinePx(x, h - kPadPx, x + w, h - kPadPx, kPreedit);
    }
    const int caret = x + s.TextWidthPx(preedit_);
    s.LinePx(caret, kPadPx, caret, h - kPadPx, kText);
    s.DrawEdge(0, 0, s.WidthPx(), h, kEdgeSunken, kBfRect);
}

void FindBox::Edit(const QString& text) {
    if (text == text_) {
        Draw();
        return;
    }
    text_ = text;
    Draw();
    emit TextEdited(text_);
}

void FindBox::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Escape: emit Closed(); return;
    case Qt::Key_Return:
    case Qt::Key_Enter: emit Accepted(); return;
    case Qt::Key_Backspace: Edit(WithoutLastCharacter(text_)); return;
    default: break;
    }
    const QString typed = e->text();
    // Control characters (Tab, Ctrl+letters) are no text to look for.
    if (typed.isEmpty() || !typed.at(0).isPrint() || (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        e->ignore();
        return;
    }
    Edit(text_ + typed);
}

// The window's key commands act on releases; the box's keys are its own.
void FindBox::keyReleaseEvent(QKeyEvent* e) { e->accept(); }

void FindBox::inputMethodEvent(QInputMethodEvent* e) {
    preedit_ = e->preeditString();
    if (!e->commitString().isEmpty()) Edit(text_ + e->commitString());
    else Draw();
    e->accept();
}

QVariant FindBox::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
    case Qt::ImEnabled: return true;
    case Qt::ImCursorRectangle: {
        const int x = kPadPx + Pic().TextWidthPx(text_);
        return QRect(x, 0, 1, height());
    }
    case Qt::ImSurroundingText: return text_;
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition: return int(text_.size());
    default: return SurfaceWidget::inputMethodQuery(query);
    }
}

void FindBox::resizeEvent(QResizeEvent* e) {
    SurfaceWidget::resizeEvent(e);
    if (isVisible()) Draw();
}

bool IsFindBox(const QObject* w) { return qobject_cast<const FindBox*>(w) != nullptr; }

}  // namespace rilumo
