#include "playback/summary_worker.h"

#include <QCoreApplication>
#include <QPointer>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "support/error_trap.h"

namespace rilumo {

namespace {

struct Workers {
    std::mutex lock;
    std::condition_variable gone;
    int running = 0;
    bool closing = false;
};
// Never destroyed: a worker may outlive the bounded wait at the program's end.
Workers& workers() {
    static auto* w = new Workers;
    return *w;
}

void deliver(const QPointer<QObject>& receiver, const std::function<void(const MediaSummary&)>& done,
             const MediaSummary& summary, const std::exception_ptr& error) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return;
    QMetaObject::invokeMethod(
        app,
        [receiver, done, summary, error] {
            if (!receiver) return;
            Trap([&] {
                if (error) std::rethrow_exception(error);
                done(summary);
            });
        },
        Qt::QueuedConnection);
}

}  // namespace

void BuildMediaSummaryLater(const QString& path, QObject* receiver,
                            std::function<void(const MediaSummary&)> done) {
    Workers& w = workers();
    {
        std::lock_guard guard(w.lock);
        if (w.closing) return;
        ++w.running;
    }
    QPointer<QObject> target(receiver);
    std::thread([path, target, done = std::move(done)] {
        MediaSummary summary;
        // Trapped on the window thread, where the flag decides its fate.
        const std::exception_ptr error = CaptureFailure([&] { summary = BuildMediaSummary(path); });
        Workers& w = workers();
        std::lock_guard guard(w.lock);
        // Under the lock: once closing is set, the application may be going.
        if (!w.closing) deliver(target, done, summary, error);
        --w.running;
        w.gone.notify_all();
    }).detach();
}

bool FinishMediaSummaries(int ms) {
    Workers& w = workers();
    std::unique_lock guard(w.lock);
    w.closing = true;
    AbandonPlayerLengths(true);
    return w.gone.wait_for(guard, std::chrono::milliseconds(std::max(ms, 0)), [&] { return w.running == 0; });
}

}  // namespace rilumo
