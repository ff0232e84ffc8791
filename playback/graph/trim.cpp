// Trims: the encoder's priming samples at the start of a file and its
// padding at the end, or the rest of a disc around one track of a CUE sheet,
// are cut from the decoded audio, sample exact, and the timeline moved so
// that the first kept sample is at 0.

#include <gst/audio/audio.h>

#include "playback/graph/graph.h"
#include "playback/graph/graph_impl.h"
#include "media/cue_sheet.h"
#include "support/error_trap.h"

namespace rilumo::graph {

namespace {

std::uint64_t minus(std::uint64_t t, std::uint64_t by) { return t > by ? t - by : 0; }

// Frames become samples at the file's own rate, each end on its own, so the
// tracks of one file meet without a sample between or twice.
void placeStretch(Trim& t) {
    std::lock_guard guard(t.endLock);
    const std::int64_t first = CueFramesToSamples(t.startFrames, t.rate);
    t.skip = t.baseSkip + first;
    t.keep = t.endFrames < 0 ? Trim::kOpenKeep : std::max<std::int64_t>(CueFramesToSamples(t.endFrames, t.rate) - first, 1);
}

void onCaps(GstEvent* event, Trim& t) {
    GstCaps* caps = nullptr;
    gst_event_parse_caps(event, &caps);
    GstAudioInfo info;
    if (caps && gst_audio_info_from_caps(&info, caps) && GST_AUDIO_INFO_RATE(&info) > 0) {
        t.frameBytes = GST_AUDIO_INFO_BPF(&info);
        t.rate = GST_AUDIO_INFO_RATE(&info);
        if (t.startFrames >= 0) placeStretch(t);
    }
}

GstEvent* shiftedSegment(GstEvent* event, const Trim& t) {
    const GstSegment* in = nullptr;
    gst_event_parse_segment(event, &in);
    if (in->format != GST_FORMAT_TIME) return nullptr;
    GstSegment s = *in;
    const std::uint64_t by = t.SkipTime();
    s.start = minus(s.start, by);
    s.time = minus(s.time, by);
    s.position = minus(s.position, by);
    if (t.OpenEnd()) {
        if (GST_CLOCK_TIME_IS_VALID(s.stop)) s.stop = minus(s.stop, by);
        if (GST_CLOCK_TIME_IS_VALID(s.duration)) s.duration = minus(s.duration, by);
    } else {
        // A continuation moves the end on while the segment stands: the
        // stream's own end stops it, not the segment's.
        const std::uint64_t end = gst_util_uint64_scale_round(static_cast<std::uint64_t>(t.keep), GST_SECOND, t.rate);
        s.stop = t.endsStream ? GST_CLOCK_TIME_NONE
                              : (GST_CLOCK_TIME_IS_VALID(s.stop) ? std::min<std::uint64_t>(minus(s.stop, by), end) : end);
        s.duration = end;
    }
    GstEvent* out = gst_event_new_segment(&s);
    gst_event_set_seqnum(out, gst_event_get_seqnum(event));
    return out;
}

// Under the end lock. The level changes with the first buffer that reaches
// past the boundary; the volume element before the trim takes it from the
// next buffer on.
void passBoundary(Trim& t, std::int64_t s1) {
    if (t.boundary < 0 || t.passed || s1 <= t.skip + t.boundary) return;
    t.passed = true;
    if (t.boundaryGain >= 0 && t.gainStage) g_object_set(t.gainStage.get(), "volume", t.boundaryGain, nullptr);
}

// The kept part of a buffer, with its time on the trimmed timeline; null
// when nothing of it is kept.
GstBuffer* keptPart(GstBuffer* buffer, Trim& t, bool& endNow) {
    if (!t.armed) return gst_buffer_ref(buffer);
    const int rate = t.rate;
    const int frame = t.frameBytes;
    if (t.next < 0 || GST_BUFFER_IS_DISCONT(buffer)) {
        t.next = static_cast<std::int64_t>(gst_util_uint64_scale_round(GST_BUFFER_PTS(buffer), rate, GST_SECOND));
    }
    const GstAudioMeta* meta = gst_buffer_get_audio_meta(buffer);
    const gsize samples = meta ? meta->samples : gst_buffer_get_size(buffer) / frame;
    const std::int64_t s0 = t.next;
    const std::int64_t s1 = s0 + static_cast<std::int64_t>(samples);
    t.next = s1;
    const std::int64_t lo = std::max(s0, t.skip.load());
    std::int64_t hi = 0;
    {
        std::lock_guard guard(t.endLock);
        hi = std::min(s1, t.skip + t.keep);
        passBoundary(t, s1);
        // Once a buffer reached the end the end stands; the next one, with
        // nothing of the stretch, reports it.
        if (t.endsStream && s1 >= t.skip + t.keep) t.ended = true;
        if (t.ended && lo >= hi && !t.eosSent) endNow = t.eosSent = true;
    }
    if (lo >= hi) return nullptr;
    // Planar audio too: its channel layout travels with the buffer.
    GstBuffer* out = gst_audio_buffer_truncate(gst_buffer_ref(buffer), frame, static_cast<gsize>(lo - s0),
                                               static_cast<gsize>(hi - lo));
    if (!out) return nullptr;
    out = gst_buffer_make_writable(out);
    GST_BUFFER_PTS(out) = gst_util_uint64_scale_round(static_cast<std::uint64_t>(lo - t.skip), GST_SECOND, rate);
    GST_BUFFER_DURATION(out) = gst_util_uint64_scale_round(static_cast<std::uint64_t>(hi - lo), GST_SECOND, rate);
    return out;
}

GstPadProbeReturn onTrimmed(GstPad* pad, GstPadProbeInfo* info, gpointer data) {
    auto& t = *static_cast<std::shared_ptr<Trim>*>(data)->get();
    if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
        GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
        if (GST_EVENT_TYPE(event) == GST_EVENT_CAPS) onCaps(event, t);
        if (GST_EVENT_TYPE(event) != GST_EVENT_SEGMENT) return GST_PAD_PROBE_OK;
        t.next = -1;
        if (t.rate <= 0) return GST_PAD_PROBE_OK;
        {
            // Only a flush lets a segment through after the end: it plays on.
            std::lock_guard guard(t.endLock);
            t.ended = false;
            t.eosSent = false;
        }
        if (GstEvent* shifted = shiftedSegment(event, t)) {
            gst_event_unref(event);
            GST_PAD_PROBE_INFO_DATA(info) = shifted;
        }
        return GST_PAD_PROBE_OK;
    }
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    if (!buffer || t.rate <= 0 || t.frameBytes <= 0 || !GST_BUFFER_PTS_IS_VALID(buffer)) return GST_PAD_PROBE_OK;
    bool endNow = false;
    GstBuffer* kept = keptPart(buffer, t, endNow);
    // Past the end the pad reports the end upstream, which stops decoding.
    if (endNow) gst_pad_push_event(pad, gst_event_new_eos());
    if (!kept) return GST_PAD_PROBE_DROP;
    gst_buffer_unref(buffer);
    GST_PAD_PROBE_INFO_DATA(info) = kept;
    return GST_PAD_PROBE_OK;
}

}  // namespace

std::uint64_t Trim::SkipTime() const {
    const int r = rate;
    return r > 0 ? gst_util_uint64_scale_round(static_cast<std::uint64_t>(skip), GST_SECOND, r) : 0;
}

void InstallTrim(GstPad* pad, const std::shared_ptr<Trim>& trim) {
    if (!pad || !trim) return;
    const auto types = GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM;
    gst_pad_add_probe(pad, static_cast<GstPadProbeType>(types), onTrimmed, new std::shared_ptr<Trim>(trim),
                      [](gpointer p) { delete static_cast<std::shared_ptr<Trim>*>(p); });
}

void Graph::SetTrim(std::int64_t skip, std::int64_t keep) {
    if (impl_->prepared) Fail("the trim is set before the graph first runs");
    if (skip < 0 || keep <= 0) {
        impl_->trim.reset();
        return;
    }
    impl_->trim = std::make_shared<Trim>();
    impl_->trim->skip = skip;
    impl_->trim->keep = keep;
}

}  // namespace rilumo::graph
