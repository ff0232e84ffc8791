#include "playback/c_fgraph.h"

#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <limits>
#include <thread>

#include "playback/player_common.h"
#include "support/error_trap.h"
#include "support/file_ops.h"
#include "support/log.h"
#include "support/rounding.h"

namespace rilumo {

namespace {

// How long a graph that got ready is asked for its length before it counts
// as unknown (0); parsers that learn it from the bit rate tell within this.
constexpr int kLengthWaitMs = 1000;

}  // namespace

std::int32_t SecondsToMs(double seconds) { return RoundToInt32(seconds * 1000.0); }

void C_FGraph::Init() {
    CreateGraph(ctx_);
    PlaySpeed_ = 1.0f;
    FromMS_ = 0;
    FileName_.clear();
    loaded_ = 0;
    playing_ = 0;
    Length_ = 0;
    stage_ = LoadStage::None;
    wanted_ = graph::kStateStopped;
    loadFailed_ = false;
    DetectDevicesAndDecoders(DevMode_, ctx_);
    MatchRenderer();
}

void C_FGraph::MatchRenderer() { ApplyRendererOverride(DevName_, DevMode_, ctx_); }

void C_FGraph::SetFileName(const QString& newName) {
    const QString name = newName;
    FromMS_ = 0;
    ToMS_ = 0;
    loadFailed_ = false;
    if (name == FileName_) return;
    FileName_ = name;
    stage_ = LoadStage::None;
    wanted_ = graph::kStateStopped;
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
    FailLoad();
}

void C_FGraph::FailLoad() {
    stage_ = LoadStage::None;
    wanted_ = graph::kStateStopped;
    FileName_.clear();
    loaded_ = 0;
    playing_ = 0;
    Length_ = 0;
    loadFailed_ = true;
}

bool C_FGraph::Load(const QString& name) {
    if (ctx_.Control) ctx_.Control->Stop();
    DestroyGraph(ctx_);
    Length_ = 0;
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
    loadClock_.start();
    CreateGraph(ctx_);
    int built = SetupPinsToDecode(name, 0, ctx_);
    if (built == 0) {
        DisconnectAll(ctx_);
        built = SetupPinsToDecode(name, 1, ctx_);
    }
    if (built != 0 && BeginPreroll(LoadLimitMs_)) {
        stage_ = LoadStage::Chain;
        return true;
    }
    return StartDirectLink();
}

bool C_FGraph::BeginPreroll(int limitMs) {
    try {
        if (!ctx_.Control) return false;
        ctx_.Control->SetPrerollLimit(limitMs);
        ctx_.Control->BeginPreroll();
        return true;
    } catch (...) {
        return false;
    }
}

bool C_FGraph::StartDirectLink() {
    // A start asked for while the chain was prerolling carries over.
    double start = 0;
    if (ctx_.Position) Ignore([&] { start = ctx_.Position->CurrentPosition(); });
    DestroyGraph(ctx_);
    CreateGraph(ctx_);
    if (RenderPinsToDecode(FileName_, ctx_) == 0) return false;
    if (start > 0 && ctx_.Position) ctx_.Position->SetCurrentPosition(start);
    // When its turn comes late, the last strategy still gets a fair share.
    const int left = LoadLimitMs_ - static_cast<int>(loadClock_.elapsed());
    if (!BeginPreroll(std::max(left, LoadLimitMs_ / 5))) return false;
    stage_ = LoadStage::DirectLink;
    return true;
}

// Links are made before any data flows, so a stream that does not suit a
// hand-built chain shows only when the graph prerolls: that chain has
// failed too, and the direct link gets its turn.
void C_FGraph::AdvanceLoad() {
    if (stage_ == LoadStage::None) return;
    bool failed = false;
    try {
        if (stage_ == LoadStage::Length) {
            ReadLength();
            return;
        }
        const auto state = ctx_.Control ? ctx_.Control->PollPreroll() : graph::Graph::PrerollState::Failed;
        if (state == graph::Graph::PrerollState::Pending) return;
        if (state == graph::Graph::PrerollState::Done) {
            Prerolled();
            return;
        }
        failed = !(stage_ == LoadStage::Chain && StartDirectLink());
    } catch (...) {
        failed = true;
    }
    if (!failed) return;
    FailLoad();
    // A graph that never got ready may still hold a file or a device.
    DestroyGraph(ctx_);
}

void C_FGraph::Prerolled() {
    stage_ = LoadStage::Length;
    lengthClock_.start();
    ReadLength();
    if (DevMode_ == 1) {
        ctx_.Audio = ctx_.Control.get();
        if (!ctx_.Audio || !ctx_.Position) Fail("no audio interface");
        // Clamped: a stored value out of the device's range would fail every load.
        const std::int32_t volume = Attenuation_ > VolMinLevel_ ? Attenuation_ : -10000;
        ctx_.Audio->SetVolume(std::clamp(volume, -10000, 0));
        ctx_.Audio->SetBalance(std::clamp(PanValue_, -10000, 10000));
        ctx_.Position->SetRate(PlaySpeed_);
    }
    StartRequested();
}

void C_FGraph::ReadLength() {
    double seconds = 0;
    if (!ctx_.Position) Fail("no position interface");
    if (!ctx_.Position->TryDuration(seconds) && lengthClock_.elapsed() < kLengthWaitMs) return;
    Length_ = SecondsToMs(seconds);
    // The caller may have set its own stop point in the meantime.
    if (ToMS_ == 0) ToMS_ = Length_;
    stage_ = LoadStage::None;
}

// The graph got ready: it takes up the state asked for while it loaded; a
// start position asked for is already applied by the preroll.
void C_FGraph::StartRequested() {
    const int wanted = wanted_;
    wanted_ = graph::kStateStopped;
    if (wanted == graph::kStateStopped) return;
    try {
        ctx_.Control->Run();
    } catch (...) {
        playing_ = 0;
        return;
    }
    if (wanted == graph::kStatePaused) Ignore([&] { ctx_.Control->Pause(); });
}

bool C_FGraph::WaitLoaded(int ms) {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        AdvanceLoad();
        if (stage_ == LoadStage::None || clock.elapsed() >= ms) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return loaded_ == 1 && !Loading();
}

std::int32_t C_FGraph::Play() {
    AdvanceLoad();
    if (loaded_ == 0) return 0;
    Ignore([&] { StopIO(); });
    bool runs = true;
    if (playing_ == 0) {
        if (Loading()) {
            wanted_ = graph::kStateRunning;
        } else {
            try {
                if (!ctx_.Control) Fail("no graph");
                ctx_.Control->Run();
            } catch (...) {
                runs = false;
            }
        }
    }
    Ignore([&] { ctx_.Position->SetCurrentPosition(FromMS_ / 1000.0); });
    if (!runs) return 0;
    playing_ = 1;
    return 1;
}

void C_FGraph::StopIO() {
    if (Loading()) {
        wanted_ = graph::kStateStopped;
    } else if (playing_ == 1 && loaded_ == 1 && ctx_.Control && ctx_.Position) {
        Trap([&] { ctx_.Control->Stop(); });
    }
    playing_ = 0;
}

void C_FGraph::Pause() {
    if (loaded_ != 1 || !ctx_.Control) return;
    if (Loading()) {
        if (wanted_ == graph::kStatePaused) {
            wanted_ = graph::kStateRunning;
        } else if (wanted_ == graph::kStateRunning) {
            wanted_ = graph::kStatePaused;
        }
        return;
    }
    int state = -1;
    Trap([&] { state = ctx_.Control->GetState(10); });
    if (state == graph::kStatePaused) {
        Trap([&] { ctx_.Control->Run(); });
    } else if (state == graph::kStateRunning) {
        Trap([&] { ctx_.Control->Pause(); });
    }
}

std::int32_t C_FGraph::Position(std::int32_t kind) {
    AdvanceLoad();
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
    AdvanceLoad();
    std::int32_t result = 0;
    Trap([&] {
        int state = Loading() ? wanted_ : 0;
        if (!Loading() && ctx_.Control) state = ctx_.Control->GetState(10);
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
    stage_ = LoadStage::None;
    wanted_ = graph::kStateStopped;
    loadFailed_ = false;
    FileName_.clear();
    loaded_ = 0;
    playing_ = 0;
    Length_ = 0;
}

}  // namespace rilumo
