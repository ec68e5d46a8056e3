// What the pages do when the device link is gone: one message for each lost link, and the
// page the technician is left on.

#include "app/after_boxes.h"
#include "app/comp_text.h"
#include "app/cust_msg.h"
#include "app/main_form.h"
#include "app/pages/main_pages.h"
#include "app/start_options.h"
#include "link/delay.h"
#include "link/form_sercom.h"
#include "platform/forms/application.h"
#include "platform/sync/clock.h"

namespace {

// The configuration road: its rows may hold edits not yet written anywhere.
bool OnConfigRoad(int page) { return page >= TPageCOM::Index && page <= TPageWRX::Index; }

}  // namespace

void TForm1::NoticeLinkLost() {
    const uint32_t opening = (FormSercom ? FormSercom->Link().Openings() : 0) + 1;
    if (lossShownFor_ == opening) return;
    ShowLinkLost();
}

void TForm1::ShowLinkLost() {
    if (ProgramEnding()) return;
    lossShownFor_ = (FormSercom ? FormSercom->Link().Openings() : 0) + 1;
    if (!OnConfigRoad(Notebook1->PageIndex())) {
        // No request can end the device's installation step now; the next one starts afresh.
        InstallActive = false;
        pages_->LeaveWizards(false);
        ProgressHide();
        Notebook1->SetPageIndex(kPageStart);
    }
    // A question asked before the loss has no answer any more: it goes, cancelled, and the
    // loss shows once it has.
    afterBoxes_->Run([] {
        if (!ProgramEnding()) CustMessageDlg(GetCompText(1650), mtCustError, mbCustCancel, 0);
    });
}

bool TForm1::QueueForDevice(const std::string& request) {
    if (FormSercom && FormSercom->EnqueueRequest(request)) return true;
    ShowLinkLost();
    return false;
}

bool TForm1::QueueForDevice(TDeviceWait& wait, const std::string& request, TAnswer answer) {
    if (wait.Queue(request, answer)) return true;
    ShowLinkLost();
    return false;
}

TWaitEnds TForm1::PageWaitEnds(int page) {
    return DeviceWaitEnds([this, page] { return Notebook1->PageIndex() == page; });
}

bool TForm1::DevicePause(uint32_t ms, int page) {
    const TWaitEnd end = Delay(ms, PageWaitEnds(page));
    return end == TWaitEnd::Deadline || WaitMet(end);
}

bool TForm1::DeviceTookQueued(int page) {
    // No deadline of its own: every request nobody waits for has one (see TSercomLink::Watch).
    // A close empties the queue too: only an open link's empty queue says the device took them.
    return WaitMet(WaitFor([] { return DeviceLinkUp() && !FormSercom->Link().HasQueuedRequest(); }, kNoDeadline,
                           PageWaitEnds(page)));
}

bool TForm1::WaitMet(TWaitEnd end) {
    // A close of our own (Esc, the window) is no loss; a lost device has usually been shown
    // by the link already, and is shown at most once.
    if (end == TWaitEnd::LinkClosed && FormSercom && FormSercom->Link().WasLost()) NoticeLinkLost();
    return end == TWaitEnd::Met;
}
