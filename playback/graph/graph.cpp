// A graph's life: made with its pipeline, torn down at once when it is quiet,
// or handed to a worker to retire when its streaming threads are still busy.

#include "playback/graph/graph.h"

#include <algorithm>
#include <atomic>
#include <chrono>

#include "playback/graph/graph_impl.h"
#include "support/error_trap.h"

namespace rilumo::graph {

namespace {

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

void GraphImpl::Teardown() {
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

int Graph::PipelinesAlive() { return pipelinesAlive; }

}  // namespace rilumo::graph
