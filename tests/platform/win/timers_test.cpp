#include <future>

#include "platform/sync/clock.h"
#include "tests/platform/win/win_test_support.h"

namespace {

using Timers = WindowTest;

size_t TimerCount(const std::vector<UINT>& messages) {
    size_t n = 0;
    for (UINT m : messages) n += m == WM_TIMER;
    return n;
}

TEST_F(Timers, FireOnTheManualClockAndCoalesceWhenLate) {
    ScopedManualClock clock;
    ASSERT_EQ(SetTimer(wnd_, 7, 100), 7u);
    ProcessMessages();
    clock->Advance(99);
    ProcessMessages();
    EXPECT_EQ(TimerCount(UserMessages()), 0u);
    clock->Advance(1);
    ProcessMessages();
    EXPECT_EQ(TimerCount(UserMessages()), 1u);
    EXPECT_EQ(received_.back().wparam, 7u);
    // Ten intervals late: one WM_TIMER, not ten.
    clock->Advance(1000);
    ProcessMessages();
    ProcessMessages();
    EXPECT_EQ(TimerCount(UserMessages()), 2u);
    // The next one is an interval after the late delivery.
    clock->Advance(99);
    ProcessMessages();
    EXPECT_EQ(TimerCount(UserMessages()), 2u);
    clock->Advance(1);
    ProcessMessages();
    EXPECT_EQ(TimerCount(UserMessages()), 3u);
}

TEST_F(Timers, KillTimerStopsItAndDropsWhatIsDue) {
    ScopedManualClock clock;
    SetTimer(wnd_, 1, 50);
    clock->Advance(60);
    EXPECT_TRUE(KillTimer(wnd_, 1));
    EXPECT_FALSE(KillTimer(wnd_, 1));
    clock->Advance(500);
    ProcessMessages();
    EXPECT_EQ(TimerCount(UserMessages()), 0u);
}

TEST_F(Timers, TimerProcedureIsCalledInsteadOfTheWindow) {
    ScopedManualClock clock;
    int calls = 0;
    UINT_PTR seen_id = 0;
    UINT_PTR id = SetTimer(nullptr, 0, 10, [&](HWND, UINT msg, UINT_PTR timer, uint32_t) {
        EXPECT_EQ(msg, WM_TIMER);
        seen_id = timer;
        ++calls;
    });
    ASSERT_NE(id, 0u);
    clock->Advance(10);
    ProcessMessages();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(seen_id, id);
    EXPECT_TRUE(KillTimer(nullptr, id));
    EXPECT_EQ(TimerCount(UserMessages()), 0u);
}

TEST_F(Timers, WaitMessageWakesWhenATimerFallsDue) {
    ScopedManualClock clock;
    SetTimer(wnd_, 2, 100);
    auto advancer = std::async(std::launch::async, [&] { clock->Advance(100); });
    // The deadline lies far beyond the timer: only the timer can end this wait.
    EXPECT_TRUE(WaitMessage(CurrentClock().Ticks() + 100000));
    advancer.wait();
    ProcessMessages();
    EXPECT_EQ(TimerCount(UserMessages()), 1u);
    KillTimer(wnd_, 2);
}

TEST_F(Timers, DestroyingTheWindowStopsItsTimers) {
    ScopedManualClock clock;
    SetTimer(wnd_, 3, 10);
    DestroyWindow(wnd_);
    EXPECT_FALSE(KillTimer(wnd_, 3));
    EXPECT_EQ(SetTimer(wnd_, 3, 10), 0u);
}

TEST_F(Timers, FireOnTheSystemClockInsideTheMainLoop) {
    int fired = 0;
    on_message_ = [&](HWND wnd, UINT msg, WPARAM, LPARAM) -> LRESULT {
        if (msg == WM_TIMER && ++fired == 3) {
            KillTimer(wnd, 4);
            PostQuitMessage(0);
        }
        return 0;
    };
    SetTimer(wnd_, 4, 5);
    EXPECT_EQ(RunMessageLoop(), 0);
    EXPECT_EQ(fired, 3);
}

}  // namespace
