#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "link/delay.h"
#include "platform/sync/clock.h"
#include "platform/win/message_queue.h"
#include "platform/win/window_handle.h"

TEST(Delay, HandlesAWorkersBlockingSendWhileWaiting) {
    InitWindowThread();
    ScopedManualClock clock;
    std::atomic<bool> handled_inside_delay{false};
    std::atomic<bool> in_delay{false};
    HWND wnd = AllocateHWnd([&](TMessage& m) {
        if (m.Msg == WM_USER + 1) {
            handled_inside_delay = in_delay.load();
            m.Result = 42;
        }
    });

    uintptr_t answer = 0;
    LRESULT ok = 0;
    std::thread worker([&] {
        ok = SendMessageTimeout(wnd, WM_USER + 1, 0, 0, SMTO_BLOCK, 3000, &answer);
        clock->Advance(5000);  // lets the delay end once the send came back
    });
    in_delay = true;
    Delay(5000);
    in_delay = false;
    worker.join();

    EXPECT_NE(ok, 0);
    EXPECT_EQ(answer, 42u);
    EXPECT_TRUE(handled_inside_delay);
    DeallocateHWnd(wnd);
}
