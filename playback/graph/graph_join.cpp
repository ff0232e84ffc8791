// Joins: the next file's filters, built in a graph of their own, spliced in
// front of this graph's renderer so that its first sample follows this
// file's last one. A joining element (concat) sits between the decoded
// stream and the renderer; it holds the next stream back until the current
// one ends and keeps the running time continuous across the two.

#include <algorithm>
#include <utility>

#include "playback/graph/graph.h"
#include "playback/graph/graph_impl.h"
#include "support/error_trap.h"

namespace rilumo::graph {

namespace {

Pin* inputOf(Filter& f) {
    for (const auto& p : f.Pins()) {
        if (p->Direction() == 0) return p.get();
    }
    return nullptr;
}

Filter* rendererOf(const std::vector<std::unique_ptr<Filter>>& filters) {
    for (const auto& f : filters) {
        if (f->IsRenderer() && !f->Impl().parked) return f.get();
    }
    return nullptr;
}

// At the joiner's output: where one stream ends and the next begins.
GstPadProbeReturn onJoinerEvent(GstPad*, GstPadProbeInfo* info, gpointer data) {
    auto* s = static_cast<StreamState*>(data);
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    switch (GST_EVENT_TYPE(event)) {
    case GST_EVENT_FLUSH_STOP: s->ended = false; break;
    case GST_EVENT_EOS: s->ended = true; break;
    case GST_EVENT_STREAM_START:
        // The same start again (sticky events are sent anew after a flush)
        // begins nothing new.
        if (s->lastStreamStart.exchange(GST_EVENT_SEQNUM(event)) == GST_EVENT_SEQNUM(event)) break;
        if (++s->streams > 1 && !s->ended) {
            s->bitrate = 0;
            s->switched = true;
        }
        break;
    case GST_EVENT_SEGMENT:
        if (s->switched && s->joinAt < 0) {
            const GstSegment* segment = nullptr;
            gst_event_parse_segment(event, &segment);
            s->joinAt = static_cast<gint64>(gst_segment_to_running_time(segment, GST_FORMAT_TIME, segment->start));
            s->Notify();
        }
        break;
    default: break;
    }
    return GST_PAD_PROBE_OK;
}

// At the next file's output, unlinked till armed: its first audio stays
// here, so that a file that fails or has nothing to play never reaches the
// join.
GstPadProbeReturn onNextAudio(GstPad*, GstPadProbeInfo*, gpointer data) {
    auto* s = static_cast<StreamState*>(data);
    if (!s->nextReady.exchange(true)) s->Notify();
    return GST_PAD_PROBE_OK;
}

GstPadProbeReturn onNextEvent(GstPad*, GstPadProbeInfo* info, gpointer data) {
    auto* s = static_cast<StreamState*>(data);
    if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_EOS && !s->nextReady) {
        s->nextEmpty = true;
        s->Notify();
    }
    return GST_PAD_PROBE_OK;
}

void link(GstPad* from, GstPad* to) {
    if (gst_pad_link_full(from, to, GST_PAD_LINK_CHECK_NOTHING) != GST_PAD_LINK_OK) Fail("join link failed");
}

// Stops and takes out filters whose streaming threads may still run; what
// they report on the way out is nobody's error.
void unplug(GstElement* pipeline, StreamState& s, const std::vector<Filter*>& filters, ElementPtr feed) {
    std::vector<GstElement*> bins;
    for (Filter* f : filters) bins.push_back(f->Impl().bin.get());
    if (feed) bins.push_back(feed.get());
    {
        std::lock_guard guard(s.lock);
        s.leavingBins = bins;
    }
    for (GstElement* bin : bins) {
        gst_element_set_state(bin, GST_STATE_NULL);
        gst_bin_remove(GST_BIN(pipeline), bin);
    }
    std::lock_guard guard(s.lock);
    s.leavingBins.clear();
}

}  // namespace

void Graph::AllowJoins() { impl_->joinsAllowed = true; }

GstPad* GraphImpl::RendererFeed() const {
    Filter* renderer = rendererOf(filters);
    Pin* in = renderer ? inputOf(*renderer) : nullptr;
    Pin* up = in ? in->ConnectedTo() : nullptr;
    return up ? up->Impl().pad.get() : nullptr;
}

void GraphImpl::InsertJoiner() {
    if (!joinsAllowed || playbin) return;
    Filter* renderer = rendererOf(filters);
    Pin* in = renderer ? inputOf(*renderer) : nullptr;
    Pin* up = in ? in->ConnectedTo() : nullptr;
    if (!up) return;
    if (!IsRawAudioOnly(PadCaps(in->Impl().pad.get()).get())) return;
    ElementPtr joining = Adopt(gst_element_factory_make("concat", nullptr));
    ElementPtr feed = MakeFeed(nullptr);
    if (!joining || !feed) return;
    GstBin* bin = GST_BIN(pipeline.get());
    gst_bin_add(bin, joining.get());
    gst_bin_add(bin, feed.get());
    GstPad* from = up->Impl().pad.get();
    GstPad* to = in->Impl().pad.get();
    PadPtr sink(gst_element_request_pad_simple(joining.get(), "sink_%u"));
    PadPtr src(gst_element_get_static_pad(joining.get(), "src"));
    PadPtr feedIn(gst_element_get_static_pad(feed.get(), "sink"));
    PadPtr feedOut(gst_element_get_static_pad(feed.get(), "src"));
    gst_pad_unlink(from, to);
    const auto linked = [](GstPad* a, GstPad* b) {
        return a && b && gst_pad_link_full(a, b, GST_PAD_LINK_CHECK_NOTHING) == GST_PAD_LINK_OK;
    };
    if (!linked(from, feedIn.get()) || !linked(feedOut.get(), sink.get()) || !linked(src.get(), to)) {
        // Without the joiner the graph plays as it always did.
        gst_pad_unlink(from, feedIn.get());
        if (sink) gst_element_release_request_pad(joining.get(), sink.get());
        gst_bin_remove(bin, feed.get());
        gst_bin_remove(bin, joining.get());
        gst_pad_link_full(from, to, GST_PAD_LINK_CHECK_NOTHING);
        return;
    }
    gst_pad_add_probe(src.get(), GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, onJoinerEvent, stream.get(), nullptr);
    joiner = std::move(joining);
    ownJoin = std::move(sink);
    ownFeed = std::move(feed);
}

// Takes next's connected filters but its renderer, with the links among
// them; taking a bin out of a bin unlinks it, so they are made again here.
std::vector<std::pair<GstPad*, GstPad*>> GraphImpl::TakeFilters(GraphImpl& n, Filter* renderer) {
    std::vector<std::pair<GstPad*, GstPad*>> links;
    for (auto it = n.filters.begin(); it != n.filters.end();) {
        Filter& f = **it;
        if (&f == renderer || !f.IsConnected()) {
            ++it;
            continue;
        }
        for (const auto& p : f.Pins()) {
            Pin* peer = p->ConnectedTo();
            if (p->Direction() == 1 && peer && &peer->FilterInfo() != renderer) {
                links.emplace_back(p->Impl().pad.get(), peer->Impl().pad.get());
            }
        }
        ElementPtr bin(GST_ELEMENT(gst_object_ref(f.Impl().bin.get())));
        gst_bin_remove(GST_BIN(n.pipeline.get()), bin.get());
        gst_bin_add(GST_BIN(pipeline.get()), bin.get());
        f.Impl().graph = self;
        nextFilters.push_back(std::move(*it));
        it = n.filters.erase(it);
    }
    return links;
}

void Graph::SpliceNext(Graph& next) {
    GraphImpl& me = *impl_;
    GraphImpl& n = next.Impl();
    if (!me.joiner) Fail("this graph takes no next file");
    if (!me.nextFilters.empty() || me.stream->switched) Fail("a next file is already there");
    if (n.prepared || n.playbin) Fail("the next file's graph already ran");
    Filter* renderer = rendererOf(n.filters);
    Pin* in = renderer ? inputOf(*renderer) : nullptr;
    Pin* out = in ? in->ConnectedTo() : nullptr;
    if (!out) Fail("the next file reaches no renderer");
    // Converted to what the renderer plays now, whatever the file's own format.
    ElementPtr feed = MakeFeed(OutputFormat(me.joiner.get()).get());
    if (!feed || !gst_bin_add(GST_BIN(me.pipeline.get()), feed.get())) Fail("no converter for the next file");
    me.nextFeed = std::move(feed);
    const auto links = me.TakeFilters(n, renderer);
    out->Impl().peer = nullptr;
    in->Impl().peer = nullptr;
    me.nextOut = out;
    StreamState& s = *me.stream;
    s.nextReady = false;
    s.nextEmpty = false;
    {
        std::lock_guard guard(s.lock);
        s.nextError.clear();
        s.nextBins.clear();
        for (const auto& f : me.nextFilters) s.nextBins.push_back(f->Impl().bin.get());
        s.nextBins.push_back(me.nextFeed.get());
    }
    try {
        for (const auto& [from, to] : links) link(from, to);
        GstPad* pad = out->Impl().pad.get();
        PadPtr feedIn(gst_element_get_static_pad(me.nextFeed.get(), "sink"));
        link(pad, feedIn.get());
        // Trimmed first, so that priming alone never counts as its first audio.
        me.nextTrim = n.trim;
        // No seek reaches a spliced file's start alone: it is decoded up to.
        if (n.trim) n.trim->armed = true;
        InstallTrim(pad, n.trim);
        const auto hold = GST_PAD_PROBE_TYPE_BLOCK | GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST;
        me.nextHold = gst_pad_add_probe(pad, static_cast<GstPadProbeType>(hold), onNextAudio, &s, nullptr);
        me.nextEvents = gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, onNextEvent, &s, nullptr);
        // As a bin starts its children: all made ready first (a file opened
        // for a parser that pulls), then downstream first, so that a source
        // never pushes into pads not yet active and stops unseen.
        for (const auto& f : me.nextFilters) gst_element_set_state(f->Impl().bin.get(), GST_STATE_READY);
        if (!gst_element_sync_state_with_parent(me.nextFeed.get())) Fail("the next file cannot start");
        for (auto f = me.nextFilters.rbegin(); f != me.nextFilters.rend(); ++f) {
            if (!gst_element_sync_state_with_parent((*f)->Impl().bin.get())) Fail("the next file cannot start");
        }
    } catch (...) {
        DropNext();
        throw;
    }
}

void GraphImpl::ArmNext() {
    PadPtr sink(gst_element_request_pad_simple(joiner.get(), "sink_%u"));
    if (!sink) Fail("the joiner takes no more streams");
    GstPad* pad = nextOut->Impl().pad.get();
    PadPtr feedOut(gst_element_get_static_pad(nextFeed.get(), "src"));
    link(feedOut.get(), sink.get());
    nextJoin = std::move(sink);
    gst_pad_remove_probe(pad, nextHold);
    nextHold = 0;
    // Once it plays its end is no next file's: one prepared after it must
    // not read it as its own.
    if (nextEvents) gst_pad_remove_probe(pad, nextEvents);
    nextEvents = 0;
}

// The renderer's clock tells what is heard: the first sample of the next
// file is, once the running time reaches its own.
bool GraphImpl::JoinAudible() const {
    const gint64 at = stream->joinAt;
    if (at < 0 || requested != kStateRunning) return false;
    // Whatever the clock says, a next file already played to its end was heard.
    if (stream->completion != kEventNone) return true;
    GstClock* clock = gst_element_get_clock(pipeline.get());
    if (!clock) return true;
    const GstClockTime now = gst_clock_get_time(clock);
    gst_object_unref(clock);
    const GstClockTime base = gst_element_get_base_time(pipeline.get());
    return now >= base && static_cast<gint64>(now - base) >= at;
}

Graph::NextState Graph::PollNext() {
    GraphImpl& me = *impl_;
    StreamState& s = *me.stream;
    if (s.switched) return me.JoinAudible() ? NextState::Joined : NextState::Switched;
    if (me.nextFilters.empty()) return NextState::None;
    bool failed = false;
    {
        std::lock_guard guard(s.lock);
        failed = !s.nextError.isEmpty();
    }
    // The current stream ended before the next one could join: it plays no more.
    failed = failed || s.nextEmpty || (!me.nextJoin && s.ended);
    if (!failed && !me.nextJoin) {
        if (!s.nextReady) return NextState::Preparing;
        failed = !Ignore([&] { me.ArmNext(); });
    }
    if (failed) {
        DropNext();
        return NextState::Failed;
    }
    return NextState::Ready;
}

bool Graph::DropNext() {
    GraphImpl& me = *impl_;
    StreamState& s = *me.stream;
    if (me.nextFilters.empty() && !me.nextFeed) return true;
    if (s.switched) return false;
    // Its streaming thread may wait in the joiner for its turn: releasing
    // the pad ends that wait first, or stopping the filters would wait for it
    // for good. Should the stream switch to it just now, the joiner ends the
    // stream there instead, as if nothing had been prepared.
    if (me.nextJoin) {
        gst_element_release_request_pad(me.joiner.get(), me.nextJoin.get());
        me.nextJoin.reset();
    }
    std::vector<Filter*> leaving;
    for (auto& f : me.nextFilters) leaving.push_back(f.get());
    unplug(me.pipeline.get(), s, leaving, std::move(me.nextFeed));
    {
        std::lock_guard guard(s.lock);
        s.nextBins.clear();
        s.nextError.clear();
    }
    me.nextFilters.clear();
    me.nextTrim.reset();
    me.nextOut = nullptr;
    me.nextHold = 0;
    me.nextEvents = 0;
    s.nextReady = false;
    s.nextEmpty = false;
    return true;
}

void Graph::AdoptNext() {
    GraphImpl& me = *impl_;
    StreamState& s = *me.stream;
    if (!s.switched || !me.nextOut) Fail("no next file has joined");
    Filter* renderer = rendererOf(me.filters);
    Pin* in = renderer ? inputOf(*renderer) : nullptr;
    {
        std::lock_guard guard(s.lock);
        s.nextBins.clear();
    }
    // The file that ended: its filters are done and go.
    std::vector<std::unique_ptr<Filter>> kept;
    std::vector<Filter*> leaving;
    for (auto& f : me.filters) {
        if (f.get() == renderer || f->Impl().parked) {
            kept.push_back(std::move(f));
        } else {
            leaving.push_back(f.get());
        }
    }
    unplug(me.pipeline.get(), s, leaving, std::move(me.ownFeed));
    me.ownFeed = std::move(me.nextFeed);
    me.filters.clear();
    for (auto& f : me.nextFilters) me.filters.push_back(std::move(f));
    for (auto& f : kept) me.filters.push_back(std::move(f));
    me.nextFilters.clear();
    if (me.ownJoin) gst_element_release_request_pad(me.joiner.get(), me.ownJoin.get());
    me.ownJoin = std::move(me.nextJoin);
    if (in) {
        in->Impl().peer = me.nextOut;
        me.nextOut->Impl().peer = in;
    }
    me.nextOut = nullptr;
    me.trim = std::move(me.nextTrim);
    me.origin = 0;
    me.lastPosition = 0;
    me.pendingSeek = -1;
    s.streams = 1;
    s.joinAt = -1;
    s.nextReady = false;
    s.nextEmpty = false;
    s.switched = false;
}

}  // namespace rilumo::graph
