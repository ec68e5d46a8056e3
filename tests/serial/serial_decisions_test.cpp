// The port layer's own answers to faults: the flow-control threshold cap, exceptions
// escaping a dispatcher thread, and a port running on a descriptor someone else opened.

#include <atomic>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "platform/comm/comm_device.h"
#include "platform/rtl/exception.h"
#include "platform/sync/clock.h"
#include "platform/win/exception_report.h"
#include "platform/win/message_queue.h"
#include "serial/ser_com_port.h"
#include "serial/serial_exceptions.h"
#include "tests/support/pty_pair.h"
#include "tests/support/pump_until.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

// The dispatcher's test door (declared a friend there): reaches what no public call exposes.
class TSerDispatcherTest {
public:
    // A handler run on the dispatch thread itself, as a non-synchronized handler would be.
    static void AddThreadHandler(TSerBaseDispatcher* d, std::function<void(uint32_t, uintptr_t, intptr_t)> proc) {
        CriticalSectionGuard guard(d->general_lock_);
        d->proc_handlers_.push_back({std::move(proc), false, false});
        d->events_active_ = true;
    }
    static DCB ComState(TSerBaseDispatcher* d) {
        DCB dcb;
        d->GetComState(dcb);
        return dcb;
    }
};

namespace {

class SerialDecisionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitWindowThread();
        dir_ = temp_.Path();
        setenv("TOVAK_PORTS", dir_.c_str(), 1);
        fs::remove(dir_ / "COM21");
        fs::create_symlink(pty_.SlavePath(), dir_ / "COM21");
    }
    void TearDown() override { unsetenv("TOVAK_PORTS"); }
    std::unique_ptr<TSerComPort> NewPort() {
        auto port = std::make_unique<TSerComPort>(nullptr);
        port->SetAutoOpen(false);
        port->SetComNumber(21);
        return port;
    }
    void Collect(TSerComPort& port) {
        port.SetOnTriggerAvail([this](TObject* cp, uint16_t) {
            auto* p = static_cast<TSerComPort*>(cp);
            while (p->CharReady()) received_ += p->GetChar();
        });
    }

    PtyPair pty_;
    TempFolder temp_{"tovak-serdec"};
    fs::path dir_;
    std::string received_;
};

// ---- BufferFull above InSize ----

TEST_F(SerialDecisionsTest, BufferFullAboveInSizeIsCappedAtNinetyPercentAndTheDeviceAcceptsIt) {
    auto port = NewPort();
    port->SetInSize(1000);
    port->SetBufferFull(5000);
    EXPECT_EQ(900, port->BufferFull());
    port->SetBufferFull(1000);  // equal to InSize is not above it
    EXPECT_EQ(1000, port->BufferFull());

    port->SetHWFlowOptions(1 << hwfUseRTS);
    port->SetOpen(true);
    // Open: the capped value must reach the device, not be refused as a bad argument.
    EXPECT_NO_THROW(port->SetBufferFull(60000));
    EXPECT_EQ(900, port->BufferFull());
    DCB dcb = TSerDispatcherTest::ComState(port->Dispatcher());
    EXPECT_EQ(100, dcb.XoffLim);  // InSize - BufferFull
    EXPECT_EQ(RTS_CONTROL_HANDSHAKE, dcb.fRtsControl);

    port->SetHWFlowOptions(0);
    port->SetSWFlowOptions(swfReceive);
    EXPECT_NO_THROW(port->SetBufferFull(1001));
    EXPECT_EQ(900, port->BufferFull());
    dcb = TSerDispatcherTest::ComState(port->Dispatcher());
    EXPECT_TRUE(dcb.fInX);
    EXPECT_EQ(100, dcb.XoffLim);
    EXPECT_LE(port->BufferResume(), port->BufferFull());
}

TEST_F(SerialDecisionsTest, BufferFullFollowsAnInSizeChangedWhileOpen) {
    auto port = NewPort();
    port->SetInSize(1000);
    port->SetSWFlowOptions(swfReceive);
    port->SetOpen(true);
    port->SetInSize(2000);
    // Within the new size: the device must take it, not judge it by the size at open.
    EXPECT_NO_THROW(port->SetBufferFull(1500));
    EXPECT_EQ(1500, port->BufferFull());
    EXPECT_EQ(500, TSerDispatcherTest::ComState(port->Dispatcher()).XoffLim);
    port->SetBufferFull(2500);
    EXPECT_EQ(1800, port->BufferFull());
}

// ---- An exception on a dispatcher thread ----

TEST_F(SerialDecisionsTest, AnExceptionOnTheDispatchThreadIsReportedOnTheWindowThreadAndThePortStillCloses) {
    std::vector<std::string> reports;
    std::thread::id report_thread;
    ExceptionReporter previous = SetExceptionReporter([&](const std::exception& e) {
        auto* ex = dynamic_cast<const Exception*>(&e);
        reports.push_back(ex ? ex->Message() : e.what());
        report_thread = std::this_thread::get_id();
    });

    auto port = NewPort();
    Collect(*port);
    port->SetOpen(true);
    std::atomic<std::thread::id> thrower{};
    TSerDispatcherTest::AddThreadHandler(port->Dispatcher(), [&](uint32_t, uintptr_t, intptr_t) {
        thrower = std::this_thread::get_id();
        throw Exception("handler failed on the line");
    });
    ASSERT_TRUE(pty_.WriteAll("x"));
    bool reported = PumpUntil([&] { return !reports.empty(); });
    SetExceptionReporter(previous);
    ASSERT_TRUE(reported);
    ASSERT_EQ(1u, reports.size());
    EXPECT_EQ("handler failed on the line", reports[0]);
    EXPECT_NE(std::this_thread::get_id(), thrower.load());
    EXPECT_EQ(std::this_thread::get_id(), report_thread);

    // The thread that threw is gone; closing must neither hang nor leave the device held.
    port->SetOpen(false);
    ASSERT_TRUE(PumpUntil([&] { return port->PortState() == psClosed; }));
    EXPECT_EQ(nullptr, port->Dispatcher());
    {
        TCommDevice other;
        EXPECT_TRUE(other.Open(pty_.SlavePath())) << other.LastErrorText();
    }
    // A fresh open works normally again.
    port->SetOpen(true);
    ASSERT_TRUE(pty_.WriteAll("ok"));
    ASSERT_TRUE(PumpUntil([&] { return received_.find("ok") != std::string::npos; }));
}

// ---- Telephony mode: an adopted descriptor ----

// The device a telephony component would hand over: open, raw, non-blocking.
int OpenLikeATelephonyComponent(const std::string& path) {
    int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return -1;
    struct termios t {};
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    tcsetattr(fd, TCSANOW, &t);
    return fd;
}

TEST_F(SerialDecisionsTest, TapiModeRunsOnTheAdoptedDescriptorAndClosesIt) {
    int fd = OpenLikeATelephonyComponent(pty_.SlavePath());
    ASSERT_GE(fd, 0);
    struct stat before {};
    ASSERT_EQ(0, fstat(fd, &before));

    TSerComPort port(nullptr);
    port.SetAutoOpen(false);
    port.SetComNumber(0);
    port.SetPromptForPort(false);  // no port number is needed in this mode
    port.SetTapiMode(TTapiMode::tmOn);
    port.SetTapiHandle(fd);
    port.SetBaud(38400);
    Collect(port);
    port.SetOpen(true);
    ASSERT_EQ(psOpen, port.PortState());
    EXPECT_EQ(fd, port.Dispatcher()->ComHandle());
    // The line read back after open is what the device now runs at.
    EXPECT_EQ(38400, port.Baud());
    EXPECT_EQ(8, port.DataBits());
    struct termios t {};
    ASSERT_EQ(0, tcgetattr(pty_.Master(), &t));
    EXPECT_EQ(B38400, cfgetospeed(&t));

    ASSERT_TRUE(pty_.WriteAll("ring\r"));
    ASSERT_TRUE(PumpUntil([&] { return received_ == "ring\r"; })) << received_;
    port.PutString("ATA\r");
    EXPECT_EQ("ATA\r", pty_.ReadExactly(4));

    // The port takes the descriptor over: closing the port closes it.
    port.SetOpen(false);
    ASSERT_TRUE(PumpUntil([&] { return port.PortState() == psClosed; }));
    struct stat after {};
    bool same_file = fstat(fd, &after) == 0 && after.st_ino == before.st_ino && after.st_rdev == before.st_rdev;
    EXPECT_FALSE(same_file);
}

TEST_F(SerialDecisionsTest, TapiModeWithoutAUsableDescriptorFailsAndStaysClosed) {
    TSerComPort port(nullptr);
    port.SetAutoOpen(false);
    port.SetTapiMode(TTapiMode::tmOn);
    EXPECT_THROW(port.SetOpen(true), ENotOpenedByTapi);  // no handle at all
    EXPECT_EQ(psClosed, port.PortState());
    EXPECT_EQ(nullptr, port.Dispatcher());

    const int stale = 4000;  // a handle that is not open
    ASSERT_EQ(-1, fcntl(stale, F_GETFD));
    port.SetTapiHandle(stale);
    EXPECT_THROW(port.SetOpen(true), EOpenComm);
    EXPECT_FALSE(port.Open());
    EXPECT_EQ(psClosed, port.PortState());
    EXPECT_EQ(nullptr, port.Dispatcher());
}

}  // namespace
