#include "app/pages/control/page_eig.h"

#include "app/common/comp_text.h"
#include "app/pages/main_pages.h"
#include "link/delay.h"
#include "platform/win/message_queue.h"
#include "program/text_utils.h"

TPageEIG::TPageEIG(TMainPages& pages) : TMainPage(pages, Index) {
    TPage* p = Sheet();
    Label1500 = b_.Label(p, "Label1500", "Geräte-Einstellungen", 16, 16, true);
    Label1505 = b_.Label(p, "Label1505", "Busadresse:", 16, 52);
    Label1503 = b_.Label(p, "Label1503", "", 136, 52);
    Label1506 = b_.Label(p, "Label1506", "Seriennummer:", 16, 76);
    Label1504 = b_.Label(p, "Label1504", "", 136, 76);
    Label1507 = b_.Label(p, "Label1507", "Eingang:", 16, 108);
    ImageEdit1501 = b_.ImageEdit(p, "ImageEdit1501", 136, 104, 264);
    CheckEdit1501 = b_.Make<TAppCheckEdit>(p, "CheckEdit1501", 136, 136, 200, 17);
    CheckEdit1501->SetCaption("\"Dauer Auf\" aussen");
    CheckEdit1502 = b_.Make<TAppCheckEdit>(p, "CheckEdit1502", 136, 160, 200, 17);
    CheckEdit1502->SetCaption("\"Dauer Auf\" innen");
    Label1508 = b_.Label(p, "Label1508", "Ausgang:", 16, 196);
    ImageEdit1502 = b_.ImageEdit(p, "ImageEdit1502", 136, 192, 264);
    Label1501 = b_.Label(p, "Label1501", "", 16, 332);
    Label1501->SetVisible(false);
    ProgressBar1501 = b_.Make<TProgressBar>(p, "ProgressBar1501", 16, 352, 384, 16);
    ProgressBar1501->SetVisible(false);
    const auto row = b_.ButtonRow(p, {{"Button1501", "&OK"}, {"Button1502", "&Abbruch"}});
    Button1501 = row[0];
    Button1502 = row[1];
    ImageEdit1501->OnChange = [this](TObject*) { ImageEdit1501Change(); };
    Button1501->OnClick = [this](TObject*) { Button1501Click(); };
    Button1502->OnClick = [this](TObject*) { Pages().BackToMenu(); };
}

void TPageEIG::FillOptionLists() {
    ImageEdit1501->SetItems({{GetCompText(1501), 0}, {GetCompText(1502), 1}});
    ImageEdit1502->SetItems({{GetCompText(1511), 0}, {GetCompText(1512), 1}, {GetCompText(1513), 2}});
}

void TPageEIG::ShowTerminalSettings() {
    const TDoorSystemRecord& door = session_.LinkState.DoorSystem;
    int terminal = 0;
    for (int s = 1; s <= 12; ++s)
        if (door.Slots[static_cast<size_t>(s)].DeviceTypeHex == "00000309") terminal = s;
    if (terminal > 0) {
        Label1503->SetCaption(std::to_string(door.Slots[static_cast<size_t>(terminal)].BusAddress));
        Label1504->SetCaption(door.Slots[static_cast<size_t>(terminal)].HexValue1);
    } else {
        Label1503->SetCaption(GetCompText(1104));
        Label1504->SetCaption("");
    }
    const TTerminalSettings& t = session_.LinkState.TerminalSettings;
    ImageEdit1501->SetEditValue(std::to_string(t.InputFunction));
    ImageEdit1502->SetEditValue(std::to_string(t.OutputFunction));
    CheckEdit1501->SetChecked(t.PermOpenOutside);
    CheckEdit1502->SetChecked(t.PermOpenInside);
    ImageEdit1501Change();
}

void TPageEIG::ImageEdit1501Change() {
    const bool reader = StrToIntVal(ImageEdit1501->EditValue()) != 0;
    CheckEdit1501->SetVisible(reader);
    CheckEdit1502->SetVisible(reader);
}

void TPageEIG::ShowBusy(bool busy) {
    if (busy) {
        Button1501->SetEnabled(false);
        Button1502->SetEnabled(false);
        Label1501->SetCaption(GetCompText(1101));
        Label1501->SetVisible(true);
        ProgressBar1501->SetPosition(0);
        ProgressBar1501->SetVisible(true);
    } else {
        Label1501->SetVisible(false);
        ProgressBar1501->SetVisible(false);
        Button1501->SetEnabled(true);
        Button1502->SetEnabled(true);
    }
}

void TPageEIG::TickBusyBar() { AdvanceBusyBar(ProgressBar1501); }

void TPageEIG::Button1501Click() {
    ShowBusy(true);
    LetWindowsRepaint();
    TTerminalSettings& t = session_.LinkState.TerminalSettings;
    t.InputFunction = StrToIntVal(ImageEdit1501->EditValue());
    t.PermOpenOutside = t.InputFunction != 0 && CheckEdit1501->Checked();
    t.PermOpenInside = t.InputFunction != 0 && CheckEdit1502->Checked();
    t.OutputFunction = StrToIntVal(ImageEdit1502->EditValue());
    t.Raw = {static_cast<uint8_t>(t.InputFunction),
             static_cast<uint8_t>((t.PermOpenOutside ? 1 : 0) + (t.PermOpenInside ? 2 : 0)),
             static_cast<uint8_t>(t.OutputFunction), 0};
    std::string request("\xFB\x02\x04\x0E\x21", 5);
    for (uint8_t b : t.Raw) request += static_cast<char>(b);
    const bool stored = session_.QueueForDevice(request) && session_.DevicePause(1500, Index) &&
                        session_.DeviceTookQueued(Index);
    ShowBusy(false);
    if (stored) Pages().BackToMenu();
}
