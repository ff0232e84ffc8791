// The widget shell of the playlist view: its parts, its style, Init and the
// routing of the parts' events. The roles live beside it: columns.cpp,
// tab_strip.cpp, scrolling.cpp, row_painter.cpp, list_mouse.cpp, editors.cpp.

#include "controls/listview/uc_listview.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>

#include <algorithm>

#include "controls/control_font.h"
#include "controls/control_resources.h"
#include "controls/draw_primitives.h"
#include "controls/listview/scroll_bar.h"
#include "controls/listview/view_metrics.h"
#include "controls/surface_widget.h"
#include "support/globals.h"
#include "support/ui/fonts.h"

namespace rilumo {

using namespace listview;

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
    list_->Pic().SetBackColor(kWindow);
    list_->Pic().SetForeColor(kWindowText);
    tabGrad_.ResizeTwips(1515, 270);
    icons_.LoadImage(BuiltInPicture(kFileTypeIconsPath));
    menu_ = new QMenu(this);
    textLV_.push_back(NewTextEditor(0));
    comboLV_.push_back(NewComboEditor(0));
}

UC_ListView::~UC_ListView() {
    delete vbar_;
    delete hbar_;
}

void UC_ListView::SetOneHeight(std::int32_t twips) {
    view_.oneHeight = twips;
    if (editorHeight_ == 0) editorHeight_ = twips;
}

void UC_ListView::SetOneHeight() {
    const std::int32_t h =
        static_cast<std::int32_t>(RoundEven(list_->Pic().TextHeight(QStringLiteral("|")))) + PxToTwips(6);
    view_.oneHeight = h;
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
    textMargin_ = iconDisabled_ ? PxToTwips(6) : PxToTwips(22);
    // With the program's own fonts a view nobody styled still gets one of them.
    if (globals::FontSubstitution == 1 && !styleSet_)
        SetStyle(9, false, globals::DefaultFontFace, kWindowText, kWindow);
    if (!vbar_) CreateBars();
    if (tabDisabled_ == 1) {
        listTop_ = 0;
        tab_->hide();
    }
    list_->move(0, TwipsToPx(listTop_));
    PlaceBars();
    tabGrad_.Cls();
    PaintSurface(tabGrad_, 5, -1, -1, -1, kNoExtra, kNoExtra, kNoExtra);
    initialised_ = true;
}

void UC_ListView::resizeEvent(QResizeEvent*) { UserControl_Resize(); }

int UC_ListView::YsItem(float y) const {
    const int shown = store_.ShownCount();
    const int row = view_.YsItem(y, shown);
    if (!store_.Narrowed()) return row;
    if (row < shown) return store_.ShownEntry(row);
    return shown > 0 ? store_.ShownEntry(shown - 1) + 1 : store_.ItemCount();
}

bool UC_ListView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_) return ListEvent(event);
    if (watched == tab_) {
        const QEvent::Type t = event->type();
        if (t != QEvent::MouseButtonPress && t != QEvent::MouseButtonRelease && t != QEvent::MouseMove)
            return false;
        TabMouse(t, static_cast<QMouseEvent*>(event));
        return true;
    }
    if (EditorEvent(watched, event)) return true;
    return QWidget::eventFilter(watched, event);
}

}  // namespace rilumo
