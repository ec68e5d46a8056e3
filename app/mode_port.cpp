// Mode selection and port choice of the main window: the port search, the chosen port of
// each road, the check of which device answered, the Esc key and the file jobs.

#include "app/comp_text.h"
#include "app/cust_msg.h"
#include "app/esc_key.h"
#include "app/main_form.h"
#include "app/main_settings.h"
#include "app/port_search.h"
#include "app/start_options.h"
#include "link/delay.h"
#include "link/form_sercom.h"
#include "link/link_state.h"
#include "link/program_dirs.h"
#include "link/text_utils.h"
#include "platform/classes/file_utils.h"
#include "platform/classes/ini_file.h"
#include "platform/forms/application.h"

namespace {

constexpr TColor kGreen = 0x00FF00;
constexpr TColor kRed = 0x0000FF;

int32_t PortNumberOf(TNotebook* notebook, TAppEdit* edit, TAppImageEdit* list) {
    switch (notebook->PageIndex()) {
        case 0: return StrToIntVal(edit->Text());
        case 1: return StrToIntVal(list->EditValue());
        default: return 0;
    }
}

}  // namespace

void TForm1::SearchSerialPorts() {
    const std::vector<SerialCommEntry> entries = EnumerateSerialPorts();
    ListBox101->Clear();
    ListBox102->Clear();
    for (const SerialCommEntry& e : entries) {
        ListBox101->Items()->Add(e.Name);
        ListBox102->Items()->Add(e.Data);
    }
    TAppImageEdit* lists[3] = {ImageEdit101, ImageEdit601, ImageEdit2401};
    TAppEdit* edits[3] = {Edit101, Edit601, Edit2401};
    std::string remembered[3];
    for (TAppImageEdit* l : lists) {
        l->Descriptions()->Clear();
        l->ImageIndexes()->Clear();
        l->Values()->Clear();
    }
    const std::vector<TFoundPort> found = VirtualComPorts(entries);
    for (const TFoundPort& p : found) {
        const std::string n = std::to_string(p.Number);
        for (int k = 0; k < 3; ++k) {
            if (edits[k]->Text() == n) remembered[k] = edits[k]->Text();
            lists[k]->Descriptions()->Add(p.Name);
            lists[k]->ImageIndexes()->Add(n);
            lists[k]->Values()->Add(n);
        }
    }
    for (TAppImageEdit* l : lists) l->ItemsChanged();
    // An adapter plugged in since the last search brings its page and its button back.
    TNotebook* portBooks[3] = {Notebook2, Notebook3, Notebook2401};
    TAppButton* starts[3] = {Button101, Button601, Button2401};
    if (!found.empty())
        for (int k = 0; k < 3; ++k)
            if (portBooks[k]->PageIndex() == 2) {
                portBooks[k]->SetPageIndex(1);
                starts[k]->SetEnabled(true);
            }
    if (found.empty()) {
        Notebook2->SetPageIndex(2);
        Notebook3->SetPageIndex(2);
        Notebook2401->SetPageIndex(2);
        Button101->SetEnabled(false);
        Button601->SetEnabled(false);
        Button2401->SetEnabled(false);
        return;
    }
    for (int k = 0; k < 3; ++k)
        lists[k]->SetEditValue(!remembered[k].empty() ? remembered[k] : lists[k]->Values()->Strings(0));
}

void TForm1::PortPageShown() {
    // Adapters come and go while the program runs: each visit of a port page looks again.
    const int page = Notebook1->PageIndex();
    if (Csm == 1 && (page == 1 || page == 6 || page == 24)) SearchSerialPorts();
}

int32_t TForm1::ConfigPortNumber() { return PortNumberOf(Notebook2, Edit101, ImageEdit101); }
int32_t TForm1::CocPortNumber() { return PortNumberOf(Notebook3, Edit601, ImageEdit601); }
int32_t TForm1::CtcPortNumber() { return PortNumberOf(Notebook2401, Edit2401, ImageEdit2401); }

bool TForm1::CheckDoorTerminal() {
    const int32_t code = FormSercom->QueryDeviceType();
    if (code == 0x81) return false;
    const int id = code == 0x91 ? 1651 : code == 0x93 ? 1652 : code == 0x97 ? 1653 : 1650;
    CustMessageDlg(GetCompText(id), mtCustError, mbCustCancel, 0);
    return true;
}

bool TForm1::CheckPortalisDevice() {
    const int32_t code = FormSercom->QueryDeviceType();
    if (code >= 0x91 && code <= 0x99) return false;
    CustMessageDlg(GetCompText(code == 0x81 ? 1654 : 1650), mtCustError, mbCustCancel, 0);
    return true;
}

void TForm1::WriteIniInteger(const std::string& key, int32_t value) {
    std::string file = FindFileCaseInsensitive(BaseDir, "TOVAK.INI");
    if (file.empty()) file = BaseDir + "TOVAK.INI";
    TIniFile ini(file);
    ini.WriteInteger("MAIN", key, value);
}

void TForm1::Button001Click() { Notebook1->SetPageIndex(kPageControlRoad); }
void TForm1::Button002Click() { Notebook1->SetPageIndex(kPageConfigRoad); }

void TForm1::Button601Click() {
    FormSercom->OpenPort(CocPortNumber(), true);
    if (!PortOpen) return;
    if (auto* check = Ctl<TAppCheckEdit>("CheckEdit701")) check->SetChecked(true);
    for (const char* name : {"Button711", "Button712", "Button721", "Button722", "Button731", "Button732", "Button741"})
        Ctl<TControl>(name)->SetEnabled(true);
    Notebook1->SetPageIndex(7);
}

void TForm1::FormKeyPress(char32_t& Key) {
    if (Key != 27) return;
    const TEscAction a = EscKeyAction(KeyEnd, Notebook1->PageIndex(), InstallActive, PortOpen);
    if (!a.Handled) return;
    if (a.EndInstallStep) {
        FormSercom->EnqueueRequest(std::string("\xFB\x02\x00\x50\x17", 5));
        Delay(200);
        InstallActive = false;
    }
    if (a.ClosePort) FormSercom->ClosePort();
    if (a.CloseProgram) {
        Delay(500);
        Close();
    } else if (a.ToStartPage) {
        Notebook1->SetPageIndex(kPageStart);
        Notebook11->SetPageIndex(1);
    }
}

void TForm1::Button221Click() { Close(); }
void TForm1::Button231Click() { Close(); }

void TForm1::LoadIoConfigFile(const std::string& fileName) {
    TControl* button = Ctl<TControl>("Button221");
    TShape* fileLamp = Ctl<TShape>("Shape221");
    TLabel* fileLabel = Ctl<TLabel>("Label221");
    button->SetVisible(false);
    Notebook1->SetPageIndex(22);
    Application->ProcessMessages();
    const std::string name = fileName.find('/') == std::string::npos ? BaseDir + fileName : fileName;
    if (FileExists(name)) {
        fileLamp->Brush()->SetColor(kGreen);
        fileLabel->SetCaption(GetCompText(2201) + ": \"" + name + "\"");
        Application->ProcessMessages();
        FormSercom->OpenPort(ConfigPortNumber(), true);
        if (!PortOpen) {
            button->SetVisible(true);
            Ctl<TShape>("Shape222")->Brush()->SetColor(kRed);
        }
    } else {
        button->SetVisible(true);
        fileLamp->Brush()->SetColor(kRed);
        fileLabel->SetCaption(GetCompText(2202) + ": \"" + name + "\"");
    }
}

void TForm1::SaveIoConfigFile() {}
