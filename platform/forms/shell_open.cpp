#include "platform/forms/shell_open.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <thread>

extern char** environ;

namespace {

bool SpawnDetached(const std::vector<std::string>& argv, const std::string& directory) {
    if (argv.empty()) return false;
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!directory.empty()) posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return false;
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

bool ShellOpen(const std::string& Target, const std::string& Directory) {
    if (Target.empty() || Target[0] == '-') return false;
    const char* chosen = std::getenv("TOVAK_OPENER");
    const std::vector<std::string> argv{chosen && *chosen ? chosen : "xdg-open", Target};
    if (Launcher()) return Launcher()(argv, Directory);
    return SpawnDetached(argv, Directory);
}
