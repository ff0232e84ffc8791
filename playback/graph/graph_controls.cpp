// What a built graph answers and takes while it plays: its length, the
// position, the rate, the volume and the balance.


#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "playback/graph/graph.h"
#include "playback/graph/graph_impl.h"
#include "support/error_trap.h"
#include "support/rounding.h"
#include "support/file_ops.h"

namespace rilumo::graph {

namespace {

// DirectShow-style: -10000 is silence, otherwise hundredths of a decibel.
double linearOf(int hundredthsDb) {
    return hundredthsDb <= -10000 ? 0.0 : std::pow(10.0, hundredthsDb / 2000.0);
}
int hundredthsOf(double linear) {
    if (linear <= 0.00001) return -10000;
    return std::clamp(RoundEvenInt(2000.0 * std::log10(linear)), -10000, 0);
}

// Sun audio's parser closes an open-ended segment at once, so that a seek
// with no stop would end the file where it starts; given the length as the
// stop it plays to the end.
bool needsExplicitStop(GstElement* pipeline) {
    GstIterator* it = gst_bin_iterate_recurse(GST_BIN(pipeline));
    GValue v = G_VALUE_INIT;
    bool found = false;
    while (!found && gst_iterator_next(it, &v) == GST_ITERATOR_OK) {
        GstElementFactory* f = gst_element_get_factory(GST_ELEMENT(g_value_get_object(&v)));
        found = f && g_strcmp0(GST_OBJECT_NAME(f), "auparse") == 0;
        g_value_reset(&v);
    }
    g_value_unset(&v);
    gst_iterator_free(it);
    return found;
}

}  // namespace

bool Graph::TryDuration(double& seconds) {
    if (!impl_->prerolled) return false;
    // A trimmed file lasts what it keeps.
    const Trim* t = impl_->trim.get();
    gint64 duration = -1;
    const bool known = gst_element_query_duration(impl_->pipeline.get(), GST_FORMAT_TIME, &duration) && duration >= 0;
    if (t && t->rate > 0) {
        // A track lasts from its start to its end, or to the file's end
        // where that comes first (a sheet may promise more than the file has).
        const double kept = t->OpenEnd() ? 1e300 : static_cast<double>(t->keep - impl_->origin) / t->rate;
        const double rest = known ? static_cast<double>(duration) / GST_SECOND -
                                        static_cast<double>(t->SkipTime()) / GST_SECOND - impl_->OriginSeconds()
                                  : 1e300;
        // A file trimmed of its own priming keeps its stated length.
        seconds = std::max(0.0, t->startFrames < 0 ? kept : std::min(kept, rest));
        if (seconds < 1e299) return true;
    }
    if (known) {
        seconds = static_cast<double>(duration) / GST_SECOND;
        return true;
    }
    // A parser without an index learns the length only while it plays; till
    // then the file's size at the stream's bit rate stands in, as a splitter
    // reading a constant-rate stream would reckon it.
    const unsigned bits = impl_->stream->bitrate;
    std::int64_t bytes = 0;
    FileSizeOf(impl_->SourceName(), bytes);
    if (bits == 0 || bytes <= 0) return false;
    seconds = static_cast<double>(bytes) * 8.0 / bits;
    return true;
}

double Graph::Duration() {
    impl_->Preroll();
    double seconds = 0;
    for (int i = 0; i < 10; ++i) {
        if (TryDuration(seconds)) return seconds;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return 0.0;
}

double Graph::CurrentPosition() {
    if (!impl_->prerolled) return impl_->pendingSeek >= 0 ? impl_->pendingSeek : 0.0;
    const double origin = impl_->OriginSeconds();
    // The renderer already holds the next file; this one is heard to its end.
    if (impl_->stream->switched) return impl_->lastPosition - origin;
    GstQuery* q = impl_->positionQuery.get();
    gst_query_set_position(q, GST_FORMAT_TIME, -1);
    GstElement* target = impl_->positionSink ? impl_->positionSink.get() : impl_->pipeline.get();
    gint64 at = -1;
    if (gst_element_query(target, q)) gst_query_parse_position(q, nullptr, &at);
    // While a seek flushes the sink cannot tell; the last answer stands.
    if (at >= 0) impl_->lastPosition = static_cast<double>(at) / GST_SECOND;
    return impl_->lastPosition - origin;
}

void GraphImpl::Seek(double seconds) {
    // A seek would reach the stream that plays next, not this one.
    if (stream->switched) return;
    self->DropNext();
    const std::uint64_t skipped = trim ? trim->SkipTime() : 0;
    // From here on the trim cuts: a track's start is reached by this seek.
    if (trim) trim->armed = true;
    const double from = std::max(0.0, seconds) + OriginSeconds();
    const gint64 at = static_cast<gint64>(RoundEven(from * GST_SECOND) + skipped);
    gint64 stop = -1;
    if (needsExplicitStop(pipeline.get())) gst_element_query_duration(pipeline.get(), GST_FORMAT_TIME, &stop);
    if (!gst_element_seek(pipeline.get(), rate, GST_FORMAT_TIME,
                          static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                          GST_SEEK_TYPE_SET, at, stop > 0 ? GST_SEEK_TYPE_SET : GST_SEEK_TYPE_NONE,
                          stop > 0 ? stop : static_cast<gint64>(GST_CLOCK_TIME_NONE))) {
        Fail("seek refused");
    }
    lastPosition = from;
    stream->completion = kEventNone;
}

void Graph::SetCurrentPosition(double seconds) {
    if (!std::isfinite(seconds)) Fail("position is not a number");
    if (!impl_->prerolled) {
        impl_->pendingSeek = std::max(0.0, seconds);
        return;
    }
    impl_->Seek(seconds);
}

double Graph::Rate() const { return impl_->rate; }

void Graph::SetRate(double rate) {
    if (!(rate > 0) || !std::isfinite(rate)) Fail("rate must be positive");
    if (rate == impl_->rate) return;
    impl_->rate = rate;
    if (impl_->prerolled) impl_->Seek(CurrentPosition());
}

GstElement* GraphImpl::Control(const char* name) const {
    GstElement* renderer = RendererBin();
    if (!renderer) Fail("no audio renderer in the graph");
    ElementPtr e(gst_bin_get_by_name(GST_BIN(renderer), name));
    if (!e) Fail("renderer without audio controls");
    return e.get();  // the renderer keeps it alive
}

int Graph::Volume() {
    gdouble v = 1.0;
    g_object_get(impl_->Control("rilumo-volume"), "volume", &v, nullptr);
    return hundredthsOf(v);
}

void Graph::SetVolume(int volume) {
    if (volume < -10000 || volume > 0) Fail("volume out of range");
    g_object_set(impl_->Control("rilumo-volume"), "volume", linearOf(volume), nullptr);
}

int Graph::Balance() {
    gfloat p = 0;
    g_object_get(impl_->Control("rilumo-balance"), "panorama", &p, nullptr);
    const int db = -hundredthsOf(1.0 - std::fabs(p));
    return p < 0 ? -db : db;
}

void Graph::SetBalance(int balance) {
    if (balance < -10000 || balance > 10000) Fail("balance out of range");
    // The channel away from the balance is attenuated by |balance| / 100 dB.
    const double keep = linearOf(-std::abs(balance));
    const float p = static_cast<float>(balance < 0 ? -(1.0 - keep) : 1.0 - keep);
    g_object_set(impl_->Control("rilumo-balance"), "panorama", p, nullptr);
}

}  // namespace rilumo::graph
