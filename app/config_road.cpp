// The two roads between the interface device and page CFG: reading (COM -> RDX -> CFG) and
// writing (CFG -> WRX -> message -> reading again). Each road opens the link, checks which
// device answered, runs its block handshake and closes the link again.

#include "app/comp_text.h"
#include "app/config_handshake.h"
#include "app/cust_msg.h"
#include "app/main_form.h"
#include "link/form_sercom.h"
#include "link/link_state.h"
#include "link/log_file.h"
#include "platform/forms/application.h"

namespace {

constexpr int kPageCom = 1;
constexpr int kPageRead = 2;
constexpr int kPageConfig = 3;
constexpr int kPageWrite = 4;

void LetWindowsRepaint() {
    if (Application) Application->ProcessMessages();
}

}  // namespace

void TForm1::WireConfigRoad() {
    auto on = [this](const char* name, std::function<void()> fn) {
        if (auto* b = Ctl<TAppButton>(name)) b->OnClick = [fn](TObject*) { fn(); };
    };
    on("Button101", [this] { Button101Click(); });
    on("Button102", [this] { Button102Click(); });
    on("Button201", [this] { Button201Click(); });
    on("Button202", [this] { Button202Click(); });
    on("Button401", [this] { Button401Click(); });
    for (const char* quit : {"Button103", "Button203", "Button304", "Button402", "Button603", "Button742", "Button2402"})
        on(quit, [this] { Button103Click(); });
}

void TForm1::ReadConfigHandshake() { TConfigHandshake(*this, HandshakeCountdown, ConfigError).ReadConfigHandshake(); }
void TForm1::WriteConfigHandshake() { TConfigHandshake(*this, HandshakeCountdown, ConfigError).WriteConfigHandshake(); }

void TForm1::Button101Click() {
    for (const char* lamp : {"Shape201", "Shape202", "Shape401", "Shape402"}) SetShapeColor(lamp, kLampIdle);
    LetWindowsRepaint();
    auto showButtons = [this](bool shown) {
        for (const char* name : {"Button201", "Button202", "Button203"}) SetControlVisible(name, shown);
    };
    Notebook1->SetPageIndex(kPageRead);
    showButtons(false);
    LetWindowsRepaint();
    FormSercom->OpenPort(ConfigPortNumber(), true);
    if (!PortOpen) {
        showButtons(true);
        return;
    }
    if (CheckPortalisDevice()) {
        // Left open, the link would go on answering a device the road does not talk to.
        FormSercom->ClosePort();
        showButtons(true);
        return;
    }
    ReadConfigHandshake();
    FormSercom->ClosePort();
    if (ConfigError < 1) {
        DecodeInputs();
        DecodeOutputs();
        Notebook1->SetPageIndex(kPageConfig);
    } else {
        showButtons(true);
    }
}

void TForm1::Button102Click() {
    DecodeInputs();
    DecodeOutputs();
    Notebook1->SetPageIndex(kPageConfig);
}

void TForm1::Button201Click() { Notebook1->SetPageIndex(kPageCom); }
void TForm1::Button202Click() { Notebook1->SetPageIndex(kPageConfig); }

void TForm1::Button303Click() {
    if (!RowValuesFit()) return;
    SetShapeColor("Shape401", kLampIdle);
    SetShapeColor("Shape402", kLampIdle);
    LetWindowsRepaint();
    EncodeInputs();
    EncodeOutputs();
    WriteLogLine("TOVAK-MEN-", "SNDINP", ControlText("Edit502"));
    WriteLogLine("TOVAK-MEN-", "SNDOUT", ControlText("Edit503"));
    Notebook1->SetPageIndex(kPageWrite);
    SetControlVisible("Button401", false);
    SetControlVisible("Button402", false);
    LetWindowsRepaint();
    FormSercom->OpenPort(ConfigPortNumber(), true);
    if (PortOpen) {
        if (!CheckPortalisDevice()) {
            WriteConfigHandshake();
            FormSercom->ClosePort();
            if (ConfigError < 1) {
                CustMessageDlg(GetCompText(1202), mtCustInformation, mbCustOK, 0);
                Button101Click();
                return;
            }
        } else {
            FormSercom->ClosePort();
        }
    }
    SetControlVisible("Button401", true);
    SetControlVisible("Button402", true);
}

void TForm1::Button401Click() { Button303Click(); }
