#include "platform/comm/comm_device.h"
#include "platform/comm/comm_errors.h"
#include "platform/comm/port_map.h"
#include "tests/support/pty_pair.h"
#include "tests/support/temp_folder.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <gtest/gtest.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

DCB Line(uint32_t baud, uint8_t bits, uint8_t parity, uint8_t stop) {
    DCB d;
    d.BaudRate = baud;
    d.ByteSize = bits;
    d.Parity = parity;
    d.StopBits = stop;
    return d;
}

}  // namespace

TEST(CommDevice, OpensRawAndAppliesLineSettingsTheMasterSees) {
    PtyPair pty;
    TCommDevice dev;
    ASSERT_TRUE(dev.Open(pty.SlavePath())) << dev.LastErrorText();
    ASSERT_TRUE(dev.SetCommState(Line(19200, 8, NOPARITY, ONESTOPBIT))) << dev.LastErrorText();
    struct termios t {};
    ASSERT_EQ(0, tcgetattr(pty.Master(), &t));
    EXPECT_EQ(B19200, cfgetospeed(&t));
    EXPECT_EQ(static_cast<tcflag_t>(CS8), t.c_cflag & CSIZE);
    EXPECT_EQ(0u, t.c_cflag & (PARENB | CSTOPB | CRTSCTS));
    EXPECT_EQ(0u, t.c_lflag & (ICANON | ECHO | ISIG));
    EXPECT_EQ(0u, t.c_oflag & OPOST);
    EXPECT_EQ(0, t.c_cc[VMIN]);
    EXPECT_EQ(0, t.c_cc[VTIME]);

    ASSERT_TRUE(dev.SetCommState(Line(115200, 7, MARKPARITY, TWOSTOPBITS)));
    ASSERT_EQ(0, tcgetattr(pty.Master(), &t));
    EXPECT_EQ(B115200, cfgetospeed(&t));
    // A pseudo-terminal drops character size and parity enable; the rest it keeps.
    EXPECT_EQ(static_cast<tcflag_t>(PARODD | CMSPAR | CSTOPB), t.c_cflag & (PARODD | CMSPAR | CSTOPB));
    DCB back;
    ASSERT_TRUE(dev.GetCommState(back));
    EXPECT_EQ(115200u, back.BaudRate);
    EXPECT_EQ(7, back.ByteSize);
    EXPECT_EQ(MARKPARITY, back.Parity);
    EXPECT_EQ(TWOSTOPBITS, back.StopBits);

    ASSERT_TRUE(dev.SetCommState(Line(9600, 5, SPACEPARITY, ONE5STOPBITS)));
    ASSERT_TRUE(dev.GetCommState(back));
    EXPECT_EQ(SPACEPARITY, back.Parity);
    EXPECT_EQ(ONE5STOPBITS, back.StopBits);

    // A rate without a B-constant goes through termios2.
    ASSERT_TRUE(dev.SetCommState(Line(14400, 8, EVENPARITY, ONESTOPBIT))) << dev.LastErrorText();
    ASSERT_TRUE(dev.GetCommState(back));
    EXPECT_EQ(14400u, back.BaudRate);
    EXPECT_EQ(EVENPARITY, back.Parity);
}

TEST(CommDevice, RefusesSettingsTermiosCannotGiveAndKeepsThePort) {
    PtyPair pty;
    TCommDevice dev;
    ASSERT_TRUE(dev.Open(pty.SlavePath()));
    ASSERT_TRUE(dev.SetCommState(Line(19200, 8, NOPARITY, ONESTOPBIT)));
    EXPECT_FALSE(dev.SetCommState(Line(19200, 8, NOPARITY, ONE5STOPBITS)));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, dev.LastError());
    EXPECT_FALSE(dev.SetCommState(Line(19200, 9, NOPARITY, ONESTOPBIT)));
    EXPECT_FALSE(dev.SetCommState(Line(19200, 8, 7, ONESTOPBIT)));
    EXPECT_FALSE(dev.SetCommState(Line(0, 8, NOPARITY, ONESTOPBIT)));
    EXPECT_FALSE(dev.SetCommState(Line(19200, 5, NOPARITY, TWOSTOPBITS)));
    DCB back;
    ASSERT_TRUE(dev.GetCommState(back));
    EXPECT_EQ(19200u, back.BaudRate);
    EXPECT_EQ(8, back.ByteSize);
    EXPECT_EQ(ONESTOPBIT, back.StopBits);
}

TEST(CommDevice, OpenFailuresMapToTheWindowsCodes) {
    PtyPair pty;
    TCommDevice first, second, missing;
    ASSERT_TRUE(first.Open(pty.SlavePath()));
    EXPECT_FALSE(second.Open(pty.SlavePath()));
    EXPECT_EQ(ERROR_ACCESS_DENIED, second.LastError());
    EXPECT_FALSE(second.LastErrorText().empty());
    EXPECT_FALSE(missing.Open("/dev/tovak-no-such-device"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, missing.LastError());
    // After the first lets go, the port can be opened again.
    first.Close();
    EXPECT_TRUE(second.Open(pty.SlavePath())) << second.LastErrorText();
}

TEST(CommDevice, ErrnoMapping) {
    EXPECT_EQ(2u, WinErrorFromErrno(ENOENT, CommCall::Open));
    EXPECT_EQ(2u, WinErrorFromErrno(ENODEV, CommCall::Open));
    EXPECT_EQ(2u, WinErrorFromErrno(ENXIO, CommCall::Open));
    EXPECT_EQ(5u, WinErrorFromErrno(EACCES, CommCall::Open));
    EXPECT_EQ(5u, WinErrorFromErrno(EPERM, CommCall::Open));
    EXPECT_EQ(5u, WinErrorFromErrno(EBUSY, CommCall::Open));
    EXPECT_EQ(5u, WinErrorFromErrno(EWOULDBLOCK, CommCall::Lock));
    EXPECT_NE(5u, WinErrorFromErrno(EIO, CommCall::Io));
    EXPECT_NE(5u, WinErrorFromErrno(EIO, CommCall::Open));
    EXPECT_EQ(ERROR_DEVICE_NOT_CONNECTED, WinErrorFromErrno(EIO, CommCall::Io));
    EXPECT_EQ("The device is not connected.", SystemErrorText(1167));
}

TEST(CommDevice, ModemLineCallsOnAPseudoTerminalAreIgnored) {
    PtyPair pty;
    TCommDevice dev;
    ASSERT_TRUE(dev.Open(pty.SlavePath()));
    for (uint32_t f : {SETDTR, CLRDTR, SETRTS, CLRRTS}) EXPECT_TRUE(dev.EscapeCommFunction(f)) << f;
    uint32_t status = 0xFF;
    EXPECT_TRUE(dev.GetCommModemStatus(status));
    uint32_t errors = 0;
    COMSTAT stat;
    EXPECT_TRUE(dev.ClearCommError(errors, &stat));
    EXPECT_EQ(0u, errors);
}

TEST(CommDevice, ReadsWritesAndReportsReceivedBytes) {
    PtyPair pty;
    TCommDevice dev;
    ASSERT_TRUE(dev.Open(pty.SlavePath()));
    dev.SetCommMask(EV_RXCHAR | EV_ERR);
    auto waiter = std::async(std::launch::async, [&] {
        uint32_t ev = 0;
        dev.WaitCommEvent(ev);
        return ev;
    });
    // The first wait may be ended by the mask change itself.
    ASSERT_TRUE(pty.WriteAll("hello"));
    uint32_t ev = waiter.get();
    if (ev == 0) {
        ASSERT_TRUE(dev.WaitCommEvent(ev));
    }
    EXPECT_EQ(EV_RXCHAR, ev);
    COMSTAT stat;
    uint32_t errors;
    ASSERT_TRUE(dev.ClearCommError(errors, &stat));
    EXPECT_EQ(5u, stat.cbInQue);
    char buf[16];
    ASSERT_EQ(5u, dev.ReadFile(buf, sizeof buf));
    EXPECT_EQ("hello", std::string(buf, 5));
    EXPECT_EQ(0u, dev.ReadFile(buf, sizeof buf));

    uint32_t written = 0;
    ASSERT_TRUE(dev.WriteFile("abc", 3, written));
    EXPECT_EQ(3u, written);
    EXPECT_EQ("abc", pty.ReadExactly(3));
}

// The receive path relies on this: each arrival is reported once, bytes left in the driver
// are not reported again, and an arrival seen together with the end of a wait is kept.
TEST(CommDevice, EachArrivalIsReportedOnceEvenBesideAnEndedWait) {
    PtyPair pty;
    TCommDevice dev;
    ASSERT_TRUE(dev.Open(pty.SlavePath()));
    ASSERT_TRUE(pty.WriteAll("abc"));
    for (int i = 0; i < 100000 && dev.InQueue() < 3; ++i) std::this_thread::yield();
    ASSERT_EQ(3u, dev.InQueue());
    dev.SetCommMask(EV_RXCHAR);
    uint32_t ev = 99;
    ASSERT_TRUE(dev.WaitCommEvent(ev));
    EXPECT_EQ(0u, ev);  // ended by the mask change
    ASSERT_TRUE(dev.WaitCommEvent(ev));
    EXPECT_EQ(EV_RXCHAR, ev);
    // The bytes are still unread; the next wait sleeps until more arrive.
    auto waiter = std::async(std::launch::async, [&] {
        uint32_t e = 0;
        dev.WaitCommEvent(e);
        return e;
    });
    EXPECT_EQ(std::future_status::timeout, waiter.wait_for(std::chrono::milliseconds(100)));
    ASSERT_TRUE(pty.WriteAll("d"));
    EXPECT_EQ(EV_RXCHAR, waiter.get());
    char buf[8];
    ASSERT_EQ(4u, dev.ReadFile(buf, sizeof buf));
    EXPECT_EQ("abcd", std::string(buf, 4));
}

TEST(CommDevice, SetCommMaskEndsAWaitFromAnotherThread) {
    PtyPair pty;
    TCommDevice dev;
    ASSERT_TRUE(dev.Open(pty.SlavePath()));
    auto waiter = std::async(std::launch::async, [&] {
        uint32_t ev = 99;
        dev.WaitCommEvent(ev);
        return ev;
    });
    dev.SetCommMask(0);
    EXPECT_EQ(0u, waiter.get());
    // WakeWriter ends a write wait the same way.
    dev.WakeWriter();
    EXPECT_FALSE(dev.WaitWritable());
    EXPECT_EQ(ERROR_OPERATION_ABORTED, dev.LastError());
}

TEST(CommDevice, AVanishedDeviceIsReportedOnceThenTheWaitOnlyEnds) {
    PtyPair pty;
    TCommDevice dev;
    ASSERT_TRUE(dev.Open(pty.SlavePath()));
    dev.SetCommMask(EV_RXCHAR | EV_ERR);
    uint32_t ev = 0;
    dev.WaitCommEvent(ev);  // consumes the mask change's wake-up
    pty.CloseMaster();
    ASSERT_TRUE(dev.WaitCommEvent(ev));
    EXPECT_EQ(EV_ERR, ev);
    EXPECT_TRUE(dev.Lost());
    uint32_t errors = 0;
    ASSERT_TRUE(dev.ClearCommError(errors, nullptr));
    EXPECT_EQ(CE_IOE, errors);
    ASSERT_TRUE(dev.ClearCommError(errors, nullptr));
    EXPECT_EQ(0u, errors);
    uint32_t written = 0;
    EXPECT_FALSE(dev.WriteFile("x", 1, written));
    EXPECT_EQ(ERROR_DEVICE_NOT_CONNECTED, dev.LastError());
    // The next wait blocks (no spinning) until it is ended.
    auto waiter = std::async(std::launch::async, [&] {
        uint32_t e = 99;
        dev.WaitCommEvent(e);
        return e;
    });
    EXPECT_EQ(std::future_status::timeout, waiter.wait_for(std::chrono::milliseconds(100)));
    dev.SetCommMask(0);
    EXPECT_EQ(0u, waiter.get());
}

TEST(PortMap, ResolvesComNamesThroughThePortsFolder) {
    PtyPair pty;
    const TempFolder folder("tovak-ports");
    const std::filesystem::path& dir = folder.Path();
    std::filesystem::create_symlink(pty.SlavePath(), dir / "COM7");
    std::filesystem::create_symlink("/dev/tovak-gone", dir / "COM9");
    setenv("TOVAK_PORTS", dir.c_str(), 1);

    EXPECT_EQ(7, ComNumberFromName("\\\\.\\COM7"));
    EXPECT_EQ(0, ComNumberFromName("/dev/ttyS0"));
    EXPECT_EQ(pty.SlavePath(), ResolvePortName("\\\\.\\COM7"));
    EXPECT_EQ(pty.SlavePath(), ResolvePortName("com7"));
    EXPECT_EQ("/dev/ttyS2", ResolvePortName("COM3"));
    EXPECT_EQ("/dev/ttyUSB0", ResolvePortName("/dev/ttyUSB0"));

    TCommDevice dev;
    EXPECT_TRUE(dev.Open("\\\\.\\COM7")) << dev.LastErrorText();

    auto ports = EnumerateSerialPorts();
    ASSERT_FALSE(ports.empty());
    EXPECT_EQ("COM7", ports[0].Data);
    EXPECT_NE(std::string::npos, ports[0].Name.find("\\VCP"));
    EXPECT_EQ(pty.SlavePath(), ports[0].Device);
    for (const auto& p : ports) {
        EXPECT_NE("COM9", p.Data);  // dangling link: unplugged
    }

    unsetenv("TOVAK_PORTS");
}
