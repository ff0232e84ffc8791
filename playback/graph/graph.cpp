// A graph's life: made with its pipeline, torn down at once when it never
// changed state, else handed to a worker to retire.

#include "playback/graph/graph.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <vector>

#include "playback/graph/graph_impl.h"
#include "support/error_trap.h"
#include "support/memory.h"

namespace rilumo::graph {

namespace {

// Graphs that ran retire on a worker; tests and shutdown wait for them.
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
}

// The worker holds the pipeline until retire returns: a graph counts as gone
// only once its pipeline is.
void retired(gpointer, GObject*) {
    {
        Retirements& r = retirements();
        std::lock_guard guard(r.lock);
        --r.pending;
        r.gone.notify_all();
    }
    // A file's buffers, caps and threads are now all freed: give the pages
    // back, here off the window thread, so a long session stays as small as
    // its first hour.
    ReturnFreeMemory();
}

std::atomic<int> pipelinesAlive{0};

void pipelineGone(gpointer, GObject*) { --pipelinesAlive; }

}  // namespace

Graph::Graph(Catalogue catalogue) : impl_(std::make_unique<GraphImpl>()) {
    EnsureGstInit();
    impl_->self = this;
    impl_->catalogue = std::move(catalogue);
    impl_->pipeline = Adopt(gst_pipeline_new(nullptr));
    if (!impl_->pipeline) Fail("pipeline cannot be made");
    BusPtr bus(gst_element_get_bus(impl_->pipeline.get()));
    gst_bus_set_sync_handler(bus.get(), OnBusMessage, impl_->stream.get(), nullptr);
    impl_->positionQuery.reset(gst_query_new_position(GST_FORMAT_TIME));
    ++pipelinesAlive;
    g_object_weak_ref(G_OBJECT(impl_->pipeline.get()), pipelineGone, nullptr);
}

namespace {

// Every sink below bin that is no bin itself, each with a reference.
void collectSinks(GstElement* bin, std::vector<ElementPtr>& out) {
    GstIterator* it = gst_bin_iterate_recurse(GST_BIN(bin));
    GValue v = G_VALUE_INIT;
    for (;;) {
        const GstIteratorResult r = gst_iterator_next(it, &v);
        if (r == GST_ITERATOR_RESYNC) {
            out.clear();
            gst_iterator_resync(it);
            continue;
        }
        if (r != GST_ITERATOR_OK) break;
        auto* child = GST_ELEMENT(g_value_get_object(&v));
        if (!GST_IS_BIN(child) && GST_OBJECT_FLAG_IS_SET(child, GST_ELEMENT_FLAG_SINK)) {
            out.emplace_back(GST_ELEMENT(gst_object_ref(child)));
        }
        g_value_reset(&v);
    }
    g_value_unset(&v);
    gst_iterator_free(it);
}

}  // namespace

// Sinks go first and one by one: a sink stopping wakes the streaming thread
// waiting in it, whereas an element upstream stopping first would wait for
// that thread, and the thread for a state change that never comes.
void GraphImpl::Teardown() {
    std::vector<ElementPtr> sinks;
    collectSinks(pipeline.get(), sinks);
    for (const ElementPtr& sink : sinks) gst_element_set_state(sink.get(), GST_STATE_NULL);
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    for (auto& f : filters) {
        if (f->Impl().parked) gst_element_set_state(f->Impl().bin.get(), GST_STATE_NULL);
    }
    BusPtr bus(gst_element_get_bus(pipeline.get()));
    gst_bus_set_sync_handler(bus.get(), nullptr, nullptr, nullptr);
    filters.clear();
    nextFilters.clear();
    nextOut = nullptr;
    nextJoin.reset();
    ownJoin.reset();
    ownFeed.reset();
    nextFeed.reset();
    joiner.reset();
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
    // A graph that never changed state has no streaming threads and goes at
    // once; any other is stopped and released on a worker, so that destruction
    // never waits on a streaming thread, a slow element or a sound server.
    if (!impl->prerollStarted && impl->posted == 0) {
        impl->Teardown();
        return;
    }
    {
        Retirements& r = retirements();
        std::lock_guard guard(r.lock);
        ++r.pending;
    }
    GstElement* pipeline = impl->pipeline.get();
    g_object_weak_ref(G_OBJECT(pipeline), retired, nullptr);
    gst_element_call_async(pipeline, retire, impl.release(), nullptr);
}

bool Graph::WaitForRetiredGraphs(int ms) {
    Retirements& r = retirements();
    std::unique_lock guard(r.lock);
    return r.gone.wait_for(guard, std::chrono::milliseconds(std::max(ms, 0)), [&] { return r.pending == 0; });
}

int Graph::PipelinesAlive() { return pipelinesAlive; }

}  // namespace rilumo::graph
