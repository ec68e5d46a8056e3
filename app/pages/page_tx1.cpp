#include "app/pages/page_tx1.h"

#include "app/comp_text.h"
#include "app/main_form.h"

TPageTX1::TPageTX1(TForm1& form) : TMainPage(form, Index) {
    TPage* p = Sheet();
    CreateCompTextLabels(&form, p, 0);
}
