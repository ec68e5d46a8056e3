#pragma once
// The pages of the main window's notebook Notebook1, one object per page, built in page
// order (so the components keep their order for the control-text catalogue). A new page
// class takes its place here: a field named after the page, and a line in the constructor.

#include <memory>

#include "app/pages/page_ben.h"
#include "app/pages/page_cfg.h"
#include "app/pages/page_coc.h"
#include "app/pages/page_com.h"
#include "app/pages/page_ct1.h"
#include "app/pages/page_ct2.h"
#include "app/pages/page_dev.h"
#include "app/pages/page_ei2.h"
#include "app/pages/page_eig.h"
#include "app/pages/page_ein.h"
#include "app/pages/page_ins.h"
#include "app/pages/page_ldc.h"
#include "app/pages/page_men.h"
#include "app/pages/page_net.h"
#include "app/pages/page_pwx.h"
#include "app/pages/page_rdx.h"
#include "app/pages/page_rod.h"
#include "app/pages/page_sel.h"
#include "app/pages/page_stg.h"
#include "app/pages/page_svc.h"
#include "app/pages/page_tst.h"
#include "app/pages/page_tx1.h"
#include "app/pages/page_tx2.h"
#include "app/pages/page_war.h"
#include "app/pages/page_waw.h"
#include "app/pages/page_wrx.h"

struct TMainPages {
    explicit TMainPages(TForm1& form);

    std::unique_ptr<TPageSEL> SEL;
    std::unique_ptr<TPageCOM> COM;
    std::unique_ptr<TPageRDX> RDX;
    std::unique_ptr<TPageCFG> CFG;
    std::unique_ptr<TPageWRX> WRX;
    std::unique_ptr<TPageTST> TST;
    std::unique_ptr<TPageCOC> COC;
    std::unique_ptr<TPageMEN> MEN;
    std::unique_ptr<TPageSTG> STG;
    std::unique_ptr<TPageBEN> BEN;
    std::unique_ptr<TPageEIN> EIN;
    std::unique_ptr<TPageEI2> EI2;
    std::unique_ptr<TPageINS> INS;
    std::unique_ptr<TPageWAR> WAR;
    std::unique_ptr<TPageWAW> WAW;
    std::unique_ptr<TPageEIG> EIG;
    std::unique_ptr<TPageDEV> DEV;
    std::unique_ptr<TPageNET> NET;
    std::unique_ptr<TPageROD> ROD;
    std::unique_ptr<TPagePWX> PWX;
    std::unique_ptr<TPageTX1> TX1;
    std::unique_ptr<TPageTX2> TX2;
    std::unique_ptr<TPageLDC> LDC;
    std::unique_ptr<TPageSVC> SVC;
    std::unique_ptr<TPageCT1> CT1;
    std::unique_ptr<TPageCT2> CT2;
};
