#pragma once
// Language mode and font substitution: whether the controls keep Qt's
// default fonts or get fonts of the program's own, and the shared table of
// those fonts (two controls asking for the same font share one entry).

#include <QFont>
#include <QString>

#include <functional>

class QLocale;
class QWidget;

namespace rilumo {

namespace globals {
// 1 on systems whose language test fails, else the "LangMode" setting.
inline int LanguageMode = 0;
// Face used when a control asks for none; "ＭＳ Ｐゴシック" from the first use.
inline QString DefaultFontFace;
}  // namespace globals

// Decides LanguageMode and globals::FontSubstitution, once per process.
void SetLanguageMode();

// The platform language identifier of a locale (Japanese 0x0411, English 0x0409, ...).
int LanguageIdOf(const QLocale& locale);
// Whether Japanese text renders with the default application font (itself
// or through font fallback) without missing glyphs.
bool DefaultFontRendersJapanese();

// Tests replace the two probes (nullptr restores the real ones) and let the
// decision run again.
void SetLanguageProbesForTesting(std::function<int()> languageId, std::function<bool()> rendersJapanese);
void ResetLanguageDecisionForTesting();

struct FontEntry {
    QFont font;
    float size = 0;   // points
    short bold = 0;   // -1 bold
    short italic = 0; // -1 italic
    QString face;
    int pixelHeight = 0;
    int weight = 0;   // 0 normal, else the weight asked for (700 at 15 twips per pixel)
    int charset = 0;  // 128 Shift-JIS, 0 for "Impact"
};

void CreateFontEntry(float size, short bold, short italic, const QString& face);
int FontCount();
// Entry i; an empty entry for an index out of range.
const FontEntry& FontAt(int i);

// What ApplyFont reads from a control for index -1.
class FontSource {
public:
    virtual ~FontSource() = default;
    virtual float FontSize() const = 0;
    virtual short FontBold() const = 0;
    virtual short FontItalic() const = 0;
    virtual QString FontName() const = 0;
    virtual QWidget* FontWindow() const = 0;
};

// Index -1: font and window from control; -2: from the arguments (found or
// created); 0 or more: that entry. Sets the font on window and returns the
// entry used, or 0 when there is none.
int ApplyFont(QWidget* window, int index, const FontSource* control, float size, short bold, short italic,
              const QString& face);

void DeleteFonts();

}  // namespace rilumo
