// The check editor and its style controller.

#include "controls/vx_check_edit_style.h"
#include "controls/vx_edit.h"
#include "controls/vx_standalone_edits.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/text.h"
#include "platform/win/input.h"
#include "tests/controls/vx_editor_test_support.h"

namespace {

// The box's rectangle in the editor's window coordinates.
TRect BoxOf(TvxInplaceCheckEdit* e) {
    std::unique_ptr<TvxEditViewData> vd = e->CreateViewData(false);
    TvxEditViewInfo vi;
    e->EditClass().CalcViewInfo(*vd, false, vi);
    TRect content = vi.ContentRect;
    TRect box;
    TvxInplaceCheckEditClass::CalcBoxRect(13, 13, content, vd->Alignment, box);
    return box;
}

}  // namespace

class CheckEdit : public EditorTest {};

TEST_F(CheckEdit, CyclesWithAllowGrayedAndFiresClickThenChange) {
    TForm* form = MakeForm("F");
    auto* e = Add<TvxCheckEdit>(form, "C", 8, 8);
    std::vector<std::string> events;
    e->OnClick = [&](TObject*) { events.push_back("click"); };
    e->OnChange = [&](TObject*) { events.push_back("change"); };
    e->SetCaption("Tür");
    EXPECT_TRUE(events.empty()) << "the caption is no value";
    e->Toggle();
    EXPECT_EQ(e->State(), cbsChecked);
    EXPECT_EQ(events, (std::vector<std::string>{"click", "change"}));
    e->Toggle();
    EXPECT_EQ(e->State(), cbsUnchecked);
    e->SetAllowGrayed(true);
    e->Toggle();
    EXPECT_EQ(e->State(), cbsGrayed);
    e->Toggle();
    EXPECT_EQ(e->State(), cbsChecked);
    e->Toggle();
    EXPECT_EQ(e->State(), cbsUnchecked);
    EXPECT_EQ(events.size(), 10u);
    EXPECT_TRUE(e->Modified());
    // Grayed set by code goes to checked next, even without AllowGrayed.
    e->SetAllowGrayed(false);
    e->SetState(cbsGrayed);
    e->Toggle();
    EXPECT_EQ(e->State(), cbsChecked);
    EXPECT_TRUE(e->Checked());

    // Loading a value fires nothing and keeps Modified.
    events.clear();
    e->SetModified(false);
    e->SetEditValue(Variant(2));
    EXPECT_EQ(e->State(), cbsGrayed);
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(e->Modified());
    EXPECT_EQ(e->EditValue().AsInteger(), 2);
    // Nor does the State setter while the form is loading.
    e->IncludeState(csLoading);
    e->SetState(cbsUnchecked);
    e->ExcludeState(csLoading);
    EXPECT_TRUE(events.empty());
    // Read-only: no toggle.
    e->SetReadOnly(true);
    e->Toggle();
    EXPECT_EQ(e->State(), cbsUnchecked);
}

TEST_F(CheckEdit, MouseTogglesOnlyWhenReleasedInsideAndSpaceToo) {
    TForm* form = MakeForm("F");
    auto* e = Add<TvxCheckEdit>(form, "C", 8, 8);
    e->SetCaption("Alarm");
    form->Show();
    Driver().Pump();
    int clicks = 0;
    e->OnClick = [&](TObject*) { ++clicks; };
    Driver().Click(e);
    Driver().Pump();
    EXPECT_EQ(e->State(), cbsChecked);
    EXPECT_EQ(clicks, 1);
    // Press, leave, release outside: no toggle; the pressed look follows the mouse.
    Driver().MouseDown(e, Point(5, 5));
    Driver().Pump();
    EXPECT_TRUE(e->BoxPressed());
    Driver().MoveTo(e, Point(-20, -20));
    Driver().Pump();
    EXPECT_FALSE(e->BoxPressed());
    Driver().MoveTo(e, Point(5, 5));
    Driver().Pump();
    EXPECT_TRUE(e->BoxPressed()) << "back inside before the release";
    Driver().MoveTo(e, Point(-20, -20));
    Driver().MouseUp(e, Point(-20, -20));
    Driver().Pump();
    EXPECT_EQ(e->State(), cbsChecked);
    EXPECT_EQ(clicks, 1);
    // Space: pressed while down, toggles on release.
    ASSERT_TRUE(e->Focused());
    InjectKey(VK_SPACE, true);
    Driver().Pump();
    EXPECT_TRUE(e->BoxPressed());
    InjectKey(VK_SPACE, false);
    Driver().Pump();
    EXPECT_FALSE(e->BoxPressed());
    EXPECT_EQ(e->State(), cbsUnchecked);
    // A read-only editor shows the pressed look but keeps its state.
    e->SetReadOnly(true);
    Driver().MouseDown(e, Point(5, 5));
    Driver().Pump();
    EXPECT_TRUE(e->BoxPressed());
    Driver().MouseUp(e, Point(5, 5));
    Driver().Pump();
    EXPECT_EQ(e->State(), cbsUnchecked);
}

TEST_F(CheckEdit, TakesNoBorderAnd3DBoxFromTheSharedControllerUnlessTied) {
    TForm* form = MakeForm("F");
    auto* e = Add<TvxCheckEdit>(form, "C", 8, 8);
    EXPECT_EQ(e->Style()->BorderStyle(), xbsNone);
    EXPECT_EQ(e->Style()->ButtonStyle(), bts3D);
    EXPECT_TRUE(e->ParentColor());
    // The shared controller's changes reach every untied check editor.
    auto* shared = TvxCheckEditStyle::GetDefaultCheckStyleController();
    ASSERT_NE(shared, nullptr);
    shared->SetBorderStyle(xbsSingle);
    EXPECT_EQ(e->Style()->BorderStyle(), xbsSingle);
    shared->RestoreDefaults();
    EXPECT_EQ(e->Style()->BorderStyle(), xbsNone);
    // A controller of its own wins.
    auto* own = new TvxCheckEditStyleController(form);
    EXPECT_EQ(own->BorderStyle(), xbsNone);
    EXPECT_EQ(own->ButtonStyle(), bts3D);
    own->SetBorderStyle(xbsFlat);
    own->SetShadow(true);
    e->SetStyleController(own);
    EXPECT_EQ(e->Style()->BorderStyle(), xbsFlat);
    EXPECT_TRUE(e->Style()->Shadow());
    own->RestoreDefaults();
    EXPECT_EQ(e->Style()->BorderStyle(), xbsNone);
    EXPECT_FALSE(e->Style()->Shadow());
}

TEST_F(CheckEdit, PaintsTheBoxIn3DFlatAndFocusedLooks) {
    TForm* form = MakeForm("F");
    auto* a = Add<TvxCheckEdit>(form, "A", 8, 8);
    auto* b = Add<TvxCheckEdit>(form, "B", 8, 40);
    a->SetCaption("Eins");
    b->SetCaption("Zwei");
    a->SetState(cbsChecked);
    b->Style()->SetButtonStyle(btsFlat);
    form->Show();
    Driver().Pump();
    ASSERT_TRUE(a->Focused());
    // Auto height: box and caption line with their margins.
    HDC mdc = CreateCompatibleDC(nullptr);
    SelectObject(mdc, a->Font()->Handle());
    TEXTMETRIC tm{};
    GetTextMetrics(mdc, &tm);
    DeleteDC(mdc);
    // (The caption's measured line may be a pixel taller than the font's height.)
    EXPECT_GE(a->Height(), tm.tmHeight + 4 + 4);
    EXPECT_LE(a->Height(), tm.tmHeight + 4 + 4 + 1);
    TRect box = BoxOf(a);
    EXPECT_EQ(box.Left, 4);
    // 3D box: sunken edge (shadow outside top-left), white inside, a black check mark.
    EXPECT_EQ(WindowPixel(a, {box.Left, box.Top}), ColorToRGB(clBtnShadow));
    EXPECT_EQ(WindowPixel(a, {box.Left + 1, box.Top + 1}), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(WindowPixel(a, {box.Left + 2, box.Top + 2}), ColorToRGB(clWindow));
    int ink = 0;
    for (int y = box.Top + 3; y < box.Bottom - 3; ++y)
        for (int x = box.Left + 3; x < box.Right - 3; ++x) ink += WindowPixel(a, {x, y}) == ColorToRGB(clWindowText);
    EXPECT_GT(ink, 8) << "the check mark";
    // Flat box: framed sunken-outer then flat-inner: shadow outside, face inside it.
    TRect fbox = BoxOf(b);
    EXPECT_EQ(WindowPixel(b, {fbox.Left, fbox.Top}), ColorToRGB(clBtnShadow));
    EXPECT_EQ(WindowPixel(b, {fbox.Right - 1, fbox.Bottom - 1}), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(WindowPixel(b, {fbox.Left + 1, fbox.Top + 1}), ColorToRGB(clBtnFace));
    int bink = 0;
    for (int y = fbox.Top + 3; y < fbox.Bottom - 3; ++y)
        for (int x = fbox.Left + 3; x < fbox.Right - 3; ++x) bink += WindowPixel(b, {x, y}) == ColorToRGB(clWindowText);
    EXPECT_EQ(bink, 0) << "unchecked";
    // Focused: a dotted frame around the caption only; the unfocused one has none.
    auto dots = [&](TvxInplaceCheckEdit* e) {
        int n = 0;
        for (int x = BoxOf(e).Right + 1; x < e->Width() - 4; ++x) {
            COLORREF c = WindowPixel(e, {x, 3});
            n += c != ColorToRGB(clBtnFace) && c != ColorToRGB(clWindow);
        }
        return n;
    };
    EXPECT_GT(dots(a), 3);
    EXPECT_EQ(dots(b), 0);
    // Disabled: the caption in the shadow colour.
    b->SetEnabled(false);
    int grey = 0;
    for (int y = 2; y < b->Height() - 2; ++y)
        for (int x = fbox.Right + 3; x < fbox.Right + 30; ++x)
            grey += WindowPixel(b, {x, y}) == ColorToRGB(clBtnShadow);
    EXPECT_GT(grey, 5);
}

TEST_F(CheckEdit, WithoutACaptionTheFocusFramesTheBox) {
    TForm* form = MakeForm("F");
    auto* a = Add<TvxCheckEdit>(form, "A", 8, 8);
    auto* b = Add<TvxCheckEdit>(form, "B", 8, 40);
    a->SetCaption("");
    b->SetCaption("");
    form->Show();
    Driver().Pump();
    ASSERT_TRUE(a->Focused());
    // The ring one pixel outside the box: dotted on the focused editor, plain background
    // on the other.
    auto ring = [&](TvxInplaceCheckEdit* e) {
        const TRect box = BoxOf(e);
        const COLORREF back = WindowPixel(e, {1, 1});
        int n = 0;
        for (int x = box.Left - 1; x <= box.Right; ++x)
            n += (WindowPixel(e, {x, box.Top - 1}) != back) + (WindowPixel(e, {x, box.Bottom}) != back);
        return n;
    };
    EXPECT_GT(ring(a), 4);
    EXPECT_EQ(ring(b), 0);
    b->SetFocus();
    Driver().Pump();
    EXPECT_EQ(ring(a), 0);
    EXPECT_GT(ring(b), 4);
}

TEST_F(CheckEdit, GlyphStripShowsPressedImagesOnlyWhenItHasThem) {
    TForm* form = MakeForm("F");
    auto* e = Add<TvxCheckEdit>(form, "C", 8, 8);
    // Six 10x10 images in six colours.
    TBitmap strip(60, 10);
    const COLORREF colours[6] = {RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(0, 0, 255),
                                 RGB(255, 255, 0), RGB(0, 255, 255), RGB(255, 0, 255)};
    for (int i = 0; i < 6; ++i)
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) strip.SetPixel(i * 10 + x, y, colours[i]);
    strip.SetPixel(0, 9, RGB(0, 0, 0));  // the bottom-left pixel names the transparent colour
    e->SetGlyph(&strip);
    form->Show();
    Driver().Pump();
    std::unique_ptr<TvxEditViewData> vd = e->CreateViewData(false);
    TvxEditViewInfo vi;
    e->EditClass().CalcViewInfo(*vd, false, vi);
    TRect content = vi.ContentRect;
    TRect box;
    TvxInplaceCheckEditClass::CalcBoxRect(10, 10, content, taLeftJustify, box);
    const TPoint mid{box.Left + 5, box.Top + 5};
    EXPECT_EQ(WindowPixel(e, mid), colours[0]);
    e->SetState(cbsGrayed);
    EXPECT_EQ(WindowPixel(e, mid), colours[2]);
    Driver().MouseDown(e, Point(3, 3));
    Driver().Pump();
    EXPECT_EQ(WindowPixel(e, mid), colours[5]) << "pressed grayed";
    e->SetGlyphCount(3);
    // Three images only: the pressed look falls back to the normal image (index 5 -> 2).
    TBitmap three(30, 10);
    for (int i = 0; i < 3; ++i)
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) three.SetPixel(i * 10 + x, y, colours[i]);
    three.SetPixel(0, 9, RGB(0, 0, 0));
    e->SetGlyph(&three);
    EXPECT_EQ(WindowPixel(e, mid), colours[2]);
    Driver().MouseUp(e, Point(3, 3));
    Driver().Pump();
    EXPECT_EQ(e->State(), cbsChecked);
}

TEST_F(CheckEdit, OneSharedControllerRestylesEveryKindOfEditorAtOnce) {
    TForm* form = MakeForm("F", 320, 240);
    auto* ctl = new TvxCheckEditStyleController(form);
    std::vector<TvxInplaceEdit*> editors = {Add<TvxEdit>(form, "E", 8, 8), Add<TvxCheckEdit>(form, "C", 8, 40),
                                            Add<TvxDateEdit>(form, "D", 8, 72), Add<TvxImageEdit>(form, "I", 8, 104)};
    for (TvxInplaceEdit* e : editors) {
        EXPECT_FALSE(e->IsInplace()) << e->ClassName();
        EXPECT_TRUE(e->TabStop());
        e->SetStyleController(ctl);
    }
    form->Show();
    Driver().Pump();
    std::vector<int> heights;
    for (TvxInplaceEdit* e : editors) heights.push_back(e->Height());
    ctl->BeginUpdate();
    ctl->SetBorderStyle(xbsFlat);
    ctl->SetShadow(true);
    ctl->EndUpdate();
    for (size_t i = 0; i < editors.size(); ++i) {
        EXPECT_EQ(editors[i]->Style()->BorderStyle(), xbsFlat) << editors[i]->ClassName();
        EXPECT_EQ(editors[i]->Height(), heights[i] + 2) << "the shadow below " << editors[i]->ClassName();
        HRGN probe = CreateRectRgn(0, 0, 0, 0);
        EXPECT_NE(GetWindowRgn(editors[i]->Handle(), probe), ERROR) << editors[i]->ClassName();
        DeleteObject(probe);
    }
}

TEST_F(CheckEdit, AcceleratorFocusesAndToggles) {
    TForm* form = MakeForm("F");
    auto* other = Add<TvxEdit>(form, "E", 8, 40);
    auto* e = Add<TvxCheckEdit>(form, "C", 8, 8);
    e->SetCaption("&Alarm");
    form->Show();
    other->SetFocus();
    Driver().Pump();
    ASSERT_TRUE(other->Focused());
    EXPECT_EQ(e->Perform(CM_DIALOGCHAR, 'a', 0), 1);
    Driver().Pump();
    EXPECT_TRUE(e->Focused());
    EXPECT_EQ(e->State(), cbsChecked);
    EXPECT_EQ(e->Perform(CM_DIALOGCHAR, 'x', 0), 0);
}
