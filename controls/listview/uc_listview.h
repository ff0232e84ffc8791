#pragma once
// UC_ListView: the playlist view. It owns the item store and exposes every
// item operation under the names the rest of the program uses.
//
// Property convention: a read/write property P is read as P(args...) and
// written as SetP(args..., value), the value always last
// (Value(i, col) / SetValue(i, col, v), DispColor(i) / SetDispColor(i, c),
// SelectedItem() / SetSelectedItem(v)). Operations keep their own names.
// SetOneHeight() with no argument measures the row height from the font;
// SetOneHeight(h) is the write of OneHeight.
//
// This first version paints a plain list of text rows; the item operations
// never repaint, the caller calls ReDraw or Refresh when it is done.

#include <QString>
#include <QWidget>

#include <cstdint>

#include "controls/listview/store/item_store.h"

class QMimeData;

namespace rilumo {

class UC_ListView : public QWidget {
    Q_OBJECT
public:
    explicit UC_ListView(QWidget* parent = nullptr);

    ItemStore& Store() { return store_; }
    const ItemStore& Store() const { return store_; }

    // --- Counts and storage ---
    int NumData() const { return store_.NumData(); }
    void SetNumData(int n) { store_.SetNumData(n); }
    int NumAux() const { return store_.NumAux(); }
    void SetNumAux(int n) { store_.SetNumAux(n); }
    void ResetNumTab() { store_.ResetNumTab(); }
    int ItemCount() const { return store_.ItemCount(); }
    int Count() const { return store_.ItemCount(); }  // shorthand for ItemCount
    bool AddItem(int num = 1) { return store_.AddItem(num); }
    bool InsertItem(int index, int num = 1) { return store_.InsertItem(index, num); }
    void DeleteItem(int index) { store_.DeleteItem(index); }
    void DeleteItemEx(int from, int to) { store_.DeleteItemEx(from, to); }
    void DeleteAll() { store_.DeleteAll(); }
    void DeleteSelected() { store_.DeleteSelected(); }

    // --- Per-entry fields ---
    rilumo::Value Value(int index, int dataIdx) const { return store_.Value(index, dataIdx); }
    void SetValue(int index, int dataIdx, rilumo::Value v) { store_.SetValue(index, dataIdx, std::move(v)); }
    rilumo::Value AuxID(int index, int auxIdx) const { return store_.AuxID(index, auxIdx); }
    void SetAuxID(int index, int auxIdx, rilumo::Value v) { store_.SetAuxID(index, auxIdx, std::move(v)); }
    std::int32_t IconType(int index) const { return store_.IconType(index); }
    void SetIconType(int index, std::int32_t t) { store_.SetIconType(index, t); }
    std::uint32_t DispColor(int index) const { return store_.DispColor(index); }
    void SetDispColor(int index, std::uint32_t c) { store_.SetDispColor(index, c); }
    std::uint32_t HLine(int index) const { return store_.HLine(index); }
    void SetHLine(int index, std::uint32_t c) { store_.SetHLine(index, c); }
    std::int32_t IsSelected(int index) const { return store_.IsSelected(index); }
    void SetIsSelected(int index, std::int32_t v) { store_.SetIsSelected(index, v); }

    // --- Selection and cursor ---
    int SelectedItem() const { return store_.SelectedItem(); }
    void SetSelectedItem(int v) { store_.SetSelectedItem(v); }
    int SelectedData() const { return store_.SelectedData(); }
    int NumSelectedItems() const { return store_.NumSelectedItems(); }
    bool MultiSelected() const { return store_.MultiSelected(); }
    void SelectAll() { store_.SelectAll(); }
    void UnSelectAll() { store_.UnSelectAll(); }
    void MoveCursor(int isDown) { store_.MoveCursor(isDown); }
    void ExchangeItem(int plus) { store_.ExchangeItem(plus); }
    int YsItem(float y) const { return store_.YsItem(y); }

    // --- Ordering ---
    bool ReOrder(int orderItem, int force) { return store_.ReOrder(orderItem, force); }
    void RndItem() { store_.RndItem(); }

    // --- Combo lists ---
    void AddComboItem(int dataIdx, const QString& text) { store_.AddComboItem(dataIdx, text); }
    void ClearComboItem(int dataIdx) { store_.ClearComboItem(dataIdx); }
    int ComboIndex(int index, int dataIdx) const { return store_.ComboIndex(index, dataIdx); }

    // --- Set-up, columns and painting ---
    std::int32_t OneHeight() const { return store_.OneHeight(); }
    void SetOneHeight(std::int32_t twips);
    void SetOneHeight();
    void SetStyle(float size, bool bold, const QString& name, std::uint32_t foreColor,
                  std::uint32_t backColor);
    void SetSelectedColor(std::uint32_t c) { selectedColor_ = c; }
    void SetSelectedColorMode(std::int32_t m) { selectedColorMode_ = m; }
    void SetUseUCBar(std::int32_t v) { useUCBar_ = v; }
    void Init();
    QString TabName(int dataIdx) const;
    void SetTabName(int dataIdx, const QString& name);
    std::int32_t TabWidth(int dataIdx) const;
    void SetTabWidth(int dataIdx, std::int32_t twips);
    std::int32_t TabHidden(int dataIdx) const;
    void SetTabHidden(int dataIdx, std::int32_t v);
    std::int32_t TabAlign(int dataIdx) const;
    void SetTabAlign(int dataIdx, std::int32_t v);
    std::int32_t DataNumeric(int dataIdx) const;
    void SetDataNumeric(int dataIdx, std::int32_t v);
    void SetUseTextCombo(int dataIdx, std::int32_t kind) { store_.Columns().SetUseTextCombo(dataIdx, kind); }
    void ReDrawTab(int pushedData);
    void UserControl_Resize();
    void SetVbarParm();
    void ReDraw();
    void Refresh();
    void ShowSelected(int ifHidden);
    void ShowItem(int topItem, int ifHidden);
    void VBarScroll(int notches);
    void SetNumWheelScroll(int rows) { numWheelScroll_ = rows; }

    // Rows that fit the list surface (0 before the row height is known).
    int RowsPerPage() const;

signals:
    void MouseDown(int button, int shift, float x, float y);
    void Clicked(float x, float y);
    void DblClicked();
    void RightClicked(float x, float y);
    // Something was dropped on the list; x, y in twips of the list surface.
    void OLEDragDrop(const QMimeData* data, int effect, int button, int shift, float x, float y);
    void OLEDragOver();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    int TopRowMax() const;
    void ScrollTo(int top);

    ItemStore store_;
    bool initialised_ = false;
    std::uint32_t foreColor_ = 0x80000008u;
    std::uint32_t backColor_ = 0x80000005u;
    std::uint32_t selectedColor_ = 0x00C0A0A0u;
    std::int32_t selectedColorMode_ = 9;
    std::int32_t useUCBar_ = 0;
    int numWheelScroll_ = 3;
    bool pressSeen_ = false;
};

}  // namespace rilumo
