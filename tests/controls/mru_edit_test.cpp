// The most-recently-used editor: the list order and length, and its second button.

#include "controls/vx_mru_edit.h"
#include "platform/win/input.h"
#include "platform/win/window_tree.h"
#include "tests/controls/vx_editor_test_support.h"
#include "tests/controls/vx_standalone_test_support.h"

namespace {

using TMRUEdit = StandAlone<TvxInplaceMRUEdit, TvxInplaceMRUEditClass>;

std::vector<std::string> ItemsOf(TvxInplacePickEdit* e) {
    std::vector<std::string> v;
    for (int i = 0; i < e->Items()->Count(); ++i) v.push_back(e->Items()->Strings(i));
    return v;
}

void Fill(TvxInplacePickEdit* e, std::initializer_list<const char*> items) {
    TStringList l;
    for (const char* s : items) l.Add(s);
    e->SetItems(&l);
}

// The view's button records and their rectangles in window coordinates.
std::vector<std::pair<TvxEditButtonViewInfo, TRect>> Buttons(TvxInplaceDropDownEdit* e) {
    std::unique_ptr<TvxEditViewData> vd = e->CreateViewData(false);
    TRect wr;
    GetWindowRect(e->Handle(), &wr);
    vd->Bounds = Rect(0, 0, wr.Width(), wr.Height());
    TvxEditViewInfo vi;
    e->EditClass().CalcViewInfo(*vd, false, vi);
    std::array<TRect, vxMaxEditButtons> rects{};
    auto& dvd = static_cast<TvxDropDownEditViewData&>(*vd);
    const int n = static_cast<const TvxInplaceDropDownEditClass&>(e->EditClass()).LayoutButtons(vi, dvd, rects);
    std::vector<std::pair<TvxEditButtonViewInfo, TRect>> out;
    for (int i = 0; i < n; ++i) out.push_back({dvd.Buttons[static_cast<size_t>(i)], rects[static_cast<size_t>(i)]});
    return out;
}

}  // namespace

class MRUEdit : public EditorTest {
protected:
    TMRUEdit* MakeEdit(TForm* form) {
        auto* e = Add<TMRUEdit>(form, "E", 8, 8);
        e->SetWidth(150);
        form->Show();
        e->SetFocus();
        Driver().Pump();
        return e;
    }
};

TEST_F(MRUEdit, ConfirmedValuesMoveToTheTopAndTheListIsCut) {
    for (bool english : {false, true}) {
        SCOPED_TRACE(english ? "English" : "German");
        if (english) FormatSettings().DecimalSeparator = '.';
        TForm* form = MakeForm(english ? "En" : "De");
        TMRUEdit* e = MakeEdit(form);
        EXPECT_EQ(e->MaxItemCount(), 7);
        EXPECT_FALSE(e->ImmediateDropDown());
        Fill(e, {"a", "b", "c"});
        e->SelectAll();
        Driver().Type("b");
        e->ValidateEdit();
        EXPECT_EQ(ItemsOf(e), (std::vector<std::string>{"b", "a", "c"})) << "moved, not doubled";
        e->SetMaxItemCount(2);
        EXPECT_EQ(ItemsOf(e), (std::vector<std::string>{"b", "a"}));
        e->SetText("");
        Driver().Type("1,5");
        e->ValidateEdit();
        EXPECT_EQ(ItemsOf(e), (std::vector<std::string>{"1,5", "b"}));
        e->SetModified(false);
        e->SetText("zz");
        e->ValidateEdit();
        EXPECT_EQ(ItemsOf(e).front(), "1,5") << "an unmodified text is not recorded";
        e->SetMaxItemCount(-5);
        EXPECT_EQ(e->MaxItemCount(), 0);
        for (const char* s : {"p", "q", "r", "s"}) e->AddItem(s);
        EXPECT_EQ(e->Items()->Count(), 6) << "0 keeps every value";
        e->AddItem("");
        EXPECT_EQ(e->Items()->Count(), 6);
        // A sorted list takes new values in their place and raises nothing.
        e->SetItemsSorted(true);
        e->AddItem("m");
        e->AddItem("q");
        EXPECT_EQ(ItemsOf(e), (std::vector<std::string>{"1,5", "b", "m", "p", "q", "r", "s"}));
        form->Release();
        Driver().Pump();
    }
}

TEST_F(MRUEdit, EllipsisButtonAndCtrlEnterFireTheClickWithoutOpeningTheList) {
    TForm* form = MakeForm("F", 320, 300);
    TMRUEdit* e = MakeEdit(form);
    Fill(e, {"a", "b"});
    int clicks = 0;
    e->OnButtonClick = [&](TObject*) { ++clicks; };
    auto buttons = Buttons(e);
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0].first.Kind, bkDown);
    EXPECT_EQ(buttons[1].first.Kind, bkEllipsis);
    TRect wr;
    GetWindowRect(e->Handle(), &wr);
    const TRect r = buttons[1].second;
    const TPoint p{wr.Left + (r.Left + r.Right) / 2, wr.Top + (r.Top + r.Bottom) / 2};
    InjectMouseMove(p);
    InjectMouseButton(p, MouseButton::Left, true);
    InjectMouseButton(p, MouseButton::Left, false);
    Driver().Pump();
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(e->IsDroppedDown());
    const TRect d = buttons[0].second;
    const TPoint q{wr.Left + (d.Left + d.Right) / 2, wr.Top + (d.Top + d.Bottom) / 2};
    InjectMouseMove(q);
    InjectMouseButton(q, MouseButton::Left, true);
    Driver().Pump();
    EXPECT_TRUE(e->IsDroppedDown()) << "the drop-down button opens the list";
    InjectMouseButton(q, MouseButton::Left, false);
    Driver().Escape();
    Driver().Pump();
    e->SetText("x");
    Driver().PressKey(VK_RETURN, TShiftState{ssCtrl});
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(e->Text(), "x");
    e->SetShowEllipsis(false);
    Driver().PressKey(VK_RETURN, TShiftState{ssCtrl});
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(Buttons(e).size(), 1u);
}

TEST_F(MRUEdit, GlyphMakesADownArrowAndAGlyphButton) {
    TForm* form = MakeForm("F");
    TMRUEdit* e = MakeEdit(form);
    TBitmap glyph(12, 10);
    glyph.Canvas()->Brush()->SetColor(clWhite);  // the corner pixel: transparent
    glyph.Canvas()->FillRect(Rect(0, 0, 12, 10));
    glyph.Canvas()->Brush()->SetColor(clRed);
    glyph.Canvas()->FillRect(Rect(2, 2, 10, 8));
    e->SetButtonGlyph(&glyph);
    Driver().Pump();
    auto buttons = Buttons(e);
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0].first.Kind, bkDown);
    EXPECT_EQ(buttons[1].first.Kind, bkGlyph);
    EXPECT_EQ(buttons[1].first.Width, 12 + 2 + 2) << "the glyph's width (3D buttons)";
    const TRect r = buttons[1].second;
    EXPECT_EQ(WindowPixel(e, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}), ColorToRGB(clRed));
}
