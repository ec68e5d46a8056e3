#include "app/common/after_boxes.h"

#include "platform/forms/application.h"
#include "platform/forms/screen.h"
#include "platform/win/message_queue.h"

namespace {

constexpr UINT kShowPending = WM_APP + 0x7E2;

// Ends every open modal form with its cancel answer; answers whether one was open.
bool CancelOpenBoxes(const TCustomForm* except = nullptr) {
    bool open = false;
    if (!Screen) return false;
    for (int k = 0; k < Screen->FormCount(); ++k) {
        TCustomForm* form = Screen->Forms(k);
        if (form == except || !form->Modal()) continue;
        open = true;
        form->SetModalResult(mrCancel);
    }
    return open;
}

}  // namespace

TAfterBoxes::TAfterBoxes() {
    window_ = AllocateHWnd([this](TMessage& m) {
        if (m.Msg == kShowPending) ShowPending();
    });
    TApplication* app = EnsureApplication();
    previousEnd_ = app->OnModalEnd;
    app->OnModalEnd = [this](TCustomForm* form) {
        if (previousEnd_) previousEnd_(form);
        ModalEnded(form);
    };
}

TAfterBoxes::~TAfterBoxes() {
    if (Application) Application->OnModalEnd = previousEnd_;
    DeallocateHWnd(window_);
}

void TAfterBoxes::Run(std::function<void()> show) {
    show_ = std::move(show);
    if (CancelOpenBoxes()) return;
    ShowPending();
}

void TAfterBoxes::ModalEnded(TCustomForm* form) {
    // The form that ends is still modal here: the message goes out through the queue, to
    // be handled once its loop has returned. Only the last box to close sends it.
    if (Pending() && !CancelOpenBoxes(form)) PostMessage(window_, kShowPending, 0, 0);
}

void TAfterBoxes::ShowPending() {
    if (!Pending() || CancelOpenBoxes()) return;
    const std::function<void()> show = std::move(show_);
    show_ = nullptr;
    show();
}
