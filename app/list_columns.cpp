#include "app/list_columns.h"

#include <QMenu>
#include <QStringList>

#include <algorithm>

#include "controls/listview/uc_listview.h"
#include "media/track_tags.h"
#include "support/paths.h"
#include "support/settings.h"

namespace rilumo {

namespace {

// Shown columns in display order, and every column's width, as comma lists
// of decimal numbers: "0,4,5" and "6000,3000,...".
const QString kShownKey = QStringLiteral("ListColumns");
const QString kWidthsKey = QStringLiteral("ListColumnWidths");
constexpr int kCount = static_cast<int>(ListColumn::Count);
constexpr int kMaxWidth = 144000;  // 100 inches: anything wider is damage

struct ColumnDef {
    const char* caption;
    int width;  // twips
};

constexpr ColumnDef kDefs[kCount] = {
    {"タイトル", 6000}, {"曲名", 3000},     {"アーティスト", 2400}, {"アルバム", 2400},
    {"トラック", 900},  {"長さ", 900},     {"形式", 2100},         {"フォルダ", 3600},
};

std::vector<int> ReadNumbers(const QString& key) {
    std::vector<int> out;
    for (const QString& part : ReadSetting(key, QString()).split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int v = part.trimmed().toInt(&ok);
        out.push_back(ok ? v : -1);
    }
    return out;
}

QString NumberList(const std::vector<int>& v) {
    QStringList parts;
    for (int n : v) parts << QString::number(n);
    return parts.join(u',');
}

// The shown columns from the settings: known, each once, never none.
std::vector<int> StoredShown() {
    std::vector<int> shown;
    for (int c : ReadNumbers(kShownKey))
        if (c >= 0 && c < kCount && std::find(shown.begin(), shown.end(), c) == shown.end()) shown.push_back(c);
    if (shown.empty()) shown.push_back(DataIndex(ListColumn::FileTitle));
    return shown;
}

void ApplyLooks(UC_ListView& lv) {
    for (ListColumn c : {ListColumn::Track, ListColumn::Length}) {
        lv.SetTabAlign(DataIndex(c), 1);
        lv.SetDataNumeric(DataIndex(c), 1);
    }
    lv.SetCellFormat(DataIndex(ListColumn::Length), CellFormat::MinutesSeconds);
}

// Shown columns in display order.
std::vector<int> ShownColumns(const UC_ListView& lv) {
    std::vector<int> shown;
    for (int p = 0; p < lv.NumData(); ++p) {
        const int c = lv.Store().Columns().ColumnAt(p);
        if (lv.TabHidden(c) == 0) shown.push_back(c);
    }
    return shown;
}

void Relayout(UC_ListView& lv, const std::function<void()>& changed) {
    lv.RelayoutColumns();
    SaveListColumns(lv);
    if (changed) changed();
}

// Showing a column puts it right of the one the menu was opened on.
void ToggleColumn(UC_ListView& lv, int c, int at) {
    if (lv.TabHidden(c) == 0) {
        lv.SetTabHidden(c, 1);
        return;
    }
    lv.SetTabHidden(c, 0);
    const int pc = lv.TabOrder(c), pa = lv.TabOrder(at);
    lv.SetTabOrder(c, pc > pa ? pa + 1 : pa);
}

// Moves column one shown column to the left (step -1) or right (+1).
void MoveColumn(UC_ListView& lv, int column, int step) {
    const std::vector<int> shown = ShownColumns(lv);
    const auto at = std::find(shown.begin(), shown.end(), column);
    if (at == shown.end()) return;
    const long k = (at - shown.begin()) + step;
    if (k < 0 || k >= long(shown.size())) return;
    lv.SetTabOrder(column, lv.TabOrder(shown[size_t(k)]));
}

}  // namespace

QString ColumnCaption(ListColumn c) {
    const int k = static_cast<int>(c);
    return k >= 0 && k < kCount ? QString::fromUtf8(kDefs[k].caption) : QString();
}

void ShowTrackTags(UC_ListView& lv, int row, const TrackTags& tags) {
    lv.SetValue(row, DataIndex(ListColumn::TagTitle), tags.title);
    lv.SetValue(row, DataIndex(ListColumn::Artist), tags.artist);
    lv.SetValue(row, DataIndex(ListColumn::Album), tags.album);
    // Unknown numbers stay empty cells, which sort after the known ones.
    lv.SetValue(row, DataIndex(ListColumn::Track), tags.trackNumber > 0 ? Value(tags.trackNumber) : Value());
    lv.SetValue(row, DataIndex(ListColumn::Length),
                tags.lengthMs > 0 ? Value(static_cast<double>(tags.lengthMs)) : Value());
    lv.SetValue(row, DataIndex(ListColumn::Format), FormatSummary(tags));
}

void ShowFileColumns(UC_ListView& lv, int row, const QString& path) {
    // Entries come folder by folder: one shared copy of the text per folder
    // keeps a 100,000-entry list light.
    static QString lastFolder;
    static QString lastShown;
    const qsizetype slash = path.lastIndexOf(u'/');
    const QStringView folder = QStringView(path).left(slash > 0 ? slash : 0);
    if (folder != lastFolder) {
        lastFolder = folder.toString();
        lastShown = DisplayName(lastFolder);
    }
    lv.SetValue(row, DataIndex(ListColumn::Folder), lastShown);
}

std::vector<PlaylistColumn> ListColumnSet() {
    std::vector<PlaylistColumn> set;
    for (int k = 0; k < kCount; ++k) set.push_back({QString::fromUtf8(kDefs[k].caption), kDefs[k].width});
    return set;
}

void RestoreListColumns(UC_ListView& lv) {
    if (lv.NumData() != kCount) return;
    ApplyLooks(lv);
    const std::vector<int> widths = ReadNumbers(kWidthsKey);
    for (int k = 0; k < kCount; ++k) {
        const int w = size_t(k) < widths.size() ? widths[size_t(k)] : -1;
        lv.SetTabWidth(k, w > 0 && w <= kMaxWidth ? w : kDefs[k].width);
    }
    const std::vector<int> shown = StoredShown();
    for (int k = 0; k < kCount; ++k)
        lv.SetTabHidden(k, std::find(shown.begin(), shown.end(), k) == shown.end() ? 1 : 0);
    for (size_t p = 0; p < shown.size(); ++p) lv.SetTabOrder(shown[p], int(p));
    lv.Store().Columns().Layout();
}

void SaveListColumns(const UC_ListView& lv) {
    if (lv.NumData() != kCount) return;
    std::vector<int> widths;
    for (int k = 0; k < kCount; ++k) widths.push_back(lv.TabWidth(k));
    WriteSetting(kShownKey, NumberList(ShownColumns(lv)));
    WriteSetting(kWidthsKey, NumberList(widths));
}

bool OnlyTitleShown(const UC_ListView& lv) {
    const std::vector<int> shown = ShownColumns(lv);
    return shown.size() == 1 && shown[0] == DataIndex(ListColumn::FileTitle);
}

QMenu* NewColumnMenu(QWidget* parent, UC_ListView& lv, int column, std::function<void()> changed) {
    auto* menu = new QMenu(parent);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const bool lastShown = ShownColumns(lv).size() == 1;
    for (int k = 0; k < kCount && k < lv.NumData(); ++k) {
        QAction* a = menu->addAction(ColumnCaption(static_cast<ListColumn>(k)));
        a->setCheckable(true);
        a->setChecked(lv.TabHidden(k) == 0);
        a->setEnabled(!(lastShown && lv.TabHidden(k) == 0));
        QObject::connect(a, &QAction::triggered, &lv, [&lv, k, column, changed] {
            ToggleColumn(lv, k, column);
            Relayout(lv, changed);
        });
    }
    menu->addSeparator();
    const std::vector<int> shown = ShownColumns(lv);
    const bool isShown = std::find(shown.begin(), shown.end(), column) != shown.end();
    for (int step : {-1, 1}) {
        QAction* a = menu->addAction(step < 0 ? QStringLiteral("左へ移動") : QStringLiteral("右へ移動"));
        a->setEnabled(isShown && column != (step < 0 ? shown.front() : shown.back()));
        QObject::connect(a, &QAction::triggered, &lv, [&lv, column, step, changed] {
            MoveColumn(lv, column, step);
            Relayout(lv, changed);
        });
    }
    return menu;
}

}  // namespace rilumo
