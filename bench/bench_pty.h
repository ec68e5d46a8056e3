#pragma once
// A pseudo-terminal for the benchmarks, without the test support library: the program (or a
// bare reader) opens the slave by its path, the benchmark plays the device on the master.

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <termios.h>
#include <unistd.h>

class BenchPty {
public:
    BenchPty() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        char name[128];
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0 ||
            ptsname_r(master_, name, sizeof name) != 0)
            throw std::runtime_error("no pseudo-terminal");
        slave_path_ = name;
        // An open slave keeps the master from hanging up between the program's opens.
        keep_ = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        struct termios t {};
        tcgetattr(master_, &t);
        cfmakeraw(&t);
        tcsetattr(master_, TCSANOW, &t);
        if (keep_ >= 0) {
            tcgetattr(keep_, &t);
            cfmakeraw(&t);
            tcsetattr(keep_, TCSANOW, &t);
        }
    }
    ~BenchPty() {
        if (keep_ >= 0) close(keep_);
        if (master_ >= 0) close(master_);
    }
    BenchPty(const BenchPty&) = delete;
    BenchPty& operator=(const BenchPty&) = delete;

    int Master() const { return master_; }
    const std::string& SlavePath() const { return slave_path_; }

    // Writes everything to `fd`, waiting for room.
    static bool WriteAll(int fd, const std::string& bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<size_t>(n);
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                return false;
            } else {
                struct pollfd p {
                    fd, POLLOUT, 0
                };
                poll(&p, 1, 100);
            }
        }
        return true;
    }
    bool WriteAll(const std::string& bytes) { return WriteAll(master_, bytes); }

private:
    int master_ = -1;
    int keep_ = -1;
    std::string slave_path_;
};
