#include <filesystem>

#include "controls/vx_container.h"
#include "controls/vx_edit.h"
#include "controls/vx_edit_menu.h"
#include "controls/vx_mask_edit.h"
#include "controls/vx_style_controller.h"
#include "platform/forms/menus.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/system_metrics.h"
#include "platform/gdi/text.h"
#include "platform/win/input.h"
#include "tests/controls/vx_editor_test_support.h"
#include "tests/support/test_pictures.h"

namespace {

int FontHeight(TFont* font) {
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, font->Handle());
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    DeleteDC(dc);
    return tm.tmHeight;
}

TvxEditViewInfo ViewInfoOf(TvxInplaceEdit* e) {
    std::unique_ptr<TvxEditViewData> vd = e->CreateViewData(false);
    TvxEditViewInfo vi;
    e->EditClass().CalcViewInfo(*vd, false, vi);
    return vi;
}

// A container that allows editing and records what its editor hands over.
class TTestContainer : public TCustomvxContainer {
public:
    explicit TTestContainer(TComponent* owner) : TCustomvxContainer(owner) { SetBounds(0, 0, 200, 100); }
    bool CanEditModify() override { return canModify; }
    bool IsValidChar(char32_t) override { return true; }
    bool IsEditCellChanged() override { return cellChanged; }
    bool canModify = true;
    bool cellChanged = false;
    std::vector<uint16_t> keys;

protected:
    void KeyDown(uint16_t& Key, TShiftState Shift) override {
        keys.push_back(Key);
        TCustomvxContainer::KeyDown(Key, Shift);
    }
};

}  // namespace

class StandAloneEdit : public EditorTest {};

TEST_F(StandAloneEdit, CreatedAt121By24ThenTakesItsAutomaticHeight) {
    TForm* form = MakeForm("F");
    auto* e = new TvxEdit(form);
    EXPECT_EQ(e->Width(), 121);
    EXPECT_EQ(e->Height(), 24);
    EXPECT_TRUE(e->TabStop());
    EXPECT_FALSE(e->IsInplace());
    EXPECT_EQ(e->ClassName(), "TvxEdit");
    e->SetParent(form);
    form->Show();
    Driver().Pump();
    const int auto3d = FontHeight(e->Font()) + (GetSystemMetrics(SM_CYBORDER) + 1) * 2 + 2 * 2;
    EXPECT_EQ(e->Height(), auto3d);
    EXPECT_EQ(e->Width(), 121);
    // 3D border of width 2 on all edges, no shadow: no window region, client = content.
    TvxEditViewInfo vi = ViewInfoOf(e);
    EXPECT_EQ(vi.BorderWidth, 2);
    EXPECT_EQ(vi.ContentRect, Rect(2, 2, 119, auto3d - 2));
    EXPECT_EQ(vi.BorderRect, Rect(0, 0, 121, auto3d));
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(e->Handle(), probe), ERROR);
    EXPECT_EQ(e->ClientRect(), Rect(0, 0, 117, auto3d - 4));

    // Flat with shadow: two pixels more, a shadow rectangle and a region of both.
    auto* ctl = new TvxEditStyleController(form);
    ctl->SetBorderStyle(xbsFlat);
    ctl->SetShadow(true);
    e->SetStyleController(ctl);
    EXPECT_EQ(e->Height(), auto3d + 2);
    vi = ViewInfoOf(e);
    EXPECT_EQ(vi.ShadowWidth, 2);
    EXPECT_EQ(vi.ContentRect, Rect(2, 2, 117, auto3d - 2));
    EXPECT_EQ(vi.BorderRect, Rect(0, 0, 119, auto3d));
    EXPECT_EQ(vi.ShadowRect, Rect(2, 2, 121, auto3d + 2));
    ASSERT_NE(GetWindowRgn(e->Handle(), probe), ERROR);
    EXPECT_TRUE(PtInRegion(probe, 0, 0));
    EXPECT_FALSE(PtInRegion(probe, 120, 0)) << "the corner beside the shadow belongs to the form";
    EXPECT_FALSE(PtInRegion(probe, 0, auto3d + 1));
    EXPECT_TRUE(PtInRegion(probe, 120, auto3d + 1));
    DeleteObject(probe);
    // The shadow strip paints in the shadow colour; the corner shows the form.
    EXPECT_EQ(WindowPixel(e, {120, 10}), ColorToRGB(clBtnShadow));
    EXPECT_EQ(WindowPixel(e, {120, 0}), ColorToRGB(clBtnFace));

    // Single border without the top edge: width 1, the strips reach up.
    ctl->BeginUpdate();
    ctl->SetShadow(false);
    ctl->SetBorderStyle(xbsSingle);
    ctl->SetEdges({edgLeft, edgRight, edgBottom});
    ctl->EndUpdate();
    vi = ViewInfoOf(e);
    EXPECT_EQ(vi.BorderWidth, 1);
    EXPECT_EQ(vi.BorderRect, Rect(1, 2, 120, auto3d - 1));

    // Without AutoSize the height stays what it is set to.
    e->SetAutoSize(false);
    e->SetHeight(40);
    EXPECT_EQ(e->Height(), 40);
}

TEST_F(StandAloneEdit, PaintsFlat3DAndFocusedLooks) {
    TForm* form = MakeForm("F");
    auto* a = Add<TvxEdit>(form, "A", 8, 8);
    auto* b = Add<TvxEdit>(form, "B", 8, 40);
    a->SetText("Tür");
    b->SetText("Tor");
    b->Style()->SetBorderStyle(xbsFlat);
    form->Show();
    Driver().Pump();
    // The focus went to A (first in tab order): its text is selected.
    ASSERT_TRUE(a->Focused());
    // 3D: the sunken edge, dark outer line top-left, light outer line bottom-right.
    EXPECT_EQ(WindowPixel(a, {0, 0}), ColorToRGB(clBtnShadow));
    EXPECT_EQ(WindowPixel(a, {1, 1}), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(WindowPixel(a, {a->Width() - 1, a->Height() - 1}), ColorToRGB(clBtnHighlight));
    // Flat: one sunken line outside, the flat inner line inside.
    EXPECT_EQ(WindowPixel(b, {0, 0}), ColorToRGB(clBtnShadow));
    EXPECT_EQ(WindowPixel(b, {b->Width() - 1, b->Height() - 1}), ColorToRGB(clBtnHighlight));
    // Content: window colour behind the text; a focused editor shows its selection.
    const TPoint textPoint{2 + 2 + 1, b->Height() / 2};
    EXPECT_EQ(WindowPixel(b, {b->Width() - 6, b->Height() / 2}), ColorToRGB(clWindow));
    EXPECT_EQ(WindowPixel(a, {a->Width() - 6, a->Height() / 2}), ColorToRGB(clWindow));
    bool highlight = false;
    for (int x = 4; x < 20 && !highlight; ++x) highlight = WindowPixel(a, {x, textPoint.Y}) == ColorToRGB(clHighlight);
    EXPECT_TRUE(highlight) << "the selected text of the focused editor";
    for (int x = 4; x < 20; ++x) EXPECT_NE(WindowPixel(b, {x, textPoint.Y}), ColorToRGB(clHighlight));
    // Disabled: the button face.
    b->SetEnabled(false);
    EXPECT_EQ(WindowPixel(b, {b->Width() - 6, b->Height() / 2}), ColorToRGB(clBtnFace));
}

TEST_F(StandAloneEdit, EscapeRestoresTheTextOfFocusEntryAndValidationRaises) {
    TForm* form = MakeForm("F");
    auto* e = Add<TvxEdit>(form, "E", 8, 8);
    auto* other = Add<TvxEdit>(form, "Other", 8, 40);
    e->SetText("alt");
    int changes = 0;
    e->OnChange = [&](TObject*) { ++changes; };
    form->Show();
    Driver().Pump();
    ASSERT_TRUE(e->Focused());
    Driver().Type("neu");
    EXPECT_EQ(e->Text(), "neu");
    EXPECT_TRUE(e->Modified());
    EXPECT_EQ(changes, 3);
    Driver().Escape();
    EXPECT_EQ(e->Text(), "alt");
    EXPECT_FALSE(e->Modified());

    // A refusing OnValidate: beep, exception with its text, the editor keeps the focus.
    e->OnValidate = [](TObject*, std::string& text, bool& accept) {
        text = "nein";
        accept = false;
    };
    Driver().Type("x");
    unsigned beeps = MessageBeepCount();
    try {
        e->ValidateEdit();
        ADD_FAILURE() << "no exception";
    } catch (const EvxEditInvalidInput& ex) {
        EXPECT_EQ(ex.Message(), "nein");
    }
    EXPECT_EQ(MessageBeepCount(), beeps + 1);
    e->OnValidate = nullptr;
    other->SetFocus();
    Driver().Pump();
    EXPECT_TRUE(other->Focused());
}

TEST_F(StandAloneEdit, ReadOnlyDropsChangingKeysAndTypedCharacters) {
    TForm* form = MakeForm("F");
    auto* e = Add<TvxEdit>(form, "E", 8, 8);
    e->SetText("fest");
    e->SetReadOnly(true);
    form->Show();
    Driver().Pump();
    Driver().Type("x");
    Driver().PressKey(VK_DELETE);
    Driver().PressKey(VK_BACK);
    EXPECT_EQ(e->Text(), "fest");
    EXPECT_FALSE(e->Modified());
}

TEST_F(StandAloneEdit, EditMenuCommandsFollowTheEditorState) {
    TForm* form = MakeForm("F");
    auto* e = Add<TvxEdit>(form, "E", 8, 8);
    e->SetText("abc");
    form->Show();
    Driver().Pump();
    e->SelectAll();
    EXPECT_TRUE(e->EditMenuItemEnabled(vxemCopy));
    EXPECT_TRUE(e->EditMenuItemEnabled(vxemCut));
    EXPECT_FALSE(e->EditMenuItemEnabled(vxemSelectAll)) << "everything is selected";
    e->EditMenuCommand(vxemCut);
    EXPECT_EQ(e->Text(), "");
    EXPECT_TRUE(e->EditMenuItemEnabled(vxemPaste));
    EXPECT_TRUE(e->EditMenuItemEnabled(vxemUndo));
    e->EditMenuCommand(vxemPaste);
    EXPECT_EQ(e->Text(), "abc");
    e->SetPasswordChar(U'*');
    e->SelectAll();
    EXPECT_FALSE(e->EditMenuItemEnabled(vxemCut)) << "a password hides its text from the clipboard";
    EXPECT_FALSE(e->EditMenuItemEnabled(vxemCopy));
}

TEST_F(StandAloneEdit, ViewDataPaintsACellWithoutAnEditor) {
    // A container paints through the class descriptor alone.
    const TvxInplaceEditClass& cls = TvxInplaceTextEdit::StaticClass();
    std::unique_ptr<TvxEditViewData> vd = cls.CreateViewData();
    auto* tvd = dynamic_cast<TvxTextEditViewData*>(vd.get());
    ASSERT_NE(tvd, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateBitmap(60, 20, 1, 32, nullptr);
    SelectObject(dc, bmp);
    HBRUSH brush = CreateSolidBrush(0x00FFFF);
    vd->Bounds = Rect(0, 0, 60, 20);
    vd->BorderStyle = xbsNone;
    vd->Brush = brush;
    vd->Color = 0x00FFFF;
    vd->TextColor = 0;
    vd->EditValue = Variant(std::string("geheim"));
    tvd->PasswordChar = U'*';
    HRGN exclude = CreateRectRgn(0, 0, 60, 20);
    cls.DrawEdit(dc, exclude, *vd);
    EXPECT_EQ(GetPixel(dc, 50, 15), 0x00FFFFu) << "content filled with the cell brush";
    EXPECT_FALSE(PtInRegion(exclude, 10, 10)) << "the editor's shape left the region";
    // Measuring: one line.
    vd->MeasureOnly = true;
    TRect r = Rect(0, 0, 60, 20);
    cls.DrawContent(dc, r, false, *vd);
    EXPECT_EQ(tvd->LineCount, 1);
    DeleteObject(exclude);
    DeleteDC(dc);
    DeleteObject(bmp);
    DeleteObject(brush);
}

class InplaceEdit : public EditorTest {};

TEST_F(InplaceEdit, ShowsOverACellAndHandsNavigationKeysToTheContainer) {
    TForm* form = MakeForm("F");
    auto* grid = Add<TTestContainer>(form, "Grid", 8, 8);
    form->Show();
    Driver().Pump();
    auto* e = static_cast<TvxInplaceTextEdit*>(TvxInplaceTextEdit::StaticClass().Create(grid));
    e->SetParent(grid);
    EXPECT_TRUE(e->IsInplace());
    EXPECT_EQ(e->GetContainer(), grid);
    EXPECT_FALSE(e->TabStop());
    e->ShowEdit(Rect(0, 0, 0, 0));
    EXPECT_FALSE(e->Shown()) << "an empty rectangle shows nothing";
    e->SetEditValue(Variant(std::string("Zelle")));
    e->ShowEdit(Rect(10, 10, 90, 30));
    Driver().Pump();
    EXPECT_TRUE(e->Shown());
    EXPECT_EQ(e->BoundsRect(), Rect(8, 8, 92, 32));
    EXPECT_EQ(GetFocus(), e->Handle());
    EXPECT_EQ(e->SelLength(), 5) << "the text is selected after the show";

    Driver().Type("a");
    EXPECT_EQ(e->WindowText(), "a");
    Driver().PressKey(VK_DOWN);
    Driver().PressKey(VK_RETURN);
    EXPECT_EQ(grid->keys, (std::vector<uint16_t>{VK_DOWN, VK_RETURN}));
    EXPECT_EQ(e->WindowText(), "a") << "Enter's character never reaches the editor";

    // The container's changed cell swallows typing; a read-only cell drops changing keys.
    grid->cellChanged = true;
    Driver().Type("b");
    EXPECT_EQ(e->WindowText(), "a");
    grid->cellChanged = false;
    grid->canModify = false;
    Driver().Type("c");
    Driver().PressKey(VK_BACK);
    EXPECT_EQ(e->WindowText(), "a");

    e->Hide();
    EXPECT_FALSE(e->Shown());
    EXPECT_FALSE(IsWindowVisible(e->Handle()));
    e->SetShowTime(1234);
    EXPECT_EQ(e->ShowTime(), 1234u);
    EXPECT_FALSE(e->KeepOpenOnMouseDown());
}

TEST_F(InplaceEdit, FailingValidationLeavesNavigationKeysUnhandled) {
    TForm* form = MakeForm("F");
    auto* grid = Add<TTestContainer>(form, "Grid", 8, 8);
    form->Show();
    Driver().Pump();
    auto* e = new TvxInplaceMaskEdit(grid);
    e->SetParent(grid);
    e->SetEditMask("00;0;_");
    e->ShowEdit(Rect(10, 10, 90, 30));
    Driver().Pump();
    Driver().Type("1");
    uint16_t key = VK_DOWN;
    EXPECT_THROW(e->Perform(WM_KEYDOWN, key, 0), EDBEditError);
    EXPECT_TRUE(grid->keys.empty());
    EXPECT_TRUE(e->KeepOpenOnMouseDown()) << "a validation error is pending";
    EXPECT_EQ(GetFocus(), e->Handle());
}

TEST_F(StandAloneEdit, FormWithEditorsRendersToPng) {
    TForm* form = MakeForm("EditorForm", 300, 170);
    form->SetCaption("Editoren");
    auto* ctl = new TvxEditStyleController(form);
    ctl->SetBorderStyle(xbsFlat);
    ctl->SetShadow(true);
    auto* a = Add<TvxEdit>(form, "Edit1", 8, 8);
    a->SetText("Haupteingang");
    auto* b = Add<TvxEdit>(form, "Edit2", 8, 40);
    b->SetText("Nebentür");
    b->SetStyleController(ctl);
    auto* c = Add<TvxEdit>(form, "Edit3", 8, 72);
    c->SetText("geheim");
    c->SetPasswordChar(U'*');
    c->Style()->SetBorderStyle(xbsSingle);
    auto* m = new TvxInplaceMaskEdit(form);
    m->SetParent(form);
    m->SetBounds(8, 104, 121, 24);
    m->SetEditMask("!99:99;1;_");
    m->SetText("7:30");
    auto* ro = Add<TvxEdit>(form, "Edit4", 150, 8);
    ro->SetText("nur lesen");
    ro->SetEnabled(false);
    form->Show();
    Driver().Pump();
    std::string file = TestPicturePath("editor_form.png");
    ASSERT_TRUE(Driver().SaveForm(form, file));
    EXPECT_GT(std::filesystem::file_size(file), 100u);
}

TEST_F(StandAloneEdit, RightClickOpensTheEditMenuWithItsStates) {
    TForm* form = MakeForm("F");
    auto* e = Add<TvxEdit>(form, "E", 8, 8);
    e->SetText("abc");
    form->Show();
    Driver().Pump();
    e->SetSelStart(3);
    Driver().RightClick(e);
    Driver().Pump();
    TPopupMenu* menu = e->EditMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->IsOpen());
    ASSERT_EQ(menu->Items()->Count(), kvxEditMenuItemCount);
    EXPECT_EQ(menu->Items()->Items(3)->Caption(), "Cu&t");
    EXPECT_FALSE(menu->Items()->Items(3)->Enabled()) << "nothing selected";
    EXPECT_TRUE(menu->Items()->Items(8)->Enabled());
    menu->Items()->Items(8)->Click();
    EXPECT_EQ(e->SelLength(), 3);
    menu->CloseMenu();
}
