// The blob editor and its pop-up: icons, which kinds open, saving by each way of closing,
// placement near the work area's edges and the remembered size.

#include "controls/vx_blob_edit.h"

#include <cstdlib>
#include <filesystem>

#include "controls/draw_utils.h"
#include "controls/edit_images.h"
#include "platform/display/presenter.h"
#include "platform/forms/clipboard.h"
#include "platform/forms/menus.h"
#include "platform/gdi/image_codec.h"
#include "platform/gdi/system_metrics.h"
#include "platform/win/input.h"
#include "platform/win/scroll_bars.h"
#include "platform/win/window_tree.h"
#include "tests/controls/vx_editor_test_support.h"
#include "tests/support/test_pictures.h"

namespace {

class BlobEdit : public EditorTest {
protected:
    class StandAloneClass : public TvxInplaceBlobEditClass {
    public:
        bool IsInplace() const override { return false; }
    };
    class StandAlone : public TvxInplaceBlobEdit {
    public:
        explicit StandAlone(TComponent* owner) : TvxInplaceBlobEdit(owner, Class()) {}
        static const StandAloneClass& Class() {
            static const StandAloneClass c;
            return c;
        }
    };
    TvxInplaceBlobEdit* Make(int x = 8, int y = 8) {
        form_ = MakeForm("F", 1000, 700);
        form_->SetBounds(0, 0, 1000, 700);
        auto* e = Add<StandAlone>(form_, "B", x, y);
        e->SetWidth(120);
        form_->Show();
        e->SetFocus();
        Driver().Pump();
        return e;
    }
    // Opens the memo pop-up, types, and closes it by `close`; answers the stored text.
    std::string EditAndClose(TvxInplaceBlobEdit* e, const std::function<void(TCustomvxBlobPopup*)>& close) {
        e->SetEditValue(Variant(std::string("alt")));
        Driver().PressKey(VK_F4);
        Driver().Pump();
        TCustomvxBlobPopup* p = e->Popup();
        EXPECT_TRUE(p && IsWindowVisible(p->Handle()));
        if (!p) return "";
        EXPECT_EQ(GetFocus(), p->Memo()->Handle());
        Driver().PressKey(VK_END, TShiftState{ssCtrl});
        Driver().Type("neu");
        close(p);
        Driver().Pump();
        EXPECT_FALSE(IsWindowVisible(p->Handle()));
        EXPECT_FALSE(e->IsDroppedDown());
        return e->BlobText();
    }
    // A one-colour picture as the bytes a picture field holds.
    static std::string Bmp(int w, int h, uint32_t colour) {
        PixelImage img;
        img.width = w;
        img.height = h;
        img.pixels.assign(static_cast<size_t>(w * h), colour);
        return EncodeBmp(img);
    }
    void ClickBar(TCustomvxBlobPopup* p, int button) {
        const TRect r = p->BarButtonRect(button);
        const TPoint c{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
        Driver().MouseDown(p, c);
        Driver().MouseUp(p, c);
    }
    TForm* form_ = nullptr;
};

}  // namespace

TEST_F(BlobEdit, ShowsTheIconOfItsKindAndOpensOnlyMemosAndPictures) {
    EXPECT_EQ(TvxInplaceBlobEditClass::ImageIndex(vxbkMemo, false), biMemo);
    EXPECT_EQ(TvxInplaceBlobEditClass::ImageIndex(vxbkMemo, true), biMemoNull);
    EXPECT_EQ(TvxInplaceBlobEditClass::ImageIndex(vxbkPicture, false), biPict);
    EXPECT_EQ(TvxInplaceBlobEditClass::ImageIndex(vxbkOle, true), biOleNull);
    EXPECT_EQ(TvxInplaceBlobEditClass::ImageIndex(vxbkBlob, false), biBlob);

    TvxInplaceBlobEdit* e = Make();
    auto vd = e->CreateViewData(false);
    auto* b = static_cast<TvxBlobEditViewData*>(vd.get());
    EXPECT_TRUE(b->IsEmpty);
    EXPECT_EQ(b->Images, BlobImages());
    e->SetEditValue(Variant(std::string("Text")));
    EXPECT_FALSE(static_cast<TvxBlobEditViewData*>(e->CreateViewData(false).get())->IsEmpty);
    EXPECT_TRUE(static_cast<TvxBlobEditViewData*>(e->CreateViewData(true).get())->IsEmpty == false);

    // Drawn centred: the filled memo picture differs from the empty one.
    auto draw = [&](bool empty) {
        TBitmap cell(40, 20);
        b->IsEmpty = empty;
        e->EditClass().DrawContent(cell.Canvas()->Handle(), Rect(0, 0, 40, 20), false, *b);
        return cell.ToImage().pixels;
    };
    EXPECT_NE(draw(true), draw(false));

    for (uint8_t kind : {vxbkOle, vxbkBlob}) {
        e->SetEditKind(kind);
        auto kvd = e->CreateViewData(false);
        static_cast<const TvxInplaceDropDownEditClass&>(e->EditClass())
            .CalcButtons(*static_cast<TvxDropDownEditViewData*>(kvd.get()));
        EXPECT_EQ(static_cast<TvxDropDownEditViewData*>(kvd.get())->ButtonCount, 0);
        Driver().PressKey(VK_F4);
        EXPECT_EQ(e->Popup(), nullptr) << "no pop-up for kind " << int(kind);
    }
    e->SetEditKind(vxbkMemo);
    Driver().Type("x");
    EXPECT_EQ(e->BlobText(), "Text") << "typing never edits the cell";
}

TEST_F(BlobEdit, OkSavesCancelAndEscapeNeverAndOtherClosingsOnlyWithAlwaysSaveText) {
    TvxInplaceBlobEdit* e = Make();
    EXPECT_EQ(EditAndClose(e, [&](TCustomvxBlobPopup* p) { ClickBar(p, vxbbOK); }), "altneu");
    EXPECT_TRUE(e->Modified());
    EXPECT_EQ(EditAndClose(e, [&](TCustomvxBlobPopup* p) { ClickBar(p, vxbbCancel); }), "alt");
    EXPECT_EQ(EditAndClose(e, [&](TCustomvxBlobPopup*) { Driver().Escape(); }), "alt");
    EXPECT_EQ(EditAndClose(e, [&](TCustomvxBlobPopup*) { Driver().PressKey(VK_RETURN, TShiftState{ssCtrl}); }),
              "altneu")
        << "Ctrl+Enter is OK and types no line feed";
    EXPECT_EQ(EditAndClose(e, [&](TCustomvxBlobPopup*) { Driver().PressKey(VK_F4); }), "altneu");
    auto* other = Add<TEdit>(form_, "O", 8, 300);
    EXPECT_EQ(EditAndClose(e, [&](TCustomvxBlobPopup*) { other->SetFocus(); }), "altneu") << "focus loss saves";

    e->SetFocus();
    Driver().Pump();
    e->SetAlwaysSaveText(false);
    EXPECT_EQ(EditAndClose(e, [&](TCustomvxBlobPopup*) { Driver().PressKey(VK_F4); }), "alt");
    EXPECT_EQ(EditAndClose(e, [&](TCustomvxBlobPopup*) { Driver().PressKey(VK_DOWN, TShiftState{ssAlt}); }), "alt");
    EXPECT_EQ(EditAndClose(e, [&](TCustomvxBlobPopup*) { other->SetFocus(); }), "alt");
    e->SetFocus();
    Driver().Pump();
    EXPECT_EQ(EditAndClose(e, [&](TCustomvxBlobPopup* p) { ClickBar(p, vxbbOK); }), "altneu");

    e->SetReadOnly(true);
    e->SetEditValue(Variant(std::string("fest")));
    Driver().PressKey(VK_F4);
    Driver().Pump();
    EXPECT_EQ(e->Popup()->BarButtons(), 4) << "read-only: Close only";
    Driver().Type("x");
    EXPECT_EQ(e->Popup()->MemoText(), "fest");
    ClickBar(e->Popup(), vxbbClose);
    EXPECT_EQ(e->BlobText(), "fest");
}

TEST_F(BlobEdit, AClickIntoAnotherFieldSavesTheMemoAndLeavesTheFocusThere) {
    TvxInplaceBlobEdit* e = Make();
    auto* other = Add<TEdit>(form_, "O", 8, 300);
    Driver().Pump();
    EXPECT_EQ(EditAndClose(e, [&](TCustomvxBlobPopup*) { Driver().Click(other); }), "altneu");
    EXPECT_TRUE(other->Focused());
    EXPECT_FALSE(e->Focused());
}

TEST_F(BlobEdit, ThePopupOpensAboveOrLeftNearTheEdgesAndKeepsAResize) {
    const TRect a = EnsureScreen()->WorkAreaRect();
    TvxInplaceBlobEdit* e = Make();
    TCustomvxBlobPopup probe(nullptr);
    // Below the editor, bar at the bottom, grip on the right.
    TRect editor = Rect(100, 100, 220, 121);
    probe.CalcSize(editor, 200, 140);
    EXPECT_EQ(probe.BoundsRect(), Rect(100, 121, 300, 261));
    EXPECT_FALSE(probe.BarOnTop());
    EXPECT_FALSE(probe.GripLeft());
    // At the bottom-right corner: above, right edges meeting.
    editor = Rect(a.Right - 120, a.Bottom - 30, a.Right - 10, a.Bottom - 9);
    probe.CalcSize(editor, 200, 140);
    EXPECT_EQ(probe.BoundsRect(), Rect(a.Right - 10 - 200, a.Bottom - 30 - 140, a.Right - 10, a.Bottom - 30));
    EXPECT_TRUE(probe.BarOnTop());
    EXPECT_TRUE(probe.GripLeft());
    // Never smaller than its bar needs, never larger than the room.
    probe.CalcSize(Rect(100, 100, 220, 121), 10, 10);
    EXPECT_EQ(probe.Width(), probe.MinWidth());
    EXPECT_EQ(probe.Height(), probe.MinHeight());
    probe.CalcSize(Rect(100, 100, 220, 121), 5000, 5000);
    EXPECT_EQ(probe.Width(), a.Width());
    EXPECT_EQ(probe.Height(), a.Bottom - 121);

    e->SetEditValue(Variant(std::string("x")));
    Driver().PressKey(VK_F4);
    Driver().Pump();
    TCustomvxBlobPopup* p = e->Popup();
    EXPECT_EQ(p->Width(), 200);
    p->SetBounds(p->Left(), p->Top(), 260, 180);  // the user drags the grip
    Driver().Escape();
    EXPECT_EQ(e->PopupWidth(), 260);
    EXPECT_EQ(e->PopupHeight(), 180);
    Driver().PressKey(VK_F4);
    Driver().Pump();
    EXPECT_EQ(p->Width(), 260);
    EXPECT_EQ(p->Height(), 180);
    Driver().Escape();
}

TEST_F(BlobEdit, APicturePopupSizesToThePictureAndStoresWhatWasPasted) {
    TvxInplaceBlobEdit* e = Make();
    e->SetEditKind(vxbkPicture);
    e->SetEditValue(Variant(Bmp(150, 60, 0x00FF00)));
    Driver().PressKey(VK_F4);
    Driver().Pump();
    TCustomvxBlobPopup* p = e->Popup();
    ASSERT_TRUE(p);
    EXPECT_EQ(p->ClientRect().Width(), 150);
    EXPECT_EQ(p->ContentRect().Height(), 60);
    EXPECT_EQ(GetFocus(), p->Handle());

    TBitmap other(5, 4);
    Clipboard()->Assign(&other);
    Driver().PressKey(VK_INSERT, TShiftState{ssShift});
    EXPECT_EQ(p->Picture()->Width(), 5);
    Driver().Enter();  // Enter in a picture pop-up is OK
    EXPECT_FALSE(IsWindowVisible(p->Handle()));
    TPicture stored;
    LoadPictureFromBlob(&stored, nullptr, Variant(e->BlobText()));
    EXPECT_EQ(stored.Width(), 5);
    EXPECT_EQ(e->GraphicClass, BitmapGraphicClass());
    Clipboard()->Clear();
}

TEST_F(BlobEdit, APictureTheFieldCannotShowIsRefusedAtLoadingAndTheValueStays) {
    TvxInplaceBlobEdit* e = Make();
    e->SetEditKind(vxbkPicture);
    const std::string before = Bmp(3, 2, 0x0000FF);
    e->SetEditValue(Variant(before));
    e->SetModified(false);
    ReportedErrors reports;
    Driver().PressKey(VK_F4);
    Driver().Pump();
    TCustomvxBlobPopup* p = e->Popup();
    ASSERT_TRUE(p && IsWindowVisible(p->Handle()));

    // A picture pasted one column wider than a picture may be.
    TBitmap wide(8193, 1);
    Clipboard()->Assign(&wide);
    Driver().PressKey(VK_INSERT, TShiftState{ssShift});
    Driver().Pump();
    EXPECT_EQ(reports.messages, std::vector<std::string>{"Picture size is not supported"});
    EXPECT_EQ(p->Picture()->Width(), 3);

    // The same limit for "Load..." of such a PNG.
    Clipboard()->Clear();
    Driver().AnswerNextFileDialog(std::string(TOVAK_CORPUS_DIR) + "/png-8193-by-2048-grey.bin");
    TPopupMenu* m = p->ShowContextMenu({10, 10});
    ASSERT_EQ(m->Items()->Items(5)->Caption(), "&Load...");
    Driver().PressKey(VK_END);  // "&Save To...", the last item
    Driver().PressKey(VK_UP);
    Driver().Enter();
    Driver().Pump();
    EXPECT_EQ(Driver().PendingModalScripts(), 0);
    EXPECT_EQ(reports.messages,
              (std::vector<std::string>{"Picture size is not supported", "Picture size is not supported"}));
    EXPECT_EQ(p->Picture()->Width(), 3);

    ClickBar(p, vxbbOK);
    Driver().Pump();
    EXPECT_FALSE(IsWindowVisible(p->Handle()));
    EXPECT_EQ(e->BlobText(), before) << "the field keeps its old value";
    EXPECT_FALSE(e->Modified());
}

TEST_F(BlobEdit, ContextMenusOfferWhatTheContentAllows) {
    TvxInplaceBlobEdit* e = Make();
    e->SetEditValue(Variant(std::string("Wort")));
    Driver().PressKey(VK_F4);
    Driver().Pump();
    TCustomvxBlobPopup* p = e->Popup();
    auto enabled = [](TPopupMenu* m) {
        std::vector<bool> out;
        for (int i = 0; i < m->Items()->Count(); ++i) out.push_back(m->Items()->Items(i)->Enabled());
        return out;
    };
    Clipboard()->Clear();
    p->Memo()->SelectAll();
    TPopupMenu* m = p->ShowContextMenu({10, 10});
    ASSERT_EQ(m->Items()->Count(), 9);
    EXPECT_EQ(m->Items()->Items(8)->Caption(), "Select &All");
    EXPECT_EQ(enabled(m), (std::vector<bool>{false, false, true, true, true, false, true, true, true}));
    m->Items()->Items(3)->Click();  // cut
    EXPECT_EQ(p->MemoText(), "");
    EXPECT_EQ(Clipboard()->AsText(), "Wort");
    m->CloseMenu();
    Driver().Escape();

    e->SetEditKind(vxbkPicture);
    e->SetEditValue(Variant(std::string()));
    e->ShowExPopupItems = false;
    e->SetReadOnly(true);
    Driver().PressKey(VK_F4);
    Driver().Pump();
    m = p->ShowContextMenu({10, 10});
    EXPECT_EQ(m->Items()->Count(), 4) << "no Load and Save";
    EXPECT_EQ(enabled(m), (std::vector<bool>{false, false, false, false}));
    m->CloseMenu();

    Driver().Escape();
    Clipboard()->Clear();
}

TEST_F(BlobEdit, ThePopupMemoActsOnTheMemoSettings) {
    TvxInplaceBlobEdit* e = Make();
    e->MemoOEMConvert = true;
    e->MemoCharCase = ecUpperCase;
    e->MemoSelectionBar = true;
    e->SetEditValue(Variant(std::string("erste\r\nzweite")));
    Driver().PressKey(VK_F4);
    Driver().Pump();
    TCustomvxBlobPopup* p = e->Popup();
    ASSERT_TRUE(p && IsWindowVisible(p->Handle()));
    TMemo* memo = p->Memo();
    // A click in the selection bar takes the first line with its break.
    Driver().MouseDown(memo, {3, 5});
    Driver().MouseUp(memo, {3, 5});
    Driver().Pump();
    EXPECT_EQ(memo->SelStart(), 0);
    EXPECT_EQ(memo->SelLength(), 6);
    Driver().PressKey(VK_END, TShiftState{ssCtrl});
    Driver().Type("€ä");
    EXPECT_EQ(memo->Text(), "ERSTE\r\nZWEITE?\xC3\x84") << "OEM round trip, upper case on the whole text";
    Driver().Escape();

    e->MemoSelectionBar = false;
    Driver().PressKey(VK_F4);
    Driver().Pump();
    EXPECT_FALSE(p->Memo()->SelectionBar());
    Driver().Escape();
}

TEST_F(BlobEdit, AFormClosedWithThePopupOpenTakesItDownQuietly) {
    TvxInplaceBlobEdit* e = Make();
    e->SetEditValue(Variant(std::string("offen")));
    Driver().PressKey(VK_F4);
    Driver().Pump();
    ASSERT_TRUE(e->Popup() && IsWindowVisible(e->Popup()->Handle()));
    Driver().Type("x");
    form_->Release();
    Driver().Pump();
    SUCCEED() << "no call into the editor or the pop-up while they are destroyed";
}

TEST_F(BlobEdit, ALargePictureScrollsInWholeStepsAndStaysInside) {
    TvxInplaceBlobEdit* e = Make();
    e->SetEditKind(vxbkPicture);
    e->PictureAutoSize = false;
    e->SetEditValue(Variant(Bmp(500, 300, 0x0000FF)));
    Driver().PressKey(VK_F4);
    Driver().Pump();
    TCustomvxBlobPopup* p = e->Popup();
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Width(), 200) << "the pop-up keeps its own size";
    // Both scroll bars lie inside the content, the bar of buttons outside them.
    const HWND view = p->PictureView()->Handle();
    ASSERT_TRUE(GetWindowLong(view, GWL_STYLE) & WS_HSCROLL);
    ASSERT_TRUE(GetWindowLong(view, GWL_STYLE) & WS_VSCROLL);
    const TRect c = p->PictureArea();
    EXPECT_EQ(c.Width(), p->ContentRect().Width() - GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(c.Height(), p->ContentRect().Height() - GetSystemMetrics(SM_CYHSCROLL));
    const int limitX = 500 - c.Width();
    EXPECT_EQ(p->ScrollRequest(true, SB_THUMBTRACK, 13), 12);
    EXPECT_EQ(GetScrollPos(view, SB_HORZ), 12) << "the thumb follows the picture";
    EXPECT_EQ(p->ScrollRequest(true, SB_THUMBPOSITION, limitX), limitX) << "the end is reachable";
    EXPECT_EQ(p->ScrollRequest(true, SB_PAGERIGHT, 0), limitX);
    EXPECT_EQ(p->ScrollRequest(false, SB_PAGEDOWN, 0), std::min(c.Height(), 300 - c.Height()));
    EXPECT_EQ(p->ScrollRequest(false, SB_TOP, 0), 0);
    EXPECT_EQ(p->ScrollRequest(false, SB_LINEUP, 0), 0);
    // A click on the vertical bar's lower arrow scrolls a line; the pop-up stays open.
    Driver().MouseDown(p->PictureView(), {c.Right + 2, c.Bottom - 3});
    Driver().MouseUp(p->PictureView(), {c.Right + 2, c.Bottom - 3});
    Driver().Pump();
    EXPECT_EQ(p->ScrollOffset().Y, GetSystemMetrics(SM_CYHSCROLL));
    SaveWindowToPng(p->Handle(), TestPicturePath("tovak_blob_picture_popup.png"));
    EXPECT_EQ(GetScrollPos(view, SB_VERT), p->ScrollOffset().Y);
    EXPECT_TRUE(IsWindowVisible(p->Handle()));
    p->SetBounds(p->Left(), p->Top(), 450, p->Height());  // wider: less to scroll
    EXPECT_EQ(p->ScrollOffset().X, 500 - p->PictureArea().Width());
    p->SetBounds(p->Left(), p->Top(), 540, p->Height());  // wide enough: no horizontal bar
    EXPECT_FALSE(GetWindowLong(view, GWL_STYLE) & WS_HSCROLL);
    EXPECT_EQ(p->ScrollOffset().X, 0);
    Driver().Escape();

    // A picture the pop-up sizes itself to never scrolls.
    e->PictureAutoSize = true;
    Driver().PressKey(VK_F4);
    Driver().Pump();
    EXPECT_FALSE(GetWindowLong(view, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
    Driver().Escape();
}
