// A push button with an action: it shows the action's caption, state, hint and image from
// the action list's Images (falling back to its Glyph when the index lies outside them),
// redraws when the images change, clicks by executing the action and stays whole when the
// action, its list or the images are freed.

#include <gtest/gtest.h>

#include "controls/vx_button.h"
#include "platform/forms/action_list.h"
#include "platform/forms/application.h"
#include "platform/forms/custom_action.h"
#include "platform/win/paint.h"
#include "tests/controls/vx_picture_test_support.h"
#include "tests/support/test_pictures.h"
#include "tests/support/ui_driver.h"

namespace {

// A 16 x 16 image of one colour inside a one-pixel frame of the transparent colour.
void FillImage(TBitmap& b, TColor colour) {
    b.SetSize(16, 16);
    b.Canvas()->Brush()->SetColor(clFuchsia);
    b.Canvas()->FillRect(Rect(0, 0, 16, 16));
    b.Canvas()->Brush()->SetColor(colour);
    b.Canvas()->FillRect(Rect(1, 1, 15, 15));
}

constexpr int kImagePixels = 14 * 14;

class VxButtonAction : public ::testing::Test {
protected:
    void SetUp() override {
        driver_ = std::make_unique<UiDriver>();
        form_ = new TForm(EnsureApplication());
        form_->SetName("ActionForm");
        form_->SetBounds(100, 100, 260, 90);
        EnsureApplication()->FormCreated(form_);
        images_ = MakeImages("Images1", {clRed, clLime, clBlue});
        list_ = new TActionList(form_);
        list_->SetName("ActionList1");
        list_->SetImages(images_);
        action_ = new TCustomAction(form_);
        action_->SetName("OpenAction");
        action_->SetCaption("Öffnen");
        action_->SetImageIndex(0);
        action_->SetActionList(list_);
        action_->OnExecute = [this](TObject*) { ++executes_; };
        button_ = new TvxButton(form_);
        button_->SetName("OpenButton");
        button_->SetParent(form_);
        button_->SetBounds(8, 8, 100, 30);
        TBitmap glyph;
        FillImage(glyph, clYellow);
        button_->SetGlyph(&glyph);
    }
    void TearDown() override {
        ResetApplication();
        driver_.reset();
    }
    TImageList* MakeImages(const std::string& name, std::initializer_list<TColor> colours) {
        auto* images = new TImageList(16, 16, form_);
        images->SetName(name);
        TBitmap b;
        for (TColor c : colours) {
            FillImage(b, c);
            images->AddMasked(&b, clDefault);
        }
        return images;
    }
    void ShowForm() {
        form_->Show();
        driver_->Pump();
    }
    // How many pixels of the button show the colour.
    int Shows(TColor colour) {
        UpdateAllWindows();
        TRect wr;
        GetWindowRect(form_->Handle(), &wr);
        HBITMAP buffer = GetWindowBackBuffer(form_->Handle());
        int n = 0;
        for (int y = 0; y < button_->Height(); ++y)
            for (int x = 0; x < button_->Width(); ++x) {
                TPoint s = button_->ClientToScreen({x, y});
                if (PixelToColor(buffer->Row(s.Y - wr.Top)[s.X - wr.Left]) == static_cast<COLORREF>(colour)) ++n;
            }
        return n;
    }
    std::unique_ptr<UiDriver> driver_;
    TForm* form_ = nullptr;
    TImageList* images_ = nullptr;
    TActionList* list_ = nullptr;
    TCustomAction* action_ = nullptr;
    TvxButton* button_ = nullptr;
    int executes_ = 0;
};

TEST_F(VxButtonAction, TheActionsChangesReachTheButton) {
    button_->SetAction(action_);
    ShowForm();
    EXPECT_EQ(button_->Caption(), "Öffnen");
    EXPECT_EQ(button_->ImageIndex(), 0);
    EXPECT_EQ(Shows(clRed), kImagePixels);
    EXPECT_EQ(Shows(clFuchsia), 0) << "the image's transparent frame";
    EXPECT_EQ(Shows(clYellow), 0) << "the action's image stands in for the Glyph";
    ASSERT_TRUE(SaveFormWithPopups(form_, {}, TestPicturePath("vx_button_action.png")));

    action_->SetCaption("Neu laden");
    action_->SetHint("Liest die Datei neu");
    action_->SetImageIndex(2);
    EXPECT_EQ(button_->Caption(), "Neu laden");
    EXPECT_EQ(button_->Hint(), "Liest die Datei neu");
    EXPECT_EQ(button_->ImageIndex(), 2);
    EXPECT_EQ(Shows(clBlue), kImagePixels);
    action_->SetEnabled(false);
    EXPECT_FALSE(button_->Enabled());
    EXPECT_EQ(Shows(clBlue), 0) << "greyed while disabled";
    action_->SetVisible(false);
    EXPECT_FALSE(button_->Visible());
}

TEST_F(VxButtonAction, AClickExecutesTheActionOnce) {
    button_->SetAction(action_);
    button_->SetModalResult(mrOk);
    ShowForm();
    driver_->Click(button_);
    EXPECT_EQ(executes_, 1);
    EXPECT_EQ(form_->ModalResult(), mrOk);
    button_->SetFocus();
    driver_->PressKey(VK_SPACE);
    EXPECT_EQ(executes_, 2);
}

TEST_F(VxButtonAction, TheImageIndexFollowsOnlyWhileLinkedAndInsideTheImages) {
    button_->SetAction(action_);
    ShowForm();
    action_->SetImageIndex(7);
    EXPECT_EQ(Shows(clYellow), kImagePixels) << "an index outside the images falls back to the Glyph";
    action_->SetImageIndex(1);
    EXPECT_EQ(Shows(clLime), kImagePixels);
    button_->SetAction(nullptr);
    action_->SetImageIndex(2);
    EXPECT_EQ(button_->ImageIndex(), 1);
    EXPECT_EQ(Shows(clYellow), kImagePixels) << "without an action the Glyph shows";
}

TEST_F(VxButtonAction, ChangedImagesRedrawTheGlyph) {
    button_->SetAction(action_);
    ShowForm();
    TBitmap b;
    FillImage(b, clLime);
    images_->ReplaceMasked(0, &b, clDefault);
    EXPECT_EQ(Shows(clLime), kImagePixels);
    // Other images on the list: the button follows them, and their changes.
    TImageList* blue = MakeImages("Images2", {clBlue});
    list_->SetImages(blue);
    EXPECT_EQ(Shows(clBlue), kImagePixels);
    images_->ReplaceMasked(0, &b, clDefault);
    FillImage(b, clRed);
    blue->ReplaceMasked(0, &b, clDefault);
    EXPECT_EQ(Shows(clRed), kImagePixels);
    blue->Clear();
    EXPECT_EQ(button_->ImageIndex(), -1);
    EXPECT_EQ(Shows(clYellow), kImagePixels);
}

TEST_F(VxButtonAction, FreeingTheImagesTheListOrTheActionLeavesTheButtonWhole) {
    button_->SetAction(action_);
    ShowForm();
    delete images_;
    EXPECT_EQ(list_->Images(), nullptr);
    EXPECT_EQ(Shows(clYellow), kImagePixels);
    delete action_;
    EXPECT_EQ(button_->Action(), nullptr);
    EXPECT_EQ(list_->ActionCount(), 0);
    driver_->Click(button_);
    EXPECT_EQ(executes_, 0);

    // The list frees its actions.
    auto* next = new TCustomAction(form_);
    next->SetName("NextAction");
    next->SetActionList(list_);
    next->SetCaption("Weiter");
    button_->SetAction(next);
    EXPECT_EQ(button_->Caption(), "Weiter");
    delete list_;
    EXPECT_EQ(form_->FindComponent("NextAction"), nullptr);
    EXPECT_EQ(button_->Action(), nullptr);
    EXPECT_EQ(Shows(clYellow), kImagePixels);
    driver_->Click(button_);
}

}  // namespace
