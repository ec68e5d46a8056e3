#pragma once
// A pseudo-terminal pair for tests: the program opens the slave side by its path (as it
// would a serial device), the test plays the device on the master side.

#include <cstdint>
#include <string>

class PtyPair {
public:
    // Opens the master (non-blocking) and makes the slave openable; throws on failure.
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    int Master() const { return master_; }
    // The slave side, held open by the pair (not exclusively).
    int Slave() const { return slave_keep_; }
    const std::string& SlavePath() const { return slave_path_; }

    // Writes everything, waiting for room as needed (up to `timeout_ms`); false on error.
    bool WriteAll(const std::string& bytes, int timeout_ms = 5000);
    // Reads until `count` bytes arrived or `timeout_ms` passed; returns what came.
    std::string ReadExactly(size_t count, int timeout_ms = 5000);
    // Whatever is there now, without waiting.
    std::string ReadAvailable();
    // Closes the master: the slave sees a hang-up.
    void CloseMaster();

private:
    int master_ = -1;
    int slave_keep_ = -1;  // keeps the slave alive between the program's opens
    std::string slave_path_;
};
