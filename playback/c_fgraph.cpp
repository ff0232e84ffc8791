#include "playback/c_fgraph.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>

#include "playback/player_common.h"
#include "support/error_trap.h"
#include "support/file_ops.h"
#include "support/log.h"

namespace rilumo {

namespace {

// A load gives up within about this long, even when a graph hangs.
constexpr int kLoadBudgetMs = 1400;
constexpr int kLastPrerollMs = 200;

bool prerolls(GraphContext& ctx, double& seconds, int limitMs) {
    try {
        if (!ctx.Position) return false;
        ctx.Position->SetPrerollLimit(limitMs);
        seconds = ctx.Position->Duration();
        return true;
    } catch (...) {
        return false;
    }
}


}  // namespace

std::int32_t RoundToInt32(double value) {
    const double r = std::nearbyint(value);
    if (!(r >= std::numeric_limits<std::int32_t>::min() && r <= std::numeric_limits<std::int32_t>::max())) {
        Fail("overflow");
    }
    return static_cast<std::int32_t>(r);
}

std::int32_t SecondsToMs(double seconds) { return RoundToInt32(seconds * 1000.0); }

void C_FGraph::Init() {
    CreateGraph(ctx_);
    PlaySpeed_ = 1.0f;
    FromMS_ = 0;
    FileName_.clear();
    loaded_ = 0;
    playing_ = 0;
    Length_ = 0;
    DetectDevicesAndDecoders(DevMode_, ctx_);
    MatchRenderer();
}

void C_FGraph::MatchRenderer() { ApplyRendererOverride(DevName_, DevMode_, ctx_); }

void C_FGraph::SetFileName(const QString& newName) {
    const QString name = newName;
    FromMS_ = 0;
    ToMS_ = 0;
    if (name == FileName_) return;
    FileName_ = name;
    bool ok = false;
    try {
        ok = Load(name);
    } catch (...) {
        ok = false;
    }
    if (ok) {
        loaded_ = 1;
        return;
    }
    FileName_.clear();
    loaded_ = 0;
    playing_ = 0;
    Length_ = 0;
}

bool C_FGraph::Load(const QString& name) {
    if (ctx_.Control) ctx_.Control->Stop();
    DestroyGraph(ctx_);
    if (!FileExists(name)) {
        // A folder or a device under the name: say why nothing plays.
        if (QFileInfo::exists(name)) WriteLog(QStringLiteral("FileName ") + name + QStringLiteral("#not a file"), 1, 1);
        return false;
    }
    std::error_code ec;
    // A named pipe would block the first read of its header for good.
    if (!std::filesystem::is_regular_file(std::filesystem::path(name.toStdString()), ec)) {
        WriteLog(QStringLiteral("FileName ") + name + QStringLiteral("#not a file"), 1, 1);
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    CreateGraph(ctx_);
    int built = SetupPinsToDecode(name, 0, ctx_);
    if (built == 0) {
        DisconnectAll(ctx_);
        built = SetupPinsToDecode(name, 1, ctx_);
    }
    // Links here are made before any data flows, so a stream that does not
    // suit a hand-built chain shows only when the graph prerolls: that chain
    // has failed too, and the direct link gets its turn.
    double seconds = 0;
    if (built != 0 && !prerolls(ctx_, seconds, kLoadBudgetMs)) built = 0;
    if (built == 0) {
        DestroyGraph(ctx_);
        CreateGraph(ctx_);
        built = RenderPinsToDecode(name, ctx_);
        const int left = kLoadBudgetMs - static_cast<int>(clock.elapsed());
        if (built != 0 && !prerolls(ctx_, seconds, std::max(left, kLastPrerollMs))) built = 0;
    }
    if (built == 0) return false;
    if (!ctx_.Position) Fail("no position interface");
    Length_ = SecondsToMs(seconds);
    ToMS_ = Length_;
    if (DevMode_ == 1) {
        ctx_.Audio = ctx_.Control.get();
        if (!ctx_.Audio) Fail("no audio interface");
        // Clamped: a stored value out of the device's range would fail every load.
        const std::int32_t volume = Attenuation_ > VolMinLevel_ ? Attenuation_ : -10000;
        ctx_.Audio->SetVolume(std::clamp(volume, -10000, 0));
        ctx_.Audio->SetBalance(std::clamp(PanValue_, -10000, 10000));
        ctx_.Position->SetRate(PlaySpeed_);
    }
    return true;
}

std::int32_t C_FGraph::Play() {
    if (loaded_ == 0) return 0;
    Ignore([&] { StopIO(); });
    if (playing_ == 0) Ignore([&] { ctx_.Control->Run(); });
    Ignore([&] { ctx_.Position->SetCurrentPosition(FromMS_ / 1000.0); });
    playing_ = 1;
    return 1;
}

void C_FGraph::StopIO() {
    if (playing_ == 1 && loaded_ == 1 && ctx_.Control && ctx_.Position) Trap([&] { ctx_.Control->Stop(); });
    playing_ = 0;
}

void C_FGraph::Pause() {
    if (loaded_ != 1 || !ctx_.Control) return;
    int state = -1;
    Trap([&] { state = ctx_.Control->GetState(10); });
    if (state == graph::kStatePaused) {
        Trap([&] { ctx_.Control->Run(); });
    } else if (state == graph::kStateRunning) {
        Trap([&] { ctx_.Control->Pause(); });
    }
}

std::int32_t C_FGraph::Position(std::int32_t kind) {
    if (playing_ == 0 || loaded_ == 0) return 0;
    std::int32_t result = 0;
    Trap([&] { result = PositionOf(ctx_.Position, kind, Length_, ToMS_, [this] { StopIO(); }); });
    return result;
}

std::int32_t C_FGraph::IsStillRunning() {
    int code = graph::kEventNone;
    Ignore([&] {
        if (!ctx_.Events) Fail("no event interface");
        code = ctx_.Events->WaitForCompletion(5);
    });
    return code == graph::kEventNone ? 1 : 0;
}

std::int32_t C_FGraph::mode() {
    std::int32_t result = 0;
    Trap([&] {
        const int state = ctx_.Control ? ctx_.Control->GetState(10) : 0;
        result = ModeFromState(state, [this] { return IsStillRunning(); }, [this] { StopIO(); });
    });
    return result;
}

void C_FGraph::SetAttenuation(std::int32_t v) {
    try {
        if (DevMode_ == 1 && ctx_.Audio) {
            ctx_.Audio->SetVolume(AttenuationToVolume(v, VolMinLevel_));
        }
        Attenuation_ = v;
    } catch (...) {
    }
}

std::int32_t C_FGraph::Attenuation() {
    if (DevMode_ == 1 && ctx_.Audio) Trap([&] { Attenuation_ = ctx_.Audio->Volume(); });
    return Attenuation_;
}

void C_FGraph::SetPanValue(std::int32_t pan) {
    PanValue_ = pan;
    if (DevMode_ == 1 && ctx_.Audio) Trap([&] { ctx_.Audio->SetBalance(pan); });
}

std::int32_t C_FGraph::PanValue() {
    if (DevMode_ == 1 && ctx_.Audio) Trap([&] { PanValue_ = ctx_.Audio->Balance(); });
    return PanValue_;
}

void C_FGraph::SetPlaySpeed(float speed) {
    PlaySpeed_ = speed > 0 ? speed : 0.1f;
    if (DevMode_ == 1 && ctx_.Position) Trap([&] { ctx_.Position->SetRate(PlaySpeed_); });
}

void C_FGraph::CloseWave() {
    StopIO();
    DestroyGraph(ctx_);
    FileName_.clear();
    loaded_ = 0;
    playing_ = 0;
    Length_ = 0;
}

}  // namespace rilumo
