#include "tests/support/xvfb_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <vector>

extern char** environ;

namespace {

bool FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':'))
        if (!dir.empty() && access((dir + "/" + name).c_str(), X_OK) == 0) return true;
    return false;
}

}  // namespace

bool XvfbServer::Start(std::string* why) {
    if (!FindOnPath("Xvfb")) {
        *why = "Xvfb is not installed (Debian package xvfb)";
        return false;
    }
    int fds[2];
    if (pipe(fds) != 0) {
        *why = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    std::string fd = std::to_string(fds[1]);
    std::vector<std::string> args = {"Xvfb",         "-displayfd", fd,    "-screen", "0",
                                     "1280x1024x24", "-nolisten",  "tcp", "-noreset"};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    int rc = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        pid_ = -1;
        *why = std::string("starting Xvfb: ") + std::strerror(rc);
        return false;
    }
    // Xvfb writes the display number once it accepts connections.
    std::string number;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (number.find('\n') == std::string::npos) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd p{fds[0], POLLIN, 0};
        if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
        char buf[32];
        ssize_t n = read(fds[0], buf, sizeof buf);
        if (n <= 0) break;
        number.append(buf, static_cast<size_t>(n));
    }
    close(fds[0]);
    if (number.find('\n') == std::string::npos) {
        Stop();
        *why = "Xvfb did not start";
        return false;
    }
    display_ = ":" + number.substr(0, number.find('\n'));
    return true;
}

void XvfbServer::Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
}

namespace {
std::string& Problem() {
    static std::string why;
    return why;
}
}  // namespace

XvfbServer& SharedXvfb() {
    static XvfbServer server;
    return server;
}

void StartSharedXvfb() {
    if (SharedXvfb().Running() || !Problem().empty()) return;
    if (!SharedXvfb().Start(&Problem()) && Problem().empty()) Problem() = "Xvfb did not start";
}

const std::string& SharedXvfbProblem() { return Problem(); }
