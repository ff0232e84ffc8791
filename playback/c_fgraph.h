#pragma once
// The program's one audio player: loads a file into a hand-built graph,
// plays, pauses, stops, seeks and reports its mode. Passive: the caller
// calls Poll from its timer, then reads `mode` and `Position`; nothing here
// waits on the streaming threads. A FileName write builds the graph and
// returns; the graph gets ready (prerolls) in the background, and Poll
// carries the load on: the fallback when a chain fails to preroll, the
// length, and the run that Play asked for in the meantime.

#include <QElapsedTimer>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "playback/play_segment.h"
#include "playback/player_core.h"
#include "support/log.h"

namespace rilumo {

class C_FGraph : public PlayerCore {
public:
    C_FGraph() : PlayerCore(false) {}

    void Init();
    // Dev mode 1 hands the volume, balance and rate to the device; 0 only stores them.
    void SetDevMode(std::int32_t devMode) {
        DevMode_ = devMode;
        liveControls_ = devMode == 1;
    }
    void SetDevName(const QString& devName) { DevName_ = devName; }
    // A sheet's track plays only its stretch of the file; the same name with
    // another stretch loads afresh.
    void SetFileName(const QString& name, const PlaySegment& segment = {});
    const PlaySegment& Segment() const { return segment_; }
    void StopIO() override;
    std::int32_t Play();
    void Pause();
    // Besides the end and the stop point: the load, the sound output's
    // return and the join of a prepared file.
    void Poll() override;
    std::int32_t Position(std::int32_t kind) const;
    std::int32_t mode() const;
    void CloseWave();

    // The graph of FileName is still getting ready. Meanwhile Play, Pause and
    // StopIO only record the state asked for, which mode reports.
    bool Loading() const { return stage_ == LoadStage::Chain || stage_ == LoadStage::DirectLink; }
    // The last FileName write found nothing it could play, at once or later;
    // cleared by the next FileName write or CloseWave.
    bool LoadFailed() const { return loadFailed_; }
    // Nothing left to do for the last FileName write: ready with its length, or failed.
    bool LoadSettled() const { return stage_ == LoadStage::None; }
    // For callers that want the old synchronous load: carries the load, and
    // only the load, on for at most ms, until it has ended and the length is
    // known, or the sound output is found lost. True when the file is loaded
    // and ready.
    bool WaitLoaded(int ms);
    // How long a load may take to get ready before it fails as timed out
    // (the direct link may take a fifth more); from the next FileName write.
    static constexpr int kDefaultLoadLimitMs = 25000;
    void SetLoadLimit(int ms) { LoadLimitMs_ = std::max(ms, 1); }
    // Called on another thread when a track ends, fails or gets ready, so the
    // poller can look at once instead of polling fast; it must only post.
    // Applies to graphs built from then on.
    void SetStreamEventHook(std::function<void()> hook) { ctx_.OnStreamEvent = std::move(hook); }

    // Gapless: the file meant to follow this one, prepared shortly before
    // the end. PrepareNext builds it as any load does and joins it in front
    // of the renderer; false where it cannot (nothing playing, a play speed
    // or stop point of the caller's own, a file that does not build). When
    // the renderer reaches it, mode reports the end of the track once, as
    // for any end, and JoinedName names the file heard from then on:
    // AdoptJoined makes it the loaded, playing file; any other call stops it.
    // Seeking, StopIO, a new file or CloseWave drop a prepared file.
    // The track of a sheet that follows the playing one in the same file
    // continues its stream instead: no new graph, only the end moves on.
    bool PrepareNext(const QString& name, const PlaySegment& segment = {});
    void DropNext();
    QString NextName() const { return nextName_; }
    const PlaySegment& NextSegment() const { return nextSegment_; }
    QString JoinedName() const { return joinedName_; }
    const PlaySegment& JoinedSegment() const { return joinedSegment_; }
    bool AdoptJoined();

    // Sound output lost: the renderer's server or device went away while the
    // file played, or was not there when it started. Meanwhile mode reports
    // paused (nothing is heard) and Position the lost position; once a second
    // a fresh graph for the file tries the output again, its open on a worker
    // thread, and the first that opens it plays on from there in the state
    // asked for (Pause, as from paused, asks to run; StopIO to stay stopped).
    // Past the retry limit the player gives up as a failed load does:
    // FileName empty, mode 1, OutputGaveUp true till the next FileName write
    // or CloseWave.
    bool OutputLost() const { return stage_ == LoadStage::Reopen; }
    bool OutputGaveUp() const { return outputGaveUp_; }
    static constexpr int kDefaultOutputRetryLimitMs = 30000;
    void SetOutputRetryLimit(int ms) { outputRetryLimitMs_ = std::max(ms, 1); }

    // The graph context, for callers that choose where registered filters come from.
    GraphContext& Context() { return ctx_; }

private:
    enum class LoadStage {
        None,        // nothing under way
        Chain,       // the hand-built chain is prerolling
        DirectLink,  // the direct source-to-renderer link is prerolling
        Length,      // ready and started; the length is not known yet
        Reopen,      // the sound output is lost; a graph is rebuilt to find it
    };

    void MatchRenderer();
    // The stream of a running graph has ended: stop and report it once.
    void PollEnd();
    bool Load(const QString& name);
    bool BeginPreroll(int limitMs);
    bool StartDirectLink();
    void AdvanceLoad();
    void Prerolled();
    void ReadLength();
    void StartRequested();
    void FailLoad();
    // Sound output (c_fgraph_output.cpp). CheckOutput notices a loss of the
    // live graph's output; both it and LoseOutput take the graph down.
    bool CheckOutput();
    bool LostAtEnd();
    // True when the output has failed; the loss is then taken at the graph's position.
    bool TakeOutputLoss(int wanted);
    std::int32_t LostMode() const { return lostWanted_ == graph::kStateStopped ? 1 : 2; }
    void LoseOutput(const QString& why, double atSeconds, int wanted);
    void AdvanceReopen();
    void StartReopen();
    bool BuildChain();
    void OutputBack();
    void GiveUpOutput();
    // True once, when the renderer plays the prepared file.
    bool AdvanceNext();
    void ForgetNext();
    bool PrepareContinuation(const PlaySegment& segment);

    std::int32_t DevMode_ = 0;
    QString DevName_;
    LoadStage stage_ = LoadStage::None;
    QElapsedTimer loadClock_;    // since the load began
    QElapsedTimer lengthClock_;  // since the graph got ready
    int wanted_ = graph::kStateStopped;  // the state asked for while loading
    bool loadFailed_ = false;
    int LoadLimitMs_ = kDefaultLoadLimitMs;
    PlaySegment segment_;
    QString nextName_;
    PlaySegment nextSegment_;
    bool nextContinues_ = false;  // the next track of this stream, not a join
    QString joinedName_;
    PlaySegment joinedSegment_;
    bool joinedContinues_ = false;
    std::vector<HeldLog::Line> nextLog_;  // the builder's lines for it, written if it plays
    bool directLink_ = false;      // the file plays through the direct link
    QElapsedTimer lostClock_;      // since the output was lost
    QElapsedTimer attemptClock_;   // since the last try to reopen it
    std::int32_t lostAtMs_ = 0;    // where playback goes on once it is back
    int lostWanted_ = graph::kStateRunning;
    bool outputGaveUp_ = false;
    int outputRetryLimitMs_ = kDefaultOutputRetryLimitMs;
};

// The encoder delay and padding an M4A/MP4 file records, cut from its audio
// in graph; other files are left as they are.
void ApplyGaplessTrim(const QString& path, graph::Graph& graph);
// A sheet's track: only its stretch of the file plays. False when the graph
// refuses it.
bool ApplySegment(const PlaySegment& segment, graph::Graph& graph);

// PollPreroll with the lines it logs held in lines, for the caller to write or drop.
graph::Graph::PrerollState PollHeld(GraphContext& ctx, std::vector<HeldLog::Line>& lines);

}  // namespace rilumo
