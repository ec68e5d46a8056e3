#include <future>
#include <map>
#include <string>
#include <thread>

#include "platform/rtl/exception.h"
#include "platform/sync/clock.h"
#include "platform/win/exception_report.h"
#include "platform/win/paint.h"
#include "platform/win/window_tree.h"
#include "tests/platform/win/win_test_support.h"

namespace {

constexpr UINT kPing = WM_USER + 1;
constexpr UINT kPong = WM_USER + 2;
constexpr UINT kStart = WM_USER + 3;

template <class T>
T Await(std::future<T>& f) {
    EXPECT_EQ(f.wait_for(kPatience), std::future_status::ready);
    return f.get();
}

struct SendOutcome {
    LRESULT ok;
    uintptr_t result;
};

std::future<SendOutcome> SendFromWorker(HWND wnd, UINT msg, UINT timeout_ms) {
    return std::async(std::launch::async, [=] {
        uintptr_t result = 0;
        LRESULT ok = SendMessageTimeout(wnd, msg, 0, 0, SMTO_BLOCK, timeout_ms, &result);
        return SendOutcome{ok, result};
    });
}

using MessageQueue = WindowTest;

TEST_F(MessageQueue, WorkerSendIsHandledInsideANestedDelayLoop) {
    ScopedManualClock clock;
    bool handled_while_nested = false;
    bool nested = false;
    std::future<SendOutcome> worker;
    on_message_ = [&](HWND, UINT msg, WPARAM, LPARAM) -> LRESULT {
        if (msg == kStart) {
            worker = SendFromWorker(wnd_, kPing, 3000);
            // What a Delay does: pump until its deadline (here: until the send arrived).
            nested = true;
            bool done = RunLoopUntil([&] { return handled_while_nested; }, CurrentClock().Ticks() + 5000);
            nested = false;
            EXPECT_TRUE(done);
            PostQuitMessage(0);
        }
        if (msg == kPing) {
            handled_while_nested = nested;
            return 77;
        }
        return 0;
    };
    PostMessage(wnd_, kStart, 0, 0);
    EXPECT_EQ(RunMessageLoop(), 0);
    EXPECT_TRUE(handled_while_nested);
    SendOutcome outcome = Await(worker);
    EXPECT_NE(outcome.ok, 0);
    EXPECT_EQ(outcome.result, 77u);
}

TEST_F(MessageQueue, TimedOutSendIsWithdrawnAndNeverHandled) {
    ScopedManualClock clock;
    auto worker = SendFromWorker(wnd_, kPing, 3000);
    ASSERT_TRUE(WaitForQueue([](auto& sys) { return !sys.sent.empty(); }));
    clock->Advance(2999);
    EXPECT_EQ(worker.wait_for(std::chrono::seconds(0)), std::future_status::timeout);
    clock->Advance(1);
    SendOutcome outcome = Await(worker);
    EXPECT_EQ(outcome.ok, 0);
    ProcessMessages();
    EXPECT_TRUE(UserMessages().empty());
}

TEST_F(MessageQueue, SenderWaitsForAHandlerThatOutlivesItsTimeOut) {
    ScopedManualClock clock;
    auto& sys = win_internal::WindowSystem::Get();
    uint64_t late_before = sys.late_senders;
    on_message_ = [&](HWND, UINT msg, WPARAM, LPARAM) -> LRESULT {
        if (msg != kPing) return 0;
        clock->Advance(10000);  // the sender's time-out passes while we work
        EXPECT_TRUE(WaitForQueue([&](auto& s) { return s.late_senders > late_before; }));
        return 5;
    };
    auto worker = SendFromWorker(wnd_, kPing, 100);
    ASSERT_TRUE(RunLoopUntil([&] { return !UserMessages().empty(); }, kNoDeadline));
    SendOutcome outcome = Await(worker);
    EXPECT_NE(outcome.ok, 0);
    EXPECT_EQ(outcome.result, 5u);
}

// Many workers send with a time-out far shorter than the window thread takes to get round to
// them: every send that reports success was handled exactly once, every one that timed out
// never.
TEST_F(MessageQueue, RacingTimeOutsNeitherLoseNorRepeatASend) {
    constexpr int kWorkers = 4, kEach = 200;
    std::vector<int> handled(kWorkers * kEach, 0);
    on_message_ = [&](HWND, UINT msg, WPARAM wparam, LPARAM) -> LRESULT {
        if (msg == kPing) ++handled[wparam];
        return 1;
    };
    std::vector<std::vector<bool>> succeeded(kWorkers, std::vector<bool>(kEach));
    std::atomic<int> finished{0};
    std::vector<std::thread> workers;
    for (int w = 0; w < kWorkers; ++w)
        workers.emplace_back([&, w] {
            for (int i = 0; i < kEach; ++i) {
                uintptr_t result = 0;
                succeeded[w][i] = SendMessageTimeout(wnd_, kPing, w * kEach + i, 0, SMTO_BLOCK, i % 3, &result) != 0;
            }
            ++finished;
            WakeWindowThread();
        });
    EXPECT_TRUE(RunLoopUntil([&] { return finished == kWorkers; }, CurrentClock().Ticks() + 60000));
    for (auto& t : workers) t.join();
    ProcessMessages();
    for (int w = 0; w < kWorkers; ++w)
        for (int i = 0; i < kEach; ++i) EXPECT_EQ(handled[w * kEach + i], succeeded[w][i] ? 1 : 0) << w << "/" << i;
}

TEST_F(MessageQueue, SentMessagesComeBeforePostedOnes) {
    PostMessage(wnd_, kPong, 0, 0);
    auto worker = SendFromWorker(wnd_, kPing, INFINITE);
    ASSERT_TRUE(WaitForQueue([](auto& sys) { return !sys.sent.empty(); }));
    PostMessage(wnd_, kPong, 1, 0);
    EXPECT_TRUE(ProcessMessages());
    EXPECT_EQ(UserMessages(), (std::vector<UINT>{kPing, kPong, kPong}));
    EXPECT_NE(Await(worker).ok, 0);
}

TEST_F(MessageQueue, PostsFromManyThreadsKeepEachThreadsOrder) {
    constexpr int kThreads = 4, kEach = 500;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([this, t] {
            for (int i = 0; i < kEach; ++i) EXPECT_TRUE(PostMessage(wnd_, kPing, t, i));
        });
    for (auto& th : threads) th.join();
    EXPECT_TRUE(ProcessMessages());
    std::map<WPARAM, LPARAM> next;
    for (const Received& r : received_) {
        ASSERT_EQ(r.msg, kPing);
        EXPECT_EQ(r.lparam, next[r.wparam]++);
    }
    EXPECT_EQ(received_.size(), static_cast<size_t>(kThreads * kEach));
}

TEST_F(MessageQueue, SendOnTheWindowThreadCallsDirectly) {
    on_message_ = [](HWND, UINT msg, WPARAM wparam, LPARAM) -> LRESULT { return msg == kPing ? wparam * 2 : 0; };
    EXPECT_EQ(SendMessage(wnd_, kPing, 21, 0), 42);
    uintptr_t result = 0;
    EXPECT_NE(SendMessageTimeout(wnd_, kPing, 4, 0, SMTO_NORMAL, 0, &result), 0);
    EXPECT_EQ(result, 8u);
}

TEST_F(MessageQueue, DestroyedWindowDropsItsMessagesAndRefusesSends) {
    PostMessage(wnd_, kPing, 0, 0);
    auto queued = SendFromWorker(wnd_, kPong, INFINITE);
    ASSERT_TRUE(WaitForQueue([](auto& sys) { return !sys.sent.empty(); }));
    HWND gone = wnd_;
    DestroyWindow(gone);
    EXPECT_FALSE(IsWindow(gone));
    EXPECT_EQ(Await(queued).ok, 0);  // pending send fails
    ProcessMessages();
    EXPECT_EQ(UserMessages(), std::vector<UINT>{});
    EXPECT_FALSE(PostMessage(gone, kPing, 0, 0));
    auto late = SendFromWorker(gone, kPing, 1000);
    EXPECT_EQ(Await(late).ok, 0);
    uintptr_t result = 1;
    EXPECT_EQ(SendMessageTimeout(gone, kPing, 0, 0, SMTO_NORMAL, 1000, &result), 0);
    EXPECT_EQ(result, 0u);
}

TEST_F(MessageQueue, WindowMayDestroyItselfInsideItsHandler) {
    on_message_ = [&](HWND wnd, UINT msg, WPARAM, LPARAM) -> LRESULT {
        if (msg == kPing) {
            DestroyWindow(wnd);
            EXPECT_FALSE(IsWindow(wnd));
        }
        return 0;
    };
    PostMessage(wnd_, kPing, 0, 0);
    PostMessage(wnd_, kPong, 0, 0);
    ProcessMessages();
    EXPECT_EQ(UserMessages(), std::vector<UINT>{kPing});
    ASSERT_FALSE(received_.empty());
    EXPECT_EQ(received_.back().msg, WM_DESTROY);
}

TEST_F(MessageQueue, ExceptionsAreReportedAndTheLoopGoesOn) {
    std::vector<std::string> reported;
    ExceptionReporter previous = SetExceptionReporter([&](const std::exception& e) { reported.push_back(e.what()); });
    on_message_ = [](HWND, UINT msg, WPARAM, LPARAM) -> LRESULT {
        if (msg == kPing) throw EConvertError("'x' is not a valid integer value");
        if (msg == kPong) throw EAbort("silent");
        if (msg == kStart) PostQuitMessage(3);
        return 0;
    };
    PostMessage(wnd_, kPing, 0, 0);
    PostMessage(wnd_, kPong, 0, 0);
    PostMessage(wnd_, kStart, 0, 0);
    EXPECT_EQ(RunMessageLoop(), 3);
    SetExceptionReporter(previous);
    EXPECT_EQ(reported, std::vector<std::string>{"'x' is not a valid integer value"});
    EXPECT_EQ(UserMessages(), (std::vector<UINT>{kPing, kPong, kStart}));
}

TEST_F(MessageQueue, ExceptionInACrossThreadSendStillAnswersTheSender) {
    ExceptionReporter previous = SetExceptionReporter([](const std::exception&) {});
    on_message_ = [](HWND, UINT msg, WPARAM, LPARAM) -> LRESULT {
        if (msg == kPing) throw Exception("boom");
        return 0;
    };
    auto worker = SendFromWorker(wnd_, kPing, INFINITE);
    ASSERT_TRUE(RunLoopUntil([&] { return !UserMessages().empty(); }, kNoDeadline));
    EXPECT_NE(Await(worker).ok, 0);
    SetExceptionReporter(previous);
}

TEST_F(MessageQueue, QuitInANestedLoopEndsItAndReachesTheOuterLoop) {
    std::vector<std::string> steps;
    on_message_ = [&](HWND, UINT msg, WPARAM, LPARAM) -> LRESULT {
        if (msg == kStart) {
            PostMessage(wnd_, kPing, 0, 0);
            steps.push_back(RunMessageLoop() == 9 ? "nested loop ended" : "wrong code");
            steps.push_back(RunLoopUntil([] { return false; }) ? "modal done" : "modal ended");
        }
        if (msg == kPing) PostQuitMessage(9);
        return 0;
    };
    PostMessage(wnd_, kStart, 0, 0);
    PostMessage(wnd_, kPong, 0, 0);
    EXPECT_EQ(RunMessageLoop(), 9);
    EXPECT_EQ(steps, (std::vector<std::string>{"nested loop ended", "modal ended"}));
    // The posted message queued before the quit was still handled by the nested loop.
    EXPECT_EQ(UserMessages(), (std::vector<UINT>{kStart, kPong, kPing}));
    MSG msg;
    EXPECT_FALSE(PeekMessage(msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));  // consumed by the outer loop
}

TEST_F(MessageQueue, WaitMessageSleepsUntilAPostOrItsDeadline) {
    ScopedManualClock clock;
    auto poster = std::async(std::launch::async, [this] { PostMessage(wnd_, kPing, 0, 0); });
    EXPECT_TRUE(WaitMessage(kNoDeadline));
    Await(poster);
    ProcessMessages();
    const uint64_t deadline = CurrentClock().Ticks() + 500;
    auto advancer = std::async(std::launch::async, [&] { clock->Advance(500); });
    EXPECT_FALSE(WaitMessage(deadline));
    Await(advancer);
    EXPECT_FALSE(WaitMessage(CurrentClock().Ticks()));
}

TEST_F(MessageQueue, SynchronizeRunsOnTheWindowThread) {
    bool on_window_thread = false;
    auto worker = std::async(std::launch::async, [&] { Synchronize([&] { on_window_thread = IsWindowThread(); }); });
    ASSERT_TRUE(RunLoopUntil([&] { return on_window_thread; }, CurrentClock().Ticks() + 10000));
    Await(worker);
}

TEST_F(MessageQueue, PeekMessageFiltersAndGetMessageReportsQuit) {
    PostMessage(wnd_, kPing, 1, 0);
    PostMessage(wnd_, kPong, 2, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessage(msg, wnd_, kPong, kPong, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 2u);
    EXPECT_FALSE(PeekMessage(msg, wnd_, kPong, kPong, PM_REMOVE));
    PostQuitMessage(4);
    ASSERT_EQ(GetMessage(msg, nullptr, 0, 0), 1);
    EXPECT_EQ(msg.message, kPing);
    DispatchMessage(msg);
    EXPECT_EQ(UserMessages(), std::vector<UINT>{kPing});
    EXPECT_EQ(GetMessage(msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.wParam, 4u);
}

// A modal loop on GetMessage keeps windows painted, and its idle hook runs only once
// nothing else is left, each time it would otherwise sleep.
TEST_F(MessageQueue, GetMessagePaintsThenAsksTheIdleHook) {
    std::vector<std::string> order;
    HWND shown = CreateWindowEx(0, WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                [&](HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam) -> LRESULT {
                                    if (msg != WM_PAINT) return DefWindowProc(wnd, msg, wparam, lparam);
                                    order.push_back("paint");
                                    ValidateRect(wnd, nullptr);
                                    return 0;
                                });
    InvalidateRect(shown, nullptr, false);
    int idle = 0;
    MessageIdleHook previous = SetMessageIdleHook([&] {
        order.push_back("idle");
        if (++idle == 1) PostMessage(wnd_, kPing, 0, 0);
        return true;
    });
    MSG msg;
    ASSERT_EQ(GetMessage(msg, nullptr, 0, 0), 1);
    SetMessageIdleHook(previous);
    DestroyWindow(shown);
    EXPECT_EQ(msg.message, kPing);
    EXPECT_EQ(order, (std::vector<std::string>{"paint", "idle"}));
}

// A loop of a control's own: the posted messages outside its range stay queued, its Take
// sees each one in range first and may keep it from its window, and while it waits for the
// user the idle hook has its turn. A loop with a deadline leaves the hook alone.
TEST_F(MessageQueue, ALoopOfItsOwnHandlesItsRangeAndTakesWhatItWants) {
    ScopedManualClock clock;
    PostMessage(wnd_, kPing, 0, 0);
    PostMessage(wnd_, kPong, 1, 0);
    PostMessage(wnd_, kPong, 2, 0);
    std::vector<WPARAM> taken;
    TLoopMessages pongs;
    pongs.First = pongs.Last = kPong;
    pongs.Take = [&](const MSG& m) {
        if (m.wParam != 1) return false;
        taken.push_back(m.wParam);
        return true;
    };
    int idle = 0;
    MessageIdleHook previous = SetMessageIdleHook([&] {
        PostMessage(wnd_, kPong, 3, 0);
        return ++idle > 0;
    });
    auto handled = [&] {
        std::vector<WPARAM> out;
        for (const Received& r : received_)
            if (r.msg >= WM_USER) out.push_back(r.msg == kPong ? r.wparam : 100 + r.wparam);
        return out;
    };
    EXPECT_TRUE(RunLoopUntil([&] { return handled().size() == 2; }, kNoDeadline, pongs));
    EXPECT_EQ(taken, std::vector<WPARAM>{1});
    EXPECT_EQ(handled(), (std::vector<WPARAM>{2, 3}));
    EXPECT_EQ(idle, 1);
    EXPECT_FALSE(RunLoopUntil([] { return false; }, CurrentClock().Ticks(), pongs));
    EXPECT_EQ(idle, 1);
    SetMessageIdleHook(previous);
    EXPECT_EQ(handled(), (std::vector<WPARAM>{2, 3}));
    ProcessMessages();
    EXPECT_EQ(handled(), (std::vector<WPARAM>{2, 3, 100}));
}

}  // namespace
