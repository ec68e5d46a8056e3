// What the pages do when the device link is gone: one message for each lost link, and the
// page the technician is left on.

#include "app/code_change_form.h"
#include "app/code_form.h"
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
        pages_->INS->LeaveWizard(false);
        ProgressHide();
        Notebook1->SetPageIndex(kPageStart);
        // A code asked for on the road just left would open nothing: the dialog goes with it.
        for (TForm* dialog : {static_cast<TForm*>(Form4), static_cast<TForm*>(Form5)})
            if (dialog && dialog->Modal()) dialog->SetModalResult(mrCancel);
    }
    CustMessageDlg(GetCompText(1650), mtCustError, mbCustCancel, 0);
}

bool TForm1::QueueForDevice(const std::string& request) {
    if (FormSercom && FormSercom->EnqueueRequest(request)) return true;
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

bool TForm1::WaitMet(TWaitEnd end) {
    // A close of our own (Esc, the window) is no loss; a lost device has usually been shown
    // by the link already, and is shown at most once.
    if (end == TWaitEnd::LinkClosed && FormSercom && FormSercom->Link().WasLost()) NoticeLinkLost();
    return end == TWaitEnd::Met;
}

bool TForm1::DeviceTookRequests() {
    if (!FormSercom || !FormSercom->Link().HasQueuedRequest()) return true;
    // A device that polls takes a request within a few of its polls; one that took none of
    // ours in the pause has gone silent with its port still open. It is lost like a pulled
    // one, so that what it never took cannot reach it (or another device) later.
    FormSercom->Link().PortLost("device silent: requests not taken");
    return false;
}
