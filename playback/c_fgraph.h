#pragma once
// The program's one audio player: loads a file into a hand-built graph,
// plays, pauses, stops, seeks and reports its mode. Passive: the caller
// polls `mode` and `Position` from its timer; nothing here waits on the
// streaming threads. A FileName write builds the graph and returns; the
// graph gets ready (prerolls) in the background, and the polls of `mode`
// and `Position` carry the load on: the fallback when a chain fails to
// preroll, the length, and the run that Play asked for in the meantime.

#include <QElapsedTimer>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <functional>

#include "playback/graph_builder.h"

namespace rilumo {

class C_FGraph {
public:
    C_FGraph() = default;
    C_FGraph(const C_FGraph&) = delete;
    C_FGraph& operator=(const C_FGraph&) = delete;

    void Init();
    void SetDevMode(std::int32_t devMode) { DevMode_ = devMode; }
    void SetDevName(const QString& devName) { DevName_ = devName; }
    void SetVolMinLevel(std::int32_t level) { VolMinLevel_ = level; }
    std::int32_t FromMS() const { return FromMS_; }
    void SetFromMS(std::int32_t ms) { FromMS_ = ms; }
    std::int32_t ToMS() const { return ToMS_; }
    void SetToMS(std::int32_t ms) { ToMS_ = ms; }
    std::int32_t Length() const { return Length_; }
    std::int32_t PanValue();
    void SetPanValue(std::int32_t pan);
    float PlaySpeed() const { return PlaySpeed_; }
    void SetPlaySpeed(float speed);
    std::int32_t Attenuation();
    void SetAttenuation(std::int32_t v);
    QString FileName() const { return FileName_; }
    void SetFileName(const QString& name);
    void StopIO();
    std::int32_t Play();
    void Pause();
    std::int32_t Position(std::int32_t kind);
    std::int32_t mode();
    void CloseWave();

    // The graph of FileName is still getting ready. Meanwhile Play, Pause and
    // StopIO only record the state asked for, which mode reports.
    bool Loading() const { return stage_ == LoadStage::Chain || stage_ == LoadStage::DirectLink; }
    // The last FileName write found nothing it could play, at once or later;
    // cleared by the next FileName write or CloseWave.
    bool LoadFailed() const { return loadFailed_; }
    // For callers that want the old synchronous load: carries the load on for
    // at most ms, until it has ended and the length is known. True when the
    // file is loaded and ready.
    bool WaitLoaded(int ms);
    // How long a load may take to get ready before it fails as timed out
    // (the direct link may take a fifth more); from the next FileName write.
    static constexpr int kDefaultLoadLimitMs = 25000;
    void SetLoadLimit(int ms) { LoadLimitMs_ = std::max(ms, 1); }
    // Called on another thread when a track ends, fails or gets ready, so the
    // poller can look at once instead of polling fast; it must only post.
    // Applies to graphs built from then on.
    void SetStreamEventHook(std::function<void()> hook) { ctx_.OnStreamEvent = std::move(hook); }

    // The graph context, for callers that choose where registered filters come from.
    GraphContext& Context() { return ctx_; }

private:
    enum class LoadStage {
        None,        // nothing under way
        Chain,       // the hand-built chain is prerolling
        DirectLink,  // the direct source-to-renderer link is prerolling
        Length,      // ready and started; the length is not known yet
    };

    std::int32_t IsStillRunning();
    void MatchRenderer();
    bool Load(const QString& name);
    bool BeginPreroll(int limitMs);
    bool StartDirectLink();
    void AdvanceLoad();
    void Prerolled();
    void ReadLength();
    void StartRequested();
    void FailLoad();

    GraphContext ctx_;
    std::int32_t DevMode_ = 0;
    QString DevName_;
    std::int32_t VolMinLevel_ = -4000;
    QString FileName_;
    std::int32_t FromMS_ = 0;
    std::int32_t ToMS_ = 0;
    std::int32_t Length_ = 0;
    std::int32_t Attenuation_ = 0;
    std::int32_t PanValue_ = 0;
    float PlaySpeed_ = 1.0f;
    std::int32_t playing_ = 0;
    std::int32_t loaded_ = 0;
    LoadStage stage_ = LoadStage::None;
    QElapsedTimer loadClock_;    // since the load began
    QElapsedTimer lengthClock_;  // since the graph got ready
    int wanted_ = graph::kStateStopped;  // the state asked for while loading
    bool loadFailed_ = false;
    int LoadLimitMs_ = kDefaultLoadLimitMs;
};

// Seconds to whole milliseconds, ties to even; throws Failure past int32.
std::int32_t SecondsToMs(double seconds);

}  // namespace rilumo
