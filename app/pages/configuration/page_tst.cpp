#include "app/pages/configuration/page_tst.h"

#include <array>

#include "app/common/cust_msg.h"
#include "app/common/main_settings.h"
#include "app/config/block_text.h"
#include "app/pages/configuration/page_rdx.h"
#include "app/pages/configuration/page_wrx.h"
#include "app/pages/main_pages.h"
#include "app/windows/config_string_form.h"
#include "link/wait_for.h"
#include "platform/classes/custom_ini_file.h"
#include "program/text_utils.h"

namespace {

std::string N(int n) { return std::to_string(n); }

const char* const kCommands[] = {
    "--- Steuern ---:",
    "KZF: 00,50,00",
    "Entriegeln: 00,50,01",
    "Verriegeln: 00,50,02",
    "Alarmierung abschalten: 00,50,03",
    "Alarm zurückstellen: 00,50,04",
};

}  // namespace

TPageTST::TPageTST(TMainPages& pages) : TMainPage(pages, Index) {
    TPage* p = Sheet();
    auto click = [this](TAppButton* button, void (TPageTST::*handler)()) {
        button->OnClick = [this, handler](TObject*) { (this->*handler)(); };
        return button;
    };
    Label1 = b_.Label(p, "Label1", "COM:", 16, 20);
    Edit501 = b_.Edit(p, "Edit501", 56, 16, 57);
    Button501 = click(b_.Button(p, "Button501", "&Open", 121, 14, 73), &TPageTST::Button501Click);
    Button502 = click(b_.Button(p, "Button502", "&Close", 202, 14, 73), &TPageTST::Button502Click);

    Label503 = b_.Label(p, "Label503", "Inputs:", 16, 52);
    Edit502 = b_.Edit(p, "Edit502", 80, 48, 280);
    Button509 = click(b_.Button(p, "Button509", "...", 368, 46, 32), &TPageTST::Button509Click);
    Button503 = click(b_.Button(p, "Button503", "&1 Read", 408, 46, 73), &TPageTST::Button503Click);
    Button504 = click(b_.Button(p, "Button504", "&2 Write", 489, 46, 73), &TPageTST::Button504Click);
    Label504 = b_.Label(p, "Label504", "Outputs:", 16, 84);
    Edit503 = b_.Edit(p, "Edit503", 80, 80, 280);
    Button510 = click(b_.Button(p, "Button510", "...", 368, 78, 32), &TPageTST::Button510Click);
    Button505 = click(b_.Button(p, "Button505", "&3 Read", 408, 78, 73), &TPageTST::Button505Click);
    Button506 = click(b_.Button(p, "Button506", "&4 Write", 489, 78, 73), &TPageTST::Button506Click);
    Button507 = click(b_.Button(p, "Button507", "ReadAll", 80, 112, 73), &TPageTST::Button507Click);
    Button508 = click(b_.Button(p, "Button508", "WriteAll", 161, 112, 73), &TPageTST::Button508Click);
    Label502 = b_.Label(p, "Label502", "", 242, 118);

    PageControl2 = b_.Make<TPageControl>(p, "PageControl2", 16, 152, kPageWidth - 32, kButtonTop + kButtonHeight - 152);
    TabSheet3 = b_.Make<TTabSheet>(PageControl2, "TabSheet3", 0, 0, 10, 10);
    TabSheet3->SetPageControl(PageControl2);
    TabSheet3->SetCaption("MR");
    TabSheet4 = b_.Make<TTabSheet>(PageControl2, "TabSheet4", 0, 0, 10, 10);
    TabSheet4->SetPageControl(PageControl2);
    TabSheet4->SetCaption("Belvar");

    const char* const states[] = {"Tür:", "Voralarm:", "Alarm:", "Fehler:", "Zustand:"};
    TLabel** captions[] = {&Label560, &Label561, &Label562, &Label563, &Label564};
    TLabel** values[] = {&Label550, &Label551, &Label552, &Label553, &Label554};
    for (int i = 0; i < 5; ++i) {
        *captions[i] = b_.Label(TabSheet3, "Label56" + N(i), states[i], 8, 8 + i * 24);
        *values[i] = b_.Label(TabSheet3, "Label55" + N(i), "", 80, 8 + i * 24);
    }
    ComboBox551 = b_.Make<TComboBox>(TabSheet3, "ComboBox551", 200, 6, 200, 21);
    ComboBox551->SetStyle(csDropDownList);
    for (const char* c : kCommands) ComboBox551->Items()->Add(c);
    ComboBox551->SetItemIndex(0);
    Button551 = click(b_.Button(TabSheet3, "Button551", "DB Send 1", 408, 4), &TPageTST::Button551Click);
    Edit552 = b_.Edit(TabSheet3, "Edit552", 200, 38, 200);
    Button552 = click(b_.Button(TabSheet3, "Button552", "DB Send 2 (FB,02, ...)", 408, 36), &TPageTST::Button552Click);
    Edit553 = b_.Edit(TabSheet3, "Edit553", 200, 70, 200);
    Button553 = click(b_.Button(TabSheet3, "Button553", "DB Send 3 (...)", 408, 68), &TPageTST::Button553Click);

    Label512 = b_.Label(TabSheet4, "Label512", "Virtuelle Ausgänge:", 8, 8);
    Label513 = b_.Label(TabSheet4, "Label513", "01234567 01234567", 136, 8);
    Label511 = b_.Label(TabSheet4, "Label511", "", 136, 26);
    Label514 = b_.Label(TabSheet4, "Label514", "Virtuelle Eingänge:", 8, 54);
    TCheckBox** boxes[] = {&CheckBox1,  &CheckBox2,  &CheckBox3,  &CheckBox4,  &CheckBox5,  &CheckBox6,
                           &CheckBox7,  &CheckBox8,  &CheckBox9,  &CheckBox10, &CheckBox11, &CheckBox12,
                           &CheckBox13, &CheckBox14, &CheckBox15, &CheckBox16};
    for (int k = 1; k <= 16; ++k) {
        const int bit = (k - 1) % 8, byte = (k - 1) / 8;
        TCheckBox* c = b_.Make<TCheckBox>(TabSheet4, "CheckBox" + N(k), 136 + bit * 48, 54 + byte * 24, 44, 17);
        c->SetCaption(N(byte) + N(bit));
        *boxes[k - 1] = c;
    }
    Button511 = click(b_.Button(TabSheet4, "Button511", "VI Send", 136, 110, 73), &TPageTST::Button511Click);
}

void TPageTST::ShowPortOpen(bool open) {
    Button501->SetEnabled(!open);
    for (TAppButton* b : {Button502, Button503, Button504, Button505, Button506}) b->SetEnabled(open);
}

std::string TPageTST::InputBlock() const { return Edit502->Text(); }
void TPageTST::SetInputBlock(const std::string& text) { Edit502->SetText(text); }
std::string TPageTST::OutputBlock() const { return Edit503->Text(); }
void TPageTST::SetOutputBlock(const std::string& text) { Edit503->SetText(text); }

void TPageTST::Button501Click() {
    const int port = StrToIntVal(Edit501->Text());
    session_.OpenPort(port, true);
    if (!session_.LinkState.PortOpen) return;
    // The port is open whatever becomes of its number: the page says so first.
    ShowPortOpen(true);
    try {
        WriteIniInteger("COT", port);
    } catch (const EIniFileException& e) {
        CustMessageDlg(
            "Der Port ist offen, aber seine Nummer kann nicht in TOVAK.INI gespeichert werden:\r" + e.Message(),
            mtCustWarning, mbCustOK, 0);
    }
}

void TPageTST::Button502Click() {
    session_.ClosePort();
    ShowPortOpen(false);
}

// A block order is for the device on the open link only: nobody waits for it, so the device
// must take it in time, as any request nobody waits for.
void TPageTST::OrderBlock(TBlockOrder order) { session_.OrderBlock(order); }

void TPageTST::Button503Click() { OrderBlock(TBlockOrder::ReadInputs); }
void TPageTST::Button504Click() { OrderBlock(TBlockOrder::WriteInputs); }
void TPageTST::Button505Click() { OrderBlock(TBlockOrder::ReadOutputs); }
void TPageTST::Button506Click() { OrderBlock(TBlockOrder::WriteOutputs); }

void TPageTST::Button507Click() {
    Label502->SetCaption("");
    LetWindowsRepaint();
    Pages().RDX->ReadConfigHandshake();
    Label502->SetCaption("HasErr=" + N(Pages().ConfigError));
}

void TPageTST::Button508Click() {
    Label502->SetCaption("");
    LetWindowsRepaint();
    Pages().WRX->WriteConfigHandshake();
    Label502->SetCaption("HasErr=" + N(Pages().ConfigError));
}

void TPageTST::Button509Click() {
    std::string text = Edit502->Text();
    if (EditConfigString(text)) Edit502->SetText(text);
}

void TPageTST::Button510Click() {
    std::string text = Edit503->Text();
    if (EditConfigString(text)) Edit503->SetText(text);
}

void TPageTST::Button551Click() {
    if (ComboBox551->ItemIndex() < 0) return;
    const std::string data = CommandItemData(ComboBox551->Items()->Strings(ComboBox551->ItemIndex()));
    if (!data.empty()) session_.QueueForDevice(std::string("\xFB\x02", 2) + HexFieldsToBytes(data));
}

void TPageTST::Button552Click() {
    const std::string data = TrimBlanksStr(Edit552->Text());
    if (!data.empty()) session_.QueueForDevice(std::string("\xFB\x02", 2) + HexFieldsToBytes(data));
}

void TPageTST::Button553Click() {
    // An empty request would leave as nothing at all and only cost a poll.
    const std::string data = TrimBlanksStr(Edit553->Text());
    if (!data.empty()) session_.QueueForDevice(HexFieldsToBytes(data));
}

void TPageTST::Button511Click() {
    if (!session_.LinkUp()) {
        session_.ShowLoss(TDeviceSession::TLossSeen::Refused);
        return;
    }
    session_.Link().SendRawFrame("\xFD" + VirtualInputBytes());
}

std::string TPageTST::VirtualInputBytes() {
    const TCheckBox* boxes[] = {CheckBox1,  CheckBox2,  CheckBox3,  CheckBox4,  CheckBox5,  CheckBox6,
                                CheckBox7,  CheckBox8,  CheckBox9,  CheckBox10, CheckBox11, CheckBox12,
                                CheckBox13, CheckBox14, CheckBox15, CheckBox16};
    std::array<bool, 16> checked{};
    for (size_t k = 0; k < checked.size(); ++k) checked[k] = boxes[k]->Checked();
    return VirtualInputBytesOf(checked);
}
