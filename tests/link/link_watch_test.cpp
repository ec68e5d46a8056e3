// The watch over an open link, on the manual clock moved by hand: a device that has talked
// and then says nothing for longer than the silence limit is lost as a pulled one is, while
// one that polls slowly, or one that never said anything, is not; what is pending for it (a
// door command, a raw frame for a device gone quiet) is taken when it talks again within
// that same limit, and never goes once it is lost.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "link/device_wait.h"
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
    f.link.LinkState.PrtShow = true;
    const std::string poll = FakeLink::Frame("");
    // Absent from the start: that is for the opening's type query to find out.
    RunClock(*clock, 10 * TSercomLink::kSilenceLimitMs);
    EXPECT_TRUE(f.link.LinkState.PortOpen);
    // Polling slowly, but polling.
    for (int k = 0; k < 10; ++k) {
        f.Poll(poll);
        RunClock(*clock, TSercomLink::kSilenceLimitMs - 100);
    }
    EXPECT_TRUE(f.link.LinkState.PortOpen);
    EXPECT_EQ(0, f.main.losses);
    // A request nobody waits for, which the device does not take although it goes on
    // talking (each of its frames is a record, answered by its acknowledgement first): gone
    // at its own deadline, and the device with it.
    const std::string record = FakeLink::Frame(FakeLink::Data({0xFB, 0x02, 0x02, 0x77, 0x00}));
    ASSERT_TRUE(f.link.EnqueueRequest(FakeLink::Data({0xFB, 0x02, 0x00, 0x50, 0x01})));
    for (uint64_t t = 0; t + 100 < TSercomLink::kSilenceLimitMs; t += 100) {
        f.Poll(record);
        RunClock(*clock, 100);
    }
    EXPECT_TRUE(f.link.LinkState.PortOpen);
    f.Poll(record);
    RunClock(*clock, TSercomLink::kWatchIntervalMs + 10);
    EXPECT_FALSE(f.link.LinkState.PortOpen);
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
    EXPECT_TRUE(f.link.LinkState.PortOpen);
    // At the limit, not at the watch's next look.
    RunClock(*clock, 10);
    EXPECT_FALSE(f.link.LinkState.PortOpen);
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
    // Or never, when the link ends first; and one asked for while the link is closed is
    // not kept for the device of the next opening.
    RunClock(*clock, TSercomLink::kRawFreshMs + 10);
    f.link.SendRawFrame(raw);
    {
        AutoAdvance advance(*clock);
        f.link.ClosePort();
    }
    f.port.written.clear();
    f.link.SendRawFrame(raw);
    EXPECT_TRUE(f.port.written.empty());
    f.link.OpenPort(1, false);
    EXPECT_EQ(std::vector<std::string>{poll}, f.Poll(poll));
}

// Two raw frames asked for one after the other while the device is quiet: the second waits
// behind the first rather than replacing it. Within the limit both follow the next frame's
// answer, once each and in the order asked; past the limit the device is lost, and each
// frame is dropped with a line of its own and never goes.
TEST(LinkWatch, RawFramesAskedWhileOneWaitsEachGoOnceInOrderOrAreDroppedWithTheirLines) {
    InitWindowThread();
    ScopedManualClock clock;
    AutoAdvance advance(*clock);
    const std::string poll = FakeLink::Frame("");
    const std::string first = FakeLink::Data({0xFD, 0x01, 0x00}), second = FakeLink::Data({0xFD, 0x02, 0x00});
    // The first is asked 300 ms into the silence, the second 700 ms later.
    for (const uint64_t silence : {1500, 2400}) {
        SCOPED_TRACE("device talks again after " + std::to_string(silence) + " ms");
        const bool lost = silence > TSercomLink::kSilenceLimitMs;
        FakeLink f;
        f.link.LinkState.PrtShow = true;
        f.Poll(poll);
        RunClock(*clock, 300);
        f.port.written.clear();
        f.link.SendRawFrame(first);
        RunClock(*clock, 700);
        f.link.SendRawFrame(second);
        EXPECT_TRUE(f.port.written.empty());
        RunClock(*clock, silence - 1000);
        std::vector<std::string> wire;
        for (int k = 0; k < 3; ++k)
            for (const std::string& w : f.Poll(poll)) wire.push_back(w);
        EXPECT_EQ(lost ? 1 : 0, f.main.losses);
        if (!lost) {
            EXPECT_EQ((std::vector<std::string>{poll, FakeLink::Frame(first, 0, 2), FakeLink::Frame(second, 0, 2), poll,
                                                poll}),
                      wire);
            continue;
        }
        EXPECT_TRUE(wire.empty());
        EXPECT_EQ(1, f.view.Traced("dropped: raw FD,01,00"));
        EXPECT_EQ(1, f.view.Traced("dropped: raw FD,02,00"));
    }
}

// A door command, a block order or a raw frame asked for while the device is silent: a
// silence within the limit is no loss, and the device takes it once when it talks again; a
// longer one is the lost device, and what was asked for never goes. The same table for all.
TEST(LinkWatch, WhatIsPendingDuringASilenceGoesOnceWithinTheLimitAndNeverPastIt) {
    InitWindowThread();
    ScopedManualClock clock;
    AutoAdvance advance(*clock);
    const std::string poll = FakeLink::Frame("");
    const std::string lock = FakeLink::Data({0xFB, 0x02, 0x00, 0x50, 0x03});
    const std::string raw = FakeLink::Data({0xFD, 0x01, 0x00});
    struct Pending {
        const char* name;
        uint64_t asked_ms;  // into the silence
        std::function<void(FakeLink&)> ask;
        std::string wire;
    };
    const Pending pending[] = {
        {"door command", 100, [&](FakeLink& f) { ASSERT_TRUE(f.link.EnqueueRequest(lock)); }, FakeLink::Frame(lock)},
        {"block order", 100, [&](FakeLink& f) { ASSERT_TRUE(f.link.OrderBlock(TBlockOrder::ReadInputs, false)); },
         FakeLink::Frame(FakeLink::Data({0xFC, 0x13, 0x00}))},
        // Later than kRawFreshMs, so it waits for the device's next frame.
        {"raw frame", 300, [&](FakeLink& f) { f.link.SendRawFrame(raw); }, FakeLink::Frame(raw, 0, 2)},
    };
    const std::pair<uint64_t, bool> silences[] = {{1200, false}, {1500, false}, {1900, false}, {2100, true}};
    for (const Pending& p : pending)
        for (const auto& [silence, lost] : silences) {
            SCOPED_TRACE(std::string(p.name) + " in a silence of " + std::to_string(silence) + " ms");
            FakeLink f;
            f.Poll(poll);
            RunClock(*clock, p.asked_ms);
            f.port.written.clear();
            p.ask(f);
            EXPECT_TRUE(f.port.written.empty()) << "nothing on the line for a device that may have stopped";
            RunClock(*clock, silence - p.asked_ms);
            EXPECT_EQ(lost ? 1 : 0, f.main.losses);
            EXPECT_EQ(!lost, f.link.LinkState.PortOpen);
            size_t sent = 0;
            for (int k = 0; k < 5; ++k)
                for (const std::string& wire : f.Poll(poll)) sent += wire == p.wire ? 1 : 0;
            EXPECT_EQ(lost ? 0u : 1u, sent);
        }
}

// A frame traced as sent ("S:") is one the port was given. Tracing it handles what is pending,
// and the watch may fall due right there and end the link for a request nobody took: a raw
// frame sent at once as that happens was written before the loss and is traced so, in that
// order.
TEST(LinkWatch, AFrameTracedAsSentWasWrittenEvenWhenTheWatchEndsTheLinkWhileTracingIt) {
    InitWindowThread();
    ScopedManualClock clock;
    AutoAdvance advance(*clock);
    FakeLink f;
    f.link.LinkState.PrtShow = true;
    // Records, each answered by its acknowledgement first: the request is never taken.
    const std::string record = FakeLink::Frame(FakeLink::Data({0xFB, 0x02, 0x02, 0x77, 0x00}));
    const std::string raw = FakeLink::Frame(FakeLink::Data({0xFD, 0x01, 0x00}), 0, 2);
    ASSERT_TRUE(f.link.EnqueueRequest(FakeLink::Data({0xFB, 0x02, 0x00, 0x50, 0x01})));
    for (uint64_t t = 0; t + 100 < TSercomLink::kSilenceLimitMs; t += 100) {
        f.Poll(record);
        RunClock(*clock, 100);
    }
    // Past the request's deadline, before the watch's round; the device has just talked, so
    // the raw frame goes at once.
    clock->Advance(150);
    f.Poll(record);
    ASSERT_TRUE(f.link.LinkState.PortOpen);
    f.port.written.clear();
    f.view.trace.clear();
    f.link.SendRawFrame(FakeLink::Data({0xFD, 0x01, 0x00}));
    EXPECT_EQ(std::vector<std::string>{raw}, f.port.written);
    EXPECT_EQ(1, f.main.losses);
    EXPECT_EQ(1, f.view.Traced("S: "));
    const auto at = [&](const std::string& text) {
        return std::find_if(f.view.trace.begin(), f.view.trace.end(),
                            [&](const std::string& line) { return line.find(text) != std::string::npos; }) -
               f.view.trace.begin();
    };
    EXPECT_LT(at("S: " + BytesToHexList(raw)), at("withdrawn: 00,00,FB,02,00,50,01"));
    EXPECT_EQ(0, f.view.Traced("raw FD,01,00"));
}

// A raw frame past its deadline is no longer the device's even before the watch's round
// withdraws it: the device's next frame gets its answer, the frame does not follow it, and
// neither does one asked behind it, whose own deadline is still to come.
TEST(LinkWatch, ARawFramePastItsDeadlineDoesNotFollowTheNextFrameNorDoOnesBehindIt) {
    InitWindowThread();
    ScopedManualClock clock;
    AutoAdvance advance(*clock);
    FakeLink f;
    f.link.LinkState.PrtShow = true;
    const std::string poll = FakeLink::Frame("");
    const std::string second = FakeLink::Data({0xFD, 0x02, 0x00});
    f.Poll(poll);
    RunClock(*clock, 300);
    f.link.SendRawFrame(FakeLink::Data({0xFD, 0x01, 0x00}));
    RunClock(*clock, 100);
    f.link.SendRawFrame(second);
    RunClock(*clock, TSercomLink::kSilenceLimitMs - 500);
    // Between the two deadlines, before the watch's round.
    clock->Advance(450);
    EXPECT_EQ(std::vector<std::string>{poll}, f.Poll(poll));
    RunClock(*clock, TSercomLink::kWatchIntervalMs);
    EXPECT_EQ(1, f.main.losses);
    EXPECT_EQ(1, f.view.Traced("withdrawn: raw FD,01,00"));
    EXPECT_EQ(1, f.view.Traced("dropped: raw FD,02,00"));
    EXPECT_EQ(0, f.view.Traced("S: " + BytesToHexList(FakeLink::Frame(second, 0, 2))));
}

// The same for a door command or a block order nobody took by its deadline: the device's next
// frame before the watch's round gets an empty answer, and the watch then finds it untaken.
TEST(LinkWatch, ARequestOrBlockOrderPastItsDeadlineIsNoAnswerEvenBeforeTheWatchsRound) {
    InitWindowThread();
    ScopedManualClock clock;
    AutoAdvance advance(*clock);
    const std::string poll = FakeLink::Frame("");
    const std::string lock = FakeLink::Data({0xFB, 0x02, 0x00, 0x50, 0x03});
    struct Pending {
        const char* name;
        std::function<void(FakeLink&)> ask;
        const char* line;
    };
    const Pending pending[] = {
        {"door command", [&](FakeLink& f) { ASSERT_TRUE(f.link.EnqueueRequest(lock)); },
         "withdrawn: 00,00,FB,02,00,50,03"},
        {"block order", [&](FakeLink& f) { ASSERT_TRUE(f.link.OrderBlock(TBlockOrder::ReadInputs, false)); },
         "withdrawn: FC,13,00"},
    };
    for (const Pending& p : pending) {
        SCOPED_TRACE(p.name);
        FakeLink f;
        f.link.LinkState.PrtShow = true;
        p.ask(f);
        RunClock(*clock, TSercomLink::kSilenceLimitMs - 100);
        clock->Advance(150);
        EXPECT_EQ(std::vector<std::string>{poll}, f.Poll(poll));
        RunClock(*clock, TSercomLink::kWatchIntervalMs);
        EXPECT_EQ(1, f.main.losses);
        EXPECT_EQ(1, f.view.Traced(p.line));
    }
}

// A block order nobody took by its deadline is a lost device, whoever asks for it again before
// the watch's round: it is withdrawn with its line, the link ends, and the new ask is refused.
// A wait that asked for it cannot end first and withdraw it as if nothing were amiss.
TEST(LinkWatch, AHeldBlockOrderAskedForAgainPastItsDeadlineIsTheLostDevice) {
    InitWindowThread();
    ScopedManualClock clock;
    AutoAdvance advance(*clock);
    for (const bool waited : {true, false}) {
        SCOPED_TRACE(waited ? "asked again by a wait" : "asked again by nobody's wait");
        FakeLink f;
        f.link.LinkState.PrtShow = true;
        const auto held = f.link.OrderBlock(TBlockOrder::ReadInputs, false);
        ASSERT_NE(nullptr, held);
        RunClock(*clock, TSercomLink::kSilenceLimitMs - 100);
        ASSERT_EQ(0, f.main.losses);
        clock->Advance(150);
        if (waited) {
            TDeviceWait wait(&f.link);
            EXPECT_FALSE(wait.Order(TBlockOrder::ReadInputs));
        } else {
            EXPECT_EQ(nullptr, f.link.OrderBlock(TBlockOrder::ReadInputs, false));
        }
        RunClock(*clock, TSercomLink::kWatchIntervalMs);
        EXPECT_EQ(1, f.main.losses);
        EXPECT_TRUE(f.link.WasLost());
        EXPECT_FALSE(f.link.LinkState.PortOpen);
        EXPECT_EQ(TDeviceRequest::TState::Withdrawn, held->State);
        EXPECT_EQ(1, f.view.Traced("withdrawn: FC,13,00"));
        EXPECT_EQ(1, f.view.Traced("refused: link closed FC,13,00"));
    }
}
