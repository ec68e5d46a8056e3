#include "platform/forms/file_dialog.h"

#include <cstdlib>
#include <memory>

#include "platform/forms/file_dialog_form.h"

namespace {

std::string& LastFolder() {
    static std::string folder;
    return folder;
}

}  // namespace

const std::string& LastFileDialogFolder() { return LastFolder(); }

void ForgetLastFileDialogFolder() { LastFolder().clear(); }

std::string ExpandHomeFolder(const std::string& path) {
    if (path.empty() || path[0] != '~' || (path.size() > 1 && path[1] != '/')) return path;
    const char* home = std::getenv("HOME");
    if (!home || !*home) return path;
    return std::string(home) + path.substr(1);
}

TOpenDialog::TOpenDialog(TComponent* AOwner) : TComponent(AOwner) {}

void TOpenDialog::SetDefaultExt(const std::string& v) { defaultExt_ = !v.empty() && v[0] == '.' ? v.substr(1) : v; }

bool TOpenDialog::Execute() {
    auto form = std::make_unique<TFileDialogForm>(this);
    if (form->ShowModal() != mrOk) return false;
    fileName_ = form->ChosenFile();
    filterIndex_ = form->FilterIndex();
    const size_t slash = fileName_.rfind('/');
    if (slash != std::string::npos) LastFolder() = fileName_.substr(0, slash + 1);
    return true;
}
