#include "app/pages/catalogue/page_tx2.h"

#include "app/common/comp_text.h"
#include "app/pages/main_pages.h"

TPageTX2::TPageTX2(TMainPages& pages) : TMainPage(pages, Index) {
    TPage* p = Sheet();
    CreateCompTextLabels(&Window(), p, 1);
}
