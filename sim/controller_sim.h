#pragma once
// The door controller on a pseudo-terminal: creates the pty, links "COMn" to its slave in the
// ports folder, and from its own thread reads command lines (ended by CR LF) and writes the
// ControllerDevice's answers with CR LF. Time (late answers, the restart's silence) runs on
// the program's clock, so tests on the manual clock decide when it passes. Faults on request.
//
// Answers go out only while a program holds the port (it opens it exclusively), as on a
// serial line where nobody listens.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/controller_device.h"
#include "sim/sim_pty.h"

struct ControllerSimOptions {
    int port = 0;                 // COM number; 0: no link in the ports folder
    std::string ports_dir;        // "": $TOVAK_PORTS or ~/.config/tovak/ports
    bool print_commands = false;  // each command line received as a line on standard output
    int line_fd = -1;             // the master of a pseudo-terminal to serve (-1: one of its own)
};

class ControllerSim {
public:
    explicit ControllerSim(ControllerSimOptions options = {});
    ~ControllerSim();  // stops the thread, closes the pty, removes the link
    ControllerSim(const ControllerSim&) = delete;
    ControllerSim& operator=(const ControllerSim&) = delete;

    void Start();
    void Stop();

    const std::string& SlavePath() const { return pty_.SlavePath(); }
    const std::string& LinkPath() const { return pty_.LinkPath(); }

    // The device, changed or read under the simulator's lock.
    template <class F>
    auto WithDevice(F&& f) {
        std::lock_guard<std::mutex> l(lock_);
        return f(device_);
    }

    // Faults, each for the next command that gets an answer.
    void NoSuccessOnce();                   // "<command>;ERROR"
    void GarbageOnce();                     // bytes that make no answer, then CR LF
    void LateOnce(int delay_ms);            // the answer waits this long on the clock
    void SilentOnce();                      // no answer at all
    void EndlessOnce(size_t bytes = 8192);  // characters without any line end

    // Every command line received so far (CR LF removed).
    std::vector<std::string> Commands() const;
    // Test aid: once it returns, every byte the program wrote before the call has been read
    // and answered, and every answer due on the clock has been written. Answers the number
    // of bytes written to the program so far.
    uint64_t Settle();
    bool ProgramConnected() const;

private:
    enum class Fault { None, NoSuccess, Garbage, Late, Silent, Endless };
    struct Pending {
        uint64_t due;
        std::string bytes;
    };
    void Run();
    void Drain();
    void HandleLine(const std::string& line);
    void WriteDue();

    ControllerSimOptions options_;
    SimPty pty_;
    std::thread thread_;
    std::atomic<bool> stop_{false};

    mutable std::mutex lock_;
    std::condition_variable settled_;
    ControllerDevice device_;
    std::deque<std::pair<Fault, int>> faults_;
    std::vector<std::string> commands_;
    std::deque<Pending> out_;
    std::string line_;
    uint64_t written_ = 0;
    uint64_t settle_asked_ = 0, settle_done_ = 0;
};
