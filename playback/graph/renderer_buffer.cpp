#include "playback/graph/renderer_buffer.h"

namespace rilumo::graph {

namespace {

// The sink wakes once per segment it hands over, and the sound server's
// client thread with it: the default 10 ms segments cost more than decoding
// the file. Half a second of buffer in 100 ms segments keeps a busy machine
// from underrunning; a stop, a pause or a seek still flushes or corks it at
// once, and a join happens upstream of it, sample for sample.
constexpr gint64 kBufferUs = 500000;
constexpr gint64 kSegmentUs = 100000;

void tune(GstElement* element) {
    GObjectClass* c = G_OBJECT_GET_CLASS(element);
    if (!g_object_class_find_property(c, "buffer-time") || !g_object_class_find_property(c, "latency-time")) return;
    g_object_set(element, "buffer-time", kBufferUs, "latency-time", kSegmentUs, nullptr);
}

void onAdded(GstBin*, GstBin*, GstElement* element, gpointer) { tune(element); }

}  // namespace

void TuneRendererBuffer(GstElement* renderer) {
    if (!renderer) return;
    tune(renderer);
    if (!GST_IS_BIN(renderer)) return;
    // An automatic sink adds the real one when it starts.
    g_signal_connect(renderer, "deep-element-added", G_CALLBACK(onAdded), nullptr);
    GstIterator* it = gst_bin_iterate_recurse(GST_BIN(renderer));
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
        tune(GST_ELEMENT(g_value_get_object(&item)));
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(it);
}

}  // namespace rilumo::graph
