#include "platform/win/pending_send.h"

#include <future>
#include <string>
#include <thread>

#include "platform/sync/clock.h"
#include "tests/platform/win/win_test_support.h"

namespace {

constexpr UINT kPing = WM_USER + 1;
constexpr UINT kPong = WM_USER + 2;

using PendingSend = WindowTest;

// What the sender would do on the answer happens on the window thread before anything else
// there, and the sender then finds the answer without waiting.
TEST_F(PendingSend, AfterRunsOnTheWindowThreadRightAfterTheHandler) {
    std::vector<std::string> steps;
    on_message_ = [&](HWND, UINT msg, WPARAM, LPARAM) -> LRESULT {
        if (msg == kPing || msg == kPong) steps.push_back(msg == kPing ? "ping" : "pong");
        return 0;
    };
    TPendingSend send;
    std::promise<void> begun;
    std::thread worker([&] {
        EXPECT_TRUE(
            send.Begin(wnd_, kPing, 0, 0, 3000, [&] { steps.push_back(IsWindowThread() ? "after" : "elsewhere"); }));
        PostMessage(wnd_, kPong, 0, 0);
        begun.set_value();
    });
    ASSERT_EQ(begun.get_future().wait_for(kPatience), std::future_status::ready);
    worker.join();
    ProcessMessages();
    EXPECT_EQ(steps, (std::vector<std::string>{"ping", "after", "pong"}));
    EXPECT_TRUE(send.Answered());
    EXPECT_TRUE(send.End());
    EXPECT_FALSE(send.Pending());
}

// A message that never reached its handler - withdrawn at its deadline, or dropped with its
// window - leaves the after-work to the sender.
TEST_F(PendingSend, AMessageThatNeverRanLeavesTheAfterWorkToTheSender) {
    ScopedManualClock clock;
    bool after = false;
    TPendingSend send;
    auto begin = [&](HWND wnd) {
        return std::async(std::launch::async,
                          [&, wnd] { return send.Begin(wnd, kPing, 0, 0, 3000, [&] { after = true; }); });
    };
    ASSERT_TRUE(begin(wnd_).get());
    auto ended = std::async(std::launch::async, [&] { return send.End(); });
    EXPECT_EQ(ended.wait_for(std::chrono::milliseconds(0)), std::future_status::timeout);
    clock->Advance(3000);
    ASSERT_EQ(ended.wait_for(kPatience), std::future_status::ready);
    EXPECT_FALSE(ended.get());
    ProcessMessages();
    EXPECT_TRUE(UserMessages().empty());

    ASSERT_TRUE(begin(wnd_).get());
    DestroyWindow(wnd_);
    EXPECT_FALSE(std::async(std::launch::async, [&] { return send.End(); }).get());
    EXPECT_FALSE(begin(wnd_).get());  // not a window any more: nothing queued
    EXPECT_FALSE(send.Pending());
    EXPECT_FALSE(after);
    EXPECT_TRUE(UserMessages().empty());
}

}  // namespace
