#pragma once
// The device end of a simulated serial line: a pseudo-terminal whose other end the program
// opens as COMn through a link in the ports folder, plus a wake-up pipe for the thread that
// serves the line. The pseudo-terminal is its own, or one whose master a caller made and
// handed over (a test that watches both ends of the line while the simulator serves it).

#include <string>

class SimPty {
public:
    // Port 0 makes no link. `master`: the open master of a pseudo-terminal to serve, taken
    // over; -1 makes one. Throws std::runtime_error when the pty or the link cannot be made,
    // or `master` is no pseudo-terminal's master.
    SimPty(int port, const std::string& portsDir, int master = -1);
    ~SimPty();
    SimPty(const SimPty&) = delete;
    SimPty& operator=(const SimPty&) = delete;

    int Master() const { return master_; }
    int WakeFd() const { return wake_[0]; }
    const std::string& SlavePath() const { return slave_path_; }
    const std::string& LinkPath() const { return link_path_; }

    // Ends a wait of the serving thread on WakeFd().
    void Wake(char c = 1);
    // The adapter pulled: the program's end of the line hangs up.
    void CloseMaster();
    // Drops what the simulator wrote that no program has read, so the next program to open
    // the line does not find it.
    void DropUnreadOutput();
    // The program opens its port exclusively and gives that up on close.
    bool ProgramHasPortOpen() const;

private:
    void Release();

    int master_ = -1;
    int slave_keep_ = -1;
    std::string slave_path_;
    std::string link_path_;
    int wake_[2] = {-1, -1};
};
