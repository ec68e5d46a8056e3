#include "app/pages/configuration/page_rdx.h"

#include "app/device/config_handshake.h"
#include "app/pages/configuration/page_cfg.h"
#include "app/pages/configuration/page_com.h"
#include "app/pages/main_pages.h"

TPageRDX::TPageRDX(TMainPages& pages) : TMainPage(pages, Index) {
    TPage* p = Sheet();
    Label8 = b_.Label(p, "Label8", "Einlesen der Konfiguration ...", 16, 16, true);
    Shape201 = b_.Lamp(p, "Shape201", 16, 48);
    Label9 = b_.Label(p, "Label9", "Eingänge", 40, 50);
    Shape202 = b_.Lamp(p, "Shape202", 16, 72);
    Label10 = b_.Label(p, "Label10", "Ausgänge", 40, 74);
    const auto row = b_.ButtonRow(
        p, {{"Button201", "Zurück zur COM-Eingabe"}, {"Button202", "Ohne Auslesen weiter"}, {"Button203", "Abbruch"}});
    Button201 = row[0];
    Button202 = row[1];
    Button203 = row[2];
    Button201->OnClick = [this](TObject*) { Button201Click(); };
    Button202->OnClick = [this](TObject*) { Button202Click(); };
    Button203->OnClick = [this](TObject*) { Pages().AskToQuit(); };
}

void TPageRDX::ReadConfigHandshake() { TConfigHandshake(session_, Pages().ConfigError).ReadBlocks(Shape201, Shape202); }

void TPageRDX::ShowButtons(bool shown) {
    for (TAppButton* b : {Button201, Button202, Button203}) b->SetVisible(shown);
}

void TPageRDX::ResetLamps() {
    for (TShape* lamp : {Shape201, Shape202}) lamp->Brush()->SetColor(kLampIdle);
}

void TPageRDX::Button201Click() { Pages().COM->Show(); }
void TPageRDX::Button202Click() { Pages().CFG->Show(); }
