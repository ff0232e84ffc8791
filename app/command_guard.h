#pragma once
// Keeps one command at a time. Commands let pending events run at their
// yield points (list repaints, scans, reads), and a key, a click, a drop or
// a remote call among those events would otherwise start a second command
// between two steps of the first: a file closed and the next not yet open.
// Such a call waits until the running command has finished, then runs.

#include <QObject>

#include <deque>
#include <functional>

namespace rilumo {

class CommandGuard {
public:
    explicit CommandGuard(QObject* context) : context_(context) {}

    // A command, or a step that pumps events, runs inside a Scope.
    class Scope {
    public:
        explicit Scope(CommandGuard& guard) : guard_(guard) { ++guard_.depth_; }
        ~Scope() { guard_.Leave(); }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        CommandGuard& guard_;
    };

    bool Running() const { return depth_ > 0; }
    // Runs the call now when nothing runs, else once the running command ends.
    void Enter(std::function<void()> call);
    std::size_t Waiting() const { return deferred_.size(); }

private:
    void Leave();
    void RunDeferred();

    QObject* context_;
    int depth_ = 0;
    bool drainPosted_ = false;
    std::deque<std::function<void()>> deferred_;
};

}  // namespace rilumo
