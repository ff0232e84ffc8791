#include "playback/graph/graph.h"

#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "playback/graph/graph_impl.h"
#include "support/error_trap.h"
#include "support/log.h"
#include "support/rounding.h"

namespace rilumo::graph {

namespace {

// Everything the streaming threads report goes through here; no message is
// kept on the bus, so nothing piles up and nothing needs popping.
GstBusSyncReply onMessage(GstBus*, GstMessage* message, gpointer data) {
    auto* s = static_cast<StreamState*>(data);
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
        s->completion = kEventComplete;
        break;
    case GST_MESSAGE_ERROR: {
        const QString text = ErrorText(message);
        std::lock_guard guard(s->lock);
        if (s->error.isEmpty()) s->error = text;
        s->completion = kEventErrorAbort;
        s->changed.notify_all();
        break;
    }
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
    if (type == GST_MESSAGE_EOS || type == GST_MESSAGE_ERROR || type == GST_MESSAGE_ASYNC_DONE) s->Notify();
    return GST_BUS_DROP;
}

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

// DirectShow-style: -10000 is silence, otherwise hundredths of a decibel.
double linearOf(int hundredthsDb) {
    return hundredthsDb <= -10000 ? 0.0 : std::pow(10.0, hundredthsDb / 2000.0);
}
int hundredthsOf(double linear) {
    if (linear <= 0.00001) return -10000;
    return std::clamp(RoundEvenInt(2000.0 * std::log10(linear)), -10000, 0);
}

}  // namespace

Graph::Graph(Catalogue catalogue) : impl_(std::make_unique<GraphImpl>()) {
    EnsureGstInit();
    impl_->self = this;
    impl_->catalogue = std::move(catalogue);
    impl_->pipeline = Adopt(gst_pipeline_new(nullptr));
    if (!impl_->pipeline) Fail("pipeline cannot be made");
    BusPtr bus(gst_element_get_bus(impl_->pipeline.get()));
    gst_bus_set_sync_handler(bus.get(), onMessage, impl_->stream.get(), nullptr);
    impl_->positionQuery.reset(gst_query_new_position(GST_FORMAT_TIME));
}

// ---- state changes off the window thread -------------------------------------

namespace {

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

// Graphs torn down while busy go on a worker; tests and shutdown wait for them.
struct Retirements {
    std::mutex lock;
    std::condition_variable gone;
    int pending = 0;
};
// Never destroyed: a worker may still be retiring a graph while the program exits.
Retirements& retirements() {
    static auto* r = new Retirements;
    return *r;
}

void retire(GstElement*, gpointer data) {
    std::unique_ptr<GraphImpl> impl(static_cast<GraphImpl*>(data));
    // Waits out a state change still running, e.g. a sound font loading.
    { std::lock_guard busy(impl->changer->lock); }
    impl->Teardown();
    impl.reset();
    Retirements& r = retirements();
    std::lock_guard guard(r.lock);
    --r.pending;
    r.gone.notify_all();
}

}  // namespace

void GraphImpl::PostState(GstState target) {
    auto* task = new StateTask{changer, stream, target, ++posted};
    gst_element_call_async(pipeline.get(), runStateTask, task, [](gpointer t) { delete static_cast<StateTask*>(t); });
}

void GraphImpl::Teardown() {
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    for (auto& f : filters) {
        if (f->Impl().parked) gst_element_set_state(f->Impl().bin.get(), GST_STATE_NULL);
    }
    BusPtr bus(gst_element_get_bus(pipeline.get()));
    gst_bus_set_sync_handler(bus.get(), nullptr, nullptr, nullptr);
    filters.clear();
    playbinSink.reset();
    playbin.reset();
    positionSink.reset();
    pipeline.reset();
}

void Graph::SetEventHook(std::function<void()> hook) {
    std::lock_guard guard(impl_->stream->lock);
    impl_->stream->hook = std::move(hook);
}

Graph::~Graph() {
    std::unique_ptr<GraphImpl> impl = std::move(impl_);
    {
        // Whoever set the hook may be gone before a retired graph is.
        std::lock_guard guard(impl->stream->lock);
        impl->stream->hook = nullptr;
    }
    impl->changer->cancelled = true;
    // Stopping a graph whose streaming threads are still busy prerolling (a
    // slow element, a disk waking up) or whose state change still runs would
    // wait for them: that graph goes on a worker instead.
    bool quiet = !impl->prerollStarted || impl->prerolled;
    if (quiet) {
        std::unique_lock busy(impl->changer->lock, std::try_to_lock);
        quiet = busy.owns_lock();
    }
    if (quiet) {
        impl->Teardown();
        return;
    }
    {
        Retirements& r = retirements();
        std::lock_guard guard(r.lock);
        ++r.pending;
    }
    GstElement* pipeline = impl->pipeline.get();
    gst_element_call_async(pipeline, retire, impl.release(), nullptr);
}

bool Graph::WaitForRetiredGraphs(int ms) {
    Retirements& r = retirements();
    std::unique_lock guard(r.lock);
    return r.gone.wait_for(guard, std::chrono::milliseconds(std::max(ms, 0)), [&] { return r.pending == 0; });
}

const std::vector<RegFilter>& Graph::RegFilterCollection() const { return impl_->catalogue.Entries(); }

std::vector<Filter*> Graph::FilterCollection() const {
    std::vector<Filter*> out;
    out.reserve(impl_->filters.size());
    for (const auto& f : impl_->filters) out.push_back(f.get());
    return out;
}

QString GraphImpl::UniqueName(const QString& name) const {
    auto taken = [&](const QString& n) {
        for (const auto& f : filters) {
            if (f->Name() == n) return true;
        }
        return false;
    };
    if (!taken(name)) return name;
    for (int i = 1;; ++i) {
        const QString n = name + QStringLiteral(" %1").arg(i, 4, 10, QLatin1Char('0'));
        if (!taken(n)) return n;
    }
}

Filter& Graph::AddFilter(const RegFilter& entry) {
    if (impl_->prepared || impl_->playbin) Fail("filters are added before the graph first runs");
    std::unique_ptr<Filter> f(new Filter(*this, impl_->UniqueName(entry.Name), entry.recipe));
    if (!gst_bin_add(GST_BIN(impl_->pipeline.get()), f->Impl().bin.get())) Fail("filter cannot join the graph");
    impl_->filters.push_back(std::move(f));
    return *impl_->filters.back();
}

void GraphImpl::ConnectPins(Pin& up, Pin& down) {
    GstPad* from = up.Impl().pad.get();
    GstPad* to = down.Impl().pad.get();
    CapsPtr wanted = PadCaps(to);
    const bool rawOnly = IsRawAudioOnly(wanted.get());
    auto link = [](GstPad* a, GstPad* b, GstPadLinkCheck check) {
        const GstPadLinkReturn r = gst_pad_link_full(a, b, check);
        if (r != GST_PAD_LINK_OK) Fail(std::string("link failed: ") + gst_pad_link_get_name(r));
    };
    auto join = [](Pin& a, Pin& b) {
        a.Impl().peer = &b;
        b.Impl().peer = &a;
    };
    // Between a stream that may not be decoded yet and a pin that takes raw
    // audio only, a decoder goes in, as the platform's intelligent connect does.
    auto via = [&](const RegFilter& inserted) {
        Filter& middle = self->AddFilter(inserted);
        Pin* in = nullptr;
        Pin* out = nullptr;
        for (const auto& p : middle.Pins()) (p->Direction() == 0 ? in : out) = p.get();
        if (!in || !out) Fail("inserted filter without pins");
        link(from, in->Impl().pad.get(), GST_PAD_LINK_CHECK_NOTHING);
        join(up, *in);
        if (out->Impl().dynamic) out->Impl().dynamic->rawOnly = true;
        link(out->Impl().pad.get(), to, GST_PAD_LINK_CHECK_NOTHING);
        join(*out, down);
    };

    if (DynamicOutput* d = up.Impl().dynamic) {
        // Its pad does not exist yet: what it carries is settled once it does.
        d->rawOnly = rawOnly;
        link(from, to, GST_PAD_LINK_CHECK_HIERARCHY);
        join(up, down);
        return;
    }
    CapsPtr offered = PadCaps(from);
    if (rawOnly && !IsRawAudioOnly(offered.get())) {
        via(InsertedFilter(kStreamDecoder));
        return;
    }
    if (!gst_caps_can_intersect(offered.get(), wanted.get())) {
        if (!rawOnly) Fail("the pins share no media type");
        via(InsertedFilter(kAudioConverter));
        return;
    }
    link(from, to, GST_PAD_LINK_CHECK_DEFAULT);
    join(up, down);
}

void Graph::RenderFile(const QString& path) {
    if (impl_->playbin || !impl_->filters.empty()) Fail("graph already built");
    if (!QFileInfo(path).isFile()) Fail("no such file");
    ElementPtr playbin = Adopt(gst_element_factory_make("playbin", nullptr));
    if (!playbin) Fail("no playbin");
    const Recipe renderer = RendererRecipe(DefaultSinkDescription());
    GError* error = nullptr;
    GstElement* sink = gst_parse_bin_from_description(renderer.description.toUtf8().constData(), TRUE, &error);
    if (error) g_error_free(error);
    if (!sink) Fail("no renderer");
    impl_->playbinSink = Adopt(sink);
    GstElement* drainVideo = gst_element_factory_make("fakesink", nullptr);
    const QByteArray uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded();
    // Audio only: flags 0x2.
    g_object_set(playbin.get(), "uri", uri.constData(), "audio-sink", sink, "video-sink", drainVideo,
                 "flags", 0x2, nullptr);
    if (!gst_bin_add(GST_BIN(impl_->pipeline.get()), playbin.get())) Fail("playbin cannot join the graph");
    impl_->playbin = std::move(playbin);
}

// ---- states -----------------------------------------------------------------

GstElement* GraphImpl::RendererBin() const {
    if (playbinSink) return playbinSink.get();
    for (const auto& f : filters) {
        if (f->IsRenderer() && !f->Impl().parked) return f->Impl().bin.get();
    }
    return nullptr;
}

QString GraphImpl::SourceName() const {
    for (const auto& f : filters) {
        if (!f->Filename().isEmpty()) return f->Filename();
    }
    if (playbin) {
        gchar* uri = nullptr;
        g_object_get(playbin.get(), "uri", &uri, nullptr);
        const QString text = QUrl(QString::fromUtf8(uri)).toLocalFile();
        g_free(uri);
        return text;
    }
    return {};
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
    if (GstElement* r = RendererBin()) watchRenderer(r, stream.get());
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

Graph::PrerollState Graph::PollPreroll() {
    try {
        return impl_->CheckPreroll() ? PrerollState::Done : PrerollState::Pending;
    } catch (...) {
        return PrerollState::Failed;
    }
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

// ---- position ---------------------------------------------------------------

bool Graph::TryDuration(double& seconds) {
    if (!impl_->prerolled) return false;
    gint64 duration = -1;
    if (gst_element_query_duration(impl_->pipeline.get(), GST_FORMAT_TIME, &duration) && duration >= 0) {
        seconds = static_cast<double>(duration) / GST_SECOND;
        return true;
    }
    // A parser without an index learns the length only while it plays; till
    // then the file's size at the stream's bit rate stands in, as a splitter
    // reading a constant-rate stream would reckon it.
    const unsigned bits = impl_->stream->bitrate;
    const qint64 bytes = QFileInfo(impl_->SourceName()).size();
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
    GstQuery* q = impl_->positionQuery.get();
    gst_query_set_position(q, GST_FORMAT_TIME, -1);
    GstElement* target = impl_->positionSink ? impl_->positionSink.get() : impl_->pipeline.get();
    gint64 at = -1;
    if (gst_element_query(target, q)) gst_query_parse_position(q, nullptr, &at);
    // While a seek flushes the sink cannot tell; the last answer stands.
    if (at >= 0) impl_->lastPosition = static_cast<double>(at) / GST_SECOND;
    return impl_->lastPosition;
}

void GraphImpl::Seek(double seconds) {
    const gint64 at = static_cast<gint64>(RoundEven(std::max(0.0, seconds) * GST_SECOND));
    if (!gst_element_seek(pipeline.get(), rate, GST_FORMAT_TIME,
                          static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                          GST_SEEK_TYPE_SET, at, GST_SEEK_TYPE_NONE, GST_CLOCK_TIME_NONE)) {
        Fail("seek refused");
    }
    lastPosition = std::max(0.0, seconds);
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

// ---- audio ------------------------------------------------------------------

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
