#include "platform/comm/port_map.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Number after a prefix, or -1: "ttyUSB12" with "ttyUSB" gives 12.
int NumberAfter(const std::string& s, const std::string& prefix) {
    if (s.size() <= prefix.size() || s.compare(0, prefix.size(), prefix) != 0) return -1;
    int n = 0;
    for (size_t i = prefix.size(); i < s.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(s[i]))) return -1;
        n = n * 10 + (s[i] - '0');
        if (n > 65535) return -1;
    }
    return n;
}

std::string Canonical(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::canonical(path, ec);
    return ec ? path : p.string();
}

// COM numbers of the ports folder's links, with their targets.
std::map<int, std::string> FolderLinks() {
    std::map<int, std::string> links;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(PortsFolder(), ec)) {
        std::string name = e.path().filename().string();
        std::string upper = name;
        std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
        int n = NumberAfter(upper, "COM");
        if (n <= 0) continue;
        std::error_code lec;
        fs::path target = fs::read_symlink(e.path(), lec);
        if (lec) continue;
        if (target.is_relative()) target = e.path().parent_path() / target;
        links[n] = target.string();
    }
    return links;
}

// Unlinked adapters answer to fixed numbers so that the same device keeps its number.
int AdapterNumber(const std::string& device) {
    std::string base = fs::path(device).filename().string();
    int k = NumberAfter(base, "ttyUSB");
    if (k >= 0 && k < 100) return 100 + k;
    k = NumberAfter(base, "ttyACM");
    if (k >= 0 && k < 100) return 200 + k;
    return 0;
}

}  // namespace

std::string PortsFolder() {
    if (const char* env = std::getenv("TOVAK_PORTS"); env && *env) return env;
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.config/tovak/ports";
}

int ComNumberFromName(const std::string& name) {
    std::string s = name;
    if (s.rfind("\\\\.\\", 0) == 0) s = s.substr(4);
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    int n = NumberAfter(s, "COM");
    return n > 0 ? n : 0;
}

std::string ResolvePortName(const std::string& name) {
    int n = ComNumberFromName(name);
    if (n == 0) return name;
    auto links = FolderLinks();
    if (auto it = links.find(n); it != links.end()) return it->second;
    for (const char* pattern : {"/dev/ttyUSB", "/dev/ttyACM"}) {
        std::string dev = pattern + std::to_string(n - (pattern[8] == 'U' ? 100 : 200));
        if (AdapterNumber(dev) == n && fs::exists(dev)) return dev;
    }
    return "/dev/ttyS" + std::to_string(n - 1);
}

std::vector<SerialCommEntry> EnumerateSerialPorts() {
    std::vector<SerialCommEntry> out;
    std::vector<std::string> linked;  // canonical targets already listed
    for (const auto& [n, target] : FolderLinks()) {
        std::error_code ec;
        if (!fs::exists(target, ec)) continue;  // a dangling link is an unplugged adapter
        out.push_back({"\\Device\\VCP" + std::to_string(out.size()) + " " + target, "COM" + std::to_string(n), target});
        linked.push_back(Canonical(target));
    }
    // by-id names tell the adapters apart; the plain device names catch the rest.
    std::map<std::string, std::string> adapters;  // canonical device -> descriptive path
    std::error_code ec;
    for (const auto& e : fs::directory_iterator("/dev/serial/by-id", ec))
        adapters.emplace(Canonical(e.path().string()), e.path().string());
    for (const auto& e : fs::directory_iterator("/dev", ec)) {
        std::string base = e.path().filename().string();
        if (NumberAfter(base, "ttyUSB") >= 0 || NumberAfter(base, "ttyACM") >= 0)
            adapters.emplace(e.path().string(), e.path().string());
    }
    std::vector<std::pair<int, SerialCommEntry>> unlinked;
    for (const auto& [device, label] : adapters) {
        if (std::find(linked.begin(), linked.end(), device) != linked.end()) continue;
        int n = AdapterNumber(device);
        if (n == 0) continue;
        unlinked.push_back({n, {"", "COM" + std::to_string(n), device}});
        unlinked.back().second.Name = label;
    }
    std::sort(unlinked.begin(), unlinked.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [n, entry] : unlinked) {
        entry.Name = "\\Device\\VCP" + std::to_string(out.size()) + " " + entry.Name;
        out.push_back(std::move(entry));
    }
    return out;
}
