// The graph's states: what the streaming threads report, the first preroll
// off the window thread, and run, pause and stop.

#include <algorithm>
#include <chrono>
#include <utility>

#include "playback/graph/graph.h"
#include "playback/graph/graph_impl.h"
#include "support/error_trap.h"
#include "support/log.h"

namespace rilumo::graph {

namespace {

bool inside(GstElement* bin, GstObject* source) {
    return bin && (source == GST_OBJECT(bin) || gst_object_has_as_ancestor(source, GST_OBJECT(bin)));
}

// Under the state's lock.
bool fromAny(const std::vector<GstElement*>& bins, GstObject* source) {
    for (GstElement* bin : bins) {
        if (inside(bin, source)) return true;
    }
    return false;
}

// Domain and text of an error or a warning.
std::pair<GQuark, QString> failureOf(GstMessage* message) {
    GError* error = nullptr;
    gchar* debug = nullptr;
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
        gst_message_parse_error(message, &error, &debug);
    } else {
        gst_message_parse_warning(message, &error, &debug);
    }
    const GQuark domain = error ? error->domain : 0;
    const QString text = QString::fromUtf8(GST_OBJECT_NAME(GST_MESSAGE_SRC(message))) + QStringLiteral(": ") +
                         QString::fromUtf8(error ? error->message : "unknown error");
    if (error) g_error_free(error);
    g_free(debug);
    return {domain, text};
}

// A sink of the renderer that cannot reach its server or device says so as
// a resource failure; an automatic sink that finds none warns and plays into
// nothing. What the renderer's other elements report (a synthesiser's sound
// font) is the file's failure as ever, and other warnings none at all.
void onFailure(StreamState* s, GstMessage* message) {
    const auto [domain, text] = failureOf(message);
    GstObject* source = GST_MESSAGE_SRC(message);
    std::lock_guard guard(s->lock);
    if (fromAny(s->leavingBins, source)) return;
    const bool output = domain == GST_RESOURCE_ERROR && GST_IS_ELEMENT(source) &&
                        GST_OBJECT_FLAG_IS_SET(source, GST_ELEMENT_FLAG_SINK) && inside(s->output, source);
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_WARNING && !output) return;
    // Until the stream switches to it, a failing next file is only dropped.
    if (!s->switched && fromAny(s->nextBins, source)) {
        if (s->nextError.isEmpty()) s->nextError = text;
        return;
    }
    if (output && s->outputError.isEmpty()) s->outputError = text;
    if (s->error.isEmpty()) s->error = text;
    s->completion = kEventErrorAbort;
    s->changed.notify_all();
}

}  // namespace

// Everything the streaming threads report goes through here; no message is
// kept on the bus, so nothing piles up and nothing needs popping.
GstBusSyncReply OnBusMessage(GstBus*, GstMessage* message, gpointer data) {
    auto* s = static_cast<StreamState*>(data);
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
        s->completion = kEventComplete;
        break;
    case GST_MESSAGE_ERROR:
    case GST_MESSAGE_WARNING: onFailure(s, message); break;
    case GST_MESSAGE_TAG: {
        GstTagList* tags = nullptr;
        gst_message_parse_tag(message, &tags);
        guint bits = 0;
        if (gst_tag_list_get_uint(tags, GST_TAG_BITRATE, &bits) ||
            gst_tag_list_get_uint(tags, GST_TAG_NOMINAL_BITRATE, &bits)) {
            if (bits > 0 && s->bitrate == 0) s->bitrate = bits;
        }
        gst_tag_list_unref(tags);
        break;
    }
    case GST_MESSAGE_ASYNC_DONE: {
        std::lock_guard guard(s->lock);
        s->asyncDone = true;
        s->changed.notify_all();
        break;
    }
    default:
        break;
    }
    const GstMessageType type = GST_MESSAGE_TYPE(message);
    // A dropped message is the handler's to release; kept, it would hold its
    // source element and so the whole graph alive.
    gst_message_unref(message);
    if (type == GST_MESSAGE_EOS || type == GST_MESSAGE_ERROR || type == GST_MESSAGE_WARNING ||
        type == GST_MESSAGE_ASYNC_DONE) {
        s->Notify();
    }
    return GST_BUS_DROP;
}

namespace {

GstPadProbeReturn onRendererData(GstPad*, GstPadProbeInfo* info, gpointer data) {
    if (GST_PAD_PROBE_INFO_TYPE(info) & (GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST)) {
        static_cast<StreamState*>(data)->audioArrived = true;
        return GST_PAD_PROBE_REMOVE;
    }
    return GST_PAD_PROBE_OK;
}

void watchRenderer(GstElement* renderer, StreamState* state) {
    PadPtr in(gst_element_get_static_pad(renderer, "sink"));
    if (!in) in.reset(gst_bin_find_unlinked_pad(GST_BIN(renderer), GST_PAD_SINK));
    if (!in) {
        GstIterator* it = gst_element_iterate_sink_pads(renderer);
        GValue v = G_VALUE_INIT;
        if (gst_iterator_next(it, &v) == GST_ITERATOR_OK) in.reset(GST_PAD(g_value_dup_object(&v)));
        g_value_unset(&v);
        gst_iterator_free(it);
    }
    if (in) {
        gst_pad_add_probe(in.get(), GST_PAD_PROBE_TYPE_DATA_DOWNSTREAM, onRendererData, state, nullptr);
    }
}

struct StateTask {
    std::shared_ptr<StateChanger> changer;
    std::shared_ptr<StreamState> stream;
    GstState target = GST_STATE_PAUSED;
    int sequence = 0;
};

void runStateTask(GstElement* pipeline, gpointer data) {
    auto* task = static_cast<StateTask*>(data);
    GstStateChangeReturn result = GST_STATE_CHANGE_FAILURE;
    bool ran = false;
    {
        std::lock_guard busy(task->changer->lock);
        if (!task->changer->cancelled && task->changer->applied < task->sequence) {
            task->changer->applied = task->sequence;
            result = gst_element_set_state(pipeline, task->target);
            ran = true;
        }
    }
    if (task->target != GST_STATE_PAUSED) return;
    std::lock_guard guard(task->stream->lock);
    task->stream->changing = false;
    // A preroll superseded before it ran counts as refused.
    task->stream->changeResult = ran ? result : GST_STATE_CHANGE_FAILURE;
    task->stream->changed.notify_all();
    if (task->stream->changeResult == GST_STATE_CHANGE_FAILURE && task->stream->hook) task->stream->hook();
}

}  // namespace

void GraphImpl::PostState(GstState target) {
    auto* task = new StateTask{changer, stream, target, ++posted};
    gst_element_call_async(pipeline.get(), runStateTask, task, [](gpointer t) { delete static_cast<StateTask*>(t); });
}

void GraphImpl::Prepare() {
    if (prepared) return;
    prepared = true;
    // A filter nothing is linked to would only stall the pipeline (an idle
    // source errors out, an idle renderer never prerolls): it leaves it.
    for (auto& f : filters) {
        if (f->IsConnected()) continue;
        gst_bin_remove(GST_BIN(pipeline.get()), f->Impl().bin.get());
        f->Impl().parked = true;
    }
    InsertJoiner();
    if (trim) InstallTrim(RendererFeed(), trim);
    if (GstElement* r = RendererBin()) {
        watchRenderer(r, stream.get());
        std::lock_guard guard(stream->lock);
        stream->output = r;
    }
}

void GraphImpl::FailPreroll(const QString& why) {
    failed = true;
    failure = why;
    PostState(GST_STATE_READY);
    WriteLog(QStringLiteral("PrerollGraph ") + why + QStringLiteral("#") + SourceName(), 1, 1);
    Fail(why.toStdString());
}

void GraphImpl::StartPreroll() {
    if (prerollStarted) return;
    if (failed) Fail(failure.toStdString());
    Prepare();
    if (filters.empty() && !playbin) FailPreroll(QStringLiteral("empty graph"));
    prerollStarted = true;
    prerollDeadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(prerollLimitMs);
    {
        std::lock_guard guard(stream->lock);
        stream->changing = true;
    }
    // Going to paused opens the file and every device, and may load a sound
    // font: seconds, at times, which the window thread must not wait out.
    PostState(GST_STATE_PAUSED);
}

namespace {

bool settled(const StreamState& s) {
    if (!s.error.isEmpty()) return true;
    if (s.changing) return false;
    return s.asyncDone || s.changeResult != GST_STATE_CHANGE_ASYNC;
}

}  // namespace

bool GraphImpl::CheckPreroll() {
    if (prerolled) return true;
    if (failed) Fail(failure.toStdString());
    if (!prerollStarted) Fail("no preroll under way");
    std::unique_lock guard(stream->lock);
    const bool done = settled(*stream);
    const QString error = stream->error;
    const GstStateChangeReturn result = stream->changeResult;
    const bool changing = stream->changing;
    guard.unlock();
    if (!error.isEmpty()) FailPreroll(error);
    if (!changing && result == GST_STATE_CHANGE_FAILURE) FailPreroll(QStringLiteral("state change failed"));
    if (!done) {
        if (std::chrono::steady_clock::now() >= prerollDeadline) FailPreroll(QStringLiteral("preroll timed out"));
        return false;
    }
    // A renderer that prerolled on an end of stream got nothing to play.
    if (RendererBin() && !stream->audioArrived) FailPreroll(QStringLiteral("no audio data"));
    prerolled = true;
    if (GstElement* r = RendererBin()) {
        if (GstElement* leaf = FindLeafSink(r)) positionSink.reset(GST_ELEMENT(gst_object_ref(leaf)));
    }
    if (pendingSeek >= 0) {
        const double to = pendingSeek;
        pendingSeek = -1;
        Seek(to);
    } else if (trim && !trim->armed) {
        Seek(0);
    }
    return true;
}

void GraphImpl::Preroll() {
    if (prerolled) return;
    StartPreroll();
    {
        std::unique_lock guard(stream->lock);
        stream->changed.wait_until(guard, prerollDeadline, [&] { return settled(*stream); });
    }
    if (!CheckPreroll()) FailPreroll(QStringLiteral("preroll timed out"));
}

void Graph::BeginPreroll() { impl_->StartPreroll(); }

QString Graph::OutputFailure() {
    std::lock_guard guard(impl_->stream->lock);
    return impl_->stream->outputError;
}

Graph::PrerollState Graph::PollPreroll() {
    auto state = PrerollState::Failed;
    Ignore([&] { state = impl_->CheckPreroll() ? PrerollState::Done : PrerollState::Pending; });
    return state;
}

void Graph::Run() {
    impl_->Preroll();
    const int before = impl_->requested;
    impl_->requested = kStateRunning;
    impl_->stream->completion = kEventNone;
    if (gst_element_set_state(impl_->pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        impl_->requested = before;
        Fail("graph cannot run");
    }
}

void Graph::Pause() {
    impl_->Preroll();
    impl_->requested = kStatePaused;
    if (gst_element_set_state(impl_->pipeline.get(), GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
        Fail("graph cannot pause");
    }
}

void Graph::Stop() {
    impl_->requested = kStateStopped;
    impl_->stream->completion = kEventNone;
    // Stopped keeps the preroll: the next run starts without reopening anything.
    if (impl_->prerolled) gst_element_set_state(impl_->pipeline.get(), GST_STATE_PAUSED);
}

void Graph::SetPrerollLimit(int ms) { impl_->prerollLimitMs = std::max(ms, 1); }

int Graph::GetState(int) { return impl_->requested; }

int Graph::WaitForCompletion(int) {
    if (impl_->requested != kStateRunning) return kEventNone;
    const int code = impl_->stream->completion.load(std::memory_order_relaxed);
    if (code == kEventErrorAbort && !impl_->errorLogged) {
        impl_->errorLogged = true;
        std::unique_lock guard(impl_->stream->lock);
        const QString error = impl_->stream->error;
        guard.unlock();
        WriteLog(QStringLiteral("PlayGraph ") + error + QStringLiteral("#") + impl_->SourceName(), 1, 0);
    }
    return code;
}

}  // namespace rilumo::graph
