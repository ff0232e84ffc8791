#include "app/frm_main.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

#include "app/application.h"
#include "support/error_trap.h"
#include "support/file_ops.h"
#include "support/globals.h"
#include "support/paths.h"
#include "support/settings.h"

namespace rilumo {

namespace {

// Design geometry in twips.
constexpr int kClientWidth = 5220;
constexpr int kClientHeight = 5820;
constexpr int kPictureLeft = 30, kPictureTop = 75, kPictureWidth = 5055, kPictureHeight = 1065;

const char* const kMenuFileCaptions[6] = {"読み込み", "保存", "フォルダから", "フォルダからランダム",
                                          "ランダマイズ", "クリア"};

int px(int twips) { return twips / globals::TwipsPerPixel; }

// A stored switch as a 32-bit integer; text that is no number reads as 0.
std::int32_t switchValue(const QString& key) {
    bool ok = false;
    const double d = ReadSetting(key, 0).trimmed().toDouble(&ok);
    if (!ok || d < -2147483648.0 || d > 2147483647.0) return 0;
    return static_cast<std::int32_t>(std::nearbyint(d));
}

}  // namespace

StartupArgs StartupArgsFrom(int argc, char** argv) {
    QStringList parts;
    for (int i = 1; i < argc; ++i) parts << QString::fromLocal8Bit(argv[i]);
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
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &FrmMain::OnTick);
}

FrmMain::~FrmMain() = default;

void FrmMain::BuildMenus() {
    menuPL_ = menuBar()->addMenu(QStringLiteral("プレイリスト(&P)"));
    for (int i = 0; i < 6; ++i) {
        QAction* a = menuPL_->addAction(QString::fromUtf8(kMenuFileCaptions[i]));
        connect(a, &QAction::triggered, this, [this, i] { OnMenuFile(i); });
        menuFile_[static_cast<size_t>(i)] = a;
    }
}

void FrmMain::BuildDesign() {
    client_ = new QWidget(this);
    setCentralWidget(client_);
    pictureF_ = new QWidget(client_);
    pictureF_->setObjectName(QStringLiteral("PictureF"));
}

int FrmMain::ClientWidthTwips() const { return client_->width() * globals::TwipsPerPixel; }
int FrmMain::ClientHeightTwips() const { return client_->height() * globals::TwipsPerPixel; }

void FrmMain::Load() {
    if (loaded_) return;
    loaded_ = true;

    // 1. Twips per pixel, from the screen's logical resolution.
    if (QScreen* s = screen()) {
        const double dpi = s->logicalDotsPerInchX();
        if (dpi > 0) globals::TwipsPerPixel = std::max(1, static_cast<int>(std::lround(1440.0 / dpi)));
    }
    resize(px(kClientWidth), px(kClientHeight) + menuBar()->sizeHint().height());
    pictureF_->setGeometry(px(kPictureLeft), px(kPictureTop), px(kPictureWidth), px(kPictureHeight));

    // 2. Work in the program folder (the command-line path was resolved before).
    QDir::setCurrent(AppFolder());

    // 3.-4. Switches; a stored value that is no number reads as 0.
    globals::LogError = switchValue(QStringLiteral("LogError"));
    globals::ErrorCatch = switchValue(QStringLiteral("ErrorCatch"));
    if (globals::ErrorCatch == 0) globals::ErrorCatch = FileExists(AppFolder() + QStringLiteral("ec.txt"));

    // 5. From here on a failing step is skipped unless the error-catch flag is on.
    Trap([] { /* 6. language mode: wired with the fonts */ });
    Trap([this] { ApplyStartupFont(); });
    if (globals::ErrorCatch == 0) Trap([this] { InstallWheelSubclass(); });
    Trap([this] { setWindowTitle(QStringLiteral("Rilumo")); });
    Trap([this] { InitProgressBar(); });
    Trap([this] { state_.showRemaining = switchValue(QStringLiteral("IsRemain")); });
    Trap([this] { CreatePlayer(); });
    Trap([this] { InitPlayButtons(); });
    Trap([this] { ShowStoppedIcon(); });
    Trap([this] { InitPlaylistView(); });
    Trap([this] { InitTextPanel(); });
    Trap([this] { PaintControlsBackground(); });
    Trap([this] { RestorePlacement(); });
    Trap([this] { show(); });
    Trap([this] { RunLayout(); });
    Trap([this] { LoadCommandLineList(); });
    Trap([this] { StartTimer(); });
}

void FrmMain::Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    timer_.stop();
    Trap([this] { StopAndClosePlayer(); });
    Trap([this] { WriteSetting(QStringLiteral("IsRemain"), state_.showRemaining); });
    Trap([this] { SavePlacement(); });
    Trap([this] { RemoveWheelSubclass(); });
    Trap([this] { ReleaseFonts(); });
}

void FrmMain::closeEvent(QCloseEvent* event) {
    Unload();
    event->accept();
}

void FrmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (loaded_) RunLayout();
}

void FrmMain::ApplyStartupFont() {}
void FrmMain::InstallWheelSubclass() {}
void FrmMain::InitProgressBar() {}
void FrmMain::CreatePlayer() {}
void FrmMain::InitPlayButtons() {}
void FrmMain::ShowStoppedIcon() {}
void FrmMain::InitPlaylistView() {}
void FrmMain::InitTextPanel() {}
void FrmMain::PaintControlsBackground() {}
void FrmMain::RestorePlacement() {}

void FrmMain::RunLayout() {
    if (isMinimized()) return;
    const int left = (ClientWidthTwips() - kPictureWidth) / 2;
    Trap([&] { pictureF_->move(px(left), px(kPictureTop)); });
}

void FrmMain::LoadCommandLineList() {}

void FrmMain::StartTimer() { timer_.start(15); }

void FrmMain::StopAndClosePlayer() {}
void FrmMain::SavePlacement() {}
void FrmMain::RemoveWheelSubclass() {}
void FrmMain::ReleaseFonts() {}

void FrmMain::OnTick() {}
void FrmMain::OnMenuFile(int) {}

int RunProgram(int argc, char** argv) {
    const StartupArgs args = StartupArgsFrom(argc, argv);
    Application app(argc, argv);
    FrmMain w(args);
    w.Load();
    return app.exec();
}

}  // namespace rilumo
