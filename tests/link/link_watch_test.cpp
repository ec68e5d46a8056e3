// The watch over an open link, on the manual clock moved by hand: a device that has talked
// and then says nothing for longer than the silence limit is lost as a pulled one is, while
// one that polls slowly, or one that never said anything, is not; a raw frame for a device
// gone quiet waits for its next frame.

#include <gtest/gtest.h>

#include "link/wait_for.h"
#include "platform/sync/clock.h"
#include "platform/win/message_queue.h"
#include "tests/link/link_fakes.h"
#include "tests/support/auto_advance.h"

namespace {

// Moves the clock `ms` on in steps of 10, handling what falls due on the way (the pause of a
// close the watch starts runs on the AutoAdvance).
void RunClock(ManualClock& clock, uint64_t ms) {
    for (uint64_t t = 0; t < ms; t += 10) {
        clock.Advance(10);
        ProcessMessages();
    }
}

}  // namespace

TEST(LinkWatch, AbsentAndSlowDevicesStayAndARequestNotTakenInTimeEndsTheLink) {
    InitWindowThread();
    ScopedManualClock clock;
    AutoAdvance advance(*clock);
    FakeLink f;
    LinkState.PrtShow = true;
    const std::string poll = FakeLink::Frame("");
    // Absent from the start: that is for the opening's type query to find out.
    RunClock(*clock, 10 * TSercomLink::kSilenceLimitMs);
    EXPECT_TRUE(LinkState.PortOpen);
    // Polling slowly, but polling.
    for (int k = 0; k < 10; ++k) {
        f.Poll(poll);
        RunClock(*clock, TSercomLink::kSilenceLimitMs - 100);
    }
    EXPECT_TRUE(LinkState.PortOpen);
    EXPECT_EQ(0, f.main.losses);
    // A request nobody waits for, and no poll to take it: gone at its own deadline, sooner
    // than the silence limit, and the device with it.
    f.Poll(poll);
    ASSERT_TRUE(f.link.EnqueueRequest(FakeLink::Data({0xFB, 0x02, 0x00, 0x50, 0x01})));
    RunClock(*clock, TSercomLink::kUntakenLimitMs - 10);
    EXPECT_TRUE(LinkState.PortOpen);
    RunClock(*clock, TSercomLink::kWatchIntervalMs + 10);
    EXPECT_FALSE(LinkState.PortOpen);
    EXPECT_EQ(1, f.main.losses);
    EXPECT_TRUE(f.link.WasLost());
    EXPECT_TRUE(f.link.QueueItems().empty());
    ASSERT_FALSE(f.view.trace.empty());
    EXPECT_NE(std::string::npos, f.view.trace.back().find("withdrawn: 00,00,FB,02,00,50,01"));
}

TEST(LinkWatch, SilenceWithoutARequestEndsTheLinkAtTheLimit) {
    InitWindowThread();
    ScopedManualClock clock;
    AutoAdvance advance(*clock);
    FakeLink f;
    f.Poll(FakeLink::Frame(""));
    RunClock(*clock, TSercomLink::kSilenceLimitMs);
    EXPECT_TRUE(LinkState.PortOpen);
    RunClock(*clock, TSercomLink::kWatchIntervalMs + 10);
    EXPECT_FALSE(LinkState.PortOpen);
    EXPECT_EQ(1, f.main.losses);
    EXPECT_EQ("device silent", f.view.LastStatus());
}

TEST(LinkWatch, ARawFrameForADeviceGoneQuietFollowsItsNextFrame) {
    InitWindowThread();
    ScopedManualClock clock;
    FakeLink f;
    const std::string poll = FakeLink::Frame("");
    const std::string raw = FakeLink::Data({0xFD, 0x01, 0x00});
    // Never heard, or heard just now: at once.
    f.port.written.clear();
    f.link.SendRawFrame(raw);
    EXPECT_EQ(std::vector<std::string>{FakeLink::Frame(raw, 0, 2)}, f.port.written);
    f.Poll(poll);
    f.port.written.clear();
    f.link.SendRawFrame(raw);
    EXPECT_EQ(1u, f.port.written.size());
    // Quiet for longer than a device that talks ever is: after its next frame's answer.
    f.Poll(poll);
    RunClock(*clock, TSercomLink::kRawFreshMs + 10);
    f.port.written.clear();
    f.link.SendRawFrame(raw);
    EXPECT_TRUE(f.port.written.empty());
    EXPECT_EQ((std::vector<std::string>{poll, FakeLink::Frame(raw, 0, 2)}), f.Poll(poll));
    // Or never, when the link ends first.
    RunClock(*clock, TSercomLink::kRawFreshMs + 10);
    f.link.SendRawFrame(raw);
    {
        AutoAdvance advance(*clock);
        f.link.ClosePort();
    }
    f.link.OpenPort(1, false);
    EXPECT_EQ(std::vector<std::string>{poll}, f.Poll(poll));
}
