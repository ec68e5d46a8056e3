#pragma once
// The simulator program itself as a child process, its standard output kept in a file: a
// device that can be stopped (SIGSTOP) as a hung one stops, and continued. Ended with the
// object (continued first, so the end signal is taken).

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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
        if (pid_ <= 0) return;
        kill(pid_, SIGCONT);
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    void Stop() { kill(pid_, SIGSTOP); }
    void Continue() { kill(pid_, SIGCONT); }
    // The kernel has stopped it (state T in /proc).
    bool IsStopped() const {
        std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
        const std::string text((std::istreambuf_iterator<char>(stat)), {});
        const size_t close = text.rfind(')');
        return close != std::string::npos && close + 2 < text.size() && text[close + 2] == 'T';
    }
    // Everything it has written to standard output so far.
    std::string Output() const {
        std::ifstream in(out_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::string out_;
    pid_t pid_ = 0;
};
