#include "platform/forms/file_dialog.h"

#include <memory>

#include "platform/forms/file_dialog_form.h"

TOpenDialog::TOpenDialog(TComponent* AOwner) : TComponent(AOwner) {}

void TOpenDialog::SetDefaultExt(const std::string& v) {
    defaultExt_ = !v.empty() && v[0] == '.' ? v.substr(1) : v;
}

bool TOpenDialog::Execute() {
    auto form = std::make_unique<TFileDialogForm>(this);
    if (form->ShowModal() != mrOk) return false;
    fileName_ = form->ChosenFile();
    filterIndex_ = form->FilterIndex();
    return true;
}
