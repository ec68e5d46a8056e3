#include "platform/comm/comm_device.h"

#include "platform/comm/comm_baud.h"
#include "platform/comm/comm_errors.h"
#include "platform/comm/port_map.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace {

struct SpeedEntry {
    uint32_t rate;
    speed_t code;
};

constexpr SpeedEntry kSpeeds[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},         {150, B150},
    {200, B200},         {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {3000000, B3000000}, {4000000, B4000000},
};

bool StandardSpeed(uint32_t rate, speed_t& code) {
    for (const auto& s : kSpeeds)
        if (s.rate == rate) {
            code = s.code;
            return true;
        }
    return false;
}

uint32_t RateOfSpeed(speed_t code) {
    for (const auto& s : kSpeeds)
        if (s.code == code) return s.rate;
    return 0;
}

// A pseudo-terminal (or a driver without modem lines) refuses these calls.
bool Refused(int err) { return err == ENOTTY || err == EINVAL; }

void Drain(int fd) {
    uint64_t v;
    while (read(fd, &v, sizeof v) > 0) {
    }
}

void Poke(int fd) {
    uint64_t one = 1;
    ssize_t r = write(fd, &one, sizeof one);
    (void)r;
}

}  // namespace

TCommDevice::TCommDevice() = default;

TCommDevice::~TCommDevice() { Close(); }

bool TCommDevice::Fail(uint32_t code, const std::string& text) {
    last_error_ = code;
    last_error_text_ = text;
    return false;
}

bool TCommDevice::FailErrno(int err, const char* what) {
    uint32_t code = WinErrorFromErrno(err, CommCall::Io);
    return Fail(code, std::string(what) + ": " + std::strerror(err));
}

void TCommDevice::MarkLost(int err) {
    if (lost_.exchange(true)) return;
    std::lock_guard<std::mutex> guard(error_lock_);
    pending_errors_ |= CE_IOE;
    last_error_ = ERROR_DEVICE_NOT_CONNECTED;
    last_error_text_ = path_ + ": device gone (" + std::string(std::strerror(err ? err : EIO)) + ")";
    lost_text_ = last_error_text_;
}

std::string TCommDevice::LostText() {
    std::lock_guard<std::mutex> guard(error_lock_);
    return lost_text_;
}

bool TCommDevice::SetupWakes() {
    wait_wake_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    write_wake_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    arrivals_ = epoll_create1(EPOLL_CLOEXEC);
    // The device is watched edge-triggered: the driver signals each arrival once, so bytes
    // that wait in it for room in the reader's ring do not wake the waiter again and again.
    // An arrival before the first wait is reported by the first wait (the registration
    // finds the bytes already there).
    struct epoll_event wake {
        EPOLLIN, {}
    };
    wake.data.fd = wait_wake_;
    struct epoll_event device {
        EPOLLIN | EPOLLET, {}
    };
    device.data.fd = fd_;
    if (wait_wake_ < 0 || write_wake_ < 0 || arrivals_ < 0 ||
        epoll_ctl(arrivals_, EPOLL_CTL_ADD, wait_wake_, &wake) != 0 ||
        epoll_ctl(arrivals_, EPOLL_CTL_ADD, fd_, &device) != 0) {
        int err = errno;
        for (int* f : {&wait_wake_, &write_wake_, &arrivals_}) {
            if (*f >= 0) close(*f);
            *f = -1;
        }
        return FailErrno(err, "eventfd");
    }
    arrived_ = false;
    return true;
}

bool TCommDevice::Open(const std::string& name) {
    if (IsOpen()) return Fail(ERROR_ACCESS_DENIED, "device already open");
    path_ = ResolvePortName(name);
    int fd = open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        int err = errno;
        std::string text = path_ + ": " + std::strerror(err);
        if (err == EACCES || err == EPERM) text += " (is the user in the dialout group?)";
        return Fail(WinErrorFromErrno(err, CommCall::Open), text);
    }
    if (!isatty(fd)) {
        close(fd);
        return Fail(ERROR_FILE_NOT_FOUND, path_ + ": not a serial device");
    }
    // TIOCEXCL keeps out other users but not root; flock keeps out every program that asks.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int err = errno;
        close(fd);
        return Fail(WinErrorFromErrno(err, CommCall::Lock), path_ + ": in use by another program");
    }
    ioctl(fd, TIOCEXCL);
    struct termios t {};
    if (tcgetattr(fd, &t) != 0) {
        int err = errno;
        close(fd);
        return Fail(WinErrorFromErrno(err, CommCall::Open), path_ + ": " + std::strerror(err));
    }
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    tcsetattr(fd, TCSANOW, &t);
    // USB adapters otherwise hold short replies for up to 16 ms.
    struct serial_struct ss {};
    if (ioctl(fd, TIOCGSERIAL, &ss) == 0) {
        ss.flags |= ASYNC_LOW_LATENCY;
        ioctl(fd, TIOCSSERIAL, &ss);
    }
    fd_ = fd;
    if (!SetupWakes()) {
        close(fd_);
        fd_ = -1;
        return false;
    }
    lost_ = false;
    lost_reported_ = false;
    pending_errors_ = 0;
    modem_capable_ = -1;
    keeps_frame_ = true;
    shadow_ = DCB{};
    icount_valid_ = false;
    icount_refused_ = false;
    mask_ = 0;
    last_error_ = 0;
    last_error_text_.clear();
    return true;
}

bool TCommDevice::Adopt(int fd) {
    if (IsOpen() || fd < 0) return Fail(ERROR_INVALID_HANDLE, "no device handle");
    int flags = fcntl(fd, F_GETFL);
    if (flags < 0) return FailErrno(errno, "adopt");
    fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    fd_ = fd;
    path_ = "fd:" + std::to_string(fd);
    if (!SetupWakes()) {
        fd_ = -1;
        return false;
    }
    lost_ = false;
    lost_reported_ = false;
    icount_valid_ = false;
    icount_refused_ = false;
    return true;
}

bool TCommDevice::Close() {
    if (fd_ < 0) return true;
    ioctl(fd_, TIOCNXCL);
    int r = close(fd_);
    fd_ = -1;
    for (int* f : {&arrivals_, &wait_wake_, &write_wake_}) {
        if (*f >= 0) close(*f);
        *f = -1;
    }
    if (r != 0) return FailErrno(errno, "close");
    return true;
}

bool TCommDevice::GetCommState(DCB& dcb) {
    if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE, "device not open");
    struct termios t {};
    if (tcgetattr(fd_, &t) != 0) return FailErrno(errno, "tcgetattr");
    dcb = shadow_;
    uint32_t rate = GetBaudRate(fd_);
    dcb.BaudRate = rate ? rate : RateOfSpeed(cfgetospeed(&t));
    switch (t.c_cflag & CSIZE) {
        case CS5: dcb.ByteSize = 5; break;
        case CS6: dcb.ByteSize = 6; break;
        case CS7: dcb.ByteSize = 7; break;
        default: dcb.ByteSize = 8; break;
    }
    if (!(t.c_cflag & PARENB))
        dcb.Parity = NOPARITY;
    else if (t.c_cflag & CMSPAR)
        dcb.Parity = (t.c_cflag & PARODD) ? MARKPARITY : SPACEPARITY;
    else
        dcb.Parity = (t.c_cflag & PARODD) ? ODDPARITY : EVENPARITY;
    if (!(t.c_cflag & CSTOPB))
        dcb.StopBits = ONESTOPBIT;
    else
        dcb.StopBits = dcb.ByteSize == 5 ? ONE5STOPBITS : TWOSTOPBITS;
    if (!keeps_frame_) {
        dcb.ByteSize = shadow_.ByteSize;
        dcb.Parity = shadow_.Parity;
        dcb.StopBits = shadow_.StopBits;
    }
    dcb.fOutX = (t.c_iflag & IXON) != 0;
    dcb.fInX = (t.c_iflag & IXOFF) != 0;
    dcb.XonChar = static_cast<char>(t.c_cc[VSTART]);
    dcb.XoffChar = static_cast<char>(t.c_cc[VSTOP]);
    return true;
}

bool TCommDevice::SetCommState(const DCB& dcb) {
    if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE, "device not open");
    struct termios t {};
    if (tcgetattr(fd_, &t) != 0) return FailErrno(errno, "tcgetattr");
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    switch (dcb.ByteSize) {
        case 5: t.c_cflag |= CS5; break;
        case 6: t.c_cflag |= CS6; break;
        case 7: t.c_cflag |= CS7; break;
        case 8: t.c_cflag |= CS8; break;
        default: return Fail(ERROR_INVALID_PARAMETER, "data bits " + std::to_string(dcb.ByteSize) + " not supported");
    }
    switch (dcb.Parity) {
        case NOPARITY: break;
        case ODDPARITY: t.c_cflag |= PARENB | PARODD; break;
        case EVENPARITY: t.c_cflag |= PARENB; break;
        case MARKPARITY: t.c_cflag |= PARENB | PARODD | CMSPAR; break;
        case SPACEPARITY: t.c_cflag |= PARENB | CMSPAR; break;
        default: return Fail(ERROR_INVALID_PARAMETER, "parity " + std::to_string(dcb.Parity) + " not supported");
    }
    // The UART sends 1.5 stop bits for "two" when a character has 5 data bits; that is the
    // only way termios gives 1.5, and then it cannot give 2.
    switch (dcb.StopBits) {
        case ONESTOPBIT: break;
        case ONE5STOPBITS:
            if (dcb.ByteSize != 5) return Fail(ERROR_INVALID_PARAMETER, "1.5 stop bits need 5 data bits");
            t.c_cflag |= CSTOPB;
            break;
        case TWOSTOPBITS:
            if (dcb.ByteSize == 5) return Fail(ERROR_INVALID_PARAMETER, "2 stop bits not possible with 5 data bits");
            t.c_cflag |= CSTOPB;
            break;
        default: return Fail(ERROR_INVALID_PARAMETER, "stop bits not supported");
    }
    if (dcb.fOutxCtsFlow || dcb.fRtsControl == RTS_CONTROL_HANDSHAKE) t.c_cflag |= CRTSCTS;
    if (dcb.fOutX) t.c_iflag |= IXON;
    if (dcb.fInX) t.c_iflag |= IXOFF;
    t.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
    if (dcb.BaudRate == 0) return Fail(ERROR_INVALID_PARAMETER, "baud rate 0");
    speed_t code;
    bool standard = StandardSpeed(dcb.BaudRate, code);
    if (standard) {
        cfsetispeed(&t, code);
        cfsetospeed(&t, code);
    }
    if (tcsetattr(fd_, TCSANOW, &t) != 0) {
        int err = errno;
        // A pseudo-terminal has no framing and may refuse parity outright; it carries
        // whole bytes either way.
        if (err != EINVAL || !IsPseudoTerminal()) return FailErrno(err, "tcsetattr");
        t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR);
        t.c_cflag |= CS8;
        if (tcsetattr(fd_, TCSANOW, &t) != 0) return FailErrno(errno, "tcsetattr");
    }
    if (!standard) {
        if (int err = SetBaudRate(fd_, dcb.BaudRate); err != 0)
            return Fail(ERROR_INVALID_PARAMETER,
                        "baud rate " + std::to_string(dcb.BaudRate) + ": " + std::strerror(err));
    }
    shadow_ = dcb;
    // A pseudo-terminal keeps neither character size nor parity; it then reports the
    // values it was given, so that an unchanged setting reads back unchanged.
    struct termios back {};
    keeps_frame_ = !IsPseudoTerminal() && tcgetattr(fd_, &back) == 0 &&
                   (back.c_cflag & (CSIZE | PARENB)) == (t.c_cflag & (CSIZE | PARENB));
    return true;
}

bool TCommDevice::SetupComm(uint32_t, uint32_t) {
    // The kernel's queues have fixed sizes; the dispatcher's rings do the buffering.
    return fd_ >= 0 ? true : Fail(ERROR_INVALID_HANDLE, "device not open");
}

bool TCommDevice::EscapeCommFunction(uint32_t func) {
    if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE, "device not open");
    int r = 0;
    int bits;
    switch (func) {
        case SETDTR:
            bits = TIOCM_DTR;
            r = ioctl(fd_, TIOCMBIS, &bits);
            break;
        case CLRDTR:
            bits = TIOCM_DTR;
            r = ioctl(fd_, TIOCMBIC, &bits);
            break;
        case SETRTS:
            bits = TIOCM_RTS;
            r = ioctl(fd_, TIOCMBIS, &bits);
            break;
        case CLRRTS:
            bits = TIOCM_RTS;
            r = ioctl(fd_, TIOCMBIC, &bits);
            break;
        case SETBREAK: r = ioctl(fd_, TIOCSBRK); break;
        case CLRBREAK: r = ioctl(fd_, TIOCCBRK); break;
        case SETXOFF: r = tcflow(fd_, TCOOFF); break;
        case SETXON: r = tcflow(fd_, TCOON); break;
        default: return Fail(ERROR_INVALID_PARAMETER, "unknown escape function");
    }
    if (r != 0 && !Refused(errno)) return FailErrno(errno, "modem line");
    return true;
}

bool TCommDevice::IsPseudoTerminal() const {
    struct stat st {};
    if (fd_ < 0 || fstat(fd_, &st) != 0 || !S_ISCHR(st.st_mode)) return false;
    unsigned m = major(st.st_rdev);
    return m >= 136 && m <= 143;  // Unix98 pseudo-terminal slaves
}

bool TCommDevice::ModemCapable() {
    if (modem_capable_ < 0) {
        int bits;
        modem_capable_ = (fd_ >= 0 && ioctl(fd_, TIOCMGET, &bits) == 0) ? 1 : 0;
    }
    return modem_capable_ == 1;
}

bool TCommDevice::GetCommModemStatus(uint32_t& status) {
    status = 0;
    if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE, "device not open");
    int bits = 0;
    if (ioctl(fd_, TIOCMGET, &bits) != 0) {
        if (Refused(errno)) return true;
        return FailErrno(errno, "modem status");
    }
    if (bits & TIOCM_CTS) status |= MS_CTS_ON;
    if (bits & TIOCM_DSR) status |= MS_DSR_ON;
    if (bits & TIOCM_RI) status |= MS_RING_ON;
    if (bits & TIOCM_CD) status |= MS_RLSD_ON;
    return true;
}

bool TCommDevice::ReadLineCounters(int now[5]) {
    // A pseudo-terminal (and many USB adapters) refuse the counters every time; once
    // refused, the descriptor is not asked again.
    if (icount_refused_) return false;
    struct serial_icounter_struct ic {};
    if (ioctl(fd_, TIOCGICOUNT, &ic) != 0) {
        if (Refused(errno)) icount_refused_ = true;
        return false;
    }
    const int got[5] = {ic.buf_overrun, ic.overrun, ic.parity, ic.frame, ic.brk};
    std::memcpy(now, got, sizeof got);
    return true;
}

bool TCommDevice::ClearCommError(uint32_t& errors, COMSTAT* stat) {
    errors = 0;
    if (stat) *stat = COMSTAT{};
    if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE, "device not open");
    {
        // Writers query too, beside the dispatch thread: each change is reported to one of them.
        std::lock_guard<std::mutex> guard(error_lock_);
        int now[5];
        if (ReadLineCounters(now)) {
            const uint32_t flags[5] = {CE_RXOVER, CE_OVERRUN, CE_RXPARITY, CE_FRAME, CE_BREAK};
            if (icount_valid_)
                for (int i = 0; i < 5; ++i)
                    if (now[i] != icount_[i]) errors |= flags[i];
            std::memcpy(icount_, now, sizeof now);
            icount_valid_ = true;
        }
        errors |= pending_errors_;
        pending_errors_ = 0;
    }
    if (stat && !lost_) {
        stat->cbInQue = InQueue();
        int n = 0;
        if (ioctl(fd_, TIOCOUTQ, &n) == 0 && n > 0) stat->cbOutQue = static_cast<uint32_t>(n);
    }
    return true;
}

uint32_t TCommDevice::InQueue() const {
    int n = 0;
    if (fd_ < 0 || lost_ || ioctl(fd_, FIONREAD, &n) != 0 || n < 0) return 0;
    return static_cast<uint32_t>(n);
}

bool TCommDevice::PurgeComm(uint32_t flags) {
    if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE, "device not open");
    int r = 0;
    if ((flags & PURGE_TXCLEAR) && (flags & PURGE_RXCLEAR))
        r = tcflush(fd_, TCIOFLUSH);
    else if (flags & PURGE_TXCLEAR)
        r = tcflush(fd_, TCOFLUSH);
    else if (flags & PURGE_RXCLEAR)
        r = tcflush(fd_, TCIFLUSH);
    if (flags & PURGE_TXABORT) WakeWriter();
    if (r != 0 && !lost_) return FailErrno(errno, "tcflush");
    return true;
}

bool TCommDevice::SetCommMask(uint32_t mask) {
    if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE, "device not open");
    mask_ = mask;
    Poke(wait_wake_);
    return true;
}

bool TCommDevice::WaitCommEvent(uint32_t& events) {
    events = 0;
    if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE, "device not open");
    constexpr uint32_t kModemEvents = EV_CTS | EV_DSR | EV_RLSD | EV_RING | EV_RING_TE | EV_BREAK | EV_ERR;
    for (;;) {
        uint32_t mask = mask_.load();
        if (lost_) {
            if (!lost_reported_) {
                lost_reported_ = true;
                events = EV_ERR;
                return true;
            }
            // Reported once: from now on only an end of the wait is awaited.
            struct pollfd p {
                wait_wake_, POLLIN, 0
            };
            while (poll(&p, 1, -1) < 0 && errno == EINTR) {
            }
            Drain(wait_wake_);
            return true;
        }
        // An arrival is kept until a wait whose mask asks for it: each is signalled only once.
        if ((mask & EV_RXCHAR) && arrived_) {
            arrived_ = false;
            events = EV_RXCHAR;
            return true;
        }
        const bool modem = (mask & kModemEvents) && ModemCapable();
        struct epoll_event got[2];
        int r = epoll_wait(arrivals_, got, 2, modem ? 100 : -1);
        if (r < 0) {
            if (errno == EINTR) continue;
            return FailErrno(errno, "epoll_wait");
        }
        bool ended = false;
        for (int i = 0; i < r; ++i) {
            if (got[i].data.fd == wait_wake_) {
                ended = true;
            } else if (got[i].events & (EPOLLHUP | EPOLLERR)) {
                MarkLost(EIO);
            } else if (got[i].events & EPOLLIN) {
                arrived_ = true;
            }
        }
        if (ended) {
            Drain(wait_wake_);
            return true;  // ended: events stay 0; an arrival seen beside it waits for the next wait
        }
        if (lost_) continue;
        if ((mask & EV_RXCHAR) && arrived_) {
            arrived_ = false;
            events |= EV_RXCHAR;
        }
        if (modem) {
            uint32_t lines = 0;
            if (GetCommModemStatus(lines)) {
                uint32_t changed = lines ^ last_modem_;
                last_modem_ = lines;
                if (changed & MS_CTS_ON) events |= EV_CTS;
                if (changed & MS_DSR_ON) events |= EV_DSR;
                if (changed & MS_RLSD_ON) events |= EV_RLSD;
                if ((changed & MS_RING_ON) && !(lines & MS_RING_ON)) events |= EV_RING_TE;
                if ((changed & MS_RING_ON) && (lines & MS_RING_ON)) events |= EV_RING;
            }
            std::lock_guard<std::mutex> guard(error_lock_);
            int now[5];
            if (ReadLineCounters(now) && icount_valid_) {
                if (now[4] != icount_[4]) events |= EV_BREAK;
                if (now[3] != icount_[3] || now[2] != icount_[2] || now[1] != icount_[1] || now[0] != icount_[0])
                    events |= EV_ERR;
            }
        }
        events &= mask;
        if (events) return true;
    }
}

uint32_t TCommDevice::ReadFile(void* buf, uint32_t size) {
    if (fd_ < 0 || size == 0 || lost_) return 0;
    for (;;) {
        ssize_t n = read(fd_, buf, size);
        if (n > 0) return static_cast<uint32_t>(n);
        if (n == 0) {
            // With VMIN=VTIME=0 an empty queue also reads 0; only a hang-up says the
            // device has gone.
            struct pollfd p {
                fd_, POLLIN, 0
            };
            if (poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) MarkLost(EIO);
            return 0;
        }
        if (errno == EINTR) continue;
        if (errno == EAGAIN) return 0;
        if (errno == EIO || errno == ENXIO || errno == ENODEV) MarkLost(errno);
        FailErrno(errno, "read");
        return 0;
    }
}

bool TCommDevice::WriteFile(const void* buf, uint32_t size, uint32_t& written) {
    written = 0;
    if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE, "device not open");
    if (lost_) return Fail(ERROR_DEVICE_NOT_CONNECTED, last_error_text_);
    for (;;) {
        ssize_t n = write(fd_, buf, size);
        if (n >= 0) {
            written = static_cast<uint32_t>(n);
            return true;
        }
        if (errno == EINTR) continue;
        if (errno == EAGAIN) return true;
        int err = errno;
        if (err == EIO || err == ENXIO || err == ENODEV) MarkLost(err);
        return FailErrno(err, "write");
    }
}

bool TCommDevice::WaitWritable() {
    if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE, "device not open");
    for (;;) {
        if (lost_) return Fail(ERROR_DEVICE_NOT_CONNECTED, "device gone");
        struct pollfd p[2] = {{write_wake_, POLLIN, 0}, {fd_, POLLOUT, 0}};
        int r = poll(p, 2, -1);
        if (r < 0) {
            if (errno == EINTR) continue;
            return FailErrno(errno, "poll");
        }
        if (p[0].revents & POLLIN) {
            Drain(write_wake_);
            return Fail(ERROR_OPERATION_ABORTED, "write wait ended");
        }
        if (p[1].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            MarkLost(EIO);
            continue;
        }
        if (p[1].revents & POLLOUT) return true;
    }
}

void TCommDevice::WakeWriter() {
    if (write_wake_ >= 0) Poke(write_wake_);
}
