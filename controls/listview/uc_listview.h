#pragma once
// UC_ListView: the playlist view. It owns the item store (the entries) and
// its own view state (row height, scroll position, click memories), and
// exposes every item operation under the names the rest of the program uses.
//
// Property convention: a read/write property P is read as P(args...) and
// written as SetP(args..., value), the value always last
// (Value(i, col) / SetValue(i, col, v), DispColor(i) / SetDispColor(i, c),
// SelectedItem() / SetSelectedItem(v)). Operations keep their own names.
// SetOneHeight() with no argument measures the row height from the font;
// SetOneHeight(h) is the write of OneHeight.
//
// The view is made of picture surfaces: a frame holding the scroll bars, the
// tab strip, the list surface rows are drawn on, and hidden surfaces for the
// tab background and the file-type icons. All geometry is in twips. The item
// operations never repaint; the caller calls ReDraw or Refresh when done.

#include <QEvent>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "controls/listview/store/item_store.h"
#include "controls/listview/store/view_state.h"
#include "controls/surface.h"

class QComboBox;
class QLineEdit;
class QMenu;
class QMimeData;

namespace rilumo {

struct ListScrollBar;
class SurfaceWidget;

class UC_ListView : public QWidget {
    Q_OBJECT
public:
    explicit UC_ListView(QWidget* parent = nullptr);
    ~UC_ListView() override;

    ItemStore& Store() { return store_; }
    const ItemStore& Store() const { return store_; }
    const ListViewState& ViewState() const { return view_; }

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
    void DeleteAll() {
        store_.DeleteAll();
        view_.ForgetRows();
    }
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
    // Column of the last left press on the rows, 0 when beyond NumData.
    int SelectedData() const { return view_.clickedColumn < NumData() ? view_.clickedColumn : 0; }
    int NumSelectedItems() const { return store_.NumSelectedItems(); }
    bool MultiSelected() const { return store_.MultiSelected(); }
    void SelectAll() { store_.SelectAll(); }
    void UnSelectAll() { store_.UnSelectAll(); }
    void MoveCursor(int isDown) { store_.MoveCursor(isDown); }
    void ExchangeItem(int plus) { store_.ExchangeItem(plus); }
    // The entry a drop at y lands before: the count below the last row. While
    // narrowed, the entry after the shown one above y.
    int YsItem(float y) const;

    // --- Ordering ---
    bool ReOrder(int orderItem, int force) { return store_.ReOrder(orderItem, force); }
    void RndItem() { store_.RndItem(); }

    // --- Narrowing: the rows show only some entries; the store keeps them all
    // in their order, and a left-out entry is never selected ---
    void NarrowTo(const std::function<bool(int)>& keep) { store_.NarrowTo(keep); }
    void ShowAll() { store_.ShowAll(); }
    bool Narrowed() const { return store_.Narrowed(); }
    int ShownCount() const { return store_.ShownCount(); }
    int ShownEntry(int row) const { return store_.ShownEntry(row); }

    // --- Combo lists ---
    void AddComboItem(int dataIdx, const QString& text);
    void ClearComboItem(int dataIdx);
    int ComboIndex(int index, int dataIdx) const { return store_.ComboIndex(index, dataIdx); }

    // --- Set-up and geometry ---
    std::int32_t OneHeight() const { return view_.oneHeight; }
    void SetOneHeight(std::int32_t twips);
    // Row height from the list font: the height of "|" plus 6 px.
    void SetOneHeight();
    void SetStyle(float size, bool bold, const QString& name, std::uint32_t foreColor,
                  std::uint32_t backColor);
    void Init();
    void UserControl_Resize();
    void SetVbarParm();
    void ReDraw();
    void Refresh();
    void ShowSelected(int ifHidden);
    void ShowItem(int topItem, int ifHidden);
    int RowsPerPage() const { return rowsPerPage_; }
    int TopRow() const { return view_.topRow; }
    std::int32_t HOffset() const { return hOffset_; }

    // --- Appearance ---
    void SetSelectedColor(std::uint32_t c) { selectedColor_ = c; }
    void SetSelectedColorMode(std::int32_t m) { selectedColorMode_ = m; }
    void SetUseMadara(std::int32_t v) { useMadara_ = v; }
    void SetBorderIfBlank(std::int32_t v) { borderIfBlank_ = v; }
    void SetIconDisabled(std::int32_t v) { iconDisabled_ = v; }
    void SetHbarDisabled(std::int32_t v) { hbarDisabled_ = v; }
    // Ignored once the control is initialised.
    void SetUseUCBar(std::int32_t v) { if (!initialised_) useUCBar_ = v; }
    void SetBarNoDoEvents(std::int32_t v) { barNoDoEvents_ = v; }
    void SetTabDisabled(std::int32_t v) { tabDisabled_ = v; }
    std::int32_t HideTextCombo() const { return hideTextCombo_; }
    void SetHideTextCombo(std::int32_t v) { hideTextCombo_ = v; }

    // --- Columns ---
    QString TabName(int dataIdx) const;
    void SetTabName(int dataIdx, const QString& name);
    std::int32_t TabWidth(int dataIdx) const;
    void SetTabWidth(int dataIdx, std::int32_t twips);
    std::int32_t TabHidden(int dataIdx) const;
    void SetTabHidden(int dataIdx, std::int32_t v);
    std::int32_t TabAlign(int dataIdx) const;
    void SetTabAlign(int dataIdx, std::int32_t v);
    std::int32_t TabOrder(int dataIdx) const;
    void SetTabOrder(int tab, int value) { store_.Columns().SetTabOrder(tab, value); }
    std::int32_t DataNumeric(int dataIdx) const;
    void SetDataNumeric(int dataIdx, std::int32_t v);
    void SetTextIsTime(int dataIdx, std::int32_t v);
    void SetCellFormat(int dataIdx, CellFormat f) {
        if (store_.Columns().Has(dataIdx)) store_.Columns()[dataIdx].format = f;
    }
    // After widths, hidden flags or order changed: edges, bars, tabs and rows.
    void RelayoutColumns();
    void SetUseTextCombo(int dataIdx, std::int32_t kind) { store_.Columns().SetUseTextCombo(dataIdx, kind); }
    void SetFrontObj(int dataIdx, std::int32_t v);
    std::int32_t UseTabOrder() const { return useTabOrder_; }
    void SetUseTabOrder(std::int32_t v) { useTabOrder_ = v; }
    void SetNoAlign4Tab(std::int32_t v) { noAlign4Tab_ = v; }
    void SetSortDisabled(std::int32_t v) { sortDisabled_ = v; }
    std::int32_t ClickDisabled() const { return clickDisabled_; }
    void SetClickDisabled(std::int32_t v) { clickDisabled_ = v; }
    void InitTab();
    void ReDrawTab(int pushedData);
    void SetTabWidthAuto();
    // Last visible column whose right edge lies within 5 px of x (strip
    // coordinates plus the horizontal offset, twips); -1 for none.
    int EdgeAt(double x) const;
    int ColumnAtX(double x) const;
    // The pointer shape over the frame: 0 default, 9 column resize.
    int PointerShape() const { return pointerShape_; }
    // Item k of the position menu chosen for the column it was opened on.
    void ChooseTabPosition(int k);
    QMenu* PositionMenu() const { return menu_; }

    // --- Mouse, scrolling, drag and drop ---
    void SetNoMultiSelect(std::int32_t v) { noMultiSelect_ = v; }
    void SetNoOleScroll(std::int32_t v) { noOleScroll_ = v; }
    void SetNumWheelScroll(int rows) { numWheelScroll_ = rows; }
    void VBarMove(int delta);
    void VBarScroll(int notches);
    // Scroll-bar state (vertical / horizontal), for the host and for tests.
    bool VBarVisible() const;
    int VBarValue() const;
    int VBarMax() const;
    int VBarLargeChange() const;
    bool HBarVisible() const;
    int HBarValue() const;
    int HBarMax() const;
    void SetHBarValue(int v);
    // Seconds since midnight for the drag-over auto-scroll; tests set their own.
    void SetClock(std::function<double()> clock) { clock_ = std::move(clock); }

    // --- In-place editors ---
    bool TextComboVisible() const;
    QLineEdit* TextEditor(int n) const;
    QComboBox* ComboEditor(int n) const;

    // --- The parts ---
    SurfaceWidget* PictureList() const { return list_; }
    SurfaceWidget* PictureTab() const { return tab_; }
    QWidget* PictureAll() const { return all_; }

signals:
    void MouseDown(int button, int shift, float x, float y);
    void Clicked(float x, float y);
    void DblClicked();
    void RightClicked(float x, float y);
    void TabMoved();
    void TabReOrderd();
    // A right click on a tab while UseTabOrder is 0: the host's own menu.
    void TabRightClicked(int column);
    // The host fills data with what is dragged and sets the allowed effects
    // (1 copy, 2 move, 4 link).
    void OLEStartDrag(QMimeData* data, int& allowedEffects);
    void OLECompleteDrag(int& effect);
    // Something was dropped on the list; x, y in twips of the list surface.
    void OLEDragDrop(const QMimeData* data, int effect, int button, int shift, float x, float y);
    void OLEDragOver();
    void ComboChaged(int& pData, int& pValue);
    // A key in an in-place editor: pAction 0 released, 1 pressed, 2 typed.
    // A KeyValue written back is what the editor receives (0 swallows it).
    void TextComboKeyAction(int pIsCombo, int pTab, int pAction, int& KeyValue, int& Shift);

protected:
    // Runs the platform drag for the prepared data and returns the effect;
    // tests override it to stay out of the blocking drag loop.
    virtual int StartDrag(QMimeData* data, int allowedEffects);
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Scrolling (scrolling.cpp).
    ListScrollBar& VBar() const;
    ListScrollBar& HBar() const;
    void CreateBars();
    void PlaceBars();
    void FitVBar(bool need, double height, long long count);
    void FitHBar(bool need, double width, double columnsRight);
    void VSync();
    void HSync();
    void BringIntoView(int index, int ifHidden, bool centre);

    // The row painter (row_painter.cpp).
    void DrawRows();
    void DrawShading(Surface& s, int rows);
    void DrawIcon(Surface& s, const ListEntry& e, double top);
    void DrawCells(Surface& s, const ListEntry& e, double top);
    void DrawMarks(Surface& s, const ListEntry& e, double top);
    void DrawSeparators(Surface& s);

    // Columns and the tab strip (columns.cpp, tab_strip.cpp).
    void BuildPositionMenu();
    void DrawTab(Surface& s, int position, const ColumnInfo& c, bool pushed);
    void TabMouse(QEvent::Type type, QMouseEvent* e);
    void TabRelease(QMouseEvent* e, double x);
    void SetPointerShape(int shape);

    // Mouse and drag on the list surface (list_mouse.cpp).
    bool ListEvent(QEvent* event);
    int RowAt(double y) const;
    void ListPress(QMouseEvent* e);
    void ListRelease(QMouseEvent* e);
    void ListMove(QMouseEvent* e);
    void ListDoubleClick();
    void BeginDrag();
    void DragOver(double x, double y);
    std::optional<long long> DragStep(double y, double dt) const;

    // The in-place editors (editors.cpp).
    QLineEdit* NewTextEditor(int n);
    QComboBox* NewComboEditor(int n);
    void NumberEditors();
    void PlaceEditorsAcross(const ColumnInfo& c);
    void PlaceEditorsVertically(int j, const ListEntry& e);
    void HideEditors();
    void TextChanged(int n);
    void ComboChosen(int n, int index);
    int EditorColumn(bool isCombo, int n) const;
    bool EditorEvent(QObject* watched, QEvent* event);
    bool EditorKey(bool isCombo, int n, QKeyEvent* e);

    ItemStore store_;
    ListViewState view_;
    QWidget* all_;
    SurfaceWidget* tab_;
    SurfaceWidget* list_;
    Surface tabGrad_;
    Surface icons_;
    ListScrollBar* vbar_ = nullptr;
    ListScrollBar* hbar_ = nullptr;
    std::vector<QLineEdit*> textLV_;
    std::vector<QComboBox*> comboLV_;
    QMenu* menu_;

    bool initialised_ = false;
    bool styleSet_ = false;
    std::int32_t editorHeight_ = 0;
    std::int32_t textMargin_ = 0;
    std::int32_t listTop_ = 270;
    int rowsPerPage_ = 0;
    std::int32_t hOffset_ = 0;

    std::uint32_t selectedColor_ = 0x00C0A0A0u;
    std::int32_t selectedColorMode_ = 9;
    std::int32_t useMadara_ = 0;
    std::int32_t borderIfBlank_ = 0;
    std::int32_t iconDisabled_ = 0;
    std::int32_t hbarDisabled_ = 0;
    std::int32_t useUCBar_ = 0;
    std::int32_t barNoDoEvents_ = 0;
    std::int32_t tabDisabled_ = 0;
    std::int32_t hideTextCombo_ = 0;

    std::int32_t useTabOrder_ = 0;
    std::int32_t noAlign4Tab_ = 0;
    std::int32_t sortDisabled_ = 0;
    std::int32_t clickDisabled_ = 0;
    int resizeCol_ = 0;
    int menuCol_ = 0;
    int pointerShape_ = 0;

    std::int32_t noMultiSelect_ = 0;
    std::int32_t noOleScroll_ = 0;
    int numWheelScroll_ = 3;
    bool pressSeen_ = false;
    float pressX_ = -1, pressY_ = -1;
    double lastStepTime_ = 0;
    double dragX_ = 0, dragY_ = 0;
    std::function<double()> clock_;
    bool inKeyForward_ = false;
};

}  // namespace rilumo
