// The playback loop: the 15 ms tick that polls the player, the play buttons,
// seeking with the bar, the time display and the keys.

#include <QCursor>

#include <algorithm>
#include <cmath>

#include "app/frm_main.h"
#include "support/error_trap.h"
#include "support/log.h"
#include "support/rounding.h"
#include "support/time_format.h"
#include "support/ui/dialogs.h"
#include "support/ui/wheel_hook.h"

namespace rilumo {

namespace {

constexpr std::uint32_t kPlayingColor = 0x00FF00;
constexpr std::uint32_t kPlainColor = 0xFFFFFF;

// The tick keeps its 15 ms pace only while something may be about to change.
// A track's end, a failure or a load getting ready wake it from the player's
// streaming side, and every user action wakes it too, so between those a
// playing track needs only the time display's pace and a stopped window
// hardly any.
constexpr int kTickMs = 15;
constexpr int kTenthMs = 100;
constexpr int kIdleTickMs = 250;
constexpr int kQuietTicks = 20;
// How long before a track's end the next one is prepared: enough for any
// file to open and decode its first audio, short enough that a seek in the
// track rarely has to drop it.
constexpr int kPrepareAheadMs = 4000;

QString TimeText(std::int32_t ms) { return FormatMilliseconds(ms, 1, 0); }

// Holds the flag for a scope and restores it however the scope is left.
struct TickGuard {
    bool& flag;
    bool was;
    explicit TickGuard(bool& f) : flag(f), was(f) { flag = true; }
    ~TickGuard() { flag = was; }
};

}  // namespace

int IsCursorOver(QWidget* window, QWidget* control) {
    return TrapOr(0, [&] {
        if (!window || !control || !control->isVisible()) return 0;
        const QPoint at = QCursor::pos();
        const QPoint topLeft = control->mapToGlobal(QPoint(0, 0));
        const QRect r(topLeft, control->size());
        return (r.left() < at.x() && at.x() < r.left() + r.width() && r.top() < at.y() &&
                at.y() < r.top() + r.height())
                   ? 1
                   : 0;
    });
}

void FrmMain::WakeTimer() {
    quietTicks_ = 0;
    if (!timer_.isActive()) return;  // before start-up step 22 or after shutdown
    if (timer_.interval() != kTickMs) timer_.start(kTickMs);
}

void FrmMain::OnTick() {
    // The list's repaint lets pending events run, and a tick among them
    // would act on a mode change the outer tick is still handling.
    if (inTick_ || unloaded_) return;
    TickGuard guard(inTick_);
    Trap([this] { Tick(); });
}

void FrmMain::Tick() {
    const int v = TakeWheelDirection(this);
    if (v != 0) {
        quietTicks_ = 0;
        if (IsCursorOver(this, lv_)) {
            lv_->VBarScroll(5 * v);
            lv_->ReDraw();
        }
    }
    C_FGraph& player = Player();
    player.Poll();
    std::int32_t m = player.mode();
    if (m != state_.lastSeenMode) {
        quietTicks_ = 0;
        // The poll that finds the end of a track reports it once and stops the
        // graph, so after a second poll this read normally says "stopped".
        player.Poll();
        m = player.mode();
        state_.lastSeenMode = m;
        switch (m) {
        case 1: OnStopped(); break;
        case 2: OnPaused(); break;
        case 3: OnPlaying(); break;
        default: break;
        }
    }
    if (progBar_->Clicked() == 0 && state_.lastSeenMode == 3) ShowPosition();
    if (state_.lastSeenMode == 3) PrepareNextEntry();
    PaceTimer();
}

void FrmMain::PaceTimer() {
    if (++quietTicks_ < kQuietTicks || !timer_.isActive()) return;
    if (state_.lastSeenMode == 3) {
        // The time shows tenths: one tick just after each tenth begins keeps
        // it running evenly at a tenth of the 15 ms pace's cost.
        const int intoTenth = ((shownPosition_ % kTenthMs) + kTenthMs) % kTenthMs;
        timer_.start(std::clamp(kTenthMs - intoTenth + 2, kTickMs, kTenthMs));
    } else if (timer_.interval() != kIdleTickMs) {
        timer_.start(kIdleTickMs);
    }
}

void FrmMain::OnStopped() {
    CommandGuard::Scope running(commands_);
    const int count = lv_->ItemCount();
    if (Player().LoadFailed()) {
        // Nothing plays: say so rather than leave "PLAY" over silence; the
        // entry stays green where playback stopped.
        ShowStoppedState();
        // Given up on a lost sound output: Space starts this entry again.
        if (Player().OutputGaveUp()) lv_->SetSelectedItem(state_.playIndex);
        lv_->ReDraw();
        return;
    }
    if (count > 0) PaintAllEntries(kPlainColor);
    if (TakeJoinedEntry()) {
        lv_->ReDraw();
        return;
    }
    Player().CloseWave();
    if (count > 0 && state_.userStop == 0) {
        state_.playIndex += 1;
        if (state_.playIndex >= count) state_.playIndex = 0;
        lv_->UnSelectAll();
        lv_->SetSelectedItem(state_.playIndex);
        PlayButtons_ButtonClicked(2);
    } else {
        ShowStoppedState();
    }
    lv_->ReDraw();
}

int FrmMain::NextEntry() const {
    const int next = state_.playIndex + 1;
    return next >= lv_->ItemCount() ? 0 : next;
}

void FrmMain::PrepareNextEntry() {
    C_FGraph& player = Player();
    const int count = lv_->ItemCount();
    const bool allowed = count > 0 && state_.userStop == 0 && state_.busy == 0;
    const int next = NextEntry();
    if (!player.NextName().isEmpty()) {
        if (!allowed || next != nextIndex_ || lv_->AuxID(next, 0).ToText() != player.NextName()) player.DropNext();
        return;
    }
    if (!allowed || nextTried_ || player.Loading() || player.Length() <= 0) return;
    if (player.Position(1) > kPrepareAheadMs) return;
    // An escape for a device that misbehaves at joins: one file at a time.
    if (qEnvironmentVariable("RILUMO_GAPLESS") == QLatin1String("off")) return;
    nextTried_ = true;
    nextIndex_ = next;
    player.PrepareNext(lv_->AuxID(next, 0).ToText());
}

// The renderer already plays the entry the ordinary advance would start:
// the window shows the advance without touching the sound.
bool FrmMain::TakeJoinedEntry() {
    C_FGraph& player = Player();
    const QString joined = player.JoinedName();
    if (joined.isEmpty()) return false;
    const int next = NextEntry();
    if (lv_->ItemCount() < 1 || state_.userStop != 0 || state_.busy != 0 || next != nextIndex_ ||
        lv_->AuxID(next, 0).ToText() != joined || !player.AdoptJoined()) {
        return false;
    }
    WakeTimer();
    state_.playIndex = next;
    lv_->UnSelectAll();
    lv_->SetSelectedItem(next);
    // As the ordinary start shows it.
    nextTried_ = false;
    lv_->ShowSelected(1);
    lv_->UnSelectAll();
    lv_->SetDispColor(next, kPlayingColor);
    shownLength_ = player.Length();
    picPlay_->DispMes(2, TimeText(shownLength_));
    return true;
}

void FrmMain::OnPaused() {
    picPlay_->DispMes(0, QStringLiteral("PAUSE"));
    playButtons_->SetButtonState(2, 0);
    playButtons_->SetButtonState(1, 2);
    // Paused by a lost sound output: off the air until it is back.
    if (Player().OutputLost()) ShowStatusPicture(1);
}

void FrmMain::OnPlaying() {
    state_.userStop = 0;
    playButtons_->SetButtonState(2, 2);
    playButtons_->SetButtonState(1, 0);
    ShowStatusPicture(2);
    picPlay_->SetColor(state_.showRemaining + 1);
    picPlay_->DispMes(0, QStringLiteral("PLAY"));
}

void FrmMain::ShowStoppedState() {
    picPlay_->SetColor(0);
    picPlay_->DispMes(0, QStringLiteral("STOP"));
    playButtons_->SetButtonState(2, 0);
    playButtons_->SetButtonState(1, 0);
    ShowStatusPicture(1);
}

void FrmMain::ShowPosition() {
    C_FGraph& player = Player();
    const std::int32_t length = player.Length();
    // A slow load learns its length while the track is already "playing".
    if (length != shownLength_) {
        shownLength_ = length;
        picPlay_->DispMes(2, TimeText(length));
    }
    const std::int32_t position = player.Position(0);
    shownPosition_ = position;
    ShowTime(length, position);
    int bar = 0;
    if (length > 0) bar = RoundEvenInt(static_cast<double>(position) / length * 1000.0);
    progBar_->SetValue(std::clamp(bar, 0, 1000));
}

void FrmMain::ShowTime(std::int32_t length, std::int32_t position) {
    picPlay_->DispMes(1, state_.showRemaining != 0 ? TimeText(length - position) + QLatin1Char('-')
                                                   : TimeText(position));
}

void FrmMain::PaintAllEntries(std::uint32_t color) {
    for (int i = 0; i < lv_->ItemCount(); ++i) lv_->SetDispColor(i, color);
}

void FrmMain::PlayButtons_ButtonClicked(std::int16_t ClickedIndex) {
    if (state_.busy == 1) return;
    CommandGuard::Scope running(commands_);
    WakeTimer();
    Trap([&] {
        switch (ClickedIndex) {
        case 0:
            if (PlayerMode() != 1) StopPlayer();
            state_.userStop = 1;
            lv_->UnSelectAll();
            lv_->SetSelectedItem(state_.playIndex);
            lv_->ReDraw();
            break;
        case 1: {
            const std::int32_t m = PlayerMode();
            if (m == 2 || m == 3) Player().Pause();
            break;
        }
        case 2:
            if (PlayerMode() == 2) {
                Player().Pause();
            } else {
                PlayFrom();
            }
            break;
        default: break;
        }
    });
}

void FrmMain::PlayFrom() {
    // The list's repaints below let events run; a tick among them would see
    // the closed player between two tracks and take it for a stop.
    TickGuard noTicks(inTick_);
    CommandGuard::Scope running(commands_);
    C_FGraph& player = Player();
    player.CloseWave();
    PaintAllEntries(kPlainColor);
    const int count = lv_->ItemCount();
    nextTried_ = false;
    state_.playIndex = std::max(lv_->SelectedItem(), 0);
    if (state_.playIndex < count) {
        lv_->ShowSelected(1);
        lv_->UnSelectAll();
    } else {
        state_.playIndex = 0;
    }
    if (state_.playIndex < count) {
        lv_->SetDispColor(state_.playIndex, kPlayingColor);
        player.SetFileName(lv_->AuxID(state_.playIndex, 0).ToText());
        const bool started = player.Play() != 0;
        shownLength_ = player.Length();
        picPlay_->DispMes(2, TimeText(shownLength_));
        if (!started) ShowStoppedState();
    }
    lv_->ReDraw();
}

void FrmMain::ProgBar_Scrolled() {
    C_FGraph& player = Player();
    const std::int32_t length = player.Length();
    const auto position = RoundEvenInt(progBar_->Value() / 1000.0 * length);
    ShowTime(length, position);
    player.SetFromMS(position);
}

void FrmMain::ProgBar_MouseUD(bool IsDown) {
    if (IsDown) return;
    WakeTimer();
    Trap([this] {
        ProgBar_Scrolled();
        if (state_.lastSeenMode == 3) Player().Play();
    });
}

void FrmMain::SeekTo(std::int32_t position) {
    WakeTimer();
    Trap([&] {
        C_FGraph& player = Player();
        ShowTime(player.Length(), position);
        player.SetFromMS(position);
        if (state_.lastSeenMode == 3) player.Play();
    });
}

void FrmMain::PicPlay_MouseUD(std::int16_t, bool IsDown, std::int32_t) {
    if (IsDown) return;
    state_.showRemaining = state_.showRemaining == 0 ? 1 : 0;
    if (state_.lastSeenMode != 0) picPlay_->SetColor(state_.showRemaining + 1);
}

void FrmMain::Form_KeyUp(int KeyCode, int Shift) {
    Trap([&] {
        switch (KeyCode) {
        case 32: PlayButtons_ButtonClicked(state_.lastSeenMode == 3 ? 1 : 2); break;
        case 27:
            if (state_.busy == 1) {
                state_.cancelScan = 1;
            } else {
                PlayButtons_ButtonClicked(0);
            }
            break;
        case 82: MenuFileClick(4); break;
        case 83:
            if (Shift == 2) FindTitle();
            break;
        default: break;
        }
    });
}

void FrmMain::FindTitle() {
    if (lv_->ItemCount() < 1) return;
    bool ok = false;
    const QString text =
        CurrentDialogs().AskText(this, QString(), QString::fromLatin1(kAppTitle), QString(), &ok);
    if (!ok || text.isEmpty()) return;
    const QString wanted = text.toUpper();
    for (int i = 0; i < lv_->ItemCount(); ++i) {
        if (lv_->Value(i, 0).ToText().left(text.size()).toUpper() == wanted) {
            lv_->ShowItem(i, 0);
            return;
        }
    }
}

}  // namespace rilumo
