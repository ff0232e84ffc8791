// The feed: what stands between one file's decoded (and trimmed) audio and
// the joiner. Every file that plays on by itself after the first is
// converted here to the format the renderer opened at, so a join never makes
// the sink renegotiate: a sound server answers a new format with a new
// stream, and that costs a tenth of a second of silence.

#include "playback/graph/graph_impl.h"

namespace rilumo::graph {

namespace {

// Per-file elements that must see the file's own samples (its gain) go in
// front of the conversion, at the head of this description. The resampler's
// higher qualities cost little next to decoding and keep a rate change clean.
constexpr const char* kFeedDescription =
    "audioconvert name=feed-convert ! audioresample quality=10 ! capsfilter name=feed-format";

// The first file keeps its own rate and sample format; a mono one is widened
// to two channels so that the stereo files after it keep theirs.
GstCaps* firstFileFormat() {
    return gst_caps_from_string("audio/x-raw, layout=(string)interleaved, channels=(int)[ 2, 64 ]");
}

}  // namespace

ElementPtr MakeFeed(GstCaps* output) {
    GError* error = nullptr;
    GstElement* made = gst_parse_bin_from_description(kFeedDescription, TRUE, &error);
    if (error) g_error_free(error);
    ElementPtr feed = Adopt(made);
    if (!feed) return {};
    GstElement* format = gst_bin_get_by_name(GST_BIN(feed.get()), "feed-format");
    if (!format) return {};
    GstCaps* caps = output ? gst_caps_copy(output) : firstFileFormat();
    g_object_set(format, "caps", caps, nullptr);
    gst_caps_unref(caps);
    gst_object_unref(format);
    return feed;
}

CapsPtr OutputFormat(GstElement* joiner) {
    if (!joiner) return {};
    PadPtr src(gst_element_get_static_pad(joiner, "src"));
    GstCaps* caps = src ? gst_pad_get_current_caps(src.get()) : nullptr;
    if (!caps || !gst_caps_is_fixed(caps)) {
        if (caps) gst_caps_unref(caps);
        return {};
    }
    return CapsPtr(caps);
}

}  // namespace rilumo::graph
