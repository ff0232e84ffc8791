#pragma once
// Plays the playlist in order: the 15 ms tick that polls the one player and
// reacts to its changes of mode, and the operations the window's handlers
// and the desktop's remote drive playback with. It owns the player, the
// tick's timer, the playback fields of the window's state record and the
// guard that keeps one command at a time; of the window it knows only the
// controls in View.

#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "app/command_guard.h"
#include "app/main_state.h"
#include "app/window_codes.h"
#include "playback/c_fgraph.h"

class QLabel;
class QWidget;

namespace rilumo {

class UC_Bar;
class UC_Buttons;
class UC_ListView;
class UC_TextPicture;

// The track loaded, or the entry play would start.
struct PlaybackTrack {
    QString path;  // empty: none
    QString title;
    std::int32_t length = 0;  // ms; 0 while unknown
    int sheetTrack = 0;       // a CUE sheet's track of the file; 0: the whole file
};

class PlaybackController : public QObject {
    Q_OBJECT
public:
    // The window's controls, which it owns and the controller writes.
    struct View {
        QWidget& window;  // where the wheel turns and the pointer is
        UC_ListView& list;
        UC_TextPicture& panel;
        UC_Buttons& buttons;
        UC_Bar& bar;
        std::array<QLabel*, 3> status;  // the one shown, the stopped picture, the playing picture
    };
    // While a playlist command holds the busy flag, a call that the flag
    // governs runs at once and the flag decides; any other call arriving
    // inside a running command's yield point waits for it.
    enum class WhenBusy { Passes, Waits };

    // busy is the playlist commands' flag, read here, never written.
    PlaybackController(View view, const std::int32_t& busy, QObject* parent = nullptr);
    ~PlaybackController() override;

    PlaybackState& State() { return state_; }
    const PlaybackState& State() const { return state_; }
    bool Busy() const { return busy_ == 1; }
    CommandGuard& Commands() { return commands_; }
    void Enter(WhenBusy when, std::function<void()> call);
    QTimer& Timer() { return timer_; }

    // The one player; NewPlayer replaces it, as start-up does once.
    C_FGraph& Player();
    C_FGraph& NewPlayer();
    // Readies the player for its first use, waiting for the back end if it
    // is still loading; the tick does it once the back end is there.
    void ReadyPlayer();
    void StartTimer();
    void ShowStoppedPicture();
    // No tick runs from here on; the player is stopped and closed.
    void Shutdown();

    void OnTick();
    // Brings the tick back to its 15 ms pace, or starts it again after a quiet stop.
    void WakeTimer();
    // Draws the time and the bar as they are now, after drawing was skipped
    // while the window was hidden.
    void ShowCurrentState();

    // The player's mode, as the commands ask for it.
    std::int32_t Mode();
    void StopPlayer();
    // A command's stop: the tick then shows "STOP" and does not advance.
    void StopForCommand();
    void ButtonClicked(std::int16_t index);
    void PlayFrom();
    void BarScrolled();
    void BarReleased();
    void SeekTo(std::int32_t position);
    void ToggleRemaining();
    // The following (+1) or preceding (-1) entry, round the list's ends.
    void Step(int direction);
    // Plays the last entry, just added.
    void PlayLast();
    // The play index follows the entry it names when entries above it come or go.
    void EntriesInserted(int index, int count);
    void EntriesRemoved(const std::vector<int>& removed);  // ascending

    // Readers: none of them changes the controller's state.
    bool Playing() const { return state_.lastSeenMode == kModePlaying; }
    bool HasEntries() const;
    PlaybackTrack CurrentTrack() const;
    std::int32_t Length() const;
    std::int32_t Position() const;
    std::int32_t SeekedTo() const;

signals:
    // Playback of the playing track moved to SeekedTo.
    void Seeked();

private:
    static constexpr std::uint32_t kPlayingColor = 0x00FF00;
    static constexpr std::uint32_t kPlainColor = 0xFFFFFF;
    // Holds a flag for a scope and restores it however the scope is left.
    struct FlagHold {
        bool& flag;
        bool was;
        explicit FlagHold(bool& f) : flag(f), was(f) { flag = true; }
        ~FlagHold() { flag = was; }
    };

    void Tick();
    void ScrollByWheel();
    void OnStopped();
    void OnPaused();
    void OnPlaying();
    void ShowStoppedState();
    bool Shown() const;
    void ShowPosition(std::int32_t position);
    void ShowLength(std::int32_t length);
    void ShowTime(std::int32_t length, std::int32_t position);
    void ShowStatusPicture(int index);
    void PaintAllEntries(std::uint32_t color);
    void PaceTimer();
    // Gapless advance: the entry after the playing one is prepared shortly
    // before the end, and taken up where the ordinary advance would start it.
    void PrepareNextEntry(std::int32_t position);
    bool TakeJoinedEntry();
    int NextEntry() const;
    void SelectEntry(int index);
    int CurrentEntry() const;
    // What of its file an entry plays: a sheet's track, or all of it.
    PlaySegment SegmentAt(int row) const;

    View view_;
    const std::int32_t& busy_;
    PlaybackState state_;
    CommandGuard commands_{this};
    QTimer timer_;
    std::unique_ptr<C_FGraph> player_;
    bool shutDown_ = false;
    bool timerStarted_ = false;
    bool playerReady_ = false;
    bool inTick_ = false;
    int quietTicks_ = 0;
    std::int32_t shownLength_ = 0;
    std::int32_t shownPosition_ = 0;
    int nextIndex_ = -1;      // the entry prepared to follow the playing one
    bool nextTried_ = false;  // once per track
};

// 1 when the mouse pointer is strictly inside the control's rectangle on screen.
int IsCursorOver(QWidget* window, QWidget* control);

}  // namespace rilumo
