#pragma once
// The door equipment on a pseudo-terminal: creates the pty, links "COMn" to its slave in
// the ports folder, and from its own thread polls every interval, reads the program's one
// answer to each frame and lets the DoorDevice answer it. Misbehaviour on request. It polls
// and waits for answers in real time; the replies it is late with wait on the program's
// clock, as the device's other times do.
//
// The device polls only while a program holds the port (it opens it exclusively); polls
// meanwhile would pile up in the pty and reach the program as a burst of stale frames.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/door_device.h"
#include "sim/sim_pty.h"

struct DoorSimOptions {
    int port = 0;           // COM number; 0: no link in the ports folder
    std::string ports_dir;  // "": $TOVAK_PORTS or ~/.config/tovak/ports
    int poll_ms = 50;
    int answer_timeout_ms = 250;  // how long a frame waits for its answer at most
    bool poll_always = false;     // poll even when no program holds the port
    bool print_requests = false;  // each request of the program as a line on standard output
    int line_fd = -1;             // the master of a pseudo-terminal to serve (-1: one of its own)
};

// One frame the device sent and what came back before its next frame.
struct SimExchange {
    std::string sent;                  // wire bytes
    std::vector<std::string> answers;  // wire frames received (cut at each ETX)
    std::string trailing;              // bytes after the last ETX
    double latency_us = -1;            // last byte written to first byte read
};

class DoorSim {
public:
    explicit DoorSim(DoorState state = DoorState::DoorTerminal(), DoorSimOptions options = {});
    ~DoorSim();  // stops the thread, closes the pty, removes the link
    DoorSim(const DoorSim&) = delete;
    DoorSim& operator=(const DoorSim&) = delete;

    void Start();
    void Stop();

    DoorDevice& Device() { return device_; }
    const std::string& SlavePath() const { return pty_.SlavePath(); }
    const std::string& LinkPath() const { return pty_.LinkPath(); }

    // Misbehaviour, each for the next frame the device sends.
    void BadCheckByteOnce();
    void GarbageBeforeStxOnce(const std::string& garbage = std::string("\x55\xAA", 2));
    void MissingEtxOnce();
    void EscapedCheckByteOnce();  // a poll whose check byte needs escaping (header 00 03)
    void BroadcastOnce(uint8_t bits1, uint8_t bits2);
    void LateOnce(int delay_ms);  // the next reply waits this long on the clock
    // Stop or resume sending. A device asked to fall silent first ends the exchange under
    // way (its answer still comes); Silent() tells when it has fallen silent.
    void SetSilent(bool silent);
    bool Silent() const { return quiet_; }
    void SendRawOnce(const std::string& wire);  // exactly these bytes as the next frame
    void Unplug();                              // closes the master: the program sees a hang-up

    // Every exchange so far (copied), and waiting for more.
    std::vector<SimExchange> Exchanges() const;
    size_t ExchangeCount() const;
    bool WaitForExchanges(size_t count, int timeout_ms) const;
    void ClearExchanges();
    bool ProgramConnected() const;

    // The program's clock when a running simulator last went round its loop (an exchange, or
    // a turn while silent or while no program holds the port), how many simulators run, and
    // how many of them send frames to a program: a test that moves a manual clock keeps it
    // from running ahead of the device or of the program's hearing of it, which would make
    // the device seem silent to the program.
    static uint64_t LastRound() { return last_round_; }
    static int Running() { return running_; }
    static int Talking() { return talking_; }

private:
    void Run();
    void Finish(SimExchange& ex);
    void SetTalking(bool talking);
    bool WaitUntil(std::chrono::steady_clock::time_point t);
    // Until the program's clock reaches `due` (a reply the device is late with); false when
    // stopped.
    bool WaitForTick(uint64_t due);

    DoorDevice device_;
    DoorSimOptions options_;
    SimPty pty_;

    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> silent_{false};
    std::atomic<bool> quiet_{false};  // silent, its last exchange ended

    mutable std::mutex lock_;
    mutable std::condition_variable changed_;
    std::vector<SimExchange> exchanges_;
    enum Fault { None, BadBcc, Garbage, NoEtx, EscBcc, Broadcast, Raw };
    std::vector<std::pair<Fault, std::string>> faults_;
    int late_ms_ = 0;
    bool unplug_ = false;
    static inline std::atomic<uint64_t> last_round_{0};
    static inline std::atomic<int> running_{0};
    static inline std::atomic<int> talking_{0};
    bool talking_now_ = false;  // counted in talking_ (simulator thread only)
};
