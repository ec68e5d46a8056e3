#pragma once
// One serial device on termios, offering what the dispatcher expects of the Windows serial
// API: a device-control block, escape functions, modem status, error and queue query,
// purge, comm-event waits that another thread can end, and non-blocking read and write.
//
// Calls report failure by returning false (or 0 bytes) and leave a Windows error number in
// LastError() with the system's own text in LastErrorText(). Any thread may call Wake*(),
// SetCommMask() and ClearCommError(); the rest belongs to one thread at a time (the
// dispatcher locks).

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

// Device-control block: the fields of the Windows DCB that the layer uses.
struct DCB {
    uint32_t BaudRate = 9600;
    bool fBinary = true;
    bool fParity = false;
    bool fOutxCtsFlow = false;
    bool fOutxDsrFlow = false;
    uint8_t fDtrControl = 1;  // DTR_CONTROL_*
    bool fDsrSensitivity = false;
    bool fTXContinueOnXoff = true;
    bool fOutX = false;
    bool fInX = false;
    uint8_t fRtsControl = 1;  // RTS_CONTROL_*
    bool fAbortOnError = false;
    uint16_t XonLim = 0;
    uint16_t XoffLim = 0;
    uint8_t ByteSize = 8;
    uint8_t Parity = 0;    // NOPARITY...SPACEPARITY
    uint8_t StopBits = 0;  // ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS
    char XonChar = 17;
    char XoffChar = 19;
};

struct COMSTAT {
    uint32_t cbInQue = 0;
    uint32_t cbOutQue = 0;
};

constexpr uint8_t DTR_CONTROL_DISABLE = 0, DTR_CONTROL_ENABLE = 1, DTR_CONTROL_HANDSHAKE = 2;
constexpr uint8_t RTS_CONTROL_DISABLE = 0, RTS_CONTROL_ENABLE = 1, RTS_CONTROL_HANDSHAKE = 2, RTS_CONTROL_TOGGLE = 3;
constexpr uint8_t NOPARITY = 0, ODDPARITY = 1, EVENPARITY = 2, MARKPARITY = 3, SPACEPARITY = 4;
constexpr uint8_t ONESTOPBIT = 0, ONE5STOPBITS = 1, TWOSTOPBITS = 2;

// Escape functions.
constexpr uint32_t SETXOFF = 1, SETXON = 2, SETRTS = 3, CLRRTS = 4, SETDTR = 5, CLRDTR = 6, SETBREAK = 8, CLRBREAK = 9;
// Comm events.
constexpr uint32_t EV_RXCHAR = 0x0001, EV_RXFLAG = 0x0002, EV_TXEMPTY = 0x0004, EV_CTS = 0x0008, EV_DSR = 0x0010,
                   EV_RLSD = 0x0020, EV_BREAK = 0x0040, EV_ERR = 0x0080, EV_RING = 0x0100, EV_RING_TE = 0x2000;
// Line error flags (ClearCommError); CE_IOE also marks a device that went away.
constexpr uint32_t CE_RXOVER = 0x0001, CE_OVERRUN = 0x0002, CE_RXPARITY = 0x0004, CE_FRAME = 0x0008, CE_BREAK = 0x0010,
                   CE_IOE = 0x0400;
// Modem status (GetCommModemStatus).
constexpr uint32_t MS_CTS_ON = 0x10, MS_DSR_ON = 0x20, MS_RING_ON = 0x40, MS_RLSD_ON = 0x80;
// Purge.
constexpr uint32_t PURGE_TXABORT = 0x1, PURGE_RXABORT = 0x2, PURGE_TXCLEAR = 0x4, PURGE_RXCLEAR = 0x8;

class TCommDevice {
public:
    TCommDevice();
    ~TCommDevice();
    TCommDevice(const TCommDevice&) = delete;
    TCommDevice& operator=(const TCommDevice&) = delete;

    // Opens raw (8N1, no echo, VMIN=VTIME=0), non-blocking and exclusive (TIOCEXCL plus
    // flock, as root passes TIOCEXCL). `name` is "COMn", "\\.\COMn" or a device path.
    bool Open(const std::string& name);
    // Takes over a descriptor someone else opened; it is closed by Close().
    bool Adopt(int fd);
    bool Close();
    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    const std::string& DevicePath() const { return path_; }

    uint32_t LastError() const { return last_error_; }
    const std::string& LastErrorText() const { return last_error_text_; }

    bool GetCommState(DCB& dcb);
    // Settings termios cannot give (1.5 stop bits beside 5 data bits, other sizes, a
    // rate of 0) fail with ERROR_INVALID_PARAMETER and leave the port as it was.
    bool SetCommState(const DCB& dcb);
    bool SetupComm(uint32_t in_queue, uint32_t out_queue);
    // A pseudo-terminal refuses the modem-line calls; that counts as success.
    bool EscapeCommFunction(uint32_t func);
    bool GetCommModemStatus(uint32_t& status);
    // Accumulated line errors since the last call, and the driver's queue counts; only a
    // given `stat` costs the queue queries.
    bool ClearCommError(uint32_t& errors, COMSTAT* stat);
    // Bytes waiting in the driver's input queue: one query (0 when closed or gone).
    uint32_t InQueue() const;
    bool PurgeComm(uint32_t flags);

    // Replaces the event mask and ends a wait in progress (it returns with mask 0).
    bool SetCommMask(uint32_t mask);
    // Blocks until an event of the mask happens or the wait is ended. EV_RXCHAR means that
    // bytes arrived since the last report, as on Windows: bytes left in the driver are not
    // reported again, so whoever leaves them there must come back for them. A device that
    // goes away is reported once as EV_ERR (with CE_IOE in the next ClearCommError); later
    // waits only wait to be ended.
    bool WaitCommEvent(uint32_t& events);

    // Non-blocking: what the driver has, up to `size` (0 when nothing is there).
    uint32_t ReadFile(void* buf, uint32_t size);
    // Non-blocking: what the driver takes now; false on a device error.
    bool WriteFile(const void* buf, uint32_t size, uint32_t& written);
    // Blocks until the device takes more output; false when ended by WakeWriter() or on error.
    bool WaitWritable();
    void WakeWriter();

    bool Lost() const { return lost_.load(); }
    // Why the device went away, device path included; any thread may ask.
    std::string LostText();

private:
    bool Fail(uint32_t code, const std::string& text);
    bool FailErrno(int err, const char* what);
    void MarkLost(int err);
    bool SetupWakes();
    bool ModemCapable();
    bool IsPseudoTerminal() const;
    bool ReadLineCounters(int now[5]);  // error_lock_ held

    int fd_ = -1;
    int wait_wake_ = -1;    // eventfd ending WaitCommEvent
    int write_wake_ = -1;   // eventfd ending WaitWritable
    int arrivals_ = -1;     // epoll: wait_wake_, and fd_ edge-triggered (each arrival once)
    bool arrived_ = false;  // an arrival seen but not yet reported (WaitCommEvent's thread)
    std::string path_;
    std::atomic<uint32_t> mask_{0};
    std::atomic<bool> lost_{false};
    bool lost_reported_ = false;
    std::mutex error_lock_;
    uint32_t pending_errors_ = 0;  // error_lock_, as are the icount_ fields
    std::string lost_text_;        // error_lock_
    uint32_t last_error_ = 0;
    std::string last_error_text_;
    int modem_capable_ = -1;  // unknown, 0, 1
    uint32_t last_modem_ = 0;
    DCB shadow_;
    bool keeps_frame_ =
        true;  // false on a pseudo-terminal (always 8 bits, no parity)  // fields termios does not hold (DTR/DSR handshake, limits)
    bool icount_valid_ = false;
    bool icount_refused_ = false;  // the driver has no line counters (a pseudo-terminal)
    int icount_[5] = {};
};
