#include "app/pages/control/page_stg.h"

#include <string>

#include "app/common/comp_text.h"
#include "app/common/cust_msg.h"
#include "app/pages/control/page_dev.h"
#include "app/pages/main_pages.h"

TPageSTG::TPageSTG(TMainPages& pages) : TMainPage(pages, Index) {
    TPage* p = Sheet();
    Label80 = b_.Label(p, "Label80", "", 16, 16, true);
    b_.Label(p, "Label21", "Verriegelungszustand:", 16, 42);
    Shape81 = b_.Lamp(p, "Shape81", 160, 40);
    Label81 = b_.Label(p, "Label81", "", 184, 42);
    Shape82 = b_.Lamp(p, "Shape82", 160, 62);
    Label82 = b_.Label(p, "Label82", "", 184, 64);
    b_.Label(p, "Label22", "Alarme:", 16, 88);
    b_.Label(p, "Label23", "Aktuell anstehende:", 16, 106);
    b_.Label(p, "Label24", "Zu quittierende:", 208, 106);
    b_.Label(p, "Label25", "Operation-Status:", 400, 106);
    ListBox81 = b_.Make<TListBox>(p, "ListBox81", 16, 122, 184, 72);
    ListBox82 = b_.Make<TListBox>(p, "ListBox82", 208, 122, 184, 72);
    ListBox83 = b_.Make<TListBox>(p, "ListBox83", 400, 122, 192, 72);
    b_.Label(p, "Label26", "Geräte:", 16, 202);
    for (int s = 1; s <= 12; ++s) {
        const int x = 16 + ((s - 1) / 6) * 296, y = 220 + ((s - 1) % 6) * 22;
        b_.Label(p, "Label" + std::to_string(840 + s), (s < 10 ? "0" : "") + std::to_string(s) + ".", x, y + 2);
        b_.LampRow(p, "Shape" + std::to_string(800 + s), "Label" + std::to_string(800 + s), "", x + 24, y);
        b_.Label(p, "Label" + std::to_string(820 + s), "", x + 208, y + 2);
    }
    b_.Label(p, "Label162", "Nächster Wartungstermin:", 16, 356);
    Label800 = b_.Label(p, "Label800", "", 184, 356);
    Label189 = b_.Label(p, "Label189", "", 16, 374);
    Label189->Font()->SetColor(0x0000FF);
    const std::pair<TAppButton**, std::pair<const char*, const char*>> commands[] = {
        {&Button81, {"Button81", "Freigabe"}},
        {&Button82, {"Button82", "Kurzzeit-Freigabe"}},
        {&Button83, {"Button83", "Verriegeln"}},
        {&Button84, {"Button84", "Quittieren"}},
        {&Button85, {"Button85", "Reset"}}};
    int x = 16;
    for (const auto& [field, names] : commands) {
        *field = b_.Button(p, names.first, names.second, x, 412);
        x += (*field)->Width() + 8;
    }
    Button81->OnClick = [this](TObject*) { Button81Click(); };
    Button82->OnClick = [this](TObject*) { Button82Click(); };
    Button83->OnClick = [this](TObject*) { Button83Click(); };
    Button84->OnClick = [this](TObject*) { Button84Click(); };
    Button85->OnClick = [this](TObject*) { Button85Click(); };
    const auto row = b_.ButtonRow(p, {{"Button86", "Geräte-Übersicht"}, {"Button80", "Zurück"}});
    Button86 = row[0];
    Button80 = row[1];
    Button86->OnClick = [this](TObject*) { Button86Click(); };
    Button80->OnClick = [this](TObject*) { Button80Click(); };
}

void TPageSTG::Button81Click() { Pages().DoorCommand(TDoorCommand::Release); }
void TPageSTG::Button82Click() { Pages().DoorCommand(TDoorCommand::ShortRelease); }
void TPageSTG::Button83Click() { Pages().DoorCommand(TDoorCommand::Lock); }
void TPageSTG::Button84Click() { Pages().DoorCommand(TDoorCommand::Acknowledge); }
void TPageSTG::Button85Click() { Pages().DoorCommand(TDoorCommand::Reset); }

void TPageSTG::Button80Click() { Pages().BackToMenu(); }

// Without a valid device list there is nothing to show.
void TPageSTG::Button86Click() {
    if (!session_.LinkState.NodeTable.Valid) {
        CustMessageDlg(GetCompTextLines(1198), mtCustInformation, mbCustCancel, 0);
        return;
    }
    Pages().DEV->ShowOverview();
}

void TPageSTG::ShowCommands(bool shown) {
    for (TAppButton* b : {Button81, Button82, Button83, Button84, Button85}) b->SetVisible(shown);
}

void TPageSTG::Prepare(bool withCommands) {
    Label800->SetCaption(session_.LinkState.DoorSystem.MaintenanceDate);
    ShowCommands(withCommands);
}

void TPageSTG::ShowNotice(const std::string& text) { Label189->SetCaption(text); }
