// The program's pages by keyboard alone: where the focus goes, the order Tab takes, and what
// Esc does, the way a technician without a mouse works through them.

#include <gtest/gtest.h>

#include <sstream>

#include "app/common/start_options.h"
#include "app/main_form.h"
#include "app/pages/control/page_men.h"
#include "app/pages/control/page_stg.h"
#include "app/pages/controller/page_ct2.h"
#include "app/pages/main_pages.h"
#include "platform/forms/notebook.h"
#include "platform/forms/page_control.h"
#include "tests/app/control_road_support.h"

namespace {

using namespace control_road;

// The page (notebook page or tab sheet) a control sits on directly.
TWinControl* PageOf(TControl* c) {
    for (TWinControl* p = c->Parent(); p; p = p->Parent())
        if (dynamic_cast<TPage*>(p) || dynamic_cast<TTabSheet*>(p)) return p;
    return nullptr;
}

// Each place where Tab goes against the layout: the next control is neither below the
// previous one nor to its right in the same row (two controls sharing a place, of which only
// one shows at a time, are fine).
std::string TabOrderAgainstLayout(TWinControl* page) {
    std::vector<TWinControl*> list;
    page->GetTabOrderList(list);
    struct Box {
        TWinControl* control;
        TRect r;
    };
    std::vector<Box> boxes;
    const TPoint origin = page->ClientOrigin();
    for (TWinControl* c : list) {
        if (!c->TabStop() || !c->Visible() || PageOf(c) != page) continue;
        const TPoint o = c->ClientOrigin();
        const int left = o.X - origin.X, top = o.Y - origin.Y;
        boxes.push_back({c, TRect{left, top, left + c->Width(), top + c->Height()}});
    }
    std::ostringstream out;
    for (size_t i = 1; i < boxes.size(); ++i) {
        const TRect& a = boxes[i - 1].r;
        const TRect& b = boxes[i].r;
        const bool samePlace = a.Left == b.Left && a.Top == b.Top;
        const bool below = b.Top >= a.Bottom - 4;
        const bool right = b.Top < a.Bottom && a.Top < b.Bottom && b.Left >= a.Right - 4;
        if (!samePlace && !below && !right)
            out << boxes[i - 1].control->Name() << " -> " << boxes[i].control->Name() << "; ";
    }
    return out.str();
}

void CollectPages(TWinControl* w, std::vector<TWinControl*>& pages) {
    for (int i = 0; i < w->ControlCount(); ++i)
        if (auto* c = dynamic_cast<TWinControl*>(w->Controls(i))) {
            if (dynamic_cast<TPage*>(c) || dynamic_cast<TTabSheet*>(c)) pages.push_back(c);
            CollectPages(c, pages);
        }
}

}  // namespace

TEST_F(AppStart, TabFollowsTheLayoutOnEveryPage) {
    Start();
    std::vector<TWinControl*> pages;
    CollectPages(Form1, pages);
    ASSERT_GT(pages.size(), 26u);
    for (TWinControl* page : pages) {
        std::string wrong = TabOrderAgainstLayout(page);
        // The clock's fields and their check box come before the button that sets the clock
        // from them, which stands beside the first field.
        const std::string clockGroup = "CheckBox2523 -> Button2502; ";
        if (wrong == clockGroup) wrong.clear();
        EXPECT_EQ("", wrong) << page->Name() << " " << page->Caption();
    }
}

TEST_F(AppStart, EscInAHalfTypedMaskedFieldUndoesTheTypingBeforeItLeavesThePage) {
    Start();
    Form1->Notebook1->SetPageIndex(TPageCT2::Index);
    TMaskEdit* date = Form1->Pages().CT2->MaskEdit2521;
    // The date the field holds when it is entered, as after a read of the controller.
    Form1->Pages().CT2->MaskEdit2522->SetFocus();
    date->SetText("2026-12-08");
    date->SetFocus();
    Ui().PressKey(0x24);  // Home
    Ui().Type("2027");
    ASSERT_EQ("2027-12-08", date->Text());
    // The field's own Esc: what was typed goes, the page and the field stay.
    Ui().Escape();
    EXPECT_EQ(TPageCT2::Index, Form1->Notebook1->PageIndex());
    EXPECT_EQ("2026-12-08", date->Text());
    EXPECT_TRUE(date->Focused());
    // With nothing left to undo, Esc leaves the page as everywhere.
    Ui().Escape();
    EXPECT_EQ(kPageStart, Form1->Notebook1->PageIndex());
}

TEST_F(ControlRoad, AfterTheReadThePageHasTheKeyboardAtItsFirstControl) {
    ToMenu();
    TPageMEN& men = *Form1->Pages().MEN;
    men.Button711->SetFocus();
    // "Information" by Enter: its buttons are disabled while the device is read.
    Ui().Enter();
    ASSERT_TRUE(Ui().WaitFor([] { return Form1->Notebook1->PageIndex() == TPageSTG::Index; }, 20000));
    TWinControl* focused = Form1->ActiveControl();
    ASSERT_NE(nullptr, focused);
    EXPECT_EQ(Form1->Notebook1->Page(TPageSTG::Index)->FindNextControl(nullptr, true, true, false), focused)
        << focused->Name();
    EXPECT_TRUE(focused->Focused());
    // Back to the menu: its first entry again, which Enter presses.
    Ui().Click(Form1->Pages().STG->Button80);
    ASSERT_EQ(TPageMEN::Index, Form1->Notebook1->PageIndex());
    EXPECT_EQ(men.Button711, Form1->ActiveControl());
}
