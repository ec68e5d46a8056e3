#include "platform/rtl/dropped_exception.h"

#include <cstdio>
#include <mutex>

#include "platform/rtl/exception.h"

namespace {
std::mutex g_reportLock;
TDroppedExceptionReport g_report;

void WriteToStandardError(const std::exception_ptr& E) {
    try {
        std::rethrow_exception(E);
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
        std::fprintf(stderr, "an exception that could not reach its caller: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "an exception that could not reach its caller\n");
    }
}
}  // namespace

TDroppedExceptionReport SetDroppedExceptionReport(TDroppedExceptionReport Report) {
    std::lock_guard<std::mutex> guard(g_reportLock);
    TDroppedExceptionReport previous = std::move(g_report);
    g_report = std::move(Report);
    return previous;
}

void ReportDroppedException(std::exception_ptr E, TDropped Why) noexcept {
    if (!E) return;
    try {
        TDroppedExceptionReport report;
        {
            std::lock_guard<std::mutex> guard(g_reportLock);
            report = g_report;
        }
        if (report) {
            report(E, Why);
            return;
        }
    } catch (...) {
        // A report that fails itself leaves the exception to standard error.
    }
    WriteToStandardError(E);
}
