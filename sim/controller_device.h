#pragma once
// The door controller's side of the text channel, without any port: takes one command line
// (CR LF removed) and answers "<command>;<values>;SUCCESS", or "<command>;ERROR" for what it
// cannot carry out. It keeps a UTC clock and its network settings; setting the network or the
// factory defaults restarts it, and while it restarts it answers nothing.

#include <cstdint>
#include <optional>
#include <string>

struct ControllerNetwork {
    std::string ip = "192.168.1.50";
    std::string mask = "255.255.255.0";
    std::string gateway = "192.168.1.1";
    std::string dns = "192.168.1.1";
    std::string ntp = "pool.ntp.org";
    std::string mac = "00:1a:2b:3c:4d:5e";  // lower case, as the controller writes it
};

class ControllerDevice {
public:
    std::string firmware = "3.2.7";
    std::string uid = "STMX-1.12";
    ControllerNetwork network;
    int restart_ms = 5000;  // silence after a network setting or a factory reset
    // Above 0: the restart ends once this many commands went unanswered, whatever the time.
    int restart_commands = 0;

    // The answer to `line` at `ticks` (the simulator's clock) with the PC world's UTC time
    // `unix_ms`; nullopt while the controller restarts.
    std::optional<std::string> Answer(const std::string& line, uint64_t ticks, int64_t unix_ms);

    bool Restarting(uint64_t ticks) const { return ticks < restart_until_ || silent_left_ > 0; }
    // The controller's own UTC time as "YYYY-MM-DD" and "HH:MM:SS".
    std::string ClockText(int64_t unix_ms) const;

private:
    void Restart(uint64_t ticks) {
        if (restart_commands > 0)
            silent_left_ = restart_commands;
        else
            restart_until_ = ticks + static_cast<uint64_t>(restart_ms);
    }

    int64_t clock_offset_ms_ = 0;  // controller time minus the PC world's UTC
    uint64_t restart_until_ = 0;
    int silent_left_ = 0;
};
