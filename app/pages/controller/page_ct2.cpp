#include "app/pages/controller/page_ct2.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/common/cust_msg.h"
#include "app/common/main_settings.h"
#include "app/pages/controller/page_ct1.h"
#include "app/pages/main_pages.h"
#include "app/pages/page_sel.h"
#include "app/windows/msg_form.h"
#include "link/delay.h"
#include "link/form_txt_com.h"
#include "platform/rtl/scope_exit.h"
#include "program/log_file.h"
#include "program/text_utils.h"
#include "program/utc.h"

namespace {

const char* const kLog = "TOVAK-TSC-";
const char* const kRestarting = "Restart Controller ...";

// Word `n` of a reply split at every blank (an empty word between two blanks counts); the
// command's echo is word 0.
std::string ReplyWord(const std::string& reply, size_t n) {
    std::vector<std::string> words(1);
    for (char c : reply) {
        if (c == ' ')
            words.emplace_back();
        else
            words.back() += c;
    }
    return n < words.size() ? words[n] : std::string();
}

// The number at [pos, pos + len) of `text` (1-based, as the masks count); -1 unless every
// one of those places holds a decimal digit, so that a garbled or short reply, or a
// half-typed entry, is never read as 0.
int Digits(const std::string& text, size_t pos, size_t len) {
    if (pos - 1 + len > text.size()) return -1;
    int value = 0;
    for (size_t i = pos - 1; i < pos - 1 + len; ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// Every digit of "YYYY-MM-DD" or "HH:NN:SS" in its place.
bool DateComplete(const std::string& date) {
    return Digits(date, 1, 4) >= 0 && Digits(date, 6, 2) >= 0 && Digits(date, 9, 2) >= 0;
}

bool TimeComplete(const std::string& time) {
    return Digits(time, 1, 2) >= 0 && Digits(time, 4, 2) >= 0 && Digits(time, 7, 2) >= 0;
}

bool DateOfText(const std::string& date, TDateTime& result) {
    return TryEncodeDate(Digits(date, 1, 4), Digits(date, 6, 2), Digits(date, 9, 2), result);
}

bool TimeOfText(const std::string& time, TDateTime& result) {
    return TryEncodeTime(Digits(time, 1, 2), Digits(time, 4, 2), Digits(time, 7, 2), 0, result);
}

std::string DateText(TDateTime dt) {
    int y, mo, d;
    DecodeDate(dt, y, mo, d);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, mo, d);
    return buf;
}

std::string TimeText(TDateTime dt) {
    int h, mi, s, ms;
    DecodeTime(dt, h, mi, s, ms);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", h, mi, s);
    return buf;
}

// The channel for one action: open on construction, closed when the action leaves by any way.
// The close waits for the port, with the messages handled meanwhile: it runs where what it
// raises reaches the caller.
class TChannelUse {
public:
    TChannelUse(int32_t port, bool showErrors) : close_(Open(port, showErrors)) {}
    TChannelUse(const TChannelUse&) = delete;
    TChannelUse& operator=(const TChannelUse&) = delete;
    bool IsOpen() const { return FormTxtCom->TxtChannelOpen; }
    void Close() {
        if (!closed_) FormTxtCom->StopChannel();
        closed_ = true;
    }
    // True on failure, as the channel answers.
    bool Send(const std::string& command, bool showError, std::string& reply) {
        return FormTxtCom->SendCommand(command, showError, reply);
    }
    // Whether the controller answers in this opening, asked as the read asks it; the
    // channel's message when it does not. A command that changes the controller goes only
    // after a yes: sent to one that hangs, it would wait in the line and be carried out when
    // the controller wakes, long after the page showed the failure.
    bool Answers() {
        std::string reply;
        return !Send("scxUID", true, reply);
    }

private:
    struct End {
        TChannelUse* use;
        void operator()() const { use->Close(); }
    };
    End Open(int32_t port, bool showErrors) {
        FormTxtCom->StartChannel(port, showErrors);
        closed_ = !FormTxtCom->TxtChannelOpen;
        return End{this};
    }

    bool closed_ = false;
    TScopeExit<End> close_;
};

}  // namespace

void UtcToLocalText(std::string& date, std::string& time) {
    if (date.size() != 10 || time.size() != 8) return;
    TDateTime d, t;
    if (!DateOfText(date, d) || !TimeOfText(time, t)) return;
    const TDateTime local = UTCToLocal(ComposeDateTime(d, t));
    // The zone may move the moment past the calendar's last or first day: no date shows it.
    int year, month, day;
    DecodeDate(local, year, month, day);
    if (year == 0) return;
    date = DateText(local);
    time = TimeText(local);
}

TPageCT2::TPageCT2(TMainPages& pages) : TMainPage(pages, Index) {
    TPage* p = Sheet();
    Label193 = b_.Label(p, "Label193", "MOLT-30 Konfiguration", 16, 16, true);
    const int x = 128;
    auto caption = [&](const std::string& name, const std::string& text, int top) { b_.Label(p, name, text, 16, top); };
    caption("Label2591", "Version:", 48);
    Label2511 = b_.Label(p, "Label2511", "", x, 48);
    caption("Label2592", "FW CTRL:", 68);
    Label2512 = b_.Label(p, "Label2512", "", x, 68);
    caption("Label2593", "FW STMX:", 88);
    Label2513 = b_.Label(p, "Label2513", "", x, 88);

    caption("Label2594", "Datum:", 124);
    MaskEdit2521 = b_.Make<TMaskEdit>(p, "MaskEdit2521", x, 120, 121, 21);
    MaskEdit2521->SetEditMask("!0000-00-00;1;_");
    caption("Label2595", "Uhrzeit:", 153);
    MaskEdit2522 = b_.Make<TMaskEdit>(p, "MaskEdit2522", x, 149, 121, 21);
    MaskEdit2522->SetEditMask("!00:00:00;1;_");
    CheckBox2523 = b_.Make<TCheckBox>(p, "CheckBox2523", x + 129, 151, 160, 17);
    CheckBox2523->SetCaption("vom PC übernehmen");
    CheckBox2523->SetChecked(true);
    Button2502 = b_.Button(p, "Button2502", "&Uhrzeit stellen", x + 129, 118);

    caption("Label2596", "MAC-Adresse:", 188);
    Label2531 = b_.Label(p, "Label2531", "", x, 188);
    TAppEdit** edits[5] = {&Edit2532, &Edit2533, &Edit2534, &Edit2535, &Edit2536};
    const char* texts[5] = {"IP:", "Mask:", "Gateway:", "DNS:", "NTP:"};
    for (int i = 0; i < 5; ++i) {
        const int top = 212 + 29 * i;
        caption("Label259" + std::to_string(7 + i), texts[i], top + 4);
        *edits[i] = b_.Edit(p, "Edit253" + std::to_string(2 + i), x, top);
    }
    Button2503 = b_.Button(p, "Button2503", "NW-Parameter &setzen", x + 129, 212 + 29 * 4 - 2);

    const auto row = b_.ButtonRow(
        p,
        {{"Button2500", "&Abfragen"}, {"Button2504", "Rücksetzen auf &Werkseinstellungen"}, {"Button2501", "Zurück"}});
    Button2500 = row[0];
    Button2504 = row[1];
    Button2501 = row[2];

    Button2500->OnClick = [this](TObject*) { Button2500Click(); };
    Button2501->OnClick = [this](TObject*) { Button2501Click(); };
    Button2502->OnClick = [this](TObject*) { Button2502Click(); };
    Button2503->OnClick = [this](TObject*) { Button2503Click(); };
    Button2504->OnClick = [this](TObject*) { Button2504Click(); };
}

void TPageCT2::EnableActions(bool on) {
    for (TAppButton* b : {Button2500, Button2502, Button2503, Button2504}) b->SetEnabled(on);
}

void TPageCT2::ReadMOLT() {
    WriteLogLine(kLog, "ReadMOLT", "");
    const int32_t port = Pages().CT1->CtcPortNumber();
    if (port <= 0) return;
    TChannelUse channel(port, true);
    if (!channel.IsOpen()) return;
    for (TLabel* l : {Label2511, Label2512, Label2513, Label2531}) l->SetCaption("");
    MaskEdit2521->SetText("");
    MaskEdit2522->SetText("");
    for (TAppEdit* e : {Edit2532, Edit2533, Edit2534, Edit2535, Edit2536}) e->SetText("");
    EnableActions(false);
    Show();
    LetWindowsRepaint();
    const bool ok = ReadAll();
    channel.Close();
    if (ok) EnableActions(true);
}

bool TPageCT2::ReadAll() {
    std::string reply;
    if (FormTxtCom->SendCommand("scxFWV", true, reply)) return false;
    Label2512->SetCaption(ReplyWord(reply, 1));
    if (FormTxtCom->SendCommand("scxUID", true, reply)) return false;
    Label2513->SetCaption(ReplyWord(reply, 1));
    if (FormTxtCom->SendCommand("scxSetTime", true, reply)) return false;
    std::string date = ReplyWord(reply, 1), time = ReplyWord(reply, 2);
    UtcToLocalText(date, time);
    MaskEdit2521->SetText(date);
    MaskEdit2522->SetText(time);
    if (FormTxtCom->SendCommand("scxNW", true, reply)) return false;
    TAppEdit* edits[5] = {Edit2532, Edit2533, Edit2534, Edit2535, Edit2536};
    for (size_t i = 0; i < 5; ++i) edits[i]->SetText(ReplyWord(reply, i + 1));
    Label2531->SetCaption(UpperCaseDEStr(ReplyWord(reply, 6)));
    return true;
}

void TPageCT2::RefuseEntry(TCustomEdit* edit) {
    edit->SelectAll();
    if (edit->CanFocus()) edit->SetFocus();
    CustMessageDlg("Fehlerhafte Angabe - bitte überprüfen !", 1, 4, 0);
}

TMaskEdit* TPageCT2::EnteredMoment(TDateTime& moment) {
    const std::string dateText = MaskEdit2521->Text(), timeText = MaskEdit2522->Text();
    TDateTime date, time;
    if (!DateComplete(dateText) || !DateOfText(dateText, date)) return MaskEdit2521;
    if (!TimeComplete(timeText)) return MaskEdit2522;
    if (!TimeOfText(timeText, time)) time = TimeOf(Now());
    moment = ComposeDateTime(date, time);
    return nullptr;
}

void TPageCT2::SetMOLTClock() {
    const int32_t port = Pages().CT1->CtcPortNumber();
    if (port <= 0) return;
    const bool fromPc = CheckBox2523->Checked();
    TDateTime moment = 0;
    // A half-typed entry or a date that is no date is refused before anything is sent, as
    // an address would be.
    if (!fromPc)
        if (TMaskEdit* wrong = EnteredMoment(moment)) {
            RefuseEntry(wrong);
            return;
        }
    TChannelUse channel(port, true);
    if (!channel.IsOpen() || !channel.Answers()) return;
    // The PC's time once the controller has answered, so that it is not set behind.
    if (fromPc) moment = Now();
    const TDateTime utc = LocalToUTC(moment);
    std::string reply;
    channel.Send("scxSetTime " + DateText(utc) + ";" + TimeText(utc), true, reply);
    MaskEdit2521->SetText("");
    MaskEdit2522->SetText("");
    LetWindowsRepaint();
    if (!channel.Send("scxSetTime", true, reply)) {
        std::string date = ReplyWord(reply, 1), time = ReplyWord(reply, 2);
        UtcToLocalText(date, time);
        MaskEdit2521->SetText(date);
        MaskEdit2522->SetText(time);
    }
}

bool TPageCT2::CheckIpText(bool required, const std::string& text, TCustomEdit* edit) {
    if (text.empty() && !required) return false;
    bool ok = std::count(text.begin(), text.end(), '.') == 3;
    if (ok) {
        size_t start = 0;
        // Each part must be written as a number: the text goes to the controller as typed, so
        // "a.b.c.d" or "1..2.3" would become its network setting.
        for (int part = 0; part < 4 && ok; ++part) {
            const size_t dot = text.find('.', start);
            const std::string digits = text.substr(start, dot - start);
            ok = !digits.empty() && digits.size() <= 3 &&
                 std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
                 StrToIntVal(digits) <= 255;
            start = dot + 1;
        }
    }
    if (ok) return false;
    RefuseEntry(edit);
    return true;
}

bool TPageCT2::Pause(uint32_t ms) {
    return Delay(ms, TWaitEnds{{}, [this] { return Pages().ShownPage() == Index; }}) == TWaitEnd::Deadline;
}

bool TPageCT2::PollRestart(int32_t port) {
    for (int poll = 0; poll < 20; ++poll) {
        std::string reply;
        {
            TChannelUse channel(port, false);
            if (!Pause(100)) return false;
            channel.Send("scxUID", false, reply);
        }
        if (!Pause(1000)) return false;
        if (reply.find("SUCCESS") != std::string::npos) return true;
    }
    return true;
}

void TPageCT2::SetMOLTNetwork() {
    WriteLogLine(kLog, "SetMOLT", "");
    const std::string ip = TrimBlanksStr(Edit2532->Text()), mask = TrimBlanksStr(Edit2533->Text()),
                      gateway = TrimBlanksStr(Edit2534->Text()), dns = TrimBlanksStr(Edit2535->Text()),
                      ntp = TrimBlanksStr(Edit2536->Text());
    if (CheckIpText(true, ip, Edit2532) || CheckIpText(true, mask, Edit2533) || CheckIpText(false, gateway, Edit2534) ||
        CheckIpText(false, dns, Edit2535))
        return;
    const int32_t port = Pages().CT1->CtcPortNumber();
    if (port <= 0) return;
    {
        TChannelUse channel(port, true);
        if (!channel.IsOpen()) return;
        EnableActions(false);
        if (!channel.Answers()) {
            EnableActions(true);
            return;
        }
        std::string reply;
        channel.Send("scxNW " + ip + " " + mask + " " + gateway + " " + dns + " " + ntp, false, reply);
        LetWindowsRepaint();
    }
    ShowInfoMsg(kRestarting);
    // Leaving the page or closing the program ends the wait for the restart.
    const bool waited = Pause(4000) && PollRestart(port);
    HideInfoMsg();
    if (waited)
        ReadMOLT();
    else
        EnableActions(true);
}

void TPageCT2::ResetMOLTFactory() {
    const int32_t port = Pages().CT1->CtcPortNumber();
    if (port <= 0) return;
    {
        TChannelUse channel(port, true);
        if (!channel.IsOpen()) return;
        EnableActions(false);
        LetWindowsRepaint();
        if (!channel.Answers()) {
            EnableActions(true);
            return;
        }
        std::string reply;
        channel.Send("scxSetFactDef", false, reply);
        LetWindowsRepaint();
    }
    ShowInfoMsg(kRestarting);
    const bool waited = Pause(6000) && PollRestart(port);
    HideInfoMsg();
    if (waited) ReadMOLT();
    EnableActions(true);
}

void TPageCT2::Button2501Click() {
    if (FormTxtCom && FormTxtCom->Visible()) FormTxtCom->Hide();
    Pages().SEL->Show();
}

void TPageCT2::Button2504Click() {
    if (CustMessageDlg("Controller wirklich auf Werkseinstellungen zurücksetzen?", 3, 3, 0) == 6) ResetMOLTFactory();
}
