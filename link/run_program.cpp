#include "link/run_program.h"

#include <cstdlib>
#include <thread>
#include <vector>

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include "link/message_dialog.h"

extern char** environ;

namespace {

std::function<void(const std::string&)>& Opener() {
    static std::function<void(const std::string&)> opener;
    return opener;
}

}  // namespace

void SetProgramOpener(std::function<void(const std::string& path)> opener) { Opener() = std::move(opener); }

void RunProgram(const std::string& directory, const std::string& file, const std::string& /*parameters*/,
                bool check) {
    std::string path = directory.empty() ? file : directory + (directory.back() == '/' ? "" : "/") + file;
    if (check) {
        struct stat info;
        if (stat(path.c_str(), &info) != 0) {
            ShowMessageDialog("Programm/Modul \"" + path + "\" nicht vorhanden !", 1, 4);
            return;
        }
    }
    if (Opener()) {
        Opener()(path);
        return;
    }
    const char* opener_env = std::getenv("TOVAK_OPENER");
    std::string opener = opener_env && *opener_env ? opener_env : "xdg-open";

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!directory.empty()) posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
    std::vector<char*> argv = {opener.data(), path.data(), nullptr};
    pid_t pid = 0;
    int rc = posix_spawnp(&pid, opener.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return;  // no opener on this machine: as the shell, nothing happens
    // Reap the opener when it ends so it does not linger as a zombie.
    std::thread([pid] {
        int status = 0;
        waitpid(pid, &status, 0);
    }).detach();
}
