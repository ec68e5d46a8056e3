// The device session's link and the pages' services on it: queuing, pausing and waiting for
// the device, and what happens when it has gone.

#include "app/device/device_session.h"

#include "link/com_port_link.h"
#include "link/delay.h"
#include "platform/forms/notebook.h"

TDeviceSession::TDeviceSession(TNotebook* notebook, TStepProgress& progress)
    : LinkState(link_.LinkState), notebook_(notebook), progress_(progress) {}

TDeviceSession::~TDeviceSession() { Connect(nullptr, nullptr, nullptr); }

void TDeviceSession::Connect(TSerComPort* com, TSercomView* view, TLinkMainView* main) {
    // The link lets go of the old port before the port goes.
    link_.SetPort(nullptr);
    port_.reset();
    if (com) {
        port_ = std::make_unique<TComPortLink>(com);
        link_.SetPort(port_.get());
    }
    link_.SetViews(view, main);
}

bool TDeviceSession::QueueForDevice(const std::string& request) {
    if (link_.EnqueueRequest(request)) return true;
    ShowLoss(TLossSeen::Refused);
    return false;
}

bool TDeviceSession::QueueForDevice(TDeviceWait& wait, const std::string& request, TAnswer answer) {
    if (wait.Queue(request, answer)) return true;
    ShowLoss(TLossSeen::Refused);
    return false;
}

bool TDeviceSession::OrderBlock(TBlockOrder order) {
    const uint32_t shownBefore = lossShownFor_;
    if (link_.OrderBlock(order, false)) return true;
    // An order held past its deadline makes the link give the device up right here, and the
    // link has shown the loss then: once is enough for one press.
    if (lossShownFor_ == shownBefore) ShowLoss(TLossSeen::Refused);
    return false;
}

int TDeviceSession::ShownPage() const { return notebook_ ? notebook_->PageIndex() : -1; }

TWaitEnds TDeviceSession::PageWaitEnds(int page) {
    return WaitEnds([this, page] { return ShownPage() == page; });
}

bool TDeviceSession::DevicePause(uint32_t ms, int page) {
    const TWaitEnd end = Delay(ms, PageWaitEnds(page));
    return end == TWaitEnd::Deadline || WaitMet(end);
}

bool TDeviceSession::DeviceTookQueued(int page) {
    // No deadline of its own: every request nobody waits for has one (see TSercomLink::Watch).
    // A close empties the queue too: only an open link's empty queue says the device took them.
    return WaitMet(
        WaitFor([this] { return link_.Up() && !link_.HasQueuedRequest(); }, kNoDeadline, PageWaitEnds(page)));
}

bool TDeviceSession::WaitMet(TWaitEnd end) {
    if (end == TWaitEnd::LinkClosed) ShowLoss(TLossSeen::LinkWentAway);
    return end == TWaitEnd::Met;
}

bool TDeviceSession::ShowLoss(TLossSeen seen) {
    const uint32_t lostOpening = link_.Openings() + 1;
    if (seen == TLossSeen::LinkWentAway) {
        if (!link_.WasLost()) return false;
        if (lossShownFor_ == lostOpening) return true;
    }
    if (ProgramEnding()) return true;
    lossShownFor_ = lostOpening;
    if (OnLinkLost) OnLinkLost();
    return true;
}
