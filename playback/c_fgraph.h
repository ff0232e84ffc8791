#pragma once
// The program's one audio player: loads a file into a hand-built graph,
// plays, pauses, stops, seeks and reports its mode. Passive: the caller
// polls `mode` and `Position` from its timer; nothing here waits on the
// streaming threads.

#include <QString>

#include <cstdint>

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

    // The graph context, for callers that choose where registered filters come from.
    GraphContext& Context() { return ctx_; }

private:
    std::int32_t IsStillRunning();
    void MatchRenderer();
    bool Load(const QString& name);

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
};

// Seconds to whole milliseconds, ties to even; throws Failure past int32.
std::int32_t SecondsToMs(double seconds);
std::int32_t RoundToInt32(double value);

}  // namespace rilumo
