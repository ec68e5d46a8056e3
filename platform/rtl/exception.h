#pragma once
// The class library's exception family: every exception the program raises carries a
// user-facing Message(). The message loop catches what a handler lets escape and reports it.

#include <stdexcept>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const { return message_; }
    void SetMessage(std::string message) { message_ = std::move(message); }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

#define TOVAK_EXCEPTION_CLASS(Name, Base) \
    class Name : public Base {            \
    public:                               \
        using Base::Base;                 \
    }

// Raised to end an operation silently: the message loop reports nothing for it.
TOVAK_EXCEPTION_CLASS(EAbort, Exception);
TOVAK_EXCEPTION_CLASS(EConvertError, Exception);
// A file or device error of the run-time library, with its error number.
class EInOutError : public Exception {
public:
    using Exception::Exception;
    EInOutError(std::string message, int error_code) : Exception(std::move(message)), ErrorCode(error_code) {}
    int ErrorCode = 0;
};
TOVAK_EXCEPTION_CLASS(EOutOfMemory, Exception);
TOVAK_EXCEPTION_CLASS(EStreamError, Exception);
TOVAK_EXCEPTION_CLASS(EFileStreamError, EStreamError);
// A file that cannot be made or replaced, with the system's error number (0 where no call
// of the system failed: a file refused as read-only).
class EFCreateError : public EFileStreamError {
public:
    using EFileStreamError::EFileStreamError;
    EFCreateError(std::string message, int error_code) : EFileStreamError(std::move(message)), ErrorCode(error_code) {}
    int ErrorCode = 0;
};
TOVAK_EXCEPTION_CLASS(EFOpenError, EFileStreamError);
TOVAK_EXCEPTION_CLASS(EReadError, EStreamError);
TOVAK_EXCEPTION_CLASS(EWriteError, EStreamError);
TOVAK_EXCEPTION_CLASS(EListError, Exception);
TOVAK_EXCEPTION_CLASS(EStringListError, Exception);
TOVAK_EXCEPTION_CLASS(EComponentError, Exception);
TOVAK_EXCEPTION_CLASS(EInvalidOperation, Exception);
TOVAK_EXCEPTION_CLASS(EInvalidPointer, Exception);
TOVAK_EXCEPTION_CLASS(EOutOfResources, Exception);
TOVAK_EXCEPTION_CLASS(EIntError, Exception);
TOVAK_EXCEPTION_CLASS(EDivByZero, EIntError);
TOVAK_EXCEPTION_CLASS(ERangeError, EIntError);
TOVAK_EXCEPTION_CLASS(EMathError, Exception);
TOVAK_EXCEPTION_CLASS(EVariantError, Exception);
TOVAK_EXCEPTION_CLASS(EOSError, Exception);
TOVAK_EXCEPTION_CLASS(EPropertyError, Exception);
TOVAK_EXCEPTION_CLASS(EDatabaseError, Exception);
TOVAK_EXCEPTION_CLASS(EInvalidOp, EMathError);
TOVAK_EXCEPTION_CLASS(EOverflow, EMathError);
TOVAK_EXCEPTION_CLASS(EZeroDivide, EMathError);
// Raised by the masked editor when a text does not fit its edit mask.
TOVAK_EXCEPTION_CLASS(EDBEditError, Exception);
// Raised when a picture file cannot be read (not a bitmap, cut short, unsupported).
TOVAK_EXCEPTION_CLASS(EInvalidGraphic, Exception);
// Raised by the registry stand-in (a value of the wrong type or size, a key that cannot be made).
TOVAK_EXCEPTION_CLASS(ERegistryException, Exception);
