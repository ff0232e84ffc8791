#include "playback/graph/gst_util.h"

#include <mutex>

namespace rilumo::graph {

void EnsureGstInit() {
    static std::once_flag once;
    std::call_once(once, [] { gst_init(nullptr, nullptr); });
}

bool FactoryExists(const char* name) {
    EnsureGstInit();
    GstElementFactory* factory = gst_element_factory_find(name);
    if (!factory) return false;
    gst_object_unref(factory);
    return true;
}

CapsPtr PadCaps(GstPad* pad) {
    GstCaps* caps = gst_pad_get_current_caps(pad);
    if (!caps) caps = gst_pad_query_caps(pad, nullptr);
    if (!caps) caps = gst_caps_new_any();
    return CapsPtr(caps);
}

bool IsRawAudioOnly(const GstCaps* caps) {
    if (!caps || gst_caps_is_any(caps) || gst_caps_is_empty(caps)) return false;
    for (guint i = 0; i < gst_caps_get_size(caps); ++i) {
        if (!gst_structure_has_name(gst_caps_get_structure(caps, i), "audio/x-raw")) return false;
    }
    return true;
}

bool IsAudio(const GstCaps* caps) {
    if (!caps || gst_caps_is_any(caps) || gst_caps_is_empty(caps)) return false;
    return g_str_has_prefix(gst_structure_get_name(gst_caps_get_structure(caps, 0)), "audio/");
}

QString CapsName(const GstCaps* caps) {
    if (!caps || gst_caps_is_any(caps)) return QStringLiteral("ANY");
    if (gst_caps_is_empty(caps)) return QStringLiteral("EMPTY");
    return QString::fromUtf8(gst_structure_get_name(gst_caps_get_structure(caps, 0)));
}

namespace {

template <class Match>
GstElement* findBelow(GstElement* element, Match&& match) {
    if (!element) return nullptr;
    if (!GST_IS_BIN(element)) return match(element) ? element : nullptr;
    // Children are kept newest first; walk them oldest first, as described.
    GST_OBJECT_LOCK(element);
    GList* children = g_list_reverse(g_list_copy(GST_BIN_CHILDREN(GST_BIN(element))));
    for (GList* c = children; c; c = c->next) gst_object_ref(c->data);
    GST_OBJECT_UNLOCK(element);
    GstElement* found = nullptr;
    for (GList* c = children; c && !found; c = c->next) found = findBelow(GST_ELEMENT(c->data), match);
    g_list_free_full(children, gst_object_unref);
    return found;
}

}  // namespace

GstElement* FindLeafSink(GstElement* element) {
    return findBelow(element, [](GstElement* e) {
        return GST_OBJECT_FLAG_IS_SET(e, GST_ELEMENT_FLAG_SINK) != 0;
    });
}

GstElement* FindWithProperty(GstElement* element, const char* property) {
    return findBelow(element, [property](GstElement* e) {
        return g_object_class_find_property(G_OBJECT_GET_CLASS(e), property) != nullptr;
    });
}

QString ErrorText(GstMessage* message) {
    GError* error = nullptr;
    gchar* debug = nullptr;
    gst_message_parse_error(message, &error, &debug);
    QString text = QString::fromUtf8(GST_OBJECT_NAME(GST_MESSAGE_SRC(message))) + QStringLiteral(": ") +
                   QString::fromUtf8(error ? error->message : "unknown error");
    if (error) g_error_free(error);
    g_free(debug);
    return text;
}

}  // namespace rilumo::graph
