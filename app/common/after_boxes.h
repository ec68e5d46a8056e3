#pragma once
// A message that must not wait behind a question nobody can answer any more (the lost
// device): every open box and dialog is ended with its cancel answer first, and the message
// shows once their loops have unwound, so it never opens inside a box that is open already.

#include <functional>

#include "platform/win/window_handle.h"

class TCustomForm;

class TAfterBoxes {
public:
    TAfterBoxes();
    ~TAfterBoxes();
    TAfterBoxes(const TAfterBoxes&) = delete;
    TAfterBoxes& operator=(const TAfterBoxes&) = delete;

    // Runs `show` now when no modal form is open. Otherwise ends every open one with
    // mrCancel and runs `show` once the last has closed; a second call meanwhile replaces
    // what is shown then.
    void Run(std::function<void()> show);
    bool Pending() const { return static_cast<bool>(show_); }

private:
    void ModalEnded(TCustomForm* form);
    void ShowPending();

    std::function<void()> show_;
    std::function<void(TCustomForm*)> previousEnd_;
    HWND window_ = nullptr;
};
