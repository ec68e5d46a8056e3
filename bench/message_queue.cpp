// The window thread's message queue: what one posted message costs to queue and dispatch,
// and how long a worker's SendMessageTimeout takes to come back from the window thread,
// beside (alternately, in the same run) a bare condition-variable ping-pong between two
// threads, the least any cross-thread send can cost.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
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

// A request and its answer between two threads through one mutex and two conditions.
class PingPong {
public:
    PingPong() : partner_([this] { Serve(); }) {}
    ~PingPong() {
        {
            std::lock_guard<std::mutex> guard(lock_);
            stop_ = true;
        }
        request_.notify_one();
        partner_.join();
    }
    uint64_t RoundTrip(uint64_t value) {
        std::unique_lock<std::mutex> lock(lock_);
        value_ = value;
        asked_ = true;
        lock.unlock();
        request_.notify_one();
        lock.lock();
        answer_.wait(lock, [&] { return !asked_; });
        return value_;
    }

private:
    void Serve() {
        std::unique_lock<std::mutex> lock(lock_);
        for (;;) {
            request_.wait(lock, [&] { return asked_ || stop_; });
            if (stop_) return;
            ++value_;
            asked_ = false;
            lock.unlock();
            answer_.notify_one();
            lock.lock();
        }
    }
    std::mutex lock_;
    std::condition_variable request_, answer_;
    uint64_t value_ = 0;
    bool asked_ = false;
    bool stop_ = false;
    std::thread partner_;
};

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

    PingPong bare;
    std::vector<double> micros, bare_micros;
    micros.reserve(1 << 20);
    bare_micros.reserve(1 << 20);
    WPARAM n = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        uintptr_t result = 0;
        if (SendMessageTimeout(target, kWork, n, 0, SMTO_BLOCK, 3000, &result) == 0 || result != n + 1)
            state.SkipWithError("send failed");
        ++n;
        auto sent = std::chrono::steady_clock::now();
        micros.push_back(std::chrono::duration<double, std::micro>(sent - start).count());
        if (bare.RoundTrip(n) != n + 1) state.SkipWithError("ping-pong failed");
        bare_micros.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - sent).count());
    }
    PostMessage(target, kStop, 0, 0);
    window_thread.join();
    if (!micros.empty()) {
        std::sort(micros.begin(), micros.end());
        std::sort(bare_micros.begin(), bare_micros.end());
        state.counters["median_us"] = micros[micros.size() / 2];
        state.counters["p99_us"] = micros[micros.size() * 99 / 100];
        state.counters["bare_median_us"] = bare_micros[bare_micros.size() / 2];
        // Aim: at most 1.05.
        state.counters["median_x_bare"] = micros[micros.size() / 2] / bare_micros[bare_micros.size() / 2];
    }
}
// Runs last: it makes its own thread the window thread, which the first benchmark must not see.
BENCHMARK(CrossThreadSendRoundTrip)->UseRealTime();

}  // namespace
