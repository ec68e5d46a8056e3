// A process at the device end of a pseudo-terminal, as the pacers of the manual clock see it
// while a program holds the line (tests/support/process_line.h): it has had its chance to
// answer only once it has read what the program wrote, sleeps, and what it wrote has been
// read; stopped, it cannot answer; a line nobody holds holds nothing up; one that never
// sleeps fails the test after the bound. Plain programs show each rule alone, the simulator
// program all of them at work, and its end as the program sees it: a hang-up.

#include <fcntl.h>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "tests/app/sim_process.h"
#include "tests/support/clock_peer.h"
#include "tests/support/process_line.h"
#include "tests/support/process_threads.h"
#include "tests/support/pty_pair.h"
#include "tests/support/pump_until.h"
#include "tests/support/temp_folder.h"
#include "tests/support/ui_driver.h"

namespace {

// The program's end of the line, opened as the program opens a port.
class ProgramEnd {
public:
    explicit ProgramEnd(const std::string& path) : fd_(open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {
        Hold(true);
    }
    ~ProgramEnd() {
        if (fd_ < 0) return;
        Hold(false);
        close(fd_);
    }
    ProgramEnd(const ProgramEnd&) = delete;
    ProgramEnd& operator=(const ProgramEnd&) = delete;

    bool Opened() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    void Hold(bool exclusive) { ioctl(fd_, exclusive ? TIOCEXCL : TIOCNXCL); }
    bool Say(const std::string& line) {
        const std::string bytes = line + "\r\n";
        return write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }
    bool AnswerWaits() const { return Polled() & POLLIN; }
    bool HungUp() const { return Polled() & POLLHUP; }
    // One line of answer, once it has come whole.
    std::string Answer() {
        std::string got;
        PumpUntil([&] {
            char c;
            while (read(fd_, &c, 1) == 1) got += c;
            return got.size() >= 2 && got.compare(got.size() - 2, 2, "\r\n") == 0;
        });
        return got;
    }

private:
    short Polled() const {
        struct pollfd p {
            fd_, POLLIN, 0
        };
        return poll(&p, 1, 0) > 0 ? p.revents : 0;
    }

    int fd_;
};

}  // namespace

TEST(ProcessLine, EachEndsUnreadBytesAndTheProcessRunningHoldTheClock) {
    UiDriver ui;  // the waits handle messages
    PtyPair pty;
    ProgramEnd program(pty.SlavePath());
    ASSERT_TRUE(program.Opened());
    {
        // It never reads the line.
        ProcessLine sleeper(pty, {"/bin/sleep", "600"});
        ASSERT_EQ("", sleeper.Problem());
        ASSERT_NE(0, sleeper.Pid());
        EXPECT_EQ(pty.SlavePath(), sleeper.SlavePath());
        ASSERT_TRUE(PumpUntil([&] { return sleeper.HadItsChance(); })) << "asleep, with nothing to read";
        ASSERT_TRUE(program.Say("x"));
        EXPECT_FALSE(sleeper.HadItsChance()) << "what the program wrote waits for it";
        kill(sleeper.Pid(), SIGSTOP);
        ASSERT_TRUE(PumpUntil([&] { return ThreadsOf(sleeper.Pid()).stopped; }));
        EXPECT_TRUE(sleeper.HadItsChance()) << "stopped, it cannot answer";
        kill(sleeper.Pid(), SIGCONT);
        EXPECT_FALSE(sleeper.HadItsChance());
        program.Hold(false);
        EXPECT_TRUE(sleeper.HadItsChance()) << "no program holds the line";
        program.Hold(true);
        EXPECT_FALSE(sleeper.HadItsChance());
        ASSERT_EQ("x\r\n", pty.ReadExactly(3));

        ASSERT_TRUE(pty.WriteAll("y"));
        EXPECT_FALSE(sleeper.HadItsChance()) << "the program has not read what came";
        ASSERT_TRUE(PumpUntil([&] { return program.AnswerWaits(); }));
        char c;
        ASSERT_EQ(1, read(program.Fd(), &c, 1));
        EXPECT_TRUE(PumpUntil([&] { return sleeper.HadItsChance(); })) << "once asleep again";
    }
    {
        // It never sleeps: past the bound the test fails, saying why, and the clock goes on.
        ProcessLine spinner(pty, {"/bin/sh", "-c", "while :; do :; done"}, "", std::chrono::milliseconds(300));
        ASSERT_EQ("", spinner.Problem());
        EXPECT_FALSE(spinner.HadItsChance()) << "it runs";
        bool gaveUp = false;
        EXPECT_NONFATAL_FAILURE_ON_ALL_THREADS(gaveUp = PumpUntil([&] { return spinner.HadItsChance(); }),
                                               "ms of real time without a break, the last time as it ran");
        EXPECT_TRUE(gaveUp);
        EXPECT_TRUE(spinner.HadItsChance());
    }
}

TEST(ProcessLine, TheSimulatorProcessHoldsTheClockUntilItsAnswerHasBeenRead) {
    UiDriver ui;
    TempFolder folder("tovak-simline");
    SimProcess sim(std::string(TOVAK_BUILD_DIR) + "/sim/tovak-sim",
                   {"--controller", "--port", "4", "--ports-dir", folder.Path().string()}, folder.File("sim.txt"));
    ASSERT_TRUE(sim.Started());
    ASSERT_TRUE(sim.LineReady(folder.File("COM4")));
    ProgramEnd program(folder.File("COM4"));
    ASSERT_TRUE(program.Opened());
    ASSERT_TRUE(PumpUntil(ClockPeer::AllHadTheirChance)) << "idle, it has nothing to answer";

    ASSERT_TRUE(program.Say("scxUID"));
    EXPECT_FALSE(ClockPeer::AllHadTheirChance());
    ASSERT_TRUE(PumpUntil([&] { return program.AnswerWaits(); }));
    EXPECT_FALSE(ClockPeer::AllHadTheirChance()) << "the program has not read the answer";
    EXPECT_EQ("scxUID;STMX-1.12;SUCCESS\r\n", program.Answer());
    EXPECT_TRUE(PumpUntil(ClockPeer::AllHadTheirChance));

    // Stopped, it cannot answer; continued, it answers what waited.
    sim.Stop();
    ASSERT_TRUE(PumpUntil([&] { return sim.IsStopped(); }));
    ASSERT_TRUE(program.Say("scxFWV"));
    EXPECT_TRUE(ClockPeer::AllHadTheirChance());
    sim.Continue();
    EXPECT_FALSE(ClockPeer::AllHadTheirChance());
    EXPECT_EQ("scxFWV;3.2.7;SUCCESS\r\n", program.Answer());
    EXPECT_TRUE(PumpUntil(ClockPeer::AllHadTheirChance));

    // Killed, it is an adapter pulled: the program's end hangs up (the master's copy kept for
    // the looks goes with the process), and it holds nothing up.
    kill(sim.Pid(), SIGKILL);
    EXPECT_TRUE(PumpUntil([&] { return program.HungUp(); }));
    EXPECT_TRUE(ClockPeer::AllHadTheirChance());
}
