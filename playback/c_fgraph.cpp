#include "playback/c_fgraph.h"
#include "playback/replaygain_stage.h"


#include <algorithm>
#include <chrono>
#include <thread>

#include "media/content_sniff.h"
#include "support/error_trap.h"
#include "support/file_ops.h"
#include "support/log.h"

namespace rilumo {

namespace {

// How long a graph that got ready is asked for its length before it counts
// as unknown (0); parsers that learn it from the bit rate tell within this.
constexpr int kLengthWaitMs = 1000;

}  // namespace

void C_FGraph::Init() {
    CreateGraph(ctx_);
    PlaySpeed_ = 1.0f;
    FromMS_ = 0;
    ForgetFile();
    stage_ = LoadStage::None;
    wanted_ = graph::kStateStopped;
    loadFailed_ = false;
    DetectDevicesAndDecoders(DevMode_, ctx_);
    MatchRenderer();
}

void C_FGraph::MatchRenderer() { ApplyRendererOverride(DevName_, DevMode_, ctx_); }

void C_FGraph::SetFileName(const QString& newName, const PlaySegment& segment) {
    const QString name = newName;
    FromMS_ = 0;
    ToMS_ = 0;
    loadFailed_ = false;
    outputGaveUp_ = false;
    ended_ = false;
    if (name == FileName_ && segment == segment_) return;
    FileName_ = name;
    segment_ = segment;
    stage_ = LoadStage::None;
    wanted_ = graph::kStateStopped;
    bool ok = false;
    // A file that does not load leaves the player idle, whatever the flag says.
    const bool finished = Ignore([&] { ok = Load(name); });
    if (finished && ok) {
        loaded_ = 1;
        return;
    }
    FailLoad();
}

void C_FGraph::FailLoad() {
    stage_ = LoadStage::None;
    wanted_ = graph::kStateStopped;
    ForgetFile();
    loadFailed_ = true;
    segment_ = {};
}

bool C_FGraph::Load(const QString& name) {
    ForgetNext();
    if (ctx_.Control) ctx_.Control->Stop();
    DestroyGraph(ctx_);
    Length_ = 0;
    if (!IsRegularFile(name)) {
        // A folder, a device or a named pipe under the name: say why nothing plays.
        if (FileExists(name) || DirectoryExists(name)) WriteLog(QStringLiteral("FileName ") + name + QStringLiteral("#not a file"), 1, 1);
        else if (!name.isEmpty()) WriteLog(QStringLiteral("file not found: ") + name, 1, 1);
        return false;
    }
    // Zeros, a picture or a text would hold the decoders until the load limit.
    if (IsNotAudio(SniffFile(name))) {
        WriteLog(QStringLiteral("not an audio file: ") + name, 1, 1);
        return false;
    }
    loadClock_.start();
    directLink_ = false;
    if (BuildChain() && BeginPreroll(LoadLimitMs_)) {
        stage_ = LoadStage::Chain;
        return true;
    }
    return StartDirectLink();
}

bool C_FGraph::BeginPreroll(int limitMs) {
    if (!ctx_.Control) return false;
    return Ignore([&] {
        ctx_.Control->SetPrerollLimit(limitMs);
        ctx_.Control->BeginPreroll();
    });
}

bool C_FGraph::BuildChain() {
    CreateGraph(ctx_);
    if (directLink_) return RenderPinsToDecode(FileName_, ctx_) != 0;
    int built = SetupPinsToDecode(FileName_, 0, ctx_);
    if (built == 0) {
        DisconnectAll(ctx_);
        built = SetupPinsToDecode(FileName_, 1, ctx_);
    }
    if (built == 0 || !ctx_.Control) return false;
    Ignore([&] { ctx_.Control->AllowJoins(); });
    ApplyGaplessTrim(FileName_, *ctx_.Control);
    if (!ApplySegment(segment_, *ctx_.Control)) return false;
    ApplyReplayGain(FileName_, *ctx_.Control, segment_);
    return true;
}

bool C_FGraph::StartDirectLink() {
    // The direct link plays the whole file; a track of it would play wrong.
    if (segment_.isTrack) return false;
    // A start asked for while the chain was prerolling carries over.
    double start = 0;
    if (ctx_.Position) Ignore([&] { start = ctx_.Position->CurrentPosition(); });
    DestroyGraph(ctx_);
    directLink_ = true;
    if (!BuildChain()) return false;
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
    // A load that fails on the way leaves the player idle, whatever the flag says.
    const bool finished = Ignore([&] {
        if (stage_ == LoadStage::Length) {
            ReadLength();
            return;
        }
        if (stage_ == LoadStage::Reopen) {
            AdvanceReopen();
            return;
        }
        std::vector<HeldLog::Line> lines;
        const auto state = PollHeld(ctx_, lines);
        if (state == graph::Graph::PrerollState::Pending) return;
        if (state == graph::Graph::PrerollState::Done) {
            Prerolled();
            return;
        }
        // Not the file's fault: the sound server is not there yet.
        if (TakeOutputLoss(wanted_)) return;
        WriteLines(lines);
        failed = !(stage_ == LoadStage::Chain && StartDirectLink());
    });
    if (finished && !failed) return;
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
        ApplyControls(Attenuation_ > VolMinLevel_ ? Attenuation_ : -10000);
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
    if (!Ignore([&] { ctx_.Control->Run(); })) {
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
        // A lost output is looked for in the polls, not waited for.
        if (stage_ == LoadStage::None || OutputLost() || clock.elapsed() >= ms) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return loaded_ == 1 && !Loading();
}

std::int32_t C_FGraph::Play() {
    AdvanceLoad();
    ended_ = false;
    if (loaded_ == 0) return 0;
    if (OutputLost()) {
        lostAtMs_ = FromMS_;
        lostWanted_ = graph::kStateRunning;
        playing_ = 1;
        return 1;
    }
    Ignore([&] { StopIO(); });
    bool runs = true;
    if (playing_ == 0) {
        if (Loading()) {
            wanted_ = graph::kStateRunning;
        } else {
            runs = Ignore([&] {
                if (!ctx_.Control) Fail("no graph");
                ctx_.Control->Run();
            });
        }
    }
    Ignore([&] { ctx_.Position->SetCurrentPosition(FromMS_ / 1000.0); });
    if (!runs) return 0;
    playing_ = 1;
    return 1;
}

void C_FGraph::StopIO() {
    ended_ = false;
    if (OutputLost()) {
        // The file stays loaded: the output is still looked for.
        lostWanted_ = graph::kStateStopped;
        playing_ = 0;
        return;
    }
    if (!joinedName_.isEmpty()) {
        // The file heard since the join was never taken up: it stops here.
        joinedName_.clear();
        Ignore([&] { ctx_.Control->Stop(); });
    }
    DropNext();
    if (Loading()) {
        wanted_ = graph::kStateStopped;
    } else if (GraphPlays()) {
        Trap([&] { ctx_.Control->Stop(); });
    }
    playing_ = 0;
}

void C_FGraph::Pause() {
    ended_ = false;
    if (OutputLost()) {
        // It reads as paused, so the toggle resumes: playback goes on once
        // the output is back.
        if (lostWanted_ == graph::kStatePaused) lostWanted_ = graph::kStateRunning;
        return;
    }
    if (loaded_ != 1 || !ctx_.Control) return;
    if (!Loading()) {
        TogglePause(true);
    } else if (wanted_ == graph::kStatePaused) {
        wanted_ = graph::kStateRunning;
    } else if (wanted_ == graph::kStateRunning) {
        wanted_ = graph::kStatePaused;
    }
}

void C_FGraph::Poll() {
    ended_ = false;
    AdvanceLoad();
    if (CheckOutput()) return;
    if (AdvanceNext()) {
        ended_ = true;
        return;
    }
    if (!joinedName_.isEmpty()) return;
    PollEnd();
    if (!OutputLost()) StopPastToMS();
}

void C_FGraph::PollEnd() {
    if (!StopAtEnd(Loading() ? wanted_ : GraphState())) return;
    // The stream's end and a loss of the output may come together, just
    // after the check: that end is the loss.
    if (LostAtEnd()) return;
    ended_ = true;
}

std::int32_t C_FGraph::Position(std::int32_t kind) const {
    if (!OutputLost()) return PositionOf(kind);
    if (playing_ == 0) return 0;
    // Nothing is heard: the time stands where the sound stopped.
    switch (kind) {
    case 0: return lostAtMs_;
    case 1: return Length_ - lostAtMs_;
    case 2: return ToMS_ - lostAtMs_;
    default: return 0;
    }
}

std::int32_t C_FGraph::mode() const {
    if (OutputLost()) return LostMode();
    if (ended_) return 0;
    if (!joinedName_.isEmpty()) return 1;
    return ModeOf(Loading() ? wanted_ : GraphState());
}

void C_FGraph::CloseWave() {
    StopIO();
    ForgetNext();
    DestroyGraph(ctx_);
    stage_ = LoadStage::None;
    wanted_ = graph::kStateStopped;
    loadFailed_ = false;
    outputGaveUp_ = false;
    ForgetFile();
    segment_ = {};
}

}  // namespace rilumo
