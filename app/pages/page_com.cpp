#include "app/pages/page_com.h"

#include "app/comp_text.h"
#include "app/config_handshake.h"
#include "app/cust_msg.h"
#include "app/device_check.h"
#include "app/main_form.h"
#include "app/pages/main_pages.h"
#include "link/form_sercom.h"
#include "link/link_state.h"
#include "link/log_file.h"

TPageCOM::TPageCOM(TForm1& form) : TMainPage(form, Index) {
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
    Button101->OnClick = [this](TObject*) { Button101Click(); };
    Button102->OnClick = [this](TObject*) { Button102Click(); };
    Button103->OnClick = [this](TObject*) { Button103Click(); };
}

int32_t TPageCOM::ConfigPortNumber() { return PortNumberOf(Notebook2, Edit101, ImageEdit101); }

void TPageCOM::Button101Click() {
    TPageRDX& rdx = *Pages().RDX;
    TPageWRX& wrx = *Pages().WRX;
    for (TShape* lamp : {rdx.Shape201, rdx.Shape202, wrx.Shape401, wrx.Shape402}) lamp->Brush()->SetColor(kLampIdle);
    LetWindowsRepaint();
    rdx.Show();
    rdx.ShowButtons(false);
    LetWindowsRepaint();
    FormSercom->OpenPort(ConfigPortNumber(), true);
    if (!LinkState.PortOpen) {
        rdx.ShowButtons(true);
        return;
    }
    if (CheckPortalisDevice()) {
        // Left open, the link would go on answering a device the road does not talk to.
        FormSercom->ClosePort();
        rdx.ShowButtons(true);
        return;
    }
    rdx.ReadConfigHandshake();
    FormSercom->ClosePort();
    if (form_.ConfigError < 1) {
        Pages().CFG->DecodeInputs();
        Pages().CFG->DecodeOutputs();
        Pages().CFG->Show();
    } else {
        rdx.ShowButtons(true);
    }
}

void TPageCOM::Button102Click() {
    Pages().CFG->DecodeInputs();
    Pages().CFG->DecodeOutputs();
    Pages().CFG->Show();
}

void TPageCOM::Button103Click() {
    WriteLogLine("TOVAK-MEN-", "MENU", "8");
    if (CustMessageDlg(GetCompText(1201), mtCustConfirmation, mbCustYes | mbCustNo, 0) == mrYes) form_.Close();
}
