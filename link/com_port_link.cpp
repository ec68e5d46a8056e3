#include "link/com_port_link.h"

TComPortLink::TComPortLink(TSerComPort* com) : com_(com) {
    com_->SetAutoOpen(false);
    com_->SetPromptForPort(false);
    com_->SetOnTriggerAvail([this](TObject*, uint16_t) {
        if (OnAvail) OnAvail();
    });
}

TComPortLink::~TComPortLink() { com_->SetOnTriggerAvail(nullptr); }

void TComPortLink::Open(uint16_t number) {
    com_->SetComNumber(number);
    com_->SetOpen(true);
}

void TComPortLink::Close() { com_->SetOpen(false); }

bool TComPortLink::CharReady() { return com_->Open() && com_->CharReady(); }

char TComPortLink::GetChar() { return com_->GetChar(); }

void TComPortLink::PutString(const std::string& bytes) {
    if (com_->Open()) com_->PutString(bytes);
}
