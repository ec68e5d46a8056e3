// The picture editor's tool window: layout, enabled states, placement, closing, clipboard.

#include "controls/vx_popup_toolbar.h"

#include "platform/forms/clipboard.h"
#include "platform/forms/control_paint.h"
#include "platform/forms/edit.h"
#include "platform/forms/screen.h"
#include "platform/forms/speed_button.h"
#include "platform/win/window_tree.h"
#include "tests/controls/vx_editor_test_support.h"

namespace {

class PopupToolBar : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        form_ = MakeForm("F");
        editor_ = Add<TEdit>(form_, "E", 8, 8);
        editor_->SetBounds(8, 8, 140, 100);
        form_->Show();
        Driver().Pump();
        bar_ = new TvxPopupToolBar(editor_);
    }
    std::vector<bool> Enabled() {
        std::vector<bool> out;
        for (int i = 0; i < 6; ++i) out.push_back(bar_->ToolButtons(i)->Enabled());
        return out;
    }
    TForm* form_ = nullptr;
    TEdit* editor_ = nullptr;
    TvxPopupToolBar* bar_ = nullptr;
};

}  // namespace

TEST_F(PopupToolBar, LaysOutButtonsByAlignmentAndCaptions) {
    // Vertical with captions: as wide as a square button plus the widest caption.
    const int h = std::max(22, FontLineHeight(bar_->Font()) + 9);
    int widest = 0;
    for (int i = 0; i < 6; ++i)
        widest = std::max(widest, MeasureText(bar_->Font(), StripAccel(bar_->ToolButtons(i)->Caption()),
                                              Rect(0, 0, 0, 0), DT_SINGLELINE)
                                      .Width());
    EXPECT_EQ(bar_->ClientHeight(), 6 * h);
    EXPECT_EQ(bar_->ClientWidth(), h + 1 + widest);
    EXPECT_EQ(bar_->ToolButtons(ptbPaste)->Caption(), "&Paste");
    EXPECT_EQ(bar_->ToolButtons(ptbPaste)->Top(), 2 * h);
    EXPECT_FALSE(bar_->ToolButtons(ptbCustom)->Visible());

    bar_->SetShowCaptions(false);
    bar_->UpdateLayout();
    EXPECT_EQ(bar_->ClientWidth(), 23);
    EXPECT_EQ(bar_->ClientHeight(), 6 * 22);
    EXPECT_EQ(bar_->ToolButtons(ptbCut)->Caption(), "");

    bar_->SetShowCaptions(true);
    bar_->SetAlignment(ptaBottom);  // horizontal: never captions
    bar_->SetButtons(vxPtbBit(ptbCopy) | vxPtbBit(ptbSave) | vxPtbBit(ptbCustom));
    EXPECT_EQ(bar_->ClientHeight(), 22);
    EXPECT_EQ(bar_->ClientWidth(), 3 * 23);
    EXPECT_EQ(bar_->ToolButtons(ptbSave)->Left(), 23);
    EXPECT_EQ(bar_->ToolButtons(ptbCustom)->Left(), 46);
    EXPECT_FALSE(bar_->ToolButtons(ptbCut)->Visible());

    bar_->SetButtons(0);
    EXPECT_EQ(bar_->ClientWidth(), 0) << "no buttons, no client area";

    bar_->SetButtons(vxPtbBit(ptbCustom));
    bar_->SetCustomCaption("Drehen");
    bar_->SetAlignment(ptaLeft);
    EXPECT_EQ(bar_->ToolButtons(ptbCustom)->Caption(), "Drehen");
}

TEST_F(PopupToolBar, EnablesCommandsByPictureReadOnlyAndClipboard) {
    Clipboard()->Clear();
    bar_->SetPictureEmpty(true);
    bar_->UpdateButtons();
    EXPECT_EQ(Enabled(), (std::vector<bool>{false, false, false, false, true, false}));
    bar_->SetPictureEmpty(false);
    bar_->UpdateButtons();
    EXPECT_EQ(Enabled(), (std::vector<bool>{true, true, false, true, true, true}));
    bar_->SetReadOnly(true);
    bar_->UpdateButtons();
    EXPECT_EQ(Enabled(), (std::vector<bool>{false, true, false, false, false, true}));

    // A picture put on the clipboard enables Paste at once; text does not.
    bar_->SetReadOnly(false);
    bar_->UpdateButtons();
    TBitmap picture(4, 4);
    Clipboard()->Assign(&picture);
    EXPECT_TRUE(bar_->ToolButtons(ptbPaste)->Enabled());
    Clipboard()->SetAsText("Text");
    EXPECT_FALSE(bar_->ToolButtons(ptbPaste)->Enabled());
    Clipboard()->Clear();
}

TEST_F(PopupToolBar, StaysInsideTheWorkAreaAtEveryEdge) {
    const TRect a = EnsureScreen()->WorkAreaRect();
    bar_->SetAlignment(ptaBottom);
    const int w = bar_->Width(), h = bar_->Height();
    bar_->PositionToolBar({200, 200});
    EXPECT_EQ(bar_->BoundsRect(), Rect(200, 300, 200 + w, 300 + h)) << "below the editor";
    bar_->PositionToolBar({200, a.Bottom - 50});
    EXPECT_EQ(bar_->Top(), a.Bottom - h) << "pulled back up at the bottom edge";
    bar_->PositionToolBar({a.Right - 10, 200});
    EXPECT_EQ(bar_->Left(), a.Right - w);

    bar_->SetAlignment(ptaTop);
    bar_->PositionToolBar({200, a.Top + 5});
    EXPECT_EQ(bar_->Top(), a.Top + 5 + 100) << "no room above: below the editor";
    bar_->PositionToolBar({200, 300});
    EXPECT_EQ(bar_->Top(), 300 - bar_->Height());

    bar_->SetAlignment(ptaLeft);
    bar_->PositionToolBar({a.Left + 3, 200});
    EXPECT_EQ(bar_->Left(), a.Left + 3 + 140) << "no room left: right of the editor";
    bar_->PositionToolBar({500, 200});
    EXPECT_EQ(bar_->Left(), 500 - bar_->Width());

    bar_->SetAlignment(ptaRight);
    bar_->PositionToolBar({a.Right - 150, 200});
    EXPECT_EQ(bar_->Left(), a.Right - 150 - bar_->Width()) << "no room right: left of the editor";
    bar_->PositionToolBar({a.Left - 400, a.Top - 400});
    EXPECT_EQ(bar_->Left(), a.Left);
    EXPECT_EQ(bar_->Top(), a.Top);
}

TEST_F(PopupToolBar, ShowsWithoutActivationAndStaysClosedAfterTheUserClosedIt) {
    int clicked = -1;
    bar_->OnButtonClick = [&](TObject*, int index) { clicked = index; };
    bar_->SetPictureEmpty(false);
    bar_->UpdateButtons();
    bar_->ShowToolBar();
    Driver().Pump();
    EXPECT_TRUE(bar_->ToolBarShowing());
    EXPECT_EQ(GetFocus(), editor_->Handle()) << "the editor keeps the focus";
    Driver().Click(bar_->ToolButtons(ptbCopy));
    EXPECT_EQ(clicked, ptbCopy);

    bar_->SetShowAllowed(false);
    bar_->HideToolBar();
    bar_->ShowToolBar();
    EXPECT_FALSE(bar_->ToolBarShowing());
    bar_->SetShowAllowed(true);

    bar_->ShowToolBar();
    SendMessage(bar_->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(bar_->ClosedByUser());
    EXPECT_FALSE(bar_->ToolBarShowing());
    bar_->ShowToolBar();
    EXPECT_FALSE(bar_->ToolBarShowing()) << "closed by the user: stays closed";
    bar_->SetClosedByUser(false);  // the editor reopens it
    bar_->ShowToolBar();
    EXPECT_TRUE(bar_->ToolBarShowing());
}
