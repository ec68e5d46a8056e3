#pragma once
// A child process at the device end of a pseudo-terminal whose other end the program opens
// (a simulator run as a program of its own), looked at from the kernel's side for the pacers
// of the manual clock (tests/support/clock_peer.h): while the program holds the line, the
// process has had its chance to answer once it has read everything the program wrote, every
// thread of it sleeps again, and the program has read everything it wrote; a stopped process
// (SIGSTOP) cannot answer, so only what it wrote before counts. A line the program does not
// hold, or a process that is gone, holds nothing up.
//
// The process's ends of the line are borrowed for each look (pidfd_getfd) and given back at
// once: a copy kept here would keep the line up after the process ends, and the program
// would never see the hang-up.

#include <sys/types.h>

#include <optional>
#include <string>

#include "tests/support/clock_peer.h"

class ProcessLine {
public:
    // `slavePath`: the program's end of the line (/dev/pts/N, as the ports folder links it).
    ProcessLine(pid_t pid, const std::string& slavePath);
    ~ProcessLine();
    ProcessLine(const ProcessLine&) = delete;
    ProcessLine& operator=(const ProcessLine&) = delete;

    // Why the line cannot be looked at; empty when it can (only then is it a peer).
    const std::string& Problem() const { return problem_; }
    bool HadItsChance() const;

private:
    // A copy of the process's descriptor `fd`; -1 when the process is gone.
    int Borrow(int fd) const;

    pid_t pid_;
    int pidfd_ = -1;
    int master_ = -1;  // the process's descriptors: its end of the line
    int slave_ = -1;   // and the program's end, which it keeps open
    std::string problem_;
    std::optional<ClockPeer> peer_;  // last: made once everything above is in place, ended first
};
