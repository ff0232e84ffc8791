#include <gtest/gtest.h>

#include <QApplication>
#include <QPalette>

#include "support/ui/syscolors.h"

using namespace rilumo;

namespace {
std::uint32_t bgr(const QColor& c) {
    return std::uint32_t(c.red()) | std::uint32_t(c.green()) << 8 | std::uint32_t(c.blue()) << 16;
}
}  // namespace

TEST(SysColors, TableComesFromThePalette) {
    UnpinSystemColors();
    ResolveSystemColors();
    const QPalette p = QApplication::palette();
    EXPECT_EQ(GetSysColor(5), bgr(p.color(QPalette::Base)));
    EXPECT_EQ(GetSysColor(8), bgr(p.color(QPalette::Text)));
    EXPECT_EQ(GetSysColor(15), bgr(p.color(QPalette::Button)));
    EXPECT_EQ(GetSysColor(16), bgr(p.color(QPalette::Dark)));
    EXPECT_EQ(GetSysColor(20), bgr(p.color(QPalette::Light)));
    EXPECT_EQ(GetSysColor(21), bgr(p.color(QPalette::Shadow)));
    EXPECT_EQ(GetSysColor(31), 0u);
    EXPECT_EQ(GetSysColor(-1), 0u);
}

TEST(SysColors, PinnedColoursSurviveAResolveAndReferencesResolve) {
    PinSystemColor(15, 0x00112233);
    ResolveSystemColors();
    EXPECT_EQ(GetSysColor(15), 0x00112233u);
    EXPECT_EQ(ResolveColor(kSysColorFlag + 15), 0x00112233u);
    EXPECT_EQ(ResolveColor(0x00ABCDEF), 0x00ABCDEFu);
    EXPECT_EQ(ResolveColor(kSysColorFlag + 99), 0u);
    UnpinSystemColors();
    EXPECT_EQ(GetSysColor(15), bgr(QApplication::palette().color(QPalette::Button)));
}
