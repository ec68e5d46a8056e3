#pragma once
// A send from a worker thread in two halves, for a sender that has other things to do, or to
// sleep on, while the window thread handles its message: Begin queues it as
// SendMessageTimeout does (before posted messages, withdrawn if not started in time) and
// returns at once; End collects the answer. `after` runs on the window thread right after
// the procedure returns (or in its place when the window was gone by then), before the
// answer is given and before the window thread does anything else, so what the sender would
// have done on the answer can be done there with nobody waiting for it.
//
// One message at a time: End before the next Begin. End and the destructor wait for a
// message still being handled, so neither may run on the window thread while it is pending.

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/win/messages.h"
#include "platform/win/window_handle.h"

namespace win_internal {
struct SentMessage;
}

class TPendingSend {
public:
    TPendingSend();
    ~TPendingSend();
    TPendingSend(const TPendingSend&) = delete;
    TPendingSend& operator=(const TPendingSend&) = delete;

    // False when `wnd` is not a window (nothing is queued, `after` never runs). On the window
    // thread itself the procedure and `after` run at once.
    bool Begin(HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam, UINT timeout_ms, std::function<void()> after);
    bool Pending() const { return pending_; }
    // The answer is there: End will not wait.
    bool Answered() const;
    // The tick count at which a message not yet started is withdrawn.
    uint64_t Deadline() const { return deadline_; }
    // Waits for the answer (or withdraws the message at the deadline). True when `after`
    // ran; false when the message was withdrawn or dropped with its window unhandled, so
    // that the sender does itself what `after` would have done.
    bool End();

private:
    std::shared_ptr<win_internal::SentMessage> message_;
    uint64_t deadline_ = 0;
    bool pending_ = false;
};
