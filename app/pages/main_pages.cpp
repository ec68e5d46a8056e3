#include "app/pages/main_pages.h"

#include "app/common/comp_text.h"
#include "app/common/cust_msg.h"
#include "app/device/device_session.h"
#include "app/pages/catalogue/page_tx1.h"
#include "app/pages/catalogue/page_tx2.h"
#include "app/pages/configuration/page_cfg.h"
#include "app/pages/configuration/page_com.h"
#include "app/pages/configuration/page_pwx.h"
#include "app/pages/configuration/page_rdx.h"
#include "app/pages/configuration/page_tst.h"
#include "app/pages/configuration/page_wrx.h"
#include "app/pages/control/page_ben.h"
#include "app/pages/control/page_coc.h"
#include "app/pages/control/page_dev.h"
#include "app/pages/control/page_ei2.h"
#include "app/pages/control/page_eig.h"
#include "app/pages/control/page_ein.h"
#include "app/pages/control/page_ins.h"
#include "app/pages/control/page_men.h"
#include "app/pages/control/page_stg.h"
#include "app/pages/control/page_war.h"
#include "app/pages/control/page_waw.h"
#include "app/pages/controller/page_ct1.h"
#include "app/pages/controller/page_ct2.h"
#include "app/pages/jobs/page_ldc.h"
#include "app/pages/jobs/page_net.h"
#include "app/pages/jobs/page_rod.h"
#include "app/pages/jobs/page_svc.h"
#include "app/pages/page_sel.h"
#include "link/wait_for.h"
#include "platform/forms/notebook.h"
#include "program/log_file.h"

TMainPages::TMainPages(TForm& window, TNotebook& notebook, TDeviceSession& session, TStepProgress& progress)
    : window_(window),
      notebook_(notebook),
      session_(session),
      progress_(progress),
      SEL(std::make_unique<TPageSEL>(*this)),
      COM(std::make_unique<TPageCOM>(*this)),
      RDX(std::make_unique<TPageRDX>(*this)),
      CFG(std::make_unique<TPageCFG>(*this)),
      WRX(std::make_unique<TPageWRX>(*this)),
      TST(std::make_unique<TPageTST>(*this)),
      COC(std::make_unique<TPageCOC>(*this)),
      MEN(std::make_unique<TPageMEN>(*this)),
      STG(std::make_unique<TPageSTG>(*this)),
      BEN(std::make_unique<TPageBEN>(*this)),
      EIN(std::make_unique<TPageEIN>(*this)),
      EI2(std::make_unique<TPageEI2>(*this)),
      INS(std::make_unique<TPageINS>(*this)),
      WAR(std::make_unique<TPageWAR>(*this)),
      WAW(std::make_unique<TPageWAW>(*this)),
      EIG(std::make_unique<TPageEIG>(*this)),
      DEV(std::make_unique<TPageDEV>(*this)),
      NET(std::make_unique<TPageNET>(*this)),
      ROD(std::make_unique<TPageROD>(*this)),
      PWX(std::make_unique<TPagePWX>(*this)),
      TX1(std::make_unique<TPageTX1>(*this)),
      TX2(std::make_unique<TPageTX2>(*this)),
      LDC(std::make_unique<TPageLDC>(*this)),
      SVC(std::make_unique<TPageSVC>(*this)),
      CT1(std::make_unique<TPageCT1>(*this)),
      CT2(std::make_unique<TPageCT2>(*this)) {}

TMainPages::~TMainPages() = default;

int TMainPages::ShownPage() const { return notebook_.PageIndex(); }

void TMainPages::ShowPage(int index) { notebook_.SetPageIndex(index); }

void TMainPages::CloseProgram() { window_.Close(); }

void TMainPages::AskToQuit() {
    WriteLogLine("TOVAK-MEN-", "MENU", "8");
    if (CustMessageDlg(GetCompText(1201), mtCustConfirmation, mbCustYes | mbCustNo, 0) == mrYes) CloseProgram();
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
    session_.QueueForDevice(std::string("\xFB\x02\x00\x50", 4) + static_cast<char>(command));
}

void TMainPages::ShowMaintenanceDate(TDateTime date) {
    WAR->ShowMaintenanceDate(date);
    WAW->ShowMaintenanceDate(date);
}

void TMainPages::AddComLine(const std::string& text) {
    if (!INS->AddRunLine(text)) return;
    if (session_.LinkState.PrtProt) WriteLogLine("TOVAK-COM-", "X", text);
    PumpMessages();
}
