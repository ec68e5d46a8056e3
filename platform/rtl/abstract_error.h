#pragma once
// The class library's error for a call of an abstract virtual operation that the object's
// class does not implement.

#include "platform/rtl/exception.h"

TOVAK_EXCEPTION_CLASS(EAbstractError, Exception);

inline constexpr const char* kAbstractErrorText = "Abstract error";

[[noreturn]] inline void AbstractError() { throw EAbstractError(kAbstractErrorText); }
