#include <filesystem>

#include "platform/forms/form_placement.h"
#include "platform/forms/panel.h"
#include "platform/gdi/bitmap.h"
#include "platform/sync/clock.h"
#include "platform/win/input.h"
#include "tests/platform/forms/forms_test_support.h"
#include "tests/support/test_pictures.h"

namespace {

struct TabForm {
    TForm* form;
    TTestBox *a, *b, *c, *d;
};

}  // namespace

class FormInput : public FormsTest {
protected:
    TabForm MakeTabForm() {
        TabForm t;
        t.form = MakeForm("TabForm");
        t.a = Add<TTestBox>(t.form, "A", 8, 8);
        t.b = Add<TTestBox>(t.form, "B", 8, 40);
        t.c = Add<TTestBox>(t.form, "C", 8, 72);
        t.d = Add<TTestBox>(t.form, "D", 8, 104);
        // Tab order differs from creation order: D before B.
        t.d->SetTabOrder(1);
        t.b->SetEnabled(false);
        t.c->SetVisible(false);
        t.form->Show();
        Driver().Pump();
        return t;
    }
};

TEST_F(FormInput, TabMovesFocusInTabOrderSkippingDisabledAndHidden) {
    TabForm t = MakeTabForm();
    EXPECT_EQ(t.form->ActiveControl(), t.a);
    EXPECT_TRUE(t.a->Focused());
    Driver().Tab();
    EXPECT_TRUE(t.d->Focused());
    EXPECT_EQ(EnsureScreen()->ActiveControl(), t.d);
    Driver().Tab();
    EXPECT_TRUE(t.a->Focused()) << "B is disabled and C hidden: the order wraps to A";
    Driver().Tab(true);
    EXPECT_TRUE(t.d->Focused());
    std::vector<std::string> focusLog;
    for (const std::string& e : t.a->log)
        if (e == "enter" || e == "exit") focusLog.push_back(e);
    EXPECT_EQ(focusLog, (std::vector<std::string>{"enter", "exit", "enter", "exit"}));
    // Tab is a dialog key: the focused control never sees it as a key or a character.
    for (const std::string& entry : t.d->log) EXPECT_NE(entry, "down:9");
}

TEST_F(FormInput, EnterAndEscapeReachDefaultAndCancelButtons) {
    TForm* form = MakeForm("Dlg");
    auto* box = Add<TTestBox>(form, "Box", 8, 8);
    auto* ok = Add<TTestButton>(form, "Ok", 8, 40);
    auto* cancel = Add<TTestButton>(form, "Cancel", 90, 40);
    ok->isDefault = true;
    cancel->isCancel = true;
    form->Show();
    Driver().Pump();
    ASSERT_TRUE(box->Focused());
    Driver().Enter();
    EXPECT_EQ(ok->clicks, 1);
    EXPECT_EQ(cancel->clicks, 0);
    Driver().Escape();
    EXPECT_EQ(cancel->clicks, 1);
    Driver().PressKey(VK_ESCAPE, TShiftState{ssShift});
    EXPECT_EQ(cancel->clicks, 2) << "the test button ignores modifiers; the mechanism passes them in the key data";
    // A focused button takes Enter itself, even when it is not the default one.
    cancel->SetFocus();
    Driver().Enter();
    EXPECT_EQ(cancel->clicks, 3);
    EXPECT_EQ(ok->clicks, 1);
    for (const std::string& entry : box->log) EXPECT_NE(entry, "char:\r");
}

TEST_F(FormInput, ModalFormReturnsItsModalResult) {
    ScopedManualClock clock;  // two quick clicks would make a double click
    TForm* main = MakeForm("MainForm");
    auto* open = Add<TTestButton>(main, "Open", 8, 8);
    main->Show();
    Driver().Pump();

    TModalResult answer = mrNone;
    bool mainWasDisabled = false;
    open->OnClick = [&](TObject*) {
        TForm dialog(nullptr);
        dialog.SetName("Question");
        dialog.SetBorderStyle(bsDialog);
        dialog.SetPosition(poScreenCenter);
        dialog.SetBounds(0, 0, 200, 100);
        auto* yes = new TTestButton(&dialog);
        yes->SetName("Yes");
        yes->SetCaption("&Ja");
        yes->SetParent(&dialog);
        yes->modalResult = mrYes;
        auto* no = new TTestButton(&dialog);
        no->SetName("No");
        no->SetParent(&dialog);
        no->SetLeft(100);
        no->modalResult = mrNo;
        no->isCancel = true;
        answer = dialog.ShowModal();
        EXPECT_FALSE(dialog.Visible());
    };
    HWND dialogOwner = nullptr;
    Driver().OnNextModal([&](TCustomForm* dialog, UiDriver&) {
        mainWasDisabled = !IsWindowEnabled(main->Handle());
        dialogOwner = GetWindow(dialog->Handle(), GW_OWNER);
        InjectKey(VK_ESCAPE, true);
        InjectKey(VK_ESCAPE, false);
    });
    Driver().Click(open);
    EXPECT_EQ(answer, mrNo) << "Esc clicks the cancel button, whose result is mrNo";
    Driver().AnswerNextModalWith("Ja");
    clock->Advance(1000);
    Driver().Click(open);
    EXPECT_EQ(answer, mrYes);
    EXPECT_EQ(Driver().PendingModalScripts(), 0);
    EXPECT_TRUE(mainWasDisabled);
    EXPECT_EQ(dialogOwner, main->Handle()) << "a dialog belongs to the window it interrupts";
    EXPECT_TRUE(IsWindowEnabled(main->Handle()));
    EXPECT_EQ(GetActiveWindow(), main->Handle());
}

TEST_F(FormInput, PressingOnTheCaptionDragsTheWindow) {
    TForm* form = MakeForm("Dragged", 300, 200);
    form->SetCaption("Protokoll");
    auto* box = Add<TTestBox>(form, "Box", 8, 8);
    form->Show();
    Driver().Pump();
    TRect wr;
    GetWindowRect(form->Handle(), &wr);
    const TPoint grab{wr.Left + 60, wr.Top + 8};
    ASSERT_EQ(SendMessage(form->Handle(), WM_NCHITTEST, 0, MAKELPARAM(grab.X, grab.Y)), HTCAPTION);
    Driver().MoveTo(grab);
    InjectMouseButton(grab, MouseButton::Left, true);
    Driver().Pump();
    Driver().MoveTo(TPoint{grab.X + 20, grab.Y + 10});
    Driver().MoveTo(TPoint{grab.X + 70, grab.Y + 45});
    Driver().Pump();
    EXPECT_EQ(form->Left(), wr.Left + 70) << "the window follows the mouse while held";
    EXPECT_EQ(form->Top(), wr.Top + 45);
    InjectMouseButton(TPoint{grab.X + 70, grab.Y + 45}, MouseButton::Left, false);
    Driver().Pump();
    EXPECT_EQ(GetKeyState(VK_LBUTTON) & 0x8000, 0);
    // Released: the mouse is the controls' again and the window stays.
    Driver().MoveTo(TPoint{grab.X + 200, grab.Y + 100});
    Driver().Pump();
    EXPECT_EQ(form->Left(), wr.Left + 70);
    Driver().Click(box);
    EXPECT_TRUE(box->Focused());
    EXPECT_EQ(form->Left(), wr.Left + 70);
}

TEST_F(FormInput, ASecondWindowShowsBesideTheMainWindowWhenThereIsRoom) {
    const TRect work = Bounds(0, 0, 1600, 900);
    const TRect main = Bounds(400, 100, 640, 480);
    // Overlapping, with room on the right: right beside it, kept on the work area.
    EXPECT_EQ(PlaceBesideMainWindow(Bounds(900, 0, 370, 500), main, work), Bounds(1040, 0, 370, 500));
    EXPECT_EQ(PlaceBesideMainWindow(Bounds(900, 450, 370, 500), main, work), Bounds(1040, 400, 370, 500));
    // No room on the right: on the left.
    EXPECT_EQ(PlaceBesideMainWindow(Bounds(900, 0, 370, 500), Bounds(800, 100, 640, 480), work),
              Bounds(430, 0, 370, 500));
    // No room on either side, or no overlap: where it asked to be.
    EXPECT_EQ(PlaceBesideMainWindow(Bounds(900, 0, 370, 500), Bounds(300, 100, 1000, 480), work),
              Bounds(900, 0, 370, 500));
    EXPECT_EQ(PlaceBesideMainWindow(Bounds(1200, 0, 370, 500), main, work), Bounds(1200, 0, 370, 500));

    TForm* mainForm = MakeForm("MainForm", 400, 300);
    mainForm->Show();
    TForm* other = MakeForm("Protocol", 200, 300);
    other->SetBounds(mainForm->Left() + 100, mainForm->Top(), 200, 300);
    other->Show();
    Driver().Pump();
    EXPECT_EQ(other->Left(), mainForm->Left() + mainForm->Width());
    // Shown again after the user moved it: it stays where it was put.
    other->Hide();
    other->SetLeft(mainForm->Left() + 10);
    other->Show();
    EXPECT_EQ(other->Left(), mainForm->Left() + 10);
}

TEST_F(FormInput, ReshownModalFormTakesAQuickClickAsAFreshPress) {
    // The clock stands still: both clicks land on one button within the double-click time,
    // but the form was hidden in between, so the second is a press of its own.
    ScopedManualClock clock;
    TForm* main = MakeForm("MainForm");
    main->Show();
    Driver().Pump();
    TForm dialog(nullptr);
    dialog.SetName("Box");
    dialog.SetBorderStyle(bsDialog);
    dialog.SetPosition(poScreenCenter);
    dialog.SetBounds(0, 0, 200, 100);
    auto* ok = new TTestButton(&dialog);
    ok->SetName("Ok");
    ok->SetParent(&dialog);
    int closes = 0;
    int doubles = 0;
    // Ends the modal loop from inside the button's mouse-up.
    ok->OnClick = [&](TObject*) {
        ++closes;
        dialog.Close();
    };
    ok->OnDblClick = [&](TObject*) { ++doubles; };
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        bool ended = false;
        Driver().OnNextModal([&](TCustomForm* form, UiDriver& ui) {
            ui.Click(ok);
            ended = form->ModalResult() != mrNone;
            if (!ended) form->SetModalResult(mrAbort);  // no hang when the click is lost
        });
        EXPECT_EQ(dialog.ShowModal(), mrCancel);
        EXPECT_TRUE(ended);
        EXPECT_EQ(closes, round);
        EXPECT_EQ(GetCapture(), nullptr);
        // The pointer left the button when its form went away, and enters it afresh.
        EXPECT_EQ(ok->enters, round);
        EXPECT_EQ(ok->leaves, round);
    }
    EXPECT_EQ(doubles, 0);
}

TEST_F(FormInput, EscapeEndsModalFormThroughItsCancelButton) {
    TForm* main = MakeForm("MainForm");
    main->Show();
    Driver().Pump();
    TForm dialog(nullptr);
    dialog.SetName("Dialog");
    auto* cancel = new TTestButton(&dialog);
    cancel->SetName("Cancel");
    cancel->SetParent(&dialog);
    cancel->isCancel = true;
    cancel->modalResult = mrCancel;
    bool closeQueried = false;
    dialog.OnCloseQuery = [&](TObject*, bool& can) {
        closeQueried = true;
        can = true;
    };
    Driver().OnNextModal([](TCustomForm*, UiDriver&) {
        InjectKey(VK_ESCAPE, true);
        InjectKey(VK_ESCAPE, false);
    });
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
    EXPECT_TRUE(closeQueried);
    EXPECT_EQ(cancel->clicks, 1);
}

TEST_F(FormInput, KeyPreviewSeesKeysFirstAndMayEatThem) {
    TForm* form = MakeForm("Preview");
    auto* box = Add<TTestBox>(form, "Box", 8, 8);
    std::vector<std::string> order;
    form->SetKeyPreview(true);
    form->OnKeyDown = [&](TObject*, uint16_t& key, TShiftState) {
        order.push_back("form:" + std::to_string(key));
        if (key == 'X') key = 0;
    };
    form->OnKeyPress = [&](TObject*, char32_t& ch) {
        order.push_back(std::string("formchar:") + static_cast<char>(ch));
    };
    box->OnKeyDown = [&](TObject*, uint16_t& key, TShiftState) { order.push_back("box:" + std::to_string(key)); };
    form->Show();
    Driver().Pump();
    Driver().PressKey('A');
    Driver().PressKey('X');
    EXPECT_EQ(order, (std::vector<std::string>{"form:65", "box:65", "formchar:a", "form:88", "formchar:x"}));
    // Without KeyPreview the form hears nothing.
    form->SetKeyPreview(false);
    order.clear();
    Driver().Type("z");
    EXPECT_TRUE(order.empty());
    EXPECT_EQ(box->log.back(), "char:z");
}

TEST_F(FormInput, ARecreatedWindowKeepsTheFocusOfItselfOrItsChild) {
    TForm* form = MakeForm("Recreate");
    auto* panel = new TPanel(form);
    panel->SetBounds(8, 8, 200, 100);
    panel->SetParent(form);
    auto* inner = Add<TTestBox>(panel, "Inner", 8, 8);
    auto* outer = Add<TTestBox>(form, "Outer", 8, 120);
    form->Show();
    Driver().Pump();

    // The control's own window is re-created while it has the focus.
    outer->SetFocus();
    ASSERT_TRUE(outer->Focused());
    outer->RecreateWnd();
    EXPECT_TRUE(outer->Focused());
    Driver().Type("x");
    EXPECT_EQ(outer->log.back(), "char:x");

    // A parent's window goes and takes the focused child's window with it.
    inner->SetFocus();
    ASSERT_TRUE(inner->Focused());
    panel->RecreateWnd();
    EXPECT_TRUE(inner->Focused());
    Driver().Type("y");
    EXPECT_EQ(inner->log.back(), "char:y");
}

TEST_F(FormInput, DisabledControlIgnoresMouseAndFocus) {
    TForm* form = MakeForm("Dis");
    auto* first = Add<TTestBox>(form, "First", 8, 8);
    auto* off = Add<TTestBox>(form, "Off", 8, 40);
    int clicks = 0;
    off->OnClick = [&](TObject*) { ++clicks; };
    off->SetEnabled(false);
    form->Show();
    Driver().Pump();
    Driver().Click(off);
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(off->CanFocus());
    EXPECT_TRUE(first->Focused());
    off->SetEnabled(true);
    Driver().Click(off);
    EXPECT_EQ(clicks, 1);
}

TEST_F(FormInput, HiddenControlsAreNotPainted) {
    TForm* form = MakeForm("Paint");
    auto* shown = Add<TTestBox>(form, "Shown", 8, 8);
    auto* hidden = Add<TTestBox>(form, "Hidden", 8, 40);
    auto* swatch = Add<TTestSwatch>(form, "Swatch", 100, 8);
    auto* hiddenSwatch = Add<TTestSwatch>(form, "HiddenSwatch", 100, 40);
    shown->SetColor(clRed);
    hidden->SetColor(clBlue);
    swatch->SetColor(clLime);
    hiddenSwatch->SetColor(clYellow);
    hidden->Hide();
    hiddenSwatch->Hide();
    form->Show();
    Driver().Pump();
    const COLORREF face = ColorToRGB(clBtnFace);
    EXPECT_EQ(PixelAt(shown, Point(5, 5)), ColorToRGB(clRed));
    EXPECT_EQ(PixelAt(swatch, Point(5, 5)), ColorToRGB(clLime));
    EXPECT_EQ(PixelAt(form, Point(12, 44)), face);
    EXPECT_EQ(PixelAt(form, Point(104, 44)), face);
    // Showing one paints it; hiding another repaints the form behind it.
    hidden->Show();
    shown->Hide();
    Driver().Pump();
    EXPECT_EQ(PixelAt(form, Point(12, 44)), ColorToRGB(clBlue));
    EXPECT_EQ(PixelAt(form, Point(12, 12)), face);
}

TEST_F(FormInput, CaptureKeepsTheMouseAndReleaseOutsideDoesNotClick) {
    TForm* form = MakeForm("Cap");
    auto* box = Add<TTestBox>(form, "Box", 8, 8);
    int clicks = 0;
    std::vector<TPoint> moves;
    box->OnClick = [&](TObject*) { ++clicks; };
    box->OnMouseMove = [&](TObject*, TShiftState, int x, int y) { moves.push_back(Point(x, y)); };
    form->Show();
    Driver().Pump();
    Driver().MouseDown(box, Point(5, 5));
    Driver().Pump();
    EXPECT_EQ(GetCapture(), box->Handle());
    Driver().MoveTo(box, Point(200, 150));
    Driver().Pump();
    ASSERT_FALSE(moves.empty());
    EXPECT_EQ(moves.back(), Point(200, 150)) << "captured moves arrive outside the control";
    Driver().MouseUp(box, Point(200, 150));
    Driver().Pump();
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    Driver().Click(box);
    EXPECT_EQ(clicks, 1);
}

TEST_F(FormInput, DoubleClickNeedsTwoPressesWithinTimeAndDistance) {
    ScopedManualClock clock;
    TForm* form = MakeForm("Dbl");
    auto* box = Add<TTestBox>(form, "Box", 8, 8);
    int doubles = 0;
    box->OnDblClick = [&](TObject*) { ++doubles; };
    form->Show();
    Driver().Pump();
    Driver().Click(box);
    clock->Advance(400);
    Driver().Click(box);
    EXPECT_EQ(doubles, 1);
    clock->Advance(1000);
    Driver().Click(box);
    clock->Advance(501);
    Driver().Click(box);
    EXPECT_EQ(doubles, 1) << "501 ms apart is too slow";
    clock->Advance(1000);
    Driver().MouseDown(box, Point(10, 10));
    Driver().MouseUp(box, Point(10, 10));
    Driver().MouseDown(box, Point(15, 10));
    Driver().MouseUp(box, Point(15, 10));
    Driver().Pump();
    EXPECT_EQ(doubles, 1) << "5 pixels apart is too far";
}

TEST_F(FormInput, MouseEnterAndLeaveFollowThePointer) {
    TForm* form = MakeForm("Hover");
    auto* one = Add<TTestBox>(form, "One", 8, 8);
    auto* two = Add<TTestBox>(form, "Two", 8, 40);
    form->Show();
    Driver().Pump();
    Driver().MoveTo(one, Point(3, 3));
    Driver().Pump();
    EXPECT_EQ(one->enters, 1);
    Driver().MoveTo(one, Point(6, 6));
    Driver().Pump();
    EXPECT_EQ(one->enters, 1) << "moving inside is no new enter";
    Driver().MoveTo(two, Point(3, 3));
    Driver().Pump();
    EXPECT_EQ(one->leaves, 1);
    EXPECT_EQ(two->enters, 1);
    Driver().MoveTo(Point(900, 700));  // the empty screen
    Driver().Pump();
    EXPECT_EQ(two->leaves, 1);
}

TEST_F(FormInput, AlignAndAnchorsLayOutChildren) {
    TForm* form = MakeForm("Layout", 300, 200);
    auto* top = Add<TTestBox>(form, "Top", 0, 0);
    auto* client = Add<TTestBox>(form, "Client", 0, 0);
    auto* corner = Add<TTestBox>(form, "Corner", 200, 120);
    top->SetAlign(alTop);
    client->SetAlign(alClient);
    corner->SetAnchors(TAnchors{akRight, akBottom});
    TRect c = form->ClientRect();
    EXPECT_EQ(top->BoundsRect(), Rect(0, 0, c.Width(), 24));
    EXPECT_EQ(client->BoundsRect(), Rect(0, 24, c.Width(), c.Height()));
    form->SetBounds(100, 100, 340, 230);
    EXPECT_EQ(corner->Left(), 240);
    EXPECT_EQ(corner->Top(), 150);
    EXPECT_EQ(client->Height(), form->ClientHeight() - 24);
}

TEST_F(FormInput, FormRendersToPng) {
    TForm* form = MakeForm("Picture", 240, 120);
    form->SetCaption("Türsteuerung");
    auto* box = Add<TTestBox>(form, "Box", 8, 8);
    box->SetColor(clRed);
    auto* swatch = Add<TTestSwatch>(form, "Swatch", 80, 8);
    swatch->SetColor(clNavy);
    form->Show();
    std::string file = TestPicturePath("tovak_forms_picture.png");
    ASSERT_TRUE(Driver().SaveForm("Picture", file));
    TBitmap read;
    read.LoadFromFile(file);
    EXPECT_EQ(read.Width(), 240);
    EXPECT_EQ(read.Height(), 120);
    TPoint p = box->ClientToScreen(Point(2, 2));
    EXPECT_EQ(read.Pixel(p.X - form->Left(), p.Y - form->Top()), ColorToRGB(clRed));
    // The caption bar of the active form.
    EXPECT_EQ(read.Pixel(120, 8), GetSysColor(COLOR_ACTIVECAPTION));
}
