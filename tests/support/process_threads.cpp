#include "tests/support/process_threads.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

ProcessThreads ThreadsOf(pid_t pid) {
    ProcessThreads t;
    bool allStopped = true;
    std::error_code ec;
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", ec)) {
        std::ifstream in(task.path() / "stat");
        const std::string stat((std::istreambuf_iterator<char>(in)), {});
        // The state follows the name, which is in brackets and may hold any character.
        const size_t close = stat.rfind(')');
        if (close == std::string::npos || close + 2 >= stat.size()) continue;
        const char state = stat[close + 2];
        t.any = true;
        allStopped = allStopped && (state == 'T' || state == 't');
        t.busy = t.busy || std::strchr("STtZXI", state) == nullptr;
    }
    t.stopped = t.any && allStopped;
    return t;
}
