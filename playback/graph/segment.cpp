// A stretch of a file, one track of a CUE sheet: played from its first
// sample to its last, the start reached by a seek, the end ending the
// stream. The next track of the same file continues the same stream: its
// end moves on, and the track heard changes when the renderer gets there.

#include "playback/graph/graph.h"
#include "playback/graph/graph_impl.h"
#include "media/cue_sheet.h"
#include "support/error_trap.h"

namespace rilumo::graph {

namespace {

std::int64_t keepOf(const Trim& t, std::int64_t endFrames) {
    if (endFrames < 0) return Trim::kOpenKeep;
    return CueFramesToSamples(endFrames, t.rate) - CueFramesToSamples(t.startFrames, t.rate);
}

}  // namespace

double GraphImpl::OriginSeconds() const {
    const int r = trim ? trim->rate.load() : 0;
    return r > 0 ? static_cast<double>(origin) / r : 0.0;
}

void Graph::SetSegment(std::int64_t startFrames, std::int64_t endFrames) {
    GraphImpl& me = *impl_;
    if (me.prepared) Fail("the stretch is set before the graph first runs");
    if (startFrames < 0 || (endFrames >= 0 && endFrames <= startFrames)) Fail("no such stretch");
    auto t = std::make_shared<Trim>();
    // The file's own priming comes first; the stretch counts after it.
    if (me.trim) t->baseSkip = me.trim->skip;
    t->startFrames = startFrames;
    t->endFrames = endFrames;
    t->endsStream = endFrames >= 0;
    t->keep = Trim::kOpenKeep;
    t->armed = startFrames == 0;
    me.trim = std::move(t);
}

bool Graph::ExtendSegment(std::int64_t endFrames, double gain) {
    GraphImpl& me = *impl_;
    Trim* t = me.trim.get();
    if (!t || t->startFrames < 0 || t->rate <= 0 || !me.nextFilters.empty() || me.stream->switched) return false;
    ElementPtr stage;
    if (gain >= 0) {
        GstElement* volume = me.GainVolume();
        if (!volume) return false;
        stage.reset(GST_ELEMENT(gst_object_ref(volume)));
    }
    std::lock_guard guard(t->endLock);
    // Too late once the stream has reached its end; one continuation at a time.
    if (!t->endsStream || t->ended || t->boundary >= 0) return false;
    const std::int64_t keep = keepOf(*t, endFrames);
    if (keep <= t->keep) return false;
    t->boundary = t->keep;
    t->keep = keep;
    t->endFrames = endFrames;
    t->endsStream = endFrames >= 0;
    t->passed = false;
    t->boundaryGain = gain;
    t->gainStage = std::move(stage);
    return true;
}

bool Graph::DropContinuation(std::int64_t endFrames) {
    Trim* t = impl_->trim.get();
    if (!t) return true;
    std::lock_guard guard(t->endLock);
    if (t->boundary < 0) return true;
    if (t->passed) return false;
    t->keep = t->boundary;
    t->endFrames = endFrames;
    t->endsStream = true;
    t->boundary = -1;
    t->gainStage.reset();
    return true;
}

Graph::NextState Graph::PollContinuation() {
    GraphImpl& me = *impl_;
    Trim* t = me.trim.get();
    if (!t) return NextState::None;
    std::int64_t boundary = -1;
    {
        std::lock_guard guard(t->endLock);
        boundary = t->boundary;
    }
    if (boundary < 0 || t->rate <= 0) return NextState::None;
    if (me.requested != kStateRunning) return NextState::Ready;
    // A next track already played to its end was heard.
    if (me.stream->completion != kEventNone) return NextState::Joined;
    const double heard = CurrentPosition() + me.OriginSeconds();
    return heard >= static_cast<double>(boundary) / t->rate ? NextState::Joined : NextState::Ready;
}

void Graph::AdoptContinuation() {
    GraphImpl& me = *impl_;
    Trim* t = me.trim.get();
    if (!t) Fail("no stretch plays");
    std::lock_guard guard(t->endLock);
    if (t->boundary < 0) Fail("no continuation was heard");
    me.origin = t->boundary;
    t->boundary = -1;
    t->passed = false;
    t->gainStage.reset();
}

}  // namespace rilumo::graph
