#include "app/pages/control/page_waw.h"

#include <string>
#include <vector>

#include "app/common/comp_text.h"
#include "app/common/cust_msg.h"
#include "app/common/main_settings.h"
#include "app/config/maintenance_date.h"
#include "app/pages/control/page_war.h"
#include "app/pages/main_pages.h"
#include "platform/sync/clock.h"
#include "program/program_context.h"

namespace {

constexpr TColor kWhite = 0xFFFFFF, kSilver = 0xC0C0C0, kRed = 0x0000FF, kGreen = 0x00FF00;
// The step count and the page title stand above the notebook.
constexpr int kTop = 40;
constexpr int kNavigationTop = kButtonTop - kTop;
constexpr int kCommandTop = kNavigationTop - kButtonHeight - 8;

struct TStepText {
    const char* Heading;
    std::vector<const char*> Lines;
};

// The checks of pages 01-08.
const TStepText kChecks[9] = {
    {},
    {"Prüfen der Öffnungs- und Schließfunktion:",
     {"Die Tür mit \"Freigabe\" entriegeln und öffnen.",
      "Die Tür muss sich leicht öffnen lassen und selbsttätig schließen.",
      "Danach die Tür mit \"Verriegeln\" wieder verriegeln."}},
    {"Prüfen der Verriegelung:",
     {"Die verriegelte Tür von beiden Seiten zu öffnen versuchen.",
      "Der Riegel muss ganz ausfahren und die Tür sicher halten.",
      "Mit \"Freigabe\" muss die Tür wieder zu öffnen sein."}},
    {"Prüfen der NOT-AUF-Taster:",
     {"Jeden NOT-AUF-Taster betätigen.", "Die Tür muss sofort entriegeln und der Alarm muss ertönen.",
      "Den Taster danach mit dem Schlüssel zurückstellen."}},
    {"Prüfen der Ansteuerung durch die Brandmeldeanlage:",
     {"Eine Auslösung der Brandmeldeanlage (BMA) herbeiführen.",
      "Die Tür muss entriegeln und bis zum Rücksetzen der BMA", "entriegelt bleiben."}},
    {"Alarme quittieren und zurücksetzen:",
     {"Anstehende Alarme mit \"Quittieren\" bestätigen und das System", "mit \"Reset\" zurücksetzen.",
      "Anschließend die Tür mit \"Verriegeln\" verriegeln."}},
    {"Sichtprüfung der Komponenten:",
     {"Türterminal, Verriegelungen und Taster auf Beschädigungen prüfen.",
      "Beschriftungen und Hinweisschilder müssen vorhanden und lesbar sein."}},
    {"Prüfen der Befestigung und Verkabelung:",
     {"Alle Geräte müssen fest montiert sein.", "Leitungen und Anschlüsse auf festen Sitz und Beschädigungen prüfen."}},
    {"Festhalten der Mängel:",
     {"Festgestellte Mängel im Wartungsprotokoll eintragen", "und ihre Beseitigung veranlassen."}},
};

// The part of a control's name that stands for its page: 1-9, A (10-RRM1), B (11-RRM2).
std::string PageCode(int page) {
    return page < 10 ? std::to_string(page) : std::string(1, static_cast<char>('A' + page - 10));
}

}  // namespace

int MaintenanceBoxCount(const TNodeTable& table) {
    if (!table.Valid) return 0;
    int boxes = 0;
    for (int n = 1; n <= table.NodeCount && n <= 32; ++n) {
        const TNodeEntry& e = table.Nodes[n];
        if (e.SameNode && e.ProdCode == 6) ++boxes;
    }
    return boxes > 8 ? 8 : boxes;
}

TPageWAW::TPageWAW(TMainPages& pages) : TMainPage(pages, Index) {
    TPage* p = Sheet();
    Label1401 = b_.Label(p, "Label1401", "Wartung", 16, 16, true);
    Label1402 = b_.Label(p, "Label1402", "Schritt", 496, 16);
    Label190 = b_.Label(p, "Label190", "", 552, 16);
    Notebook21 = b_.Notebook(p, "Notebook21",
                             {"00", "01", "02", "03", "04", "05", "06", "07", "08", "09", "10-RRM1", "11-RRM2"}, 0,
                             kTop, kPageWidth, kPageHeight - kTop);
    auto text = [this](int page, const char* heading, const std::vector<const char*>& lines) {
        TPage* sheet = Notebook21->Page(page);
        b_.Label(sheet, "Label120" + PageCode(page) + "0", heading, 16, 8, true);
        for (size_t k = 0; k < lines.size(); ++k)
            b_.Label(sheet, "Label120" + PageCode(page) + std::to_string(k + 1), lines[k], 16,
                     32 + 18 * static_cast<int>(k));
    };
    // Buttons at the bottom right of a notebook page, which starts below the title.
    auto navigation = [this](int page, const std::vector<std::pair<std::string, std::string>>& buttons) {
        std::vector<TAppButton*> row = b_.ButtonRow(Notebook21->Page(page), buttons);
        for (TAppButton* b : row) b->SetTop(kNavigationTop);
        return row;
    };
    auto commands = [this](int page,
                           const std::vector<std::pair<TAppButton**, std::pair<const char*, const char*>>>& buttons) {
        int x = 16;
        int order = 0;
        for (const auto& [field, names] : buttons) {
            *field = b_.Button(Notebook21->Page(page), names.first, names.second, x, kCommandTop);
            x += (*field)->Width() + 8;
            // Above the step buttons on the page, so before them for Tab too.
            (*field)->SetTabOrder(order++);
        }
    };

    vxButton1 = navigation(0, {{"vxButton1", "Zurück"}})[0];
    vxButton1->OnClick = [this](TObject*) { Pages().BackToMenu(); };
    for (int page = 1; page <= 8; ++page) {
        text(page, kChecks[page].Heading, kChecks[page].Lines);
        const auto row = navigation(
            page, {{"Button120" + PageCode(page) + "1", "&Weiter"}, {"Button120" + PageCode(page) + "2", "&Abbruch"}});
        WeiterButtons[page] = row[0];
        AbbruchButtons[page] = row[1];
        row[0]->OnClick = [this](TObject*) { Button12011Click(); };
    }
    commands(1, {{&vxButton2, {"vxButton2", "Freigabe"}}, {&vxButton3, {"vxButton3", "Verriegeln"}}});
    commands(2, {{&vxButton4, {"vxButton4", "Freigabe"}}, {&vxButton5, {"vxButton5", "Verriegeln"}}});
    commands(5, {{&vxButton6, {"vxButton6", "Quittieren"}},
                 {&vxButton7, {"vxButton7", "Reset"}},
                 {&vxButton8, {"vxButton8", "Verriegeln"}}});
    for (TAppButton* b : {vxButton2, vxButton4})
        b->OnClick = [this](TObject*) { Pages().DoorCommand(TDoorCommand::Release); };
    for (TAppButton* b : {vxButton3, vxButton5, vxButton8})
        b->OnClick = [this](TObject*) { Pages().DoorCommand(TDoorCommand::Lock); };
    vxButton6->OnClick = [this](TObject*) { Pages().DoorCommand(TDoorCommand::Acknowledge); };
    vxButton7->OnClick = [this](TObject*) { Pages().DoorCommand(TDoorCommand::Reset); };

    text(9, "Eingabe des nächsten Wartungstermins:", {});
    DateEdit12091 = b_.Make<TAppDateEdit>(Notebook21->Page(9), "DateEdit12091", 16, 32, 121, 21);
    RefuseInvalidDates(DateEdit12091);
    auto ende = navigation(9, {{"Button12091", "&Ende"}, {"Button12092", "&Abbruch"}});
    Button12091 = ende[0];
    AbbruchButtons[9] = ende[1];
    Button12091->OnClick = [this](TObject*) { Button12091Click(); };

    text(kCounterReset, "Rücksetzen der NOT-AUF-Zähler in den Geräten:", {"Zuerst wird dazu die Tür entriegelt."});
    auto reset = navigation(kCounterReset, {{"Button120A1", "&Weiter"}, {"Button120A2", "&Abbruch"}});
    Button120A1 = reset[0];
    AbbruchButtons[kCounterReset] = reset[1];
    Button120A1->OnClick = [this](TObject*) { Button120A1Click(); };

    text(kCounterState, "Stand der NOT-AUF-Zähler in den Geräten:", {});
    TPage* lamps = Notebook21->Page(kCounterState);
    for (int n = 1; n <= 8; ++n) {
        const int y = 32 + (n - 1) * 24;
        b_.Label(lamps, "LabelS8" + std::to_string(n), "KV " + std::to_string(n) + ":", 16, y + 2);
        shapes_[n] = b_.Lamp(lamps, "Shape19" + std::to_string(n), 64, y);
        labels_[n] = b_.Label(lamps, "LabelS9" + std::to_string(n), "", 88, y + 2);
    }
    auto state = navigation(kCounterState,
                            {{"Button120B3", "&Zurück"}, {"Button120B1", "&Weiter"}, {"Button120B2", "&Abbruch"}});
    Button120B3 = state[0];
    Button120B1 = state[1];
    AbbruchButtons[kCounterState] = state[2];
    Button120B3->OnClick = [this](TObject*) { Button120B3Click(); };
    Button120B1->OnClick = [this](TObject*) { Button120B1Click(); };
    for (int page = 1; page <= kCounterState; ++page)
        AbbruchButtons[page]->OnClick = [this](TObject*) { Pages().AskToLeaveWizards(true); };
}

TShape* TPageWAW::StateShape(int n) const { return n >= 1 && n <= 8 ? shapes_[n] : nullptr; }

TLabel* TPageWAW::StateLabel(int n) const { return n >= 1 && n <= 8 ? labels_[n] : nullptr; }

void TPageWAW::ShowStep() { Label190->SetCaption(std::to_string(Step) + " / " + std::to_string(StepTotal)); }

void TPageWAW::NextPage() {
    ++Step;
    ShowStep();
    Notebook21->SetPageIndex(Notebook21->PageIndex() + 1);
}

void TPageWAW::StartWizard() {
    Step = 1;
    StepTotal = Program().CmrRm ? 11 : 9;
    Notebook21->SetPageIndex(Program().CmrRm ? kCounterReset : 1);
    ShowStep();
    Show();
}

void TPageWAW::RewindWizard() { Notebook21->SetPageIndex(1); }

void TPageWAW::ShowMaintenanceDate(TDateTime date) { DateEdit12091->SetDate(date); }

void TPageWAW::Button12011Click() { NextPage(); }

bool TPageWAW::ShowsCounterState() const {
    return Pages().ShownPage() == Index && Notebook21->PageIndex() == kCounterState;
}

void TPageWAW::PrepareCounterLamps(int boxes) {
    for (int n = 1; n <= 8; ++n) {
        const bool absent = boxes > 0 && n > boxes;
        shapes_[n]->Brush()->SetColor(absent ? kSilver : kWhite);
        labels_[n]->SetCaption(absent ? "--" : "");
    }
}

void TPageWAW::ShowCounters() {
    for (int n = 1; n <= 8; ++n) {
        const uint8_t count = session_.LinkState.EmergencyCounters[n];
        if (count != 0) {
            shapes_[n]->Brush()->SetColor(kRed);
            labels_[n]->SetCaption(std::to_string(count));
        } else if (shapes_[n]->Brush()->Color() == kWhite) {
            shapes_[n]->Brush()->SetColor(kGreen);
        }
    }
}

void TPageWAW::Button120A1Click() {
    if (!session_.QueueForDevice(std::string("\xFB\x02\x00\x50\x01", 5))) return;
    PrepareCounterLamps(MaintenanceBoxCount(session_.LinkState.NodeTable));
    Button120B1->SetEnabled(false);
    Button120B3->SetEnabled(true);
    NextPage();
    LetWindowsRepaint();
    TDeviceWait counters = session_.Wait();
    const std::string request("\xFB\x02\x00\x53", 4);
    if (!session_.QueueForDevice(counters, request, AwaitEmergencyCounters)) return;
    // The record has no time of its own: after two minutes without it the user may give up.
    progress_.RestartStepTime();
    for (;;) {
        const TWaitEnd end = counters.Until(GetTickCount64() + 100,
                                            session_.WaitEnds([this] { return ShowsCounterState(); }));
        if (end == TWaitEnd::Met) break;
        if (end != TWaitEnd::Deadline) {
            session_.WaitMet(end);
            return;
        }
        if (progress_.CheckStepTimeout()) {
            Pages().LeaveWizards(true);
            return;
        }
    }
    if (!ShowsCounterState()) return;
    ShowCounters();
    Button120B1->SetEnabled(true);
    Button120B3->SetEnabled(false);
}

void TPageWAW::Button120B1Click() {
    ++Step;
    ShowStep();
    Notebook21->SetPageIndex(1);
}

void TPageWAW::Button120B3Click() {
    --Step;
    ShowStep();
    StartWizard();
}

void TPageWAW::Button12091Click() {
    if (!MaintenanceDateGiven(DateEdit12091)) return;
    const TDateTime date = DateEdit12091->Date();
    Button12091->SetEnabled(false);
    LetWindowsRepaint();
    const bool written = WriteMaintenanceDate(session_, date);
    if (written) Pages().WAR->ShowMaintenanceDate(date);
    // Esc during the pauses has left for the start page already; a lost link has not.
    if (written)
        Pages().WAR->Show();
    else if (Pages().ShownPage() == Index)
        session_.ShowLoss(TDeviceSession::TLossSeen::Refused);
    Button12091->SetEnabled(true);
    LetWindowsRepaint();
}
