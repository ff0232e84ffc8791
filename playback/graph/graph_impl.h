#pragma once
// Inside the graph service only: what stands behind Graph, Filter and Pin.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "playback/graph/filter.h"
#include "playback/graph/graph.h"
#include "playback/graph/gst_util.h"

namespace rilumo::graph {

// The output of an element whose pads appear once data flows: one ghost pad,
// pointed at the first audio pad that appears. Other pads drop what they
// carry; a pad that is audio but not raw while the downstream pin takes
// raw audio only gets a decoder first. Runs on streaming threads.
struct DynamicOutput {
    GstElement* bin = nullptr;   // the filter's bin (borrowed)
    GstPad* ghost = nullptr;     // the output pin's ghost pad (borrowed)
    QStringList gate;
    std::atomic<bool> rawOnly{false};
    GstElement* demux = nullptr; // the recipe's own element (borrowed)
    std::mutex lock;
    bool targeted = false;
    int pendingDecoders = 0;
    std::vector<ElementPtr> hooked;  // elements whose signals point here

    ~DynamicOutput();
    void Attach(GstElement* element);
    void AttachGate(GstElement* typefind);
    void OnPad(GstPad* pad);
    void OnNoMorePads(GstElement* from);
    void OnPadRemoved(GstPad* pad);
    void Discard(GstPad* pad);
    void OnDroppedEnd();
    void PostError(const QString& text);
};

struct PinImpl {
    Filter* owner = nullptr;
    PadPtr pad;          // the ghost pad
    QString id;
    int direction = 0;
    Pin* peer = nullptr;
    DynamicOutput* dynamic = nullptr;  // set on a dynamic output pin
};

struct FilterImpl {
    Graph* graph = nullptr;
    QString name;
    Recipe recipe;
    ElementPtr bin;
    GstElement* location = nullptr;  // the element taking the file name
    QString filename;
    std::vector<std::unique_ptr<Pin>> pins;
    std::unique_ptr<DynamicOutput> dynamic;
    bool parked = false;  // taken out of the pipeline: nothing is linked to it

    void Build(Filter& self);
    void AddPin(Filter& self, GstPad* target, const QString& id, GstPadDirection dir);
};

// What the bus and the renderer probes report from the streaming threads.
struct StreamState {
    std::mutex lock;
    std::condition_variable changed;
    bool asyncDone = false;
    QString error;               // first error seen
    std::atomic<int> completion{kEventNone};
    std::atomic<bool> audioArrived{false};
    std::atomic<unsigned> bitrate{0};  // bits per second, from the stream's tags
    // The first preroll's state change, run on a worker thread.
    bool changing = false;
    GstStateChangeReturn changeResult = GST_STATE_CHANGE_ASYNC;
    // Told, from whichever thread, that the stream ended, failed or got ready.
    std::function<void()> hook;

    // The join, seen at the joining element's output and at the next file's.
    std::atomic<bool> ended{false};      // this graph's last stream ended there
    std::atomic<int> streams{0};         // streams that began there
    std::atomic<guint32> lastStreamStart{GST_SEQNUM_INVALID};  // its event's number
    std::atomic<bool> switched{false};   // the next file's stream began there
    std::atomic<gint64> joinAt{-1};      // running time of its first sample
    std::atomic<bool> nextReady{false};  // its first audio waits
    std::atomic<bool> nextEmpty{false};  // it ended before any audio came
    // Under lock: the spliced filters' bins, whose errors are the next
    // file's until the switch, and the first such error.
    std::vector<GstElement*> nextBins;
    QString nextError;
    // Under lock: bins being stopped and taken out, whose last words (a
    // parser finding no stream as it stops) are nobody's error.
    std::vector<GstElement*> leavingBins;
    // Under lock: the renderer bin (borrowed), and the first failure of the
    // sound server or device behind it.
    GstElement* output = nullptr;
    QString outputError;

    void Notify() {
        std::lock_guard guard(lock);
        if (hook) hook();
    }
};

// Serialises the state changes run off the window thread. A change holds
// `lock` while it runs; a later request supersedes an earlier one still
// queued, and once the graph is torn down none runs at all.
struct StateChanger {
    std::mutex lock;
    std::atomic<bool> cancelled{false};
    int applied = 0;  // sequence number of the last change run (under lock)
};

// The samples of a file's decoded audio that are played: the rest is
// encoder priming and padding, or the rest of the disc around one track of
// a CUE sheet. Rate and frame size come from the stream.
struct Trim {
    std::atomic<std::int64_t> skip{0};
    std::atomic<std::int64_t> keep{0};
    std::atomic<int> rate{0};
    std::atomic<int> frameBytes{0};
    // The next buffer's first sample, counted from the last segment's first
    // buffer: decoders' time stamps are rounded, sample counts are not.
    std::int64_t next = -1;
    // A stretch of the file in CD frames (start -1: none): skip and keep
    // follow from it once the rate is known, after the file's own priming.
    std::int64_t baseSkip = 0;
    std::int64_t startFrames = -1;
    std::int64_t endFrames = -1;
    // A stretch is reached by a seek: until the first one, the stream's first
    // audio passes as it is, only to get the graph ready, and is flushed.
    std::atomic<bool> armed{true};
    // Under endLock: a stretch's end ends the stream there, so that the
    // joiner moves on at once and nothing decodes the rest of the file. A
    // continuation moves the end on; boundary is the old end (after skip).
    std::mutex endLock;
    std::atomic<bool> endsStream{false};
    bool ended = false;           // a buffer reached the end
    bool eosSent = false;
    std::int64_t boundary = -1;
    bool passed = false;          // the stream has gone past the boundary
    double boundaryGain = -1;     // the level from the boundary on; < 0: as it is
    ElementPtr gainStage;         // the volume element that takes it
    // The skipped samples as time; 0 until the stream's rate is known.
    std::uint64_t SkipTime() const;
    bool OpenEnd() const { return keep >= kOpenKeep; }
    static constexpr std::int64_t kOpenKeep = std::int64_t{1} << 60;
};
// Applies trim to what leaves pad (raw audio); runs on its streaming thread.
void InstallTrim(GstPad* pad, const std::shared_ptr<Trim>& trim);

// One file's way into the joiner (see feed.cpp): converts to output, the
// renderer's format; with none, keeps the file's own rate and sample format.
// Null when the elements are missing.
ElementPtr MakeFeed(GstCaps* output);
// The fixed format leaving the joiner, or null before it is known.
CapsPtr OutputFormat(GstElement* joiner);

// The pipeline bus's handler: keeps what the streaming threads report in the
// StreamState handed to it, and drops every message.
GstBusSyncReply OnBusMessage(GstBus* bus, GstMessage* message, gpointer state);

struct GraphImpl {
    Graph* self = nullptr;
    Catalogue catalogue;
    ElementPtr pipeline;
    std::vector<std::unique_ptr<Filter>> filters;
    ElementPtr playbin;       // set by RenderFile
    ElementPtr playbinSink;   // the renderer bin handed to playbin
    std::shared_ptr<StreamState> stream = std::make_shared<StreamState>();
    std::shared_ptr<StateChanger> changer = std::make_shared<StateChanger>();
    int posted = 0;  // state changes handed to the worker so far
    int requested = kStateStopped;
    bool prepared = false;
    bool prerollStarted = false;
    std::chrono::steady_clock::time_point prerollDeadline;
    bool prerolled = false;
    bool failed = false;
    QString failure;
    int prerollLimitMs = Graph::kPrerollLimitMs;
    double rate = 1.0;
    double pendingSeek = -1;
    double lastPosition = 0;
    bool errorLogged = false;
    // Leaf sink of the renderer, found once it prerolled: an automatic sink
    // swaps its placeholder for the real one on the way up.
    ElementPtr positionSink;
    QueryPtr positionQuery;

    // Joins: the element joining the streams in front of the renderer, the
    // pad of the current stream into it, and the spliced next file.
    std::shared_ptr<Trim> trim;      // of the file playing
    std::shared_ptr<Trim> nextTrim;  // of the spliced next file
    // Samples of the stretch before the track heard now, which a same-file
    // continuation made part of it: position, length and seeking count
    // from the track's own first sample.
    std::int64_t origin = 0;
    double OriginSeconds() const;
    // The volume element of the file's gain stage, or null.
    GstElement* GainVolume();
    bool joinsAllowed = false;
    ElementPtr joiner;
    PadPtr ownJoin;
    ElementPtr ownFeed;      // between the playing file and ownJoin
    std::vector<std::unique_ptr<Filter>> nextFilters;
    Pin* nextOut = nullptr;  // the spliced output that goes to the renderer
    PadPtr nextJoin;         // its pad into the joiner, once armed
    ElementPtr nextFeed;     // between nextOut and nextJoin
    gulong nextHold = 0;     // the probe holding its first audio back
    gulong nextEvents = 0;   // the probe watching it end before any audio

    QString UniqueName(const QString& name) const;
    void InsertJoiner();
    // The pad that carries the file's decoded audio to the renderer, or null.
    GstPad* RendererFeed() const;
    std::vector<std::pair<GstPad*, GstPad*>> TakeFilters(GraphImpl& next, Filter* renderer);
    void ArmNext();
    bool JoinAudible() const;
    void Prepare();
    void PostState(GstState target);
    void StartPreroll();
    // True once prerolled, false while still under way; throws when it failed.
    bool CheckPreroll();
    void Preroll();
    void Teardown();
    [[noreturn]] void FailPreroll(const QString& why);
    GstElement* RendererBin() const;
    GstElement* Control(const char* name) const;
    void Seek(double seconds);
    void ConnectPins(Pin& up, Pin& down);
    QString SourceName() const;
};

}  // namespace rilumo::graph
