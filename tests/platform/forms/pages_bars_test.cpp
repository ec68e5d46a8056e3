// Pages and bars: the page control and the notebook paint only the active page and switch
// by mouse and keys; status bar panels, the progress bar's blocks, and TTimer on the
// manual clock.

#include "platform/forms/button.h"
#include "platform/forms/edit.h"
#include "platform/forms/label.h"
#include "platform/forms/notebook.h"
#include "platform/forms/page_control.h"
#include "platform/forms/panel.h"
#include "platform/forms/progress_bar.h"
#include "platform/forms/status_bar.h"
#include "platform/forms/timer.h"
#include "platform/rtl/exception.h"
#include "platform/sync/clock.h"
#include "tests/platform/forms/forms_test_support.h"

namespace {
constexpr COLORREF kBlack = RGB(0, 0, 0);
}

class PagesAndBars : public FormsTest {
protected:
    // A page holding a coloured panel that fills it.
    TPanel* Fill(TWinControl* page, const std::string& name, TColor color) {
        auto* p = new TPanel(page->Owner());
        p->SetName(name);
        p->SetParent(page);
        p->SetAlign(alClient);
        p->SetBevelOuter(bvNone);
        p->SetParentColor(false);
        p->SetColor(color);
        return p;
    }
};

TEST_F(PagesAndBars, PageControlPaintsOnlyTheActivePageAndAsksBeforeChanging) {
    TForm* form = MakeForm("Pages", 320, 220);
    auto* pages = Add<TPageControl>(form, "PageControl1", 8, 8);
    pages->SetBounds(8, 8, 289, 161);
    TTabSheet* sheets[3];
    const char* captions[3] = {"Eingänge", "Ausgänge", "Status"};
    for (int i = 0; i < 3; ++i) {
        sheets[i] = new TTabSheet(form);
        sheets[i]->SetName("Sheet" + std::to_string(i));
        sheets[i]->SetCaption(captions[i]);
        sheets[i]->SetPageControl(pages);
    }
    Fill(sheets[0], "Red", clRed);
    Fill(sheets[1], "Blue", clBlue);
    auto* edit = Add<TEdit>(sheets[2], "EditOnStatus", 8, 8);
    int changes = 0;
    bool allow = true;
    pages->OnChange = [&](TObject*) { ++changes; };
    pages->OnChanging = [&](TObject*, bool& a) { a = allow; };
    form->Show();
    Driver().Pump();
    TPoint inside{100, 80};
    EXPECT_EQ(PixelAt(pages, inside), RGB(255, 0, 0));
    EXPECT_EQ(pages->ActivePageIndex(), 0);

    TRect tab = pages->TabRect(1);
    Driver().MouseDown(pages, {tab.Left + 4, tab.Top + 4});
    Driver().MouseUp(pages, {tab.Left + 4, tab.Top + 4});
    Driver().Pump();
    EXPECT_EQ(pages->ActivePage(), sheets[1]);
    EXPECT_EQ(PixelAt(pages, inside), RGB(0, 0, 255)) << "the red page is not painted any more";
    EXPECT_EQ(changes, 1);

    allow = false;
    tab = pages->TabRect(2);
    Driver().MouseDown(pages, {tab.Left + 4, tab.Top + 4});
    Driver().MouseUp(pages, {tab.Left + 4, tab.Top + 4});
    Driver().Pump();
    EXPECT_EQ(pages->ActivePage(), sheets[1]) << "OnChanging refused";
    EXPECT_EQ(changes, 1);

    // Ctrl+Tab turns the pages while the focus is inside; a hidden tab is skipped.
    allow = true;
    pages->SetActivePage(sheets[2]);
    edit->SetFocus();
    sheets[0]->SetTabVisible(false);
    Driver().PressKey(VK_TAB, {ssCtrl});
    EXPECT_EQ(pages->ActivePage(), sheets[1]);
    Driver().PressKey(VK_TAB, {ssCtrl});
    EXPECT_EQ(pages->ActivePage(), sheets[2]) << "wraps around past the hidden tab";
    EXPECT_TRUE(IsRectEmpty(pages->TabRect(0)));
    // Setting the page by code fires nothing.
    int before = changes;
    pages->SetActivePageIndex(1);
    EXPECT_EQ(changes, before);
}

TEST_F(PagesAndBars, NotebookShowsOnePageAtATime) {
    TForm* form = MakeForm("Book", 240, 160);
    auto* book = Add<TNotebook>(form, "Notebook1", 8, 8);
    book->SetBounds(8, 8, 200, 100);
    book->SetPages({"EDIT", "LIST"});
    Fill(book->Page(0), "Green", clLime);
    Fill(book->Page(1), "Yellow", clYellow);
    int changed = 0;
    book->OnPageChanged = [&](TObject*) { ++changed; };
    form->Show();
    Driver().Pump();
    EXPECT_EQ(PixelAt(book, {50, 50}), RGB(0, 255, 0));
    book->SetActivePage("list");
    EXPECT_EQ(PixelAt(book, {50, 50}), RGB(255, 255, 0));
    EXPECT_EQ(changed, 1);
    book->SetPageIndex(1);
    EXPECT_EQ(changed, 1) << "choosing the page already shown changes nothing";
    // New pages replace the old ones together with their controls.
    book->SetPages({"EINS"});
    EXPECT_EQ(form->FindComponent("Green"), nullptr);
    EXPECT_EQ(book->PageCount(), 1);
}

TEST_F(PagesAndBars, TheKeyboardGoesOnWhenItsControlIsDisabledOrItsPageLeft) {
    TForm* form = MakeForm("Wait", 240, 160);
    auto* book = Add<TNotebook>(form, "Notebook1", 8, 8);
    book->SetBounds(8, 8, 200, 100);
    book->SetPages({"MENU", "NEXT"});
    auto button = [&](TWinControl* page, const std::string& name, int left) {
        auto* b = new TButton(form);
        b->SetName(name);
        b->SetParent(page);
        b->SetBounds(left, 8, 60, 25);
        return b;
    };
    TButton* first = button(book->Page(0), "First", 8);
    TButton* second = button(book->Page(0), "Second", 80);
    TButton* next = button(book->Page(1), "Next", 8);
    form->Show();
    Driver().Pump();
    first->SetFocus();
    // A button disabled for a wait hands the keyboard to the next one.
    first->SetEnabled(false);
    EXPECT_TRUE(second->Focused());
    EXPECT_EQ(second, form->ActiveControl());
    // The last one on the page has nobody to hand it to...
    second->SetEnabled(false);
    EXPECT_EQ(nullptr, form->ActiveControl());
    // ...and the page that follows the wait takes it at its first control.
    book->SetPageIndex(1);
    EXPECT_TRUE(next->Focused());
    // Back on a page whose controls came back: the focus leaves the hidden one for the first.
    first->SetEnabled(true);
    second->SetEnabled(true);
    book->SetPageIndex(0);
    EXPECT_TRUE(first->Focused());
    // A page shown with its only control disabled for a wait: the keyboard is nowhere until
    // the control comes back, and then it is there.
    next->SetEnabled(false);
    book->SetPageIndex(1);
    EXPECT_EQ(nullptr, form->ActiveControl());
    next->SetEnabled(true);
    EXPECT_TRUE(next->Focused());
}

TEST_F(PagesAndBars, StatusBarPanelsShowTheirTextsInTheirPlaces) {
    TForm* form = MakeForm("Status", 360, 120);
    auto* bar = Add<TStatusBar>(form, "StatusBar1", 0, 0);
    for (int i = 0; i < 2; ++i) bar->Panels()->Add()->SetWidth(50);
    TStatusPanel* last = bar->Panels()->Add();
    form->Show();
    Driver().Pump();
    EXPECT_EQ(bar->Top() + bar->Height(), form->ClientHeight()) << "a status bar sits at the bottom";
    EXPECT_EQ(bar->PanelRect(0), Rect(0, 2, 50, bar->ClientHeight()));
    EXPECT_EQ(bar->PanelRect(1).Left, 52);
    TRect lastRect = bar->PanelRect(2);
    EXPECT_EQ(lastRect.Left, 104);
    EXPECT_EQ(lastRect.Right, bar->ClientWidth() - (bar->ClientHeight() - 2)) << "the last one reaches the grip";
    EXPECT_THROW(bar->Panels()->Items(3), EListError);

    auto inner = [](TRect r) { return Rect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2); };
    EXPECT_EQ(CountPixels(bar, inner(bar->PanelRect(1)), kBlack), 0);
    bar->Panels()->Items(1)->SetText("OFFEN");
    last->SetText("COM3 9600,N,8,1");
    EXPECT_GT(CountPixels(bar, inner(bar->PanelRect(1)), kBlack), 10);
    EXPECT_EQ(CountPixels(bar, inner(bar->PanelRect(0)), kBlack), 0) << "the text stays in its own panel";
    EXPECT_GT(CountPixels(bar, inner(lastRect), kBlack), 10);

    bar->SetSimplePanel(true);
    bar->SetSimpleText("");
    EXPECT_EQ(CountPixels(bar, inner(bar->PanelRect(1)), kBlack), 0) << "the simple panel hides the panels";
    bar->Panels()->Delete(0);
    EXPECT_EQ(bar->Panels()->Count(), 2);
    EXPECT_EQ(bar->Panels()->Items(0)->Text(), "OFFEN");
}

// A ticker panel repaints only inside its bevel: after many changes the bar looks as it does
// painted whole.
TEST_F(PagesAndBars, StatusPanelTextChangesLeaveTheBarAsAWholePaintWould) {
    TForm* form = MakeForm("Ticker", 360, 120);
    auto* bar = Add<TStatusBar>(form, "StatusBar1", 0, 0);
    bar->Panels()->Add()->SetWidth(80);
    TStatusPanel* flat = bar->Panels()->Add();
    flat->SetWidth(60);
    flat->SetBevel(pbNone);
    TStatusPanel* ticker = bar->Panels()->Add();
    form->Show();
    Driver().Pump();
    auto pixels = [&] {
        std::vector<COLORREF> all;
        for (int y = 0; y < bar->ClientHeight(); ++y)
            for (int x = 0; x < bar->ClientWidth(); ++x) all.push_back(PixelAt(bar, Point(x, y)));
        return all;
    };
    for (const char* text : {".", "..", "...", "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", ""}) {
        ticker->SetText(text);
        bar->Panels()->Items(0)->SetText(text);
        flat->SetText(text);
        ::UpdateAllWindows();
    }
    ticker->SetText("COM3");
    const TRect r = bar->PanelRect(2);
    EXPECT_EQ(PixelAt(bar, Point(r.Left, r.Top)), GetSysColor(COLOR_BTNSHADOW)) << "the bevel stays";
    EXPECT_EQ(PixelAt(bar, Point(r.Right - 1, r.Bottom - 1)), GetSysColor(COLOR_BTNHIGHLIGHT));
    const std::vector<COLORREF> step = pixels();
    bar->Invalidate();
    EXPECT_EQ(pixels(), step);
}

// A page paints nothing of its own: what an opaque label leaves when it shrinks or moves
// must be erased, or its old text stays on the page.
TEST_F(PagesAndBars, ALabelThatShrinksOrMovesOnAPageLeavesNoTextBehind) {
    TForm* form = MakeForm("Leftovers", 240, 120);
    auto* book = Add<TNotebook>(form, "Notebook1", 0, 0);
    book->SetBounds(0, 0, 240, 100);
    book->SetPages({"CT2"});
    auto* version = Add<TLabel>(book->Page(0), "Label1", 100, 10);
    auto* mac = Add<TLabel>(book->Page(0), "Label2", 100, 40);
    version->SetCaption("STMX-1.12");
    mac->SetCaption("00:1A:2B:3C:4D:5E");
    form->Show();
    Driver().Pump();
    const TRect oldVersion = version->BoundsRect();
    const TRect oldMac = mac->BoundsRect();
    const COLORREF text = ColorToRGB(version->Font()->Color());
    ASSERT_GT(CountPixels(book->Page(0), oldVersion, text), 0);
    version->SetCaption("");
    mac->SetTop(70);
    Driver().Pump();
    EXPECT_EQ(0, CountPixels(book->Page(0), oldVersion, text)) << "the emptied label's old text";
    EXPECT_EQ(0, CountPixels(book->Page(0), oldMac, text)) << "the moved label's old place";
    EXPECT_GT(CountPixels(book->Page(0), mac->BoundsRect(), text), 0);
}

TEST_F(PagesAndBars, ProgressBarFillsInProportionToItsPosition) {
    TForm* form = MakeForm("Progress", 260, 80);
    auto* bar = Add<TProgressBar>(form, "ProgressBar1", 8, 8);
    bar->SetBounds(8, 8, 202, 18);
    form->Show();
    Driver().Pump();
    const COLORREF hl = GetSysColor(COLOR_HIGHLIGHT);
    TRect inner = Rect(0, 0, bar->ClientWidth(), bar->ClientHeight());
    EXPECT_EQ(CountPixels(bar, inner, hl), 0);
    bar->SetPosition(50);
    int half = CountPixels(bar, inner, hl);
    EXPECT_GT(half, 0);
    EXPECT_EQ(CountPixels(bar, Rect(bar->ClientWidth() / 2 + 1, 0, bar->ClientWidth(), bar->ClientHeight()), hl), 0);
    bar->SetPosition(250);
    EXPECT_EQ(bar->Position(), 100) << "kept within Max";
    int full = CountPixels(bar, inner, hl);
    EXPECT_GT(full, half * 3 / 2);
    bar->SetSmooth(true);
    EXPECT_EQ(CountPixels(bar, Rect(1, 1, bar->ClientWidth() - 1, bar->ClientHeight() - 1), hl),
              (bar->ClientWidth() - 2) * (bar->ClientHeight() - 2));
    bar->SetMin(100);
    bar->SetMax(100);
    EXPECT_EQ(CountPixels(bar, inner, hl), 0) << "an empty range draws no fill (and divides by nothing)";
    bar->SetMax(200);
    bar->SetPosition(10);
    EXPECT_EQ(bar->Position(), 100);
    bar->StepIt();
    EXPECT_EQ(bar->Position(), 110);
}

TEST_F(PagesAndBars, TimerFiresOnTheManualClock) {
    ScopedManualClock clock;
    TForm* form = MakeForm("Timers", 100, 60);
    auto* timer = new TTimer(form);
    timer->SetInterval(100);
    int fired = 0;
    timer->OnTimer = [&](TObject*) { ++fired; };
    ::ProcessMessages();
    clock->Advance(99);
    ::ProcessMessages();
    EXPECT_EQ(fired, 0);
    clock->Advance(1);
    ::ProcessMessages();
    EXPECT_EQ(fired, 1);
    clock->Advance(350);
    ::ProcessMessages();
    EXPECT_EQ(fired, 2) << "a late pump delivers one tick, not a burst";
    // Changing the interval starts the count again.
    clock->Advance(50);
    timer->SetInterval(100);
    timer->SetInterval(80);
    clock->Advance(79);
    ::ProcessMessages();
    EXPECT_EQ(fired, 2);
    clock->Advance(1);
    ::ProcessMessages();
    EXPECT_EQ(fired, 3);
    timer->SetEnabled(false);
    clock->Advance(1000);
    ::ProcessMessages();
    EXPECT_EQ(fired, 3);
    timer->SetEnabled(true);
    timer->SetInterval(0);
    clock->Advance(1000);
    ::ProcessMessages();
    EXPECT_EQ(fired, 3) << "interval 0 never fires";
    // A handler may free its own timer.
    timer->SetInterval(10);
    timer->OnTimer = [&](TObject* sender) {
        ++fired;
        delete sender;
    };
    clock->Advance(10);
    ::ProcessMessages();
    EXPECT_EQ(fired, 4);
    clock->Advance(10);
    ::ProcessMessages();
    EXPECT_EQ(fired, 4);
}
