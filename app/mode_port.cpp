// Mode selection and port choice of the main window: the port search that fills the three
// roads' port lists, and the Esc key.

#include "app/common/esc_key.h"
#include "app/common/main_settings.h"
#include "app/common/start_options.h"
#include "app/device/port_search.h"
#include "app/main_form.h"
#include "app/pages/configuration/page_com.h"
#include "app/pages/control/page_coc.h"
#include "app/pages/control/page_ins.h"
#include "app/pages/controller/page_ct1.h"
#include "app/pages/jobs/page_rod.h"
#include "app/pages/main_pages.h"
#include "link/delay.h"
#include "program/program_context.h"

void TForm1::SearchSerialPorts() {
    const std::vector<SerialCommEntry> entries = EnumerateSerialPorts();
    TPageCOM& com = *pages_->COM;
    com.ListBox101->Clear();
    com.ListBox102->Clear();
    for (const SerialCommEntry& e : entries) {
        com.ListBox101->Items()->Add(e.Name);
        com.ListBox102->Items()->Add(e.Data);
    }
    TPageCOC& coc = *pages_->COC;
    TPageCT1& ct1 = *pages_->CT1;
    TAppImageEdit* lists[3] = {com.ImageEdit101, coc.ImageEdit601, ct1.ImageEdit2401};
    TAppEdit* edits[3] = {com.Edit101, coc.Edit601, ct1.Edit2401};
    std::string remembered[3];
    for (TAppImageEdit* l : lists) {
        l->Descriptions()->Clear();
        l->ImageIndexes()->Clear();
        l->Values()->Clear();
    }
    const std::vector<TFoundPort> found = VirtualComPorts(entries);
    for (const TFoundPort& p : found) {
        const std::string n = std::to_string(p.Number);
        for (int k = 0; k < 3; ++k) {
            if (edits[k]->Text() == n) remembered[k] = edits[k]->Text();
            lists[k]->Descriptions()->Add(p.Name);
            lists[k]->ImageIndexes()->Add(n);
            lists[k]->Values()->Add(n);
        }
    }
    for (TAppImageEdit* l : lists) l->ItemsChanged();
    // An adapter plugged in since the last search brings its page and its button back.
    TNotebook* portBooks[3] = {com.Notebook2, coc.Notebook3, ct1.Notebook2401};
    TAppButton* starts[3] = {com.Button101, coc.Button601, ct1.Button2401};
    if (!found.empty())
        for (int k = 0; k < 3; ++k)
            if (portBooks[k]->PageIndex() == 2) {
                portBooks[k]->SetPageIndex(1);
                starts[k]->SetEnabled(true);
            }
    if (found.empty()) {
        com.Notebook2->SetPageIndex(2);
        coc.Notebook3->SetPageIndex(2);
        ct1.Notebook2401->SetPageIndex(2);
        com.Button101->SetEnabled(false);
        coc.Button601->SetEnabled(false);
        ct1.Button2401->SetEnabled(false);
        return;
    }
    for (int k = 0; k < 3; ++k)
        lists[k]->SetEditValue(!remembered[k].empty() ? remembered[k] : lists[k]->Values()->Strings(0));
}

void TForm1::PortPageShown() {
    const int page = Notebook1->PageIndex();
    if (Csm == 1 && (page == TPageCOM::Index || page == TPageCOC::Index || page == TPageCT1::Index))
        SearchSerialPorts();
}

void TForm1::FormKeyPress(char32_t& Key) {
    if (Key != 27) return;
    // A field that takes Esc for itself (a masked field undoing what was typed, as its error
    // message tells the user to) gets it; the page is left with the next Esc.
    if (TWinControl* field = ActiveControl(); field && field->Perform(CM_WANTSPECIALKEY, VK_ESCAPE, 0) != 0) return;
    const TEscAction a = EscKeyAction(Program().KeyEnd, Notebook1->PageIndex(), pages_->InstallActive,
                                      session_->LinkState.PortOpen);
    if (!a.Handled) return;
    // Cycles left running would queue requests on the closed link that leave, stale, when
    // the port opens again.
    if (Notebook1->PageIndex() == TPageROD::Index) pages_->ROD->StopReadOut();
    if (a.EndInstallStep) {
        session_->Link().EnqueueRequest(std::string("\xFB\x02\x00\x50\x17", 5));
        Delay(200);
        pages_->InstallActive = false;
    }
    if (a.ClosePort) session_->ClosePort();
    if (a.CloseProgram) {
        Delay(500);
        Close();
    } else if (a.ToStartPage) {
        Notebook1->SetPageIndex(kPageStart);
        pages_->INS->RewindWizard();
    }
}
