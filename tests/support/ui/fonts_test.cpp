#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QWidget>

#include "support/globals.h"
#include "support/settings.h"
#include "support/ui/fonts.h"

using namespace rilumo;

namespace {

class LanguageMode : public ::testing::Test {
protected:
    void SetUp() override { QFile::remove(NativeSettingsFile()); }
    void TearDown() override {
        SetLanguageProbesForTesting(nullptr, nullptr);
        ResetLanguageDecisionForTesting();
        QFile::remove(NativeSettingsFile());
    }
    void decide(int languageId, bool renders) {
        ResetLanguageDecisionForTesting();
        SetLanguageProbesForTesting([=] { return languageId; }, [=] { return renders; });
        SetLanguageMode();
    }
};

struct Source : FontSource {
    float size = 12;
    short bold = -1, italic = 0;
    QString name = "Noto Sans";
    QWidget* window = nullptr;
    float FontSize() const override { return size; }
    short FontBold() const override { return bold; }
    short FontItalic() const override { return italic; }
    QString FontName() const override { return name; }
    QWidget* FontWindow() const override { return window; }
};

class Fonts : public ::testing::Test {
protected:
    void SetUp() override { DeleteFonts(); }
    void TearDown() override {
        DeleteFonts();
        globals::TwipsPerPixel = 15;
    }
};

}  // namespace

TEST_F(LanguageMode, SystemsFailingTheLanguageTestNeverSubstitute) {
    WriteSetting("LangMode", 0);
    decide(0x0409, false);
    EXPECT_EQ(globals::LanguageMode, 1);
    EXPECT_EQ(globals::FontSubstitution, 0);
    decide(0x0804, false);
    EXPECT_EQ(globals::LanguageMode, 1);
    EXPECT_EQ(globals::FontSubstitution, 0);
}

TEST_F(LanguageMode, JapaneseSystemSubstitutesOnlyWhenJapaneseDoesNotRender) {
    decide(0x0411, true);
    EXPECT_EQ(globals::LanguageMode, 0);
    EXPECT_EQ(globals::FontSubstitution, 0);
    decide(0x0411, false);
    EXPECT_EQ(globals::FontSubstitution, 1);
    // The decision is made once per process.
    SetLanguageProbesForTesting([] { return 0x0409; }, [] { return true; });
    SetLanguageMode();
    EXPECT_EQ(globals::FontSubstitution, 1);
}

TEST_F(LanguageMode, StoredLangModeKeepsDefaultFontsAndBadTextStopsTheDecision) {
    WriteSetting("LangMode", 1);
    decide(0x0411, false);
    EXPECT_EQ(globals::LanguageMode, 1);
    EXPECT_EQ(globals::FontSubstitution, 0);
    WriteSetting("LangMode", "two");
    decide(0x0411, false);
    EXPECT_EQ(globals::FontSubstitution, 0);
}

TEST_F(LanguageMode, LocalesMapToLanguageIdentifiers) {
    EXPECT_EQ(LanguageIdOf(QLocale(QLocale::Japanese, QLocale::Japan)), 0x0411);
    EXPECT_EQ(LanguageIdOf(QLocale(QLocale::English, QLocale::UnitedStates)), 0x0409);
    EXPECT_EQ(LanguageIdOf(QLocale(QLocale::English, QLocale::UnitedKingdom)), 0x0809);
    EXPECT_EQ(LanguageIdOf(QLocale::c()), 0x0409);
    EXPECT_EQ(LanguageIdOf(QLocale(QLocale::Chinese, QLocale::Taiwan)), 0x0404);
}

TEST_F(LanguageMode, TheInstalledCjkFontRendersJapanese) {
    // fonts-noto-cjk is part of the build dependencies.
    EXPECT_TRUE(DefaultFontRendersJapanese());
}

TEST_F(Fonts, SameRequestSharesTheFirstEntry) {
    QWidget a, b;
    EXPECT_EQ(ApplyFont(&a, -2, nullptr, 9, 0, 0, ""), 0);
    EXPECT_EQ(ApplyFont(&b, -2, nullptr, 9, 0, 0, ""), 0);
    ASSERT_EQ(FontCount(), 1);
    EXPECT_EQ(FontAt(0).face, "ＭＳ Ｐゴシック");
    EXPECT_EQ(FontAt(0).pixelHeight, 12);  // 9 pt * 20 / 15
    EXPECT_EQ(a.font(), FontAt(0).font);
    EXPECT_EQ(b.font(), FontAt(0).font);
    // Size 0 and an empty face mean the same request.
    EXPECT_EQ(ApplyFont(&b, -2, nullptr, 0, 0, 0, ""), 0);
    EXPECT_EQ(FontCount(), 1);
}

TEST_F(Fonts, MeiryoIsScaledAndBoldOnlyForMinusOne) {
    QWidget w;
    const int meiryo = ApplyFont(&w, -2, nullptr, 10, 0, 0, "メイリオ");
    EXPECT_EQ(FontAt(meiryo).pixelHeight, 17);  // 10 * 20 * 1.3 / 15 = 17.33
    EXPECT_EQ(w.font().pixelSize(), 17);

    const int one = ApplyFont(&w, -2, nullptr, 10, 1, 0, "Noto Sans");
    const int minusOne = ApplyFont(&w, -2, nullptr, 10, -1, -1, "Noto Sans");
    EXPECT_NE(one, minusOne);
    EXPECT_EQ(FontAt(one).weight, 0);
    EXPECT_FALSE(FontAt(one).font.bold());
    EXPECT_EQ(FontAt(minusOne).weight, 700);
    EXPECT_TRUE(FontAt(minusOne).font.bold());
    EXPECT_TRUE(FontAt(minusOne).font.italic());
    EXPECT_EQ(FontAt(minusOne).charset, 128);
    EXPECT_EQ(FontAt(ApplyFont(&w, -2, nullptr, 10, 0, 0, "Impact")).charset, 0);
}

TEST_F(Fonts, ControlIndexAndExistingEntries) {
    QWidget target, other;
    Source src;
    src.window = &target;
    const int i = ApplyFont(&other, -1, &src, 0, 0, 0, "ignored");
    EXPECT_EQ(FontAt(i).face, "Noto Sans");
    EXPECT_EQ(FontAt(i).size, 12.0f);
    EXPECT_EQ(target.font(), FontAt(i).font);
    EXPECT_NE(other.font(), FontAt(i).font);

    EXPECT_EQ(ApplyFont(&other, i, nullptr, 99, 0, 0, "x"), i);
    EXPECT_EQ(other.font(), FontAt(i).font);
    const int before = FontCount();
    EXPECT_EQ(ApplyFont(&other, 50, nullptr, 9, 0, 0, ""), 0);
    EXPECT_EQ(ApplyFont(&other, -1, nullptr, 9, 0, 0, ""), 0);  // no control to read
    EXPECT_EQ(FontCount(), before);
}

TEST_F(Fonts, TwipsPerPixelAndLongFacesAndDeletion) {
    globals::TwipsPerPixel = 12;
    QWidget w;
    const int i = ApplyFont(&w, -2, nullptr, 9, -1, 0, "ＭＳ Ｐゴシック");
    EXPECT_EQ(FontAt(i).pixelHeight, 15);
    EXPECT_EQ(FontAt(i).weight, 875);
    const QString longFace = QString("あ").repeated(20);
    const int j = ApplyFont(&w, -2, nullptr, 9, 0, 0, longFace);
    EXPECT_EQ(FontAt(j).face, longFace);
    EXPECT_EQ(FontAt(j).font.family(), QString("あ").repeated(10));  // 31 bytes hold ten
    DeleteFonts();
    EXPECT_EQ(FontCount(), 0);
    EXPECT_EQ(FontAt(0).pixelHeight, 0);
}
