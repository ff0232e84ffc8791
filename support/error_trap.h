#pragma once
// The error-catch convention in one place: a step that fails is swallowed
// while the error-catch flag is off, and propagates while it is on.

#include <exception>
#include <stdexcept>
#include <string>
#include <utility>

#include "support/globals.h"

namespace rilumo {

// What a step throws to say "this failed"; any other exception is trapped too.
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] inline void Fail(const std::string& why) { throw Failure(why); }

// Runs step(); returns true when it finished, false when it failed and the
// failure was swallowed.
template <class Step>
bool Trap(Step&& step) {
    if (globals::ErrorCatch) {
        std::forward<Step>(step)();
        return true;
    }
    try {
        std::forward<Step>(step)();
        return true;
    } catch (...) {
        return false;
    }
}

// Runs step() and returns its result, or fallback when it failed and the
// failure was swallowed.
template <class T, class Step>
T TrapOr(T fallback, Step&& step) {
    if (globals::ErrorCatch) return std::forward<Step>(step)();
    try {
        return std::forward<Step>(step)();
    } catch (...) {
        return fallback;
    }
}

// Runs a step whose failure is of no consequence, or is answered by the
// caller, whatever the error-catch flag says; true when it finished.
template <class Step>
bool Ignore(Step&& step) {
    try {
        std::forward<Step>(step)();
        return true;
    } catch (...) {
        return false;
    }
}

// Runs step() on a thread of its own, where a failure that escapes would end
// the process whatever the flag says: the failure is handed back, null when
// there was none, for the thread that can trap it to rethrow.
template <class Step>
std::exception_ptr CaptureFailure(Step&& step) {
    try {
        std::forward<Step>(step)();
        return nullptr;
    } catch (...) {
        return std::current_exception();
    }
}

}  // namespace rilumo
