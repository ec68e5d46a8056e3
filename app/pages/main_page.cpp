#include "app/pages/main_page.h"

#include "app/main_form.h"
#include "link/wait_for.h"

TMainPage::TMainPage(TForm1& form, int index)
    : form_(form), session_(form.Session()), b_(&form), index_(index), sheet_(form.Notebook1->Page(index)) {}

void TMainPage::Show() { form_.Notebook1->SetPageIndex(index_); }

TMainPages& TMainPage::Pages() const { return form_.Pages(); }

void TMainPage::LetWindowsRepaint() { PumpMessages(); }
