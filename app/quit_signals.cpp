#include "app/quit_signals.h"

#include <QMetaObject>
#include <QObject>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <thread>
#include <sys/socket.h>
#include <unistd.h>

namespace rilumo {

namespace {

int wakeFds[2] = {-1, -1};

struct Watch {
    std::mutex lock;
    std::condition_variable ended;
    QObject* receiver = nullptr;
    std::function<void()> quit;
    int pending = 0;  // a signal that came before anyone watched
    bool stopped = false;
};

Watch& watch() {
    static auto* w = new Watch;  // never destroyed: the reader thread outlives main
    return *w;
}

// Only async-signal-safe work here: the signal's number down the socket.
void onSignal(int sig) {
    const char byte = static_cast<char>(sig);
    [[maybe_unused]] const ssize_t n = ::write(wakeFds[0], &byte, 1);
}

// Under the watch's lock.
void post(Watch& w) {
    std::function<void()> quit = w.quit;
    QMetaObject::invokeMethod(w.receiver, [quit] { quit(); }, Qt::QueuedConnection);
}

void readSignals() {
    for (;;) {
        char sig = 0;
        if (::read(wakeFds[1], &sig, 1) != 1) return;
        Watch& w = watch();
        std::unique_lock guard(w.lock);
        if (w.stopped) continue;
        if (!w.receiver) {
            w.pending = sig;
            continue;
        }
        post(w);
        // The close normally ends the program well within this; a window
        // thread that never gets to it is not waited for.
        if (!w.ended.wait_for(guard, std::chrono::milliseconds(kQuitGraceMs), [&] { return w.stopped; })) {
            std::fputs("rilumo: the window did not close in time; ending\n", stderr);
            std::_Exit(128 + sig);
        }
    }
}

}  // namespace

void InstallQuitSignals() {
    if (wakeFds[0] >= 0) return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, wakeFds) != 0) return;
    std::thread(readSignals).detach();
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(sig, &sa, nullptr);
}

void WatchQuitSignals(QObject* receiver, std::function<void()> quit) {
    Watch& w = watch();
    std::lock_guard guard(w.lock);
    w.receiver = receiver;
    w.quit = std::move(quit);
    w.stopped = false;
    if (w.pending != 0) {
        w.pending = 0;
        post(w);
    }
}

void StopWatchingQuitSignals() {
    Watch& w = watch();
    std::lock_guard guard(w.lock);
    w.receiver = nullptr;
    w.quit = nullptr;
    w.stopped = true;
    w.ended.notify_all();
}

}  // namespace rilumo
