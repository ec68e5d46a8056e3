#pragma once
// What happens to an exception that escapes a message handler: the dispatcher catches it and
// hands it to the reporter, then goes on with the next message. EAbort is never reported.

#include <exception>
#include <functional>

using ExceptionReporter = std::function<void(const std::exception&)>;

// Replaces the reporter (nullptr restores the default, which writes the message to stderr).
// Answers the previous one so tests can put it back.
ExceptionReporter SetExceptionReporter(ExceptionReporter reporter);
// Reports `e` as the dispatcher does (silently drops EAbort).
void HandleException(const std::exception& e);
// Reports the exception in flight; call from a catch block.
void HandleCurrentException();
