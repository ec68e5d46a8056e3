#include "app/pages/page_tx2.h"

#include "app/comp_text.h"
#include "app/main_form.h"

TPageTX2::TPageTX2(TForm1& form) : TMainPage(form, Index) {
    TPage* p = Sheet();
    CreateCompTextLabels(&form, p, 1);
}
