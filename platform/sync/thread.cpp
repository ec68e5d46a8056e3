#include "platform/sync/thread.h"

#include <cstdio>
#include <exception>
#include <future>

namespace {
std::atomic<uint32_t> g_next_thread_id{1};
thread_local uint32_t t_thread_id = 0;
thread_local std::string t_thread_name;
}  // namespace

uint32_t CurrentThreadId() {
    if (t_thread_id == 0) t_thread_id = g_next_thread_id.fetch_add(1);
    return t_thread_id;
}

const std::string& CurrentThreadName() { return t_thread_name; }

TThreadRunner::TThreadRunner(std::string name)
    : name_(std::move(name)),
      running_(std::make_shared<std::atomic<bool>>(false)),
      thread_id_(std::make_shared<std::atomic<uint32_t>>(0)) {}

TThreadRunner::~TThreadRunner() {
    // A body that frees its own runner cannot join itself: let the thread finish alone.
    if (thread_.joinable() && thread_.get_id() == std::this_thread::get_id()) thread_.detach();
    Join();
}

void TThreadRunner::Start(std::function<void()> body) {
    Join();
    running_->store(true, std::memory_order_release);
    // The body may free this runner at once; it must not start before thread_ is assigned.
    auto gate = std::make_shared<std::promise<void>>();
    std::shared_future<void> opened = gate->get_future().share();
    thread_ = std::thread([running = running_, id = thread_id_, name = name_, body = std::move(body), opened] {
        opened.wait();
        t_thread_name = name;
        id->store(CurrentThreadId(), std::memory_order_release);
        // A body should handle its own failures; one that lets an exception out must not
        // take the whole process down with it.
        try {
            body();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "thread %s ended by an exception: %s\n", name.c_str(), e.what());
        } catch (...) {
            std::fprintf(stderr, "thread %s ended by an exception\n", name.c_str());
        }
        running->store(false, std::memory_order_release);
    });
    gate->set_value();
}

void TThreadRunner::Join() {
    if (!thread_.joinable()) return;
    if (thread_.get_id() == std::this_thread::get_id()) return;
    thread_.join();
}

void TThreadRunner::Detach() {
    if (thread_.joinable()) thread_.detach();
}
