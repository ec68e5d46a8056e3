#pragma once
// A child process at the device end of a pseudo-terminal whose other end the program opens
// (a simulator run as a program of its own), looked at from the kernel's side for the pacers
// of the manual clock (tests/support/clock_peer.h): while the program holds the line, the
// process has had its chance to answer once it has read everything the program wrote, every
// thread of it sleeps again, and the program has read everything it wrote; a stopped process
// (SIGSTOP) cannot answer, so only what it wrote before counts. A line the program does not
// hold, or a process that is gone, holds nothing up. One that holds the clock up without a
// break for longer than a bound in real time would hold it up for good (it never sleeps): the
// test fails, saying so, and from then on it holds nothing up.
//
// The test makes the pseudo-terminal and hands the process its master as descriptor 3; the
// copies of both ends looked at here are closed on exec, so no other child gets them. The
// master's copy goes the moment the process ends (a thread waits for that): kept, it would
// keep the line up, and the program would never see the hang-up that a process ending (an
// adapter pulled) is to it. Nothing here borrows another process's descriptors, so it needs
// no privilege a container or the kernel's settings may refuse.

#include <sys/types.h>

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/clock_peer.h"
#include "tests/support/pty_pair.h"

class ProcessLine {
public:
    // The descriptor the process finds the master as.
    static constexpr int kLineFd = 3;
    static constexpr std::chrono::milliseconds kBound{30'000};

    // Starts `args` (a program's path, then its arguments) at the master end of `pty`, its
    // standard output to the file `out` ("": the test's own).
    ProcessLine(const PtyPair& pty, std::vector<std::string> args, const std::string& out = "",
                std::chrono::milliseconds bound = kBound);
    // Ends the process (continued first, so that the end signal is taken) and waits for it.
    ~ProcessLine();
    ProcessLine(const ProcessLine&) = delete;
    ProcessLine& operator=(const ProcessLine&) = delete;

    // 0 when it did not start.
    pid_t Pid() const { return pid_; }
    // Why the line cannot be looked at; empty when it can (only then is it a peer).
    const std::string& Problem() const { return problem_; }
    // The other end of the master the process got, as the master tells its number (TIOCGPTN).
    const std::string& SlavePath() const { return slave_path_; }
    bool HadItsChance();

private:
    void WaitForTheEnd();
    // What holds the clock up now, or nullptr (the lock held).
    const char* Holding() const;
    // False while within the bound (`why`: what holds the clock up), after it true, once the
    // test has failed.
    bool HeldUp(const char* why);

    std::string program_;
    std::chrono::milliseconds bound_;
    pid_t pid_ = 0;
    std::string problem_;
    std::string slave_path_;
    std::mutex lock_;  // guards what follows (the waiting thread closes the master's copy)
    int master_ = -1;
    int slave_ = -1;
    bool gone_ = false;
    bool gave_up_ = false;
    bool held_ = false;  // at the last look
    std::chrono::steady_clock::time_point held_since_, last_look_;
    std::thread waiter_;
    std::optional<ClockPeer> peer_;  // last: made once everything above is in place, ended first
};
