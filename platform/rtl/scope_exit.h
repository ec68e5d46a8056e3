#pragma once
// Runs the second half of a pair when the scope is left, however it is left: the caller has
// just done the first half (a flag set, a state saved, a handle lent). When the scope is left
// by an exception and the cleanup throws as well, the cleanup's exception is reported as one
// that could not reach its caller (dropped_exception.h) and the first one goes on. A cleanup
// that takes a bool is told whether the scope was broken off by an exception (one raised
// inside it, not one already on its way when the guard was made), for work that a raise
// leaves half done.

#include <exception>
#include <type_traits>
#include <utility>

#include "platform/rtl/dropped_exception.h"

// Runs Cleanup while an exception is already on its way: one that Cleanup raises is reported
// and goes no further, so that the first one reaches its caller.
template <class F>
void RunWhileUnwinding(F&& Cleanup) noexcept {
    RunOrReport(Cleanup, TDropped::ForAnother);
}

// Tells, as a scope ends, whether a raise inside it broke it off: made as the scope begins,
// asked as it ends. An exception already on its way when it was made (a scope inside another's
// clean-up) does not count.
class TScopeBreak {
public:
    TScopeBreak() : unwinding_(std::uncaught_exceptions()) {}
    bool Broken() const { return std::uncaught_exceptions() > unwinding_; }

private:
    int unwinding_;
};

// Ends the scope that Scope watched with Cleanup(Broken): as it is when the scope ended
// normally, so that Cleanup's own exception reaches the caller; while the scope's exception is
// on its way otherwise (RunWhileUnwinding).
template <class F>
void EndScope(const TScopeBreak& Scope, F&& Cleanup) {
    if (Scope.Broken())
        RunWhileUnwinding([&Cleanup] { Cleanup(true); });
    else
        Cleanup(false);
}

template <class F>
class TScopeExit {
public:
    explicit TScopeExit(F cleanup) : cleanup_(std::move(cleanup)) {}
    TScopeExit(const TScopeExit&) = delete;
    TScopeExit& operator=(const TScopeExit&) = delete;

    ~TScopeExit() noexcept(false) {
        EndScope(scope_, [this](bool Broken) {
            if constexpr (std::is_invocable_v<F&, bool>)
                cleanup_(Broken);
            else
                cleanup_();
        });
    }

private:
    F cleanup_;
    TScopeBreak scope_;
};

// Calls Call with each of Items in turn, every one of them also when a call raises: the rest
// are called while its exception is on its way (one that raises again is reported), and the
// first reaches the caller. For telling listeners of a change, each of which has to hear it.
template <class Items, class F>
void CallEach(Items& List, F Call) {
    auto next = List.begin();
    const auto end = List.end();
    TScopeExit rest([&] {
        while (next != end) {
            auto& item = *next++;
            RunWhileUnwinding([&] { Call(item); });
        }
    });
    while (next != end) {
        auto& item = *next++;
        Call(item);
    }
}
