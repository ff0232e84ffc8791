#pragma once
// The filter graph manager: one pipeline, the filters added to it, and the
// control, event, position and audio calls the players make. Every call runs
// on the window thread and returns without waiting on the streaming threads,
// except the first preroll of a freshly built graph when it is asked for by
// Run, Pause or Duration (bounded by the preroll limit); BeginPreroll and
// PollPreroll make it without waiting. Failures throw rilumo::Failure.

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "playback/graph/catalogue.h"
#include "playback/graph/filter.h"

namespace rilumo::graph {

struct GraphImpl;

// Graph states as GetState reports them.
inline constexpr int kStateStopped = 0;
inline constexpr int kStatePaused = 1;
inline constexpr int kStateRunning = 2;
// Event codes as WaitForCompletion reports them.
inline constexpr int kEventNone = 0;
inline constexpr int kEventComplete = 1;
inline constexpr int kEventErrorAbort = 3;

class Graph {
public:
    explicit Graph(Catalogue catalogue);
    ~Graph();
    Graph(const Graph&) = delete;
    Graph& operator=(const Graph&) = delete;

    // Registered filters, in catalogue order.
    const std::vector<RegFilter>& RegFilterCollection() const;
    // Adds a new instance of a registered filter; a name already in the graph
    // gets " 0001", " 0002", ... appended.
    Filter& AddFilter(const RegFilter& entry);
    // Filters in the order they were added (decoders inserted by Connect too).
    std::vector<Filter*> FilterCollection() const;
    // Lets GStreamer build the whole playback graph for path.
    void RenderFile(const QString& path);

    // The first Run, Pause or Duration of a built graph prerolls it: waits at
    // most the preroll limit for the first audio to reach the renderer.
    // Run restores the previous state asked for when the graph refuses to run.
    void Run();
    void Pause();
    void Stop();
    // The state last asked for; a transition still under way already reads
    // as its target. Never waits.
    int GetState(int timeoutMs);
    // kEventComplete once the stream has played to its end, kEventErrorAbort
    // after a streaming error, else kEventNone. Never waits.
    int WaitForCompletion(int timeoutMs);

    // Why the renderer lost its sound server or device, or could not open
    // it (an automatic sink that found none plays into nothing): empty while
    // it has not. Such a graph has stopped for good; only a new one may find
    // the output again. Never waits.
    QString OutputFailure();

    // Starts the first preroll on a worker thread and returns at once; the
    // preroll limit counts from here. Throws when the graph cannot preroll.
    void BeginPreroll();
    enum class PrerollState { Pending, Done, Failed };
    // Never waits. A failure (including the limit passing) is logged once,
    // as a waiting preroll logs it.
    PrerollState PollPreroll();

    double Duration();
    // The duration without waiting: false while the graph is not prerolled or
    // cannot tell yet (see Duration for the bit-rate estimate).
    bool TryDuration(double& seconds);
    double CurrentPosition();
    void SetCurrentPosition(double seconds);
    double Rate() const;
    void SetRate(double rate);

    // Hundredths of a decibel: volume -10000 (silent) .. 0, balance -10000
    // (left only) .. 10000 (right only).
    int Volume();
    void SetVolume(int volume);
    int Balance();
    void SetBalance(int balance);

    // Joins. The file after this one, built by the builder in a graph of its
    // own, goes in front of this graph's renderer and takes over, sample for
    // sample, when this graph's stream ends. Only a hand-built graph whose
    // renderer takes raw audio can take one, and only when AllowJoins came
    // before its first run.
    void AllowJoins();
    // Moves next's connected filters, all but its renderer, into this graph
    // and starts them; next keeps its renderer only. Throws when this graph
    // cannot take them (nothing is moved then, or what moved is dropped).
    void SpliceNext(Graph& next);
    enum class NextState {
        None,       // nothing spliced
        Preparing,  // its first audio has not come yet
        Ready,      // its first audio waits at the join
        Switched,   // this graph's stream ended; the next one flows to the renderer
        Joined,     // the renderer plays the next file: call AdoptNext
        Failed,     // it failed or came too late; already dropped
    };
    // Never waits. The join is reported only while the graph runs.
    NextState PollNext();
    // Drops the spliced filters; false (nothing dropped) once the stream has
    // switched to them.
    bool DropNext();
    // After Joined: this graph's own source filters go and the spliced ones
    // take their place; position and length are those of the new file.
    void AdoptNext();

    // Gapless trim of the file's decoded audio: skip samples are dropped at
    // the start, and only keep samples after them are played; before the
    // first run (or before this graph is spliced in as a next file). Position,
    // length and seeking then count from the first kept sample.
    void SetTrim(std::int64_t skip, std::int64_t keep);

    // One track of a CUE sheet: frames (75 a second) into the file, end -1
    // for the file's end, made samples at the file's own rate once it is
    // known. The start is reached by a seek as the graph gets ready, and the
    // end ends the stream, as a file's end does. Before the first run (or
    // the splice, where the start is decoded up to); after any SetTrim.
    // Position, length and seeking count from the track's first sample.
    void SetSegment(std::int64_t startFrames, std::int64_t endFrames);
    // The next track of the same file continues this stream with no join:
    // the end moves on to endFrames, and from the old end on the samples
    // are scaled by gain (< 0: as they are). False, nothing changed, when
    // the stream has already reached its end or there is no stretch.
    bool ExtendSegment(std::int64_t endFrames, double gain);
    // Puts the end back to endFrames; false once the stream went past it.
    bool DropContinuation(std::int64_t endFrames);
    // Joined once the renderer has played up to the old end (while the graph
    // runs): AdoptContinuation then makes the next track the one position,
    // length and seeking count in. Ready before, None with none prepared.
    NextState PollContinuation();
    void AdoptContinuation();

    // ReplayGain: the file's samples scaled by factor (0 .. 10) in a stage of
    // its own in front of the renderer (and of any joiner), before the first
    // run; once it is there, a new factor takes effect at once.
    // keepStage puts the stage in even at 1, so a later factor can change it.
    void SetGain(double factor, bool keepStage = false);

    // Longest wait of the preroll, in milliseconds.
    static constexpr int kPrerollLimitMs = 1500;
    void SetPrerollLimit(int ms);
    // Called on a streaming or worker thread when the stream ends, fails or
    // becomes ready, so that a poller need not poll fast to react at once. It
    // must only post to its own thread; it is never called once the graph is
    // being destroyed.
    void SetEventHook(std::function<void()> hook);

    // A graph destroyed after its first preroll began is stopped and released
    // on a worker, so that its destruction never waits on a streaming thread.
    // Waits at most ms for all of those to be gone; false when some remain.
    static bool WaitForRetiredGraphs(int ms);
    // Pipelines made and not yet freed, those of retiring graphs included: a
    // graph that something still holds (a message kept by mistake) shows here.
    static int PipelinesAlive();

    GraphImpl& Impl() { return *impl_; }

private:
    std::unique_ptr<GraphImpl> impl_;
};

}  // namespace rilumo::graph
