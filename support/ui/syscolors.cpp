#include "support/ui/syscolors.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>
#include <bitset>

namespace rilumo {

namespace {

constexpr int kCount = 31;  // system colours 0..30

struct Table {
    std::array<std::uint32_t, kCount> color{};
    std::bitset<kCount> pinned;
    bool resolved = false;
};

Table& table() {
    static Table t;
    return t;
}

std::uint32_t bgr(const QColor& c) {
    return static_cast<std::uint32_t>(c.red()) | static_cast<std::uint32_t>(c.green()) << 8 |
           static_cast<std::uint32_t>(c.blue()) << 16;
}

// The palette role standing in for each system colour.
QColor fromPalette(const QPalette& p, int n) {
    using R = QPalette;
    switch (n) {
    case 0: return p.color(R::Button);                        // scroll bar
    case 1: return p.color(R::Dark);                          // desktop
    case 2: return p.color(R::Highlight);                     // active caption
    case 3: return p.color(R::Mid);                           // inactive caption
    case 4: return p.color(R::Button);                        // menu
    case 5: return p.color(R::Base);                          // window
    case 6: return p.color(R::Shadow);                        // window frame
    case 7: return p.color(R::WindowText);                    // menu text
    case 8: return p.color(R::Text);                          // window text
    case 9: return p.color(R::HighlightedText);               // caption text
    case 10: return p.color(R::Button);                       // active border
    case 11: return p.color(R::Button);                       // inactive border
    case 12: return p.color(R::Mid);                          // application workspace
    case 13: return p.color(R::Highlight);                    // selection
    case 14: return p.color(R::HighlightedText);              // selected text
    case 15: return p.color(R::Button);                       // button face
    case 16: return p.color(R::Dark);                         // button shadow
    case 17: return p.color(R::Disabled, R::Text);            // grey text
    case 18: return p.color(R::ButtonText);                   // button text
    case 19: return p.color(R::Disabled, R::WindowText);      // inactive caption text
    case 20: return p.color(R::Light);                        // button highlight
    case 21: return p.color(R::Shadow);                       // dark shadow
    case 22: return p.color(R::Midlight);                     // 3-D light
    case 23: return p.color(R::ToolTipText);                  // tool tip text
    case 24: return p.color(R::ToolTipBase);                  // tool tip background
    case 26: return p.color(R::Link);                         // hot tracking
    case 27: return p.color(R::Highlight);                    // caption gradient
    case 28: return p.color(R::Mid);                          // inactive caption gradient
    case 29: return p.color(R::Highlight);                    // menu highlight
    default: return p.color(R::Button);                       // 25 (unused), 30 menu bar
    }
}

// The classic desktop colours, for a process without a GUI application.
constexpr std::array<std::uint32_t, kCount> kClassic = {
    0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
    0x000000, 0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xFF9933, 0xFFFFFF, 0xF0F0F0,
    0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
    0xE1FFFF, 0x000000, 0xCC6600, 0xEAD1B9, 0xF2E4D7, 0xFF9933, 0xF0F0F0};

void resolveIfNeeded() {
    if (!table().resolved) ResolveSystemColors();
}

}  // namespace

void ResolveSystemColors() {
    Table& t = table();
    const bool gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    const QPalette palette = gui ? QGuiApplication::palette() : QPalette();
    for (int n = 0; n < kCount; ++n) {
        if (t.pinned[n]) continue;
        t.color[n] = gui ? bgr(fromPalette(palette, n)) : kClassic[n];
    }
    t.resolved = true;
}

void PinSystemColor(int n, std::uint32_t color) {
    if (n < 0 || n >= kCount) return;
    resolveIfNeeded();
    table().color[n] = color & 0x00FFFFFFu;
    table().pinned[n] = true;
}

void UnpinSystemColors() {
    table().pinned.reset();
    table().resolved = false;
}

std::uint32_t GetSysColor(int n) {
    if (n < 0 || n >= kCount) return 0;
    resolveIfNeeded();
    return table().color[n];
}

std::uint32_t ResolveColor(std::uint32_t color) {
    if (color & kSysColorFlag) return GetSysColor(static_cast<int>(color & 0x00FFFFFFu));
    return color & 0x00FFFFFFu;
}

}  // namespace rilumo
