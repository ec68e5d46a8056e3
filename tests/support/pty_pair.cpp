#include "tests/support/pty_pair.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace {

int RemainingMs(std::chrono::steady_clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

PtyPair::PtyPair() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0) throw std::runtime_error(std::string("posix_openpt: ") + std::strerror(errno));
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) throw std::runtime_error("grantpt/unlockpt failed");
    char name[128];
    if (ptsname_r(master_, name, sizeof name) != 0) throw std::runtime_error("ptsname failed");
    slave_path_ = name;
    // Without an open slave a closed program side would hang up the master; keep one open
    // (without a lock, so the program's exclusive open still works).
    slave_keep_ = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave_keep_ < 0) throw std::runtime_error(std::string("open slave: ") + std::strerror(errno));
    struct termios t {};
    tcgetattr(master_, &t);
    cfmakeraw(&t);
    tcsetattr(master_, TCSANOW, &t);
}

PtyPair::~PtyPair() {
    if (slave_keep_ >= 0) close(slave_keep_);
    CloseMaster();
}

void PtyPair::CloseMaster() {
    if (master_ >= 0) close(master_);
    master_ = -1;
}

bool PtyPair::WriteAll(const std::string& bytes, int timeout_ms) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        int left = RemainingMs(deadline);
        if (left == 0) return false;
        struct pollfd p {
            master_, POLLOUT, 0
        };
        poll(&p, 1, left);
    }
    return true;
}

std::string PtyPair::ReadExactly(size_t count, int timeout_ms) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    std::string out;
    char buf[65536];
    while (out.size() < count) {
        ssize_t n = read(master_, buf, std::min(sizeof buf, count - out.size()));
        if (n > 0) {
            out.append(buf, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) break;
        int left = RemainingMs(deadline);
        if (left == 0) break;
        struct pollfd p {
            master_, POLLIN, 0
        };
        poll(&p, 1, left);
    }
    return out;
}

std::string PtyPair::ReadAvailable() {
    std::string out;
    char buf[4096];
    for (;;) {
        ssize_t n = read(master_, buf, sizeof buf);
        if (n <= 0) break;
        out.append(buf, static_cast<size_t>(n));
    }
    return out;
}
