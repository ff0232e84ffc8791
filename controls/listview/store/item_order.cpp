// Sorting and shuffling of the item store.

#include <QStringView>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "controls/listview/store/item_store.h"
#include "support/error_trap.h"
#include "support/rounding.h"

namespace rilumo {

namespace {

// Sort keys are computed once per entry. A text column's lower-cased texts
// are ranked first (equal texts share a rank), so the sort compares numbers
// and reaches exactly the order that comparing the texts would give. The sort
// moves these small records; the order is applied to the entries at the end.
struct SortKey {
    double key;  // the number, or the text's rank
    std::int32_t entry;
    bool empty;  // sorts after every other cell, in either direction
};

// Stable in both directions: equal keys keep the order they had, which is
// what lets one sort refine another.
void StableSort(std::vector<SortKey>& keys, bool descending) {
    std::stable_sort(keys.begin(), keys.end(), [descending](const SortKey& a, const SortKey& b) {
        if (a.empty != b.empty) return b.empty;
        return descending ? a.key > b.key : a.key < b.key;
    });
}

bool IsEmptyCell(const Value* v) { return !v || v->IsEmpty() || (v->IsText() && v->ToText().isEmpty()); }

// The lower-cased texts of one column, packed into one buffer.
class LoweredTexts {
public:
    explicit LoweredTexts(int n) {
        start_.reserve(static_cast<size_t>(n));
        length_.reserve(static_cast<size_t>(n));
        text_.reserve(static_cast<size_t>(n) * 32);
    }
    void Add(const QString& s) {
        const size_t at = text_.size();
        const size_t len = static_cast<size_t>(s.size());
        start_.push_back(static_cast<std::uint32_t>(at));
        text_.resize(at + len);
        const char16_t* in = reinterpret_cast<const char16_t*>(s.utf16());
        char16_t* out = text_.data() + at;
        size_t i = 0;
        // Most titles are plain ASCII: those are lowered here, the rest get
        // the full case mapping.
        for (; i < len && in[i] < 0x80; ++i)
            out[i] = static_cast<char16_t>(static_cast<unsigned>(in[i] - u'A') < 26u ? in[i] + 32 : in[i]);
        if (i < len) {
            const QString lower = s.toLower();
            text_.resize(at);
            text_.insert(text_.end(), lower.utf16(), lower.utf16() + lower.size());
        }
        length_.push_back(static_cast<std::int32_t>(text_.size() - at));
    }
    QStringView At(int i) const {
        return QStringView(text_.data() + start_[static_cast<size_t>(i)], length_[static_cast<size_t>(i)]);
    }
    // First four code units, high end first: ordering these agrees with the
    // ordinal order of the texts wherever they differ, and most comparisons end here.
    std::uint64_t Prefix(int i) const {
        const QStringView v = At(i);
        std::uint64_t p = 0;
        for (int k = 0; k < 4; ++k) p = (p << 16) | (k < v.size() ? v[k].unicode() : 0u);
        return p;
    }

private:
    std::vector<char16_t> text_;
    std::vector<std::uint32_t> start_;
    std::vector<std::int32_t> length_;
};

// rank[i] orders entry i's text among all of them; equal texts get equal ranks.
std::vector<std::uint32_t> Ranks(const LoweredTexts& texts, int n) {
    struct Item {
        std::uint64_t prefix;
        std::int32_t entry;
    };
    std::vector<Item> items(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) items[static_cast<size_t>(i)] = {texts.Prefix(i), i};
    const auto less = [&](const Item& a, const Item& b) {
        if (a.prefix != b.prefix) return a.prefix < b.prefix;
        return QtPrivate::compareStrings(texts.At(a.entry), texts.At(b.entry), Qt::CaseSensitive) < 0;
    };
    std::sort(items.begin(), items.end(), less);
    std::vector<std::uint32_t> rank(static_cast<size_t>(n));
    std::uint32_t r = 0;
    for (size_t k = 0; k < items.size(); ++k) {
        if (k > 0 && less(items[k - 1], items[k])) ++r;
        rank[static_cast<size_t>(items[k].entry)] = r;
    }
    return rank;
}

const Value* CellOf(const ListEntry& e, int column) {
    return static_cast<size_t>(column) < e.data.size() ? &e.data[static_cast<size_t>(column)] : nullptr;
}

}  // namespace

bool ItemStore::SortOrder(int column, bool numeric, bool descending, std::vector<int>& order) const {
    const int n = ItemCount();
    std::vector<SortKey> keys(static_cast<size_t>(n));
    if (numeric) {
        for (int i = 0; i < n; ++i) {
            const rilumo::Value* v = CellOf(entries_[static_cast<size_t>(i)], column);
            bool good = true;
            const bool empty = IsEmptyCell(v);
            const double d = empty ? 0.0 : v->ToNumber(&good);
            // A text that is no number: nothing moves.
            if (!good) return false;
            keys[static_cast<size_t>(i)] = {d, i, empty};
        }
    } else {
        LoweredTexts texts(n);
        for (int i = 0; i < n; ++i) {
            const rilumo::Value* v = CellOf(entries_[static_cast<size_t>(i)], column);
            texts.Add(v ? v->ToText() : QString());
        }
        const std::vector<std::uint32_t> rank = Ranks(texts, n);
        for (int i = 0; i < n; ++i)
            keys[static_cast<size_t>(i)] = {double(rank[static_cast<size_t>(i)]), i, texts.At(i).isEmpty()};
    }
    StableSort(keys, descending);
    for (int i = 0; i < n; ++i) order[static_cast<size_t>(i)] = keys[static_cast<size_t>(i)].entry;
    return true;
}

void ItemStore::Permute(const std::vector<int>& order) {
    const size_t n = order.size();
    std::vector<bool> placed(n, false);
    for (size_t start = 0; start < n; ++start) {
        if (placed[start] || static_cast<size_t>(order[start]) == start) continue;
        ListEntry held = std::move(entries_[start]);
        size_t slot = start;
        for (;;) {
            placed[slot] = true;
            const size_t from = static_cast<size_t>(order[slot]);
            if (from == start) {
                entries_[slot] = std::move(held);
                break;
            }
            entries_[slot] = std::move(entries_[from]);
            slot = from;
        }
    }
}

bool ItemStore::ReOrder(int orderItem, int force) {
    // A column that does not exist has nothing to sort by.
    if (orderItem < 0 || orderItem >= numData_) return false;
    const int n = ItemCount();
    // The cursor entry is marked so that the cursor can follow it.
    const int marked = HasCursor() ? cursor_ : -1;
    if (marked >= 0) entries_[static_cast<size_t>(marked)].selected = 2;

    const bool descending = orderItem == lastSortColumn_ && !lastSortReversed_ && force != 1;
    lastSortColumn_ = orderItem;
    const bool numeric = columns_.Has(orderItem) && columns_[orderItem].dataNumeric != 0;

    std::vector<int> order(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) order[static_cast<size_t>(i)] = i;
    // A failed sort leaves the identity order: nothing moves.
    const bool sorted = SortOrder(orderItem, numeric, descending, order);
    Permute(order);
    RowsChanged();

    // The marker never survives the call, not even a failed one: an entry left
    // at 2 would look unselected and still be removed by DeleteSelected.
    if (marked >= 0) {
        const auto at = std::find(order.begin(), order.end(), marked);
        cursor_ = static_cast<int>(at - order.begin());
        Select(entries_[static_cast<size_t>(cursor_)]);
    }
    if (!sorted) {
        Trap([] { Fail("ReOrder: type mismatch, a cell of the numeric column is no number"); });
        return false;
    }
    lastSortReversed_ = descending;
    return true;
}

void ItemStore::RndItem() {
    const int n = ItemCount();
    if (n < 3) return;
    lastSortColumn_ = -1;
    lastSortReversed_ = false;
    const long w = static_cast<long>(RoundEven(n / 100.0 + 7.0));
    const float span = static_cast<float>(n - 1);
    for (int i = 0; i < n; ++i) {
        const float r = random_ ? random_() : ReseededUniform();
        const long long c = RoundEven(static_cast<double>(r * span) + static_cast<double>(i % w));
        if (c < n) std::swap(entries_[static_cast<size_t>(i)], entries_[static_cast<size_t>(c)]);
    }
    RowsChanged();
}

}  // namespace rilumo
