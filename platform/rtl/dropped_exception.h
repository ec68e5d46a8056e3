#pragma once
// An exception that cannot go to its caller: one a clean-up raises while another exception is
// on its way (RunWhileUnwinding), or one a handler raises while its control is freed (a
// destructor lets nothing out). It goes to the report the program sets (the application's:
// once the message under way is done), and to standard error until the program sets one.
// EAbort, which ends an operation silently, is never reported.

#include <cstdint>
#include <exception>
#include <functional>

// Why the exception went nowhere: alone (a destructor's step), or for another exception on its
// way, which reached its caller instead (a clean-up's).
enum class TDropped : uint8_t { Alone, ForAnother };

using TDroppedExceptionReport = std::function<void(std::exception_ptr, TDropped)>;

// Replaces the report (nullptr: standard error again) and answers the previous one. It may be
// called on any thread, and must not raise.
TDroppedExceptionReport SetDroppedExceptionReport(TDroppedExceptionReport Report);
void ReportDroppedException(std::exception_ptr E, TDropped Why) noexcept;

// Runs Step, whose exception could go nowhere: a step of a destructor, a clean-up while another
// exception is on its way. One that it raises is reported and goes no further.
template <class F>
void RunOrReport(F&& Step, TDropped Why = TDropped::Alone) noexcept {
    try {
        Step();
    } catch (...) {
        ReportDroppedException(std::current_exception(), Why);
    }
}
