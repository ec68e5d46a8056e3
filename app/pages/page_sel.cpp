#include "app/pages/page_sel.h"

#include "app/common/comp_text.h"
#include "app/common/cust_msg.h"
#include "app/config/function_catalogue.h"
#include "app/pages/configuration/page_com.h"
#include "app/pages/control/page_coc.h"
#include "app/pages/controller/page_ct1.h"
#include "app/pages/main_pages.h"
#include "app/windows/comp_list_form.h"
#include "app/windows/msg_form.h"
#include "platform/classes/file_utils.h"
#include "platform/classes/mem_ini_file.h"
#include "platform/rtl/scope_exit.h"
#include "program/program_context.h"
#include "program/program_dirs.h"
#include "program/text_utils.h"

TPageSEL::TPageSEL(TMainPages& pages) : TMainPage(pages, Index) {
    TPage* p = Sheet();
    Label001 = b_.Label(p, "Label001", "Modus auswählen:", 16, 16, true);
    Button001 = b_.Button(p, "Button001", "System steuern oder konfigurieren", 16, 40, 264);
    Button002 = b_.Button(p, "Button002", "Portalis konfigurieren", 16, 72, 264);
    Button003 = b_.Button(p, "Button003", "MOLT-30 konfigurieren", 16, 104, 264);
    Button004 = b_.Button(p, "Button004", "KZN konfigurieren", 16, 136, 264);
    Image2 = b_.Make<TImage>(p, "Image2", 8, kPageHeight - 8 - 32, 32, 32);
    Image3 = b_.Make<TImage>(p, "Image3", kPageWidth - 8 - 32, kPageHeight - 8 - 32, 32, 32);
    Button001->OnClick = [this](TObject*) { Button001Click(); };
    Button002->OnClick = [this](TObject*) { Button002Click(); };
    Button003->OnClick = [this](TObject*) { Button003Click(); };
    Image2->OnDblClick = [this](TObject*) { Image2DblClick(); };
    Image3->OnDblClick = [this](TObject*) { Image3DblClick(); };
}

void TPageSEL::Button001Click() { Pages().COC->Show(); }
void TPageSEL::Button002Click() { Pages().COM->Show(); }
void TPageSEL::Button003Click() { Pages().CT1->Show(); }

void TPageSEL::Image2DblClick() {
    if (CustMessageDlg(GetCompText(1216), mtCustConfirmation, mbCustYes | mbCustNo, 0) != mrYes || !FormCompLst) return;
    ShowInfoMsg("Get Component List ...");
    TScopeExit hide([] { HideInfoMsg(); });
    FormCompLst->GetCompList();
    const std::string file = Program().BaseDir + "COMP.TXT";
    DeleteFile(file);
    FormCompLst->SaveCompList(file);
}

void TPageSEL::Image3DblClick() {
    if (CustMessageDlg(GetCompText(1217), mtCustConfirmation, mbCustYes | mbCustNo, 0) != mrYes) return;
    ShowInfoMsg("Get Function List ...");
    TScopeExit hide([] { HideInfoMsg(); });
    const std::string found = FindFileCaseInsensitive(Program().BaseDir, "TOVAK.FLX");
    // Written whole at the end, through a temporary file: a failed write keeps the old list.
    TMemIniFile ini(found.empty() ? Program().BaseDir + "TOVAK.FLX" : found);
    for (int code = 0; code < 256; ++code)
        ini.WriteString(code < 0x80 ? "INPFUNCS" : "OUTFUNCS", IntToHex16(static_cast<uint32_t>(code), 2),
                        FunctionCatalogue()[static_cast<size_t>(code)]);
    ini.UpdateFile();
}
