#include "app/list_find.h"

#include <QEvent>

#include "app/find_text.h"
#include "controls/listview/find_box.h"
#include "controls/listview/uc_listview.h"
#include "support/units.h"

namespace rilumo {

namespace {
constexpr int kBoxHeightPx = 22;
constexpr int kBarPx = 22;  // room for the vertical bar at the right
}  // namespace

ListFind::ListFind(UC_ListView& lv, std::function<void()> play)
    : QObject(&lv), lv_(lv), box_(new FindBox(&lv)), play_(std::move(play)) {
    box_->setObjectName(QStringLiteral("FindBox"));
    connect(box_, &FindBox::TextEdited, this, &ListFind::Narrow);
    connect(box_, &FindBox::Accepted, this, &ListFind::PlayFirst);
    connect(box_, &FindBox::Closed, this, &ListFind::Close);
    // A click in the narrowed list chooses the entry Esc comes back to.
    connect(&lv_, &UC_ListView::Clicked, this, [this] {
        if (IsOpen()) Remember(lv_.SelectedItem());
    });
    lv_.installEventFilter(this);
}

// Open even while the window itself is hidden or minimised.
bool ListFind::IsOpen() const { return box_->isVisibleTo(&lv_); }

void ListFind::Open() {
    if (lv_.Narrowed()) lv_.ShowAll();
    folded_.clear();
    chosen_ = -1;
    chosenPath_.clear();
    Place();
    box_->Open();
    // Folding every entry once here keeps each keystroke to a plain scan.
    for (int i = 0; i < lv_.ItemCount(); ++i) KeyOf(i);
}

void ListFind::Place() {
    const int w = std::max(1, lv_.width() - kBarPx);
    box_->setGeometry(0, std::max(0, lv_.height() - kBoxHeightPx - kBarPx), w, kBoxHeightPx);
}

bool ListFind::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &lv_ && event->type() == QEvent::Resize && IsOpen()) Place();
    return false;
}

// The folded text of an entry's shown cells, made once and kept with the
// entry until one of its cells changes.
const QString& ListFind::KeyOf(int entry) {
    const ListEntry* e = lv_.Store().Entry(entry);
    if (!e) return scratch_;
    if (!e->findKey.isEmpty()) return e->findKey;
    const ColumnTable& cols = lv_.Store().Columns();
    // The leading separator keeps a key of empty cells from reading as unmade.
    QString key(u'\n');
    for (int c = 0; c < cols.Count(); ++c)
        if (!cols[c].hidden && size_t(c) < e->data.size()) key += CellText(cols[c], e->data[size_t(c)]) + u'\n';
    lv_.Store().SetFindKey(entry, FoldForFind(key));
    return lv_.Store().Entry(entry)->findKey;
}

void ListFind::Narrow(const QString& text) {
    const QString folded = FoldForFind(text);
    if (folded.isEmpty()) {
        lv_.ShowAll();
    } else {
        // A longer text only ever narrows what is already shown.
        const bool within = lv_.Narrowed() && !folded_.isEmpty() && folded.startsWith(folded_);
        ItemStore& store = lv_.Store();
        lv_.NarrowTo([&](int i) {
            if (within && store.Entry(i)->narrowedOut) return false;
            return KeyOf(i).contains(folded);
        });
    }
    folded_ = folded;
    lv_.Refresh();
}

void ListFind::Remember(int entry) {
    chosen_ = entry;
    chosenPath_ = lv_.AuxID(entry, 0).ToText();
}

int ListFind::Chosen() const {
    if (chosen_ < 0 || chosenPath_.isEmpty()) return -1;
    if (lv_.AuxID(chosen_, 0).ToText() == chosenPath_) return chosen_;
    // The entry moved (a sort, a deletion above it): found again by its path.
    for (int i = 0; i < lv_.ItemCount(); ++i)
        if (lv_.AuxID(i, 0).ToText() == chosenPath_) return i;
    return -1;
}

void ListFind::PlayFirst() {
    const int first = lv_.ShownEntry(0);
    if (first < 0) return;
    lv_.UnSelectAll();
    lv_.SetSelectedItem(first);
    Remember(first);
    if (play_) play_();
}

void ListFind::Close() {
    box_->Close();
    folded_.clear();
    lv_.ShowAll();
    // The folded texts are as large as the cells: not kept between finds.
    lv_.Store().ClearFindKeys();
    const int chosen = Chosen();
    if (chosen >= 0) {
        lv_.UnSelectAll();
        lv_.SetSelectedItem(chosen);
    }
    lv_.Refresh();
    if (lv_.Store().HasCursor()) lv_.ShowSelected(0);
    lv_.setFocus(Qt::OtherFocusReason);
}

void ListFind::ColumnsChanged() {
    lv_.Store().ClearFindKeys();
    if (!IsOpen() || folded_.isEmpty()) return;
    folded_.clear();
    Narrow(box_->Text());
}

}  // namespace rilumo
