#pragma once
// A private X server for tests: Xvfb on a free display number (it picks one itself and
// tells us through -displayfd). Start() fails (with the reason) when Xvfb is not installed.

#include <sys/types.h>

#include <string>

class XvfbServer {
public:
    XvfbServer() = default;
    ~XvfbServer() { Stop(); }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool Start(std::string* why);
    void Stop();
    bool Running() const { return pid_ > 0; }
    // ":N"
    const std::string& Display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

// The one server a test program shares between its test suites.
XvfbServer& SharedXvfb();
// Starts SharedXvfb() unless it runs or already failed to start.
void StartSharedXvfb();
// Why SharedXvfb() does not run ("" while it does): the reason a test skips.
const std::string& SharedXvfbProblem();
