#include "support/legacy_text.h"

#include <gtest/gtest.h>

namespace rilumo {
namespace {

QString Cp932(const char* bytes, bool* ok = nullptr) {
    bool decoded = false;
    QString text = DecodeCp932(QByteArray(bytes), &decoded);
    if (ok) *ok = decoded;
    return text;
}

TEST(LegacyTextTest, Cp932TableKnownCharacters) {
    bool ok = false;
    EXPECT_EQ(Cp932("\xB1", &ok), QString::fromUtf8("ｱ"));
    EXPECT_TRUE(ok);
    EXPECT_EQ(Cp932("\x87\x40"), QString::fromUtf8("①"));
    EXPECT_EQ(Cp932("\x81\x60"), QString::fromUtf8("～"));
    EXPECT_EQ(Cp932("\x93\x8C\x8B\x9E"), QString::fromUtf8("東京"));
    // Windows keeps 0x5C a backslash (drawn as a yen sign by Japanese fonts).
    EXPECT_EQ(Cp932("a\\b~"), QStringLiteral("a\\b~"));
    EXPECT_EQ(Cp932("\x81\x8F"), QString::fromUtf8("￥"));
}

TEST(LegacyTextTest, Cp932RejectsInvalidAndTruncatedSequences) {
    bool ok = true;
    EXPECT_TRUE(Cp932("\x93", &ok).isEmpty());  // lead byte at the end
    EXPECT_FALSE(ok);
    Cp932("\x81\x20", &ok);  // trail byte out of range
    EXPECT_FALSE(ok);
    Cp932("\xFF", &ok);
    EXPECT_FALSE(ok);
    EXPECT_FALSE(LooksLikeCp932("plain ascii"));
    EXPECT_TRUE(LooksLikeCp932("\x83\x5E\x83\x43\x83\x67\x83\x8B"));
}

TEST(LegacyTextTest, LatinDeclaredTextPrefersCp932OnlyWhenItDecodes) {
    EXPECT_EQ(DecodeLegacyLatin1("\x83\x5E\x83\x43\x83\x67\x83\x8B"), QString::fromUtf8("タイトル"));
    // "Café" in Latin-1 ends on a lone lead byte, so CP932 fails.
    EXPECT_EQ(DecodeLegacyLatin1("Caf\xE9"), QString::fromUtf8("Café"));
    EXPECT_EQ(DecodeLegacyLatin1("plain"), QStringLiteral("plain"));
}

TEST(LegacyTextTest, UnknownTextHonoursMarksThenUtf8ThenCp932) {
    EXPECT_EQ(DecodeUnknownText("\xEF\xBB\xBF\xE6\x9D\xB1"), QString::fromUtf8("東"));
    EXPECT_EQ(DecodeUnknownText(QByteArray("\xFF\xFE\x71\x67", 4)), QString::fromUtf8("東"));
    EXPECT_EQ(DecodeUnknownText(QByteArray("\xFE\xFF\x67\x71", 4)), QString::fromUtf8("東"));
    // Valid UTF-8 is never re-decoded, even when the same bytes are CP932.
    const QByteArray utf8 = QString::fromUtf8("ｱ東").toUtf8();
    EXPECT_EQ(DecodeUnknownText(utf8), QString::fromUtf8("ｱ東"));
    EXPECT_EQ(DecodeUnknownText("\x93\x8C\x8B\x9E"), QString::fromUtf8("東京"));
    EXPECT_EQ(DecodeUnknownText("Caf\xE9"), QString::fromUtf8("Café"));
    EXPECT_EQ(DecodeUnknownText(QByteArray()), QString());
}

}  // namespace
}  // namespace rilumo
