#pragma once
// Inside the graph service only: owning handles for GStreamer objects and the
// few caps and element helpers every part of it shares.

#include <gst/gst.h>

#include <QString>

#include <memory>

namespace rilumo::graph {

struct ObjectUnref {
    void operator()(gpointer object) const { if (object) gst_object_unref(object); }
};
struct CapsUnref {
    void operator()(GstCaps* caps) const { if (caps) gst_caps_unref(caps); }
};
struct MessageUnref {
    void operator()(GstMessage* m) const { if (m) gst_message_unref(m); }
};
struct QueryUnref {
    void operator()(GstQuery* q) const { if (q) gst_query_unref(q); }
};

template <class T>
using GstPtr = std::unique_ptr<T, ObjectUnref>;
using ElementPtr = GstPtr<GstElement>;
using PadPtr = GstPtr<GstPad>;
using BusPtr = GstPtr<GstBus>;
using CapsPtr = std::unique_ptr<GstCaps, CapsUnref>;
using QueryPtr = std::unique_ptr<GstQuery, QueryUnref>;

// Takes ownership of a reference that may be floating.
template <class T>
GstPtr<T> Adopt(T* object) {
    if (object) gst_object_ref_sink(object);
    return GstPtr<T>(object);
}

// gst_init once per process, from whichever thread gets here first.
void EnsureGstInit();

bool FactoryExists(const char* name);

// The caps a pad could carry; never null (ANY when the pad cannot tell).
CapsPtr PadCaps(GstPad* pad);
// Every structure is audio/x-raw.
bool IsRawAudioOnly(const GstCaps* caps);
// The first structure is audio of any kind.
bool IsAudio(const GstCaps* caps);
QString CapsName(const GstCaps* caps);

// The first element below bin (or bin itself) that is a sink and not a bin.
GstElement* FindLeafSink(GstElement* element);
// The first element below bin with a property of that name.
GstElement* FindWithProperty(GstElement* element, const char* property);

// "element: message" of an error message.
QString ErrorText(GstMessage* message);

}  // namespace rilumo::graph
