// A sound output that goes away and comes back: the renderer's server
// restarting, or not there yet when a file starts. The lost graph can play
// no more, so the file is built again at the lost position, once a second,
// with the open of the output (which may wait on a dead server) on the
// graph's worker thread; Poll carries it on.

#include "playback/c_fgraph.h"

#include <algorithm>

#include "support/error_trap.h"
#include "support/log.h"

namespace rilumo {

namespace {

constexpr int kReopenEveryMs = 1000;
// A server that takes the connection but never answers must not hold up the
// next try for long.
constexpr int kReopenPrerollMs = 3000;

// Why the graph of ctx lost its sound output, or empty.
QString outputFailureOf(GraphContext& ctx) {
    QString why;
    Ignore([&] {
        if (ctx.Control) why = ctx.Control->OutputFailure();
    });
    return why;
}

}  // namespace

graph::Graph::PrerollState PollHeld(GraphContext& ctx, std::vector<HeldLog::Line>& lines) {
    HeldLog held;
    const auto state = ctx.Control ? ctx.Control->PollPreroll() : graph::Graph::PrerollState::Failed;
    lines = held.Take();
    return state;
}

bool C_FGraph::CheckOutput() {
    if (OutputLost()) return true;
    if (Loading() || loaded_ != 1 || !ctx_.Control) return false;
    // A stopped graph has nothing to lose; the next run finds out.
    const int state = GraphState();
    return state != graph::kStateStopped && TakeOutputLoss(state);
}

bool C_FGraph::LostAtEnd() {
    if (!TakeOutputLoss(graph::kStateRunning)) return false;
    playing_ = 1;
    return true;
}

bool C_FGraph::TakeOutputLoss(int wanted) {
    const QString why = outputFailureOf(ctx_);
    if (why.isEmpty()) return false;
    double at = 0;
    Ignore([&] { at = ctx_.Position->CurrentPosition(); });
    LoseOutput(why, at, wanted);
    return true;
}

void C_FGraph::LoseOutput(const QString& why, double atSeconds, int wanted) {
    WriteLog(QStringLiteral("sound output lost: ") + why + QStringLiteral("#") + FileName_, 1, 1);
    ForgetNext();
    DestroyGraph(ctx_);
    stage_ = LoadStage::Reopen;
    wanted_ = graph::kStateStopped;
    lostAtMs_ = SecondsToMs(std::clamp(atSeconds, 0.0, 2.0e6));
    lostWanted_ = wanted;
    lostClock_.start();
    attemptClock_.start();
}

void C_FGraph::AdvanceReopen() {
    if (ctx_.Control) {
        // Every try that fails would log its preroll: the loss is said once.
        std::vector<HeldLog::Line> dropped;
        const auto state = PollHeld(ctx_, dropped);
        if (state == graph::Graph::PrerollState::Pending) return;
        if (state == graph::Graph::PrerollState::Done) {
            OutputBack();
            return;
        }
        DestroyGraph(ctx_);
    }
    if (lostClock_.elapsed() >= outputRetryLimitMs_) {
        GiveUpOutput();
    } else if (attemptClock_.elapsed() >= kReopenEveryMs) {
        StartReopen();
    }
}

void C_FGraph::StartReopen() {
    attemptClock_.start();
    // The file built before: what the builder says now is the output's doing.
    HeldLog dropped;
    bool started = false;
    const bool finished = Ignore([&] {
        started = BuildChain();
        if (started) {
            ctx_.Position->SetCurrentPosition(lostAtMs_ / 1000.0);
            started = BeginPreroll(kReopenPrerollMs);
        }
    });
    if (!finished || !started) DestroyGraph(ctx_);
}

void C_FGraph::OutputBack() {
    WriteLog(QStringLiteral("sound output back#") + FileName_, 1, 1);
    wanted_ = lostWanted_;
    Prerolled();
}

void C_FGraph::GiveUpOutput() {
    WriteLog(QStringLiteral("sound output not back after %1 s, playback stopped#").arg(outputRetryLimitMs_ / 1000.0) +
                 FileName_,
             1, 1);
    DestroyGraph(ctx_);
    FailLoad();
    outputGaveUp_ = true;
}

}  // namespace rilumo
