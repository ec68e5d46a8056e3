#include "app/pages/configuration/page_pwx.h"

#include "app/common/start_options.h"
#include "app/pages/configuration/page_tst.h"
#include "app/pages/main_pages.h"
#include "program/text_utils.h"

TPagePWX::TPagePWX(TMainPages& pages) : TMainPage(pages, Index) {
    TPage* p = Sheet();
    Label1901 = b_.Label(p, "Label1901", "Passwort eingeben:", 16, 20);
    MaskEdit191 = b_.Make<TMaskEdit>(p, "MaskEdit191", 136, 16, 121, 21);
    MaskEdit191->SetPasswordChar(U'*');
    const auto row = b_.ButtonRow(p, {{"Button191", "&OK"}, {"Button192", "&Abbruch"}});
    Button191 = row[0];
    Button192 = row[1];
    Button191->SetDefault(true);
    Button191->OnClick = [this](TObject*) { Button191Click(); };
    Button192->OnClick = [this](TObject*) { Button192Click(); };
}

void TPagePWX::Button191Click() {
    if (UpperCaseDEStr(MaskEdit191->Text()) == kTestPagePassWord) {
        Pages().TST->Show();
        return;
    }
    MaskEdit191->SetText("");
    MaskEdit191->SetFocus();
}

void TPagePWX::Button192Click() { Pages().CloseProgram(); }
