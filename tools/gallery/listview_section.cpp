#include <QLabel>

#include <vector>

#include "controls/listview/playlist_view_setup.h"
#include "controls/listview/uc_listview.h"
#include "tools/gallery/gallery.h"

namespace rilumo::gallery {

namespace {

constexpr int kEntries = 3000;
constexpr int kViewWidth = 470;
constexpr int kViewHeight = 250;

// Columns: 0 title, 1 bit rate (numeric, right-aligned), 2 length (time text
// editor), 3 path (hidden), 4 gain (combo editor).
enum { kTitle, kRate, kLength, kPath, kGain, kColumns };
const char* const kGains[] = {"0 dB", "+3 dB", "-6 dB"};

struct Look {
    // The main window's row height, 255, is lower than the editors, whose
    // height the tints take, so the tints reach into the next row; 345 fits them.
    PlaylistLook view;
    std::int32_t titleWidth;  // wide enough on one view to need the horizontal bar
    bool madara;
    int top;     // first visible entry
    int cursor;  // offset of the cursor entry from top
};

QString Title(int i) {
    static const char* const names[] = {"Morning Sketch", "夜の散歩", "Long Distance Call With A Very Long Title",
                                        "Interlude", "Café au lait", "Rain (live)"};
    return QStringLiteral("%1. %2").arg(i + 1, 4, 10, QChar('0')).arg(QString::fromUtf8(names[i % 6]));
}

void Fill(UC_ListView& lv, const Look& look) {
    lv.AddItem(kEntries);
    for (int i = 0; i < kEntries; ++i) {
        lv.SetValue(i, kTitle, Title(i));
        lv.SetValue(i, kRate, QString::number(64 + (i * 37) % 257));
        const int secs = 95 + (i * 53) % 600;
        lv.SetValue(i, kLength, QStringLiteral("%1:%2").arg(secs / 60, 2, 10, QChar('0')).arg(secs % 60, 2, 10, QChar('0')));
        lv.SetValue(i, kPath, QStringLiteral("/music/%1.ogg").arg(i));
        // Every fifth entry has no gain: the blank tint marks those rows.
        lv.SetValue(i, kGain, i % 5 == 2 ? QString() : QString::fromUtf8(kGains[i % 3]));
        lv.SetIconType(i, i % 11 == 10 ? -1 : i % 10);
    }
    const int t = look.top;
    const std::uint32_t colours[] = {0x0000FF, 0x00A000, 0xFF6000, 0x808080};
    for (int k = 0; k < 4; ++k) lv.SetDispColor(t + 2 + 3 * k, colours[k]);
    lv.SetHLine(t + 4, 0x0000FF);
    lv.SetHLine(t + 9, 0x00C000);
    for (int i = t + 6; i <= t + 8; ++i) lv.SetIsSelected(i, 1);
    lv.SetIsSelected(t + 11, 1);
}

UC_ListView* MakeView(QWidget* area, int x, const Look& look) {
    auto* lv = new UC_ListView(area);
    lv->setGeometry(x, 0, kViewWidth, kViewHeight);
    const char* names[] = {"タイトル", "Bit rate (kbps)", "Length", "Path", "Gain"};
    const std::int32_t widths[] = {look.titleWidth, 900, 1100, 2000, 1400};
    std::vector<PlaylistColumn> columns;
    for (int k = 0; k < kColumns; ++k) columns.push_back({QString::fromUtf8(names[k]), widths[k]});
    SetUpPlaylistView(*lv, columns, look.view);
    lv->SetUseMadara(look.madara ? 1 : 0);
    lv->SetBorderIfBlank(look.madara ? kGain + 1 : 0);
    lv->SetDataNumeric(kRate, 1);
    lv->SetTabAlign(kRate, 1);
    lv->SetUseTextCombo(kLength, 1);
    lv->SetTextIsTime(kLength, 1);
    lv->SetTabHidden(kPath, 1);
    lv->SetUseTextCombo(kGain, 2);
    for (const char* g : kGains) lv->AddComboItem(kGain, QString::fromUtf8(g));
    lv->InitTab();
    lv->ReDrawTab(-1);

    Fill(*lv, look);
    lv->SetVbarParm();
    lv->SetSelectedItem(look.top + look.cursor);
    lv->ShowItem(look.top, 0);
    lv->ReDraw();
    return lv;
}

}  // namespace

void AddListViewSection(Gallery& g) {
    QWidget* area = g.AddSection(
        QStringLiteral("UC_ListView, 3000 entries: slider bars and the main window's dark colours (mode 15); "
                       "standard bars, light defaults (mode 9), shading and blank tint"),
        kViewHeight + 20);
    area->setMinimumWidth(2 * kViewWidth + 10);
    const Look dark{PlaylistLook{}, 2700, false, 1500, 3};
    const Look light{PlaylistLook{false, 345, 0x80000008u, 0x80000005u, kDrawMaskPen, 0x00C0A0A0}, 3600, true,
                     0, 1};
    MakeView(area, 0, dark);
    MakeView(area, kViewWidth + 10, light);
    auto* note = new QLabel(QStringLiteral("cursor rows carry the length editor and the gain combo; "
                                           "the path column is hidden"),
                            area);
    note->move(0, kViewHeight + 2);
}

}  // namespace rilumo::gallery
