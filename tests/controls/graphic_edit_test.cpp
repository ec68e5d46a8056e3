// The picture editor: placing the picture, values and edits, commands, keys, the tool bar
// and a cell drawn to PNG.

#include "controls/vx_graphic_edit.h"

#include "platform/forms/clipboard.h"
#include "platform/forms/menus.h"
#include "platform/forms/speed_button.h"
#include "platform/gdi/image_codec.h"
#include "platform/rtl/exception.h"
#include "platform/win/input.h"
#include "platform/win/window_tree.h"
#include "tests/controls/vx_editor_test_support.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_pictures.h"

namespace {

std::string Blob(int w, int h, uint32_t rgb) {
    PixelImage img;
    img.width = w;
    img.height = h;
    img.pixels.assign(static_cast<size_t>(w * h), rgb);
    return EncodeBmp(img);
}

class GraphicEdit : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        Clipboard()->Clear();
        form_ = MakeForm("F", 400, 300);
        edit_ = Add<StandAlone>(form_, "G", 8, 8);
        form_->Show();
        edit_->SetFocus();
        Driver().Pump();
    }
    void TearDown() override {
        Clipboard()->Clear();
        EditorTest::TearDown();
    }
    class StandAloneClass : public TvxInplaceGraphicEditClass {
    public:
        bool IsInplace() const override { return false; }
    };
    class StandAlone : public TvxInplaceGraphicEdit {
    public:
        explicit StandAlone(TComponent* owner) : TvxInplaceGraphicEdit(owner, Class()) {}
        static const StandAloneClass& Class() {
            static const StandAloneClass c;
            return c;
        }
    };
    TForm* form_ = nullptr;
    TvxInplaceGraphicEdit* edit_ = nullptr;
};

}  // namespace

TEST(GraphicEditPlacement, StretchKeepsProportionsAndCentringHalvesTheRoom) {
    using C = TvxInplaceGraphicEditClass;
    EXPECT_EQ(C::PictureRect(Rect(0, 0, 100, 100), 200, 100, true, true), Rect(0, 0, 100, 50));
    EXPECT_EQ(C::PictureRect(Rect(10, 10, 110, 110), 100, 200, true, false), Rect(10, 10, 60, 110));
    EXPECT_EQ(C::PictureRect(Rect(0, 0, 101, 101), 50, 50, false, true), Rect(25, 25, 75, 75));
    EXPECT_EQ(C::PictureRect(Rect(0, 0, 101, 101), 50, 50, false, false), Rect(0, 0, 50, 50));
    EXPECT_EQ(C::PictureRect(Rect(0, 0, 20, 20), 51, 31, false, true), Rect(-15, -5, 36, 26))
        << "a larger picture is centred too (towards zero)";
    EXPECT_EQ(C::PictureRect(Rect(0, 0, 30, 10), 0, 0, true, true).Width(), 0);
}

TEST_F(GraphicEdit, LoadingAValueIsNoEditButPastingAndDeletingAre) {
    int changes = 0;
    edit_->OnChange = [&](TObject*) { ++changes; };
    edit_->SetEditValue(Variant(Blob(20, 10, 0xFF0000)));
    EXPECT_EQ(edit_->Picture()->Width(), 20);
    EXPECT_FALSE(edit_->Modified());
    EXPECT_EQ(changes, 0);

    EXPECT_THROW(edit_->SetEditValue(Variant(std::string("BM") + std::string(60, '\x7f'))), EInvalidGraphic);
    EXPECT_EQ(edit_->Picture()->Width(), 20) << "a bad blob leaves the picture";
    EXPECT_FALSE(edit_->LoadingValue());
    edit_->SetEditValue(Variant(std::string()));
    EXPECT_TRUE(IsPictureEmpty(edit_->Picture()));
    EXPECT_FALSE(edit_->Modified());

    TBitmap copied(7, 5);
    Clipboard()->Assign(&copied);
    edit_->PasteFromClipboard();
    EXPECT_EQ(edit_->Picture()->Width(), 7);
    EXPECT_TRUE(edit_->Modified());
    EXPECT_EQ(changes, 1);

    // A forced transparency is applied to every picture taken, and is no edit either.
    edit_->SetModified(false);
    edit_->SetGraphicTransparency(gtTransparent);
    EXPECT_TRUE(edit_->Picture()->Graphic()->Transparent());
    edit_->SetEditValue(Variant(Blob(2, 2, 0)));
    EXPECT_TRUE(edit_->Picture()->Graphic()->Transparent());
    EXPECT_FALSE(edit_->Modified());

    // Painting other rows: a blob that is no picture paints as none and raises nothing.
    edit_->FillPaintPicture(Variant(std::string("not a picture at all")));
    EXPECT_TRUE(IsPictureEmpty(edit_->PaintPicture()));
    edit_->FillPaintPicture(Variant(Blob(3, 3, 0)));
    EXPECT_EQ(edit_->PaintPicture()->Width(), 3);
}

TEST_F(GraphicEdit, CommandsAndKeysCopyCutPasteAndRespectReadOnly) {
    edit_->SetEditValue(Variant(Blob(4, 4, 0x00FF00)));
    edit_->ToolButtonClick(nullptr, 1);  // copy
    ASSERT_TRUE(Clipboard()->HasFormat(CF_PICTURE));
    edit_->ToolButtonClick(nullptr, 3);  // delete
    EXPECT_TRUE(IsPictureEmpty(edit_->Picture()));
    Driver().PressKey(VK_INSERT, TShiftState{ssShift});
    EXPECT_EQ(edit_->Picture()->Width(), 4) << "Shift+Insert pastes";
    Clipboard()->Clear();
    Driver().PressKey(VK_INSERT, TShiftState{ssCtrl});
    EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP)) << "Ctrl+Insert copies";
    Driver().PressKey(VK_DELETE, TShiftState{ssShift});
    EXPECT_TRUE(IsPictureEmpty(edit_->Picture())) << "Shift+Delete cuts";
    Driver().PressKey('V', TShiftState{ssCtrl});
    EXPECT_FALSE(IsPictureEmpty(edit_->Picture())) << "Ctrl+V pastes";

    int custom = 0;
    edit_->OnCustomClick = [&](TObject*) { ++custom; };
    edit_->ToolButtonClick(nullptr, 6);
    edit_->ToolButtonClick(nullptr, 7);
    EXPECT_EQ(custom, 1);

    edit_->SetReadOnly(true);
    edit_->ToolButtonClick(nullptr, 0);  // cut: copies, deletes nothing
    EXPECT_FALSE(IsPictureEmpty(edit_->Picture()));
    edit_->ToolButtonClick(nullptr, 3);
    EXPECT_FALSE(IsPictureEmpty(edit_->Picture()));
    EXPECT_TRUE(edit_->ToolBar()->ReadOnly());
}

TEST_F(GraphicEdit, LoadsAndSavesThroughTheFileDialogs) {
    const TempFolder folder("tovak-graphic-edit");
    const std::string dir = folder.Path().string();
    edit_->SetEditValue(Variant(Blob(9, 6, 0x0000FF)));
    Driver().AnswerNextFileDialog(dir + "/graphic_edit_save.bmp");
    edit_->ToolButtonClick(nullptr, 5);
    edit_->ToolButtonClick(nullptr, 3);
    ASSERT_TRUE(IsPictureEmpty(edit_->Picture()));
    Driver().AnswerNextFileDialog(dir + "/graphic_edit_save.bmp");
    edit_->ToolButtonClick(nullptr, 4);
    EXPECT_EQ(edit_->Picture()->Width(), 9);
    EXPECT_EQ(Driver().PendingModalScripts(), 0);
}

TEST_F(GraphicEdit, TheToolWindowOpensBesideTheEditorOrWhereTheUserLeftIt) {
    edit_->SetEditValue(Variant(Blob(4, 4, 0)));
    edit_->PopupToolBar()->SetIsPopupMenu(false);
    edit_->PopupToolBar()->SetAlignment(ptaRight);
    Driver().DoubleClick(edit_);
    TvxPopupToolBar* bar = edit_->ToolBar();
    ASSERT_TRUE(bar->ToolBarShowing());
    TRect wr;
    GetWindowRect(edit_->Handle(), &wr);
    EXPECT_EQ(bar->Left(), wr.Right);
    EXPECT_FALSE(bar->ToolButtons(ptbPaste)->Enabled());
    EXPECT_TRUE(bar->ToolButtons(ptbCut)->Enabled());

    bar->SetBounds(300, 400, bar->Width(), bar->Height());  // the user moves it
    edit_->ShowPopupToolBar();
    EXPECT_EQ(bar->Left(), 300);
    edit_->SetPopupToolBarPosStored(false);
    edit_->ShowPopupToolBar();
    EXPECT_EQ(bar->Left(), wr.Right) << "not stored: always beside the editor";

    Driver().Click(bar->ToolButtons(ptbDelete));
    EXPECT_TRUE(IsPictureEmpty(edit_->Picture()));
    EXPECT_FALSE(bar->ToolButtons(ptbCut)->Enabled()) << "the states follow the command";
}

TEST_F(GraphicEdit, TheMenuShowsTheChosenCommandsWithTheirSeparators) {
    edit_->PopupToolBar()->SetButtons(vxPtbBit(ptbCopy) | vxPtbBit(ptbCustom));
    edit_->PopupToolBar()->SetCustomButtonCaption("Drehen");
    edit_->SyncPopupToolBar();
    TMenuItem* root = edit_->ToolBar()->PopupMenu()->Items();
    ASSERT_EQ(root->Count(), 9);
    std::vector<bool> visible;
    for (int i = 0; i < 9; ++i) visible.push_back(root->Items(i)->Visible());
    EXPECT_EQ(visible, (std::vector<bool>{false, true, false, false, false, false, false, true, true}));
    EXPECT_EQ(root->Items(8)->Caption(), "Drehen");
    EXPECT_EQ(root->Items(5)->Tag(), 4);
    EXPECT_EQ(root->Items(4)->Tag(), 2147483647);
    int custom = 0;
    edit_->OnCustomClick = [&](TObject*) { ++custom; };
    root->Items(8)->Click();
    EXPECT_EQ(custom, 1);
}

TEST_F(GraphicEdit, DrawsACellStretchedOrCentredAndShadesTheSelection) {
    TPicture picture;
    LoadPictureFromBlob(&picture, nullptr, Variant(Blob(40, 20, 0xFF0000)));
    auto vd = edit_->EditClass().CreateViewData();
    auto* g = static_cast<TvxGraphicEditViewData*>(vd.get());
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    g->Brush = white;
    g->Color = RGB(255, 255, 255);
    g->Picture = &picture;
    g->Stretch = true;
    TBitmap cell(80, 80);
    edit_->EditClass().DrawContent(cell.Canvas()->Handle(), Rect(0, 0, 80, 80), false, *g);
    EXPECT_EQ(cell.Pixel(79, 39), RGB(255, 0, 0)) << "stretched to 80 x 40";
    EXPECT_EQ(cell.Pixel(10, 41), RGB(255, 255, 255)) << "the rest is background";
    cell.SaveToPngFile(TestPicturePath("graphic_edit_cell.png"));

    g->Stretch = false;
    g->ShadowSelection = true;
    g->ShadowColor = RGB(0, 0, 128);
    edit_->EditClass().DrawContent(cell.Canvas()->Handle(), Rect(0, 0, 80, 80), false, *g);
    EXPECT_EQ(cell.Pixel(20, 31), RGB(255, 0, 0));
    EXPECT_EQ(cell.Pixel(19, 29) == RGB(0, 0, 128) || cell.Pixel(20, 29) == RGB(0, 0, 128), true)
        << "every second pixel shaded";
    EXPECT_EQ(cell.Pixel(10, 10) == RGB(255, 255, 255) || cell.Pixel(11, 10) == RGB(255, 255, 255), true);
    DeleteObject(white);

    g->MeasureOnly = true;
    edit_->EditClass().DrawContent(cell.Canvas()->Handle(), Rect(0, 0, 80, 80), false, *g);
    EXPECT_EQ(g->MeasuredHeight, 20);
}
