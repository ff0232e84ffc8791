#pragma once
// The column table of the playlist view: per-column captions, widths, display
// order, editor kinds and the sort flag, plus the layout that turns widths,
// hidden flags and order into left and right edges (twips).

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace rilumo {

class Value;

// How a column turns its cells into text.
enum class CellFormat : std::int32_t {
    Plain,           // the value's own text
    MinutesSeconds,  // a number of milliseconds as m'ss ("3'07"); 0 or less shows nothing
};

struct ColumnInfo {
    QString name;                  // TabName
    std::int32_t position = 0;     // TabOrder: display position from the left
    std::int32_t hidden = 0;       // TabHidden
    std::int32_t width = 0;        // TabWidth, twips
    std::int32_t left = 0;         // computed by Layout()
    std::int32_t right = 0;
    std::int32_t align = 0;        // TabAlign: 1 = right-aligned
    std::int32_t useTextCombo = 0; // bit 0 text editor, bit 1 combo editor
    std::int32_t frontObj = 0;     // 1 text editor in front, 2 combo
    std::int32_t comboNum = 0;     // editor numbers, assigned when editors are built
    std::int32_t textNum = 0;
    std::int32_t textIsTime = 0;
    std::int32_t dataNumeric = 0;  // non-zero: sort numerically
    CellFormat format = CellFormat::Plain;
    QStringList comboItems;        // choices of the column's combo editor
};

// What a cell of column c shows (and what a search of the shown cells sees).
QString CellText(const ColumnInfo& c, const Value& v);

class ColumnTable {
public:
    static constexpr std::int32_t kMinWidth = 450;

    // Rebuilds the table for n columns: everything cleared, position = number.
    void Reset(int n);
    int Count() const { return static_cast<int>(cols_.size()); }
    bool Has(int k) const { return k >= 0 && k < Count(); }

    // Unchecked access: callers pass a column number below Count().
    ColumnInfo& operator[](int k) { return cols_[static_cast<size_t>(k)]; }
    const ColumnInfo& operator[](int k) const { return cols_[static_cast<size_t>(k)]; }

    // Column shown at display position p.
    int ColumnAt(int p) const { return posMap_[static_cast<size_t>(p)]; }

    // Width raised to the minimum, then the layout runs again.
    void SetWidth(int k, std::int32_t w);
    void SetHidden(int k, std::int32_t h);
    // 1 or 3 bring the text editor to the front, 2 the combo editor.
    void SetUseTextCombo(int k, std::int32_t kind);
    // Moves column tab to display position value, shifting the columns in between;
    // out-of-range arguments change nothing. Does not run the layout.
    void SetTabOrder(int tab, int value);

    // Visible columns abut in display order from x = 0; a hidden one has zero
    // width where it would stand.
    void Layout();

private:
    void RebuildPosMap();

    std::vector<ColumnInfo> cols_;
    std::vector<int> posMap_;
};

}  // namespace rilumo
