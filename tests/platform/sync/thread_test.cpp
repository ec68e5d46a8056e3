#include "platform/sync/thread.h"

#include <gtest/gtest.h>

#include <future>
#include <vector>

#include "platform/sync/critical_section.h"
#include "platform/sync/sync_event.h"

namespace {

TEST(CriticalSection, IsRecursiveAndExcludesOtherThreads) {
    TCriticalSection section;
    section.Enter();
    {
        CriticalSectionGuard again(section);  // same thread: no deadlock
        auto other = std::async(std::launch::async, [&] { return section.TryEnter(); });
        EXPECT_FALSE(other.get());
    }
    section.Leave();
    auto other = std::async(std::launch::async, [&] {
        bool got = section.TryEnter();
        if (got) section.Leave();
        return got;
    });
    EXPECT_TRUE(other.get());
}

TEST(Interlocked, CountsWithoutLosingUpdates) {
    std::atomic<int32_t> count{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 10000; ++i) {
                InterlockedIncrement(count);
                InterlockedIncrement(count);
                InterlockedDecrement(count);
            }
        });
    for (auto& th : threads) th.join();
    EXPECT_EQ(count.load(), 40000);
    EXPECT_EQ(InterlockedIncrement(count), 40001);
    EXPECT_EQ(InterlockedDecrement(count), 40000);
    EXPECT_EQ(InterlockedExchange(count, 5), 40000);
    EXPECT_EQ(InterlockedCompareExchange(count, 9, 4), 5);  // no match: unchanged
    EXPECT_EQ(InterlockedCompareExchange(count, 9, 5), 5);
    EXPECT_EQ(InterlockedExchangeAdd(count, 3), 9);
    EXPECT_EQ(count.load(), 12);
}

TEST(ThreadRunner, RunsItsBodyOnANamedThreadWithItsOwnId) {
    TThreadRunner runner("dispatch");
    std::string name_seen;
    uint32_t id_seen = 0;
    runner.Start([&] {
        name_seen = CurrentThreadName();
        id_seen = CurrentThreadId();
    });
    runner.Join();
    EXPECT_FALSE(runner.Running());
    EXPECT_EQ(name_seen, "dispatch");
    EXPECT_NE(id_seen, 0u);
    EXPECT_NE(id_seen, CurrentThreadId());
    EXPECT_EQ(runner.ThreadId(), id_seen);
}

TEST(ThreadRunner, ABodyMayFreeItsOwnRunner) {
    TSyncEvent gone(true, false);
    auto* runner = new TThreadRunner("self");
    runner->Start([runner, &gone] {
        delete runner;
        gone.Set();
    });
    EXPECT_TRUE(gone.Wait(10000));
}

}  // namespace
