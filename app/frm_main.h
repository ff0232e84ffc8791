#pragma once
// The program's only window: the playlist, the play controls, the 15 ms
// playback timer and the one player, with the start-up and shutdown sequences.

#include <QMainWindow>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "app/command_guard.h"
#include "app/main_state.h"
#include "controls/listview/uc_listview.h"
#include "controls/surface_widget.h"
#include "controls/uc_bar.h"
#include "controls/uc_buttons.h"
#include "controls/uc_text_picture.h"
#include "playback/c_fgraph.h"
#include "support/value.h"

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
    // A close asked for from outside (a quit signal): at once once started,
    // else as soon as the start-up sequence ends.
    void RequestClose();
    bool CloseRequested() const { return closeRequested_; }

    MainState& State() { return state_; }
    // Every way in from the user or a remote goes through here. While a
    // playlist command holds the busy flag, a call that the flag governs
    // runs at once and the flag decides (Esc still cancels a scan); any other
    // call arriving inside a running command's yield point waits for it.
    enum class WhenBusy { Passes, Waits };
    void Enter(WhenBusy when, std::function<void()> call);
    CommandGuard& Commands() { return commands_; }
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
    // Shows why a list cannot be loaded; false when it cannot.
    bool TellListProblem(const QString& file);
    // False when the list could not be written; the user has been told why.
    bool WriteList(const QString& file);
    void DropOnList(const QStringList& files, float y);
    void BringToFront();

    // The player's mode and stop, as the commands see them.
    std::int32_t PlayerMode();
    void StopPlayer();

    // The playback controller: the 15 ms tick and what the user drives it with.
    void OnTick();
    void PlayButtons_ButtonClicked(std::int16_t ClickedIndex);
    void PlayFrom();
    void ProgBar_Scrolled();
    void ProgBar_MouseUD(bool IsDown);
    // The bar's release at a time rather than a place on the bar, so that a
    // remote control's seek is not rounded to the bar's thousandths.
    void SeekTo(std::int32_t position);
    void PicPlay_MouseUD(std::int16_t Button, bool IsDown, std::int32_t pIndex);
    // Key codes as the platform's virtual keys (Space 32, Esc 27, R 82, S 83);
    // Shift 1 shift, 2 ctrl, 4 alt.
    void Form_KeyUp(int KeyCode, int Shift);
    void FindTitle();
    // Brings the tick back to its 15 ms pace after the idle slow-down.
    void WakeTimer();

    // Item commands on the playlist.
    QMenu* MenuRC() const { return menuRC_; }
    QAction* MenuDel() const { return menuDel_; }
    QAction* MenuInfo() const { return menuInfo_; }
    QAction* MenuClip() const { return menuClip_; }
    void LV_DblClicked();
    void LV_RightClicked(float x, float y);
    void MenuDel_Click();
    void MenuInfo_Click();
    void MenuClip_Click();
    void LV_OLEStartDrag(QMimeData* data, int& allowedEffects);
    void LV_OLECompleteDrag(int& effect);

    // The background double-click: shrink to the play controls' width.
    void Form_DblClick();

    // Twips geometry of the window's client area.
    int ClientWidthTwips() const;
    int ClientHeightTwips() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
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
    void FitOnScreen();
    void RunLayout();
    void LoadCommandLineList();
    void StartTimer();

    // Shutdown steps.
    void StopAndClosePlayer();
    void SavePlacement();
    void RemoveWheelSubclass();
    void ReleaseFonts();

    // Item commands' helpers. The play index follows the entry it names when
    // entries above it come or go.
    void BuildItemMenu();
    std::vector<int> SelectedEntries() const;
    void FollowInsertion(int index, int count);
    void FollowRemoval(const std::vector<int>& removed);

    // The tick's parts.
    void Tick();
    void OnStopped();
    void OnPaused();
    void OnPlaying();
    void ShowStoppedState();
    void ShowPosition();
    void ShowTime(std::int32_t length, std::int32_t position);
    void PaintAllEntries(std::uint32_t color);
    void PaceTimer();
    // Gapless advance: the entry after the playing one is prepared shortly
    // before the end, and taken up where the ordinary advance would start it.
    void PrepareNextEntry();
    bool TakeJoinedEntry();
    int NextEntry() const;

    void ShowStatusPicture(int index);
    void PaintWindowBackground();
    void OnListDrop(const QMimeData* data, float y);
    void ShowScanCount(const QString& text);

    StartupArgs args_;
    MainState state_;
    CommandGuard commands_{this};
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
    QMenu* menuRC_ = nullptr;
    QAction* menuDel_ = nullptr;
    QAction* menuInfo_ = nullptr;
    QAction* menuClip_ = nullptr;
    bool loaded_ = false;
    bool unloaded_ = false;
    // Entries dragged out, kept until the drag ends in case no drop takes them.
    struct DraggedEntry {
        int index = 0;
        QString path;
        Value title;
        std::uint32_t color = 0;
        std::int32_t icon = 0;
    };
    struct DragOut {
        bool active = false;
        bool refused = false;  // dropped back on the list, which refused it
        std::int32_t playIndex = 0;
        std::vector<DraggedEntry> entries;
    };
    DragOut dragOut_;
    bool closing_ = false;
    bool started_ = false;
    bool closeRequested_ = false;
    bool summaryPending_ = false;  // a format summary is being made for the box
    bool inTick_ = false;
    int quietTicks_ = 0;
    std::int32_t shownLength_ = 0;
    std::int32_t shownPosition_ = 0;
    int nextIndex_ = -1;     // the entry prepared to follow the playing one
    bool nextTried_ = false;  // once per track
};

// 1 when the mouse pointer is strictly inside the control's rectangle on screen.
int IsCursorOver(QWidget* window, QWidget* control);

// Runs the program: the application object, the main window, the event loop.
int RunProgram(int argc, char** argv);

}  // namespace rilumo
