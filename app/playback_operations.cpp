// What playback is driven with: the play buttons, seeking with the bar, the
// elapsed/remaining toggle, stepping through the list, and the readers the
// desktop's remote asks.

#include <algorithm>

#include "app/playback_controller.h"
#include "app/sheet_entries.h"
#include "controls/listview/uc_listview.h"
#include "controls/uc_bar.h"
#include "controls/uc_text_picture.h"
#include "support/error_trap.h"
#include "support/paths.h"
#include "support/rounding.h"

namespace rilumo {

std::int32_t PlaybackController::Mode() { return Player().mode(); }
void PlaybackController::StopPlayer() { Player().StopIO(); }

void PlaybackController::StopForCommand() {
    WakeTimer();
    if (Mode() != kModeStopped) StopPlayer();
    state_.userStop = 1;
}

void PlaybackController::ButtonClicked(std::int16_t index) {
    if (Busy()) return;
    CommandGuard::Scope running(commands_);
    WakeTimer();
    Trap([&] {
        switch (index) {
        case kButtonStop:
            StopForCommand();
            SelectEntry(state_.playIndex);
            view_.list.ReDraw();
            break;
        case kButtonPause: {
            const std::int32_t m = Mode();
            if (m == kModePaused || m == kModePlaying) Player().Pause();
            break;
        }
        case kButtonPlay:
            if (Mode() == kModePaused) {
                Player().Pause();
            } else {
                PlayFrom();
            }
            break;
        default: break;
        }
    });
}

void PlaybackController::PlayFrom() {
    // The list's repaints below let events run; a tick among them would see
    // the closed player between two tracks and take it for a stop.
    FlagHold noTicks(inTick_);
    CommandGuard::Scope running(commands_);
    WakeTimer();
    ReadyPlayer();
    C_FGraph& player = Player();
    UC_ListView& lv = view_.list;
    player.CloseWave();
    PaintAllEntries(kPlainColor);
    const int count = lv.ItemCount();
    nextTried_ = false;
    state_.playIndex = std::max(lv.SelectedItem(), 0);
    if (state_.playIndex < count) {
        lv.ShowSelected(1);
        lv.UnSelectAll();
    } else {
        state_.playIndex = 0;
    }
    if (state_.playIndex < count) {
        lv.SetDispColor(state_.playIndex, kPlayingColor);
        player.SetFileName(lv.AuxID(state_.playIndex, 0).ToText(), SegmentAt(state_.playIndex));
        const bool started = player.Play() != 0;
        ShowLength(player.Length());
        if (!started) ShowStoppedState();
    }
    lv.ReDraw();
}

void PlaybackController::BarScrolled() {
    C_FGraph& player = Player();
    const std::int32_t length = player.Length();
    const auto position = RoundEvenInt(view_.bar.Value() / 1000.0 * length);
    ShowTime(length, position);
    player.SetFromMS(position);
}

void PlaybackController::BarReleased() {
    WakeTimer();
    Trap([this] {
        BarScrolled();
        if (!Playing()) return;
        Player().Play();
        emit Seeked();
    });
}

void PlaybackController::SeekTo(std::int32_t position) {
    WakeTimer();
    Trap([&] {
        C_FGraph& player = Player();
        ShowTime(player.Length(), position);
        player.SetFromMS(position);
        if (!Playing()) return;
        player.Play();
        emit Seeked();
    });
}

void PlaybackController::ToggleRemaining() {
    state_.showRemaining = state_.showRemaining == 0 ? 1 : 0;
    if (state_.lastSeenMode != kModeEnded) view_.panel.SetColor(state_.showRemaining + 1);
}

void PlaybackController::EntriesInserted(int index, int count) {
    // The entry prepared to follow may no longer be the one that follows.
    Player().DropNext();
    if (count > 0 && index <= state_.playIndex) state_.playIndex += count;
}

void PlaybackController::EntriesRemoved(const std::vector<int>& removed) {
    Player().DropNext();
    const int p = state_.playIndex;
    const auto before = std::lower_bound(removed.begin(), removed.end(), p);
    state_.playIndex = p - static_cast<int>(before - removed.begin());
    // The playing entry itself went: the next advance goes to the one that followed it.
    if (before != removed.end() && *before == p) state_.playIndex -= 1;
}

PlaySegment PlaybackController::SegmentAt(int row) const {
    const EntrySegment e = SegmentOf(view_.list, row);
    if (!e.isTrack) return {};
    return PlaySegment{true, e.startFrames, e.endFrames, e.sheetPath, e.trackNumber};
}

void PlaybackController::SelectEntry(int index) {
    view_.list.UnSelectAll();
    view_.list.SetSelectedItem(index);
}

// The loaded track's entry, else the one the play button starts: the cursor's, else the first.
int PlaybackController::CurrentEntry() const {
    if (player_ && !player_->FileName().isEmpty()) return state_.playIndex;
    return std::max(view_.list.SelectedItem(), 0);
}

void PlaybackController::Step(int direction) {
    if (Busy()) return;
    Trap([&] {
        const int count = view_.list.ItemCount();
        if (count < 1) return;
        const int next = ((CurrentEntry() + direction) % count + count) % count;
        const std::int32_t mode = Mode();
        // Play while paused would resume the paused track.
        if (mode == kModePaused) ButtonClicked(kButtonStop);
        SelectEntry(next);
        if (mode == kModePlaying) {
            ButtonClicked(kButtonPlay);
            return;
        }
        view_.list.ShowSelected(1);
        view_.list.ReDraw();
    });
}

void PlaybackController::PlayLast() {
    view_.list.SetVbarParm();
    if (Mode() == kModePaused) ButtonClicked(kButtonStop);
    SelectEntry(view_.list.ItemCount() - 1);
    ButtonClicked(kButtonPlay);
}

bool PlaybackController::HasEntries() const { return view_.list.ItemCount() > 0; }

PlaybackTrack PlaybackController::CurrentTrack() const {
    const UC_ListView& lv = view_.list;
    const QString loaded = player_ ? player_->FileName() : QString();
    const int i = CurrentEntry();
    // -1 would name the cursor's entry.
    const bool inList = i >= 0 && i < lv.ItemCount();
    const QString entryPath = inList ? lv.AuxID(i, 0).ToText() : QString();
    PlaybackTrack t;
    t.path = loaded.isEmpty() ? entryPath : loaded;
    if (t.path.isEmpty()) return {};
    t.title = t.path == entryPath ? lv.Value(i, 0).ToText() : TitleOf(t.path);
    t.length = loaded.isEmpty() ? 0 : player_->Length();
    const PlaySegment segment = loaded.isEmpty() ? (inList ? SegmentAt(i) : PlaySegment{}) : player_->Segment();
    if (segment.isTrack) t.sheetTrack = std::max(segment.trackNumber, 1);
    return t;
}

std::int32_t PlaybackController::Length() const { return player_ ? player_->Length() : 0; }

std::int32_t PlaybackController::Position() const {
    const std::int32_t mode = state_.lastSeenMode;
    if (!player_ || (mode != kModePaused && mode != kModePlaying)) return 0;
    return player_->Position(0);
}

std::int32_t PlaybackController::SeekedTo() const { return player_ ? player_->FromMS() : 0; }

}  // namespace rilumo
