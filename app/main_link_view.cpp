#include "app/main_link_view.h"

#include "app/main_form.h"
#include "app/pages/configuration/page_tst.h"
#include "app/pages/control/page_ins.h"
#include "app/pages/control/page_stg.h"
#include "app/pages/main_pages.h"
#include "platform/classes/update_scope.h"

namespace {

// The colour lamps are built with, before the device has said anything.
constexpr uint32_t kLampUnknown = 0xFFFFFF;

void ShowLamp(TShape* lamp, TLabel* label, uint32_t color, const std::string& text) {
    lamp->Brush()->SetColor(static_cast<TColor>(color));
    label->SetCaption(text);
}

}  // namespace

TMainLinkView::TMainLinkView(TForm1& form) : form_(form), slots_(&form) {}

std::string TMainLinkView::InputBlockText() { return form_.Pages().TST->InputBlock(); }
std::string TMainLinkView::OutputBlockText() { return form_.Pages().TST->OutputBlock(); }
void TMainLinkView::ShowInputBlockText(const std::string& text) { form_.Pages().TST->SetInputBlock(text); }
void TMainLinkView::ShowOutputBlockText(const std::string& text) { form_.Pages().TST->SetOutputBlock(text); }
void TMainLinkView::ShowBroadcastBits(const std::string& bits) { form_.Pages().TST->Label511->SetCaption(bits); }

void TMainLinkView::ShowDoorStateTexts(const std::string& door, const std::string& preAlarm, const std::string& alarm,
                                       const std::string& error, const std::string& lock) {
    TPageTST& tst = *form_.Pages().TST;
    tst.Label550->SetCaption(door);
    tst.Label551->SetCaption(preAlarm);
    tst.Label552->SetCaption(alarm);
    tst.Label553->SetCaption(error);
    tst.Label554->SetCaption(lock);
}

void TMainLinkView::ShowDoorLamp(uint32_t color, const std::string& text) {
    ShowLamp(form_.Pages().STG->Shape82, form_.Pages().STG->Label82, color, text);
}

void TMainLinkView::ShowLockLamp(uint32_t color, const std::string& text) {
    ShowLamp(form_.Pages().STG->Shape81, form_.Pages().STG->Label81, color, text);
}

void TMainLinkView::ShowWizardLockLamp(uint32_t color, const std::string& text) {
    ShowLamp(form_.Pages().INS->Shape11051, form_.Pages().INS->Label11051, color, text);
}

void TMainLinkView::ShowPendingAlarms(uint16_t word) { slots_.ShowStatusBits(word, form_.Pages().STG->ListBox81); }
void TMainLinkView::ShowAlarmsToAcknowledge(uint16_t word) {
    slots_.ShowStatusBits(word, form_.Pages().STG->ListBox82);
}

void TMainLinkView::ShowBusState(const std::vector<std::string>& items) {
    TStrings* lines = form_.Pages().STG->ListBox83->Items();
    TUpdateScope update(lines);
    lines->Clear();
    for (const std::string& item : items) lines->Add(item);
}

void TMainLinkView::ShowSystemInfoText(const std::string& text) { form_.Pages().STG->Label80->SetCaption(text); }

bool TMainLinkView::InstallProgressShown() { return form_.Pages().INS->ProgressBar11->Visible(); }

void TMainLinkView::MarkInstallStepDone(int step) {
    TPageINS& ins = *form_.Pages().INS;
    TLabel* label = step == 2 ? ins.Label1102 : step == 3 ? ins.Label1103 : step == 4 ? ins.Label1104 : nullptr;
    TImage* tick = step == 2 ? ins.Image1102 : step == 3 ? ins.Image1103 : step == 4 ? ins.Image1104 : nullptr;
    if (!label) return;
    label->Font()->SetColor(clBlack);
    tick->SetVisible(true);
}

void TMainLinkView::ClearReceiveTicker() { form_.StatusBar1->Panels()->Items(2)->SetText(" "); }
void TMainLinkView::LinkLost() {
    // What the lost device showed last may be wrong by now: the lamps and texts go blank.
    TPageSTG& stg = *form_.Pages().STG;
    ShowLamp(stg.Shape81, stg.Label81, kLampUnknown, "");
    ShowLamp(stg.Shape82, stg.Label82, kLampUnknown, "");
    ShowLamp(form_.Pages().INS->Shape11051, form_.Pages().INS->Label11051, kLampUnknown, "");
    for (TListBox* list : {stg.ListBox81, stg.ListBox82, stg.ListBox83}) list->Items()->Clear();
    ShowDoorStateTexts("", "", "", "", "");
    form_.Pages().TST->ShowPortOpen(false);
    form_.Session().ShowLoss(TDeviceSession::TLossSeen::LinkWentAway);
}

void TMainLinkView::StatusTick() { form_.StatusTick(); }
void TMainLinkView::AddComLine(const std::string& text) { form_.Pages().AddComLine(text); }
void TMainLinkView::ShowDeviceSlots() { slots_.ShowDeviceSlots(form_.Session().LinkState); }
void TMainLinkView::ShowSlotErrors() { slots_.ShowSlotErrors(form_.Session().LinkState); }
