#pragma once
// The text form a find compares: compatibility forms unified (full- and
// half-width letters, digits and kana), case folded, katakana as hiragana.
// A typed text and an entry's cells match when the folded cells contain the
// folded text.

#include <QString>

namespace rilumo {

QString FoldForFind(const QString& text);

}  // namespace rilumo
