// The one nested wait and the link's waits built on it, against each of their ends on the
// manual clock: the end comes from a message handled inside the wait, as it would from a
// received frame, a click or a closed window.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "link/delay.h"
#include "link/device_wait.h"
#include "link/link_state.h"
#include "link/wait_for.h"
#include "platform/sync/clock.h"
#include "platform/win/message_queue.h"
#include "platform/win/window_handle.h"
#include "tests/link/link_fakes.h"
#include "tests/support/auto_advance.h"

namespace {

constexpr UINT kTrigger = WM_USER + 7;

// Runs `trigger` from a posted message, i.e. inside the wait that is about to start.
class Trigger {
public:
    explicit Trigger(std::function<void()> trigger) : trigger_(std::move(trigger)) {
        wnd_ = AllocateHWnd([this](TMessage& m) {
            if (m.Msg == kTrigger && trigger_) trigger_();
        });
        if (trigger_) PostMessage(wnd_, kTrigger, 0, 0);
    }
    ~Trigger() {
        DeallocateHWnd(wnd_);
        // A quit posted for the test must not end later loops.
        MSG msg;
        PeekMessage(msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }

private:
    std::function<void()> trigger_;
    HWND wnd_;
};

struct EndCase {
    const char* name;
    TWaitEnd expected;
};

const EndCase kEnds[] = {{"met", TWaitEnd::Met},
                         {"program end", TWaitEnd::ProgramEnd},
                         {"link closed", TWaitEnd::LinkClosed},
                         {"page left", TWaitEnd::PageLeft},
                         {"deadline", TWaitEnd::Deadline}};

// What ended a wait that answers only "not met": a pending quit, the link, or its time.
TWaitEnd OtherEnd(const TSercomLink& link) {
    if (!ProcessMessages()) return TWaitEnd::ProgramEnd;
    return link.Up() ? TWaitEnd::Deadline : TWaitEnd::LinkClosed;
}

}  // namespace

TEST(WaitFor, EndsOnEachOfItsEndsAndSaysWhich) {
    InitWindowThread();
    ScopedManualClock clock;
    AutoAdvance advance(*clock);
    for (const EndCase& c : kEnds) {
        bool met = false, up = true, shown = true;
        Trigger t([&] {
            switch (c.expected) {
                case TWaitEnd::Met: met = true; break;
                case TWaitEnd::ProgramEnd: PostQuitMessage(0); break;
                case TWaitEnd::LinkClosed: up = false; break;
                case TWaitEnd::PageLeft: shown = false; break;
                case TWaitEnd::Deadline: break;
            }
        });
        const TWaitEnd end = WaitFor([&] { return met; }, clock->Ticks() + 1000,
                                     TWaitEnds{[&] { return up; }, [&] { return shown; }});
        EXPECT_EQ(WaitEndName(c.expected), std::string(WaitEndName(end))) << c.name;
    }
}

TEST(WaitFor, TheProgramsEndWinsAndAConditionMetBeatsTheLinkAndThePage) {
    InitWindowThread();
    ScopedManualClock clock;
    {
        Trigger t([] { PostQuitMessage(0); });
        EXPECT_EQ(TWaitEnd::ProgramEnd, WaitFor([] { return true; }, kNoDeadline));
    }
    EXPECT_EQ(TWaitEnd::Met,
              WaitFor([] { return true; }, kNoDeadline, TWaitEnds{[] { return false; }, [] { return false; }}));
    EXPECT_EQ(TWaitEnd::LinkClosed,
              WaitFor([] { return false; }, clock->Ticks(), TWaitEnds{[] { return false; }, [] { return false; }}));
}

// Delay and the type query, each against every end that applies to it. Whenever the link
// closed, nothing is left in the queue.
TEST(LinkWaits, DelayAndTypeQueryEndOnTheirEnds) {
    InitWindowThread();
    ScopedManualClock clock;
    AutoAdvance advance(*clock);
    struct Wait {
        const char* name;
        // Runs the wait; answers how it ended (in its own terms, mapped to a wait end).
        std::function<TWaitEnd(FakeLink&)> run;
        // Makes its condition come true.
        std::function<void(FakeLink&)> meet;
    };
    const Wait waits[] = {
        {"Delay",
         [](FakeLink& f) { return Delay(1000, f.link.WaitEnds([&f] { return f.link.LinkState.ResultCode == 0; })); },
         nullptr},
        {"QueryDeviceType",
         [](FakeLink& f) {
             const int32_t code = f.link.QueryDeviceType();
             if (code == 0x81) return TWaitEnd::Met;
             return OtherEnd(f.link);
         },
         [](FakeLink& f) { f.link.LinkState.DeviceTypeCode = 0x81; }},
    };
    for (const Wait& w : waits) {
        for (const EndCase& c : kEnds) {
            if (c.expected == TWaitEnd::Met && !w.meet) continue;
            // The type query does not look at a page; the delay has no condition.
            if (c.expected == TWaitEnd::PageLeft && w.meet) continue;
            FakeLink f;
            Trigger t([&] {
                switch (c.expected) {
                    case TWaitEnd::Met: w.meet(f); break;
                    case TWaitEnd::ProgramEnd: PostQuitMessage(0); break;
                    case TWaitEnd::LinkClosed: f.link.ClosePort(); break;
                    case TWaitEnd::PageLeft: f.link.LinkState.ResultCode = 1; break;
                    case TWaitEnd::Deadline: break;
                }
            });
            EXPECT_EQ(WaitEndName(c.expected), std::string(WaitEndName(w.run(f)))) << w.name << ": " << c.name;
            if (!f.link.LinkState.PortOpen) {
                EXPECT_FALSE(f.link.HasQueuedRequest()) << w.name << ": " << c.name;
            }
        }
    }
}

TEST(LinkWaits, TheTypeQueryOnAClosedLinkAnswersAtOnceAndQueuesNothing) {
    InitWindowThread();
    ScopedManualClock clock;
    FakeLink f(false);
    const uint64_t start = clock->Ticks();
    EXPECT_EQ(-1, f.link.QueryDeviceType());
    EXPECT_EQ(start, clock->Ticks());
    EXPECT_FALSE(f.link.HasQueuedRequest());
}

// The queue's rule against each way a wait ends: a request a wait queued never leaves once
// the wait has ended other than by its answer, and a request nobody waits for is withdrawn
// when its own deadline passes, the device then counting as lost. Each time the next poll
// (on the same opening, or on the next) gets an empty answer: nothing stale is left.
TEST(LinkWaits, NothingAWaitQueuedOutlivesItAndARequestNobodyWaitsForHasItsOwnDeadline) {
    InitWindowThread();
    ScopedManualClock clock;
    AutoAdvance advance(*clock);
    const std::string doorState = FakeLink::Data({0xFB, 0x02, 0x00, 0x0D, 0x00});
    const std::string item = "00,00,FB,02,00,0D,00";
    const std::string poll = FakeLink::Frame("");
    const std::string record = FakeLink::Frame(
        FakeLink::Data({0xFB, 0x02, 0x09, 0x0D, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    struct Row {
        const char* name;
        TWaitEnd end;      // how the wait (or the request's own deadline) ends
        const char* line;  // the queue's trace line for the request ("": it left)
        bool waited;
    };
    const Row rows[] = {
        {"met", TWaitEnd::Met, "", true},
        {"deadline", TWaitEnd::Deadline, "withdrawn: ", true},
        {"page left", TWaitEnd::PageLeft, "withdrawn: ", true},
        {"link closed", TWaitEnd::LinkClosed, "dropped: ", true},
        {"program end", TWaitEnd::ProgramEnd, "withdrawn: ", true},
        {"own deadline", TWaitEnd::LinkClosed, "withdrawn: ", false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        FakeLink f;
        f.link.LinkState.PrtShow = true;
        std::vector<std::string> sent;
        bool shown = true;
        Trigger t([&] {
            switch (r.end) {
                case TWaitEnd::Met:
                    sent = f.Poll(poll);
                    f.Poll(record);
                    break;
                case TWaitEnd::ProgramEnd: PostQuitMessage(0); break;
                case TWaitEnd::LinkClosed:
                    if (r.waited) f.link.ClosePort();
                    break;
                case TWaitEnd::PageLeft: shown = false; break;
                case TWaitEnd::Deadline: break;
            }
        });
        TWaitEnd end;
        if (r.waited) {
            TDeviceWait wait(&f.link);
            ASSERT_TRUE(wait.Queue(doorState, AwaitDoorState));
            end = wait.Until(clock->Ticks() + 1000, f.link.WaitEnds([&] { return shown; }));
            EXPECT_EQ(r.end == TWaitEnd::Met, wait.Answered());
        } else {
            ASSERT_TRUE(f.link.EnqueueRequest(doorState));
            // Longer than the request may wait; the device never talked, so no silence counts.
            end = Delay(TSercomLink::kSilenceLimitMs + 2 * TSercomLink::kWatchIntervalMs, f.link.WaitEnds());
            EXPECT_EQ(1, f.main.losses);
        }
        EXPECT_EQ(WaitEndName(r.end), std::string(WaitEndName(end)));
        EXPECT_TRUE(f.link.QueueItems().empty());
        EXPECT_TRUE(f.view.queue.empty());
        const bool traced = std::any_of(f.view.trace.begin(), f.view.trace.end(), [&](const std::string& line) {
            return line.find(std::string(r.line) + item) != std::string::npos;
        });
        EXPECT_EQ(*r.line != '\0', traced);
        if (r.end == TWaitEnd::Met) {
            ASSERT_EQ(1u, sent.size());
            EXPECT_EQ(FakeLink::Frame(doorState), sent[0]);
        }
        if (!f.link.LinkState.PortOpen) f.link.OpenPort(1, false);
        EXPECT_EQ(std::vector<std::string>{poll}, f.Poll(poll));
    }
}
