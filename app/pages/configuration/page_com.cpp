#include "app/pages/configuration/page_com.h"

#include "app/pages/configuration/page_cfg.h"
#include "app/pages/configuration/page_rdx.h"
#include "app/pages/configuration/page_wrx.h"
#include "app/pages/main_pages.h"

TPageCOM::TPageCOM(TMainPages& pages) : TMainPage(pages, Index) {
    TPage* p = Sheet();
    Label7 = b_.Label(p, "Label7", "Schnittstellen-Nummer für Datenübertragung angeben:", 16, 16, true);
    const TPortEntry port = b_.PortEntry(p, "Notebook2", "Edit101", "ImageEdit101", "Label101", 16, 40);
    Notebook2 = port.Notebook;
    Edit101 = port.Edit;
    ImageEdit101 = port.List;
    Label101 = port.Notice;
    ListBox101 = b_.Make<TListBox>(p, "ListBox101", 16, 80, 288, 120);
    ListBox102 = b_.Make<TListBox>(p, "ListBox102", 312, 80, 120, 120);
    ListBox101->SetVisible(false);
    ListBox102->SetVisible(false);
    const auto row = b_.ButtonRow(
        p, {{"Button101", "Konfiguration auslesen"}, {"Button102", "Ohne Auslesen weiter"}, {"Button103", "Abbruch"}});
    Button101 = row[0];
    Button102 = row[1];
    Button103 = row[2];
    Button101->OnClick = [this](TObject*) { ReadConfiguration(); };
    Button102->OnClick = [this](TObject*) { Button102Click(); };
    Button103->OnClick = [this](TObject*) { Pages().AskToQuit(); };
}

int32_t TPageCOM::ConfigPortNumber() { return PortNumberOf(Notebook2, Edit101, ImageEdit101); }

void TPageCOM::ReadConfiguration() {
    TPageRDX& rdx = *Pages().RDX;
    rdx.ResetLamps();
    Pages().WRX->ResetLamps();
    LetWindowsRepaint();
    rdx.Show();
    rdx.ShowButtons(false);
    LetWindowsRepaint();
    session_.OpenPort(ConfigPortNumber(), true);
    if (!session_.LinkState.PortOpen) {
        rdx.ShowButtons(true);
        return;
    }
    if (session_.CheckPortalisDevice()) {
        // Left open, the link would go on answering a device the road does not talk to.
        session_.ClosePort();
        rdx.ShowButtons(true);
        return;
    }
    rdx.ReadConfigHandshake();
    session_.ClosePort();
    if (Pages().ConfigError < 1) {
        Pages().CFG->ShowBlocks();
    } else {
        rdx.ShowButtons(true);
    }
}

void TPageCOM::Button102Click() { Pages().CFG->ShowBlocks(); }
