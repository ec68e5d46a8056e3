// The hidden test page: the framed link on any port, the raw input and output blocks, door
// commands and arbitrary data records, the door state, the broadcast bits and the virtual
// inputs of the bus coupler.

#include "app/block_text.h"
#include "app/config_handshake.h"
#include "app/config_string_form.h"
#include "app/main_form.h"
#include "app/page_builder.h"
#include "link/form_sercom.h"
#include "link/link_state.h"
#include "link/text_utils.h"
#include "platform/forms/application.h"
#include "platform/forms/check_box.h"
#include "platform/forms/combo_box.h"
#include "platform/forms/page_control.h"

namespace {

std::string N(int n) { return std::to_string(n); }

void Enable(TForm1* form, const std::string& name, bool enabled) {
    if (TControl* c = form->Ctl<TControl>(name)) c->SetEnabled(enabled);
}

const char* const kCommands[] = {
    "--- Steuern ---:",
    "KZF: 00,50,00",
    "Entriegeln: 00,50,01",
    "Verriegeln: 00,50,02",
    "Alarmierung abschalten: 00,50,03",
    "Alarm zurückstellen: 00,50,04",
};

}  // namespace

void TForm1::BuildTestPage(TWinControl* p) {
    TPageBuilder b(this);
    auto click = [this](TAppButton* button, void (TForm1::*handler)()) {
        button->OnClick = [this, handler](TObject*) { (this->*handler)(); };
    };
    b.Label(p, "Label1", "COM:", 16, 20);
    Edit501 = b.Edit(p, "Edit501", 56, 16, 57);
    click(b.Button(p, "Button501", "&Open", 121, 14, 73), &TForm1::Button501Click);
    click(b.Button(p, "Button502", "&Close", 202, 14, 73), &TForm1::Button502Click);

    b.Label(p, "Label503", "Inputs:", 16, 52);
    b.Edit(p, "Edit502", 80, 48, 280);
    click(b.Button(p, "Button509", "...", 368, 46, 32), &TForm1::Button509Click);
    click(b.Button(p, "Button503", "&1 Read", 408, 46, 73), &TForm1::Button503Click);
    click(b.Button(p, "Button504", "&2 Write", 489, 46, 73), &TForm1::Button504Click);
    b.Label(p, "Label504", "Outputs:", 16, 84);
    b.Edit(p, "Edit503", 80, 80, 280);
    click(b.Button(p, "Button510", "...", 368, 78, 32), &TForm1::Button510Click);
    click(b.Button(p, "Button505", "&3 Read", 408, 78, 73), &TForm1::Button505Click);
    click(b.Button(p, "Button506", "&4 Write", 489, 78, 73), &TForm1::Button506Click);
    click(b.Button(p, "Button507", "ReadAll", 80, 112, 73), &TForm1::Button507Click);
    click(b.Button(p, "Button508", "WriteAll", 161, 112, 73), &TForm1::Button508Click);
    b.Label(p, "Label502", "", 242, 118);

    TPageControl* pc = b.Make<TPageControl>(p, "PageControl2", 16, 152, kPageWidth - 32, kButtonTop + kButtonHeight - 152);
    TTabSheet* mr = b.Make<TTabSheet>(pc, "TabSheet3", 0, 0, 10, 10);
    mr->SetPageControl(pc);
    mr->SetCaption("MR");
    TTabSheet* belvar = b.Make<TTabSheet>(pc, "TabSheet4", 0, 0, 10, 10);
    belvar->SetPageControl(pc);
    belvar->SetCaption("Belvar");

    const char* const states[] = {"Tür:", "Voralarm:", "Alarm:", "Fehler:", "Zustand:"};
    for (int i = 0; i < 5; ++i) {
        b.Label(mr, "Label56" + N(i), states[i], 8, 8 + i * 24);
        b.Label(mr, "Label55" + N(i), "", 80, 8 + i * 24);
    }
    TComboBox* commands = b.Make<TComboBox>(mr, "ComboBox551", 200, 6, 200, 21);
    commands->SetStyle(csDropDownList);
    for (const char* c : kCommands) commands->Items()->Add(c);
    commands->SetItemIndex(0);
    click(b.Button(mr, "Button551", "DB Send 1", 408, 4), &TForm1::Button551Click);
    b.Edit(mr, "Edit552", 200, 38, 200);
    click(b.Button(mr, "Button552", "DB Send 2 (FB,02, ...)", 408, 36), &TForm1::Button552Click);
    b.Edit(mr, "Edit553", 200, 70, 200);
    click(b.Button(mr, "Button553", "DB Send 3 (...)", 408, 68), &TForm1::Button553Click);

    b.Label(belvar, "Label512", "Virtuelle Ausgänge:", 8, 8);
    b.Label(belvar, "Label513", "01234567 01234567", 136, 8);
    b.Label(belvar, "Label511", "", 136, 26);
    b.Label(belvar, "Label514", "Virtuelle Eingänge:", 8, 54);
    for (int k = 1; k <= 16; ++k) {
        const int bit = (k - 1) % 8, byte = (k - 1) / 8;
        TCheckBox* c = b.Make<TCheckBox>(belvar, "CheckBox" + N(k), 136 + bit * 48, 54 + byte * 24, 44, 17);
        c->SetCaption(N(byte) + N(bit));
    }
    click(b.Button(belvar, "Button511", "VI Send", 136, 110, 73), &TForm1::Button511Click);
}

void TForm1::Button501Click() {
    const int port = StrToIntVal(Edit501->Text());
    FormSercom->OpenPort(port, true);
    if (!PortOpen) return;
    WriteIniInteger("COT", port);
    Enable(this, "Button501", false);
    for (int i = 502; i <= 506; ++i) Enable(this, "Button" + N(i), true);
}

void TForm1::Button502Click() {
    FormSercom->ClosePort();
    Enable(this, "Button501", true);
    for (int i = 502; i <= 506; ++i) Enable(this, "Button" + N(i), false);
}

void TForm1::Button503Click() { ReadInputsRequested = true; }
void TForm1::Button504Click() { WriteInputsRequested = true; }
void TForm1::Button505Click() { ReadOutputsRequested = true; }
void TForm1::Button506Click() { WriteOutputsRequested = true; }

void TForm1::Button507Click() {
    SetControlText("Label502", "");
    Application->ProcessMessages();
    ReadConfigHandshake();
    SetControlText("Label502", "HasErr=" + N(ConfigError));
}

void TForm1::Button508Click() {
    SetControlText("Label502", "");
    Application->ProcessMessages();
    WriteConfigHandshake();
    SetControlText("Label502", "HasErr=" + N(ConfigError));
}

void TForm1::Button509Click() {
    std::string text = ControlText("Edit502");
    if (EditConfigString(text)) SetControlText("Edit502", text);
}

void TForm1::Button510Click() {
    std::string text = ControlText("Edit503");
    if (EditConfigString(text)) SetControlText("Edit503", text);
}

void TForm1::Button551Click() {
    auto* commands = Ctl<TComboBox>("ComboBox551");
    if (!commands || commands->ItemIndex() < 0) return;
    const std::string data = CommandItemData(commands->Items()->Strings(commands->ItemIndex()));
    if (!data.empty()) FormSercom->EnqueueRequest(std::string("\xFB\x02", 2) + HexFieldsToBytes(data));
}

void TForm1::Button552Click() {
    const std::string data = TrimBlanksStr(ControlText("Edit552"));
    if (!data.empty()) FormSercom->EnqueueRequest(std::string("\xFB\x02", 2) + HexFieldsToBytes(data));
}

void TForm1::Button553Click() {
    // An empty request would leave as nothing at all and only cost a poll.
    const std::string data = TrimBlanksStr(ControlText("Edit553"));
    if (!data.empty()) FormSercom->EnqueueRequest(HexFieldsToBytes(data));
}

void TForm1::Button511Click() { FormSercom->Link().SendRawFrame("\xFD" + VirtualInputBytes()); }

std::string TForm1::VirtualInputBytes() {
    std::array<bool, 16> boxes{};
    for (int k = 1; k <= 16; ++k) {
        auto* c = Ctl<TCheckBox>("CheckBox" + N(k));
        boxes[static_cast<size_t>(k - 1)] = c && c->Checked();
    }
    return VirtualInputBytesOf(boxes);
}
