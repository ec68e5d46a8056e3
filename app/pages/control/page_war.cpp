#include "app/pages/control/page_war.h"

#include "app/common/comp_text.h"
#include "app/common/cust_msg.h"
#include "app/config/maintenance_date.h"
#include "app/pages/control/page_waw.h"
#include "app/pages/main_pages.h"
#include "controls/vx_calendar.h"

TPageWAR::TPageWAR(TMainPages& pages) : TMainPage(pages, Index) {
    TPage* p = Sheet();
    Label1301 = b_.Label(p, "Label1301", "Wartung", 16, 16, true);
    Label1302 = b_.Label(p, "Label1302", "Nächster Wartungstermin:", 16, 52);
    DateEdit12001 = b_.Make<TAppDateEdit>(p, "DateEdit12001", 184, 48, 121, 21);
    RefuseInvalidDates(DateEdit12001);
    Button12001 = b_.Button(p, "Button12001", "Wartungstermin ändern", 313, 46);
    Button12002 = b_.Button(p, "Button12002", "Wizzard starten", 16, 96);
    Button12000 = b_.ButtonRow(p, {{"Button12000", "Zurück"}})[0];
    Button12001->OnClick = [this](TObject*) { Button12001Click(); };
    Button12002->OnClick = [this](TObject*) { Button12002Click(); };
    Button12000->OnClick = [this](TObject*) { Pages().BackToMenu(); };
}

void TPageWAR::ShowMaintenanceDate(TDateTime date) { DateEdit12001->SetDate(date); }

void TPageWAR::Button12001Click() {
    if (!MaintenanceDateGiven(DateEdit12001)) return;
    const TDateTime date = DateEdit12001->Date();
    if (CustMessageDlg(GetCompTextFmt(1214, {FormatDateTime("dd.mm.yyyy", date)}), mtCustConfirmation,
                       mbCustYes | mbCustNo, 0) != 6)
        return;
    Button12001->SetEnabled(false);
    Button12002->SetEnabled(false);
    LetWindowsRepaint();
    if (WriteMaintenanceDate(session_, date)) {
        // The wizard's last page offers the date the device now has.
        Pages().WAW->ShowMaintenanceDate(date);
        CustMessageDlg(GetCompText(1215), mtCustInformation, mbCustOK, 0);
    } else if (Pages().ShownPage() == Index) {
        // Not left with Esc: the link was lost during the write.
        session_.ShowLoss(TDeviceSession::TLossSeen::Refused);
    }
    Button12001->SetEnabled(true);
    Button12002->SetEnabled(true);
    LetWindowsRepaint();
}

void TPageWAR::Button12002Click() { Pages().WAW->StartWizard(); }
