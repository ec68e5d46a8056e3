#include "platform/rtl/param_str.h"

#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>

#include <climits>
#include <unistd.h>

namespace {

std::mutex g_lock;
std::optional<std::vector<std::string>> g_override;

std::vector<std::string> ReadProcessCommandLine() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> args;
    std::string current;
    for (char c : all) {
        if (c == '\0') {
            args.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) args.push_back(current);
    // ParamStr(0) names the program file itself, not how it was called.
    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n > 0) {
        if (args.empty()) args.emplace_back();
        args[0].assign(exe, static_cast<size_t>(n));
    }
    return args;
}

const std::vector<std::string>& Args() {
    static const std::vector<std::string> real = ReadProcessCommandLine();
    return g_override ? *g_override : real;
}

}  // namespace

int ParamCount() {
    std::lock_guard<std::mutex> guard(g_lock);
    const auto& args = Args();
    return args.empty() ? 0 : static_cast<int>(args.size()) - 1;
}

std::string ParamStr(int index) {
    std::lock_guard<std::mutex> guard(g_lock);
    const auto& args = Args();
    if (index < 0 || index >= static_cast<int>(args.size())) return {};
    return args[static_cast<size_t>(index)];
}

void SetCommandLineForTesting(std::vector<std::string> argv) {
    std::lock_guard<std::mutex> guard(g_lock);
    if (argv.empty())
        g_override.reset();
    else
        g_override = std::move(argv);
}
