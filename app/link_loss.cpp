// What the main window does when the device link is gone: one message for each lost link,
// and the page the technician is left on.

#include "app/common/after_boxes.h"
#include "app/common/comp_text.h"
#include "app/common/cust_msg.h"
#include "app/common/start_options.h"
#include "app/main_form.h"
#include "app/pages/configuration/page_com.h"
#include "app/pages/configuration/page_wrx.h"
#include "app/pages/jobs/page_ldc.h"
#include "app/pages/jobs/page_net.h"
#include "app/pages/jobs/page_rod.h"
#include "app/pages/main_pages.h"
#include "platform/forms/application.h"

namespace {

// The configuration road: its rows may hold edits not yet written anywhere.
bool OnConfigRoad(int page) { return page >= TPageCOM::Index && page <= TPageWRX::Index; }

}  // namespace

void TForm1::ShowLinkLost() {
    // A start job that meets the loss has failed, and says so in its status before anything
    // shows: a script that stops the program while the message waits never reads success.
    // The read-out starts no cycle while the message is up either; it ends below.
    pages_->NET->DeviceLost();
    pages_->ROD->DeviceLost();
    pages_->LDC->DeviceLost();
    Timer3->SetEnabled(false);
    if (!OnConfigRoad(Notebook1->PageIndex())) {
        // No request can end the device's installation step now; the next one starts afresh.
        pages_->InstallActive = false;
        pages_->LeaveWizards(false);
        progress_.ProgressHide();
        Notebook1->SetPageIndex(kPageStart);
    }
    // A question asked before the loss has no answer any more: it goes, cancelled, and the
    // loss shows once it has.
    afterBoxes_->Run([] {
        if (!ProgramEnding()) CustMessageDlg(GetCompText(1650), mtCustError, mbCustCancel, 0);
    });
    // A repeating read-out ends with the loss, not at its next cycle: a script waits for the
    // program's end and its status.
    pages_->ROD->LossShown();
}
