#pragma once
// The program's only window: the playlist and its commands, the play controls
// whose handlers the playback controller serves, and the start-up and
// shutdown sequences.

#include <QMainWindow>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "app/main_state.h"
#include "app/playback_controller.h"
#include "controls/listview/uc_listview.h"
#include "controls/surface_widget.h"
#include "controls/uc_bar.h"
#include "controls/uc_buttons.h"
#include "controls/uc_text_picture.h"
#include "support/value.h"

class QAction;
class QLabel;
class QMenu;
class QMimeData;

namespace rilumo {

class ListFind;
class TagLoader;

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

    // The state record: the playback fields are the controller's.
    MainState State();
    PlaybackController& Playback() { return *playback_; }
    // Every way in from the user or a remote goes through here (Esc still
    // cancels a scan while a command holds the busy flag).
    using WhenBusy = PlaybackController::WhenBusy;
    void Enter(WhenBusy when, std::function<void()> call) { playback_->Enter(when, std::move(call)); }
    CommandGuard& Commands() { return playback_->Commands(); }
    QTimer& TimerMCI() { return playback_->Timer(); }
    QMenu* MenuPL() const { return menuPL_; }
    QAction* MenuFile(int index) const { return menuFile_.at(static_cast<size_t>(index)); }
    SurfaceWidget& PictureF() { return *pictureF_; }
    UC_ListView& LV() { return *lv_; }
    // Find as you type over the list (Ctrl+F).
    ListFind& Find() { return *find_; }
    UC_Buttons& PlayButtons() { return *playButtons_; }
    UC_Bar& ProgBar() { return *progBar_; }
    UC_TextPicture& PicPlay() { return *picPlay_; }
    QLabel* ImageOA(int index) const { return imageOA_.at(static_cast<size_t>(index)); }
    // The one player; created at start-up and kept for the whole run. Its
    // first use waits for the back end, which loads off the window thread.
    C_FGraph& Player() {
        playback_->ReadyPlayer();
        return playback_->Player();
    }
    // Reads the entries' tags in the background and keeps the playing track's.
    TagLoader& Tags() { return *tags_; }

    // Playlist commands.
    void MenuFileClick(int index);
    void AddTitle(const QString& path, std::int32_t index);
    void AddFolder(const QString& folder);
    void ReadList(const QString& file);
    // Shows why a list cannot be loaded; false when it cannot.
    bool TellListProblem(const QString& file);
    // False when the list could not be written; the user has been told why.
    bool WriteList(const QString& file);
    // Names the entries a save had to leave out.
    void TellLeftOut(const QStringList& paths);
    void DropOnList(const QStringList& files, float y);
    void BringToFront();

    // The player's mode and stop, as the commands see them.
    std::int32_t PlayerMode() { return playback_->Mode(); }
    void StopPlayer() { playback_->StopPlayer(); }

    // The playback controller's handlers: the 15 ms tick and what the user drives it with.
    void OnTick() { playback_->OnTick(); }
    void PlayButtons_ButtonClicked(std::int16_t ClickedIndex) { playback_->ButtonClicked(ClickedIndex); }
    void PlayFrom() { playback_->PlayFrom(); }
    void ProgBar_Scrolled() { playback_->BarScrolled(); }
    void ProgBar_MouseUD(bool IsDown) {
        if (!IsDown) playback_->BarReleased();
    }
    // The bar's release at a time rather than a place on the bar, so that a
    // remote control's seek is not rounded to the bar's thousandths.
    void SeekTo(std::int32_t position) { playback_->SeekTo(position); }
    void PicPlay_MouseUD(std::int16_t, bool IsDown, std::int32_t) {
        if (!IsDown) playback_->ToggleRemaining();
    }
    // Key codes as the platform's virtual keys (Space 32, Esc 27, R 82, S 83);
    // Shift 1 shift, 2 ctrl, 4 alt.
    void Form_KeyUp(int KeyCode, int Shift);
    void FindTitle();
    // Brings the tick back to its 15 ms pace, or starts it again after a quiet stop.
    void WakeTimer() { playback_->WakeTimer(); }

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
    void SavePlacement();
    void RemoveWheelSubclass();
    void ReleaseFonts();

    // Item commands' helpers.
    void BuildItemMenu();
    std::vector<int> SelectedEntries() const;
    void FollowInsertion(int index, int count) { playback_->EntriesInserted(index, count); }
    void FollowRemoval(const std::vector<int>& removed) { playback_->EntriesRemoved(removed); }

    void PaintWindowBackground();
    void OnListDrop(const QMimeData* data, float y);
    bool OwnEntryNames(const QStringList& files, QStringList& names) const;
    void ShowScanCount(const QString& text);

    StartupArgs args_;
    CommandFlags state_;
    QMenu* menuPL_ = nullptr;
    std::array<QAction*, 6> menuFile_{};
    SurfaceWidget* client_ = nullptr;
    SurfaceWidget* pictureF_ = nullptr;
    UC_ListView* lv_ = nullptr;
    ListFind* find_ = nullptr;  // owned by lv_
    UC_Buttons* playButtons_ = nullptr;
    UC_Bar* progBar_ = nullptr;
    UC_TextPicture* picPlay_ = nullptr;
    std::array<QLabel*, 3> imageOA_{};
    std::unique_ptr<PlaybackController> playback_;
    std::unique_ptr<TagLoader> tags_;  // after playback_: its worker ends first
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
        QString name;               // the list line that names it again
        std::vector<Value> cells;   // a sheet track's cells come from no file
        Value segment;
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
};

}  // namespace rilumo
