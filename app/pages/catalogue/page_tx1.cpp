#include "app/pages/catalogue/page_tx1.h"

#include "app/common/comp_text.h"
#include "app/pages/main_pages.h"

TPageTX1::TPageTX1(TMainPages& pages) : TMainPage(pages, Index) {
    TPage* p = Sheet();
    CreateCompTextLabels(&Window(), p, 0);
}
