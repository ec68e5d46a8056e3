#include "app/device_check.h"

#include "app/comp_text.h"
#include "app/cust_msg.h"
#include "app/main_form.h"
#include "link/form_sercom.h"
#include "link/link_state.h"
#include "link/wait_for.h"

namespace {

// The type query was refused or its link went: that is the lost device, shown once. A device
// that leaves the query unanswered on an open link, whether it talked on it before or never
// did, is lost as a pulled one is: the link closes, so nothing queued reaches it when it
// wakes, and the log says why.
bool LinkGone() {
    TSercomLink& link = FormSercom->Link();
    if (DeviceLinkUp() && LinkState.DeviceTypeCode == -1) link.PortLost("device silent: no answer to the type query");
    if (DeviceLinkUp() || !Form1) return false;
    if (link.WasLost())
        Form1->NoticeLinkLost();
    else
        Form1->ShowLinkLost();
    return true;
}

}  // namespace

bool CheckDoorTerminal() {
    const int32_t code = FormSercom->QueryDeviceType();
    if (code == 0x81) return false;
    if (LinkGone()) return true;
    const int id = code == 0x91 ? 1651 : code == 0x93 ? 1652 : code == 0x97 ? 1653 : 1650;
    CustMessageDlg(GetCompText(id), mtCustError, mbCustCancel, 0);
    return true;
}

bool CheckPortalisDevice() {
    const int32_t code = FormSercom->QueryDeviceType();
    if (code >= 0x91 && code <= 0x99) return false;
    if (LinkGone()) return true;
    CustMessageDlg(GetCompText(code == 0x81 ? 1654 : 1650), mtCustError, mbCustCancel, 0);
    return true;
}
