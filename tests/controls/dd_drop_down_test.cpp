// The drop-down base through the image editor (its list pop-up) and through bare
// descriptors: buttons, hit testing, opening and closing by mouse and keys.

#include "controls/vx_check_edit_style.h"
#include "controls/vx_edit.h"
#include "controls/vx_standalone_edits.h"
#include "platform/forms/combo_box.h"
#include "platform/forms/panel.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/system_metrics.h"
#include "platform/win/input.h"
#include "platform/win/window_tree.h"
#include "tests/controls/vx_editor_test_support.h"

namespace {

TvxImageEdit* MakeImageEdit(TForm* form, const std::string& name, int x, int y, int count) {
    auto* e = new TvxImageEdit(form);
    e->SetName(name);
    e->SetParent(form);
    e->SetBounds(x, y, 150, 24);
    TStringList values, descriptions;
    for (int i = 0; i < count; ++i) {
        values.Add(std::to_string(i));
        descriptions.Add("Eintrag " + std::to_string(i));
    }
    e->SetValues(&values);
    e->SetDescriptions(&descriptions);
    return e;
}

// The drop-down button's rectangle in the editor's window coordinates.
TRect ButtonRect(TvxInplaceDropDownEdit* e) {
    std::unique_ptr<TvxEditViewData> vd = e->CreateViewData(false);
    TvxEditViewInfo vi;
    e->EditClass().CalcViewInfo(*vd, false, vi);
    std::array<TRect, vxMaxEditButtons> rects{};
    auto& cls = static_cast<const TvxInplaceDropDownEditClass&>(e->EditClass());
    cls.LayoutButtons(vi, static_cast<TvxDropDownEditViewData&>(*vd), rects);
    return rects[0];
}

// A point of the editor's window (frame included) in screen coordinates.
TPoint WindowToScreen(TWinControl* c, TPoint p) {
    TRect r;
    GetWindowRect(c->Handle(), &r);
    return Point(r.Left + p.X, r.Top + p.Y);
}

void PressAt(TPoint screen) {
    InjectMouseMove(screen);
    InjectMouseButton(screen, MouseButton::Left, true);
}
void ReleaseAt(TPoint screen) {
    InjectMouseMove(screen);
    InjectMouseButton(screen, MouseButton::Left, false);
}

}  // namespace

class DropDownEdit : public EditorTest {};

TEST_F(DropDownEdit, ButtonSitsInsideTheBorderAndNarrowsTheClientArea) {
    TForm* form = MakeForm("F");
    auto* e = MakeImageEdit(form, "E", 8, 8, 3);
    form->Show();
    Driver().Pump();
    const int sb = GetSystemMetrics(SM_CXVSCROLL);
    // 3D border: the button is the scroll-bar width, inside the 2-pixel edge.
    TRect b = ButtonRect(e);
    EXPECT_EQ(b, Rect(150 - 2 - sb, 2, 150 - 2, e->Height() - 2));
    EXPECT_EQ(e->ClientRect().Width(), 150 - 4 - sb);
    // The 3D button: raised edge, face colour, a black arrow in the middle.
    EXPECT_EQ(WindowPixel(e, {b.Left, b.Top}), ColorToRGB(cl3DLight));
    EXPECT_EQ(WindowPixel(e, {b.Right - 1, b.Bottom - 1}), ColorToRGB(cl3DDkShadow));
    const TPoint mid{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2};
    bool arrow = false;
    for (int dy = -2; dy <= 2; ++dy) arrow |= WindowPixel(e, {mid.X, mid.Y + dy}) == ColorToRGB(clBtnText);
    EXPECT_TRUE(arrow);
    // Flat: one pixel narrower, a face column at its left, a thin raised frame.
    e->Style()->SetBorderStyle(xbsFlat);
    b = ButtonRect(e);
    EXPECT_EQ(b.Width(), sb - 1);
    EXPECT_EQ(WindowPixel(e, {b.Left, b.Top + 3}), ColorToRGB(clBtnFace));
    EXPECT_EQ(WindowPixel(e, {b.Left + 1, b.Top + 3}), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(WindowPixel(e, {b.Right - 1, b.Top + 3}), ColorToRGB(clBtnShadow));
    // Disabled: the arrow in the shadow colour with its highlight below-right.
    e->SetEnabled(false);
    bool shadowArrow = false;
    for (int dy = -2; dy <= 2; ++dy) shadowArrow |= WindowPixel(e, {mid.X, mid.Y + dy}) == ColorToRGB(clBtnShadow);
    EXPECT_TRUE(shadowArrow);
}

TEST_F(DropDownEdit, GlyphsDotsAndWidthsFollowTheButtonStyle) {
    const auto& cls = TvxInplaceDropDownEdit::StaticClass();
    TvxDropDownEditViewData vd;
    vd.ButtonStyle = bts3D;
    TvxEditButtonViewInfo glyphButton;
    glyphButton.Kind = bkGlyph;
    TBitmap empty;
    glyphButton.Glyph = &empty;
    // An empty glyph counts as none: the scroll-bar width.
    EXPECT_EQ(cls.GetButtonWidth(vd, glyphButton), GetSystemMetrics(SM_CXVSCROLL));
    TBitmap glyph(10, 8);
    glyphButton.Glyph = &glyph;
    EXPECT_EQ(cls.GetButtonWidth(vd, glyphButton), 14);
    vd.ButtonStyle = btsFlat;
    EXPECT_EQ(cls.GetButtonWidth(vd, glyphButton), 13);
    // Without a glyph the single button is a down arrow.
    vd.ButtonGlyph = nullptr;
    cls.CalcButtons(vd);
    EXPECT_EQ(vd.ButtonCount, 1);
    EXPECT_EQ(vd.Buttons[0].Kind, bkDown);
    vd.ButtonsHidden = true;
    cls.CalcButtons(vd);
    EXPECT_EQ(vd.ButtonCount, 0);

    // Ellipsis dots: 2 pixels from a 16-pixel button on, 1 below.
    auto dotSize = [&](int width) {
        TBitmap bmp(width, 20);
        HDC dc = bmp.Canvas()->Handle();
        FillRect(dc, Rect(0, 0, width, 20), GetSysColorBrush(COLOR_WINDOW));
        TvxDropDownEditViewData v;
        v.ButtonStyle = bts3D;
        v.Brush = GetSysColorBrush(COLOR_WINDOW);
        TvxEditButtonViewInfo b;
        b.Kind = bkEllipsis;
        b.Width = width;
        cls.DrawButton(dc, Rect(0, 0, width, 20), v, b, false, false, false);
        int n = 0;
        // Inside the raised edge (whose dark line has the text colour too).
        for (int y = 2; y < 18; ++y)
            for (int x = 2; x < width - 2; ++x) n += bmp.Pixel(x, y) == GetSysColor(COLOR_BTNTEXT);
        return n;
    };
    EXPECT_EQ(dotSize(16), 3 * 4);
    EXPECT_EQ(dotSize(15), 3 * 1);
}

TEST_F(DropDownEdit, ButtonOpensSecondPressClosesAndTheListTakesTheRelease) {
    TForm* form = MakeForm("F", 320, 260);
    auto* e = MakeImageEdit(form, "E", 8, 8, 4);
    auto* other = MakeImageEdit(form, "O", 8, 60, 2);
    e->SetText("1");
    int changes = 0;
    e->OnChange = [&](TObject*) { ++changes; };
    int drops = 0;
    e->OnDropDown = [&](TObject*) { ++drops; };
    form->Show();
    Driver().Pump();
    TRect b = ButtonRect(e);
    const TPoint button = WindowToScreen(e, {(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2});

    // Press on the button: the list opens at once, the button shows pressed.
    PressAt(button);
    Driver().Pump();
    ASSERT_TRUE(e->IsDroppedDown());
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(e->PressedButtonIndex(), 0);
    EXPECT_TRUE(e->Focused());
    TvxPopupImageListBox* list = e->PopupList();
    ASSERT_TRUE(list->IsListVisible());
    EXPECT_EQ(list->ItemIndex(), 1) << "the current item is selected";
    ReleaseAt(button);
    Driver().Pump();
    EXPECT_TRUE(e->IsDroppedDown()) << "a release on the button leaves the list open";
    EXPECT_EQ(e->PressedButtonIndex(), -1);
    // The list hangs below the editor, as wide as the inside of its border at least.
    TRect er, lr;
    GetWindowRect(e->Handle(), &er);
    GetWindowRect(list->Handle(), &lr);
    EXPECT_EQ(lr.Top, er.Bottom);
    EXPECT_EQ(lr.Left, er.Left + 2);
    EXPECT_GE(lr.Width(), er.Width() - 4);

    // A second press closes it without a value.
    PressAt(button);
    ReleaseAt(button);
    Driver().Pump();
    EXPECT_FALSE(e->IsDroppedDown());
    EXPECT_FALSE(list->IsListVisible());
    EXPECT_EQ(e->Text(), "1");
    EXPECT_EQ(changes, 0);

    // Press the button, drag into the list and release on the third item: accepted.
    PressAt(button);
    Driver().Pump();
    ASSERT_TRUE(e->IsDroppedDown());
    TRect item = list->ItemRect(3);
    TPoint onItem = list->ClientToScreen(Point(10, (item.Top + item.Bottom) / 2));
    InjectMouseMove(onItem);
    Driver().Pump();
    EXPECT_EQ(list->ItemIndex(), 3) << "the selection follows the mouse";
    ReleaseAt(onItem);
    Driver().Pump();
    EXPECT_FALSE(e->IsDroppedDown());
    EXPECT_EQ(e->Text(), "3");
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(e->Modified());

    // Dragging into the list and releasing outside it rejects.
    PressAt(button);
    Driver().Pump();
    InjectMouseMove(onItem);
    TPoint outside = WindowToScreen(e, {-30, 120});
    ReleaseAt(outside);
    Driver().Pump();
    EXPECT_FALSE(e->IsDroppedDown());
    EXPECT_EQ(e->Text(), "3");

    // A click anywhere in an image editor opens its list; focus loss closes it.
    Driver().Click(e);
    Driver().Pump();
    EXPECT_TRUE(e->IsDroppedDown());
    EXPECT_EQ(e->Perform(CM_HINTSHOW, 0, 0), 1) << "no hint while open";
    other->SetFocus();
    Driver().Pump();
    EXPECT_FALSE(e->IsDroppedDown());
    EXPECT_EQ(e->Text(), "3");
}

TEST_F(DropDownEdit, KeysOpenRouteToTheListAndClose) {
    TForm* form = MakeForm("F", 320, 260);
    auto* e = MakeImageEdit(form, "E", 8, 8, 5);
    e->SetText("0");
    form->Show();
    Driver().Pump();
    ASSERT_TRUE(e->Focused());
    Driver().PressKey(VK_DOWN, TShiftState{ssAlt});
    Driver().Pump();
    ASSERT_TRUE(e->IsDroppedDown());
    // While open the keys go to the list; the value stays until Enter.
    Driver().PressKey(VK_DOWN);
    Driver().PressKey(VK_DOWN);
    Driver().Pump();
    EXPECT_EQ(e->PopupList()->ItemIndex(), 2);
    EXPECT_EQ(e->Text(), "0");
    Driver().Enter();
    Driver().Pump();
    EXPECT_FALSE(e->IsDroppedDown());
    EXPECT_EQ(e->Text(), "2");
    // F4 opens, Escape rejects.
    Driver().PressKey(VK_F4);
    Driver().Pump();
    ASSERT_TRUE(e->IsDroppedDown());
    Driver().PressKey(VK_DOWN);
    Driver().Escape();
    Driver().Pump();
    EXPECT_FALSE(e->IsDroppedDown());
    EXPECT_EQ(e->Text(), "2");
    // Alt+Up on an open list accepts.
    Driver().PressKey(VK_F4);
    Driver().PressKey(VK_UP);
    Driver().PressKey(VK_UP, TShiftState{ssAlt});
    Driver().Pump();
    EXPECT_FALSE(e->IsDroppedDown());
    EXPECT_EQ(e->Text(), "1");
    // The wheel steps the closed editor.
    Driver().Wheel(e, -1);
    Driver().Pump();
    EXPECT_EQ(e->Text(), "2");
    Driver().Wheel(e, 1);
    Driver().Pump();
    EXPECT_EQ(e->Text(), "1");
}

TEST_F(DropDownEdit, PopupBorderFollowsTheEditorBorder) {
    TForm* form = MakeForm("F");
    auto* e = MakeImageEdit(form, "E", 8, 8, 2);
    EXPECT_EQ(e->GetPopupBorder(), pbSingle);
    e->Style()->SetBorderStyle(xbsFlat);
    EXPECT_EQ(e->GetPopupBorder(), pbFlat);
    e->Style()->SetBorderStyle(xbsNone);
    EXPECT_EQ(e->GetPopupBorder(), pbFrame3D);
    e->SetPopupBorder(pbSingle);
    EXPECT_EQ(e->GetPopupBorder(), pbSingle);
}

TEST_F(DropDownEdit, EscapeThatClosesAPopupNeverReachesTheFormsKeyPreview) {
    TForm* form = MakeForm("F", 320, 400);
    form->SetKeyPreview(true);
    int escapes = 0;
    form->OnKeyPress = [&](TObject*, char32_t& Key) { escapes += Key == 27; };
    auto* list = MakeImageEdit(form, "E", 8, 8, 4);
    auto* date = new TvxDateEdit(form);
    date->SetParent(form);
    date->SetBounds(8, 40, 120, 24);
    auto* combo = new TComboBox(form);
    combo->SetParent(form);
    combo->SetBounds(8, 72, 120, 24);
    combo->Items()->Add("COM3");
    combo->Items()->Add("COM4");
    form->Show();
    Driver().Pump();

    list->SetFocus();
    Driver().PressKey(VK_F4);
    Driver().Pump();
    ASSERT_TRUE(list->IsDroppedDown());
    Driver().Escape();
    Driver().Pump();
    EXPECT_FALSE(list->IsDroppedDown());
    EXPECT_EQ(escapes, 0) << "the list's Escape";

    date->SetFocus();
    Driver().PressKey(VK_F4);
    Driver().Pump();
    ASSERT_TRUE(date->IsDroppedDown());
    Driver().Escape();
    Driver().Pump();
    EXPECT_FALSE(date->IsDroppedDown());
    EXPECT_EQ(escapes, 0) << "the calendar's Escape";

    combo->SetFocus();
    combo->SetDroppedDown(true);
    Driver().Pump();
    Driver().Escape();
    Driver().Pump();
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(escapes, 0) << "the combo box's Escape";

    // With nothing open, Escape is the form's.
    Driver().Escape();
    Driver().Pump();
    EXPECT_EQ(escapes, 1);
}

TEST_F(DropDownEdit, DateEditorsCalendarClosesByItsButtonByHidingAndByFocusLeaving) {
    TForm* form = MakeForm("F", 320, 400);
    auto* date = new TvxDateEdit(form);
    date->SetParent(form);
    date->SetBounds(8, 8, 120, 24);
    auto* other = Add<TvxEdit>(form, "O", 200, 8);
    form->Show();
    Driver().Pump();
    TRect b = ButtonRect(date);
    const TPoint button = WindowToScreen(date, {(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2});

    // A second press on the button closes the calendar it opened.
    PressAt(button);
    ReleaseAt(button);
    Driver().Pump();
    ASSERT_TRUE(date->IsDroppedDown());
    TvxGridDatePopup* cal = date->Calendar();
    ASSERT_TRUE(cal && IsWindowVisible(cal->Handle()));
    PressAt(button);
    ReleaseAt(button);
    Driver().Pump();
    EXPECT_FALSE(date->IsDroppedDown());
    EXPECT_FALSE(IsWindowVisible(cal->Handle()));
    EXPECT_TRUE(date->Focused());

    // A click on another field while it is open: the calendar closes and that field keeps
    // the focus.
    PressAt(button);
    ReleaseAt(button);
    Driver().Pump();
    ASSERT_TRUE(IsWindowVisible(cal->Handle()));
    Driver().Click(other);
    Driver().Pump();
    EXPECT_FALSE(IsWindowVisible(cal->Handle()));
    EXPECT_FALSE(date->IsDroppedDown());
    EXPECT_TRUE(other->Focused());
    EXPECT_FALSE(date->Focused());

    // Hiding the editor closes its calendar.
    date->SetFocus();
    Driver().PressKey(VK_F4);
    Driver().Pump();
    ASSERT_TRUE(IsWindowVisible(cal->Handle()));
    date->Hide();
    Driver().Pump();
    EXPECT_FALSE(IsWindowVisible(cal->Handle()));
    EXPECT_FALSE(date->IsDroppedDown());
}

TEST_F(DropDownEdit, TheCalendarClosesWhenItsEditorCanNoLongerBeUsed) {
    TForm* form = MakeForm("F", 320, 400);
    auto* panel = Add<TPanel>(form, "P", 0, 0);
    panel->SetBounds(0, 0, 300, 100);
    auto* date = new TvxDateEdit(form);
    date->SetParent(panel);
    date->SetBounds(8, 8, 120, 24);
    date->SetDate(EncodeDate(2026, 3, 5));
    form->Show();
    Driver().Pump();
    auto open = [&] {
        if (!form->Visible()) form->Show();
        panel->Show();
        date->Show();
        date->SetEnabled(true);
        date->SetFocus();
        Driver().Pump();
        Driver().PressKey(VK_F4);
        Driver().Pump();
        return date->Calendar() && IsWindowVisible(date->Calendar()->Handle());
    };
    auto closed = [&] {
        Driver().Pump();
        TvxGridDatePopup* cal = date->Calendar();
        const HWND focus = GetFocus();
        return !IsWindowVisible(cal->Handle()) && !date->IsDroppedDown() && focus != cal->Handle();
    };
    ASSERT_TRUE(open());
    date->SetVisible(false);
    EXPECT_TRUE(closed()) << "editor hidden";
    ASSERT_TRUE(open());
    date->SetEnabled(false);
    EXPECT_TRUE(closed()) << "editor disabled";
    Driver().PressKey(VK_RIGHT);
    Driver().Enter();
    Driver().Pump();
    EXPECT_EQ(date->Date(), EncodeDate(2026, 3, 5)) << "no key reaches the closed calendar";
    ASSERT_TRUE(open());
    panel->Hide();
    EXPECT_TRUE(closed()) << "its page hidden";
    ASSERT_TRUE(open());
    form->Hide();
    EXPECT_TRUE(closed()) << "its form hidden";
    ASSERT_TRUE(open());
    form->Release();
    Driver().Pump();
}

TEST_F(DropDownEdit, TheWheelScrollsAnOpenListThreeLinesAndStepsAClosedEditorOne) {
    TForm* form = MakeForm("F", 320, 400);
    auto* e = MakeImageEdit(form, "E", 8, 8, 30);
    e->SetText("0");
    form->Show();
    e->SetFocus();
    Driver().Pump();
    Driver().Wheel(e, -1);
    Driver().Pump();
    EXPECT_EQ(e->Text(), "1") << "closed: one value per notch";
    Driver().PressKey(VK_F4);
    Driver().Pump();
    ASSERT_TRUE(e->IsDroppedDown());
    const int top = e->PopupList()->TopIndex();
    Driver().Wheel(e, -1);
    Driver().Pump();
    EXPECT_EQ(e->PopupList()->TopIndex(), top + 3);
    Driver().Escape();
}
