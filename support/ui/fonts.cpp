#include "support/ui/fonts.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QLocale>
#include <QTextLayout>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <vector>

#include "support/convert.h"
#include "support/error_trap.h"
#include "support/globals.h"
#include "support/rounding.h"
#include "support/settings.h"
#include "support/text.h"
#include "support/units.h"

namespace rilumo {

namespace {

bool decided = false;
std::function<int()> languageProbe;
std::function<bool()> japaneseProbe;
std::vector<FontEntry> fontTable;

int systemLanguageId() { return languageProbe ? languageProbe() : LanguageIdOf(QLocale::system()); }
bool rendersJapanese() { return japaneseProbe ? japaneseProbe() : DefaultFontRendersJapanese(); }

// The face as a 32-byte name field holds it: at most 31 bytes, whole characters.
QString fitFaceField(const QString& face) {
    QString out;
    int bytes = 0;
    for (qsizetype i = 0; i < face.size();) {
        const qsizetype len = face.at(i).isHighSurrogate() && i + 1 < face.size() ? 2 : 1;
        const QString ch = face.mid(i, len);
        const int n = static_cast<int>(ch.toUtf8().size());
        if (bytes + n > 31) break;
        out += ch;
        bytes += n;
        i += len;
    }
    return out;
}

}  // namespace

int LanguageIdOf(const QLocale& locale) {
    const QLocale::Territory t = locale.territory();
    switch (locale.language()) {
    case QLocale::Japanese: return 0x0411;
    case QLocale::English:
        return t == QLocale::UnitedKingdom ? 0x0809 : t == QLocale::Australia ? 0x0C09
                                                  : t == QLocale::Canada      ? 0x1009
                                                                              : 0x0409;
    case QLocale::German: return 0x0407;
    case QLocale::French: return t == QLocale::Canada ? 0x0C0C : 0x040C;
    case QLocale::Spanish: return 0x0C0A;
    case QLocale::Italian: return 0x0410;
    case QLocale::Dutch: return 0x0413;
    case QLocale::Portuguese: return t == QLocale::Brazil ? 0x0416 : 0x0816;
    case QLocale::Russian: return 0x0419;
    case QLocale::Polish: return 0x0415;
    case QLocale::Swedish: return 0x041D;
    case QLocale::Korean: return 0x0412;
    case QLocale::Chinese:
        return locale.script() == QLocale::TraditionalChineseScript || t == QLocale::Taiwan ? 0x0404
                                                                                             : 0x0804;
    default: return 0x0409;  // the C locale and anything unlisted
    }
}

bool DefaultFontRendersJapanese() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return true;
    if (QFontDatabase::families(QFontDatabase::Japanese).isEmpty()) return false;
    // Lay the text out with the default font: fallback fonts take over the
    // characters it lacks, and glyph 0 marks one nobody could draw.
    QTextLayout layout(QStringLiteral("日本語のテキスト、カナ"), QGuiApplication::font());
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const auto runs = layout.glyphRuns();
    if (runs.isEmpty()) return false;
    for (const QGlyphRun& run : runs)
        for (quint32 glyph : run.glyphIndexes())
            if (glyph == 0) return false;
    return true;
}

void SetLanguageProbesForTesting(std::function<int()> languageId, std::function<bool()> renders) {
    languageProbe = std::move(languageId);
    japaneseProbe = std::move(renders);
}

void ResetLanguageDecisionForTesting() {
    decided = false;
    globals::LanguageMode = 0;
    globals::FontSubstitution = 0;
}

void SetLanguageMode() {
    if (decided) return;
    decided = true;
    Trap([] {
        const int id = systemLanguageId();
        if ((~id & 0x11) != 0) {
            globals::LanguageMode = 1;
            return;
        }
        globals::LanguageMode = ToInt32(ReadSetting(QStringLiteral("LangMode"), 0));
        if (globals::LanguageMode != 0) {
            globals::FontSubstitution = 0;
            return;
        }
        // Stands in for the check of the platform's Japanese support files.
        if (!rendersJapanese()) globals::FontSubstitution = 1;
    });
}

void CreateFontEntry(float size, short bold, short italic, const QString& face) {
    FontEntry e;
    e.size = size;
    e.bold = bold;
    e.italic = italic;
    e.face = face;
    const QString trimmed = TrimSpaces(face);
    const float scale = trimmed == QStringLiteral("メイリオ") ? 1.3f : 1.0f;
    // A point size is no position: its twips divide exactly and round after.
    const float height = size * 20.0f * scale / static_cast<float>(Tpp());
    e.pixelHeight = RoundEvenInt(std::fabs(height));
    if (bold == -1) e.weight = RoundEvenInt(15.0 / Tpp() * 700.0);
    e.charset = trimmed == QStringLiteral("Impact") ? 0 : 128;

    e.font.setFamily(fitFaceField(trimmed));
    if (e.pixelHeight > 0) e.font.setPixelSize(e.pixelHeight);
    if (e.weight > 0) e.font.setWeight(static_cast<QFont::Weight>(std::clamp(e.weight, 1, 1000)));
    e.font.setItalic(italic == -1);
    fontTable.push_back(std::move(e));
}

int FontCount() { return static_cast<int>(fontTable.size()); }

const FontEntry& FontAt(int i) {
    static const FontEntry none;
    return i >= 0 && i < FontCount() ? fontTable[static_cast<size_t>(i)] : none;
}

int ApplyFont(QWidget* window, int index, const FontSource* control, float size, short bold, short italic,
              const QString& face) {
    return TrapOr(0, [&] {
        if (globals::DefaultFontFace.isEmpty()) globals::DefaultFontFace = QStringLiteral("ＭＳ Ｐゴシック");
        if (fontTable.empty()) CreateFontEntry(9, 0, 0, globals::DefaultFontFace);

        QString name = face;
        if (index == -1) {
            if (!control) Fail("ApplyFont: no control to take the font from");
            window = control->FontWindow();
            size = control->FontSize();
            bold = control->FontBold();
            italic = control->FontItalic();
            name = control->FontName();
        }
        if (index < 0) {
            if (name.isEmpty()) name = globals::DefaultFontFace;
            if (size == 0) size = 9;
            index = -1;
            for (int i = 0; i < FontCount(); ++i) {
                const FontEntry& e = fontTable[static_cast<size_t>(i)];
                if (e.face == name && e.size == size && e.bold == bold && e.italic == italic) {
                    index = i;
                    break;
                }
            }
            if (index < 0) {
                CreateFontEntry(size, bold, italic, name);
                index = FontCount() - 1;
            }
        }
        if (index >= FontCount()) return 0;
        if (window) window->setFont(fontTable[static_cast<size_t>(index)].font);
        return index;
    });
}

void DeleteFonts() {
    fontTable.clear();
    fontTable.shrink_to_fit();
}

}  // namespace rilumo
