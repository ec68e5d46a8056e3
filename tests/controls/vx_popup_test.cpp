#include "controls/vx_container.h"
#include "controls/vx_edit.h"
#include "controls/vx_edit_style.h"
#include "controls/vx_hint_window.h"
#include "controls/vx_popup_control.h"
#include "controls/vx_style_controller.h"
#include "platform/forms/screen.h"
#include "platform/gdi/draw.h"
#include "platform/win/input.h"
#include "tests/controls/vx_editor_test_support.h"

namespace {

class TWheelContainer : public TCustomvxContainer {
public:
    explicit TWheelContainer(TComponent* owner) : TCustomvxContainer(owner) { SetBounds(0, 0, 100, 60); }
    std::vector<int> scrolls;

protected:
    void WMVScroll(TMessage& Message) override { scrolls.push_back(LOWORD(Message.WParam)); }
};

}  // namespace

class PopupBase : public EditorTest {};

TEST_F(PopupBase, PopupBordersShadowAndClientInset) {
    TForm* form = MakeForm("F");
    auto* e = Add<TvxEdit>(form, "E", 8, 8);
    form->Show();
    Driver().Pump();
    auto* popup = new TvxInplacePopupControl(e);
    EXPECT_EQ(popup->Editor(), e);
    popup->SetBounds(100, 100, 80, 60);
    popup->ShowPopup();
    Driver().Pump();
    EXPECT_EQ(popup->ClientRect(), Rect(0, 0, 80, 60)) << "pbDefault without shadow: no non-client area";
    EXPECT_TRUE(e->Focused()) << "showing the pop-up leaves the focus in the editor";
    popup->SetPopupBorder(pbFrame3D);
    popup->SetShadow(true);
    popup->ShowPopup();
    Driver().Pump();
    EXPECT_EQ(popup->ClientRect(), Rect(0, 0, 80 - 8 - 2, 60 - 8 - 2));
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(GetWindowRgn(popup->Handle(), rgn), ERROR);
    EXPECT_FALSE(PtInRegion(rgn, 79, 0)) << "the corner beside the shadow";
    EXPECT_TRUE(PtInRegion(rgn, 79, 59));
    EXPECT_TRUE(PtInRegion(rgn, 0, 0));
    DeleteObject(rgn);

    // Closing hides it and posts the close message to the editor.
    popup->ClosePopup();
    EXPECT_FALSE(IsWindowVisible(popup->Handle()));
    MSG m{};
    EXPECT_TRUE(PeekMessage(m, e->Handle(), WM_VX_POPUPCLOSED, WM_VX_POPUPCLOSED, PM_REMOVE));
    EXPECT_EQ(popup->Perform(WM_MOUSEACTIVATE, 0, 0), MA_NOACTIVATE);
}

TEST_F(PopupBase, DrawPopupFrameKindsAndSizeGrip) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateBitmap(40, 30, 1, 32, nullptr);
    SelectObject(dc, bmp);
    FillRect(dc, Rect(0, 0, 40, 30), GetSysColorBrush(COLOR_WINDOW));
    DrawPopupFrame(dc, Rect(0, 0, 40, 30), pbSingle, 2, true, false);
    EXPECT_EQ(GetPixel(dc, 38, 20), ColorToRGB(clBtnShadow)) << "right shadow strip";
    EXPECT_EQ(GetPixel(dc, 1, 29), ColorToRGB(clWindow)) << "left of the bottom strip stays";
    EXPECT_NE(GetPixel(dc, 0, 0), ColorToRGB(clWindow)) << "the single frame";
    EXPECT_EQ(PopupBorderWidth(pbSingle), 1);
    EXPECT_EQ(PopupBorderWidth(pbFlat), 2);
    FillRect(dc, Rect(0, 0, 40, 30), GetSysColorBrush(COLOR_WINDOW));
    DrawPopupFrame(dc, Rect(0, 0, 40, 30), pbDefault, 2, false, true);
    EXPECT_EQ(GetPixel(dc, 39, 29), ColorToRGB(clBtnFace)) << "size grip square";
    EXPECT_EQ(GetPixel(dc, 0, 0), ColorToRGB(clWindow));
    DeleteDC(dc);
    DeleteObject(bmp);
}

TEST_F(PopupBase, HintStaysOnTheScreenAndLetsClicksThrough) {
    auto* hint = new TvxContainerHintWindow(EnsureApplication());
    TScreen* screen = EnsureScreen();
    hint->ActivateHint({screen->Width() - 5, screen->Height() - 5}, "Tür offen", nullptr);
    Driver().Pump();
    EXPECT_LE(hint->Left() + hint->Width(), screen->Width());
    EXPECT_LE(hint->Top() + hint->Height(), screen->Height());
    EXPECT_EQ(hint->Perform(WM_NCHITTEST, 0, 0), HTTRANSPARENT);
    hint->ShowHint({-20, -20}, 0, false, nullptr, "x");
    EXPECT_EQ(hint->Left(), 0);
    EXPECT_EQ(hint->Top(), 0);
    // A text longer than the width wraps: the window grows in height.
    int oneLine = hint->Height();
    hint->ShowHint({10, 10}, 60, false, nullptr, "eins zwei drei vier fünf sechs");
    EXPECT_LE(hint->Width(), 66);
    EXPECT_GT(hint->Height(), oneLine);
    EXPECT_EQ(hint->Color(), clInfoBk);
}

TEST_F(PopupBase, ContainerScrollsByTheWheelLinesAndAnswersItsDefaults) {
    TForm* form = MakeForm("F");
    auto* c = Add<TWheelContainer>(form, "C", 8, 8);
    c->SetTabStop(true);
    form->Show();
    Driver().Pump();
    c->SetFocus();
    Driver().Wheel(c, -1);
    Driver().Pump();
    std::vector<int> expected(WheelScrollLines(), SB_LINEDOWN);
    EXPECT_EQ(c->scrolls, expected);
    EXPECT_FALSE(c->CanEditModify());
    EXPECT_FALSE(c->IsValidChar(U'a'));
    EXPECT_EQ(c->GetEditButtonViewStyle(xbs3D), btsFlat);
    c->BeginLoadingValues();
    EXPECT_TRUE(c->LoadingEditValues());
    c->EndLoadingValues();
    EXPECT_FALSE(c->LoadingEditValues());
}

TEST_F(PopupBase, UnitStartsOnceAndReleasesInOrder) {
    // The fixture started the unit once; a second start only counts.
    TvxEditStyleController* controller = DefaultEditStyleController();
    ASSERT_NE(controller, nullptr);
    vxEditorsStartup();
    EXPECT_EQ(DefaultEditStyleController(), controller);
    vxEditorsShutdown();
    EXPECT_TRUE(vxEditorsStarted());
    EXPECT_NE(vxShadowBrush(), nullptr);
    ASSERT_EQ(vxDateWords().size(), static_cast<size_t>(vxDateWordCount));
    EXPECT_EQ(vxDateWords()[dwToday], "TODAY");
    EXPECT_EQ(vxDateWords()[dwSaturday], "SATURDAY");
    EXPECT_EQ(vxDateWords()[dwEOM], "EOM");
    EXPECT_EQ(vxToolCommandCaption(4), "&Load...");
    EXPECT_EQ(vxToolCommandHint(5), "Save to file...");
    EXPECT_EQ(vxToolCommandCaption(6), "");
    EXPECT_EQ(vxPopupButtonCaption(2), "&Close");
    EXPECT_EQ(vxInvalidDateText(), "Invalid Date");
    EXPECT_NE(vxSharedCanvas(), nullptr);
    EXPECT_DOUBLE_EQ(vxMaxTime, 1.0 - vxOneSecond);
    // An editor that outlives the unit keeps working on the constants.
    auto* e = new TvxEdit(EnsureApplication());
    vxEditorsShutdown();
    EXPECT_EQ(DefaultEditStyleController(), nullptr);
    EXPECT_EQ(e->Style()->BorderStyle(), xbs3D);
    delete e;
    vxEditorsStartup();
}
