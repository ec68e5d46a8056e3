#include "platform/win/pending_send.h"

#include "platform/sync/clock_wait.h"
#include "platform/win/window_system.h"

using win_internal::SentMessage;
using win_internal::WindowSystem;

TPendingSend::TPendingSend() : message_(std::make_shared<SentMessage>()) {}

TPendingSend::~TPendingSend() {
    // The window thread must not run `after` on a sender that is gone.
    if (pending_) End();
}

bool TPendingSend::Begin(HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam, UINT timeout_ms,
                         std::function<void()> after) {
    WindowSystem& sys = WindowSystem::Get();
    message_->Reuse();
    message_->wnd = wnd;
    message_->msg = msg;
    message_->wparam = wparam;
    message_->lparam = lparam;
    message_->after = std::move(after);
    deadline_ = DeadlineAfter(timeout_ms);
    if (sys.IsWindowThread()) {
        std::shared_ptr<WindowRecord> record = sys.Find(wnd);
        if (!record || record->destroyed) {
            message_->after = nullptr;
            return false;
        }
        WindowSystem::RunSent(message_, record);
    } else if (!sys.QueueSent(message_)) {
        message_->after = nullptr;
        return false;
    }
    pending_ = true;
    return true;
}

bool TPendingSend::Answered() const { return message_->Done(); }

bool TPendingSend::End() {
    if (!pending_) return false;
    pending_ = false;
    // Done is set after `after` ran, under the message's lock, which orders `after_ran` too.
    const bool answered = WindowSystem::Get().AwaitAnswer(message_, deadline_);
    return answered && message_->after_ran;
}
