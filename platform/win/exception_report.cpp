#include "platform/win/exception_report.h"

#include <cstdio>
#include <mutex>

#include "platform/rtl/exception.h"

namespace {
std::mutex g_reporter_lock;
ExceptionReporter g_reporter;

void DefaultReport(const std::exception& e) {
    const auto* own = dynamic_cast<const Exception*>(&e);
    std::fprintf(stderr, "%s\n", own ? own->Message().c_str() : e.what());
}
}  // namespace

ExceptionReporter SetExceptionReporter(ExceptionReporter reporter) {
    std::lock_guard<std::mutex> guard(g_reporter_lock);
    ExceptionReporter previous = std::move(g_reporter);
    g_reporter = std::move(reporter);
    return previous;
}

void HandleException(const std::exception& e) {
    if (dynamic_cast<const EAbort*>(&e) != nullptr) return;
    ExceptionReporter reporter;
    {
        std::lock_guard<std::mutex> guard(g_reporter_lock);
        reporter = g_reporter;
    }
    // A reporter that fails itself must not take the message loop down with it.
    try {
        if (reporter)
            reporter(e);
        else
            DefaultReport(e);
    } catch (...) {
        DefaultReport(e);
    }
}

void HandleCurrentException() {
    try {
        throw;
    } catch (const std::exception& e) {
        HandleException(e);
    } catch (...) {
        HandleException(Exception("Unknown exception"));
    }
}
