#pragma once
// The program's only window: the playlist, the play controls, the 15 ms
// playback timer and the one player, with the start-up and shutdown sequences.

#include <QMainWindow>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>
#include <memory>

#include "app/main_state.h"
#include "controls/listview/uc_listview.h"
#include "controls/surface_widget.h"
#include "controls/uc_bar.h"
#include "controls/uc_buttons.h"
#include "controls/uc_text_picture.h"
#include "playback/c_fgraph.h"

class QAction;
class QLabel;
class QMenu;
class QMimeData;

namespace rilumo {

// What the process was started with: the whole argument text (arguments
// joined by single spaces, quotes kept) and the folder it was started from.
struct StartupArgs {
    QString commandLine;
    QString startFolder;
};

StartupArgs StartupArgsFrom(int argc, char** argv);

// The command-line text as a path, resolved against the start folder when
// relative, so that a relative list path typed in a terminal works even
// though the program then changes to its own folder.
QString CommandLinePath(const StartupArgs& args);

class FrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit FrmMain(StartupArgs args, QWidget* parent = nullptr);
    ~FrmMain() override;

    // The start-up sequence; runs once, before the window is shown.
    void Load();
    // The shutdown sequence; runs once when the window closes.
    void Unload();

    MainState& State() { return state_; }
    QTimer& TimerMCI() { return timer_; }
    QMenu* MenuPL() const { return menuPL_; }
    QAction* MenuFile(int index) const { return menuFile_.at(static_cast<size_t>(index)); }
    SurfaceWidget& PictureF() { return *pictureF_; }
    UC_ListView& LV() { return *lv_; }
    UC_Buttons& PlayButtons() { return *playButtons_; }
    UC_Bar& ProgBar() { return *progBar_; }
    UC_TextPicture& PicPlay() { return *picPlay_; }
    QLabel* ImageOA(int index) const { return imageOA_.at(static_cast<size_t>(index)); }
    // The one player; created at start-up and kept for the whole run.
    C_FGraph& Player();

    // Playlist commands.
    void MenuFileClick(int index);
    void AddTitle(const QString& path, std::int32_t index);
    void AddFolder(const QString& folder);
    void ReadList(const QString& file);
    // False when the list could not be written; the user has been told why.
    bool WriteList(const QString& file);
    void DropOnList(const QStringList& files, float y);
    void BringToFront();

    // The player's mode and stop, as the commands see them.
    std::int32_t PlayerMode();
    void StopPlayer();

    // Twips geometry of the window's client area.
    int ClientWidthTwips() const;
    int ClientHeightTwips() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildMenus();
    void BuildDesign();

    // Start-up steps whose components are wired as they land.
    void ApplyStartupFont();
    void InstallWheelSubclass();
    void InitProgressBar();
    void CreatePlayer();
    void InitPlayButtons();
    void ShowStoppedIcon();
    void InitPlaylistView();
    void InitTextPanel();
    void PaintControlsBackground();
    void RestorePlacement();
    void RunLayout();
    void LoadCommandLineList();
    void StartTimer();

    // Shutdown steps.
    void StopAndClosePlayer();
    void SavePlacement();
    void RemoveWheelSubclass();
    void ReleaseFonts();

    void OnTick();
    void ShowStatusPicture(int index);
    void PaintWindowBackground();
    void OnListDrop(const QMimeData* data, float y);
    void ShowScanCount(const QString& text);

    StartupArgs args_;
    MainState state_;
    QTimer timer_;
    QMenu* menuPL_ = nullptr;
    std::array<QAction*, 6> menuFile_{};
    SurfaceWidget* client_ = nullptr;
    SurfaceWidget* pictureF_ = nullptr;
    UC_ListView* lv_ = nullptr;
    UC_Buttons* playButtons_ = nullptr;
    UC_Bar* progBar_ = nullptr;
    UC_TextPicture* picPlay_ = nullptr;
    std::array<QLabel*, 3> imageOA_{};
    std::unique_ptr<C_FGraph> player_;
    bool loaded_ = false;
    bool unloaded_ = false;
};

// Runs the program: the application object, the main window, the event loop.
int RunProgram(int argc, char** argv);

}  // namespace rilumo
