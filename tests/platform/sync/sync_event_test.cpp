#include "platform/sync/sync_event.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "platform/sync/clock.h"

namespace {

constexpr auto kPatience = std::chrono::seconds(10);

template <class T>
T Await(std::future<T>& f) {
    EXPECT_EQ(f.wait_for(kPatience), std::future_status::ready);
    return f.get();
}

TEST(SyncEvent, AutoResetReleasesOneWaitPerSet) {
    TSyncEvent event(false, false);
    EXPECT_FALSE(event.Wait(0));
    event.Set();
    event.Set();  // does not count twice
    EXPECT_TRUE(event.Wait(0));
    EXPECT_FALSE(event.Wait(0));
    TSyncEvent initially(false, true);
    EXPECT_TRUE(initially.Wait(0));
    EXPECT_FALSE(initially.Wait(0));
}

TEST(SyncEvent, ManualResetStaysSetUntilReset) {
    TSyncEvent event(true, false);
    event.Set();
    EXPECT_TRUE(event.Wait(0));
    EXPECT_TRUE(event.Wait(0));
    auto a = std::async(std::launch::async, [&] { return event.Wait(INFINITE); });
    auto b = std::async(std::launch::async, [&] { return event.Wait(INFINITE); });
    EXPECT_TRUE(Await(a));
    EXPECT_TRUE(Await(b));
    event.Reset();
    EXPECT_FALSE(event.Wait(0));
}

TEST(SyncEvent, SetFromAnotherThreadWakesAWaiter) {
    TSyncEvent event(false, false);
    auto waiter = std::async(std::launch::async, [&] { return event.Wait(INFINITE); });
    event.Set();
    EXPECT_TRUE(Await(waiter));
    EXPECT_FALSE(event.Wait(0));  // the waiter consumed it
}

TEST(SyncEvent, TimedWaitFollowsTheManualClock) {
    ScopedManualClock clock;
    TSyncEvent event(false, false);
    auto timed_out = std::async(std::launch::async, [&] { return event.Wait(500); });
    ASSERT_TRUE(clock->WaitForAdvanceListeners(1));
    clock->Advance(499);
    EXPECT_EQ(timed_out.wait_for(std::chrono::seconds(0)), std::future_status::timeout);
    clock->Advance(1);
    EXPECT_FALSE(Await(timed_out));

    auto released = std::async(std::launch::async, [&] { return event.Wait(500); });
    ASSERT_TRUE(clock->WaitForAdvanceListeners(1));
    clock->Advance(499);
    event.Set();
    EXPECT_TRUE(Await(released));
}

TEST(SyncEvent, WaitForEitherReportsAndConsumesOnlyTheSignalledOne) {
    TSyncEvent a(false, false), b(false, false);
    b.Set();
    EXPECT_EQ(WaitForEither(a, b, 0), 1);
    EXPECT_EQ(WaitForEither(a, b, 0), -1);
    a.Set();
    b.Set();
    EXPECT_EQ(WaitForEither(a, b, 0), 0);  // the lower one wins
    EXPECT_TRUE(b.Wait(0));                // and the other stays set

    auto waiter = std::async(std::launch::async, [&] { return WaitForEither(a, b, INFINITE); });
    b.Set();
    EXPECT_EQ(Await(waiter), 1);
    EXPECT_FALSE(b.Wait(0));
}

TEST(SyncEvent, WaitForEitherTimesOutOnTheClock) {
    ScopedManualClock clock;
    TSyncEvent a(true, false), b(false, false);
    auto waiter = std::async(std::launch::async, [&] { return WaitForEither(a, b, 3000); });
    ASSERT_TRUE(clock->WaitForAdvanceListeners(1));
    clock->Advance(3000);
    EXPECT_EQ(Await(waiter), -1);
    a.Set();
    EXPECT_EQ(WaitForEither(a, b, 3000), 0);
    EXPECT_EQ(WaitForEither(a, b, 3000), 0);  // manual reset: still set
}

TEST(Clock, AListenerMayRemoveItselfAndIsNotCalledOnceRemoved) {
    ManualClock clock;
    int calls = 0;
    int id = 0;
    id = clock.AddAdvanceListener([&] {
        ++calls;
        clock.RemoveAdvanceListener(id);
    });
    clock.Advance(1);
    clock.Advance(1);
    EXPECT_EQ(calls, 1);
}

// A driver that moves the clock only as fast as one thread follows it: looks by other threads
// do not count, and a waiter woken by the advance counts as a look.
TEST(Clock, AWatchedThreadHasLookedOnlyOnceItReadTheTicksAfterTheLastAdvance) {
    ScopedManualClock clock;
    EXPECT_TRUE(clock->WatchedThreadLookedSinceAdvance()) << "nobody watched";
    clock->WatchLooksOf(std::this_thread::get_id());
    EXPECT_TRUE(clock->WatchedThreadLookedSinceAdvance()) << "a new watch lets the first step go";
    clock->Advance(10);
    EXPECT_FALSE(clock->WatchedThreadLookedSinceAdvance());
    std::async(std::launch::async, [&] { return clock->Ticks(); }).get();
    EXPECT_FALSE(clock->WatchedThreadLookedSinceAdvance()) << "another thread's look";
    clock->Ticks();
    EXPECT_TRUE(clock->WatchedThreadLookedSinceAdvance());

    clock->Advance(10);
    TSyncEvent never(false, false);
    auto waiter = std::async(std::launch::async, [&] {
        clock->WatchLooksOf(std::this_thread::get_id());
        return never.Wait(20);
    });
    ASSERT_TRUE(clock->WaitForAdvanceListeners(1));
    clock->Advance(20);
    EXPECT_FALSE(Await(waiter));
    EXPECT_TRUE(clock->WatchedThreadLookedSinceAdvance());
    clock->WatchLooksOf({});
    clock->Advance(10);
    EXPECT_TRUE(clock->WatchedThreadLookedSinceAdvance()) << "watch ended";
}

}  // namespace
