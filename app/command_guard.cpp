#include "app/command_guard.h"

#include <QMetaObject>

namespace rilumo {

namespace {

// A key held down or a remote hammering Next must not pile up work that
// would replay long after the user has let go.
constexpr std::size_t kMaxWaiting = 16;

}  // namespace

void CommandGuard::Enter(std::function<void()> call) {
    if (depth_ == 0) {
        Scope scope(*this);
        call();
        return;
    }
    if (deferred_.size() < kMaxWaiting) deferred_.push_back(std::move(call));
}

void CommandGuard::Leave() {
    if (--depth_ > 0 || deferred_.empty() || drainPosted_) return;
    // From the event loop rather than here: the command that just ended may
    // sit inside a tick or a handler that still has steps to take.
    drainPosted_ = true;
    QMetaObject::invokeMethod(context_, [this] { RunDeferred(); }, Qt::QueuedConnection);
}

void CommandGuard::RunDeferred() {
    drainPosted_ = false;
    // One at a time: a call that starts a command of its own defers the rest
    // again, and its end posts the next.
    if (depth_ > 0 || deferred_.empty()) return;
    std::function<void()> call = std::move(deferred_.front());
    deferred_.pop_front();
    Enter(std::move(call));
}

}  // namespace rilumo
