#pragma once
// Runs the second half of a pair when the scope is left, however it is left: the caller has
// just done the first half (a flag set, a state saved, a handle lent). When the scope is left
// by an exception and the cleanup throws as well, the cleanup's exception is reported as one
// that could not reach its caller (dropped_exception.h) and the first one goes on.

#include <exception>
#include <utility>

#include "platform/rtl/dropped_exception.h"

// Runs Cleanup while an exception is already on its way: one that Cleanup raises is reported
// and goes no further, so that the first one reaches its caller.
template <class F>
void RunWhileUnwinding(F&& Cleanup) noexcept {
    RunOrReport(Cleanup, TDropped::ForAnother);
}

template <class F>
class TScopeExit {
public:
    explicit TScopeExit(F cleanup) : cleanup_(std::move(cleanup)), unwinding_(std::uncaught_exceptions()) {}
    TScopeExit(const TScopeExit&) = delete;
    TScopeExit& operator=(const TScopeExit&) = delete;

    ~TScopeExit() noexcept(false) {
        if (std::uncaught_exceptions() == unwinding_)
            cleanup_();
        else
            RunWhileUnwinding(cleanup_);
    }

private:
    F cleanup_;
    int unwinding_;
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
