#include "app/common/app_controls.h"

TAppImageEdit::TAppImageEdit(TComponent* AOwner) : TvxImageEdit(AOwner) { SetDropDownRows(25); }

void TAppImageEdit::ItemsChanged() {
    if (ItemIndex() < 0 && !Text().empty()) SetText("");
    Invalidate();
}

void TAppImageEdit::SetItems(const std::vector<std::pair<std::string, int>>& items) {
    Descriptions()->Clear();
    ImageIndexes()->Clear();
    Values()->Clear();
    for (const auto& [description, value] : items) {
        Descriptions()->Add(description);
        ImageIndexes()->Add(std::to_string(value));
        Values()->Add(std::to_string(value));
    }
    ItemsChanged();
}

std::string TAppImageEdit::EditValue() const { return ItemIndex() >= 0 ? Text() : std::string(); }

void TAppImageEdit::SetEditValue(const std::string& v) { SetText(v); }

void SetAppEditorLook(TvxEditStyleController* controller) {
    controller->BeginUpdate();
    controller->SetBorderStyle(xbsFlat);
    controller->SetShadow(true);
    controller->EndUpdate();
}

void TieEditorsToStyleController(TComponent* owner, TvxEditStyleController* controller) {
    for (int i = 0; i < owner->ComponentCount(); ++i)
        if (auto* edit = dynamic_cast<TvxInplaceEdit*>(owner->Components(i)); edit && !edit->IsInplace())
            edit->SetStyleController(controller);
}
