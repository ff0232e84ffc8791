// The output of a filter whose pads appear once data flows; everything here
// runs on streaming threads.

#include <cstring>

#include "playback/graph/graph_impl.h"

namespace rilumo::graph {

namespace {

void padAdded(GstElement*, GstPad* pad, gpointer self) { static_cast<DynamicOutput*>(self)->OnPad(pad); }
void noMorePads(GstElement* from, gpointer self) { static_cast<DynamicOutput*>(self)->OnNoMorePads(from); }
void padRemoved(GstElement*, GstPad* pad, gpointer self) {
    static_cast<DynamicOutput*>(self)->OnPadRemoved(pad);
}

void haveType(GstElement*, guint, GstCaps* caps, gpointer self) {
    auto* out = static_cast<DynamicOutput*>(self);
    const QString type = CapsName(caps);
    if (!out->gate.contains(type)) out->PostError(QStringLiteral("unsupported stream type ") + type);
}

// Only demuxers see containers; everything else that is not audio is passed
// on undecoded (and dropped), so no picture is ever decoded for nothing.
gboolean autoplugContinue(GstElement*, GstPad*, GstCaps* caps, gpointer) {
    if (IsAudio(caps)) return TRUE;
    static GList* demuxers = gst_element_factory_list_get_elements(
        GST_ELEMENT_FACTORY_TYPE_DEMUXER | GST_ELEMENT_FACTORY_TYPE_PARSER, GST_RANK_MARGINAL);
    GList* able = gst_element_factory_list_filter(demuxers, caps, GST_PAD_SINK, FALSE);
    bool container = false;
    for (GList* f = able; f && !container; f = f->next) {
        const gchar* klass = gst_element_factory_get_metadata(GST_ELEMENT_FACTORY(f->data),
                                                              GST_ELEMENT_METADATA_KLASS);
        container = klass && strstr(klass, "Demux");
    }
    gst_plugin_feature_list_free(able);
    return container ? TRUE : FALSE;
}

// A stream nobody plays (a picture, subtitles, a second sound) is dropped at
// its pad. A sink of its own would hold its streaming thread in preroll, and
// the bin it sits in would then count as a sink and be stopped before the
// renderer, waiting on that thread for good; left unlinked it would stop the
// stream with "not linked".
GstPadProbeReturn dropData(GstPad*, GstPadProbeInfo* info, gpointer self) {
    GstEvent* event = GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM
                          ? GST_PAD_PROBE_INFO_EVENT(info)
                          : nullptr;
    if (event && GST_EVENT_TYPE(event) == GST_EVENT_EOS) static_cast<DynamicOutput*>(self)->OnDroppedEnd();
    return GST_PAD_PROBE_DROP;
}

}  // namespace

void DynamicOutput::Discard(GstPad* pad) {
    gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_DATA_DOWNSTREAM, dropData, this, nullptr);
}

// A parser bin tells no "no more pads": a dropped stream that ends before
// any audio came says that none will (a picture under an audio name).
void DynamicOutput::OnDroppedEnd() {
    std::unique_lock guard(lock);
    if (targeted || pendingDecoders > 0) return;
    guard.unlock();
    PostError(QStringLiteral("no audio stream"));
}

DynamicOutput::~DynamicOutput() {
    std::lock_guard guard(lock);
    for (const ElementPtr& e : hooked) {
        g_signal_handlers_disconnect_matched(e.get(), G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, this);
    }
}

void DynamicOutput::Attach(GstElement* element) {
    {
        std::lock_guard guard(lock);
        hooked.emplace_back(GST_ELEMENT(gst_object_ref(element)));
    }
    g_signal_connect(element, "pad-added", G_CALLBACK(padAdded), this);
    g_signal_connect(element, "no-more-pads", G_CALLBACK(noMorePads), this);
    g_signal_connect(element, "pad-removed", G_CALLBACK(padRemoved), this);
    if (g_str_has_prefix(G_OBJECT_TYPE_NAME(element), "GstDecodeBin")) {
        g_signal_connect(element, "autoplug-continue", G_CALLBACK(autoplugContinue), this);
    }
}

void DynamicOutput::AttachGate(GstElement* typefind) {
    {
        std::lock_guard guard(lock);
        hooked.emplace_back(GST_ELEMENT(gst_object_ref(typefind)));
    }
    g_signal_connect(typefind, "have-type", G_CALLBACK(haveType), this);
}

void DynamicOutput::OnPad(GstPad* pad) {
    if (GST_PAD_DIRECTION(pad) != GST_PAD_SRC) return;
    CapsPtr caps = PadCaps(pad);
    gchar* padName = gst_pad_get_name(pad);
    const bool audio = IsAudio(caps.get()) ||
                       (gst_caps_is_any(caps.get()) && strstr(padName, "audio") != nullptr);
    g_free(padName);
    std::unique_lock guard(lock);
    if (targeted || !audio) {
        guard.unlock();
        Discard(pad);
        return;
    }
    if (rawOnly && !IsRawAudioOnly(caps.get())) {
        ++pendingDecoders;
        guard.unlock();
        GstElement* decoder = gst_element_factory_make("decodebin", nullptr);
        if (!decoder) {
            PostError(QStringLiteral("no decoder for ") + CapsName(caps.get()));
            return;
        }
        Attach(decoder);
        gst_bin_add(GST_BIN(bin), decoder);
        PadPtr in(gst_element_get_static_pad(decoder, "sink"));
        gst_pad_link(pad, in.get());
        gst_element_sync_state_with_parent(decoder);
        return;
    }
    gst_ghost_pad_set_target(GST_GHOST_PAD(ghost), pad);
    targeted = true;
}

void DynamicOutput::OnNoMorePads(GstElement* from) {
    std::unique_lock guard(lock);
    if (from != demux && pendingDecoders > 0) --pendingDecoders;
    // An inserted decoder still looking for its pads decides for itself.
    if (targeted || pendingDecoders > 0) return;
    guard.unlock();
    PostError(QStringLiteral("no audio stream"));
}

void DynamicOutput::OnPadRemoved(GstPad* pad) {
    std::lock_guard guard(lock);
    PadPtr target(gst_ghost_pad_get_target(GST_GHOST_PAD(ghost)));
    if (target.get() == pad) {
        gst_ghost_pad_set_target(GST_GHOST_PAD(ghost), nullptr);
        targeted = false;
    }
}

void DynamicOutput::PostError(const QString& text) {
    GError* error = g_error_new_literal(GST_STREAM_ERROR, GST_STREAM_ERROR_WRONG_TYPE, text.toUtf8().constData());
    gst_element_post_message(bin, gst_message_new_error(GST_OBJECT(bin), error, nullptr));
    g_error_free(error);
}

}  // namespace rilumo::graph
