#include "app/app_controls.h"

TAppImageEdit::TAppImageEdit(TComponent* AOwner)
    : TComboBox(AOwner),
      descriptions_(std::make_unique<TStringList>()),
      imageIndexes_(std::make_unique<TStringList>()),
      values_(std::make_unique<TStringList>()) {
    SetStyle(csDropDownList);
    SetDropDownCount(25);
}

void TAppImageEdit::ItemsChanged() {
    const std::string value = EditValue();
    Items()->BeginUpdate();
    Items()->Clear();
    for (int i = 0; i < descriptions_->Count(); ++i) Items()->Add(descriptions_->Strings(i));
    Items()->EndUpdate();
    SetEditValue(value);
}

std::string TAppImageEdit::EditValue() const {
    const int i = ItemIndex();
    return i >= 0 && i < values_->Count() ? values_->Strings(i) : std::string();
}

void TAppImageEdit::SetEditValue(const std::string& v) {
    int found = -1;
    for (int i = 0; i < values_->Count() && i < Items()->Count(); ++i)
        if (values_->Strings(i) == v) {
            found = i;
            break;
        }
    SetItemIndex(found);
}
