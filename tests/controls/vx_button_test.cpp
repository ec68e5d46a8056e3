// The push button: its looks per state, keyboard rules, clicks and modal results.

#include <gtest/gtest.h>

#include <filesystem>

#include "controls/vx_button.h"
#include "platform/forms/application.h"
#include "platform/forms/control_paint.h"
#include "platform/forms/edit.h"
#include "platform/win/paint.h"
#include "tests/support/screen_picture.h"
#include "tests/support/test_pictures.h"
#include "tests/support/ui_driver.h"

namespace {
constexpr COLORREF Bgr(TColor c) { return static_cast<COLORREF>(c); }
}  // namespace

class VxButton : public ::testing::Test {
protected:
    void SetUp() override {
        driver_ = std::make_unique<UiDriver>();
        form_ = new TForm(EnsureApplication());
        form_->SetName("ButtonForm");
        form_->SetBounds(100, 100, 300, 150);
        EnsureApplication()->FormCreated(form_);
        edit_ = new TEdit(form_);
        edit_->SetName("Edit1");
        edit_->SetParent(form_);
        edit_->SetBounds(8, 8, 121, 21);
        ok_ = MakeButton("OkButton", "OK", 8);
        cancel_ = MakeButton("CancelButton", "Abbrechen", 89);
    }
    void TearDown() override {
        ResetApplication();
        driver_.reset();
    }
    TvxButton* MakeButton(const std::string& name, const std::string& caption, int left) {
        auto* b = new TvxButton(form_);
        b->SetName(name);
        b->SetParent(form_);
        b->SetBounds(left, 40, 73, 25);
        b->SetCaption(caption);
        return b;
    }
    void ShowForm() {
        form_->Show();
        driver_->Pump();
    }
    COLORREF Pixel(TControl* c, int x, int y) {
        UpdateAllWindows();
        return ShownPixel(form_->Handle(), c->ClientToScreen({x, y}));
    }
    bool HasPixel(TControl* c, TRect area, COLORREF colour) {
        for (int y = area.Top; y < area.Bottom; ++y)
            for (int x = area.Left; x < area.Right; ++x)
                if (Pixel(c, x, y) == colour) return true;
        return false;
    }
    std::unique_ptr<UiDriver> driver_;
    TForm* form_ = nullptr;
    TEdit* edit_ = nullptr;
    TvxButton* ok_ = nullptr;
    TvxButton* cancel_ = nullptr;
};

TEST(VxGradient, BandsRunFromFirstToLastColourAndStayInsideTheBitmap) {
    TBitmap b;
    FillGradient(40, 16, 0xFFFFFF, 0x000000, 16, 1, false, &b);
    EXPECT_EQ(b.Width(), 40);
    EXPECT_EQ(b.Pixel(39, 0), RGB(255, 255, 255));
    EXPECT_EQ(b.Pixel(0, 15), RGB(0, 0, 0));
    FillGradient(40, 16, 0xFFFFFF, 0x000000, 16, 3, false, &b);
    EXPECT_EQ(b.Pixel(0, 0), RGB(0, 0, 0)) << "direction 3 swaps the colours";
    // Dithering of a tiny bitmap reaches past its edges in the formula; nothing breaks.
    FillGradient(3, 2, 0xFFFFFF, 0x000000, 64, 1, true, &b);
    FillGradient(0, 5, 0xFFFFFF, 0x000000, 8, 0, true, &b);
    EXPECT_TRUE(b.Empty());
}

TEST_F(VxButton, LooksFollowTheState) {
    ShowForm();
    ASSERT_TRUE(edit_->Focused());
    TvxColors* colors = cancel_->Colors();
    // Normal: white face top row, border line colour on top.
    EXPECT_EQ(Pixel(cancel_, 36, 1), Bgr(colors->BackgroundFrom()));
    EXPECT_EQ(Pixel(cancel_, 36, 0), Bgr(colors->BorderLine()));
    EXPECT_EQ(Pixel(cancel_, 36, 23), Bgr(colors->BackgroundTo()));
    // Hot: the highlight ring.
    driver_->MoveTo(cancel_, {36, 12});
    driver_->Pump();
    EXPECT_TRUE(cancel_->ButtonState() & vxHot);
    EXPECT_EQ(Pixel(cancel_, 36, 1), Bgr(colors->HighlightFrom()));
    // Pressed while hot: the clicked face.
    driver_->MouseDown(cancel_, {36, 12});
    driver_->Pump();
    EXPECT_EQ(Pixel(cancel_, 36, 1), Bgr(colors->ClickedFrom()));
    // Pressed but moved out: the raised (focus) ring again; releasing outside does not click.
    int clicks = 0;
    cancel_->OnClick = [&](TObject*) { ++clicks; };
    driver_->MoveTo(form_, {250, 120});
    driver_->Pump();
    EXPECT_EQ(Pixel(cancel_, 36, 1), Bgr(colors->FocusedFrom()));
    driver_->MouseUp(form_, {250, 120});
    driver_->Pump();
    EXPECT_EQ(clicks, 0);
    // Focused (not hot): focus ring and the dotted focus rectangle.
    EXPECT_TRUE(cancel_->Focused());
    EXPECT_EQ(Pixel(cancel_, 36, 1), Bgr(colors->FocusedFrom()));
    // Disabled: embossed caption in the shadow colour.
    cancel_->SetEnabled(false);
    EXPECT_TRUE(HasPixel(cancel_, Rect(10, 6, 63, 19), GetSysColor(COLOR_BTNSHADOW)));
    std::string png = TestPicturePath("tovak_vx_button.png");
    ASSERT_TRUE(driver_->SaveForm(form_, png));
}

// A right-to-left button beside left-to-right ones: its caption reads from the right (what
// reads with the line moves and mirrors, the accelerator mark stays under its letter), and
// the shorter line of a wrapped caption goes to the right; without alignment (NoAlign) it
// stays left. The mode follows the parent while ParentBiDiMode, with a repaint.
TEST_F(VxButton, ARightToLeftCaptionReadsFromTheRightAndAlignsRight) {
    form_->SetBounds(100, 100, 340, 220);
    TvxButton* reference = MakeButton("Reference", "< &Weiter", 8);
    TvxButton* rtl = MakeButton("RightToLeft", "&Weiter >", 106);
    TvxButton* plain = MakeButton("LeftToRight", "&Weiter >", 204);
    for (TvxButton* b : {reference, rtl, plain}) b->SetBounds(b->Left(), 80, 90, 25);
    TvxButton* wrapped[3];
    const TBiDiMode modes[3] = {bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign};
    for (int i = 0; i < 3; ++i) {
        wrapped[i] = MakeButton("Wrapped" + std::to_string(i), "Neue Tür anlegen", 8 + 81 * i);
        wrapped[i]->SetBounds(wrapped[i]->Left(), 115, 73, 40);
        wrapped[i]->SetBiDiMode(modes[i]);
    }
    reference->SetBiDiMode(bdLeftToRight);
    rtl->SetBiDiMode(bdRightToLeft);
    ShowForm();
    UpdateAllWindows();
    auto pixels = [&](TControl* c) {
        std::vector<COLORREF> out;
        for (int y = 0; y < c->Height(); ++y)
            for (int x = 0; x < c->Width(); ++x) out.push_back(ShownPixel(form_->Handle(), c->ClientToScreen({x, y})));
        return out;
    };
    const COLORREF ink = ColorToRGB(rtl->Font()->Color());
    auto inkBox = [&](TControl* c, int top, int bottom) {
        TRect box{c->Width(), top, -1, bottom};
        for (int y = top; y < bottom; ++y)
            for (int x = 3; x < c->Width() - 3; ++x)
                if (ShownPixel(form_->Handle(), c->ClientToScreen({x, y})) == ink) {
                    box.Left = std::min(box.Left, x);
                    box.Right = std::max(box.Right, x + 1);
                }
        return box;
    };

    EXPECT_EQ(pixels(rtl), pixels(reference));
    EXPECT_NE(pixels(rtl), pixels(plain));
    // Two lines of 13 pixels centred in 40: the first line is the same in all three, the
    // second starts where the first does, or ends where it ends.
    auto width = [&](const std::string& text) { return MeasureText(rtl->Font(), text, Rect(0, 0, 999, 99), 0).Right; };
    const int shift = width("Neue Tür") - width("anlegen");
    ASSERT_GT(shift, 0);
    const TRect first = inkBox(wrapped[0], 7, 20);
    const TRect second = inkBox(wrapped[0], 20, 33);
    ASSERT_GT(second.Right, second.Left);
    EXPECT_EQ(inkBox(wrapped[1], 7, 20), first);
    EXPECT_EQ(inkBox(wrapped[1], 20, 33).Left, second.Left + shift);
    EXPECT_EQ(pixels(wrapped[2]), pixels(wrapped[0]));
    ASSERT_TRUE(driver_->SaveForm(form_, TestPicturePath("tovak_vx_button_right_to_left.png")));

    // Following the form, which reads left to right, then right to left.
    rtl->SetParentBiDiMode(true);
    UpdateAllWindows();
    EXPECT_EQ(pixels(rtl), pixels(plain));
    form_->SetBiDiMode(bdRightToLeft);
    UpdateAllWindows();
    EXPECT_EQ(pixels(rtl), pixels(reference));
}

TEST_F(VxButton, FaceSpansAWidthSetBeforeTheWindowExists) {
    TvxButton* wide = MakeButton("WideButton", "Weit", 8);
    wide->SetBounds(8, 80, 200, 30);
    ShowForm();
    TvxColors* colors = wide->Colors();
    EXPECT_EQ(Pixel(wide, 190, 1), Bgr(colors->BackgroundFrom()));
    EXPECT_EQ(Pixel(wide, 190, 28), Bgr(colors->BackgroundTo()));
}

TEST_F(VxButton, DefaultButtonShowsTheRingUntilAnotherButtonHasTheFocus) {
    ok_->SetDefault(true);
    ShowForm();
    EXPECT_TRUE(ok_->HasFrame(false));
    EXPECT_EQ(Pixel(ok_, 36, 1), Bgr(ok_->Colors()->FocusedFrom()));
    int okClicks = 0;
    int cancelClicks = 0;
    ok_->OnClick = [&](TObject*) { ++okClicks; };
    cancel_->OnClick = [&](TObject*) { ++cancelClicks; };
    driver_->Enter();
    EXPECT_EQ(okClicks, 1);
    cancel_->SetFocus();
    driver_->Pump();
    EXPECT_TRUE(cancel_->FormFocusOnButton());
    EXPECT_FALSE(ok_->HasFrame(false));
    driver_->Enter();
    EXPECT_EQ(cancelClicks, 1) << "Enter goes to the focused button";
    EXPECT_EQ(okClicks, 1);
}

TEST_F(VxButton, EscapeClicksCancelOnlyWithoutModifiers) {
    cancel_->SetCancel(true);
    ShowForm();
    int clicks = 0;
    cancel_->OnClick = [&](TObject*) { ++clicks; };
    driver_->PressKey(VK_ESCAPE, {ssShift});
    EXPECT_EQ(clicks, 0);
    driver_->Escape();
    EXPECT_EQ(clicks, 1);
}

TEST_F(VxButton, ClickSetsTheModalResultOfTheForm) {
    ok_->SetModalResult(mrOk);
    driver_->OnNextModal([this](TCustomForm*, UiDriver& d) { d.Click(ok_); });
    EXPECT_EQ(form_->ShowModal(), mrOk);
}

TEST_F(VxButton, SpacePressesAndReleaseClicks) {
    ShowForm();
    int clicks = 0;
    ok_->OnClick = [&](TObject*) { ++clicks; };
    ok_->SetFocus();
    driver_->PressKey(VK_SPACE);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(ok_->ButtonState() & vxPressed);
}

TEST_F(VxButton, AcceleratorWithoutAltClicksOnlyTheFocusedButton) {
    ok_->SetCaption("&Weiter");
    cancel_->SetCaption("&Abbruch");
    ShowForm();
    int okClicks = 0;
    ok_->OnClick = [&](TObject*) { ++okClicks; };
    cancel_->SetFocus();
    driver_->Type("w");
    EXPECT_EQ(okClicks, 0);
    ok_->SetFocus();
    driver_->Type("w");
    EXPECT_EQ(okClicks, 1);
}

TEST(VxButtonAlone, DefaultWithoutFormAndReadOnlyTexts) {
    EnsureApplication();
    TvxButton b(nullptr);
    b.SetDefault(true);
    EXPECT_TRUE(b.Default());
    EXPECT_EQ(b.Width(), 73);
    EXPECT_EQ(b.Height(), 25);
    EXPECT_EQ(b.Version(), "1.0.2e");
    std::string about = b.About();
    b.SetAbout("x");
    b.SetVersion("y");
    EXPECT_EQ(b.About(), about);
    EXPECT_EQ(b.Version(), "1.0.2e");
    // Colours rebuild the faces only on a change.
    b.Colors()->SetBackgroundFrom(0x0000FF);
    EXPECT_EQ(b.BackgroundBitmap()->Pixel(5, 0), RGB(255, 0, 0));
}
