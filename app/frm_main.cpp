#include "app/frm_main.h"
#include "app/replaygain_menu.h"

#include <QAction>
#include <QCursor>
#include <QLabel>
#include <QMimeData>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

#include "app/list_columns.h"
#include "app/list_find.h"
#include "app/tag_loader.h"
#include "controls/draw_primitives.h"
#include "controls/listview/find_box.h"
#include "controls/key_codes.h"
#include "controls/listview/playlist_view_setup.h"
#include "support/convert.h"
#include "support/error_trap.h"
#include "support/file_ops.h"
#include "support/globals.h"
#include "support/paths.h"
#include "support/rounding.h"
#include "support/settings.h"
#include "support/units.h"
#include "support/ui/fonts.h"
#include "support/ui/wheel_hook.h"
#include "support/ui/window_placement.h"

namespace rilumo {

namespace {

// Design geometry in twips.
constexpr int kClientWidth = 5220;
constexpr int kClientHeight = 5820;
constexpr int kListTop = 1215;
constexpr int kLoadLimitMs = 10000;
constexpr int kPictureLeft = 30, kPictureTop = 75, kPictureWidth = 5055, kPictureHeight = 1065;

const char* const kMenuFileCaptions[6] = {"読み込み", "保存", "フォルダから", "フォルダからランダム",
                                          "ランダマイズ", "クリア"};

// A stored switch as a 32-bit integer; text that is no number reads as 0.
std::int32_t switchValue(const QString& key) { return ToInt32Or(ReadSetting(key, 0), 0); }

}  // namespace

StartupArgs StartupArgsFrom(int argc, char** argv) {
    QStringList parts;
    for (int i = 1; i < argc; ++i) parts << PathFromBytes(QByteArray(argv[i]));
    return {parts.join(u' '), QDir::currentPath()};
}

QString CommandLinePath(const StartupArgs& args) {
    const QString& t = args.commandLine;
    if (t.isEmpty() || !QDir::isRelativePath(t)) return t;
    return QDir(args.startFolder).filePath(t);
}

FrmMain::FrmMain(StartupArgs args, QWidget* parent) : QMainWindow(parent), args_(std::move(args)) {
    BuildMenus();
    BuildDesign();
    playback_ = std::make_unique<PlaybackController>(
        PlaybackController::View{*this, *lv_, *picPlay_, *playButtons_, *progBar_, imageOA_}, state_.busy);
    connect(&TimerMCI(), &QTimer::timeout, this, &FrmMain::OnTick);
    tags_ = std::make_unique<TagLoader>(*lv_, *playback_);
}

FrmMain::~FrmMain() {
    if (qApp) qApp->removeEventFilter(this);
}

void FrmMain::BuildMenus() {
    menuPL_ = menuBar()->addMenu(QStringLiteral("プレイリスト(&P)"));
    for (int i = 0; i < 6; ++i) {
        QAction* a = menuPL_->addAction(QString::fromUtf8(kMenuFileCaptions[i]));
        connect(a, &QAction::triggered, this, [this, i] { Enter(WhenBusy::Passes, [this, i] { MenuFileClick(i); }); });
        menuFile_[static_cast<size_t>(i)] = a;
    }
    BuildPlayMenu(*menuBar());
    BuildItemMenu();
}

void FrmMain::BuildDesign() {
    client_ = new SurfaceWidget(this);
    setCentralWidget(client_);
    pictureF_ = new SurfaceWidget(client_);
    pictureF_->setObjectName(QStringLiteral("PictureF"));
    picPlay_ = new UC_TextPicture(pictureF_);
    playButtons_ = new UC_Buttons(pictureF_);
    progBar_ = new UC_Bar(pictureF_);
    for (size_t i = 0; i < imageOA_.size(); ++i) {
        imageOA_[i] = new QLabel(pictureF_);
        imageOA_[i]->setScaledContents(true);
    }
    imageOA_[1]->setPixmap(QPixmap(QStringLiteral(":/rilumo/on_air_off.png")));
    imageOA_[2]->setPixmap(QPixmap(QStringLiteral(":/rilumo/on_air_on.png")));
    imageOA_[1]->hide();
    imageOA_[2]->hide();
    lv_ = new UC_ListView(client_);
    lv_->setObjectName(QStringLiteral("LV"));
    setAcceptDrops(true);
    connect(lv_, &UC_ListView::OLEDragDrop, this,
            [this](const QMimeData* data, int, int, int, float, float y) { OnListDrop(data, y); });
    connect(lv_, &UC_ListView::OLEDragOver, this, &FrmMain::BringToFront);
    connect(lv_, &UC_ListView::DblClicked, this, [this] { Enter(WhenBusy::Passes, [this] { LV_DblClicked(); }); });
    connect(lv_, &UC_ListView::RightClicked, this,
            [this](float x, float y) { Enter(WhenBusy::Passes, [this, x, y] { LV_RightClicked(x, y); }); });
    connect(lv_, &UC_ListView::OLEStartDrag, this, &FrmMain::LV_OLEStartDrag);
    find_ = new ListFind(*lv_, [this] { Enter(WhenBusy::Passes, [this] { LV_DblClicked(); }); });
    connect(lv_, &UC_ListView::TabRightClicked, this, [this](int column) {
        NewColumnMenu(this, *lv_, column, [this] { find_->ColumnsChanged(); })->popup(QCursor::pos());
    });
    connect(lv_, &UC_ListView::TabMoved, this, [this] { SaveListColumns(*lv_); });
    connect(lv_, &UC_ListView::OLECompleteDrag, this, &FrmMain::LV_OLECompleteDrag);
    connect(playButtons_, &UC_Buttons::ButtonClicked, this, [this](int index) {
        Enter(WhenBusy::Passes, [this, index] { PlayButtons_ButtonClicked(static_cast<std::int16_t>(index)); });
    });
    connect(progBar_, &UC_Bar::Scrolled, this, [this] { Enter(WhenBusy::Passes, [this] { ProgBar_Scrolled(); }); });
    connect(progBar_, &UC_Bar::MouseUD, this,
            [this](bool down) { Enter(WhenBusy::Passes, [this, down] { ProgBar_MouseUD(down); }); });
    connect(picPlay_, &UC_TextPicture::MouseUD, this, [this](std::int16_t b, bool down, std::int32_t i) {
        Enter(WhenBusy::Passes, [this, b, down, i] { PicPlay_MouseUD(b, down, i); });
    });
    // Key releases, drags and wheel turns are seen whichever child has them.
    qApp->installEventFilter(this);
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type t = event->type();
    if (watched == this && (t == QEvent::Show || t == QEvent::WindowStateChange)) {
        // Nothing was drawn while the window was hidden or minimised.
        if (!isMinimized()) playback_->ShowCurrentState();
        return false;
    }
    if (t != QEvent::KeyRelease && t != QEvent::DragEnter && t != QEvent::Wheel && t != QEvent::MouseButtonDblClick)
        return QMainWindow::eventFilter(watched, event);
    if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != this) return false;
    switch (t) {
    case QEvent::KeyRelease: {
        auto* k = static_cast<QKeyEvent*>(event);
        // A key release travels up the parents; it counts once, where it landed.
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : this;
        // In the find box only Ctrl combinations are window commands; the
        // other keys are typing.
        const bool typing = IsFindBox(target) && !(k->modifiers() & Qt::ControlModifier);
        if (watched == target && !k->isAutoRepeat() && !typing) {
            const int key = VirtualKeyOf(k->key());
            const int shift = KeyShiftOf(k->modifiers());
            Enter(WhenBusy::Passes, [this, key, shift] { Form_KeyUp(key, shift); });
        }
        break;
    }
    case QEvent::DragEnter: BringToFront(); break;
    case QEvent::Wheel: WakeTimer(); break;
    case QEvent::MouseButtonDblClick:
        // Only the bare background: a control's double-click may bubble up here.
        if (watched == client_ &&
            !client_->childAt(static_cast<QMouseEvent*>(event)->position().toPoint()))
            Enter(WhenBusy::Passes, [this] { Form_DblClick(); });
        break;
    default: break;
    }
    return false;
}

MainState FrmMain::State() {
    PlaybackState& p = playback_->State();
    return {state_.busy, p.lastSeenMode, state_.cancelScan, p.playIndex, p.userStop, p.showRemaining};
}

void FrmMain::Form_DblClick() {
    Trap([this] {
        if (isMaximized() || isMinimized() || isFullScreen()) return;
        const int frame = frameGeometry().width() - width();
        resize(std::max(1, TwipsToPx(kPictureWidth) + 16 - frame), height());
    });
}

int FrmMain::ClientWidthTwips() const { return PxToTwips(client_->width()); }
int FrmMain::ClientHeightTwips() const { return PxToTwips(client_->height()); }

void FrmMain::Load() {
    if (loaded_) return;
    loaded_ = true;

    // 1. Twips per pixel, from the screen's logical resolution.
    if (QScreen* s = screen()) {
        const double dpi = s->logicalDotsPerInchX();
        if (dpi > 0) globals::TwipsPerPixel = std::max(1, RoundEvenInt(1440.0 / dpi));
    }
    resize(TwipsToPx(kClientWidth), TwipsToPx(kClientHeight) + menuBar()->sizeHint().height());
    pictureF_->MoveTwips(kPictureLeft, kPictureTop, kPictureWidth, kPictureHeight);
    picPlay_->MoveTwips(285, 90, 2280, 480);
    playButtons_->MoveTwips(2625, 90, 2175, 495);
    progBar_->MoveTwips(285, 600, 2295, 375);
    imageOA_[0]->setGeometry(TwipsToPx(3210), TwipsToPx(645), TwipsToPx(915), TwipsToPx(345));
    imageOA_[1]->setGeometry(TwipsToPx(4110), TwipsToPx(885), TwipsToPx(960), TwipsToPx(345));
    imageOA_[2]->setGeometry(TwipsToPx(4110), TwipsToPx(630), TwipsToPx(960), TwipsToPx(345));

    // 2. Work in the program folder (the command-line path was resolved before).
    QDir::setCurrent(AppFolder());

    // 3.-4. Switches; a stored value that is no number reads as 0.
    globals::LogError = switchValue(QStringLiteral("LogError"));
    globals::ErrorCatch = switchValue(QStringLiteral("ErrorCatch"));
    if (globals::ErrorCatch == 0) globals::ErrorCatch = FileExists(AppFolder() + QStringLiteral("ec.txt"));

    // 5. From here on a failing step is skipped unless the error-catch flag is on.
    Trap([] { SetLanguageMode(); });
    Trap([this] { ApplyStartupFont(); });
    if (globals::ErrorCatch == 0) Trap([this] { InstallWheelSubclass(); });
    Trap([this] { setWindowTitle(QStringLiteral("Rilumo")); });
    Trap([this] { InitProgressBar(); });
    Trap([this] { Playback().State().showRemaining = switchValue(QStringLiteral("IsRemain")); });
    Trap([this] { CreatePlayer(); });
    Trap([this] { InitPlayButtons(); });
    Trap([this] { ShowStoppedIcon(); });
    Trap([this] { InitPlaylistView(); });
    Trap([this] { InitTextPanel(); });
    Trap([this] { PaintControlsBackground(); });
    Trap([this] { RestorePlacement(); });
    Trap([this] { show(); });
    // Once more with the frame the desktop has now put round it.
    Trap([this] { FitOnScreen(); });
    Trap([this] { RunLayout(); });
    Trap([this] { LoadCommandLineList(); });
    Trap([this] { StartTimer(); });
    started_ = true;
}

void FrmMain::Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    Trap([this] { playback_->Shutdown(); });
    Trap([this] { WriteSetting(QStringLiteral("IsRemain"), Playback().State().showRemaining); });
    Trap([this] { SavePlacement(); });
    Trap([this] { RemoveWheelSubclass(); });
    Trap([this] { ReleaseFonts(); });
}

void FrmMain::RequestClose() {
    closeRequested_ = true;
    closing_ = true;
    state_.cancelScan = 1;
    // Inside the start-up sequence the close waits for its end, or its show()
    // would undo it; the commands under way stop at their next yield point.
    if (!started_) return;
    // A dialog open over the window would keep the program running.
    for (int i = 0; i < 8; ++i) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == this) break;
        modal->close();
    }
    close();
}

void FrmMain::closeEvent(QCloseEvent* event) {
    // A folder scan or list load under way ends at its next yield point.
    closing_ = true;
    state_.cancelScan = 1;
    Unload();
    event->accept();
}

void FrmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (loaded_) RunLayout();
}

void FrmMain::ApplyStartupFont() {
    if (globals::FontSubstitution == 1) ApplyFont(this, -2, nullptr, 0, 0, 0, QString());
}

void FrmMain::InstallWheelSubclass() { InstallSubclass(this); }
void FrmMain::InitProgressBar() { progBar_->Init(); }

void FrmMain::CreatePlayer() {
    C_FGraph& player = playback_->NewPlayer();
    // A track's end is seen at once rather than at the next tick; the player
    // is destroyed with the window, and its graphs drop the hook first.
    player.SetStreamEventHook([this] {
        QMetaObject::invokeMethod(
            this,
            [this] {
                WakeTimer();
                OnTick();
            },
            Qt::QueuedConnection);
    });
    // A file that never gets ready is given up in time for the user to notice.
    player.SetLoadLimit(kLoadLimitMs);
    // Init waits for the back end: the first tick or the first use does it.
}

void FrmMain::InitPlayButtons() {
    playButtons_->SetButtonsMCI();
    playButtons_->Init();
}

void FrmMain::ShowStoppedIcon() { playback_->ShowStoppedPicture(); }
void FrmMain::InitPlaylistView() {
    SetUpPlaylistView(*lv_, ListColumnSet());
    RestoreListColumns(*lv_);
    lv_->ReDrawTab(-1);
}
void FrmMain::InitTextPanel() {
    UC_TextPicture& p = *picPlay_;
    for (int set = 0; set < 3; ++set) p.AddStdColorSet(set);
    p.AddTextSpace(9, false, false, QString(), 1500, 90);   // status word
    p.AddTextSpace(15, false, false, QString(), 270, 90);   // time, or the scan count
    p.AddTextSpace(9, false, false, QString(), 1500, 270);  // track length
    p.Init();
}

void FrmMain::PaintControlsBackground() {
    PaintSurface(pictureF_->Pic(), 7, -1, -1, -1, kNoExtra, kNoExtra, kNoExtra);
    pictureF_->update();
}

void FrmMain::PaintWindowBackground() {
    PaintSurface(client_->Pic(), -2, -1, -1, -1, kNoExtra, kNoExtra, kNoExtra);
    PaintSurface(client_->Pic(), 1, -1, -1, -1, kNoExtra, kNoExtra, kNoExtra);
    client_->update();
}
void FrmMain::RestorePlacement() {
    WidgetPlacement placement(this);
    RestoreWindowPlacement(placement, QString(), false, true, false);
    // A placement saved on another monitor, or damaged, must still show the
    // window; what is saved at the end is then what was on screen.
    if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
    FitOnScreen();
}

void FrmMain::FitOnScreen() {
    FitWindowOnScreens(this, QSize(TwipsToPx(kPictureWidth) / 2, menuBar()->sizeHint().height() + TwipsToPx(kListTop)));
}

void FrmMain::RunLayout() {
    if (isMinimized()) return;
    const int width = ClientWidthTwips();
    const int height = std::max(0, ClientHeightTwips() - kListTop);
    Trap([&] { lv_->setGeometry(0, TwipsToPx(kListTop), TwipsToPx(width), TwipsToPx(height)); });
    // Alone, "タイトル" fills the width; beside others, each keeps its own.
    if (OnlyTitleShown(*lv_)) Trap([&] { lv_->SetTabWidth(0, std::max(0, width - 420)); });
    Trap([&] { lv_->UserControl_Resize(); });
    Trap([&] { pictureF_->move(TwipsToPx((width - kPictureWidth) / 2), TwipsToPx(kPictureTop)); });
    Trap([&] { PaintWindowBackground(); });
}

void FrmMain::StartTimer() { playback_->StartTimer(); }

void FrmMain::SavePlacement() {
    WidgetPlacement placement(this);
    SaveWindowPlacement(placement, QString(), false, false);
}

void FrmMain::RemoveWheelSubclass() { RemoveSubclass(this); }

void FrmMain::ReleaseFonts() {
    if (globals::FontSubstitution == 1) DeleteFonts();
}

void FrmMain::ShowScanCount(const QString& text) { picPlay_->DispMes(1, text); }

}  // namespace rilumo
