#include "app/find_text.h"

namespace rilumo {

namespace {

bool IsAscii(const QString& s) {
    for (QChar c : s)
        if (c.unicode() >= 0x80) return false;
    return true;
}

// Katakana ァ..ヶ and the iteration marks ヽヾ sit 0x60 above their hiragana.
void KanaToHiragana(QString& s) {
    for (QChar& c : s) {
        const char16_t u = c.unicode();
        if ((u >= 0x30A1 && u <= 0x30F6) || u == 0x30FD || u == 0x30FE) c = QChar(char16_t(u - 0x60));
    }
}

}  // namespace

QString FoldForFind(const QString& text) {
    // Most titles are plain ASCII, where folding is lower-casing.
    if (IsAscii(text)) return text.toLower();
    // NFKC first: half-width katakana become full-width (voiced marks joined),
    // full-width letters and digits become ASCII, before case and kana folds.
    QString s = text.normalized(QString::NormalizationForm_KC).toCaseFolded();
    KanaToHiragana(s);
    return s;
}

}  // namespace rilumo
