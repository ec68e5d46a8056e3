#pragma once
// Shared by the window-layer tests: a recording window and waits on the queue's own state.

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "platform/win/message_queue.h"
#include "platform/win/timers.h"
#include "platform/win/window_handle.h"
#include "platform/win/window_system.h"

// Longest any test waits for another thread before it counts as a failure.
inline constexpr auto kPatience = std::chrono::seconds(10);

// Waits (without pumping) until `ready` holds for the queue state, e.g. until a worker's
// send has been queued.
template <class Ready>
bool WaitForQueue(Ready ready) {
    auto& sys = win_internal::WindowSystem::Get();
    std::unique_lock<std::mutex> lock(sys.lock);
    return sys.wake.wait_for(lock, kPatience, [&] { return ready(sys); });
}

// Empties the queue (including a WM_QUIT left by a failed test) so each test starts clean.
inline void DrainQueue() {
    MSG msg;
    while (PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

struct Received {
    UINT msg;
    WPARAM wparam;
    LPARAM lparam;
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitWindowThread();
        ASSERT_TRUE(IsWindowThread());
        DrainQueue();
        wnd_ = CreateWindowHandle([this](HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam) -> LRESULT {
            received_.push_back({msg, wparam, lparam});
            if (on_message_) return on_message_(wnd, msg, wparam, lparam);
            return DefWindowProc(wnd, msg, wparam, lparam);
        });
        received_.clear();  // WM_CREATE
    }
    void TearDown() override {
        if (IsWindow(wnd_)) DestroyWindow(wnd_);
        DrainQueue();
    }
    // Received messages at or above WM_USER, plus WM_TIMER.
    std::vector<UINT> UserMessages() const {
        std::vector<UINT> out;
        for (const Received& r : received_)
            if (r.msg >= WM_USER || r.msg == WM_TIMER) out.push_back(r.msg);
        return out;
    }

    HWND wnd_ = nullptr;
    std::vector<Received> received_;
    WNDPROC on_message_;
};
