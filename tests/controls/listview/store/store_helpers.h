#pragma once
// Builders and readers shared by the item store tests (and the view state
// whose rules they run against a store).

#include <QString>
#include <QStringList>

#include "controls/listview/store/item_store.h"
#include "controls/listview/store/view_state.h"

namespace rilumo::test {

// A store with one entry per text, the text in data column 0 and a unique
// tag "#i" in aux 0 so that tests can follow entries wherever they move.
inline ItemStore StoreWith(const QStringList& texts, int numData = 1) {
    ItemStore s;
    s.SetNumData(numData);
    s.Init();
    s.AddItem(static_cast<int>(texts.size()));
    for (int i = 0; i < texts.size(); ++i) {
        s.SetValue(i, 0, texts[i]);
        s.SetAuxID(i, 0, QStringLiteral("#%1").arg(i));
    }
    return s;
}

inline QStringList Column(const ItemStore& s, int col = 0) {
    QStringList out;
    for (int i = 0; i < s.ItemCount(); ++i) out << s.Value(i, col).ToText();
    return out;
}

inline QStringList Tags(const ItemStore& s) {
    QStringList out;
    for (int i = 0; i < s.ItemCount(); ++i) out << s.AuxID(i, 0).ToText();
    return out;
}

// True when the tags are exactly #0 .. #n-1 in some order.
inline bool IsPermutation(const ItemStore& s, int n) {
    QStringList t = Tags(s);
    if (t.size() != n) return false;
    QStringList want;
    for (int i = 0; i < n; ++i) want << QStringLiteral("#%1").arg(i);
    t.sort();
    want.sort();
    return t == want;
}

}  // namespace rilumo::test
