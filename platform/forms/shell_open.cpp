#include "platform/forms/shell_open.h"

#include <spawn.h>
#include <sys/wait.h>

#include <thread>

extern char** environ;

namespace {

bool SpawnDetached(const std::vector<std::string>& argv) {
    if (argv.empty()) return false;
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return false;
    // Reaped in the background so that no zombie is left; the opener's result is not ours.
    std::thread([pid] {
        int status = 0;
        waitpid(pid, &status, 0);
    }).detach();
    return true;
}

TShellLauncher& Launcher() {
    static TShellLauncher launcher;
    return launcher;
}

}  // namespace

void SetShellLauncher(TShellLauncher L) { Launcher() = std::move(L); }

bool ShellOpen(const std::string& Target) {
    const std::vector<std::string> argv{"xdg-open", Target};
    if (Launcher()) return Launcher()(argv);
    return SpawnDetached(argv);
}
