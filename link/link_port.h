#pragma once
// The port the device link talks through. The program uses the serial port component
// (TComPortLink); tests and benchmarks may put any byte source behind it.

#include <cstdint>
#include <functional>
#include <string>

class TLinkPort {
public:
    virtual ~TLinkPort() = default;
    // Raises an Exception (with the port layer's text) when the port cannot be opened.
    virtual void Open(uint16_t number) = 0;
    virtual void Close() = 0;
    virtual bool CharReady() = 0;
    virtual char GetChar() = 0;
    virtual void PutString(const std::string& bytes) = 0;

    // The link sets these; the port calls them on the window thread: bytes are available;
    // the device went away (with the system's words for it, device path included).
    std::function<void()> OnAvail;
    std::function<void(const std::string& text)> OnLost;
};
