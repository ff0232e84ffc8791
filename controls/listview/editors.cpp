// The playlist view's in-place editors: a text editor or a combo box per
// column that asks for one, shown on the cursor row; what they store, and
// the keys they hand to the host first.

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

#include "controls/key_codes.h"
#include "controls/listview/uc_listview.h"
#include "controls/listview/view_metrics.h"
#include "controls/surface_widget.h"

namespace rilumo {

using namespace listview;

namespace {

constexpr int kTextBit = 1;
constexpr int kComboBit = 2;

bool ReadPair(const QString& t, int from, int& v) {
    bool ok = false;
    v = t.mid(from, 2).toInt(&ok);
    return ok;
}

// Six digits hhmmss within 0-30 h, 0-59 min, 0-59 s, as "hh:mm:ss"; else empty.
QString TimeAid(const QString& t) {
    if (t.size() != 6) return {};
    bool numeric = false;
    t.toDouble(&numeric);
    int h = 0, m = 0, s = 0;
    if (!numeric || !ReadPair(t, 0, h) || !ReadPair(t, 2, m) || !ReadPair(t, 4, s)) return {};
    if (h < 0 || h > 30 || m < 0 || m > 59 || s < 0 || s > 59) return {};
    return t.left(2) + ':' + t.mid(2, 2) + ':' + t.right(2);
}

void HideIfShown(QWidget* w) {
    if (!w->isHidden()) w->hide();
}

}  // namespace

QLineEdit* UC_ListView::NewTextEditor(int n) {
    auto* t = new QLineEdit(list_);
    t->hide();
    if (!textLV_.empty()) t->setFont(textLV_[0]->font());
    t->installEventFilter(this);
    connect(t, &QLineEdit::textChanged, this, [this, n] { TextChanged(n); });
    return t;
}

QComboBox* UC_ListView::NewComboEditor(int n) {
    auto* b = new QComboBox(list_);
    b->hide();
    if (!comboLV_.empty()) b->setFont(comboLV_[0]->font());
    b->installEventFilter(this);
    connect(b, &QComboBox::activated, this, [this, n](int i) { ComboChosen(n, i); });
    return b;
}

// Gives every column that asks for editors its own, creating them as needed,
// and sizes them all.
void UC_ListView::NumberEditors() {
    ColumnTable& cols = store_.Columns();
    int nText = 0, nCombo = 0;
    for (int k = 0; k < cols.Count(); ++k) {
        ColumnInfo& c = cols[k];
        if (c.useTextCombo & kTextBit) {
            c.textNum = nText;
            if (nText >= int(textLV_.size())) textLV_.push_back(NewTextEditor(nText));
            ++nText;
        }
        if (c.useTextCombo & kComboBit) {
            c.comboNum = nCombo;
            if (nCombo >= int(comboLV_.size())) comboLV_.push_back(NewComboEditor(nCombo));
            QComboBox* b = comboLV_[size_t(nCombo)];
            b->clear();
            b->addItems(c.comboItems);
            ++nCombo;
        }
    }
    const bool anyCombo = nCombo > 0, anyEditor = nText + nCombo > 0;
    const int comboH = comboLV_[0]->sizeHint().height();
    const int textH = anyCombo ? comboH : std::max(1, TwipsToPx(view_.oneHeight) - 2);
    for (QLineEdit* t : textLV_) t->resize(t->width(), textH);
    for (QComboBox* b : comboLV_) b->resize(b->width(), comboH);
    editorHeight_ = anyEditor ? PxToTwips(textLV_[0]->height()) : view_.oneHeight - PxToTwips(2);
}

void UC_ListView::AddComboItem(int k, const QString& text) {
    store_.AddComboItem(k, text);
    const ColumnTable& cols = store_.Columns();
    if (cols.Has(k) && (cols[k].useTextCombo & kComboBit) && cols[k].comboNum < int(comboLV_.size()))
        comboLV_[size_t(cols[k].comboNum)]->addItem(text);
}

void UC_ListView::ClearComboItem(int k) {
    store_.ClearComboItem(k);
    const ColumnTable& cols = store_.Columns();
    if (cols.Has(k) && (cols[k].useTextCombo & kComboBit) && cols[k].comboNum < int(comboLV_.size()))
        comboLV_[size_t(cols[k].comboNum)]->clear();
}

bool UC_ListView::TextComboVisible() const {
    return !textLV_[0]->isHidden() || !comboLV_[0]->isHidden();
}
QLineEdit* UC_ListView::TextEditor(int n) const {
    return n >= 0 && n < int(textLV_.size()) ? textLV_[size_t(n)] : nullptr;
}
QComboBox* UC_ListView::ComboEditor(int n) const {
    return n >= 0 && n < int(comboLV_.size()) ? comboLV_[size_t(n)] : nullptr;
}

// The editors of column c follow it across the strip.
void UC_ListView::PlaceEditorsAcross(const ColumnInfo& c) {
    const int left = TwipsToPx(c.left - double(hOffset_)) + 3;
    const int width = std::max(1, TwipsToPx(c.width) - 3);
    if ((c.useTextCombo & kTextBit) && c.textNum < int(textLV_.size())) {
        QLineEdit* t = textLV_[size_t(c.textNum)];
        t->setGeometry(left, t->y(), width, t->height());
    }
    if ((c.useTextCombo & kComboBit) && c.comboNum < int(comboLV_.size())) {
        QComboBox* b = comboLV_[size_t(c.comboNum)];
        b->setGeometry(left, b->y(), width, b->height());
    }
}

void UC_ListView::PlaceEditorsVertically(int j, const ListEntry& e) {
    const ColumnTable& cols = store_.Columns();
    const int y = TwipsToPx(double(j) * view_.oneHeight) + 1;
    for (int p = 0; p < cols.Count(); ++p) {
        const int c = cols.ColumnAt(p);
        const ColumnInfo& col = cols[c];
        const QString cell = size_t(c) < e.data.size() ? e.data[size_t(c)].ToText() : QString();
        // Only the column's front editor shows; the other one stays behind it.
        auto place = [&](QWidget* w, bool front) {
            if (!front || col.hidden) {
                HideIfShown(w);
                return false;
            }
            if (w->y() != y) w->move(w->x(), y);
            return true;
        };
        if ((col.useTextCombo & kTextBit) && col.textNum < int(textLV_.size())) {
            QLineEdit* t = textLV_[size_t(col.textNum)];
            if (place(t, col.frontObj == 1)) {
                if (t->text() != cell) t->setText(cell);
                if (t->isHidden() && hideTextCombo_ == 0) t->show();
            }
        }
        if ((col.useTextCombo & kComboBit) && col.comboNum < int(comboLV_.size())) {
            QComboBox* b = comboLV_[size_t(col.comboNum)];
            if (place(b, col.frontObj == 2)) {
                if (b->currentText() != cell) {
                    const int i = b->findText(cell);
                    if (i >= 0) b->setCurrentIndex(i);
                    else if (b->isEditable()) b->setEditText(cell);
                }
                if (b->isHidden() && hideTextCombo_ == 0) b->show();
            }
        }
    }
}

void UC_ListView::HideEditors() {
    for (QLineEdit* t : textLV_) HideIfShown(t);
    for (QComboBox* b : comboLV_) HideIfShown(b);
}

// The column whose text (or combo) editor is number n, or -1.
int UC_ListView::EditorColumn(bool isCombo, int n) const {
    const ColumnTable& cols = store_.Columns();
    const int bit = isCombo ? kComboBit : kTextBit;
    for (int k = 0; k < cols.Count(); ++k)
        if ((cols[k].useTextCombo & bit) && (isCombo ? cols[k].comboNum : cols[k].textNum) == n) return k;
    return -1;
}

void UC_ListView::TextChanged(int n) {
    int column = EditorColumn(false, n);
    const bool isTime = column < 0 || store_.Columns()[column].textIsTime != 0;
    if (column < 0) column = 0;
    QLineEdit* ed = textLV_[size_t(n)];
    if (isTime) {
        const QString aided = TimeAid(ed->text());
        if (!aided.isEmpty()) {
            // Setting the text comes back here with 8 characters and stores it.
            ed->setText(aided);
            return;
        }
    }
    if (store_.HasCursor()) store_.SetValue(-1, column, ed->text());
}

void UC_ListView::ComboChosen(int n, int index) {
    const ColumnTable& cols = store_.Columns();
    QComboBox* b = comboLV_[size_t(n)];
    for (int k = 0; k < cols.Count(); ++k) {
        if (!(cols[k].useTextCombo & kComboBit) || cols[k].comboNum != n) continue;
        if (!store_.HasCursor()) continue;
        store_.SetValue(-1, k, b->currentText());
        int data = k, value = index;
        emit ComboChaged(data, value);
    }
}

bool UC_ListView::EditorEvent(QObject* watched, QEvent* event) {
    const QEvent::Type t = event->type();
    if ((t != QEvent::KeyPress && t != QEvent::KeyRelease) || inKeyForward_) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    for (size_t n = 0; n < textLV_.size(); ++n)
        if (watched == textLV_[n]) return EditorKey(false, int(n), key);
    for (size_t n = 0; n < comboLV_.size(); ++n)
        if (watched == comboLV_[n]) return EditorKey(true, int(n), key);
    return false;
}

bool UC_ListView::EditorKey(bool isCombo, int n, QKeyEvent* e) {
    const int column = EditorColumn(isCombo, n);
    if (column < 0) return false;
    const bool press = e->type() == QEvent::KeyPress;
    int key = VirtualKeyOf(e->key());
    int shift = KeyShiftOf(e->modifiers());
    const int origKey = key;
    emit TextComboKeyAction(isCombo ? 1 : 0, column, press ? 1 : 0, key, shift);
    if (key == 0) return true;  // the host swallowed the key
    QString text = e->text();
    if (press && !text.isEmpty() && text.at(0).isPrint()) {
        int ch = text.at(0).unicode();
        const int origCh = ch;
        int noShift = 0;
        emit TextComboKeyAction(isCombo ? 1 : 0, column, 2, ch, noShift);
        if (ch == 0) return true;
        if (ch != origCh) text = QString(QChar(ch));
        else if (key == origKey) return false;
    } else if (key == origKey) {
        return false;
    }
    // Hand the editor the key the host wrote back.
    QKeyEvent changed(e->type(), QtKeyOf(key), e->modifiers(), text, e->isAutoRepeat());
    inKeyForward_ = true;
    QObject* target = isCombo ? static_cast<QObject*>(comboLV_[size_t(n)])
                              : static_cast<QObject*>(textLV_[size_t(n)]);
    QCoreApplication::sendEvent(target, &changed);
    inKeyForward_ = false;
    return true;
}

}  // namespace rilumo
