#include "playback/player_core.h"

#include <algorithm>
#include <cmath>

#include "support/error_trap.h"
#include "support/rounding.h"

namespace rilumo {

std::int32_t AttenuationToVolume(std::int32_t v, std::int32_t volMinLevel) {
    if (v <= volMinLevel) return -10000;
    if (volMinLevel == 0) Fail("division by zero");
    const double tenth = std::abs(static_cast<double>(v)) / 10.0;
    return std::clamp(RoundToInt32(tenth * tenth / (volMinLevel / 100.0)), -10000, 0);
}

std::int32_t SecondsToMs(double seconds) { return RoundToInt32(seconds * 1000.0); }

void PlayerCore::SetAttenuation(std::int32_t v) {
    Ignore([&] {
        if (liveControls_ && ctx_.Audio) ctx_.Audio->SetVolume(AttenuationToVolume(v, VolMinLevel_));
        Attenuation_ = v;
    });
}

std::int32_t PlayerCore::Attenuation() {
    if (liveControls_ && ctx_.Audio) Trap([&] { Attenuation_ = ctx_.Audio->Volume(); });
    return Attenuation_;
}

void PlayerCore::SetPanValue(std::int32_t pan) {
    PanValue_ = pan;
    if (liveControls_ && ctx_.Audio) Trap([&] { ctx_.Audio->SetBalance(pan); });
}

std::int32_t PlayerCore::PanValue() {
    if (liveControls_ && ctx_.Audio) Trap([&] { PanValue_ = ctx_.Audio->Balance(); });
    return PanValue_;
}

void PlayerCore::SetPlaySpeed(float speed) {
    PlaySpeed_ = speed > 0 ? speed : 0.1f;
    if (liveControls_ && ctx_.Position) Trap([&] { ctx_.Position->SetRate(PlaySpeed_); });
}

std::int32_t PlayerCore::PositionOf(std::int32_t kind) const {
    if (playing_ == 0 || loaded_ == 0) return 0;
    std::int32_t result = 0;
    Trap([&] {
        if (!ctx_.Position) Fail("no position interface");
        const double current = ctx_.Position->CurrentPosition() * 1000.0;
        switch (kind) {
        case 0: result = RoundToInt32(current); break;
        case 1: result = RoundToInt32(Length_ - current); break;
        case 2: result = RoundToInt32(ToMS_ - current); break;
        default: break;
        }
    });
    return result;
}

void PlayerCore::StopPastToMS() {
    if (playing_ == 0 || loaded_ == 0) return;
    Trap([&] {
        if (!ctx_.Position) Fail("no position interface");
        if (ToMS_ > 0 && ToMS_ != Length_ && ctx_.Position->CurrentPosition() * 1000.0 > ToMS_) StopIO();
    });
}

int PlayerCore::GraphState() const { return ctx_.Control ? ctx_.Control->GetState(10) : graph::kStateStopped; }

std::int32_t PlayerCore::ModeOf(int state) {
    if (state == graph::kStatePaused) return 2;
    return state == graph::kStateRunning ? 3 : 1;
}

bool PlayerCore::StopAtEnd(int state) {
    if (state != graph::kStateRunning) return false;
    bool ended = false;
    // A check that fails counts as the end.
    const bool checked = Trap([&] {
        if (IsStillRunning() == 1) return;
        StopIO();
        ended = true;
    });
    return ended || !checked;
}

std::int32_t PlayerCore::IsStillRunning() {
    int code = graph::kEventNone;
    Ignore([&] {
        if (ctx_.Events) code = ctx_.Events->WaitForCompletion(5);
    });
    return code == graph::kEventNone ? 1 : 0;
}

bool PlayerCore::GraphPlays() const {
    return playing_ == 1 && loaded_ == 1 && ctx_.Control && ctx_.Position;
}

void PlayerCore::TogglePause(bool pauseEnded) {
    int state = -1;
    Trap([&] { state = ctx_.Control->GetState(10); });
    if (state == graph::kStatePaused) {
        Trap([&] { ctx_.Control->Run(); });
    } else if (state == graph::kStateRunning && (pauseEnded || IsStillRunning() == 1)) {
        Trap([&] { ctx_.Control->Pause(); });
    }
}

void PlayerCore::ApplyControls(std::int32_t volume) {
    if (!ctx_.Audio || !ctx_.Position) Fail("no audio interface");
    ctx_.Audio->SetVolume(std::clamp(volume, -10000, 0));
    ctx_.Audio->SetBalance(std::clamp(PanValue_, -10000, 10000));
    ctx_.Position->SetRate(PlaySpeed_);
}

void PlayerCore::ForgetFile() {
    FileName_.clear();
    loaded_ = 0;
    playing_ = 0;
    Length_ = 0;
}

}  // namespace rilumo
