// The window thread's message queue: what one posted message costs to queue and dispatch,
// and how long a worker's SendMessageTimeout takes to come back from the window thread.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "platform/win/message_queue.h"
#include "platform/win/window_handle.h"

namespace {

constexpr UINT kWork = WM_USER + 1;
constexpr UINT kStop = WM_USER + 2;

void PostAndDispatch(benchmark::State& state) {
    InitWindowThread();
    int64_t handled = 0;
    HWND wnd = CreateWindowHandle([&](HWND, UINT msg, WPARAM, LPARAM) -> LRESULT {
        if (msg == kWork) ++handled;
        return 0;
    });
    for (auto _ : state) {
        PostMessage(wnd, kWork, 1, 2);
        PeekAndDispatch();
    }
    DestroyWindow(wnd);
    if (handled != state.iterations()) state.SkipWithError("messages lost");
}
BENCHMARK(PostAndDispatch);

// The benchmark thread is the worker; a separate thread plays the window thread, pumping
// in its main loop as the program does.
void CrossThreadSendRoundTrip(benchmark::State& state) {
    std::atomic<HWND> wnd{nullptr};
    std::thread window_thread([&] {
        InitWindowThread();
        HWND own = CreateWindowHandle([](HWND, UINT msg, WPARAM wparam, LPARAM) -> LRESULT {
            if (msg == kStop) PostQuitMessage(0);
            return static_cast<LRESULT>(wparam + 1);
        });
        wnd.store(own);
        wnd.notify_all();
        RunMessageLoop();
        DestroyWindow(own);
    });
    wnd.wait(nullptr);
    HWND target = wnd.load();

    std::vector<double> micros;
    micros.reserve(1 << 20);
    WPARAM n = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        uintptr_t result = 0;
        if (SendMessageTimeout(target, kWork, n, 0, SMTO_BLOCK, 3000, &result) == 0 || result != n + 1)
            state.SkipWithError("send failed");
        ++n;
        micros.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    PostMessage(target, kStop, 0, 0);
    window_thread.join();
    if (!micros.empty()) {
        std::sort(micros.begin(), micros.end());
        state.counters["median_us"] = micros[micros.size() / 2];
        state.counters["p99_us"] = micros[micros.size() * 99 / 100];
    }
}
// Runs last: it makes its own thread the window thread, which the first benchmark must not see.
BENCHMARK(CrossThreadSendRoundTrip)->UseRealTime();

}  // namespace
