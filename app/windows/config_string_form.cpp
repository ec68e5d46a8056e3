#include "app/windows/config_string_form.h"

#include "app/common/page_builder.h"

#include "platform/forms/label.h"

TForm3* Form3 = nullptr;

namespace {

constexpr int kWidth = 296;
constexpr int kPitch = 25;

}  // namespace

TForm3::TForm3(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form3");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetCaption("Konfigurationsstring");
    auto field = [this](int line, const std::string& caption, int left, int top, int width) {
        TLabel* l = new TLabel(this);
        l->SetName("Label" + std::to_string(line));
        l->SetParent(this);
        l->SetBounds(left, top + 4, 32, 13);
        l->SetCaption(caption);
        TAppEdit* e = new TAppEdit(this);
        e->SetName("Edit" + std::to_string(line));
        e->SetParent(this);
        e->SetBounds(left + 40, top, width, 21);
        e->SetText("");
        edits_[line - 1] = e;
    };
    for (int line = 1; line <= 20; ++line) {
        const int column = (line - 1) / 10, k = (line - 1) % 10;
        field(line, (line < 10 ? "0" : "") + std::to_string(line) + ":", 8 + column * 144, 8 + k * kPitch, 88);
    }
    const int restTop = 8 + 10 * kPitch;
    field(21, "Rest:", 8, restTop, kWidth - 56);
    const int buttonsTop = restTop + 21 + 16;
    SetClientSize(kWidth, buttonsTop + 25 + 8);
    TPageBuilder b(this);
    Button1 = b.Button(this, "Button1", "&OK", kWidth - 8 - 73 - 8 - 73, buttonsTop, 73);
    Button1->SetDefault(true);
    Button1->OnClick = [this](TObject*) { Button1Click(); };
    Button2 = b.Button(this, "Button2", "&Abbruch", kWidth - 8 - 73, buttonsTop, 73);
    Button2->SetCancel(true);
    Button2->OnClick = [this](TObject*) { Button2Click(); };
}

TAppEdit* TForm3::ConfigStringEdit(int line) { return line >= 1 && line <= 21 ? edits_[line - 1] : nullptr; }

void TForm3::SplitToEdits(const std::string& text) {
    const TConfigLines lines = SplitConfigString(text);
    for (int line = 1; line <= 21; ++line) edits_[line - 1]->SetText(lines[static_cast<size_t>(line - 1)]);
}

std::string TForm3::JoinEdits() {
    TConfigLines lines;
    for (int line = 1; line <= 21; ++line) lines[static_cast<size_t>(line - 1)] = edits_[line - 1]->Text();
    return JoinConfigString(lines);
}

void TForm3::Button1Click() {
    Ok = true;
    SetModalResult(mrOk);
}

void TForm3::Button2Click() { SetModalResult(mrCancel); }

bool EditConfigString(std::string& text) {
    if (!Form3) return false;
    Form3->Ok = false;
    Form3->Text = text;
    Form3->SplitToEdits(text);
    Form3->ShowModal();
    if (!Form3->Ok) return false;
    text = Form3->JoinEdits();
    Form3->Text = text;
    return true;
}
