// The door simulator on its pseudo-terminal, with the test playing the program: a busy
// program's late answers, a device falling silent, and replies late on the program's clock.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "platform/sync/clock.h"
#include "sim/door_frame.h"
#include "sim/door_sim.h"

namespace {

using Steady = std::chrono::steady_clock;

const SimFrame kEmpty{};
const SimFrame kDoorStateRequest{0x00, 0x01, std::string("\xFB\x02\x00\x0D\x00", 5)};

// The program's end of the line: opened exclusively, as the program opens its port.
class ProgramEnd {
public:
    explicit ProgramEnd(const std::string& path) : fd_(open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {
        struct termios t {};
        tcgetattr(fd_, &t);
        cfmakeraw(&t);
        tcsetattr(fd_, TCSANOW, &t);
        ioctl(fd_, TIOCEXCL);
    }
    ~ProgramEnd() {
        ioctl(fd_, TIOCNXCL);
        close(fd_);
    }
    bool Open() const { return fd_ >= 0; }

    // The next whole frame the device sends (empty when none came within five seconds).
    std::string NextFrame() {
        const auto deadline = Steady::now() + std::chrono::seconds(5);
        for (;;) {
            const size_t end = buffer_.find('\x03');
            if (end != std::string::npos) {
                std::string frame = buffer_.substr(0, end + 1);
                buffer_.erase(0, end + 1);
                return frame;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Steady::now()).count();
            if (left <= 0) return {};
            struct pollfd p {
                fd_, POLLIN, 0
            };
            if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
            char bytes[256];
            const ssize_t n = read(fd_, bytes, sizeof bytes);
            if (n > 0) buffer_.append(bytes, static_cast<size_t>(n));
        }
    }
    // Reads frames, answering each with an empty frame, until one carries a record of `type`.
    bool AwaitRecord(uint8_t type) {
        for (int frames = 0; frames < 500; ++frames) {
            SimFrame f;
            const std::string wire = NextFrame();
            if (wire.empty()) return false;
            if (SimDecodeFrame(wire, f) == SimParse::Ok && f.data.size() >= 4 &&
                static_cast<uint8_t>(f.data[0]) == 0xFB && static_cast<uint8_t>(f.data[3]) == type)
                return true;
            Answer(kEmpty);
        }
        return false;
    }
    void Answer(const SimFrame& frame) { Write(SimEncodeFrame(frame)); }
    void Write(const std::string& bytes) {
        ASSERT_EQ(static_cast<ssize_t>(bytes.size()), write(fd_, bytes.data(), bytes.size()));
    }
    // Nothing came from the device that was not read yet.
    bool Quiet() {
        char byte;
        return buffer_.empty() && read(fd_, &byte, 1) <= 0;
    }

private:
    int fd_;
    std::string buffer_;
};

// Waits (real time, at most five seconds) for a condition of the simulator's thread.
bool Eventually(const std::function<bool()>& done) {
    const auto deadline = Steady::now() + std::chrono::seconds(5);
    while (!done()) {
        if (Steady::now() > deadline) return false;
        std::this_thread::yield();
    }
    return true;
}

DoorSimOptions Options(int answer_timeout_ms) {
    DoorSimOptions options;
    options.poll_ms = 10;
    options.answer_timeout_ms = answer_timeout_ms;
    return options;
}

}  // namespace

TEST(DoorSimLine, AnAnswerThatComesAfterTheNextFrameIsStillTaken) {
    DoorSim sim(DoorState::DoorTerminal(), Options(20));
    ProgramEnd program(sim.SlavePath());
    ASSERT_TRUE(program.Open());
    sim.Start();
    // A busy program: the device gave up on the first frame's answer and polled again before
    // both answers came; the second carries a request.
    ASSERT_FALSE(program.NextFrame().empty());
    ASSERT_FALSE(program.NextFrame().empty());
    program.Write(SimEncodeFrame(kEmpty) + SimEncodeFrame(kDoorStateRequest));
    EXPECT_TRUE(program.AwaitRecord(0x0D));
}

TEST(DoorSimLine, ADeviceFallsSilentOnceItsExchangeEnded) {
    DoorSim sim(DoorState::DoorTerminal(), Options(60000));
    ProgramEnd program(sim.SlavePath());
    ASSERT_TRUE(program.Open());
    sim.Start();
    ASSERT_FALSE(program.NextFrame().empty());
    ASSERT_TRUE(Eventually([] { return DoorSim::Talking() == 1; }));
    sim.SetSilent(true);
    EXPECT_FALSE(sim.Silent()) << "its frame still waits for the answer";
    // What the program answers now still reaches the device.
    program.Answer(kDoorStateRequest);
    ASSERT_TRUE(Eventually([&] { return sim.Silent(); }));
    EXPECT_EQ(0, DoorSim::Talking());
    EXPECT_TRUE(program.Quiet());
    sim.SetSilent(false);
    EXPECT_FALSE(sim.Silent());
    EXPECT_TRUE(program.AwaitRecord(0x0D));
}

TEST(DoorSimLine, ARepliesLatenessRunsOnTheProgramsClock) {
    ScopedManualClock clock;
    DoorSim sim(DoorState::DoorTerminal(), Options(60000));
    ProgramEnd program(sim.SlavePath());
    ASSERT_TRUE(program.Open());
    sim.Start();
    ASSERT_FALSE(program.NextFrame().empty());
    sim.LateOnce(5000);
    program.Answer(kDoorStateRequest);
    // The device holds its reply (and polls no more) until the clock has moved on five
    // seconds; it goes round meanwhile, so a test's clock may follow it.
    ASSERT_TRUE(Eventually([] { return DoorSim::Talking() == 0; }));
    clock->Advance(4999);
    const uint64_t now = clock->Ticks();
    ASSERT_TRUE(Eventually([&] { return DoorSim::LastRound() == now; }));
    EXPECT_TRUE(program.Quiet());
    clock->Advance(1);
    EXPECT_TRUE(program.AwaitRecord(0x0D));
}
