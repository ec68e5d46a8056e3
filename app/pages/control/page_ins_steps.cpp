// The steps of the installation wizard (page INS): what each "&Weiter" does and how the
// wizard waits for the device.

#include "app/common/comp_text.h"
#include "app/common/cust_msg.h"
#include "app/common/device_slot_display.h"
#include "app/common/main_settings.h"
#include "app/common/start_options.h"
#include "app/device/access_codes.h"
#include "app/pages/control/page_ins.h"
#include "app/pages/control/page_stg.h"
#include "app/pages/main_pages.h"
#include "link/delay.h"
#include "link/frame_codec.h"
#include "platform/sync/clock.h"
#include "program/program_context.h"
#include "program/system_code.h"
#include "program/text_utils.h"

namespace {

constexpr TColor kGreen = 0x00FF00;
constexpr TColor kRed = 0x0000FF;
constexpr TColor kYellow = 0x00FFFF;
constexpr TColor kSilver = 0xC0C0C0;

std::string Command(uint8_t type, uint8_t index) {
    return std::string("\xFB\x02\x00", 3) + static_cast<char>(type) + static_cast<char>(index);
}

std::string ParameterWrite(uint8_t param, int32_t value) {
    return std::string("\xFB\x02\x02\x0E", 4) + static_cast<char>(param) + WordToBytes(static_cast<uint16_t>(value));
}

void Lamp(TShape* shape, TColor color) {
    if (shape) shape->Brush()->SetColor(color);
}

void Caption(TLabel* label, const std::string& text) {
    if (label) label->SetCaption(text);
}

}  // namespace

bool TPageINS::Shown(int page) const { return Pages().ShownPage() == Index && Notebook11->PageIndex() == page; }

bool TPageINS::DoorOpen() const { return session_.LinkState.DoorSystem.DoorState & 0x01; }

bool TPageINS::Continues() {
    if (ProgramEnding() || Pages().ShownPage() != Index) return false;
    if (session_.LinkState.PortOpen) return true;
    LinkLost();
    return false;
}

bool TPageINS::Send(const std::string& data, uint32_t ms) {
    if (!Continues() || !session_.QueueForDevice(data)) return false;
    if (ms) Delay(ms, session_.PageWaitEnds(Index));
    return Continues();
}

bool TPageINS::Send(TDeviceWait& wait, const std::string& data, TAnswer answer, uint32_t ms) {
    if (!Continues() || !session_.QueueForDevice(wait, data, answer)) return false;
    if (ms) Delay(ms, session_.PageWaitEnds(Index));
    return Continues();
}

bool TPageINS::Await(const std::function<bool()>& waiting, bool deviceWait) {
    TDeviceWait none(nullptr);
    return Await(none, waiting, deviceWait);
}

bool TPageINS::Await(TDeviceWait& wait, const std::function<bool()>& waiting, bool deviceWait) {
    progress_.RestartStepTime();
    while (waiting()) {
        if (!Continues()) return false;
        // A device wait looks at the clock every 100 ms for the question after two minutes.
        const TWaitEnd end = wait.Until(deviceWait ? GetTickCount64() + 100 : kNoDeadline, session_.PageWaitEnds(Index),
                                        [&] { return !waiting(); });
        if (end == TWaitEnd::Met) break;
        session_.WaitMet(end);
        if (end != TWaitEnd::Deadline) return false;
        if (progress_.CheckStepTimeout()) {
            Pages().LeaveWizards(true);
            return false;
        }
    }
    return true;
}

bool TPageINS::Request(TAnswer answer, const std::string& data, const std::function<bool()>& stay) {
    TDeviceWait wait = session_.Wait();
    if (!Continues() || !session_.QueueForDevice(wait, data, answer)) return false;
    return Await(wait, [&] { return stay() && !wait.Answered(); });
}

void TPageINS::Button11012Click(TObject* Sender) { Pages().AskToLeaveWizards(Sender != Button11012); }

void TPageINS::Leave(bool endInstallStep) {
    if (endInstallStep && Pages().InstallActive) {
        // Without a link there is no step to end: the request is refused and nothing waits.
        if (session_.Link().EnqueueRequest(Command(0x50, 0x17))) Delay(200, session_.WaitEnds());
        Pages().InstallActive = false;
    }
    ProgressBar11->SetVisible(false);
}

void TPageINS::StartWizard() {
    Show();
    RewindWizard();
}

void TPageINS::RewindWizard() { Notebook11->SetPageIndex(1); }

bool TPageINS::AddRunLine(const std::string& text) {
    if (!ListBox11->Showing()) return false;
    ListBox11->Items()->Add(text);
    ListBox11->SetItemIndex(ListBox11->Count() - 1);
    return true;
}

void TPageINS::TickRunBar() {
    if (!ProgressBar11->Visible() || ProgressBar11->Position() >= 800) return;
    if (ProgressBar11->Max() < 800) ProgressBar11->SetMax(800);
    ProgressBar11->SetPosition(ProgressBar11->Position() + 1);
}

void TPageINS::LinkLost() {
    // The main window leaves the wizard (no request can end the device's step now; the
    // next installation starts it afresh) and says so once.
    session_.ShowLoss(TDeviceSession::TLossSeen::Refused);
}

void TPageINS::Button11011Click() {
    Pages().InstallActive = true;
    Program().SystemCodeInputs.fill(0);
    Program().SystemCodeInputs[0] = 2;
    Program().SystemCodeInputs[1] = 1;
    TDeviceSlotDisplay slots(&Window());
    for (int s = 1; s <= 12; ++s) {
        const int32_t address = session_.LinkState.DoorSystem.Slots[static_cast<size_t>(s)].BusAddress;
        Lamp(slots.SlotShape(2, s), address ? kGreen : kSilver);
        Caption(slots.SlotLabel(2, s), address ? IntToStrZero(address, 2) : "");
        if (address) Program().SystemCodeInputs[static_cast<size_t>(1 + s)] = s <= 4 ? 1 : 8;
    }
    Button11021->SetEnabled(false);
    Button11022->SetEnabled(false);
    Notebook11->SetPageIndex(2);
    LetWindowsRepaint();
    if (Program().InstStepMode == 0 && !Send(Command(0x50, 0x15))) return;
    // The answer counts from the request on, the pause included: a device that finishes at
    // once must not leave the wizard waiting for ever.
    TDeviceWait detection = session_.Wait();
    if (!Send(detection, Command(0x50, 0x14), AwaitSaveDone)) return;
    if (!Await(detection, [&] { return Shown(2) && !detection.Answered(); })) return;
    if (Pages().ShownPage() != Index) return;
    Button11021->SetEnabled(true);
    Button11022->SetEnabled(true);
}

void TPageINS::ShowInstallImage(int box, int jumper, bool a, bool b) {
    TImage* image = InstallImage(box, jumper);
    if (!image) return;
    image->Picture()->Assign(TemplateImages[static_cast<size_t>(JumperPicture(a, b))]->Picture());
    image->SetVisible(true);
}

void TPageINS::Button11021Click() {
    jumpers_ = CheckJumpers(session_.LinkState.DoorSystem, Program().DbBridgeHex);
    for (int box = 1; box <= 8; ++box) {
        const TBoxJumpers& shown = jumpers_.Boxes[static_cast<size_t>(box)];
        InstallSlotLabel(box)->SetCaption(shown.Label);
        for (int j = 1; j <= 3; ++j) {
            const TJumperValues& v = shown.Jumpers[static_cast<size_t>(j - 1)];
            if (shown.Present)
                ShowInstallImage(box, j, v.A, v.B);
            else
                InstallImage(box, j)->SetVisible(false);
        }
    }
    Label11032->SetCaption(GetCompText(jumpers_.ResultText));
    Label11032->Font()->SetColor(jumpers_.MayGoOn() ? clWindowText : kRed);
    Button11031->SetEnabled(jumpers_.MayGoOn());
    Program().SystemCodeInputs[14] = Program().SystemCodeInputs[15] = jumpers_.Summary;
    Notebook11->SetPageIndex(3);
}

void TPageINS::AwaitDoorClosed(int page, TAppButton* next) {
    next->SetEnabled(false);
    Notebook11->SetPageIndex(page);
    LetWindowsRepaint();
    // The technician closes the door: no question after two minutes here.
    Await([this, page] { return Shown(page) && DoorOpen(); }, false);
    next->SetEnabled(true);
}

void TPageINS::Button11031Click() {
    if (Program().InstMode == 2 || !DoorOpen()) {
        Notebook11->SetPageIndex(5);
        return;
    }
    AwaitDoorClosed(4, Button11041);
}

void TPageINS::Button11041Click() { Notebook11->SetPageIndex(5); }

void TPageINS::Button11051Click() {
    TDeviceWait unlock = session_.Wait();
    if (!Send(unlock, Command(0x50, 0x01), TAnswer{}, 0)) return;
    if (!Await(unlock, [this] { return Shown(5) && Shape11051->Brush()->Color() != kGreen; })) return;
    if (!Shown(5)) return;
    const TDeviceSlotRecord& terminal = session_.LinkState.DoorSystem.Slots[1];
    Edit11061->SetText(Program().InstallJumperJ2 ? std::to_string(terminal.Params[6]) : "0");
    Edit11062->SetText(Program().InstallJumperJ2 ? std::to_string(terminal.Params[7]) : "0");
    Edit11061->SetEnabled(Program().InstallJumperJ2);
    Edit11062->SetEnabled(Program().InstallJumperJ2);
    Notebook11->SetPageIndex(6);
}

bool TPageINS::ReadDelay(TAppEdit* edit, int32_t limit, int text, int32_t& value) {
    // A text that is no number, an emptied field too, would go out as 0; it is refused like a
    // value out of range.
    const std::string typed = TrimBlanksStr(edit->Text());
    value = !typed.empty() && typed.size() <= 5 && IsDigitText(typed) ? StrToIntVal(typed) : -1;
    if (value >= 0 && value <= limit) return true;
    CustMessageDlg(GetCompTextFmt(text, {std::to_string(limit)}), mtCustError, mbCustCancel, 0);
    edit->SelectAll();
    if (edit->CanFocus()) edit->SetFocus();
    return false;
}

void TPageINS::Button11061Click() {
    const int32_t limit1 = Program().InstallJumperJ3 ? 120 : 15;
    const int32_t limit2 = Program().InstallJumperJ3 ? 300 : 180;
    int32_t t1 = 0, t2 = 0;
    if (!ReadDelay(Edit11061, limit1, 1212, t1) || !ReadDelay(Edit11062, limit2, 1213, t2)) return;
    RunConfiguration(t1, t2);
    ProgressBar11->SetVisible(false);
}

void TPageINS::RunConfiguration(int32_t t1, int32_t t2) {
    for (int k = 1; k <= 4; ++k) {
        StepImages[static_cast<size_t>(k)]->SetVisible(false);
        StepLabels[static_cast<size_t>(k)]->Font()->SetColor(clGray);
    }
    ProgressBar11->SetPosition(0);
    ProgressBar11->SetVisible(true);
    ListBox11->Clear();
    Notebook11->SetPageIndex(7);
    LetWindowsRepaint();
    const auto onPage = [this] { return Pages().ShownPage() == Index; };
    Pages().AddComLine(GetCompText(1802));
    if (!Send(Command(0x50, 0x16))) return;
    Pages().AddComLine(GetCompText(1803));
    if (!Send(ParameterWrite(6, t1))) return;
    Pages().AddComLine(GetCompText(1804));
    if (!Send(ParameterWrite(7, t2))) return;
    Pages().AddComLine(GetCompText(1805));
    // Storing makes the device restart and report "saved" afterwards; both answers are
    // awaited from before the request, so a quick device cannot slip past either wait.
    TDeviceWait saved = session_.Wait();
    saved.Expect(AwaitSaveDone);
    if (!Request(AwaitConfigBlock1, Command(0x11, 0x00), onPage) || !onPage()) return;
    StepLabels[1]->Font()->SetColor(clBlack);
    StepImages[1]->SetVisible(true);
    if (!Await(saved, [&] { return Shown(7) && !saved.Answered(); }) || !onPage()) return;
    Pages().AddComLine(GetCompText(1806));
    if (!Request(AwaitConfigBlock1, Command(0x10, 0x00), onPage) || !onPage()) return;
    if (!Request(AwaitConfigBlock2, Command(0x10, 0x01), onPage) || !onPage()) return;
    if (!Request(AwaitConfigBlock3, Command(0x10, 0x02), onPage) || !onPage()) return;
    Pages().AddComLine(GetCompText(1807));
    if (!session_.DevicePause(1000, Index) || !onPage()) return;
    const TDeviceSlotRecord& terminal = session_.LinkState.DoorSystem.Slots[1];
    Label11081->SetCaption(std::to_string(terminal.Params[6]));
    Label11082->SetCaption(std::to_string(terminal.Params[7]));
    if (!Send(Command(0x50, 0x02))) return;
    if (Program().InstStepMode == 0 && !session_.QueueForDevice(Command(0x50, 0x15))) return;
    Program().SystemCodeInputs[16] = (Program().InstallJumperJ2 && (terminal.Params[6] > 0 || terminal.Params[7] > 0)
                                          ? 1
                                          : 0) +
                                     (Program().InstallJumperJ1 ? 2 : 0);
    Notebook11->SetPageIndex(8);
}

void TPageINS::Button11081Click() {
    if (Program().InstMode != 2 || !DoorOpen()) {
        ButtonTest();
        return;
    }
    AwaitDoorClosed(9, Button11091);
}

void TPageINS::Button11091Click() { ButtonTest(); }

void TPageINS::ButtonTest() {
    TDeviceSlotDisplay slots(&Window());
    for (int s = 1; s <= 4; ++s) {
        const int32_t address = session_.LinkState.DoorSystem.Slots[static_cast<size_t>(s)].BusAddress;
        Lamp(slots.SlotShape(3, s), address ? kRed : kSilver);
        Caption(slots.SlotLabel(3, s), address ? IntToStrZero(address, 2) : "");
    }
    const int32_t kzn = session_.LinkState.NodeTable.KznCount;
    for (TControl* c : std::initializer_list<TControl*>{Label11110, Shape11110, Label11111}) c->SetVisible(kzn > 0);
    if (kzn > 0) {
        Label11111->SetCaption("");
        Program().SystemCodeInputs[17] = kzn;
    }
    Button11101->SetEnabled(false);
    Notebook11->SetPageIndex(10);
    LetWindowsRepaint();
    session_.LinkState.AllButtonsPressed = false;
    while (!session_.LinkState.AllButtonsPressed && Shown(10)) {
        if (!Request(AwaitButtonState, Command(0x50, 0x19), [this] { return Shown(10); })) return;
        if (!Shown(10)) break;
        for (int s = 1; s <= 4; ++s) {
            const char mark = session_.LinkState.ButtonMap.size() >= static_cast<size_t>(s)
                                  ? session_.LinkState.ButtonMap[static_cast<size_t>(s - 1)]
                                  : ' ';
            if (mark == 'X') Lamp(slots.SlotShape(3, s), kGreen);
            if (mark == '_') Lamp(slots.SlotShape(3, s), kRed);
            if (mark == '?') Lamp(slots.SlotShape(3, s), kYellow);
            if (mark == '-') Lamp(slots.SlotShape(3, s), kSilver);
        }
        Label11111->SetCaption(session_.LinkState.BoxBitMap);
        if (!session_.DevicePause(10, Index)) return;
    }
    Button11101->SetEnabled(true);
}

void TPageINS::Button11101Click() {
    Button11111->SetEnabled(false);
    CheckEdit11111->SetChecked(false);
    Notebook11->SetPageIndex(11);
}

void TPageINS::CheckEdit11111Change() { Button11111->SetEnabled(CheckEdit11111->Checked()); }

void TPageINS::Button11111Click() {
    const std::string code = BuildSystemCode();
    Label11121->SetCaption(code);
    Edit11121->SetText(code);
    Notebook11->SetPageIndex(12);
}

void TPageINS::Button11123Click() {
    Edit11121->SelectAll();
    Edit11121->CopyToClipboard();
}

void TPageINS::Button11121Click() {
    if (Program().InstStepMode == 1 && !session_.QueueForDevice(Command(0x50, 0x15))) return;
    // The installation is complete on the device: a later Esc must not cancel it.
    Pages().InstallActive = false;
    Notebook11->SetPageIndex(13);
}

void TPageINS::Button11131Click() {
    TPageSTG& stg = *Pages().STG;
    stg.Prepare(true);
    Notebook11->SetPageIndex(0);
    stg.Show();
}
