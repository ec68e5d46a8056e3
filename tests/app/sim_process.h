#pragma once
// The simulator program itself as a child process, its standard output kept in a file: a
// device that can be stopped (SIGSTOP) as a hung one stops, and continued. It serves a
// pseudo-terminal the test makes (--line-fd), so that the pacers of the manual clock wait for
// it to have its chance to answer (tests/support/process_line.h). Ended with the object.

#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/process_line.h"
#include "tests/support/process_threads.h"
#include "tests/support/pty_pair.h"
#include "tests/support/pump_until.h"

class SimProcess {
public:
    // `args` follow the program's path; standard output goes to `out`.
    SimProcess(const std::string& program, std::vector<std::string> args, const std::string& out)
        : out_(out), line_(PtyPair(), WithLine(program, std::move(args)), out) {}
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool Started() const { return line_.Pid() > 0; }
    // Waits for the link to the line it serves (a "COMn" of the ports folder). Fails when the
    // link does not come, names another line than the one handed over, or the line cannot be
    // looked at.
    ::testing::AssertionResult LineReady(const std::string& link) {
        if (!line_.Problem().empty()) return ::testing::AssertionFailure() << line_.Problem();
        if (!PumpUntil([&] { return std::filesystem::is_symlink(link); }))
            return ::testing::AssertionFailure() << "no " << link;
        const std::string names = std::filesystem::read_symlink(link).string();
        if (names != line_.SlavePath())
            return ::testing::AssertionFailure()
                   << link << " names " << names << ", not the line handed to the simulator, " << line_.SlavePath();
        return ::testing::AssertionSuccess();
    }
    pid_t Pid() const { return line_.Pid(); }
    void Stop() { kill(Pid(), SIGSTOP); }
    void Continue() { kill(Pid(), SIGCONT); }
    // The kernel has stopped it, every thread of it.
    bool IsStopped() const { return ThreadsOf(Pid()).stopped; }
    // Everything it has written to standard output so far.
    std::string Output() const {
        std::ifstream in(out_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    static std::vector<std::string> WithLine(const std::string& program, std::vector<std::string> args) {
        args.insert(args.begin(), program);
        args.insert(args.end(), {"--line-fd", std::to_string(ProcessLine::kLineFd)});
        return args;
    }

    std::string out_;
    ProcessLine line_;
};
