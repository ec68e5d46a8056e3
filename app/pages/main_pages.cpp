#include "app/pages/main_pages.h"

#include "app/comp_text.h"
#include "app/cust_msg.h"
#include "app/main_form.h"
#include "program/log_file.h"

TMainPages::TMainPages(TForm1& form)
    : SEL(std::make_unique<TPageSEL>(form)),
      COM(std::make_unique<TPageCOM>(form)),
      RDX(std::make_unique<TPageRDX>(form)),
      CFG(std::make_unique<TPageCFG>(form)),
      WRX(std::make_unique<TPageWRX>(form)),
      TST(std::make_unique<TPageTST>(form)),
      COC(std::make_unique<TPageCOC>(form)),
      MEN(std::make_unique<TPageMEN>(form)),
      STG(std::make_unique<TPageSTG>(form)),
      BEN(std::make_unique<TPageBEN>(form)),
      EIN(std::make_unique<TPageEIN>(form)),
      EI2(std::make_unique<TPageEI2>(form)),
      INS(std::make_unique<TPageINS>(form)),
      WAR(std::make_unique<TPageWAR>(form)),
      WAW(std::make_unique<TPageWAW>(form)),
      EIG(std::make_unique<TPageEIG>(form)),
      DEV(std::make_unique<TPageDEV>(form)),
      NET(std::make_unique<TPageNET>(form)),
      ROD(std::make_unique<TPageROD>(form)),
      PWX(std::make_unique<TPagePWX>(form)),
      TX1(std::make_unique<TPageTX1>(form)),
      TX2(std::make_unique<TPageTX2>(form)),
      LDC(std::make_unique<TPageLDC>(form)),
      SVC(std::make_unique<TPageSVC>(form)),
      CT1(std::make_unique<TPageCT1>(form)),
      CT2(std::make_unique<TPageCT2>(form)),
      form_(form) {}

void TMainPages::AskToQuit() {
    WriteLogLine("TOVAK-MEN-", "MENU", "8");
    if (CustMessageDlg(GetCompText(1201), mtCustConfirmation, mbCustYes | mbCustNo, 0) == mrYes)
        form_.Close();
}

void TMainPages::BackToMenu() {
    MEN->EnableEntries(true);
    MEN->Show();
}

void TMainPages::AskToLeaveWizards(bool endInstallStep) {
    if (CustMessageDlg(GetCompText(1211), mtCustConfirmation, mbCustYes | mbCustNo, 0) != mrYes) return;
    LeaveWizards(endInstallStep);
}

void TMainPages::LeaveWizards(bool endInstallStep) {
    INS->Leave(endInstallStep);
    BackToMenu();
    INS->RewindWizard();
    WAW->RewindWizard();
}

void TMainPages::DoorCommand(TDoorCommand command) {
    form_.Session().QueueForDevice(std::string("\xFB\x02\x00\x50", 4) + static_cast<char>(command));
}

void TMainPages::ShowMaintenanceDate(TDateTime date) {
    WAR->ShowMaintenanceDate(date);
    WAW->ShowMaintenanceDate(date);
}
