#pragma once
// What happens to an exception that escapes a message handler: the dispatcher catches it and
// hands it to the reporter, then goes on with the next message. EAbort is never reported.

#include <exception>
#include <functional>

#include "platform/rtl/dropped_exception.h"
#include "platform/win/messages.h"

using ExceptionReporter = std::function<void(const std::exception&)>;

// Replaces the reporter (nullptr restores the default, which writes the message to stderr).
// Answers the previous one so tests can put it back.
ExceptionReporter SetExceptionReporter(ExceptionReporter reporter);
// Reports `e` as the dispatcher does (silently drops EAbort).
void HandleException(const std::exception& e);
// Reports the exception in flight; call from a catch block.
void HandleCurrentException();

// Reports E once the message under way is done, from any thread: for an exception that could
// not reach its caller and must not bring up a box where it was raised (a destructor, a
// clean-up while another exception is on its way). Of the exceptions that wait together one is
// reported, the first that was not dropped for another (the one a raise dropped the others
// for), and the others are written to standard error: a handler that raises for every
// row of a control being freed brings up one box, not one a row.
void ReportAfterMessage(std::exception_ptr E, TDropped Why);
// Reports the exceptions waiting (the dispatcher, on WM_REPORTWAITING; the program's end).
void ReportWaitingExceptions();
// The thread message that ReportAfterMessage posts.
inline constexpr UINT WM_REPORTWAITING = WM_APP + 0x3F01;
