// The controller's tick: it polls the player, reacts to a change of mode,
// and while a track plays writes the time and the bar position.

#include "app/playback_controller.h"

#include <QCursor>
#include <QLabel>

#include <algorithm>

#include "controls/listview/uc_listview.h"
#include "controls/uc_bar.h"
#include "controls/uc_buttons.h"
#include "controls/uc_text_picture.h"
#include "playback/graph/backend.h"
#include "support/error_trap.h"
#include "support/rounding.h"
#include "support/time_format.h"
#include "support/ui/wheel_hook.h"

namespace rilumo {

namespace {

// The tick keeps its 15 ms pace only while something may be about to change.
// A track's end, a failure or a load getting ready wake it from the player's
// streaming side, and every user action wakes it too, so between those a
// playing track needs only the time display's pace and a stopped window
// none at all. A lost sound output or a load under way still has the player
// to carry on, at the slow pace.
constexpr int kTickMs = 15;
constexpr int kTenthMs = 100;
constexpr int kIdleTickMs = 250;
constexpr int kQuietTicks = 20;
// How long before a track's end the next one is prepared: enough for any
// file to open and decode its first audio, short enough that a seek in the
// track rarely has to drop it.
constexpr int kPrepareAheadMs = 4000;
constexpr int kWheelRows = 5;
constexpr int kStoppedPicture = 1;
constexpr int kPlayingPicture = 2;

QString TimeText(std::int32_t ms) { return FormatMilliseconds(ms, 1, 0); }

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

PlaybackController::PlaybackController(View view, const std::int32_t& busy, QObject* parent)
    : QObject(parent), view_(view), busy_(busy) {
    timer_.setTimerType(Qt::PreciseTimer);
}

PlaybackController::~PlaybackController() = default;

void PlaybackController::Enter(WhenBusy when, std::function<void()> call) {
    // Whatever comes in may change what the tick has to show.
    WakeTimer();
    if (when == WhenBusy::Passes && Busy()) {
        call();
        return;
    }
    commands_.Enter(std::move(call));
}

C_FGraph& PlaybackController::Player() {
    if (!player_) player_ = std::make_unique<C_FGraph>();
    return *player_;
}

C_FGraph& PlaybackController::NewPlayer() {
    player_.reset();
    playerReady_ = false;
    return Player();
}

void PlaybackController::StartTimer() {
    timerStarted_ = true;
    timer_.start(kTickMs);
}

void PlaybackController::ReadyPlayer() {
    if (playerReady_) return;
    playerReady_ = true;
    Player().Init();
}

void PlaybackController::Shutdown() {
    shutDown_ = true;
    timer_.stop();
    if (!player_) return;
    player_->StopIO();
    player_->CloseWave();
}

void PlaybackController::WakeTimer() {
    quietTicks_ = 0;
    if (!timerStarted_ || shutDown_) return;  // before start-up step 22 or after shutdown
    if (!timer_.isActive() || timer_.interval() != kTickMs) timer_.start(kTickMs);
}

void PlaybackController::ShowCurrentState() {
    if (!Playing() || view_.bar.Clicked() != 0) return;
    Trap([this] { ShowPosition(Player().Position(0)); });
}

bool PlaybackController::Shown() const { return view_.window.isVisible() && !view_.window.isMinimized(); }

void PlaybackController::OnTick() {
    // The list's repaint lets pending events run, and a tick among them
    // would act on a mode change the outer tick is still handling.
    if (inTick_ || shutDown_) return;
    FlagHold guard(inTick_);
    Trap([this] { Tick(); });
}

void PlaybackController::Tick() {
    ScrollByWheel();
    // The back end still loads off this thread; until then nothing can play.
    if (!playerReady_ && !graph::BackendStarting()) ReadyPlayer();
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
        case kModeStopped: OnStopped(); break;
        case kModePaused: OnPaused(); break;
        case kModePlaying: OnPlaying(); break;
        default: break;
        }
    }
    if (Playing()) {
        const std::int32_t position = player.Position(0);
        shownPosition_ = position;
        // Hidden, nothing is drawn; showing the window again draws the time.
        if (view_.bar.Clicked() == 0 && Shown()) ShowPosition(position);
        PrepareNextEntry(position);
    }
    PaceTimer();
}

void PlaybackController::ScrollByWheel() {
    const int v = TakeWheelDirection(&view_.window);
    if (v == 0) return;
    quietTicks_ = 0;
    if (!IsCursorOver(&view_.window, &view_.list)) return;
    view_.list.VBarScroll(kWheelRows * v);
    view_.list.ReDraw();
}

void PlaybackController::PaceTimer() {
    if (++quietTicks_ < kQuietTicks || !timer_.isActive()) return;
    if (Playing()) {
        // The time shows tenths: one tick just after each tenth begins keeps
        // it running evenly at a tenth of the 15 ms pace's cost.
        const int intoTenth = ((shownPosition_ % kTenthMs) + kTenthMs) % kTenthMs;
        timer_.start(std::clamp(kTenthMs - intoTenth + 2, kTickMs, kTenthMs));
    } else if (Player().Loading() || Player().OutputLost() || !playerReady_) {
        if (timer_.interval() != kIdleTickMs) timer_.start(kIdleTickMs);
    } else {
        timer_.stop();
    }
}

void PlaybackController::OnStopped() {
    CommandGuard::Scope running(commands_);
    UC_ListView& lv = view_.list;
    const int count = lv.ItemCount();
    if (Player().LoadFailed()) {
        // Nothing plays: say so rather than leave "PLAY" over silence; the
        // entry stays green where playback stopped.
        ShowStoppedState();
        // Given up on a lost sound output: Space starts this entry again.
        if (Player().OutputGaveUp()) lv.SetSelectedItem(state_.playIndex);
        lv.ReDraw();
        return;
    }
    if (count > 0) PaintAllEntries(kPlainColor);
    if (TakeJoinedEntry()) {
        lv.ReDraw();
        return;
    }
    Player().CloseWave();
    if (count > 0 && state_.userStop == 0) {
        state_.playIndex += 1;
        if (state_.playIndex >= count) state_.playIndex = 0;
        SelectEntry(state_.playIndex);
        ButtonClicked(kButtonPlay);
    } else {
        ShowStoppedState();
    }
    lv.ReDraw();
}

int PlaybackController::NextEntry() const {
    const int next = state_.playIndex + 1;
    return next >= view_.list.ItemCount() ? 0 : next;
}

void PlaybackController::PrepareNextEntry(std::int32_t position) {
    C_FGraph& player = Player();
    const bool allowed = view_.list.ItemCount() > 0 && state_.userStop == 0 && !Busy();
    const int next = NextEntry();
    const auto nextPath = [&] { return view_.list.AuxID(next, 0).ToText(); };
    if (!player.NextName().isEmpty()) {
        if (!allowed || next != nextIndex_ || nextPath() != player.NextName() || SegmentAt(next) != player.NextSegment()) {
            player.DropNext();
        }
        return;
    }
    if (!allowed || nextTried_ || player.Loading() || player.Length() <= 0) return;
    if (player.Length() - position > kPrepareAheadMs) return;
    // An escape for a device that misbehaves at joins: one file at a time.
    if (qEnvironmentVariable("RILUMO_GAPLESS") == QLatin1String("off")) return;
    nextTried_ = true;
    nextIndex_ = next;
    player.PrepareNext(nextPath(), SegmentAt(next));
}

// The renderer already plays the entry the ordinary advance would start:
// the window shows the advance without touching the sound.
bool PlaybackController::TakeJoinedEntry() {
    C_FGraph& player = Player();
    UC_ListView& lv = view_.list;
    const QString joined = player.JoinedName();
    if (joined.isEmpty()) return false;
    const int next = NextEntry();
    if (lv.ItemCount() < 1 || state_.userStop != 0 || Busy() || next != nextIndex_ ||
        lv.AuxID(next, 0).ToText() != joined || SegmentAt(next) != player.JoinedSegment() || !player.AdoptJoined()) {
        return false;
    }
    WakeTimer();
    state_.playIndex = next;
    SelectEntry(next);
    // As the ordinary start shows it.
    nextTried_ = false;
    lv.ShowSelected(1);
    lv.UnSelectAll();
    lv.SetDispColor(next, kPlayingColor);
    ShowLength(player.Length());
    return true;
}

void PlaybackController::OnPaused() {
    view_.panel.DispMes(0, QStringLiteral("PAUSE"));
    view_.buttons.SetButtonState(kButtonPlay, kLampOff);
    view_.buttons.SetButtonState(kButtonPause, kLampOn);
    // Paused by a lost sound output: off the air until it is back.
    if (Player().OutputLost()) ShowStatusPicture(kStoppedPicture);
}

void PlaybackController::OnPlaying() {
    state_.userStop = 0;
    view_.buttons.SetButtonState(kButtonPlay, kLampOn);
    view_.buttons.SetButtonState(kButtonPause, kLampOff);
    ShowStatusPicture(kPlayingPicture);
    view_.panel.SetColor(state_.showRemaining + 1);
    view_.panel.DispMes(0, QStringLiteral("PLAY"));
}

void PlaybackController::ShowStoppedState() {
    view_.panel.SetColor(0);
    view_.panel.DispMes(0, QStringLiteral("STOP"));
    view_.buttons.SetButtonState(kButtonPlay, kLampOff);
    view_.buttons.SetButtonState(kButtonPause, kLampOff);
    ShowStatusPicture(kStoppedPicture);
}

void PlaybackController::ShowStoppedPicture() { ShowStatusPicture(kStoppedPicture); }

void PlaybackController::ShowStatusPicture(int index) {
    view_.status[0]->setPixmap(view_.status[static_cast<size_t>(index)]->pixmap());
}

void PlaybackController::ShowPosition(std::int32_t position) {
    const std::int32_t length = Player().Length();
    // A slow load learns its length while the track is already "playing".
    if (length != shownLength_) ShowLength(length);
    ShowTime(length, position);
    int bar = 0;
    if (length > 0) bar = RoundEvenInt(static_cast<double>(position) / length * 1000.0);
    view_.bar.SetValue(std::clamp(bar, 0, 1000));
}

void PlaybackController::ShowLength(std::int32_t length) {
    shownLength_ = length;
    view_.panel.DispMes(2, TimeText(length));
}

void PlaybackController::ShowTime(std::int32_t length, std::int32_t position) {
    view_.panel.DispMes(1, state_.showRemaining != 0 ? TimeText(length - position) + QLatin1Char('-')
                                                     : TimeText(position));
}

void PlaybackController::PaintAllEntries(std::uint32_t color) {
    for (int i = 0; i < view_.list.ItemCount(); ++i) view_.list.SetDispColor(i, color);
}

}  // namespace rilumo
