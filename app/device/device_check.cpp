// Which device answered on the open link.

#include "app/common/comp_text.h"
#include "app/common/cust_msg.h"
#include "app/device/device_session.h"
#include "program/log_file.h"

// The type query was refused or its link went: that is the lost device, shown once. A device
// that talked on this link and now leaves the query unanswered has gone silent: it is lost
// as a pulled one is, so that nothing queued reaches it when it wakes. One that has said
// nothing since the link opened is no device at all, as far as this link knows: the entry
// shows so and does nothing more, the link stays for a device that starts talking, and the
// log says why the box came.
bool TDeviceSession::TypeQueryLostTheLink() {
    if (LinkUp() && LinkState.DeviceTypeCode == -1) {
        if (link_.Heard())
            link_.PortLost("device silent: no answer to the type query");
        else
            WriteLogLine("TOVAK-COM-", "NODEVICE", "no answer to the type query");
    }
    if (LinkUp()) return false;
    if (!ShowLoss(TLossSeen::LinkWentAway)) ShowLoss(TLossSeen::Refused);
    return true;
}

bool TDeviceSession::ShowNotDoorTerminal(int32_t code) {
    if (code == kDoorTerminalType) return false;
    if (TypeQueryLostTheLink()) return true;
    const int id = code == 0x91 ? 1651 : code == 0x93 ? 1652 : code == 0x97 ? 1653 : 1650;
    CustMessageDlg(GetCompText(id), mtCustError, mbCustCancel, 0);
    return true;
}

bool TDeviceSession::CheckPortalisDevice() {
    const int32_t code = QueryDeviceType();
    if (code >= 0x91 && code <= 0x99) return false;
    if (TypeQueryLostTheLink()) return true;
    CustMessageDlg(GetCompText(code == kDoorTerminalType ? 1654 : 1650), mtCustError, mbCustCancel, 0);
    return true;
}
