#include "playback/c_dshow.h"

#include <algorithm>
#include <cmath>

#include "playback/c_fgraph.h"
#include "playback/player_common.h"
#include "support/error_trap.h"
#include "support/file_ops.h"

namespace rilumo {

void C_DShow::SetFileName(const QString& name) {
    StopIO();
    FromMS_ = 0;
    ToMS_ = 0;
    if (name == FileName_) return;
    FileName_ = name;
    try {
        if (!FileExists(name)) Fail("no such file");
        Load(name);
        loaded_ = 1;
    } catch (...) {
        FileName_.clear();
        loaded_ = 0;
        playing_ = 0;
        Length_ = 0;
    }
}

void C_DShow::Load(const QString& name) {
    DestroyGraph(ctx_);
    ctx_.Control = std::make_unique<graph::Graph>(graph::Catalogue());
    ctx_.Control->RenderFile(name);
    ctx_.Audio = ctx_.Control.get();
    ctx_.Events = ctx_.Control.get();
    ctx_.Position = ctx_.Control.get();
    if (ctx_.Position) {
        Length_ = SecondsToMs(ctx_.Position->Duration());
        ToMS_ = Length_;
        ctx_.Position->SetRate(PlaySpeed_);
        ctx_.Position->SetCurrentPosition(0);
    }
    if (ctx_.Audio) {
        // Clamped: a stored value out of the device's range would fail every load.
        ctx_.Audio->SetVolume(Attenuation_ < -4999 ? -10000 : std::min(Attenuation_, 0));
        ctx_.Audio->SetBalance(std::clamp(PanValue_, -10000, 10000));
    }
}

void C_DShow::StopIO() {
    if (playing_ == 1 && loaded_ == 1 && ctx_.Control && ctx_.Position) {
        Trap([&] { ctx_.Control->Stop(); });
        Trap([&] { ctx_.Position->SetCurrentPosition(0); });
    }
    playing_ = 0;
}

std::int32_t C_DShow::Play() {
    if (loaded_ == 0) return 0;
    if (FromMS_ >= Length_) FromMS_ = 0;
    Ignore([&] { ctx_.Position->SetCurrentPosition(FromMS_ / 1000.0); });
    if (playing_ == 0) Ignore([&] { ctx_.Control->Run(); });
    playing_ = 1;
    return 1;
}

void C_DShow::Pause() {
    if (!ctx_.Control) return;
    int state = -1;
    Trap([&] { state = ctx_.Control->GetState(10); });
    if (state == graph::kStatePaused) {
        Trap([&] { ctx_.Control->Run(); });
    } else if (state == graph::kStateRunning && IsStillRunning() == 1) {
        Trap([&] { ctx_.Control->Pause(); });
    }
}

std::int32_t C_DShow::IsStillRunning() {
    if (!ctx_.Events) return 0;
    int code = graph::kEventNone;
    Ignore([&] { code = ctx_.Events->WaitForCompletion(5); });
    return code == graph::kEventNone ? 1 : 0;
}

std::int32_t C_DShow::Position(std::int32_t kind) {
    if (playing_ == 0 || loaded_ == 0) return 0;
    std::int32_t result = 0;
    Trap([&] { result = PositionOf(ctx_.Position, kind, Length_, ToMS_, [this] { StopIO(); }); });
    return result;
}

std::int32_t C_DShow::mode() {
    std::int32_t result = 0;
    Trap([&] {
        const int state = ctx_.Control ? ctx_.Control->GetState(10) : 0;
        result = ModeFromState(state, [this] { return IsStillRunning(); }, [this] { StopIO(); });
    });
    return result;
}

void C_DShow::SetAttenuation(std::int32_t v) {
    try {
        if (ctx_.Audio) {
            ctx_.Audio->SetVolume(AttenuationToVolume(v, VolMinLevel_));
        }
        Attenuation_ = v;
    } catch (...) {
    }
}

void C_DShow::SetPanValue(std::int32_t pan) {
    PanValue_ = pan;
    if (ctx_.Audio) Trap([&] { ctx_.Audio->SetBalance(pan); });
}

std::int32_t C_DShow::PanValue() {
    if (ctx_.Audio) Trap([&] { PanValue_ = ctx_.Audio->Balance(); });
    return PanValue_;
}

void C_DShow::SetPlaySpeed(float speed) {
    PlaySpeed_ = speed > 0 ? speed : 0.1f;
    if (ctx_.Position) Trap([&] { ctx_.Position->SetRate(PlaySpeed_); });
}

void C_DShow::CloseWave() {
    StopIO();
    DestroyGraph(ctx_);
    FileName_.clear();
    FromMS_ = 0;
    Length_ = 0;
    playing_ = 0;
    loaded_ = 0;
}

}  // namespace rilumo
