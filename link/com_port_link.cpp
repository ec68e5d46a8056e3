#include "link/com_port_link.h"

#include <string>

#include "platform/rtl/exception.h"
#include "platform/win/message_queue.h"

TComPortLink::TComPortLink(TSerComPort* com) : com_(com) {
    com_->SetAutoOpen(false);
    com_->SetOnTriggerAvail([this](TObject*, uint16_t) {
        if (OnAvail) OnAvail();
    });
    // The link closes the port when the device is lost. Closing inside the event would have
    // to wait for the very dispatch that is running it, so the news is posted and handled
    // once the event has returned.
    lost_window_ = AllocateHWnd([this](TMessage& m) {
        if (m.Msg != kLostMsg) return;
        if (OnLost) OnLost(lost_text_);
    });
    com_->SetOnTriggerLineError([this](TObject*, uint16_t, bool) {
        TSerBaseDispatcher* d = com_->Dispatcher();
        if (!d || !d->DeviceLost()) return;
        lost_text_ = d->DeviceLostText();
        PostMessage(lost_window_, kLostMsg, 0, 0);
    });
}

TComPortLink::~TComPortLink() {
    com_->SetOnTriggerAvail(nullptr);
    com_->SetOnTriggerLineError(nullptr);
    DeallocateHWnd(lost_window_);
}

void TComPortLink::Open(uint16_t number) {
    com_->SetComNumber(number);
    try {
        com_->SetOpen(true);
    } catch (const Exception&) {
        // The system's words (device path included) say more than the layer's code text.
        if (com_->LastErrorText().empty()) throw;
        throw Exception(com_->LastErrorText());
    }
}

void TComPortLink::Close() { com_->SetOpen(false); }

bool TComPortLink::CharReady() { return com_->Open() && com_->CharReady(); }

char TComPortLink::GetChar() { return com_->GetChar(); }

void TComPortLink::PutString(const std::string& bytes) {
    if (com_->Open()) com_->PutString(bytes);
}
