// Every page of the main window against the names its controls have: each control exists,
// is of its class and sits on its page; each page class sits on its notebook page; and a
// name made at run time that does not exist fails naming the control.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/common/named_control.h"
#include "app/common/page_builder.h"
#include "app/pages/catalogue/page_tx1.h"
#include "app/pages/catalogue/page_tx2.h"
#include "app/pages/configuration/page_cfg.h"
#include "app/pages/configuration/page_com.h"
#include "app/pages/configuration/page_pwx.h"
#include "app/pages/configuration/page_rdx.h"
#include "app/pages/configuration/page_tst.h"
#include "app/pages/configuration/page_wrx.h"
#include "app/pages/control/page_ben.h"
#include "app/pages/control/page_coc.h"
#include "app/pages/control/page_dev.h"
#include "app/pages/control/page_ei2.h"
#include "app/pages/control/page_eig.h"
#include "app/pages/control/page_ein.h"
#include "app/pages/control/page_ins.h"
#include "app/pages/control/page_men.h"
#include "app/pages/control/page_stg.h"
#include "app/pages/control/page_war.h"
#include "app/pages/control/page_waw.h"
#include "app/pages/controller/page_ct1.h"
#include "app/pages/controller/page_ct2.h"
#include "app/pages/jobs/page_ldc.h"
#include "app/pages/jobs/page_net.h"
#include "app/pages/jobs/page_rod.h"
#include "app/pages/jobs/page_svc.h"
#include "app/pages/page_sel.h"
#include "link/form_sercom.h"
#include "link/link_view.h"
#include "tests/app/app_test_support.h"

namespace {

struct Expected {
    int page;
    std::string name;
    std::string className;
};

// Adds `prefix` + n for n in [first, last].
void Run(std::vector<Expected>& out, int page, const std::string& prefix, int first, int last, const std::string& cls) {
    for (int n = first; n <= last; ++n) out.push_back({page, prefix + std::to_string(n), cls});
}

std::vector<Expected> PartControls() {
    const std::string button = "TvxButton", edit = "TvxEdit", check = "TvxCheckEdit", image = "TvxImageEdit";
    std::vector<Expected> c = {
        {0, "Button001", button},
        {0, "Button002", button},
        {0, "Button003", button},
        {0, "Button004", button},
        {1, "Label7", "TLabel"},
        {1, "Notebook2", "TNotebook"},
        {1, "Edit101", edit},
        {1, "ImageEdit101", image},
        {1, "ListBox101", "TListBox"},
        {1, "ListBox102", "TListBox"},
        {2, "Label8", "TLabel"},
        {2, "Shape201", "TShape"},
        {2, "Label9", "TLabel"},
        {2, "Shape202", "TShape"},
        {2, "Label10", "TLabel"},
        {3, "ImageEdit300", image},
        {3, "PageControl1", "TPageControl"},
        {3, "TabSheet1", "TTabSheet"},
        {3, "TabSheet2", "TTabSheet"},
        {3, "Label31", "TLabel"},
        {3, "Label32", "TLabel"},
        {3, "Notebook91", "TNotebook"},
        {3, "Notebook92", "TNotebook"},
        {3, "Button311", button},
        {3, "Button312", button},
        {3, "Button911", button},
        {3, "Button912", button},
        {3, "Button921", button},
        {3, "Button922", button},
        {4, "Label28", "TLabel"},
        {4, "Shape401", "TShape"},
        {4, "Label29", "TLabel"},
        {4, "Shape402", "TShape"},
        {4, "Label30", "TLabel"},
        {4, "Button401", button},
        {4, "Button402", button},
        {5, "Label1", "TLabel"},
        {5, "Edit501", edit},
        {5, "Edit502", edit},
        {5, "Edit503", edit},
        {5, "Edit552", edit},
        {5, "Edit553", edit},
        {5, "Label502", "TLabel"},
        {5, "Label511", "TLabel"},
        {5, "ComboBox551", "TComboBox"},
        {5, "TabSheet3", "TTabSheet"},
        {5, "TabSheet4", "TTabSheet"},
        {5, "PageControl2", "TPageControl"},
        {5, "Button551", button},
        {5, "Button552", button},
        {5, "Button553", button},
        {6, "Notebook3", "TNotebook"},
        {6, "Edit601", edit},
        {6, "ImageEdit601", image},
        {6, "Button601", button},
        {7, "ProgressBar701", "TProgressBar"},
        {7, "Label701", "TLabel"},
        {7, "Label702", "TLabel"},
        {7, "CheckEdit701", check},
        {8, "Label80", "TLabel"},
        {8, "Shape81", "TShape"},
        {8, "Label81", "TLabel"},
        {8, "Shape82", "TShape"},
        {8, "Label82", "TLabel"},
        {8, "ListBox81", "TListBox"},
        {8, "ListBox82", "TListBox"},
        {8, "ListBox83", "TListBox"},
        {8, "Label189", "TLabel"},
        {8, "Label800", "TLabel"},
        {10, "ProgressBar1001", "TProgressBar"},
        {12, "Notebook11", "TNotebook"},
        {12, "ListBox11", "TListBox"},
        {12, "ProgressBar11", "TProgressBar"},
        {12, "Shape11051", "TShape"},
        {12, "Label11051", "TLabel"},
        {14, "Notebook21", "TNotebook"},
        {14, "Label190", "TLabel"},
        {15, "ImageEdit1501", image},
        {15, "ImageEdit1502", image},
        {15, "ProgressBar1501", "TProgressBar"},
        {19, "MaskEdit191", "TMaskEdit"},
        {20, "LabelX1001", "TLabel"},
        {21, "LabelX2202", "TLabel"},
        {22, "Button221", button},
        {23, "Button231", button},
        {24, "Notebook2401", "TNotebook"},
        {24, "Edit2401", edit},
        {24, "ImageEdit2401", image},
        {24, "Button2401", button},
    };
    Run(c, 1, "Button", 101, 103, button);
    Run(c, 2, "Button", 201, 203, button);
    Run(c, 3, "Button", 301, 304, button);
    for (int first : {1, 21, 41, 61}) {
        Run(c, 3, "Label", 300 + first, 315 + first, "TLabel");
        Run(c, 3, "ImageEdit", 300 + first, 315 + first, image);
        Run(c, 3, "CheckEdit", 300 + first, 315 + first, check);
        Run(c, 3, "Edit", 300 + first, 315 + first, edit);
    }
    Run(c, 3, "Button", 321, 336, button);  // the mask buttons of the output rows
    Run(c, 3, "Button", 361, 376, button);
    Run(c, 5, "Button", 501, 511, button);
    Run(c, 5, "CheckBox", 1, 16, "TCheckBox");
    Run(c, 5, "Label", 550, 554, "TLabel");
    Run(c, 8, "Shape", 801, 812, "TShape");
    Run(c, 8, "Label", 801, 812, "TLabel");
    Run(c, 8, "Label", 821, 832, "TLabel");
    Run(c, 12, "Image", 1102, 1104, "TImage");
    Run(c, 12, "Label", 1102, 1104, "TLabel");
    Run(c, 22, "Shape", 221, 224, "TShape");
    return c;
}

// The notebook page a control sits on, -1 when it is on none.
int PageOf(TControl* control) {
    for (TWinControl* p = control->Parent(); p; p = p->Parent())
        if (p->Parent() == Form1->Notebook1)
            for (int i = 0; i < Form1->Notebook1->PageCount(); ++i)
                if (Form1->Notebook1->Page(i) == p) return i;
    return -1;
}

}  // namespace

TEST_F(AppStart, EveryPageHoldsItsControlsByNameAndClass) {
    Start();
    for (const Expected& e : PartControls()) {
        SCOPED_TRACE(e.name);
        auto* control = dynamic_cast<TControl*>(Form1->FindComponent(e.name));
        ASSERT_NE(nullptr, control);
        EXPECT_EQ(e.className, control->ClassName());
        EXPECT_EQ(e.page, PageOf(control)) << "on page " << kPageNames[e.page];
    }
}

TEST_F(AppStart, EachPageClassSitsOnItsNotebookPage) {
    Start();
    TMainPages& p = Form1->Pages();
    const std::pair<const TMainPage*, const char*> pages[] = {
        {p.SEL.get(), "SEL"}, {p.COM.get(), "COM"}, {p.RDX.get(), "RDX"}, {p.CFG.get(), "CFG"}, {p.WRX.get(), "WRX"},
        {p.TST.get(), "TST"}, {p.COC.get(), "COC"}, {p.MEN.get(), "MEN"}, {p.STG.get(), "STG"}, {p.BEN.get(), "BEN"},
        {p.EIN.get(), "EIN"}, {p.EI2.get(), "EI2"}, {p.INS.get(), "INS"}, {p.WAR.get(), "WAR"}, {p.WAW.get(), "WAW"},
        {p.EIG.get(), "EIG"}, {p.DEV.get(), "DEV"}, {p.NET.get(), "NET"}, {p.ROD.get(), "ROD"}, {p.PWX.get(), "PWX"},
        {p.TX1.get(), "TX1"}, {p.TX2.get(), "TX2"}, {p.LDC.get(), "LDC"}, {p.SVC.get(), "SVC"}, {p.CT1.get(), "CT1"},
        {p.CT2.get(), "CT2"}};
    ASSERT_EQ(Form1->Notebook1->PageCount(), static_cast<int>(std::size(pages)));
    for (int i = 0; i < static_cast<int>(std::size(pages)); ++i) {
        EXPECT_EQ(i, pages[i].first->PageIndex()) << pages[i].second;
        EXPECT_EQ(Form1->Notebook1->Page(i), pages[i].first->Sheet()) << pages[i].second;
        EXPECT_STREQ(kPageNames[i], pages[i].second);
    }
    p.CFG->Show();
    EXPECT_EQ(TPageCFG::Index, Form1->Notebook1->PageIndex());
}

TEST_F(AppStart, ARunTimeNameThatDoesNotExistFailsNamingTheControl) {
    Start();
    EXPECT_EQ(Form1->Pages().CFG->RowLabel(1), NamedControl<TLabel>(*Form1, "Label301"));
    EXPECT_EQ(nullptr, Form1->Pages().CFG->RowMaskButton(1));  // an input row has no mask button
    try {
        NamedControl<TLabel>(*Form1, "Label317");  // row 17 does not exist
        FAIL();
    } catch (const EControlNotFound& e) {
        EXPECT_NE(std::string::npos, e.Message().find("Form1.Label317"));
    }
    EXPECT_THROW(NamedControl<TShape>(*Form1, "Label301"), EControlNotFound);
}

// The link's view of the window and the recording stand-in of the link's tests must name
// the same controls; this is the window's side.
TEST_F(AppStart, WhatTheLinkShowsLandsOnThePagesControls) {
    Start();
    TLinkMainView& view = *Session().Link().MainView();
    TMainPages& p = Form1->Pages();
    view.ShowInputBlockText("01,02");
    view.ShowOutputBlockText("81,00");
    EXPECT_EQ("01,02", p.TST->Edit502->Text());
    EXPECT_EQ("81,00", view.OutputBlockText());
    view.ShowBroadcastBits("X------- --------");
    EXPECT_EQ("X------- --------", p.TST->Label511->Caption());
    view.ShowDoorStateTexts("a", "b", "c", "d", "e");
    EXPECT_EQ("a", p.TST->Label550->Caption());
    EXPECT_EQ("e", p.TST->Label554->Caption());
    view.ShowDoorLamp(0x00FF00, "Tür geöffnet");
    view.ShowLockLamp(0x0000FF, "Verriegelt");
    view.ShowWizardLockLamp(0x00FFFF, "Tür verriegelt");
    EXPECT_EQ(0x00FF00, p.STG->Shape82->Brush()->Color());
    EXPECT_EQ("Verriegelt", p.STG->Label81->Caption());
    EXPECT_EQ("Tür verriegelt", p.INS->Label11051->Caption());
    view.ShowPendingAlarms(0x0003);
    view.ShowAlarmsToAcknowledge(0x0004);
    EXPECT_EQ(2, p.STG->ListBox81->Count());
    EXPECT_EQ(1, p.STG->ListBox82->Count());
    view.ShowBusState({"x", "y"});
    EXPECT_EQ(2, p.STG->ListBox83->Count());
    view.ShowSystemInfoText("Tor 4");
    EXPECT_EQ("Tor 4", p.STG->Label80->Caption());
    EXPECT_FALSE(view.InstallProgressShown());
    p.INS->Label1103->Font()->SetColor(0x808080);
    view.MarkInstallStepDone(3);
    EXPECT_EQ(0x000000, p.INS->Label1103->Font()->Color());
    EXPECT_TRUE(p.INS->Image1103->Visible());
    EXPECT_FALSE(p.INS->Image1102->Visible());
    view.ClearReceiveTicker();
    EXPECT_EQ(" ", Form1->StatusBar1->Panels()->Items(2)->Text());
}
