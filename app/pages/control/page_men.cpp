#include "app/pages/control/page_men.h"

#include <cmath>

#include "app/common/comp_text.h"
#include "app/common/cust_msg.h"
#include "app/config/maintenance_date.h"
#include "app/pages/control/page_ben.h"
#include "app/pages/control/page_eig.h"
#include "app/pages/control/page_ein.h"
#include "app/pages/control/page_ins.h"
#include "app/pages/control/page_stg.h"
#include "app/pages/control/page_war.h"
#include "app/pages/main_pages.h"
#include "app/windows/code_form.h"
#include "link/wait_for.h"
#include "platform/sync/clock.h"
#include "program/log_file.h"

namespace {

TAnswer AwaitFlagOf(uint8_t type, uint8_t index) {
    if (type == 0x0D) return AwaitDoorState;
    if (type == 0x10 && index == 0x00) return AwaitConfigBlock1;
    if (type == 0x10 && index == 0x01) return AwaitConfigBlock2;
    if (type == 0x10 && index == 0x02) return AwaitConfigBlock3;
    if (type == 0x52) return AwaitSlotErrors;
    return AwaitTerminalSettings;
}

const std::vector<std::pair<uint8_t, uint8_t>> kStateReads = {
    {0x0D, 0x00}, {0x10, 0x00}, {0x10, 0x01}, {0x10, 0x02}, {0x52, 0x00}};

}  // namespace

TPageMEN::TPageMEN(TMainPages& pages) : TMainPage(pages, Index) {
    TPage* p = Sheet();
    Label71 = b_.Label(p, "Label71", "Menü", 16, 16, true);
    Label72 = b_.Label(p, "Label72", "Funktion auswählen:", 16, 40);
    const std::pair<TAppButton**, std::pair<const char*, const char*>> entries[] = {
        {&Button711, {"Button711", "Information"}},          {&Button712, {"Button712", "Steuerung"}},
        {&Button721, {"Button721", "Installation"}},         {&Button722, {"Button722", "Wartung"}},
        {&Button731, {"Button731", "System-Einstellungen"}}, {&Button732, {"Button732", "Benutzerverwaltung"}},
        {&Button741, {"Button741", "Geräte-Einstellungen"}}};
    for (size_t i = 0; i < std::size(entries); ++i)
        *entries[i].first = b_.Button(p, entries[i].second.first, entries[i].second.second,
                                      16 + static_cast<int>(i % 2) * 200, 64 + static_cast<int>(i / 2) * 32, 184);
    CheckEdit701 = b_.Make<TAppCheckEdit>(p, "CheckEdit701", 16, 200, 264, 17);
    CheckEdit701->SetCaption("Daten Geräteliste neu einlesen");
    Label701 = b_.Label(p, "Label701", "", 16, 232);
    ProgressBar701 = b_.Make<TProgressBar>(p, "ProgressBar701", 16, 248, 384, 16);
    Label702 = b_.Label(p, "Label702", "", 408, 250);
    Button742 = b_.ButtonRow(p, {{"Button742", "Abbruch"}})[0];
    Button742->OnClick = [this](TObject*) { Pages().AskToQuit(); };
    Button711->OnClick = [this](TObject*) { Button711Click(); };
    Button712->OnClick = [this](TObject*) { Button712Click(); };
    Button721->OnClick = [this](TObject*) { Button721Click(); };
    Button722->OnClick = [this](TObject*) { Button722Click(); };
    Button731->OnClick = [this](TObject*) { Button731Click(); };
    Button732->OnClick = [this](TObject*) { Button732Click(); };
    Button741->OnClick = [this](TObject*) { Button741Click(); };
}

std::vector<TAppButton*> TPageMEN::MenuButtons() const {
    return {Button711, Button712, Button721, Button722, Button731, Button732, Button741};
}

void TPageMEN::EnableEntries(bool enabled) {
    for (TAppButton* b : MenuButtons()) b->SetEnabled(enabled);
}

void TPageMEN::RereadDeviceList(bool reread) { CheckEdit701->SetChecked(reread); }

void TPageMEN::ShowProgressStart(int32_t count) {
    ProgressBar701->SetPosition(0);
    ProgressBar701->SetVisible(true);
    Label701->SetCaption(GetCompText(1103));
    Label702->SetCaption("1 / " + std::to_string(count));
}

void TPageMEN::ShowProgress(int32_t step, int32_t count) {
    Label702->SetCaption(std::to_string(step) + " / " + std::to_string(count));
    ProgressBar701->SetPosition(static_cast<int>(std::lround(100.0 / count * step)));
}

void TPageMEN::HideProgress() {
    ProgressBar701->SetPosition(0);
    ProgressBar701->SetVisible(false);
    Label701->SetCaption("");
    Label702->SetCaption("");
}

bool TPageMEN::AskAndCheckCode(const TEntry& entry) {
    std::string code;
    bool granted = AskCode(entry.CodeCaption, code);
    if (granted) granted = session_.DevicePause(100, Index) && session_.CheckAccessCode(code, entry.Level);
    if (!granted) Pages().CodeEntryActive = false;
    return granted;
}

bool TPageMEN::ReadDeviceData(const TEntry& entry, bool information) {
    EnableEntries(false);
    Pages().CodeEntryActive = false;
    progress_.ProgressStart(entry.Steps);
    if (!session_.LinkState.NodeTable.Valid || CheckEdit701->Checked()) session_.WriteNetInfo();
    for (const auto& [type, index] : entry.Requests) {
        if (Pages().ShownPage() != Index) return false;
        progress_.ProgressStep();
        std::string request("\xFB\x02\x00", 3);
        request += static_cast<char>(type);
        request += static_cast<char>(index);
        TDeviceWait wait = session_.Wait();
        if (!session_.QueueForDevice(wait, request, AwaitFlagOf(type, index))) return false;
        for (;;) {
            // "Information" looks at the clock every 100 ms for the question after two
            // minutes; the others wait for the record, the page, the link or the end.
            const TWaitEnd end = wait.Until(information ? GetTickCount64() + 100 : kNoDeadline,
                                            session_.PageWaitEnds(Index));
            if (end == TWaitEnd::Met) break;
            if (end != TWaitEnd::Deadline) return session_.WaitMet(end);
            if (progress_.CheckStepTimeout()) return false;
        }
        if (Pages().ShownPage() != Index) return false;
    }
    progress_.ProgressStep();
    return true;
}

bool TPageMEN::RunEntry(const TEntry& entry) {
    WriteLogLine("TOVAK-MEN-", "MENU", entry.LogText);
    if (session_.CheckDoorTerminal()) return false;
    if (entry.CodeCaption) {
        if (Pages().CodeEntryActive) return false;
        Pages().CodeEntryActive = true;
        return AskAndCheckCode(entry);
    }
    return true;
}

void TPageMEN::Button711Click() {
    const TEntry entry{"1", nullptr, 0, 6, kStateReads};
    if (!RunEntry(entry) || !ReadDeviceData(entry, true)) return;
    TPageSTG& stg = *Pages().STG;
    stg.Prepare(false);
    progress_.ProgressHide();
    stg.Show();
}

void TPageMEN::Button712Click() {
    const TEntry entry{"2", "Control Code", 1, 6, kStateReads};
    if (!RunEntry(entry) || !ReadDeviceData(entry, false)) return;
    TPageSTG& stg = *Pages().STG;
    stg.Prepare(true);
    progress_.ProgressHide();
    stg.Show();
}

void TPageMEN::Button721Click() {
    const TEntry entry{"3", "Install Code", 3, 5, {{0x0D, 0x00}, {0x10, 0x00}, {0x10, 0x01}, {0x10, 0x02}}};
    if (!RunEntry(entry) || !ReadDeviceData(entry, false)) return;
    progress_.ProgressHide();
    Pages().INS->StartWizard();
}

void TPageMEN::Button722Click() {
    const TEntry entry{"4", "Install Code", 3, 6, kStateReads};
    if (!RunEntry(entry) || !ReadDeviceData(entry, false)) return;
    Pages().STG->Prepare(true);
    TDateTime date = NullDate;
    if (!MaintenanceDateFromText(session_.LinkState.DoorSystem.MaintenanceDate, date)) date = NullDate;
    Pages().ShowMaintenanceDate(date);
    progress_.ProgressHide();
    Pages().WAR->Show();
}

void TPageMEN::Button731Click() {
    const TEntry entry{"5", "System Code", 2, 4, {{0x10, 0x00}, {0x10, 0x01}, {0x10, 0x02}}};
    TPageEIN& ein = *Pages().EIN;
    ein.EnableButtons(true);
    ein.ShowBusy(false);
    if (!RunEntry(entry) || !ReadDeviceData(entry, false)) return;
    if (session_.LinkState.PrtProt) WriteLogLine("TOVAK-COM-", "MustWait", "-> pgEIN");
    ein.ShowDoorTimes();
    progress_.ProgressHide();
    ein.Show();
    ein.EnableExtended(session_.LinkState.NodeTable.Valid);
}

void TPageMEN::Button732Click() {
    const TEntry entry{"6", "Install Code", 3, 0, {}};
    if (!RunEntry(entry)) return;
    Pages().CodeEntryActive = false;
    Pages().BEN->Show();
}

void TPageMEN::Button741Click() {
    const TEntry entry{"7", "System Code", 2, 5, {{0x10, 0x00}, {0x10, 0x01}, {0x10, 0x02}}};
    TPageEIG& eig = *Pages().EIG;
    eig.ShowBusy(false);
    if (!RunEntry(entry) || !ReadDeviceData(entry, false)) return;
    // The terminal settings come last and are waited for on a clock of their own: an old
    // firmware never sends them.
    TDeviceWait wait = session_.Wait();
    if (!session_.QueueForDevice(wait, std::string("\xFB\x02\x00\x0E\x20", 5), AwaitTerminalSettings)) return;
    const TWaitEnd end = wait.Until(GetTickCount64() + kTerminalSettingsMs, session_.PageWaitEnds(Index));
    if (end != TWaitEnd::Met && end != TWaitEnd::Deadline) {
        session_.WaitMet(end);
        return;
    }
    if (end == TWaitEnd::Deadline) {
        WriteLogLine("TOVAK-COM-", "MustWait", "-> pgEIG / 4721OldFirmware");
        progress_.ProgressHide();
        CustMessageDlg(GetCompTextLines(1198), mtCustInformation, mbCustCancel, 0);
        EnableEntries(true);
        return;
    }
    if (session_.LinkState.PrtProt) WriteLogLine("TOVAK-COM-", "MustWait", "-> pgEIG");
    eig.ShowTerminalSettings();
    progress_.ProgressStep();
    progress_.ProgressHide();
    eig.Show();
}
