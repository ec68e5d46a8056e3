// The link on the real port component over a pseudo-terminal, with the test playing the
// device: polls during the open, requests left at a close, a device that goes away, a device
// that cannot be opened.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "link/com_port_link.h"
#include "link/frame_codec.h"
#include "link/link_state.h"
#include "link/sercom_link.h"
#include "platform/win/message_queue.h"
#include "platform/win/timers.h"
#include "program/log_file.h"
#include "program/program_context.h"
#include "program/program_dirs.h"
#include "serial/ser_com_port.h"
#include "tests/link/link_fakes.h"
#include "tests/support/pty_pair.h"
#include "tests/support/pump_until.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

constexpr int kPort = 23;

// Sends the device's first poll `delay_ms` after the device is opened (0: before the open
// goes on to set up the threads, the level and the window).
class PollAtOpen : public TSerWin32Dispatcher {
public:
    PollAtOpen(TObject* owner, PtyPair& pty, int delay_ms)
        : TSerWin32Dispatcher(owner), pty_(pty), delay_ms_(delay_ms) {}
    ~PollAtOpen() override {
        if (device_.joinable()) device_.join();
    }

protected:
    int OpenCom(const std::string& name) override {
        const int handle = TSerWin32Dispatcher::OpenCom(name);
        if (handle < 0) return handle;
        const std::string poll = BuildWireFrame(0, 1, "");
        if (delay_ms_ == 0) {
            pty_.WriteAll(poll);
        } else {
            device_ = std::thread([this, poll] {
                std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms_));
                pty_.WriteAll(poll);
            });
        }
        return handle;
    }

private:
    PtyPair& pty_;
    int delay_ms_;
    std::thread device_;
};

}  // namespace

TEST(LinkOpen, APollDuringTheOpenGetsExactlyOneAnswerAtOnce) {
    InitWindowThread();
    PtyPair pty;
    const TempFolder folder("tovak-openpoll");
    const fs::path& dir = folder.Path();
    fs::remove(dir / ("COM" + std::to_string(kPort)));
    fs::create_symlink(pty.SlavePath(), dir / ("COM" + std::to_string(kPort)));
    setenv("TOVAK_PORTS", dir.c_str(), 1);
    {
        TSerComPort com(nullptr);
        int delay = 0;
        com.DispatcherFactory = [&](TSerCustomComPort* cp) { return new PollAtOpen(cp, pty, delay); };
        TComPortLink port(&com);
        TSercomLink link(&port);
        const std::string poll = BuildWireFrame(0, 1, "");
        const std::string answer = BuildWireFrame(0, 1, "");
        auto nextAnswer = [&] {
            std::string got;
            PumpUntil(
                [&] {
                    got += pty.ReadAvailable();
                    return got.size() >= answer.size();
                },
                1000);
            return got;
        };
        for (int round = 0; round < 17; ++round) {  // 51 opens
            for (int ms : {0, 5, 20}) {
                delay = ms;
                link.OpenPort(kPort, false);
                ASSERT_TRUE(link.LinkState.PortOpen);
                ASSERT_EQ(answer, nextAnswer()) << "round " << round << ", poll " << ms << " ms after the open";
                // The next poll gets one answer, not the first one's late answer beside its own.
                pty.WriteAll(poll);
                ASSERT_EQ(answer, nextAnswer()) << "round " << round << ", second poll";
                port.Close();
                link.LinkState.PortOpen = false;
            }
        }
    }
    unsetenv("TOVAK_PORTS");
}

namespace {

std::string B(std::initializer_list<int> b) { return FakeLink::Data(b); }

// The link on a pty that the test drives from the device side.
class PtyLink : public ::testing::Test {
protected:
    void SetUp() override {
        InitWindowThread();
        dir_ = temp_.Path();
        fs::remove(dir_ / "COM24");
        fs::create_symlink(pty_.SlavePath(), dir_ / "COM24");
        setenv("TOVAK_PORTS", dir_.c_str(), 1);
        saved_prot_ = Program().ProtDir;
        Program().ProtDir = dir_.string() + "/";
        com_ = std::make_unique<TSerComPort>(nullptr);
        port_ = std::make_unique<TComPortLink>(com_.get());
        link_ = std::make_unique<TSercomLink>(port_.get(), &view_, &main_);
    }
    void TearDown() override {
        StopPolling();
        if (link_->LinkState.PortOpen) link_->ClosePort();
        link_.reset();
        port_.reset();
        com_.reset();
        Program().ProtDir = saved_prot_;
        unsetenv("TOVAK_PORTS");
    }
    // The device polls every few milliseconds from its own thread until StopPolling.
    void StartPolling() {
        polling_ = true;
        device_ = std::thread([this] {
            while (polling_) {
                pty_.WriteAll(BuildWireFrame(0, 1, ""));
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                heard_ += pty_.ReadAvailable();
            }
        });
    }
    // What the program sent while the device polled. A poll the device sent after the
    // program had stopped listening is not left for the next opening.
    std::string StopPolling() {
        polling_ = false;
        if (!device_.joinable()) return heard_;
        device_.join();
        heard_ += pty_.ReadAvailable();
        int slave = ::open(pty_.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (slave >= 0) {
            tcflush(slave, TCIFLUSH);
            ::close(slave);
        }
        return heard_;
    }
    // One poll from the device, and the program's answer to it.
    std::string PollOnce() {
        pty_.WriteAll(BuildWireFrame(0, 1, ""));
        std::string got;
        PumpUntil(
            [&] {
                got += pty_.ReadAvailable();
                return !got.empty() && got.back() == '\x03';
            },
            2000);
        return got;
    }
    std::string ComLog() {
        std::ifstream in(LogFileName("TOVAK-COM-"), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    PtyPair pty_;
    TempFolder temp_{"tovak-ptylink"};
    fs::path dir_;
    std::string saved_prot_;
    std::unique_ptr<TSerComPort> com_;
    std::unique_ptr<TComPortLink> port_;
    std::unique_ptr<TSercomLink> link_;
    RecordingSercomView view_;
    RecordingMainView main_;
    std::thread device_;
    std::atomic<bool> polling_{false};
    std::string heard_;
};

}  // namespace

TEST_F(PtyLink, RequestsLeftAtACloseLeaveWhileTheDevicePollsAndNothingReachesTheNextOpening) {
    link_->LinkState.PrtShow = true;
    const std::string unlock = B({0xFB, 0x02, 0x00, 0x50, 0x01});
    const std::string endStep = B({0xFB, 0x02, 0x00, 0x50, 0x17});
    const std::string typeQuery = B({0x20, 0x10});
    const auto traced = [this](const std::string& text) {
        return std::find_if(view_.trace.begin(), view_.trace.end(), [&](const std::string& l) {
                   return l.find(text) != std::string::npos;
               }) != view_.trace.end();
    };

    // A device that still polls gets what was queued just before the close.
    link_->OpenPort(24, false);
    ASSERT_TRUE(link_->LinkState.PortOpen);
    StartPolling();
    ASSERT_TRUE(link_->EnqueueRequest(endStep));
    link_->ClosePort();
    EXPECT_NE(std::string::npos, StopPolling().find(BuildWireFrame(0, 1, endStep)));
    EXPECT_FALSE(link_->HasQueuedRequest());

    // The closed link takes nothing, and says so.
    EXPECT_FALSE(link_->EnqueueRequest(typeQuery));
    EXPECT_FALSE(link_->HasQueuedRequest());
    EXPECT_TRUE(traced("refused: link closed 00,00,20,10"));

    // A device that stopped answering: its request is dropped and traced. A timer that
    // queues during the close's pause is refused.
    link_->OpenPort(24, false);
    ASSERT_TRUE(link_->LinkState.PortOpen);
    ASSERT_TRUE(link_->EnqueueRequest(unlock));
    int refused = 0;
    HWND timer_window = AllocateHWnd([&](TMessage& m) {
        if (m.Msg == WM_TIMER && !link_->EnqueueRequest(typeQuery)) ++refused;
    });
    SetTimer(timer_window, 1, 20, nullptr);
    link_->ClosePort();
    KillTimer(timer_window, 1);
    DeallocateHWnd(timer_window);
    EXPECT_GT(refused, 0);
    EXPECT_FALSE(link_->HasQueuedRequest());
    EXPECT_TRUE(view_.queue.empty());
    EXPECT_TRUE(traced("dropped: 00,00,FB,02,00,50,01"));

    // The next opening (perhaps another door) starts with an empty queue.
    link_->OpenPort(24, false);
    ASSERT_TRUE(link_->LinkState.PortOpen);
    EXPECT_EQ(BuildWireFrame(0, 1, ""), PollOnce());
}

TEST_F(PtyLink, APulledDeviceClosesTheLinkAndSaysWhy) {
    link_->OpenPort(24, false);
    ASSERT_TRUE(link_->LinkState.PortOpen);
    EXPECT_EQ(BuildWireFrame(0, 1, ""), PollOnce());
    pty_.CloseMaster();
    ASSERT_TRUE(PumpUntil([this] { return !link_->LinkState.PortOpen; }, 5000));
    const std::string status = view_.LastStatus();
    EXPECT_NE(std::string::npos, status.find(pty_.SlavePath())) << status;
    EXPECT_NE(std::string::npos, ComLog().find(status)) << ComLog();
}

TEST_F(PtyLink, AFailedOpenLogsTheDevicePathAndTheSystemsReason) {
    fs::create_symlink(dir_ / "ttyUSB-gone", dir_ / "COM25");
    testing::internal::CaptureStderr();
    link_->OpenPort(25, false);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(link_->LinkState.PortOpen);
    const std::string reason = (dir_ / "ttyUSB-gone").string() + ": No such file or directory";
    EXPECT_NE(std::string::npos, err.find(reason)) << err;
    EXPECT_NE(std::string::npos, ComLog().find(reason)) << ComLog();
}
