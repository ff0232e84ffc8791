#pragma once
// What both players keep and answer alike: the play range, the length, the
// volume, balance and rate controls, and the position and mode reports over
// the graph context each of them builds its own way.

#include <QString>

#include <cstdint>

#include "playback/graph_builder.h"

namespace rilumo {

class PlayerCore {
public:
    virtual ~PlayerCore() = default;
    PlayerCore(const PlayerCore&) = delete;
    PlayerCore& operator=(const PlayerCore&) = delete;

    std::int32_t FromMS() const { return FromMS_; }
    void SetFromMS(std::int32_t ms) { FromMS_ = ms; }
    std::int32_t ToMS() const { return ToMS_; }
    void SetToMS(std::int32_t ms) { ToMS_ = ms; }
    void SetVolMinLevel(std::int32_t level) { VolMinLevel_ = level; }
    std::int32_t Length() const { return Length_; }
    QString FileName() const { return FileName_; }
    // While the controls are live they reach the device at once, and the
    // reads take the device's value; otherwise they are only stored.
    std::int32_t PanValue();
    void SetPanValue(std::int32_t pan);
    float PlaySpeed() const { return PlaySpeed_; }
    void SetPlaySpeed(float speed);
    std::int32_t Attenuation();
    // Keeps the old value when the device refuses the new one.
    void SetAttenuation(std::int32_t v);
    virtual void StopIO() = 0;
    // Everything that moves on by itself, among it the end of a track (the
    // graph stops) and the stop point. A Poll that finds the end makes mode
    // report 0 until the next Poll or command; mode and Position only read,
    // as often as anyone asks.
    virtual void Poll() = 0;

protected:
    explicit PlayerCore(bool liveControls) : liveControls_(liveControls) {}

    // Position(kind) of a player whose own work is done: 0 elapsed, 1 left to
    // the end, 2 left to ToMS.
    std::int32_t PositionOf(std::int32_t kind) const;
    // Past a ToMS short of the end the player stops.
    void StopPastToMS();
    // Mode 2 paused, 3 running, 1 otherwise.
    static std::int32_t ModeOf(int state);
    // A run whose stream has ended, or cannot tell, stops: true then.
    bool StopAtEnd(int state);
    // The state the graph was last asked for; stopped without a graph.
    int GraphState() const;
    std::int32_t IsStillRunning();
    // A loaded graph that runs and can be stopped.
    bool GraphPlays() const;
    // Paused runs again, running pauses; unless pauseEnded, a run whose
    // stream has ended is left as it is.
    void TogglePause(bool pauseEnded);
    // Hands the stored controls to a freshly loaded graph, volume as given,
    // each clamped to the device's range.
    void ApplyControls(std::int32_t volume);
    // Nothing loaded, nothing playing.
    void ForgetFile();

    GraphContext ctx_;
    bool liveControls_;  // C_FGraph's only in dev mode 1
    QString FileName_;
    std::int32_t FromMS_ = 0;
    std::int32_t ToMS_ = 0;
    std::int32_t Length_ = 0;
    std::int32_t Attenuation_ = 0;
    std::int32_t PanValue_ = 0;
    float PlaySpeed_ = 1.0f;
    std::int32_t playing_ = 0;
    std::int32_t loaded_ = 0;
    bool ended_ = false;  // the last Poll found the end of a track
    std::int32_t VolMinLevel_ = -4000;
};

// The device volume for a requested attenuation: v² / VolMinLevel, within
// −10000..0, and silence (−10000) at or below the floor. Fails for a floor of 0.
std::int32_t AttenuationToVolume(std::int32_t v, std::int32_t volMinLevel);

// Seconds to whole milliseconds, ties to even; throws Failure past int32.
std::int32_t SecondsToMs(double seconds);

}  // namespace rilumo
