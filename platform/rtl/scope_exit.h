#pragma once
// Runs the second half of a pair when the scope is left, however it is left: the caller has
// just done the first half (a flag set, a state saved, a handle lent). When the scope is left
// by an exception and the cleanup throws as well, the cleanup's exception is written to
// standard error and the first one goes on.

#include <exception>
#include <iostream>
#include <utility>

template <class F>
class TScopeExit {
public:
    explicit TScopeExit(F cleanup) : cleanup_(std::move(cleanup)), unwinding_(std::uncaught_exceptions()) {}
    TScopeExit(const TScopeExit&) = delete;
    TScopeExit& operator=(const TScopeExit&) = delete;

    ~TScopeExit() noexcept(false) {
        if (std::uncaught_exceptions() == unwinding_) {
            cleanup_();
            return;
        }
        try {
            cleanup_();
        } catch (const std::exception& e) {
            std::cerr << "cleanup failed while an exception was in flight: " << e.what() << '\n';
        } catch (...) {
            std::cerr << "cleanup failed while an exception was in flight\n";
        }
    }

private:
    F cleanup_;
    int unwinding_;
};
