#include "app/pages/page_stg.h"

#include <string>

#include "app/pages/main_pages.h"
#include "link/form_sercom.h"

TPageSTG::TPageSTG(TForm1& form) : TMainPage(form, Index) {
    TPage* p = Sheet();
    Label80 = b_.Label(p, "Label80", "", 16, 16, true);
    Shape81 = b_.Lamp(p, "Shape81", 16, 40);
    Label81 = b_.Label(p, "Label81", "", 40, 42);
    Shape82 = b_.Lamp(p, "Shape82", 16, 64);
    Label82 = b_.Label(p, "Label82", "", 40, 66);
    ListBox81 = b_.Make<TListBox>(p, "ListBox81", 16, 88, 184, 80);
    ListBox82 = b_.Make<TListBox>(p, "ListBox82", 208, 88, 184, 80);
    ListBox83 = b_.Make<TListBox>(p, "ListBox83", 400, 88, 192, 80);
    for (int s = 1; s <= 12; ++s) {
        const int x = 16 + ((s - 1) / 6) * 296, y = 176 + ((s - 1) % 6) * 24;
        b_.LampRow(p, "Shape" + std::to_string(800 + s), "Label" + std::to_string(800 + s), "", x, y);
        b_.Label(p, "Label" + std::to_string(820 + s), "", x + 184, y + 2);
    }
    Label800 = b_.Label(p, "Label800", "", 16, 328);
    Label189 = b_.Label(p, "Label189", "", 16, 348);
    Label189->Font()->SetColor(0x0000FF);
    const std::pair<TAppButton**, std::pair<const char*, const char*>> commands[] = {
        {&Button81, {"Button81", "Freigabe"}},   {&Button82, {"Button82", "Kurzzeit-Freigabe"}},
        {&Button83, {"Button83", "Verriegeln"}}, {&Button84, {"Button84", "Quittieren"}},
        {&Button85, {"Button85", "Reset"}}};
    int x = 16;
    for (const auto& [field, names] : commands) {
        *field = b_.Button(p, names.first, names.second, x, 376);
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

namespace {

void DoorCommand(uint8_t command) {
    if (FormSercom) FormSercom->EnqueueRequest(std::string("\xFB\x02\x00\x50", 4) + static_cast<char>(command));
}

}  // namespace

void TPageSTG::Button81Click() { DoorCommand(0x01); }
void TPageSTG::Button82Click() { DoorCommand(0x00); }
void TPageSTG::Button83Click() { DoorCommand(0x02); }
void TPageSTG::Button84Click() { DoorCommand(0x03); }
void TPageSTG::Button85Click() { DoorCommand(0x04); }

void TPageSTG::Button80Click() {
    TPageMEN& men = *Pages().MEN;
    for (TAppButton* b : men.MenuButtons()) b->SetEnabled(true);
    men.Show();
}

// The device overview comes with the bus device list; until then the state page stays.
void TPageSTG::Button86Click() { Show(); }

void TPageSTG::ShowCommands(bool shown) {
    for (TAppButton* b : {Button81, Button82, Button83, Button84, Button85}) b->SetVisible(shown);
}
