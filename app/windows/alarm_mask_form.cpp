#include "app/windows/alarm_mask_form.h"

#include "app/common/page_builder.h"
#include "app/config/block_text.h"

TForm2* Form2 = nullptr;

namespace {

const char* const kBitCaptions[8] = {
    "Not-Auf betätigt (lokal) - Panik-Alarm",
    "Brandmeldeanlage -> Eingang lokal an der Tür",
    "Aufbruch - Türkontakt -> FTÖ -> Rückmeldekontakt (KV)",
    "Aufbruch - Verriegeltmeldung -> FTÖ -> Meldekontakt (KV)",
    "VXR-Verriegelung konnte nicht verriegeln",
    "Sabotage-Alarm (Deckelkontakt und Schlüsselschalter)",
    "Türoffenzeit überschritten",
    "Fail Release Wait / Fail Release",
};

constexpr int kWidth = 432;
constexpr int kPitch = 21;

}  // namespace

TForm2::TForm2(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form2");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetCaption("Alarm-Maske");
    SetKeyPreview(true);
    const int buttonsTop = 8 + 8 * kPitch + 8;
    SetClientSize(kWidth, buttonsTop + 25 + 8);
    for (int k = 0; k < 8; ++k) {
        TAppCheckEdit* c = new TAppCheckEdit(this);
        c->SetName("CheckEdit" + std::to_string(k + 1));
        c->SetParent(this);
        c->SetBounds(8, 8 + k * kPitch, kWidth - 16, 17);
        c->SetCaption(kBitCaptions[k]);
        CheckEdit[k] = c;
    }
    TPageBuilder b(this);
    Button1 = b.Button(this, "Button1", "&OK", kWidth - 8 - 73 - 8 - 73, buttonsTop, 73);
    Button1->SetDefault(true);
    Button1->OnClick = [this](TObject*) { Button1Click(); };
    Button2 = b.Button(this, "Button2", "&Abbruch", kWidth - 8 - 73, buttonsTop, 73);
    Button2->OnClick = [this](TObject*) { Button2Click(); };
    OnKeyPress = [this](TObject*, char32_t& Key) { FormKeyPress(Key); };
}

void TForm2::Button1Click() {
    std::string text = "........";
    for (int k = 1; k <= 8; ++k) SetMaskChar(text, k, CheckEdit[k - 1]->Checked());
    MaskText = text;
    SetModalResult(mrOk);
}

void TForm2::Button2Click() { SetModalResult(mrCancel); }

void TForm2::FormKeyPress(char32_t& Key) {
    if (Key != 27) return;
    Key = 0;
    SetModalResult(mrCancel);
}

std::string ShowAlarmMask(const std::string& mask) {
    if (!Form2) return mask;
    Form2->MaskText = mask;
    for (int k = 1; k <= 8; ++k) Form2->CheckEdit[k - 1]->SetChecked(MaskCharIsSet(mask, k));
    Form2->ShowModal();
    return Form2->MaskText;
}
