#include "platform/win/exception_report.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <vector>

#include "platform/rtl/exception.h"
#include "platform/win/message_queue.h"

namespace {
std::mutex g_reporter_lock;
ExceptionReporter g_reporter;
// An exception waiting for its report, and why it went nowhere: one dropped for another, which
// reached a caller or waits here as well, is not the one to show.
struct Waiting {
    std::exception_ptr exception;
    TDropped why;
};
std::mutex g_waiting_lock;
std::vector<Waiting> g_waiting;

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

void ReportAfterMessage(std::exception_ptr E, TDropped Why) {
    if (!E) return;
    {
        std::lock_guard<std::mutex> guard(g_waiting_lock);
        g_waiting.push_back({std::move(E), Why});
    }
    PostMessage(nullptr, WM_REPORTWAITING, 0, 0);
}

void ReportWaitingExceptions() {
    std::vector<Waiting> waiting;
    {
        std::lock_guard<std::mutex> guard(g_waiting_lock);
        waiting.swap(g_waiting);
    }
    if (waiting.empty()) return;
    const auto first = std::find_if(waiting.begin(), waiting.end(),
                                    [](const Waiting& w) { return w.why == TDropped::Alone; });
    const size_t shown = first == waiting.end() ? 0 : static_cast<size_t>(first - waiting.begin());
    for (size_t i = 0; i < waiting.size(); ++i) {
        try {
            std::rethrow_exception(waiting[i].exception);
        } catch (const EAbort&) {
            // Ends an operation silently.
        } catch (const std::exception& e) {
            i == shown ? HandleException(e) : DefaultReport(e);
        } catch (...) {
            const Exception unknown("Unknown exception");
            i == shown ? HandleException(unknown) : DefaultReport(unknown);
        }
    }
}
