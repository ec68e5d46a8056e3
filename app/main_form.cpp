#include "app/main_form.h"

#include <cmath>

#include "app/comp_text.h"
#include "app/config_handshake.h"
#include "app/cust_msg.h"
#include "app/function_catalogue.h"
#include "app/main_settings.h"
#include "app/msg_form.h"
#include "app/start_options.h"
#include "link/delay.h"
#include "link/device_records.h"
#include "link/form_sercom.h"
#include "link/link_state.h"
#include "link/log_file.h"
#include "link/program_dirs.h"
#include "link/text_utils.h"
#include "link/version.h"
#include "platform/classes/file_utils.h"
#include "platform/forms/application.h"
#include "platform/win/paint.h"

TForm1* Form1 = nullptr;

namespace {

// Inside the frame handler only repaint: the frame's one answer must leave first.
void PumpMessages() {
    if (LinkFrameInProgress())
        UpdateAllWindows();
    else if (Application)
        Application->ProcessMessages();
}

std::string BaseFile(const std::string& name) {
    std::string found = FindFileCaseInsensitive(BaseDir, name);
    return found.empty() ? BaseDir + name : found;
}

}  // namespace

std::string CaptionWithVersion(const std::string& caption, const std::string& version) {
    std::string base = caption;
    if (!base.empty() && base.back() == ']') {
        const size_t open = base.rfind(" [");
        if (open != std::string::npos) base.erase(open);
    }
    return base + " [" + version + "]";
}

TForm1::TForm1(TComponent* AOwner) : TForm(AOwner) {
    Form1 = this;
    SetName("Form1");
    SetCaption("TOVAK");
    SetBorderStyle(bsSingle);
    SetBorderIcons({biSystemMenu, biMinimize});
    SetPosition(poScreenCenter);
    SetKeyPreview(true);
    BuildPages();
    SetCompTextOwner(this);
    slots_ = std::make_unique<TDeviceSlotDisplay>(this);
    OnCreate = [this](TObject*) { FormCreate(); };
    OnKeyPress = [this](TObject*, char32_t& Key) { FormKeyPress(Key); };
}

TForm1::~TForm1() {
    if (CompTextOwner() == this) SetCompTextOwner(nullptr);
    if (Form1 == this) Form1 = nullptr;
}

void TForm1::FormCreate() {
    FirstShowPending = true;
    Ctl<TControl>("Button003")->SetVisible(false);
    Ctl<TControl>("Button004")->SetVisible(false);
    ReadOdActive = false;
    InfoMsgShaded = false;

    fixedWidth_ = Notebook1->Width() + 23;
    fixedHeight_ = Notebook1->Height() + 63;
    SetBounds(Left(), Top(), fixedWidth_, fixedHeight_);

    ClearAtCreate();

    for (int i = 502; i <= 506; ++i) Ctl<TControl>("Button" + std::to_string(i))->SetEnabled(false);
    Notebook1->SetPageIndex(kPageStart);
    if (auto* pc = Ctl<TPageControl>("PageControl1")) pc->SetActivePage(Ctl<TTabSheet>("TabSheet1"));
    if (auto* pc = Ctl<TPageControl>("PageControl2")) pc->SetActivePage(Ctl<TTabSheet>("TabSheet3"));
    if (auto* cb = Ctl<TComboBox>("ComboBox551")) cb->SetItemIndex(0);
    Notebook91->SetPageIndex(0);
    ProgressHide();
    FitLength(ButtonMap, 8);
    AllButtonsPressed = false;
}

void TForm1::ClearAtCreate() {
    lastDate_.clear();
    lastTime_.clear();
    HandshakeCountdown = 0;
    ClearLinkState();
    for (const char* name : {"Label189", "Label502", "Label511", "Label550", "Label551", "Label552", "Label553",
                             "Label554", "Label800", "Edit501", "Edit502", "Edit503", "Edit101", "Edit601", "Edit2401",
                             "Edit552", "Edit553", "MaskEdit191"})
        if (TControl* c = Ctl<TControl>(name)) c->SetText("");
    for (int s = 1; s <= 12; ++s)
        if (TLabel* l = slots_->SlotErrorLabel(s)) {
            l->SetCaption("");
            l->SetHint("");
        }
}

void TForm1::DoShow() {
    FormShow();
    TForm::DoShow();
}

void TForm1::FormShow() {
    if (!FirstShowPending) return;
    FirstShowPending = false;
    WriteLogLine("TOVAK-MEN-", "START", std::string(37, '-'));

    // Output rows: the mask button takes the place of the row's parameter edit; both hidden.
    for (int r : {21, 61})
        for (int row = r; row < r + 16; ++row) {
            TControl* button = Ctl<TControl>("Button" + std::to_string(300 + row));
            TControl* edit = Ctl<TControl>("Edit" + std::to_string(300 + row));
            if (!button || !edit) continue;
            button->SetLeft(edit->Left());
            button->SetVisible(false);
            edit->SetVisible(false);
        }

    const TMainSettings s = ReadMainSettings(BaseFile("TOVAK.INI"));
    ApplyMainSettings(s);
    Csm = s.Csm;
    Csv = s.Csv;
    Edit501->SetText(std::to_string(s.Cot));
    Edit101->SetText(std::to_string(s.Com));
    Edit601->SetText(std::to_string(s.Coc));
    Edit2401->SetText(std::to_string(s.Ctc));
    ListBox101->SetVisible(Csv);
    ListBox102->SetVisible(Csv);

    LoadFunctionListFile(BaseFile(Language.empty() ? "TOVAK.FLX" : "TOVAK-" + Language + ".FLX"));

    if (!Language.empty()) {
        const std::string lgf = FindFileCaseInsensitive(BaseDir, "TOVAK-" + Language + ".LGF");
        if (!lgf.empty()) {
            UseEnglishMsgTexts();
            ApplyLanguageFile(lgf);
            Ctl<TControl>("TabSheet1")->SetCaption(GetCompText(1691));
            Ctl<TControl>("Label31")->SetCaption(GetCompText(1691));
            Ctl<TControl>("TabSheet2")->SetCaption(GetCompText(1692));
            Ctl<TControl>("Label32")->SetCaption(GetCompText(1692));
        }
    }

    SetCaption(CaptionWithVersion(Caption(), GetVersionText()));

    FillFunctionLists();
    FillDeviceTypeList();
    SetDeviceType(0);

    const TFirstPass first = CommandLineFirstPass();
    if (first.Page >= 0) Notebook1->SetPageIndex(first.Page);
    if (first.TestPageUnlocked) TestPageUnlocked = true;

    FillDoorOptionLists();
    FillOptionLists();
    const int portPage = Csm == 1 ? 1 : 0;
    Notebook2->SetPageIndex(portPage);
    Notebook3->SetPageIndex(portPage);
    Notebook2401->SetPageIndex(portPage);
    if (Csm == 1) SearchSerialPorts();
    Notebook1->OnPageChanged = [this](TObject*) { PortPageShown(); };

    Timer1->SetEnabled(true);
    if (PrtShow && FormSercom) FormSercom->Show();

    const TSecondPass second = CommandLineSecondPass(TestPageUnlocked);
    if (second.Page >= 0) Notebook1->SetPageIndex(second.Page);
    if (second.JobNoted) Timer2->SetEnabled(true);
}

void TForm1::DoClose(TCloseAction& Action) {
    FormClose();
    TForm::DoClose(Action);
}

void TForm1::FormClose() {
    ReadOdActive = false;
    if (Timer3->Enabled()) Timer3->SetEnabled(false);
    PumpMessages();
    if (PortOpen && FormSercom) {
        ShowInfoMsg("TOVAK Close");
        Delay(500);
        FormSercom->ClosePort();
        HideInfoMsg();
    }
    WriteLogLine("TOVAK-MEN-", "STOPP", "");
}

void TForm1::Resize() {
    TForm::Resize();
    FormResize();
}

void TForm1::FormResize() {
    if (FirstShowPending || fixedWidth_ == 0) return;
    if (Width() != fixedWidth_ || Height() != fixedHeight_) SetBounds(Left(), Top(), fixedWidth_, fixedHeight_);
}

void TForm1::Timer1Timer() {
    const TDateTime now = Now();
    const std::string date = FormatDateTime("yyyy-mm-dd", now);
    const std::string time = FormatDateTime("hh:nn:ss", now);
    if (date != lastDate_) {
        lastDate_ = date;
        StatusBar1->Panels()->Items(0)->SetText(date);
    }
    if (time != lastTime_) {
        lastTime_ = time;
        StatusBar1->Panels()->Items(1)->SetText(time);
    }
    for (const char* name : {"ProgressBar1001", "ProgressBar1501"}) {
        TProgressBar* bar = Ctl<TProgressBar>(name);
        if (bar && bar->Visible()) bar->SetPosition(bar->Position() + 1 > 100 ? 0 : bar->Position() + 1);
    }
    TProgressBar* bar11 = Ctl<TProgressBar>("ProgressBar11");
    if (bar11 && bar11->Visible() && bar11->Position() < 800) {
        if (bar11->Max() < 800) bar11->SetMax(800);
        bar11->SetPosition(bar11->Position() + 1);
    }
    HandshakeTimerTick(HandshakeCountdown, ConfigError);
    PumpMessages();
}

void TForm1::Timer2Timer() {
    Timer2->SetEnabled(false);
    const TStartJobs jobs = CommandLineJobs();
    switch (jobs.Job) {
        case TStartJob::NetInfo: ShowNetInfo(jobs.Argument); break;
        case TStartJob::ReadOd: StartReadOD(jobs.Argument); break;
        case TStartJob::LoadIoConfig: LoadIoConfigFile(jobs.FileName); break;
        case TStartJob::SaveIoConfig: SaveIoConfigFile(); break;
        case TStartJob::None: break;
    }
}

void TForm1::StatusTick() {
    TStatusPanel* panel = StatusBar1->Panels()->Items(2);
    std::string text = panel->Text() + ".";
    if (text.size() > 5) text.clear();
    panel->SetText(text);
    PumpMessages();
}

void TForm1::AddComLine(const std::string& text) {
    if (!ListBox11->Showing()) return;
    if (PrtProt) WriteLogLine("TOVAK-COM-", "X", text);
    ListBox11->Items()->Add(text);
    ListBox11->SetItemIndex(ListBox11->Count() - 1);
    PumpMessages();
}

void TForm1::ProgressStart(int32_t steps) {
    step_ = 1;
    stepCount_ = steps < 1 ? 1 : steps;
    stepStart_ = Now();
    ProgressBar701->SetPosition(0);
    ProgressBar701->SetVisible(true);
    Label701->SetCaption(GetCompText(1103));
    Label702->SetCaption("1 / " + std::to_string(stepCount_));
    PumpMessages();
}

void TForm1::ProgressStep() {
    if (step_ < stepCount_) ++step_;
    Label702->SetCaption(std::to_string(step_) + " / " + std::to_string(stepCount_));
    ProgressBar701->SetPosition(static_cast<int>(std::lround(100.0 / stepCount_ * step_)));
    PumpMessages();
}

void TForm1::ProgressHide() {
    ProgressBar701->SetPosition(0);
    ProgressBar701->SetVisible(false);
    Label701->SetCaption("");
    Label702->SetCaption("");
}

bool TForm1::CheckStepTimeout() {
    const int64_t elapsed = DateTimeToMilliseconds(Now()) - DateTimeToMilliseconds(stepStart_);
    if (elapsed / 60000 < 2) return false;
    if (CustMessageDlg(GetCompTextLines(1199), mtCustConfirmation, mbCustYes | mbCustNo, 0) == 6) {
        ProgressHide();
        Notebook1->SetPageIndex(kPageStart);
        Notebook11->SetPageIndex(1);
        return true;
    }
    stepStart_ = Now();
    return false;
}

namespace {

void FillImageEdit(TAppImageEdit* edit, std::initializer_list<std::pair<int, int>> entries) {
    if (!edit) return;
    edit->Descriptions()->Clear();
    edit->ImageIndexes()->Clear();
    edit->Values()->Clear();
    for (const auto& [id, value] : entries) {
        edit->Descriptions()->Add(GetCompText(id));
        edit->ImageIndexes()->Add(std::to_string(value));
        edit->Values()->Add(std::to_string(value));
    }
    edit->ItemsChanged();
}

}  // namespace

void TForm1::FillOptionLists() {
    FillImageEdit(Ctl<TAppImageEdit>("ImageEdit1501"), {{1501, 0}, {1502, 1}});
    FillImageEdit(Ctl<TAppImageEdit>("ImageEdit1502"), {{1511, 0}, {1512, 1}, {1513, 2}});
}

void TForm1::FillDeviceTypeList() {
    FillImageEdit(Ctl<TAppImageEdit>("ImageEdit300"), {{1911, 0}, {1912, 1}, {1913, 2}});
    SetDeviceType(0);
}


// The device-list pages and the control-text catalogue fill these.
void TForm1::ShowNetInfo(const std::string&) {}
void TForm1::StartReadOD(const std::string&) {}
void TForm1::ApplyLanguageFile(const std::string&) {}
