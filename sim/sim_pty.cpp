#include "sim/sim_pty.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string DefaultPortsDir() {
    if (const char* env = std::getenv("TOVAK_PORTS"); env && *env) return env;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : ".") + "/.config/tovak/ports";
}

}  // namespace

SimPty::SimPty(int port, const std::string& portsDir, int master) {
    if (master >= 0) {
        unsigned number = 0;
        if (ioctl(master, TIOCGPTN, &number) != 0)
            throw std::runtime_error("descriptor " + std::to_string(master) + " is no pseudo-terminal's master");
        master_ = master;
        fcntl(master_, F_SETFD, FD_CLOEXEC);
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    } else {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (master_ < 0) throw std::runtime_error(std::string("posix_openpt: ") + std::strerror(errno));
    }
    char name[128];
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 || ptsname_r(master_, name, sizeof name) != 0) {
        close(master_);
        throw std::runtime_error("pty set-up failed");
    }
    slave_path_ = name;
    // Held open so the master does not hang up between the program's opens; raw, so the line
    // discipline neither echoes nor edits what passes meanwhile.
    slave_keep_ = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    for (int fd : {slave_keep_, master_}) {
        struct termios t {};
        if (fd >= 0 && tcgetattr(fd, &t) == 0) {
            cfmakeraw(&t);
            tcsetattr(fd, TCSANOW, &t);
        }
    }
    if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) wake_[0] = wake_[1] = -1;
    if (port > 0) {
        const std::string dir = portsDir.empty() ? DefaultPortsDir() : portsDir;
        std::error_code ec;
        fs::create_directories(dir, ec);
        link_path_ = dir + "/COM" + std::to_string(port);
        fs::remove(link_path_, ec);
        fs::create_symlink(slave_path_, link_path_, ec);
        if (ec) {
            const std::string why = "cannot link " + link_path_ + ": " + ec.message();
            link_path_.clear();
            Release();
            throw std::runtime_error(why);
        }
    }
}

SimPty::~SimPty() { Release(); }

void SimPty::Release() {
    if (!link_path_.empty()) {
        std::error_code ec;
        // Only our own link: another simulator may have taken the name meanwhile.
        if (fs::is_symlink(link_path_, ec) && fs::read_symlink(link_path_, ec) == slave_path_)
            fs::remove(link_path_, ec);
        link_path_.clear();
    }
    CloseMaster();
    if (slave_keep_ >= 0) close(slave_keep_);
    slave_keep_ = -1;
    for (int& fd : wake_) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
}

void SimPty::Wake(char c) {
    if (wake_[1] >= 0) [[maybe_unused]]
        ssize_t n = write(wake_[1], &c, 1);
}

void SimPty::CloseMaster() {
    if (master_ >= 0) close(master_);
    master_ = -1;
}

void SimPty::DropUnreadOutput() {
    if (slave_keep_ >= 0) tcflush(slave_keep_, TCIFLUSH);
}

bool SimPty::ProgramHasPortOpen() const {
    int excl = 0;
    if (slave_keep_ < 0 || ioctl(slave_keep_, TIOCGEXCL, &excl) != 0) return true;
    return excl != 0;
}
