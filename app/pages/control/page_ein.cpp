#include "app/pages/control/page_ein.h"

#include "app/common/comp_text.h"
#include "app/common/cust_msg.h"
#include "app/device/access_codes.h"
#include "app/pages/control/page_ei2.h"
#include "app/pages/main_pages.h"
#include "link/delay.h"
#include "platform/win/message_queue.h"
#include "program/text_utils.h"

TPageEIN::TPageEIN(TMainPages& pages) : TMainPage(pages, Index) {
    TPage* p = Sheet();
    Label1000 = b_.Label(p, "Label1000", "System-Einstellungen", 16, 16, true);
    struct TRow {
        TAppEdit** Field;
        const char* Name;
        const char* Caption;
        const char* Unit;
    };
    const TRow rows[] = {{&Edit1011, "Edit1011", "Kurzzeitentriegelung:", "s"},
                         {&Edit1012, "Edit1012", "Türüberwachungszeit:", "s"},
                         {&Edit1013, "Edit1013", "Voralarmzeit:", "s"},
                         {&Edit1021, "Edit1021", "Dauerentriegelungszeit:", "min"},
                         {&Edit1022, "Edit1022", "Entriegelungsverzögerung:", "s"},
                         {&Edit1031, "Edit1031", "Alarmzeit:", "s"},
                         {&Edit1032, "Edit1032", "Orientierungssignal:", "s"},
                         {&Edit1041, "Edit1041", "Freigabeverzögerung t1:", "s"},
                         {&Edit1042, "Edit1042", "Freigabeverzögerung t2:", "s"}};
    int y = 48;
    for (const TRow& r : rows) {
        const std::string n = std::string(r.Name).substr(4);
        b_.Label(p, "Label" + n, r.Caption, 16, y + 4);
        *r.Field = b_.Edit(p, r.Name, 200, y, 73);
        b_.Label(p, "Label" + n + "U", r.Unit, 280, y + 4);
        y += 28;
    }
    Edit1041->SetEnabled(false);
    Edit1042->SetEnabled(false);
    Label1001 = b_.Label(p, "Label1001", "", 16, 332);
    Label1001->SetVisible(false);
    ProgressBar1001 = b_.Make<TProgressBar>(p, "ProgressBar1001", 16, 352, 384, 16);
    ProgressBar1001->SetVisible(false);
    const auto row = b_.ButtonRow(p, {{"Button1003", "&Erweitert"}, {"Button1001", "&OK"}, {"Button1002", "&Abbruch"}});
    Button1003 = row[0];
    Button1001 = row[1];
    Button1002 = row[2];
    Button1001->OnClick = [this](TObject*) { Button1001Click(); };
    Button1002->OnClick = [this](TObject*) { Button1002Click(); };
    Button1003->OnClick = [this](TObject*) { Button1003Click(); };
}

std::array<TPageEIN::TDoorTime, 7> TPageEIN::Editable() const {
    return {{{Edit1011, 0x00, "Kurzzeitentriegelung"},
             {Edit1012, 0x02, "Türüberwachungszeit"},
             {Edit1013, 0x08, "Voralarmzeit"},
             {Edit1021, 0x03, "Dauerentriegelungszeit"},
             {Edit1022, 0x04, "Entriegelungsverzögerung"},
             {Edit1031, 0x09, "Alarmzeit"},
             {Edit1032, 0x0A, "Orientierungssignal"}}};
}

void TPageEIN::ShowDoorTimes() {
    const auto& params = session_.LinkState.DoorSystem.Slots[1].Params;
    for (const TDoorTime& t : Editable()) t.Edit->SetText(std::to_string(params[static_cast<size_t>(t.Param)]));
    Edit1041->SetText(std::to_string(params[6]));
    Edit1042->SetText(std::to_string(params[7]));
}

void TPageEIN::EnableButtons(bool enabled) {
    for (TAppButton* b : {Button1001, Button1002, Button1003}) b->SetEnabled(enabled);
}

void TPageEIN::EnableExtended(bool enabled) { Button1003->SetEnabled(enabled); }

void TPageEIN::TickBusyBar() { AdvanceBusyBar(ProgressBar1001); }

void TPageEIN::ShowBusy(bool shown, const std::string& text) {
    if (shown) {
        Label1001->SetCaption(text);
        ProgressBar1001->SetPosition(0);
    }
    Label1001->SetVisible(shown);
    ProgressBar1001->SetVisible(shown);
}

void TPageEIN::Button1001Click() {
    // A text that is no number would go out as some other value; refuse it before anything
    // is sent.
    for (const TDoorTime& t : Editable()) {
        const std::string text = TrimBlanksStr(t.Edit->Text());
        if (text.empty() || text.size() > 5 || !IsDigitText(text) || StrToIntVal(text) > 0xFFFF) {
            CustMessageDlg("Ungültiger Wert für " + t.Caption + " !", mtCustError, mbCustCancel, 0);
            t.Edit->SelectAll();
            t.Edit->SetFocus();
            return;
        }
    }
    EnableButtons(false);
    ShowBusy(true, GetCompText(1101));
    LetWindowsRepaint();
    // The values and the store go together or not at all: the queue refuses only while
    // the link is closed, and nothing closes it between these lines. The store has happened
    // once the device has taken them; one that does not within the silence limit is lost,
    // and so is the store.
    bool stored = true;
    for (const TDoorTime& t : Editable()) {
        const int32_t v = StrToIntVal(TrimBlanksStr(t.Edit->Text()));
        std::string request("\xFB\x02\x02\x0E", 4);
        request += static_cast<char>(t.Param);
        request += static_cast<char>((v >> 8) & 0xFF);
        request += static_cast<char>(v & 0xFF);
        stored = stored && session_.QueueForDevice(request);
    }
    stored = stored && session_.QueueForDevice(std::string("\xFB\x02\x00\x11\x00", 5));
    stored = stored && session_.DevicePause(1000, Index);
    ShowBusy(false);
    stored = stored && session_.DevicePause(500, Index) && session_.DeviceTookQueued(Index);
    EnableButtons(true);
    if (stored) Button1002Click();
}

void TPageEIN::Button1002Click() { Pages().BackToMenu(); }

void TPageEIN::Button1003Click() {
    EnableButtons(false);
    ShowBusy(true, GetCompText(1102));
    LetWindowsRepaint();
    if (Pages().EI2->ReadLockingWords()) {
        ShowBusy(false);
        Pages().EI2->Show();
    } else {
        ShowBusy(false);
    }
    EnableButtons(true);
}
