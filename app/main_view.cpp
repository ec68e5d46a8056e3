// The main window's controls as the device link sees them: addressed by name.

#include "app/main_form.h"

std::string TForm1::ControlText(const std::string& name) {
    TControl* c = Ctl<TControl>(name);
    return c ? c->Text() : std::string();
}

void TForm1::SetControlText(const std::string& name, const std::string& text) {
    if (TControl* c = Ctl<TControl>(name)) c->SetText(text);
}

void TForm1::SetShapeColor(const std::string& name, uint32_t color) {
    if (TShape* s = Ctl<TShape>(name)) s->Brush()->SetColor(static_cast<TColor>(color));
}

void TForm1::SetFontColor(const std::string& name, uint32_t color) {
    if (TControl* c = Ctl<TControl>(name)) c->Font()->SetColor(static_cast<TColor>(color));
}

bool TForm1::ControlVisible(const std::string& name) {
    TControl* c = Ctl<TControl>(name);
    return c && c->Visible();
}

void TForm1::SetControlVisible(const std::string& name, bool visible) {
    if (TControl* c = Ctl<TControl>(name)) c->SetVisible(visible);
}

void TForm1::SetListItems(const std::string& name, const std::vector<std::string>& items) {
    TListBox* list = Ctl<TListBox>(name);
    if (!list) return;
    list->Items()->BeginUpdate();
    list->Items()->Clear();
    for (const std::string& item : items) list->Items()->Add(item);
    list->Items()->EndUpdate();
}

void TForm1::SetStatusPanel(int index, const std::string& text) {
    if (index >= 0 && index < StatusBar1->Panels()->Count()) StatusBar1->Panels()->Items(index)->SetText(text);
}

void TForm1::ShowStatusBits(uint16_t word, const std::string& list_name) {
    slots_->ShowStatusBits(word, Ctl<TListBox>(list_name));
}

void TForm1::ShowDeviceSlots() { slots_->ShowDeviceSlots(); }
void TForm1::ShowSlotErrors() { slots_->ShowSlotErrors(); }
