#pragma once
// The alternative player: the same kind of interface as C_FGraph, but
// GStreamer builds the whole graph for a file in one call. Nothing in the
// program creates one; it is the simpler back end behind the same contract.
// Its controls always reach the device.

#include <QString>

#include <algorithm>
#include <cstdint>

#include "playback/player_core.h"

namespace rilumo {

class C_DShow : public PlayerCore {
public:
    C_DShow() : PlayerCore(true) {}

    void CloseWave();
    void SetFromMS(std::int32_t ms) { FromMS_ = std::max(ms, 0); }
    // What was asked for, not what the device reads.
    std::int32_t Attenuation() const { return Attenuation_; }
    void Poll() override;
    std::int32_t Position(std::int32_t kind) const { return PositionOf(kind); }
    std::int32_t mode() const { return ended_ ? 0 : ModeOf(GraphState()); }
    void SetFileName(const QString& name);
    void StopIO() override;
    std::int32_t Play();
    void Pause();

private:
    void Load(const QString& name);
};

}  // namespace rilumo
