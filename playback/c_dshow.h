#pragma once
// The alternative player: the same kind of interface as C_FGraph, but
// GStreamer builds the whole graph for a file in one call. Nothing in the
// program creates one; it is the simpler back end behind the same contract.

#include <QString>

#include <cstdint>

#include "playback/graph_builder.h"

namespace rilumo {

class C_DShow {
public:
    C_DShow() = default;
    C_DShow(const C_DShow&) = delete;
    C_DShow& operator=(const C_DShow&) = delete;

    void CloseWave();
    std::int32_t FromMS() const { return FromMS_; }
    void SetFromMS(std::int32_t ms) { FromMS_ = ms < 0 ? 0 : ms; }
    std::int32_t ToMS() const { return ToMS_; }
    void SetToMS(std::int32_t ms) { ToMS_ = ms; }
    void SetVolMinLevel(std::int32_t level) { VolMinLevel_ = level; }
    std::int32_t Length() const { return Length_; }
    std::int32_t PanValue();
    void SetPanValue(std::int32_t pan);
    float PlaySpeed() const { return PlaySpeed_; }
    void SetPlaySpeed(float speed);
    std::int32_t Attenuation() const { return Attenuation_; }
    void SetAttenuation(std::int32_t v);
    std::int32_t Position(std::int32_t kind);
    std::int32_t mode();
    QString FileName() const { return FileName_; }
    void SetFileName(const QString& name);
    void StopIO();
    std::int32_t Play();
    void Pause();

private:
    std::int32_t IsStillRunning();
    void Load(const QString& name);

    GraphContext ctx_;
    QString FileName_;
    std::int32_t FromMS_ = 0;
    std::int32_t ToMS_ = 0;
    std::int32_t Length_ = 0;
    std::int32_t Attenuation_ = 0;
    std::int32_t PanValue_ = 0;
    float PlaySpeed_ = 1.0f;
    std::int32_t playing_ = 0;
    std::int32_t loaded_ = 0;
    std::int32_t VolMinLevel_ = -4000;
};

}  // namespace rilumo
