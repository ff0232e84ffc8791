#include "controls/listview/uc_listview.h"

#include <QApplication>
#include <QComboBox>
#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTime>

#include <algorithm>
#include <cmath>

#include "controls/control_font.h"
#include "controls/control_resources.h"
#include "controls/draw_primitives.h"
#include "controls/key_codes.h"
#include "controls/surface_widget.h"
#include "controls/uc_slider.h"
#include "controls/units.h"
#include "support/globals.h"
#include "support/ui/fonts.h"

namespace rilumo {

namespace {

constexpr std::int32_t kBarSize = 270;  // 18 px at 15 twips per pixel
constexpr std::uint32_t kBtnFace = 0x80000000u + kColorBtnFace;
constexpr std::uint32_t kBtnShadow = 0x80000000u + kColorBtnShadow;

int ShiftOf(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0);
}

int ButtonOf(Qt::MouseButton b) { return b == Qt::RightButton ? 2 : b == Qt::LeftButton ? 1 : 4; }

int Px(int n) { return PxToTwips(n); }

double SecondsSinceMidnight() { return QTime::currentTime().msecsSinceStartOfDay() / 1000.0; }

bool ReadPair(const QString& t, int from, int& v) {
    bool ok = false;
    v = t.mid(from, 2).toInt(&ok);
    return ok;
}

}  // namespace

// One scroll bar, either the drawn slider or the platform's standard bar.
struct UC_ListView::Bar {
    UC_Slider* slider = nullptr;
    QScrollBar* std = nullptr;
    QWidget* Widget() const { return slider ? static_cast<QWidget*>(slider) : std; }
    int Value() const { return slider ? slider->Value() : std->value(); }
    void SetValue(int v) {
        if (slider) slider->SetValue(v);
        else std->setValue(v);
    }
    int Min() const { return slider ? slider->Min() : std->minimum(); }
    int Max() const { return slider ? slider->Max() : std->maximum(); }
    void SetMax(int v) {
        if (slider) slider->SetMax(v);
        else std->setMaximum(v);
    }
    int Large() const { return slider ? slider->LargeChange() : std->pageStep(); }
    void SetLarge(int v) {
        if (slider) slider->SetLargeChange(v);
        else std->setPageStep(v);
    }
    void SetSmall(int v) {
        if (slider) slider->SetSmallChange(v);
        else std->setSingleStep(v);
    }
    bool Shown() const { return shown; }
    void Show(bool on) {
        shown = on;
        Widget()->setVisible(on);
    }
    bool shown = false;
};

UC_ListView::UC_ListView(QWidget* parent) : QWidget(parent) {
    InitControlResources();
    all_ = new QWidget(this);
    all_->setGeometry(1, 0, std::max(1, width() - 2), std::max(1, height()));
    tab_ = new SurfaceWidget(all_);
    tab_->setGeometry(0, 0, 1, TwipsToPx(listTop_));
    tab_->setMouseTracking(true);
    // The strip beyond the last tab reads as an empty header, not as a white gap.
    tab_->Pic().SetBackColor(kBtnFace);
    tab_->installEventFilter(this);
    list_ = new SurfaceWidget(all_);
    list_->move(0, TwipsToPx(listTop_));
    list_->setMouseTracking(true);
    list_->setAcceptDrops(true);
    list_->installEventFilter(this);
    list_->Pic().SetBackColor(0x80000005u);
    list_->Pic().SetForeColor(0x80000008u);
    tabGrad_.ResizeTwips(1515, 270);
    icons_.LoadImage(BuiltInPicture(kFileTypeIconsPath));
    menu_ = new QMenu(this);
    clock_ = SecondsSinceMidnight;
    auto* text0 = new QLineEdit(list_);
    text0->hide();
    textLV_.push_back(text0);
    auto* combo0 = new QComboBox(list_);
    combo0->hide();
    comboLV_.push_back(combo0);
    for (QWidget* w : {static_cast<QWidget*>(text0), static_cast<QWidget*>(combo0)})
        w->installEventFilter(this);
    connect(text0, &QLineEdit::textChanged, this, [this] { TextChanged(0); });
    connect(combo0, &QComboBox::activated, this, [this](int i) { ComboChosen(0, i); });
}

UC_ListView::~UC_ListView() {
    delete vbar_;
    delete hbar_;
}

UC_ListView::Bar& UC_ListView::VBar() const { return *vbar_; }
UC_ListView::Bar& UC_ListView::HBar() const { return *hbar_; }

// ---------------------------------------------------------------- set-up

void UC_ListView::SetOneHeight(std::int32_t twips) {
    store_.SetOneHeight(twips);
    if (editorHeight_ == 0) editorHeight_ = twips;
}

void UC_ListView::SetOneHeight() {
    const std::int32_t h =
        static_cast<std::int32_t>(RoundEven(list_->Pic().TextHeight(QStringLiteral("|")))) + Px(6);
    store_.SetOneHeight(h);
    editorHeight_ = h;
}

void UC_ListView::SetStyle(float size, bool bold, const QString& name, std::uint32_t foreColor,
                           std::uint32_t backColor) {
    QFont lf = list_->Pic().Font();
    const QString face = name.isEmpty() ? lf.family() : name;
    const QFont f = ControlFont(size, bold, false, name.isEmpty() ? QString() : face);
    list_->Pic().SetFont(f);
    if (!name.isEmpty()) {
        QFont tf = tab_->Pic().Font();
        tf.setFamily(name);
        tab_->Pic().SetFont(tf);
    }
    // With the program's own fonts the strip takes the table's default entry.
    if (globals::FontSubstitution == 1) tab_->Pic().SetFont(ControlFont(0, false, false, QString()));
    textLV_[0]->setFont(f);
    comboLV_[0]->setFont(f);
    list_->Pic().SetForeColor(foreColor);
    store_.SetDefaultEntryColor(foreColor);
    list_->Pic().SetBackColor(backColor);
    styleSet_ = true;
}

void UC_ListView::Init() {
    store_.Init();
    textMargin_ = iconDisabled_ ? Px(6) : Px(22);
    // With the program's own fonts a view nobody styled still gets one of them.
    if (globals::FontSubstitution == 1 && !styleSet_)
        SetStyle(9, false, globals::DefaultFontFace, 0x80000008u, 0x80000005u);
    if (!vbar_) {
        vbar_ = new Bar;
        hbar_ = new Bar;
        if (useUCBar_) {
            hbar_->slider = new UC_Slider(all_);
            vbar_->slider = new UC_Slider(all_);
            connect(vbar_->slider, &UC_Slider::Scrolled, this, [this] { VSync(); });
            connect(hbar_->slider, &UC_Slider::Scrolled, this, [this] { HSync(); });
        } else {
            hbar_->std = new QScrollBar(Qt::Horizontal, all_);
            vbar_->std = new QScrollBar(Qt::Vertical, all_);
            for (QScrollBar* b : {hbar_->std, vbar_->std}) b->setMinimum(0);
            connect(vbar_->std, &QScrollBar::valueChanged, this, [this] { VSync(); });
            connect(hbar_->std, &QScrollBar::valueChanged, this, [this] { HSync(); });
        }
        hbar_->Show(false);
        vbar_->Show(false);
    }
    if (tabDisabled_ == 1) {
        listTop_ = 0;
        tab_->hide();
    }
    list_->move(0, TwipsToPx(listTop_));
    VBar().Widget()->setGeometry(VBar().Widget()->x(), TwipsToPx(listTop_), TwipsToPx(kBarSize),
                                 std::max(1, VBar().Widget()->height()));
    HBar().Widget()->setGeometry(0, HBar().Widget()->y(), std::max(1, HBar().Widget()->width()),
                                 TwipsToPx(kBarSize));
    HBar().SetSmall(Tpp());
    VBar().SetSmall(1);
    if (useUCBar_) {
        HBar().slider->SetNoGrad(1);
        HBar().slider->Init();
        VBar().slider->SetNoGrad(1);
        VBar().slider->SetIsVertical(1);
        VBar().slider->Init();
    } else {
        HBar().std->setFocusPolicy(Qt::NoFocus);
        VBar().std->setFocusPolicy(Qt::NoFocus);
    }
    tabGrad_.Cls();
    PaintSurface(tabGrad_, 5, -1, -1, -1, kNoExtra, kNoExtra, kNoExtra);
    initialised_ = true;
}

// ---------------------------------------------------------------- columns

QString UC_ListView::TabName(int k) const {
    return store_.Columns().Has(k) ? store_.Columns()[k].name : QString();
}
void UC_ListView::SetTabName(int k, const QString& name) {
    if (store_.Columns().Has(k)) store_.Columns()[k].name = name;
}
std::int32_t UC_ListView::TabWidth(int k) const {
    return store_.Columns().Has(k) ? store_.Columns()[k].width : 0;
}
void UC_ListView::SetTabWidth(int k, std::int32_t twips) {
    if (store_.Columns().Has(k)) store_.Columns().SetWidth(k, twips);
}
std::int32_t UC_ListView::TabHidden(int k) const {
    return store_.Columns().Has(k) ? store_.Columns()[k].hidden : 0;
}
void UC_ListView::SetTabHidden(int k, std::int32_t v) {
    if (store_.Columns().Has(k)) store_.Columns().SetHidden(k, v);
}
std::int32_t UC_ListView::TabAlign(int k) const {
    return store_.Columns().Has(k) ? store_.Columns()[k].align : 0;
}
void UC_ListView::SetTabAlign(int k, std::int32_t v) {
    if (store_.Columns().Has(k)) store_.Columns()[k].align = v;
}
std::int32_t UC_ListView::TabOrder(int k) const {
    return store_.Columns().Has(k) ? store_.Columns()[k].position : 0;
}
std::int32_t UC_ListView::DataNumeric(int k) const {
    return store_.Columns().Has(k) ? store_.Columns()[k].dataNumeric : 0;
}
void UC_ListView::SetDataNumeric(int k, std::int32_t v) {
    if (store_.Columns().Has(k)) store_.Columns()[k].dataNumeric = v;
}
void UC_ListView::SetTextIsTime(int k, std::int32_t v) {
    if (store_.Columns().Has(k)) store_.Columns()[k].textIsTime = v;
}
void UC_ListView::SetFrontObj(int k, std::int32_t v) {
    if (store_.Columns().Has(k)) store_.Columns()[k].frontObj = v;
}

void UC_ListView::AddComboItem(int k, const QString& text) {
    store_.AddComboItem(k, text);
    const ColumnTable& cols = store_.Columns();
    if (cols.Has(k) && (cols[k].useTextCombo & 2) && cols[k].comboNum < int(comboLV_.size()))
        comboLV_[size_t(cols[k].comboNum)]->addItem(text);
}

void UC_ListView::ClearComboItem(int k) {
    store_.ClearComboItem(k);
    const ColumnTable& cols = store_.Columns();
    if (cols.Has(k) && (cols[k].useTextCombo & 2) && cols[k].comboNum < int(comboLV_.size()))
        comboLV_[size_t(cols[k].comboNum)]->clear();
}

int UC_ListView::EdgeAt(double x) const {
    const ColumnTable& cols = store_.Columns();
    int found = -1;
    for (int p = 0; p < cols.Count(); ++p) {
        const int c = cols.ColumnAt(p);
        if (cols[c].hidden) continue;
        const double r = cols[c].right;
        if (r - Px(5) < x && x < r + Px(5)) found = c;
    }
    return found;
}

int UC_ListView::ColumnAtX(double x) const {
    const ColumnTable& cols = store_.Columns();
    const int n = cols.Count();
    if (n == 0) return 0;
    auto firstVisible = [&] {
        for (int p = 0; p < n; ++p)
            if (!cols[cols.ColumnAt(p)].hidden) return cols.ColumnAt(p);
        return 0;
    };
    auto lastVisible = [&] {
        for (int p = n - 1; p >= 0; --p)
            if (!cols[cols.ColumnAt(p)].hidden) return cols.ColumnAt(p);
        return 0;
    };
    if (x > cols[cols.ColumnAt(n - 1)].right) return lastVisible();
    if (x < cols[cols.ColumnAt(0)].right) return firstVisible();
    if (n < 2) return 0;
    for (int p = 1; p < n; ++p) {
        const ColumnInfo& c = cols[cols.ColumnAt(p)];
        if (!c.hidden && c.left < x && x < c.right) return cols.ColumnAt(p);
    }
    return 0;
}

void UC_ListView::InitTab() {
    menu_->clear();
    for (int p = 0; p < store_.NumData(); ++p) {
        QAction* a = menu_->addAction(QString::number(p + 1));
        connect(a, &QAction::triggered, this, [this, p] { ChooseTabPosition(p); });
    }
    ColumnTable& cols = store_.Columns();
    int nText = 0, nCombo = 0;
    bool anyCombo = false, anyEditor = false;
    for (int k = 0; k < cols.Count(); ++k) {
        ColumnInfo& c = cols[k];
        if (c.useTextCombo & 1) {
            c.textNum = nText;
            if (nText >= int(textLV_.size())) {
                auto* t = new QLineEdit(list_);
                t->hide();
                t->setFont(textLV_[0]->font());
                t->installEventFilter(this);
                const int n = nText;
                connect(t, &QLineEdit::textChanged, this, [this, n] { TextChanged(n); });
                textLV_.push_back(t);
            }
            ++nText;
            anyEditor = true;
        }
        if (c.useTextCombo & 2) {
            c.comboNum = nCombo;
            if (nCombo >= int(comboLV_.size())) {
                auto* b = new QComboBox(list_);
                b->hide();
                b->setFont(comboLV_[0]->font());
                b->installEventFilter(this);
                const int n = nCombo;
                connect(b, &QComboBox::activated, this, [this, n](int i) { ComboChosen(n, i); });
                comboLV_.push_back(b);
            }
            QComboBox* b = comboLV_[size_t(nCombo)];
            b->clear();
            b->addItems(c.comboItems);
            ++nCombo;
            anyCombo = anyEditor = true;
        }
    }
    const int rowPx = TwipsToPx(store_.OneHeight()) - 2;
    const int textH = anyCombo ? comboLV_[0]->sizeHint().height() : std::max(1, rowPx);
    for (QLineEdit* t : textLV_) t->resize(t->width(), textH);
    for (QComboBox* b : comboLV_) b->resize(b->width(), comboLV_[0]->sizeHint().height());
    editorHeight_ = anyEditor ? PxToTwips(textLV_[0]->height()) : store_.OneHeight() - Px(2);
    UserControl_Resize();
}

void UC_ListView::ReDrawTab(int pushed) {
    Surface& s = tab_->Pic();
    s.Cls();
    const ColumnTable& cols = store_.Columns();
    const double X = hOffset_;
    const int ht = listTop_;
    for (int p = 0; p < cols.Count(); ++p) {
        const int k = cols.ColumnAt(p);
        const ColumnInfo& c = cols[k];
        if (c.hidden) continue;
        if (tabDisabled_ == 0 && ht > 0) {
            const int b = k == pushed ? 1 : 0;
            s.StretchBlt(TwipsToPx(c.left - X), 0, TwipsToPx(c.width), TwipsToPx(ht), tabGrad_, 0, 0, 1,
                         tabGrad_.HeightPx());
            const QString cap = FitText(c.name, s, c.width - Px(6), c.align != 0 ? 1 : 0);
            double left;
            if (c.align == 1 && noAlign4Tab_ == 0)
                left = c.right - s.TextWidth(cap) - Px(6 + b) - X;
            else
                left = (p == 0 ? 0 : c.left) + Px(6 + b) - X;
            s.Print(left, Px(3 + b), cap);
            s.DrawEdge(TwipsToPx(c.left - X), 0, TwipsToPx(c.left - X + c.width), TwipsToPx(ht),
                       b ? kEdgeSunken : kEdgeRaised, kBfRect | kBfSoft);
        }
        if ((c.useTextCombo & 1) && c.textNum < int(textLV_.size())) {
            QLineEdit* t = textLV_[size_t(c.textNum)];
            t->setGeometry(TwipsToPx(c.left - X) + 3, t->y(), std::max(1, TwipsToPx(c.width) - 3),
                           t->height());
        }
        if ((c.useTextCombo & 2) && c.comboNum < int(comboLV_.size())) {
            QComboBox* b = comboLV_[size_t(c.comboNum)];
            b->setGeometry(TwipsToPx(c.left - X) + 3, b->y(), std::max(1, TwipsToPx(c.width) - 3),
                           b->height());
        }
    }
}

void UC_ListView::SetTabWidthAuto() {
    if (store_.ItemCount() == 0) return;
    ColumnTable& cols = store_.Columns();
    const Surface& s = list_->Pic();
    for (int k = 0; k < cols.Count(); ++k) {
        double w = 0;
        for (int i = 0; i < store_.ItemCount(); ++i) {
            const ListEntry* e = store_.Entry(i);
            if (size_t(k) < e->data.size())
                w = std::max(w, double(RoundEven(s.TextWidth(e->data[size_t(k)].ToText()))));
        }
        if (cols[k].position == 0 && iconDisabled_ == 0) w += Px(16);
        cols[k].width = std::max<std::int32_t>(ColumnTable::kMinWidth, std::int32_t(w) + Px(16));
    }
    cols.Layout();
    ReDrawTab(-1);
    ReDraw();
}

void UC_ListView::ChooseTabPosition(int k) {
    store_.Columns().SetTabOrder(menuCol_, k);
    store_.Columns().Layout();
    ReDrawTab(-1);
    ReDraw();
    emit TabReOrderd();
}

void UC_ListView::SetPointerShape(int shape) {
    if (shape == pointerShape_) return;
    pointerShape_ = shape;
    if (shape == 9) all_->setCursor(Qt::SizeHorCursor);
    else all_->unsetCursor();
    tab_->setCursor(shape == 9 ? Qt::SizeHorCursor : Qt::ArrowCursor);
}

void UC_ListView::TabMouse(QEvent::Type type, QMouseEvent* e) {
    if (tabDisabled_ == 1 || !initialised_) return;
    const double x = SurfaceWidget::TwipsX(e) + hOffset_;
    ColumnTable& cols = store_.Columns();
    switch (type) {
    case QEvent::MouseMove:
        if (e->buttons() == Qt::NoButton) {
            SetPointerShape(EdgeAt(x) >= 0 ? 9 : 0);
        } else if ((e->buttons() & Qt::LeftButton) && resizeCol_ != -1 && pointerShape_ == 9 &&
                   cols.Has(resizeCol_)) {
            cols.SetWidth(resizeCol_, RoundEvenInt(x + Px(3)) - cols[resizeCol_].left);
            ReDrawTab(-1);
        }
        break;
    case QEvent::MouseButtonPress:
        if (e->button() != Qt::LeftButton) break;
        if (pointerShape_ == 9) resizeCol_ = EdgeAt(x);
        else ReDrawTab(ColumnAtX(x));
        break;
    case QEvent::MouseButtonRelease:
        if (e->button() == Qt::LeftButton) {
            if (pointerShape_ == 9) {
                SetPointerShape(0);
                SetVbarParm();
                ReDrawTab(-1);
                ReDraw();
                emit TabMoved();
            } else {
                if (sortDisabled_ == 0 && clickDisabled_ == 0) store_.ReOrder(ColumnAtX(x), 0);
                ReDrawTab(-1);
                ReDraw();
            }
        } else if (e->button() == Qt::RightButton && useTabOrder_ != 0) {
            menuCol_ = ColumnAtX(x);
            const QList<QAction*> items = menu_->actions();
            for (int p = 0; p < items.size(); ++p)
                items[p]->setEnabled(p != cols[menuCol_].position);
            menu_->popup(e->globalPosition().toPoint());
        }
        break;
    default: break;
    }
}

// ---------------------------------------------------------------- geometry

void UC_ListView::resizeEvent(QResizeEvent*) { UserControl_Resize(); }

void UC_ListView::UserControl_Resize() {
    if (!initialised_ || PxToTwips(width()) < 600 || PxToTwips(height()) < 600) return;
    all_->setGeometry(1, 0, width() - 2, height());
    tab_->resize(width() - 2, TwipsToPx(listTop_));
    QWidget* vb = VBar().Widget();
    QWidget* hb = HBar().Widget();
    vb->move(all_->width() - TwipsToPx(kBarSize) - 4, vb->y());
    hb->move(hb->x(), all_->height() - TwipsToPx(kBarSize) - 4);
    SetVbarParm();
    HBar().SetValue(0);
    hOffset_ = 0;
    if (!VBar().Shown()) store_.SetTopRow(0);
    else if (store_.TopRow() > VBar().Max()) store_.SetTopRow(VBar().Max());
    if (VBar().Shown()) {
        store_.SetLastDrawnTopRow(store_.TopRow());  // the bar's notification finds nothing new
        VBar().SetValue(store_.TopRow());
    }
    store_.SetLastDrawnTopRow(store_.TopRow());
    ReDrawTab(-1);
    ReDraw();
}

void UC_ListView::SetVbarParm() {
    if (!initialised_) return;
    const double W = PxToTwips(all_->width()) - Px(4);
    double H = RoundEven(PxToTwips(all_->height()) - listTop_ - Px(4));
    const ColumnTable& cols = store_.Columns();
    const double R = cols.Count() > 0 ? cols[cols.ColumnAt(cols.Count() - 1)].right : 0;
    const long long count = store_.ItemCount();
    const long long rowH = store_.OneHeight();
    bool needV = count > 0 && count * rowH >= H;
    double L = needV ? W - kBarSize : W;
    const bool needH = L < R && hbarDisabled_ == 0;
    if (needH) {
        H -= kBarSize;
        if (!needV && count > 0 && count * rowH >= H) {
            needV = true;
            L -= kBarSize;
        }
    }
    list_->ResizeTwips(std::max(0.0, L), std::max(0.0, H));
    rowsPerPage_ = rowH > 0 ? int(RoundEven(H) / rowH) : 0;
    const int P = rowsPerPage_;
    Bar& vb = VBar();
    if (needV) {
        const int max = std::max<int>(1, int(count) - P + 1);
        const int large = std::max(1, RoundEvenInt(double(max) * P / double(count)));
        vb.Widget()->resize(TwipsToPx(kBarSize), std::max(1, TwipsToPx(H) - 4));
        vb.SetMax(max);
        vb.SetLarge(large);
        if (vb.slider) {
            vb.slider->Init();
            vb.slider->SetPointerSize(float(P) / float(count));
        }
        vb.SetValue(vb.Value());
        vb.Show(true);
    } else {
        vb.SetValue(0);
        vb.Show(false);
    }
    Bar& hb = HBar();
    if (needH) {
        int max = std::max(1, int(R - L));
        if (hb.std) max = std::min(max, 32767);
        const int large = std::max(1, RoundEvenInt(double(max) * L / R));
        hb.Widget()->resize(std::max(1, TwipsToPx(L)), TwipsToPx(kBarSize));
        hb.SetMax(max);
        hb.SetLarge(large);
        if (hb.slider) {
            hb.slider->Init();
            hb.slider->SetPointerSize(float(L / R));
        }
        hb.SetValue(hb.Value());
        hb.Show(true);
        hOffset_ = hb.Value();
    } else {
        hb.SetValue(0);
        hb.Show(false);
        hOffset_ = 0;
    }
}

void UC_ListView::Refresh() {
    if (!initialised_) return;
    SetVbarParm();
    store_.SetTopRow(0);
    store_.SetLastDrawnTopRow(0);
    hOffset_ = 0;
    VBar().SetValue(0);
    HBar().SetValue(0);
    hOffset_ = 0;
    ReDraw();
    ReDrawTab(-1);
}

void UC_ListView::BringIntoView(int index, int ifHidden, bool centre) {
    if (initialised_ && index >= 0 && index < store_.ItemCount()) {
        if (!VBar().Shown()) {
            store_.SetTopRow(0);
            store_.SetLastDrawnTopRow(0);
        } else {
            const int P = rowsPerPage_, T = store_.TopRow();
            const int want = centre ? index - RoundEvenInt(P / 2.0) : index;
            if (ifHidden == 0 || index < T || index > T + P - 1) {
                const int top = std::clamp(want, 0, std::max(0, VBar().Max()));
                store_.SetTopRow(top);
                store_.SetLastDrawnTopRow(top);
                VBar().SetValue(top);
            }
        }
    }
    ReDraw();
}

void UC_ListView::ShowSelected(int ifHidden) { BringIntoView(store_.SelectedItem(), ifHidden, true); }
void UC_ListView::ShowItem(int topItem, int ifHidden) { BringIntoView(topItem, ifHidden, false); }

// ---------------------------------------------------------------- painting

void UC_ListView::PumpEvents() { QCoreApplication::processEvents(); }

void UC_ListView::ReDraw() {
    if (!initialised_) return;
    PumpEvents();
    DrawRows();
}

void UC_ListView::DrawRows() {
    Surface& s = list_->Pic();
    s.Cls();
    const int Hr = store_.OneHeight();
    if (Hr <= 0) return;
    const int He = editorHeight_;
    const int T = store_.TopRow();
    const int X = hOffset_;
    const double Wl = s.ScaleWidth();
    const int rows = int(RoundEven(s.ScaleHeight()) / Hr);
    const int count = store_.ItemCount();
    const int cur = store_.SelectedItem();
    const bool cursorShown = cur >= T && cur < T + rows && cur < count && hideTextCombo_ != 1;
    if (!cursorShown) {
        for (QLineEdit* t : textLV_)
            if (!t->isHidden()) t->hide();
        for (QComboBox* b : comboLV_)
            if (!b->isHidden()) b->hide();
    }
    if (useMadara_) {
        for (int j = 0; j <= rows; ++j)
            if ((T + j) % 2 == 1) s.Fill(0, double(j) * Hr + Px(1), Wl, double(j + 1) * Hr, 0xFFFFCC);
    }
    const ColumnTable& cols = store_.Columns();
    const int tpp = Tpp();
    const int d = RoundEvenInt((double(Hr) / tpp - 16) / 2);
    for (int j = 0; j <= rows && T + j < count; ++j) {
        const ListEntry& e = *store_.Entry(T + j);
        const double top = double(j) * Hr;
        if (iconDisabled_ == 0 && X < Px(16) && e.iconType != -1) {
            const int x = 2 - X / tpp;
            const int y = RoundEvenInt(top / tpp + d);
            s.BitBlt(x, y, 16, 16, icons_, 16 * e.iconType, 16, Rop::kSrcAnd);
            s.BitBlt(x, y, 16, 16, icons_, 16 * e.iconType, 0, Rop::kSrcInvert);
        }
        s.SetForeColor(e.dispColor);
        int k = 0;
        for (int p = 0; p < cols.Count(); ++p) {
            const int c = cols.ColumnAt(p);
            const ColumnInfo& col = cols[c];
            if (col.hidden) continue;
            ++k;
            if (size_t(c) >= e.data.size()) continue;
            const QString full = e.data[size_t(c)].ToText();
            if (full.isEmpty()) continue;
            const int m = k == 1 ? textMargin_ : Px(6);
            const bool right = col.align == 1;
            const QString text = FitText(full, s, col.width - m, right ? 1 : 0);
            double left;
            if (right) left = col.right - s.TextWidth(text) - Px(6) - X;
            else left = (k == 1 ? m : col.left + Px(6)) - X;
            s.Print(left, top + Px(4), text);
        }
        if (T + j == cur && cursorShown) PlaceEditorsVertically(j, e);
        if (e.selected == 1) {
            s.SetDrawMode(selectedColorMode_);
            s.Fill(0, top + Px(1), Wl, top + He + Px(1), selectedColor_);
            s.SetDrawMode(kDrawCopyPen);
        }
        if (e.hLine != 0) s.Line(0, top + Px(1), Wl, top + Px(1), e.hLine);
        if (borderIfBlank_ != 0) {
            const size_t b = size_t(borderIfBlank_ - 1);
            if (b < e.data.size() && e.data[b].IsText() && e.data[b].ToText().isEmpty()) {
                s.SetDrawMode(selectedColorMode_);
                s.Fill(0, top + Px(1), Wl, top + He + Px(1), 0xE0E0E0);
                s.SetDrawMode(kDrawCopyPen);
            }
        }
    }
    const std::uint32_t sep = s.BackColor() == kBtnFace ? kBtnShadow : kBtnFace;
    const double Hl = s.ScaleHeight();
    for (int k = 0; k < cols.Count(); ++k)
        if (!cols[k].hidden) {
            const double x = cols[k].right - X - Px(1);
            s.Line(x, 0, x, Hl, sep);
        }
    s.SetForeColor(s.ForeColor());
}

void UC_ListView::PlaceEditorsVertically(int j, const ListEntry& e) {
    const ColumnTable& cols = store_.Columns();
    const int y = TwipsToPx(double(j) * store_.OneHeight()) + 1;
    for (int p = 0; p < cols.Count(); ++p) {
        const int c = cols.ColumnAt(p);
        const ColumnInfo& col = cols[c];
        const QString cell = size_t(c) < e.data.size() ? e.data[size_t(c)].ToText() : QString();
        auto place = [&](QWidget* w, bool front) {
            if (!front || col.hidden) {
                if (!w->isHidden()) w->hide();
                return false;
            }
            if (w->y() != y) w->move(w->x(), y);
            return true;
        };
        if ((col.useTextCombo & 1) && col.textNum < int(textLV_.size())) {
            QLineEdit* t = textLV_[size_t(col.textNum)];
            if (place(t, col.frontObj == 1)) {
                if (t->text() != cell) t->setText(cell);
                if (t->isHidden() && hideTextCombo_ == 0) t->show();
            }
        }
        if ((col.useTextCombo & 2) && col.comboNum < int(comboLV_.size())) {
            QComboBox* b = comboLV_[size_t(col.comboNum)];
            if (place(b, col.frontObj == 2)) {
                if (b->currentText() != cell) {
                    const int i = b->findText(cell);
                    if (i >= 0) b->setCurrentIndex(i);
                    else if (b->isEditable()) b->setEditText(cell);
                }
                if (b->isHidden() && hideTextCombo_ == 0) b->show();
            }
        }
    }
}

// ---------------------------------------------------------------- scrolling

bool UC_ListView::VBarVisible() const { return vbar_ && vbar_->Shown(); }
int UC_ListView::VBarValue() const { return vbar_ ? vbar_->Value() : 0; }
int UC_ListView::VBarMax() const { return vbar_ ? vbar_->Max() : 0; }
int UC_ListView::VBarLargeChange() const { return vbar_ ? vbar_->Large() : 0; }
bool UC_ListView::HBarVisible() const { return hbar_ && hbar_->Shown(); }
int UC_ListView::HBarValue() const { return hbar_ ? hbar_->Value() : 0; }
int UC_ListView::HBarMax() const { return hbar_ ? hbar_->Max() : 0; }
void UC_ListView::SetHBarValue(int v) {
    if (!hbar_) return;
    hbar_->SetValue(std::clamp(v, hbar_->Min(), hbar_->Max()));
    if (hbar_->slider) HSync();
}

void UC_ListView::VBarMove(int delta) {
    if (!VBarVisible()) return;
    const long long v = static_cast<long long>(VBar().Value()) + delta;
    VBar().SetValue(int(std::clamp<long long>(v, VBar().Min(), VBar().Max())));
    if (VBar().slider) VSync();  // the slider has no change notification of its own
}

void UC_ListView::VBarScroll(int notches) {
    if (!VBarVisible() || notches == 0) return;
    VBarMove(int(std::clamp<long long>(static_cast<long long>(notches) * numWheelScroll_,
                                       -2147483647LL, 2147483647LL)));
    VSync();
}

void UC_ListView::VSync() {
    if (!initialised_) return;
    store_.SetTopRow(VBar().Value());
    if (store_.TopRow() == store_.LastDrawnTopRow()) return;
    // Recorded before the events run so that a nested notification for the
    // same row does not paint again.
    store_.SetLastDrawnTopRow(store_.TopRow());
    ReDraw();
    if (barNoDoEvents_ == 0) PumpEvents();
}

void UC_ListView::HSync() {
    if (!initialised_) return;
    hOffset_ = HBar().Value();
    if (barNoDoEvents_ == 0) PumpEvents();
    ReDrawTab(-1);
    PumpEvents();
    ReDraw();
    PumpEvents();
}

// ---------------------------------------------------------------- list mouse

int UC_ListView::RowAt(double y) const {
    const int h = std::max(store_.OneHeight(), 1);
    const long long r = RoundEven(y - Px(4)) / h + store_.TopRow();
    return int(std::clamp<long long>(r, 0, store_.ItemCount() - 1));
}

void UC_ListView::ListPress(QMouseEvent* e) {
    if (clickDisabled_ == 1) return;
    pressSeen_ = true;
    const float x = float(SurfaceWidget::TwipsX(e)), y = float(SurfaceWidget::TwipsY(e));
    const int shift = ShiftOf(e->modifiers());
    emit MouseDown(ButtonOf(e->button()), shift, x, y);
    if (e->button() != Qt::LeftButton) return;
    pressX_ = x;
    pressY_ = y;
    const int count = store_.ItemCount();
    if (count == 0) {
        store_.SetSelectedItem(-1);
        return;
    }
    const int r = RowAt(y);
    if (shift == 1 && noMultiSelect_ == 0) {
        // A cursor at the count (its entry was deleted) is no cursor either.
        const int from = store_.HasCursor() ? store_.SelectedItem() : 0;
        const int lo = std::min(from, r), hi = std::max(from, r);
        for (int i = 0; i < count; ++i) store_.Entry(i)->selected = (i >= lo && i <= hi) ? 1 : 0;
        store_.SetShiftRangeDone(true);
        store_.SetCtrlPending(false);
    } else if (shift == 2 && noMultiSelect_ == 0) {
        store_.SetShiftRangeDone(false);
        store_.SetCtrlPending(true);
    } else {
        bool keep = false;
        if (store_.ShiftRangeDone()) {
            store_.SetShiftRangeDone(false);
            keep = store_.Entry(r)->selected == 1;  // a range stays so that it can be dragged
        }
        if (!keep && store_.CtrlPending()) {
            store_.SetCtrlPending(false);
            keep = true;
        }
        if (!keep) {
            for (int i = 0; i < count; ++i) store_.Entry(i)->selected = 0;
            store_.Entry(r)->selected = 1;
        }
    }
    store_.SetCursor(r);
    store_.SetClickedColumn(ColumnAtX(x + hOffset_));
    ReDraw();
}

void UC_ListView::ListRelease(QMouseEvent* e) {
    if (clickDisabled_ == 1 || !pressSeen_) return;
    pressSeen_ = false;
    const float x = float(SurfaceWidget::TwipsX(e)), y = float(SurfaceWidget::TwipsY(e));
    if (e->button() == Qt::RightButton) {
        emit RightClicked(x, y);
    } else {
        if (ShiftOf(e->modifiers()) == 2 && noMultiSelect_ != 1) {
            if (store_.ItemCount() == 0) {
                store_.SetSelectedItem(-1);
            } else {
                const int r = RowAt(y);
                ListEntry* en = store_.Entry(r);
                en->selected = en->selected == 1 ? 0 : 1;
                store_.SetCursor(r);
            }
        }
        emit Clicked(x, y);
        ReDraw();
    }
    pressX_ = pressY_ = -1;
}

void UC_ListView::ListMove(QMouseEvent* e) {
    if (clickDisabled_ == 1) return;
    if ((e->buttons() & Qt::LeftButton) && store_.ItemCount() > 0 && pressX_ != -1) {
        const double x = SurfaceWidget::TwipsX(e), y = SurfaceWidget::TwipsY(e);
        if (std::abs(x - pressX_) > Px(8) || std::abs(y - pressY_) > Px(8)) {
            pressX_ = pressY_ = -1;
            BeginDrag();
        }
    }
    if (pointerShape_ == 9) SetPointerShape(0);
}

void UC_ListView::ListDoubleClick() {
    if (clickDisabled_ != 1 && store_.ItemCount() > 0) emit DblClicked();
}

void UC_ListView::BeginDrag() {
    if (clickDisabled_ == 1 || store_.ItemCount() == 0) return;
    auto* data = new QMimeData;
    int allowed = 0;
    emit OLEStartDrag(data, allowed);
    // The release of the press that started the drag goes to the drag loop.
    pressSeen_ = false;
    int effect = StartDrag(data, allowed);
    emit OLECompleteDrag(effect);
}

int UC_ListView::StartDrag(QMimeData* data, int allowedEffects) {
    auto* drag = new QDrag(list_);
    drag->setMimeData(data);
    const Qt::DropActions allowed = Qt::DropActions::fromInt(allowedEffects & 7);
    return int(drag->exec(allowed ? allowed : Qt::CopyAction));
}

void UC_ListView::DragOver(double x, double y) {
    emit OLEDragOver();
    if (noOleScroll_ != 0 || !VBarVisible()) return;
    if (x != dragX_ || y != dragY_) {
        dragX_ = x;
        dragY_ = y;
        return;
    }
    const double now = clock_ ? clock_() : SecondsSinceMidnight();
    const double dt = std::abs(now - lastStepTime_);
    if (dt > 1.0) {
        lastStepTime_ = now;
        return;
    }
    const double Hr = store_.OneHeight();
    const double Hl = list_->HeightTwips();
    const long long v = VBar().Value();
    long long nv = v;
    bool step = false;
    if (y < 0.5 * Hr) {
        if (dt >= 0.02) { nv = v - VBar().Large(); step = true; }
    } else if (y < 1.5 * Hr) {
        if (dt >= 0.2) { nv = v - 1; step = true; }
    } else if (y > Hl - 0.5 * Hr) {
        if (dt >= 0.02) { nv = v + VBar().Large(); step = true; }
    } else if (y > Hl - 1.5 * Hr) {
        if (dt >= 0.2) { nv = v + 1; step = true; }
    }
    if (!step) return;
    lastStepTime_ = now;
    VBar().SetValue(int(std::clamp<long long>(nv, VBar().Min(), VBar().Max())));
    if (VBar().slider) VSync();
}

// ---------------------------------------------------------------- editors

bool UC_ListView::TextComboVisible() const {
    return !textLV_[0]->isHidden() || !comboLV_[0]->isHidden();
}
QLineEdit* UC_ListView::TextEditor(int n) const {
    return n >= 0 && n < int(textLV_.size()) ? textLV_[size_t(n)] : nullptr;
}
QComboBox* UC_ListView::ComboEditor(int n) const {
    return n >= 0 && n < int(comboLV_.size()) ? comboLV_[size_t(n)] : nullptr;
}

void UC_ListView::TextChanged(int n) {
    const ColumnTable& cols = store_.Columns();
    int column = -1;
    for (int k = 0; k < cols.Count() && column < 0; ++k)
        if ((cols[k].useTextCombo & 1) && cols[k].textNum == n) column = k;
    const bool isTime = column < 0 || cols[column].textIsTime != 0;
    if (column < 0) column = 0;
    QLineEdit* ed = textLV_[size_t(n)];
    const QString t = ed->text();
    if (isTime && t.size() == 6) {
        bool numeric = false;
        t.toDouble(&numeric);
        int h = 0, m = 0, s = 0;
        if (numeric && ReadPair(t, 0, h) && ReadPair(t, 2, m) && ReadPair(t, 4, s) && h >= 0 &&
            h <= 30 && m >= 0 && m <= 59 && s >= 0 && s <= 59) {
            // Setting the text comes back here with 8 characters and stores it.
            ed->setText(t.left(2) + ':' + t.mid(2, 2) + ':' + t.right(2));
            return;
        }
    }
    if (store_.HasCursor()) store_.SetValue(-1, column, ed->text());
}

void UC_ListView::ComboChosen(int n, int index) {
    const ColumnTable& cols = store_.Columns();
    QComboBox* b = comboLV_[size_t(n)];
    for (int k = 0; k < cols.Count(); ++k) {
        if (!(cols[k].useTextCombo & 2) || cols[k].comboNum != n) continue;
        if (!store_.HasCursor()) continue;
        store_.SetValue(-1, k, b->currentText());
        int data = k, value = index;
        emit ComboChaged(data, value);
    }
}

bool UC_ListView::EditorKey(bool isCombo, int n, QKeyEvent* e) {
    const ColumnTable& cols = store_.Columns();
    int column = -1;
    const int bit = isCombo ? 2 : 1;
    for (int k = 0; k < cols.Count() && column < 0; ++k)
        if ((cols[k].useTextCombo & bit) && (isCombo ? cols[k].comboNum : cols[k].textNum) == n)
            column = k;
    if (column < 0) return false;
    const bool press = e->type() == QEvent::KeyPress;
    int key = VirtualKeyOf(e->key());
    int shift = KeyShiftOf(e->modifiers());
    const int origKey = key;
    emit TextComboKeyAction(isCombo ? 1 : 0, column, press ? 1 : 0, key, shift);
    if (key == 0) return true;  // the host swallowed the key
    QString text = e->text();
    if (press && !text.isEmpty() && text.at(0).isPrint()) {
        int ch = text.at(0).unicode();
        const int origCh = ch;
        int noShift = 0;
        emit TextComboKeyAction(isCombo ? 1 : 0, column, 2, ch, noShift);
        if (ch == 0) return true;
        if (ch != origCh) text = QString(QChar(ch));
        else if (key == origKey) return false;
    } else if (key == origKey) {
        return false;
    }
    // Hand the editor the key the host wrote back.
    QKeyEvent changed(e->type(), QtKeyOf(key), e->modifiers(), text, e->isAutoRepeat());
    inKeyForward_ = true;
    QObject* target = isCombo ? static_cast<QObject*>(comboLV_[size_t(n)])
                              : static_cast<QObject*>(textLV_[size_t(n)]);
    QCoreApplication::sendEvent(target, &changed);
    inKeyForward_ = false;
    return true;
}

// ---------------------------------------------------------------- event routing

bool UC_ListView::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type t = event->type();
    if (watched == list_) {
        switch (t) {
        case QEvent::MouseButtonPress: ListPress(static_cast<QMouseEvent*>(event)); return true;
        case QEvent::MouseButtonRelease: ListRelease(static_cast<QMouseEvent*>(event)); return true;
        case QEvent::MouseMove: ListMove(static_cast<QMouseEvent*>(event)); return true;
        case QEvent::MouseButtonDblClick:
            ListDoubleClick();
            return true;
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* d = static_cast<QDragMoveEvent*>(event);
            DragOver(d->position().x() * Tpp(), d->position().y() * Tpp());
            d->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* d = static_cast<QDropEvent*>(event);
            const int button = d->buttons() & Qt::RightButton ? 2 : 1;
            emit OLEDragDrop(d->mimeData(), int(d->dropAction()), button, ShiftOf(d->modifiers()),
                             float(d->position().x() * Tpp()), float(d->position().y() * Tpp()));
            d->acceptProposedAction();
            return true;
        }
        default: return false;
        }
    }
    if (watched == tab_) {
        if (t == QEvent::MouseButtonPress || t == QEvent::MouseButtonRelease || t == QEvent::MouseMove) {
            TabMouse(t, static_cast<QMouseEvent*>(event));
            return true;
        }
        return false;
    }
    if ((t == QEvent::KeyPress || t == QEvent::KeyRelease) && !inKeyForward_) {
        for (size_t n = 0; n < textLV_.size(); ++n)
            if (watched == textLV_[n]) return EditorKey(false, int(n), static_cast<QKeyEvent*>(event));
        for (size_t n = 0; n < comboLV_.size(); ++n)
            if (watched == comboLV_[n]) return EditorKey(true, int(n), static_cast<QKeyEvent*>(event));
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace rilumo
