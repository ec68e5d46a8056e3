#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "link/frame_codec.h"
#include "link/link_state.h"
#include "platform/rtl/exception.h"
#include "platform/sync/clock.h"
#include "platform/win/message_queue.h"
#include "platform/win/timers.h"
#include "program/message_dialog.h"
#include "tests/link/link_fakes.h"
#include "tests/support/auto_advance.h"

namespace {

using D = std::initializer_list<int>;
std::string Bytes(D b) { return FakeLink::Data(b); }
std::string Empty() { return FakeLink::Frame(""); }

}  // namespace

TEST(FrameCodec, WorkedFramesAndEscapingBothWays) {
    struct Row {
        std::string data;
        std::string wire;
    } rows[] = {
        {Bytes({0x20, 0x10}), Bytes({0x02, 0x00, 0x01, 0x1B, 0x82, 0x20, 0x10, 0x33, 0x03})},
        {"", Bytes({0x02, 0x00, 0x01, 0x00, 0x01, 0x03})},
        {Bytes({0x28, 0x28, 0x00}), Bytes({0x02, 0x00, 0x01, 0x1B, 0x83, 0x28, 0x28, 0x00, 0x1B, 0x82, 0x03})},
        {Bytes({0xFB, 0x02, 0x00, 0x0D, 0x00}),
         Bytes({0x02, 0x00, 0x01, 0x05, 0xFB, 0x1B, 0x82, 0x00, 0x0D, 0x00, 0xF0, 0x03})},
        {Bytes({0x1B}), Bytes({0x02, 0x00, 0x01, 0x01, 0x1B, 0x9B, 0x1B, 0x9B, 0x03})},  // data and check byte 1B
    };
    for (const Row& r : rows) {
        EXPECT_EQ(BytesToHexList(r.wire), BytesToHexList(BuildWireFrame(0, 1, r.data)));
        std::string back = r.wire;
        UnescapeFrame(back);
        EXPECT_EQ(static_cast<size_t>(3 + r.data.size() + 3), back.size());
    }
    EXPECT_EQ("0A,FF,00", BytesToHexList(Bytes({0x0A, 0xFF, 0x00})));
    EXPECT_EQ(Bytes({0x0A, 0xFF, 0x00}), HexListToBytes("0A,FF,00"));
    EXPECT_EQ("", HexListToBytes(""));
    EXPECT_EQ(Bytes({0x01, 0x00}), HexListToBytes("01,,,"));  // a missing token gives 0
    std::string bits;
    AppendBitPattern(bits, 0x81);
    EXPECT_EQ("X------X", bits);
}

TEST(FrameEngine, AnswersEveryGoodFrameOnceInOrderOfPrecedence) {
    FakeLink f;
    // Nothing pending: an empty frame.
    auto out = f.Poll(Empty());
    ASSERT_EQ(1u, out.size());
    EXPECT_EQ(Empty(), out[0]);
    EXPECT_EQ(1, f.main.ticks);

    f.link.EnqueueRequest(Bytes({0xFB, 0x02, 0x00, 0x0D, 0x00}));
    f.link.EnqueueRequest(Bytes({0x20, 0x10}));
    EXPECT_EQ("00,00,FB,02,00,0D,00", f.view.queue.at(0));
    f.link.LinkState.PendingFrame = Bytes({0x28, 0x28, 0x00});
    f.main.texts["Edit502"] = "01,02";
    f.main.texts["Edit503"] = "";
    for (TBlockOrder order :
         {TBlockOrder::WriteOutputs, TBlockOrder::WriteInputs, TBlockOrder::ReadOutputs, TBlockOrder::ReadInputs})
        ASSERT_TRUE(f.link.OrderBlock(order, false));

    const std::string expected[] = {
        Bytes({0xFC, 0x13, 0x00}),
        Bytes({0xFC, 0x13, 0x01}),
        Bytes({0xFB, 0x13, 0x00, 0x01, 0x02}),
        Bytes({0xFB, 0x13, 0x01}),
        Bytes({0x28, 0x28, 0x00}),
        Bytes({0xFB, 0x02, 0x00, 0x0D, 0x00}),
        Bytes({0x20, 0x10}),
        "",
    };
    for (const std::string& data : expected) {
        out = f.Poll(Empty());
        ASSERT_EQ(1u, out.size());
        EXPECT_EQ(BytesToHexList(FakeLink::Frame(data)), BytesToHexList(out[0]));
    }
    EXPECT_TRUE(f.view.queue.empty());
}

TEST(FrameEngine, BroadcastGetsNoAnswerUnlessSomethingIsOrdered) {
    FakeLink f;
    auto out = f.Poll(FakeLink::Frame(Bytes({0x00, 0x81, 0x0F}), 0x02, 0x01));
    EXPECT_TRUE(out.empty());
    EXPECT_EQ("X------X XXXX----", f.main.texts["Label511"]);
    ASSERT_TRUE(f.link.OrderBlock(TBlockOrder::ReadInputs, false));
    out = f.Poll(FakeLink::Frame(Bytes({0x00, 0x00, 0x00}), 0x02, 0x01));
    ASSERT_EQ(1u, out.size());
    EXPECT_EQ(FakeLink::Frame(Bytes({0xFC, 0x13, 0x00})), out[0]);
    // LEN below 3 is never a broadcast: it is answered.
    out = f.Poll(FakeLink::Frame(Bytes({0x00, 0x00}), 0x02, 0x01));
    EXPECT_EQ(1u, out.size());
}

TEST(FrameEngine, BadFramesGetNoAnswerAndShowTheirStatus) {
    FakeLink f;
    std::string bad_bcc = Empty();
    bad_bcc[bad_bcc.size() - 2] ^= 0x40;
    std::string esc_etx = Bytes({0x02, 0x00, 0x01, 0x00, 0x01, 0x1B, 0x03});
    struct Row {
        std::string wire;
        std::string status;
    } rows[] = {
        {bad_bcc, "REC-ERR: BCC wrong"},
        {Bytes({0x55}) + Empty(), "REC-ERR: no STX"},
        {esc_etx, "REC-ERR: no ETX"},
        {Bytes({0x02, 0x00, 0x01, 0x03}), "REC-ERR: too short"},
        {Bytes({0x02, 0x03}), "REC-ERR: too short"},
        {Bytes({0x03}), "REC-ERR: no STX"},
    };
    for (const Row& r : rows) {
        f.view.status.clear();
        auto out = f.Poll(r.wire);
        EXPECT_TRUE(out.empty()) << BytesToHexList(r.wire);
        EXPECT_EQ(r.status, f.view.LastStatus()) << BytesToHexList(r.wire);
    }
    EXPECT_EQ(0, f.main.ticks);
    // The buffer is emptied at every ETX: the next frame is clean.
    auto out = f.Poll(Empty());
    EXPECT_EQ(1u, out.size());
    EXPECT_EQ("", f.view.LastStatus());
}

TEST(FrameEngine, AnErrorNoBadFrameCausesIsLoggedAndReceptionGoesOn) {
    FakeLink f;
    f.main.on_tick = [] { throw std::logic_error("tick handler broke"); };
    EXPECT_TRUE(f.Poll(Empty()).empty());
    EXPECT_NE(std::string::npos, f.ComLog().find("tick handler broke"));
    f.main.on_tick = nullptr;
    EXPECT_EQ(1u, f.Poll(Empty()).size());
}

TEST(FrameEngine, ReceiveBufferWithoutEtxIsCappedAtOneKilobyte) {
    FakeLink f;
    auto out = f.Poll(std::string(5000, '\x55'));
    EXPECT_TRUE(out.empty());
    EXPECT_LE(f.link.LinkState.ReceiveBuffer.size(), 1024u);
    EXPECT_EQ("REC-ERR: no ETX", f.view.LastStatus());
    f.Poll(std::string(100, '\x55') + Empty());  // this one fails (garbage in front)...
    out = f.Poll(Empty());                       // ...and the next is clean
    EXPECT_EQ(1u, out.size());
}

TEST(FrameEngine, ResultByteIsReadFromLenSixOnAndShortAnswersReadAsZero) {
    FakeLink f;
    const auto result = f.link.ExpectAnswer(AwaitResult);
    f.Poll(FakeLink::Frame(Bytes({0x28, 0xFB, 0x07, 0x00, 0x00})));  // LEN 5
    EXPECT_EQ(0, f.link.LinkState.ResultCode);
    EXPECT_TRUE(result->Answered);
    f.Poll(FakeLink::Frame(Bytes({0x28, 0xFB, 0x07, 0x00, 0x00, 0x00})));  // LEN 6
    EXPECT_EQ(7, f.link.LinkState.ResultCode);
    EXPECT_EQ("RES=07", f.view.LastStatus());
    // A type answer without its type byte: the code stays 0 (no answer), never read past the end.
    f.link.LinkState.DeviceTypeCode = 0;
    f.Poll(FakeLink::Frame(Bytes({0x21, 0x10, 0x00})));
    EXPECT_EQ(0, f.link.LinkState.DeviceTypeCode);
    f.Poll(FakeLink::Frame(Bytes({0x21, 0x10, 0x00, 0x00, 0x91})));
    EXPECT_EQ(0x91, f.link.LinkState.DeviceTypeCode);
    // LEN says more than the frame holds: the missing bytes are not read.
    std::string lying = Bytes({0x00, 0x01, 0xF0, 0xFB, 0x02});
    lying += static_cast<char>(XorCheck(lying));
    std::string wire = Bytes({0x02});
    for (char c : lying) {
        if (c == 0x02 || c == 0x03 || c == 0x1B)
            wire += Bytes({0x1B, static_cast<uint8_t>(c) + 0x80});
        else
            wire += c;
    }
    wire += '\x03';
    auto out = f.Poll(wire);
    EXPECT_EQ(1u, out.size());
}

TEST(FrameEngine, BlockReadsFillTheEditsAndAnswerTheirOrders) {
    FakeLink f;
    const auto inputs = f.link.ExpectAnswer(AwaitInputBlock);
    const auto outputs = f.link.ExpectAnswer(AwaitOutputBlock);
    f.Poll(FakeLink::Frame(Bytes({0xFC, 0x13, 0x00, 0x01, 0x00, 0x05, 0x00})));
    EXPECT_EQ("01,00,05,00", f.main.texts["Edit502"]);
    EXPECT_TRUE(inputs->Answered);
    EXPECT_FALSE(outputs->Answered);
    f.Poll(FakeLink::Frame(Bytes({0xFC, 0x13, 0x01, 0x81, 0x00, 0x00, 0x00})));
    EXPECT_EQ("81,00,00,00", f.main.texts["Edit503"]);
    EXPECT_TRUE(outputs->Answered);
    const auto again = f.link.ExpectAnswer(AwaitInputBlock);
    f.Poll(FakeLink::Frame(Bytes({0xFC, 0x13, 0x02, 0x81, 0x00, 0x00, 0x00})));
    EXPECT_FALSE(again->Answered);  // other X: nothing
}

TEST(FrameEngine, NestedDeliveryWaitsUntilTheFrameInHandHasItsAnswer) {
    FakeLink f;
    f.link.EnqueueRequest(Bytes({0x20, 0x10}));
    bool nested = false;
    // While the first frame is handled, the next one arrives and its event is delivered.
    f.main.on_tick = [&] {
        if (nested) return;
        nested = true;
        f.port.Feed(Empty());
        EXPECT_TRUE(f.port.written.empty());  // nothing answered inside
    };
    auto out = f.Poll(Empty());
    ASSERT_EQ(2u, out.size());
    EXPECT_EQ(FakeLink::Frame(Bytes({0x20, 0x10})), out[0]);
    EXPECT_EQ(Empty(), out[1]);
}

// A frame the port refuses (its output full) was not sent: no "S:" line for it, and what it
// carried leaves a line of its own instead, as a close leaves for what it drops; it never goes
// later. The port's error reaches whoever sent the frame; a device's frame is still answered
// once, and whatever waits behind the refused frame goes after the next one.
TEST(FrameEngine, AFrameThePortRefusesIsNotTracedAsSentAndWhatItCarriedLeavesItsLine) {
    ScopedManualClock clock;
    const std::string poll = Empty();
    const std::string raw = Bytes({0xFD, 0x01, 0x00}), behind = Bytes({0xFD, 0x02, 0x00});
    const std::string lock = Bytes({0xFB, 0x02, 0x00, 0x50, 0x03});
    struct Row {
        const char* name;
        std::function<void(FakeLink&)> ask;  // then the device polls, the port refusing `refused`
        std::string refused;
        std::string line;
        std::vector<std::string> next;  // what the poll after that one gets
    };
    const Row rows[] = {
        {"raw frame at once",
         [&](FakeLink& f) { EXPECT_THROW(f.link.SendRawFrame(raw), Exception); },
         FakeLink::Frame(raw, 0, 2),
         "dropped: raw FD,01,00",
         {poll}},
        {"raw frames for a quiet device",
         [&](FakeLink& f) {
             clock->Advance(TSercomLink::kRawFreshMs + 10);
             f.link.SendRawFrame(raw);
             f.link.SendRawFrame(behind);
         },
         FakeLink::Frame(raw, 0, 2),
         "dropped: raw FD,01,00",
         {poll, FakeLink::Frame(behind, 0, 2)}},
        {"block order",
         [&](FakeLink& f) { ASSERT_TRUE(f.link.OrderBlock(TBlockOrder::ReadInputs, false)); },
         FakeLink::Frame(Bytes({0xFC, 0x13, 0x00})),
         "dropped: FC,13,00",
         {poll}},
        {"door command",
         [&](FakeLink& f) { ASSERT_TRUE(f.link.EnqueueRequest(lock)); },
         FakeLink::Frame(lock),
         "dropped: 00,00,FB,02,00,50,03",
         {poll}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        FakeLink f;
        f.link.LinkState.PrtShow = true;
        f.Poll(poll);
        f.port.written.clear();
        f.view.trace.clear();
        f.port.on_put = [&](const std::string& wire) {
            if (wire == r.refused) throw Exception("output buffer too small");
        };
        r.ask(f);
        f.port.Feed(poll);
        f.port.on_put = nullptr;
        const std::vector<std::string> before = f.port.written;
        f.port.Feed(poll);
        EXPECT_EQ(r.next, std::vector<std::string>(f.port.written.begin() + before.size(), f.port.written.end()));
        EXPECT_EQ(0, std::count(f.port.written.begin(), f.port.written.end(), r.refused));
        EXPECT_EQ(1, f.view.Traced(r.line));
        EXPECT_EQ(static_cast<std::ptrdiff_t>(f.port.written.size()), f.view.Traced("S: "));
        EXPECT_FALSE(f.link.HasQueuedRequest());
        EXPECT_TRUE(f.link.Up());
    }
}

TEST(LinkControl, OpenAndCloseClearOrdersAndNothingOutlivesTheLink) {
    ScopedManualClock clock;
    AutoAdvance advance(*clock);
    FakeLink f(false);
    f.link.LinkState.PrtShow = true;
    // Closed: a request is refused and traced, so it cannot leave at the next opening.
    EXPECT_FALSE(f.link.EnqueueRequest(Bytes({0x20, 0x10})));
    EXPECT_FALSE(f.link.HasQueuedRequest());
    ASSERT_FALSE(f.view.trace.empty());
    EXPECT_NE(std::string::npos, f.view.trace.back().find("refused: link closed 00,00,20,10"));
    // So is a block order.
    EXPECT_EQ(nullptr, f.link.OrderBlock(TBlockOrder::ReadInputs, false));
    EXPECT_NE(std::string::npos, f.view.trace.back().find("refused: link closed FC,13,00"));
    EXPECT_FALSE(f.link.HasQueuedRequest());

    f.link.LinkState.PendingFrame = Bytes({0x28, 0x28, 0x00});
    f.link.OpenPort(7, false);
    EXPECT_TRUE(f.link.LinkState.PortOpen);
    EXPECT_EQ(7, f.port.opened);
    EXPECT_TRUE(f.link.LinkState.PendingFrame.empty());

    // Queued while open, never polled for: dropped at the close and traced.
    EXPECT_TRUE(f.link.EnqueueRequest(Bytes({0xFB, 0x02, 0x00, 0x50, 0x01})));
    const auto order = f.link.OrderBlock(TBlockOrder::ReadOutputs, false);
    ASSERT_NE(nullptr, order);
    f.link.ClosePort();
    EXPECT_FALSE(f.link.LinkState.PortOpen);
    EXPECT_TRUE(f.link.LinkState.LinkStopped);
    EXPECT_EQ(TDeviceRequest::TState::Withdrawn, order->State);
    EXPECT_EQ(" ", f.main.panels[2]);
    EXPECT_FALSE(f.link.HasQueuedRequest());
    EXPECT_TRUE(f.view.queue.empty());
    EXPECT_NE(std::string::npos, f.view.trace.back().find("dropped: 00,00,FB,02,00,50,01"));
    // Stopped: bytes are ignored and nothing is written.
    EXPECT_TRUE(f.Poll(Empty()).empty());
    // Closed already (as a lost device's link is): another close has no frame to let finish,
    // so it does not pause.
    const uint64_t closedAt = clock->Ticks();
    f.link.ClosePort();
    EXPECT_EQ(closedAt, clock->Ticks());
    EXPECT_FALSE(f.link.LinkState.PortOpen);

    // The next opening starts empty.
    f.link.OpenPort(7, false);
    auto out = f.Poll(Empty());
    ASSERT_EQ(1u, out.size());
    EXPECT_EQ(Empty(), out[0]);
}

// Asked for again, by a wait or not, a block order not yet taken is the same one and keeps
// the deadline of whoever ordered it; while the link closes nobody gets it (or a new one),
// since no answer can come on a link that ends.
TEST(LinkControl, BlockOrdersAreRefusedWhileTheLinkClosesAndTheHeldOneKeepsItsDeadline) {
    InitWindowThread();
    ScopedManualClock clock;
    AutoAdvance advance(*clock);
    FakeLink f;
    f.link.LinkState.PrtShow = true;
    const auto held = f.link.OrderBlock(TBlockOrder::ReadInputs, false);
    ASSERT_NE(nullptr, held);
    const uint64_t deadline = held->Deadline;
    EXPECT_EQ(held, f.link.OrderBlock(TBlockOrder::ReadInputs, true));
    EXPECT_EQ(deadline, held->Deadline);

    // The close waits for the held order to leave, and the device does not poll meanwhile.
    std::vector<std::shared_ptr<TDeviceRequest>> asked;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, [&](HWND, UINT, UINT_PTR, uint32_t) {
        if (!f.link.LinkState.LinkClosing || !asked.empty()) return;
        for (const bool waited : {false, true})
            for (const TBlockOrder order : {TBlockOrder::ReadInputs, TBlockOrder::WriteOutputs})
                asked.push_back(f.link.OrderBlock(order, waited));
        EXPECT_EQ(deadline, held->Deadline);
    });
    f.link.ClosePort();
    KillTimer(nullptr, timer);
    ASSERT_EQ(4u, asked.size());
    for (const auto& request : asked) EXPECT_EQ(nullptr, request);
    EXPECT_EQ(TDeviceRequest::TState::Withdrawn, held->State);
    EXPECT_EQ(2, f.view.Traced("refused: link closed FC,13,00"));
    EXPECT_EQ(1, f.view.Traced("dropped: FC,13,00"));
}

TEST(LinkControl, FailedOpenShowsTheTextOnlyWhenAsked) {
    FakeLink f;
    std::vector<std::string> shown;
    SetMessageDialogHandler([&](const std::string& text, int type, int buttons, int) {
        shown.push_back(text);
        EXPECT_EQ(1, type);
        EXPECT_EQ(8, buttons);
        return 2;
    });
    f.port.fail_open = true;
    f.link.OpenPort(99, false);
    EXPECT_FALSE(f.link.LinkState.PortOpen);
    EXPECT_TRUE(shown.empty());
    f.link.OpenPort(99, true);
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ("COM99 kann nicht geöffnet werden !", shown[0]);
    SetMessageDialogHandler(nullptr);
}
