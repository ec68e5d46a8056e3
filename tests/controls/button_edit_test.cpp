// The button editor: its button collection, clicks by index, the click key, buttons-only
// layout and loading without buttons.

#include "controls/vx_button_edit.h"
#include "controls/vx_container.h"
#include "platform/win/input.h"
#include "platform/win/window_tree.h"
#include "tests/controls/vx_editor_test_support.h"
#include "tests/controls/vx_standalone_test_support.h"

namespace {

using TButtonEdit = StandAlone<TvxInplaceButtonEdit, TvxInplaceButtonEditClass>;

// Button rectangles in the editor's window coordinates, in visible order.
std::vector<TRect> ButtonRects(TvxInplaceDropDownEdit* e) {
    std::unique_ptr<TvxEditViewData> vd = e->CreateViewData(false);
    TRect wr;
    GetWindowRect(e->Handle(), &wr);
    vd->Bounds = Rect(0, 0, wr.Width(), wr.Height());
    TvxEditViewInfo vi;
    e->EditClass().CalcViewInfo(*vd, false, vi);
    std::array<TRect, vxMaxEditButtons> rects{};
    auto& cls = static_cast<const TvxInplaceDropDownEditClass&>(e->EditClass());
    const int n = cls.LayoutButtons(vi, static_cast<TvxDropDownEditViewData&>(*vd), rects);
    return {rects.begin(), rects.begin() + n};
}

void ClickWindowPoint(TWinControl* c, TPoint p) {
    TRect r;
    GetWindowRect(c->Handle(), &r);
    const TPoint s{r.Left + p.X, r.Top + p.Y};
    InjectMouseMove(s);
    InjectMouseButton(s, MouseButton::Left, true);
    InjectMouseButton(s, MouseButton::Left, false);
}

TPoint CentreOf(const TRect& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

}  // namespace

class ButtonEdit : public EditorTest {};

TEST_F(ButtonEdit, NewEditorHasOneDefaultButtonThatCtrlEnterClicks) {
    TForm* form = MakeForm("F");
    auto* e = Add<TButtonEdit>(form, "E", 8, 8);
    ASSERT_EQ(e->Buttons()->Count(), 1);
    EXPECT_TRUE(e->Buttons()->Items(0)->Default());
    std::vector<int> clicks;
    int drops = 0;
    e->OnButtonClick = [&](TObject*, int i) { clicks.push_back(i); };
    e->OnDropDown = [&](TObject*) { ++drops; };
    e->SetText("abc");
    form->Show();
    e->SetFocus();
    Driver().Pump();
    Driver().PressKey(VK_RETURN, TShiftState{ssCtrl});
    Driver().Pump();
    EXPECT_EQ(clicks, std::vector<int>{0});
    EXPECT_EQ(drops, 1) << "every click runs the drop-down hook";
    EXPECT_EQ(e->Text(), "abc") << "the key types nothing";
    // A read-only editor does not click.
    e->SetReadOnly(true);
    ASSERT_FALSE(e->CanEditText());
    Driver().PressKey(VK_RETURN, TShiftState{ssCtrl});
    EXPECT_EQ(clicks.size(), 1u);
    // Without a default button the key clicks nothing.
    e->SetReadOnly(false);
    e->Buttons()->Add();
    e->Buttons()->Items(0)->SetDefault(false);
    Driver().PressKey(VK_RETURN, TShiftState{ssCtrl});
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(ButtonEdit, NinthButtonIsRefusedAndDefaultStaysUnique) {
    TForm* form = MakeForm("F");
    auto* e = Add<TButtonEdit>(form, "E", 8, 8);
    TvxEditButtons* b = e->Buttons();
    for (int i = 1; i < 8; ++i) b->Add();
    try {
        b->Add();
        FAIL() << "a ninth button";
    } catch (const EvxEditButtons& ex) {
        EXPECT_EQ(ex.Message(), "Too many buttons ( >= 8)");
    }
    EXPECT_EQ(b->Count(), 8);
    b->Items(2)->SetDefault(true);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(b->Items(i)->Default(), i == 2) << i;
    // Deleting down to one makes that one default again.
    while (b->Count() > 1) b->Delete(0);
    EXPECT_TRUE(b->Items(0)->Default());
    // Not while the editor is loading.
    b->Add()->SetDefault(true);
    ASSERT_FALSE(b->Items(0)->Default());
    e->IncludeState(csLoading);
    b->Delete(1);
    EXPECT_FALSE(b->Items(0)->Default());
    e->ExcludeState(csLoading);
}

TEST_F(ButtonEdit, HiddenButtonsTakeNoSpaceAndClicksReportTheCollectionIndex) {
    TForm* form = MakeForm("F");
    auto* e = Add<TButtonEdit>(form, "E", 8, 8);
    e->SetWidth(160);
    e->Buttons()->Add();
    e->Buttons()->Add()->SetKind(bkDown);
    std::vector<int> clicks;
    e->OnButtonClick = [&](TObject*, int i) { clicks.push_back(i); };
    form->Show();
    Driver().Pump();
    EXPECT_EQ(ButtonRects(e).size(), 3u);
    const int fullClient = e->ClientWidth();
    e->Buttons()->Items(0)->SetVisible(false);
    Driver().Pump();
    std::vector<TRect> rects = ButtonRects(e);
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(e->ClientWidth(), fullClient + rects[0].Width()) << "the hidden button gives its width back";
    ClickWindowPoint(e, CentreOf(rects[0]));
    Driver().Pump();
    ClickWindowPoint(e, CentreOf(rects[1]));
    Driver().Pump();
    EXPECT_EQ(clicks, (std::vector<int>{1, 2}));
    // A visible index beyond the buttons fires nothing.
    e->ButtonClick(5);
    EXPECT_EQ(clicks.size(), 2u);
    // The default button is found in visible order.
    e->Buttons()->Items(2)->SetDefault(true);
    e->ClickDefaultButton();
    EXPECT_EQ(clicks.back(), 2);
    // Buttons are copied, not shared.
    auto* copy = Add<TButtonEdit>(form, "C", 8, 60);
    TBitmap glyph(8, 8);
    e->Buttons()->Items(1)->SetGlyph(&glyph);
    e->Buttons()->Items(1)->SetWidth(30);
    copy->SetButtons(e->Buttons());
    ASSERT_EQ(copy->Buttons()->Count(), 3);
    EXPECT_FALSE(copy->Buttons()->Items(0)->Visible());
    EXPECT_TRUE(copy->Buttons()->Items(1)->HasGlyph());
    EXPECT_NE(copy->Buttons()->Items(1)->Glyph(), e->Buttons()->Items(1)->Glyph());
    EXPECT_EQ(copy->Buttons()->Items(1)->Width(), 30);
    EXPECT_EQ(copy->Buttons()->Items(2)->Kind(), bkDown);
    EXPECT_TRUE(copy->Buttons()->Items(2)->Default());
    EXPECT_FALSE(copy->Buttons()->Items(0)->Default());
}

TEST_F(ButtonEdit, ButtonsOnlyFillTheEditorAndHiddenCaretPaintsText) {
    TForm* form = MakeForm("F");
    auto* e = Add<TButtonEdit>(form, "E", 8, 8);
    e->SetWidth(120);
    e->SetText("Wert");
    form->Show();
    Driver().Pump();
    e->SetViewMode(vxbvmButtonsOnly);
    Driver().Pump();
    std::vector<TRect> rects = ButtonRects(e);
    ASSERT_EQ(rects.size(), 1u);
    TRect wr;
    GetWindowRect(e->Handle(), &wr);
    EXPECT_EQ(rects[0].Width(), wr.Width() - 4) << "one button across the inside of the border";
    EXPECT_EQ(e->ClientWidth(), 0);
    EXPECT_FALSE(e->IsTextEditor());
    // Hidden caret: the text is painted from the view data, not edited.
    e->SetViewMode(vxbvmHideCursor);
    Driver().Pump();
    EXPECT_FALSE(e->IsTextEditor());
    int ink = 0;
    for (int y = 3; y < e->Height() - 3; ++y)
        for (int x = 3; x < 40; ++x) ink += WindowPixel(e, {x, y}) != ColorToRGB(clWindow);
    EXPECT_GT(ink, 10);
}

TEST_F(ButtonEdit, LoadingWithoutExistButtonsLeavesNoButtons) {
    TForm* form = MakeForm("F");
    auto* stored = Add<TButtonEdit>(form, "A", 8, 8);
    auto* empty = Add<TButtonEdit>(form, "B", 8, 40);
    for (TButtonEdit* e : {stored, empty}) e->IncludeState(csLoading);
    EXPECT_TRUE(stored->IsExistButtonsStored());
    stored->ReadExistButtons(stored->ExistButtons());
    for (TButtonEdit* e : {stored, empty}) static_cast<TComponent*>(e)->Loaded();
    EXPECT_EQ(stored->Buttons()->Count(), 1);
    EXPECT_EQ(empty->Buttons()->Count(), 0);
    EXPECT_FALSE(empty->IsExistButtonsStored());
}

TEST_F(ButtonEdit, InPlaceWithHiddenCaretArrowsMoveTheColumn) {
    struct Container : TCustomvxContainer {
        explicit Container(TComponent* o) : TCustomvxContainer(o) { SetBounds(0, 0, 300, 100); }
        bool CanEditModify() override { return true; }
        void MoveColumnFocus(bool Backward) override { moves.push_back(Backward ? -1 : 1); }
        std::vector<int> moves;
    };
    TForm* form = MakeForm("F");
    auto* c = new Container(form);
    c->SetParent(form);
    auto* e = new TvxInplaceButtonEdit(c);
    e->SetParent(c);
    e->SetViewMode(vxbvmHideCursor);
    form->Show();
    e->ShowEdit(Rect(10, 10, 150, 30));
    Driver().Pump();
    Driver().PressKey(VK_LEFT);
    Driver().PressKey(VK_RIGHT);
    EXPECT_EQ(c->moves, (std::vector<int>{-1, 1}));
}
