#include "app/pages/configuration/page_wrx.h"

#include "app/device/config_handshake.h"
#include "app/pages/configuration/page_cfg.h"
#include "app/pages/main_pages.h"

TPageWRX::TPageWRX(TMainPages& pages) : TMainPage(pages, Index) {
    TPage* p = Sheet();
    Label28 = b_.Label(p, "Label28", "Speichern der Konfiguration ...", 16, 16, true);
    Shape401 = b_.Lamp(p, "Shape401", 16, 48);
    Label29 = b_.Label(p, "Label29", "Eingänge", 40, 50);
    Shape402 = b_.Lamp(p, "Shape402", 16, 72);
    Label30 = b_.Label(p, "Label30", "Ausgänge", 40, 74);
    const auto row = b_.ButtonRow(p, {{"Button401", "Wiederholen"}, {"Button402", "Abbruch"}});
    Button401 = row[0];
    Button402 = row[1];
    Button401->OnClick = [this](TObject*) { Button401Click(); };
    Button402->OnClick = [this](TObject*) { Pages().AskToQuit(); };
}

void TPageWRX::WriteConfigHandshake() {
    TConfigHandshake(session_, Pages().ConfigError).WriteBlocks(Shape401, Shape402);
}

void TPageWRX::ResetLamps() {
    for (TShape* lamp : {Shape401, Shape402}) lamp->Brush()->SetColor(kLampIdle);
}

void TPageWRX::ShowButtons(bool shown) {
    for (TAppButton* b : {Button401, Button402}) b->SetVisible(shown);
}

void TPageWRX::Button401Click() { Pages().CFG->WriteConfiguration(); }
