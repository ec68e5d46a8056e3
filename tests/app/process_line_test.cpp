// A process at the device end of a pseudo-terminal, as the pacers of the manual clock see it
// while a program holds the line (tests/support/process_line.h): it has had its chance to
// answer only once it has read what the program wrote, sleeps, and what it wrote has been
// read; stopped, it cannot answer; a line nobody holds holds nothing up. Plain programs show
// each rule alone, the simulator program all of them at work.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

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
        if (fd_ >= 0) close(fd_);
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
    bool AnswerWaits() const {
        struct pollfd p {
            fd_, POLLIN, 0
        };
        return poll(&p, 1, 0) > 0;
    }
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
    int fd_;
};

// A plain program holding both ends of the pseudo-terminal (as its descriptors 3 and 4), as a
// simulator does; killed with the object.
class LineHolder {
public:
    LineHolder(const PtyPair& pty, std::vector<std::string> args) {
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_adddup2(&files, pty.Master(), 3);
        posix_spawn_file_actions_addopen(&files, 4, pty.SlavePath().c_str(), O_RDWR | O_NOCTTY, 0);
        if (posix_spawn(&pid_, argv[0], &files, nullptr, argv.data(), environ) != 0) pid_ = 0;
        posix_spawn_file_actions_destroy(&files);
    }
    ~LineHolder() {
        if (pid_ <= 0) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    LineHolder(const LineHolder&) = delete;
    LineHolder& operator=(const LineHolder&) = delete;

    pid_t Pid() const { return pid_; }

private:
    pid_t pid_ = 0;
};

}  // namespace

TEST(ProcessLine, EachEndsUnreadBytesAndTheProcessRunningHoldTheClock) {
    UiDriver ui;  // the waits handle messages
    PtyPair pty;
    ProgramEnd program(pty.SlavePath());
    ASSERT_TRUE(program.Opened());
    {
        // It never reads the line.
        LineHolder sleeper(pty, {"/bin/sleep", "600"});
        ASSERT_NE(0, sleeper.Pid());
        ProcessLine line(sleeper.Pid(), pty.SlavePath());
        ASSERT_EQ("", line.Problem());
        ASSERT_TRUE(PumpUntil([&] { return line.HadItsChance(); })) << "asleep, with nothing to read";
        ASSERT_TRUE(program.Say("x"));
        EXPECT_FALSE(line.HadItsChance()) << "what the program wrote waits for it";
        kill(sleeper.Pid(), SIGSTOP);
        ASSERT_TRUE(PumpUntil([&] { return ThreadsOf(sleeper.Pid()).stopped; }));
        EXPECT_TRUE(line.HadItsChance()) << "stopped, it cannot answer";
        kill(sleeper.Pid(), SIGCONT);
        EXPECT_FALSE(line.HadItsChance());
        program.Hold(false);
        EXPECT_TRUE(line.HadItsChance()) << "no program holds the line";
        program.Hold(true);
        EXPECT_FALSE(line.HadItsChance());
        ASSERT_EQ("x\r\n", pty.ReadExactly(3));

        ASSERT_TRUE(pty.WriteAll("y"));
        EXPECT_FALSE(line.HadItsChance()) << "the program has not read what came";
        ASSERT_TRUE(PumpUntil([&] { return program.AnswerWaits(); }));
        char c;
        ASSERT_EQ(1, read(program.Fd(), &c, 1));
        EXPECT_TRUE(PumpUntil([&] { return line.HadItsChance(); })) << "once asleep again";
    }
    {
        LineHolder spinner(pty, {"/bin/sh", "-c", "while :; do :; done"});
        ProcessLine line(spinner.Pid(), pty.SlavePath());
        ASSERT_EQ("", line.Problem());
        EXPECT_FALSE(line.HadItsChance()) << "it runs";
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
}
