#pragma once
// The simulator program itself as a child process, its standard output kept in a file: a
// device that can be stopped (SIGSTOP) as a hung one stops, and continued. Once its line is
// ready, the pacers of the manual clock wait for it to have its chance to answer
// (tests/support/process_line.h). Ended with the object (continued first, so the end signal
// is taken).

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/process_line.h"
#include "tests/support/process_threads.h"
#include "tests/support/pump_until.h"

class SimProcess {
public:
    // `args` follow the program's path; standard output goes to `out`.
    SimProcess(const std::string& program, std::vector<std::string> args, const std::string& out) : out_(out) {
        args.insert(args.begin(), program);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (posix_spawn(&pid_, program.c_str(), &files, nullptr, argv.data(), environ) != 0) pid_ = 0;
        posix_spawn_file_actions_destroy(&files);
    }
    ~SimProcess() {
        line_.reset();
        if (pid_ <= 0) return;
        kill(pid_, SIGCONT);
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    // Waits for the link to the line it serves (a "COMn" of the ports folder); from then on
    // the clock's pacers wait for it. Fails when the link does not come or the line cannot
    // be looked at.
    ::testing::AssertionResult LineReady(const std::string& link) {
        if (!PumpUntil([&] { return std::filesystem::is_symlink(link); }))
            return ::testing::AssertionFailure() << "no " << link;
        line_ = std::make_unique<ProcessLine>(pid_, std::filesystem::read_symlink(link).string());
        if (!line_->Problem().empty()) return ::testing::AssertionFailure() << line_->Problem();
        return ::testing::AssertionSuccess();
    }
    void Stop() { kill(pid_, SIGSTOP); }
    void Continue() { kill(pid_, SIGCONT); }
    // The kernel has stopped it, every thread of it.
    bool IsStopped() const { return ThreadsOf(pid_).stopped; }
    // Everything it has written to standard output so far.
    std::string Output() const {
        std::ifstream in(out_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::string out_;
    pid_t pid_ = 0;
    std::unique_ptr<ProcessLine> line_;
};
