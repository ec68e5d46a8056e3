#include "app/main_form.h"

#include <cstdio>
#include <ctime>
#include <string_view>

#include "app/common/after_boxes.h"
#include "app/common/device_slot_display.h"
#include "app/pages/configuration/page_cfg.h"
#include "app/pages/configuration/page_com.h"
#include "app/pages/configuration/page_pwx.h"
#include "app/pages/configuration/page_tst.h"
#include "app/pages/control/page_coc.h"
#include "app/pages/control/page_ei2.h"
#include "app/pages/control/page_eig.h"
#include "app/pages/control/page_ein.h"
#include "app/pages/control/page_ins.h"
#include "app/pages/control/page_men.h"
#include "app/pages/control/page_stg.h"
#include "app/pages/controller/page_ct1.h"
#include "app/pages/jobs/page_ldc.h"
#include "app/pages/jobs/page_net.h"
#include "app/pages/jobs/page_rod.h"
#include "app/pages/jobs/page_svc.h"
#include "app/pages/main_pages.h"
#include "app/pages/page_sel.h"

#include "app/common/comp_text.h"
#include "app/common/cust_msg.h"
#include "app/common/main_settings.h"
#include "app/common/start_options.h"
#include "app/config/function_catalogue.h"
#include "app/windows/comp_list_form.h"
#include "app/windows/msg_form.h"
#include "link/delay.h"
#include "link/form_sercom.h"
#include "platform/classes/file_utils.h"
#include "platform/forms/application.h"
#include "platform/sync/clock.h"
#include "program/log_file.h"
#include "program/program_context.h"
#include "program/program_dirs.h"
#include "program/text_utils.h"
#include "program/version.h"

TForm1* Form1 = nullptr;

namespace {

std::string BaseFile(const std::string& name) {
    std::string found = FindFileCaseInsensitive(Program().BaseDir, name);
    return found.empty() ? Program().BaseDir + name : found;
}

// Writes a language file's control texts into the windows. A file that cannot be read is
// reported and leaves the windows as they are: the program starts all the same.
void ApplyLanguageFile(const std::string& fileName) {
    if (!FormCompLst) return;
    try {
        FormCompLst->LoadCompList(fileName);
    } catch (const std::exception& e) {
        Application->HandleException(FormCompLst, Exception(fileName + ": " + e.what()));
        return;
    }
    FormCompLst->ApplyCompList(true);
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
    Notebook1 = new TNotebook(this);
    Notebook1->SetName("Notebook1");
    Notebook1->SetParent(this);
    Notebook1->SetBounds(4, 4, kPageWidth, kPageHeight);
    Notebook1->SetPages(std::vector<std::string>(std::begin(kPageNames), std::end(kPageNames)));
    session_ = std::make_unique<TDeviceSession>(Notebook1, progress_);
    pages_ = std::make_unique<TMainPages>(*this, *Notebook1, *session_, progress_);
    session_->OnLinkLost = [this] { ShowLinkLost(); };
    session_->OnDeviceListNotice = [this](const std::string& text) { pages_->STG->ShowNotice(text); };
    session_->OnDeviceListRead = [this] { pages_->MEN->RereadDeviceList(false); };
    TPageMEN& men = *pages_->MEN;
    progress_.ShowOn(men.ProgressBar701, men.Label701, men.Label702);
    progress_.OnGiveUp = [this] {
        Notebook1->SetPageIndex(kPageStart);
        pages_->INS->RewindWizard();
    };

    StatusBar1 = new TStatusBar(this);
    StatusBar1->SetName("StatusBar1");
    StatusBar1->SetParent(this);
    StatusBar1->SetBounds(0, 0, 100, 19);
    StatusBar1->SetAlign(alBottom);
    StatusBar1->SetSizeGrip(false);  // the window keeps its size
    StatusBar1->Panels()->Add()->SetWidth(80);
    StatusBar1->Panels()->Add()->SetWidth(64);
    StatusBar1->Panels()->Add()->SetWidth(50);
    Timer1 = new TTimer(this);
    Timer1->SetName("Timer1");
    Timer1->SetEnabled(false);
    Timer1->SetInterval(100);
    Timer1->OnTimer = [this](TObject*) { Timer1Timer(); };
    Timer2 = new TTimer(this);
    Timer2->SetName("Timer2");
    Timer2->SetEnabled(false);
    Timer2->SetInterval(200);
    Timer2->OnTimer = [this](TObject*) { Timer2Timer(); };
    Timer3 = new TTimer(this);
    Timer3->SetName("Timer3");
    Timer3->SetEnabled(false);
    Timer3->OnTimer = [this](TObject*) { Timer3Timer(); };
    pages_->Timer3 = Timer3;

    afterBoxes_ = std::make_unique<TAfterBoxes>();
    SetCompTextOwner(this);
    OnCreate = [this](TObject*) { FormCreate(); };
    OnKeyPress = [this](TObject*, char32_t& Key) { FormKeyPress(Key); };
}

TForm1::~TForm1() {
    if (CompTextOwner() == this) SetCompTextOwner(nullptr);
    if (Form1 == this) Form1 = nullptr;
}

void TForm1::FormCreate() {
    FirstShowPending = true;
    pages_->SEL->Button003->SetVisible(false);
    pages_->SEL->Button004->SetVisible(false);
    pages_->ReadOdActive = false;
    Program().InfoMsgShaded = false;

    fixedWidth_ = Notebook1->Width() + 23;
    fixedHeight_ = Notebook1->Height() + 63;
    SetBounds(Left(), Top(), fixedWidth_, fixedHeight_);

    ClearAtCreate();

    TPageTST& tst = *pages_->TST;
    for (TAppButton* b : {tst.Button502, tst.Button503, tst.Button504, tst.Button505, tst.Button506})
        b->SetEnabled(false);
    Notebook1->SetPageIndex(kPageStart);
    pages_->CFG->PageControl1->SetActivePage(pages_->CFG->TabSheet1);
    tst.PageControl2->SetActivePage(tst.TabSheet3);
    tst.ComboBox551->SetItemIndex(0);
    pages_->CFG->Notebook91->SetPageIndex(0);
    progress_.ProgressHide();
    FitLength(session_->LinkState.ButtonMap, 8);
    session_->LinkState.AllButtonsPressed = false;
}

void TForm1::ClearAtCreate() {
    lastDate_.clear();
    lastTime_.clear();
    lastClockSecond_ = INT64_MIN;
    session_->LinkState = TLinkState{};
    const TMainPages& p = *pages_;
    const TPageTST& tst = *p.TST;
    for (TControl* c : std::initializer_list<TControl*>{
             p.STG->Label189, tst.Label502, tst.Label511, tst.Label550, tst.Label551, tst.Label552, tst.Label553,
             tst.Label554, p.STG->Label800, tst.Edit501, tst.Edit502, tst.Edit503, p.COM->Edit101, p.COC->Edit601,
             p.CT1->Edit2401, tst.Edit552, tst.Edit553, p.PWX->MaskEdit191})
        c->SetText("");
    const TDeviceSlotDisplay slots(this);
    for (int s = 1; s <= 12; ++s)
        if (TLabel* l = slots.SlotErrorLabel(s)) {
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
    WriteLogLine("TOVAK-MEN-", "START", std::string(37, '-'), &logProblem_);

    // Output rows: the mask button takes the place of the row's parameter edit; both hidden.
    for (int r : {21, 61})
        for (int row = r; row < r + 16; ++row) {
            TControl* button = pages_->CFG->RowMaskButton(row);
            TControl* edit = pages_->CFG->RowParamEdit(row);
            button->SetLeft(edit->Left());
            button->SetVisible(false);
            edit->SetVisible(false);
        }

    const TMainSettings s = ReadMainSettings(BaseFile("TOVAK.INI"), &settingsProblem_);
    ApplyMainSettings(s, session_->LinkState);
    Csm = s.Csm;
    Csv = s.Csv;
    pages_->TST->Edit501->SetText(std::to_string(s.Cot));
    pages_->COM->Edit101->SetText(std::to_string(s.Com));
    pages_->COC->Edit601->SetText(std::to_string(s.Coc));
    pages_->CT1->Edit2401->SetText(std::to_string(s.Ctc));
    pages_->COM->ListBox101->SetVisible(Csv);
    pages_->COM->ListBox102->SetVisible(Csv);

    try {
        LoadFunctionListFile(
            BaseFile(Program().Language.empty() ? "TOVAK.FLX" : "TOVAK-" + Program().Language + ".FLX"));
    } catch (const Exception& e) {
        Application->HandleException(this, e);
    }

    if (!Program().Language.empty()) {
        const std::string lgf = FindFileCaseInsensitive(Program().BaseDir, "TOVAK-" + Program().Language + ".LGF");
        if (!lgf.empty()) {
            UseEnglishMsgTexts();
            ApplyLanguageFile(lgf);
            TPageCFG& cfg = *pages_->CFG;
            cfg.TabSheet1->SetCaption(GetCompText(1691));
            cfg.Label31->SetCaption(GetCompText(1691));
            cfg.TabSheet2->SetCaption(GetCompText(1692));
            cfg.Label32->SetCaption(GetCompText(1692));
        }
    }

    SetCaption(CaptionWithVersion(Caption(), GetVersionText()));

    pages_->CFG->FillFunctionLists();
    pages_->CFG->FillDeviceTypeList();
    pages_->CFG->SetDeviceType(0);

    const TFirstPass first = CommandLineFirstPass();
    if (first.Page >= 0) Notebook1->SetPageIndex(first.Page);
    if (first.TestPageUnlocked) TestPageUnlocked = true;

    pages_->EI2->FillDoorOptionLists();
    pages_->EIG->FillOptionLists();
    const int portPage = Csm == 1 ? 1 : 0;
    pages_->COM->Notebook2->SetPageIndex(portPage);
    pages_->COC->Notebook3->SetPageIndex(portPage);
    pages_->CT1->Notebook2401->SetPageIndex(portPage);
    if (Csm == 1) SearchSerialPorts();
    Notebook1->OnPageChanged = [this](TObject*) { PortPageShown(); };

    Timer1->SetEnabled(true);
    if (session_->LinkState.PrtShow && FormSercom) FormSercom->Show();

    const TSecondPass second = CommandLineSecondPass(TestPageUnlocked);
    if (second.Page >= 0) Notebook1->SetPageIndex(second.Page);
    if (second.JobNoted) Timer2->SetEnabled(true);
}

void TForm1::DoClose(TCloseAction& Action) {
    // The program ends once: a job that ends after a stop closes the window again, and so
    // does a second stop.
    if (!closed_) {
        closed_ = true;
        FormClose();
    }
    TForm::DoClose(Action);
}

void TForm1::FormClose() {
    pages_->ROD->StopReadOut();
    // As "&Abbruch" would: the device leaves its installation step (the pause below and the
    // close give the request time to leave).
    if (pages_->InstallActive) session_->Link().EnqueueRequest(std::string("\xFB\x02\x00\x50\x17", 5));
    pages_->InstallActive = false;
    PumpMessages();
    // A close already under way (a lost device's, or Esc's, below this on the stack) finishes
    // the port once the program has ended: a second one would pause inside it.
    if (session_->LinkUp()) {
        ShowInfoMsg("TOVAK Close");
        Delay(500);
        session_->ClosePort();
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
    // The clock changes once a second, the tick comes ten times: the other nine cost only
    // the comparison. localtime_r uses the zone as last read instead of looking at the
    // zone file on every call.
    const int64_t unix_ms = CurrentClock().UnixMillis();
    const int64_t second = unix_ms >= 0 ? unix_ms / 1000 : -((-unix_ms + 999) / 1000);
    if (second != lastClockSecond_) {
        lastClockSecond_ = second;
        const time_t t = static_cast<time_t>(second);
        struct tm local {};
        char text[80] = {};
        if (localtime_r(&t, &local) != nullptr)
            std::snprintf(text, sizeof text, "%04d-%02d-%02d%02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                          local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
        const std::string_view both(text);
        const std::string_view date = both.substr(0, 10), time = both.size() > 10 ? both.substr(10) : both.substr(0, 0);
        if (date != lastDate_) {
            lastDate_ = date;
            StatusBar1->Panels()->Items(0)->SetText(lastDate_);
        }
        if (time != lastTime_) {
            lastTime_ = time;
            StatusBar1->Panels()->Items(1)->SetText(lastTime_);
        }
    }
    pages_->EIN->TickBusyBar();
    pages_->EIG->TickBusyBar();
    pages_->INS->TickRunBar();
    PumpMessages();
    if (!logProblem_.empty()) {
        // The log lines are the technician's record of the work: a folder that takes none is
        // told once, with the window on the screen, rather than losing every line unseen.
        const std::string why = std::move(logProblem_);
        logProblem_.clear();
        CustMessageDlg("Die Protokolldatei kann nicht geschrieben werden:\r" + why, mtCustWarning, mbCustOK, 0);
    }
    if (!settingsProblem_.empty()) {
        // Every port and switch took its default: told once, before the technician trusts one.
        const std::string text = std::move(settingsProblem_);
        settingsProblem_.clear();
        CustMessageDlg(text, mtCustWarning, mbCustOK, 0);
    }
}

void TForm1::Timer2Timer() {
    Timer2->SetEnabled(false);
    const TStartJobs jobs = CommandLineJobs();
    switch (jobs.Job) {
        case TStartJob::NetInfo: pages_->NET->ShowNetInfo(jobs.Argument); break;
        case TStartJob::ReadOd: pages_->ROD->StartReadOD(jobs.Argument); break;
        case TStartJob::LoadIoConfig: pages_->LDC->LoadIoConfigFile(jobs.FileName); break;
        case TStartJob::SaveIoConfig: pages_->SVC->SaveIoConfigFile(); break;
        case TStartJob::None: break;
    }
}

void TForm1::Timer3Timer() { pages_->ROD->ReadCycle(); }

void TForm1::StatusTick() {
    TStatusPanel* panel = StatusBar1->Panels()->Items(2);
    std::string text = panel->Text() + ".";
    if (text.size() > 5) text.clear();
    panel->SetText(text);
    PumpMessages();
}
