#include "sim/controller_device.h"

#include <cstdio>
#include <ctime>
#include <vector>

namespace {

std::vector<std::string> SplitAt(const std::string& text, char sep) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == sep)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

// "YYYY-MM-DD" and "HH:MM:SS" as UTC milliseconds; nullopt when either is no real moment.
std::optional<int64_t> ParseUtc(const std::string& date, const std::string& time) {
    int y, mo, d, h, mi, s;
    char end;
    if (date.size() != 10 || time.size() != 8) return std::nullopt;
    if (std::sscanf(date.c_str(), "%4d-%2d-%2d%c", &y, &mo, &d, &end) != 3) return std::nullopt;
    if (std::sscanf(time.c_str(), "%2d:%2d:%2d%c", &h, &mi, &s, &end) != 3) return std::nullopt;
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    const time_t t = timegm(&tm);
    std::tm back{};
    gmtime_r(&t, &back);
    // timegm rolls 31.02. into March; the controller refuses such dates instead.
    if (back.tm_year != tm.tm_year || back.tm_mon != tm.tm_mon || back.tm_mday != d || back.tm_hour != h ||
        back.tm_min != mi || back.tm_sec != s)
        return std::nullopt;
    return static_cast<int64_t>(t) * 1000;
}

}  // namespace

std::string ControllerDevice::ClockText(int64_t unix_ms) const {
    const int64_t ms = unix_ms + clock_offset_ms_;
    const time_t t = static_cast<time_t>(ms >= 0 ? ms / 1000 : (ms - 999) / 1000);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[80];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d;%02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
}

std::optional<std::string> ControllerDevice::Answer(const std::string& line, uint64_t ticks, int64_t unix_ms) {
    if (silent_left_ > 0) {
        --silent_left_;
        return std::nullopt;
    }
    if (Restarting(ticks)) return std::nullopt;
    const size_t blank = line.find(' ');
    const std::string command = line.substr(0, blank);
    const bool set = blank != std::string::npos;
    const std::string args = set ? line.substr(blank + 1) : std::string();
    const std::string error = command + ";ERROR";
    const std::string ok = ";SUCCESS";

    if (command == "scxFWV" && !set) return command + ";" + firmware + ok;
    if (command == "scxUID" && !set) return command + ";" + uid + ok;
    if (command == "scxSetTime") {
        if (set) {
            const std::vector<std::string> dt = SplitAt(args, ';');
            const std::optional<int64_t> utc = dt.size() == 2 ? ParseUtc(dt[0], dt[1]) : std::nullopt;
            if (!utc) return error;
            clock_offset_ms_ = *utc - unix_ms;
        }
        return command + ";" + ClockText(unix_ms) + ok;
    }
    if (command == "scxNW") {
        if (set) {
            // Blank-separated, an empty value between two blanks included.
            const std::vector<std::string> v = SplitAt(args, ' ');
            if (v.size() != 5 || v[0].empty() || v[1].empty()) return error;
            network.ip = v[0];
            network.mask = v[1];
            network.gateway = v[2];
            network.dns = v[3];
            network.ntp = v[4];
            Restart(ticks);
            return command + ok;
        }
        const ControllerNetwork& n = network;
        return command + ";" + n.ip + ";" + n.mask + ";" + n.gateway + ";" + n.dns + ";" + n.ntp + ";" + n.mac + ok;
    }
    if (command == "scxSetFactDef" && !set) {
        const std::string mac = network.mac;
        network = ControllerNetwork{};
        network.mac = mac;
        clock_offset_ms_ = 0;
        Restart(ticks);
        return command + ok;
    }
    return error;
}
