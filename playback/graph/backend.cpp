#include "playback/graph/backend.h"

#include <atomic>
#include <mutex>
#include <thread>

#include "playback/graph/gst_util.h"

namespace rilumo::graph {

namespace {

std::mutex startLock;
std::thread* worker = nullptr;  // never destroyed: a joinable thread may not be
std::atomic<bool> starting{false};

}  // namespace

void StartBackend() {
    std::lock_guard guard(startLock);
    if (worker) return;
    starting = true;
    worker = new std::thread([] {
        EnsureGstInit();
        starting = false;
    });
}

bool BackendStarting() { return starting.load(); }

void FinishBackendStart() {
    std::lock_guard guard(startLock);
    if (worker && worker->joinable()) worker->join();
}

}  // namespace rilumo::graph
