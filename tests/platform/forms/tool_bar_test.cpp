// The tool bar: buttons in a row, pictures from the image list, captions, clicks by mouse,
// check and grouped buttons, flat hot edges, and an image list that goes away.

#include <filesystem>

#include "platform/forms/control_paint.h"
#include "platform/forms/memo.h"
#include "platform/forms/tool_bar.h"
#include "platform/rtl/exception.h"
#include "tests/platform/forms/forms_test_support.h"
#include "tests/support/test_pictures.h"

class ToolBarTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        form = MakeForm("ToolForm", 320, 160);
        images = new TImageList(16, 16, form);
        for (TColor c : {clRed, clLime, clBlue}) {
            TBitmap bmp(16, 16);
            bmp.Canvas()->Brush()->SetColor(c);
            bmp.Canvas()->FillRect(Rect(0, 0, 16, 16));
            images->Add(&bmp, nullptr);
        }
        bar = Add<TToolBar>(form, "ToolBar1", 0, 0);
        bar->SetImages(images);
        open = AddButton("OpenButton", "Öffnen", 0);
        separator = AddButton("Sep1", "", -1);
        separator->SetStyle(tbsSeparator);
        inputs = AddButton("Inputs", "Eingänge", 1);
        inputs->SetStyle(tbsCheck);
        inputs->SetGrouped(true);
        outputs = AddButton("Outputs", "Ausgänge", 2);
        outputs->SetStyle(tbsCheck);
        outputs->SetGrouped(true);
        memo = Add<TMemo>(form, "Memo1", 0, 0);
        memo->SetAlign(alClient);
    }
    TToolButton* AddButton(const std::string& name, const std::string& caption, int image) {
        auto* b = new TToolButton(form);
        b->SetName(name);
        b->SetParent(bar);
        b->SetCaption(caption);
        b->SetImageIndex(image);
        return b;
    }
    void ShowForm() {
        form->Show();
        Driver().Pump();
    }
    TForm* form = nullptr;
    TImageList* images = nullptr;
    TToolBar* bar = nullptr;
    TToolButton* open = nullptr;
    TToolButton* separator = nullptr;
    TToolButton* inputs = nullptr;
    TToolButton* outputs = nullptr;
    TMemo* memo = nullptr;
};

TEST_F(ToolBarTest, ButtonsLineUpLeftToRightAboveTheClientControl) {
    ShowForm();
    ASSERT_EQ(bar->ButtonCount(), 4);
    EXPECT_EQ(bar->Buttons(2), inputs);
    EXPECT_EQ(inputs->Index(), 2);
    EXPECT_THROW(bar->Buttons(4), EListError);
    EXPECT_EQ(bar->Width(), form->ClientWidth()) << "a tool bar sits at the top by default";
    EXPECT_EQ(open->BoundsRect(), Rect(0, 2, 23, 24));
    EXPECT_EQ(separator->BoundsRect(), Rect(23, 2, 31, 24));
    EXPECT_EQ(inputs->Left(), 31);
    EXPECT_EQ(outputs->Left(), 54);
    EXPECT_EQ(memo->Top(), bar->Height());
    // An invisible button gives its place to the next one.
    separator->SetVisible(false);
    EXPECT_EQ(inputs->Left(), 23);
    // Pictures are centred on the buttons.
    EXPECT_EQ(PixelAt(open, {11, 11}), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(outputs, {11, 11}), RGB(0, 0, 255));
}

TEST_F(ToolBarTest, ClicksCheckAndGroupedButtons) {
    ShowForm();
    int clicks = 0;
    open->OnClick = [&](TObject*) { ++clicks; };
    Driver().Click(open);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(open->Down()) << "a push button does not stay down";

    Driver().Click(inputs);
    EXPECT_TRUE(inputs->Down());
    Driver().Click(outputs);
    EXPECT_TRUE(outputs->Down());
    EXPECT_FALSE(inputs->Down()) << "grouped check buttons act as radio buttons";
    Driver().Click(outputs);
    EXPECT_TRUE(outputs->Down()) << "without AllowAllUp one of the group stays down";
    outputs->SetAllowAllUp(true);
    Driver().Click(outputs);
    EXPECT_FALSE(outputs->Down());

    // A release outside the button does not click; the button shows pressed only meanwhile.
    Driver().MouseDown(open, {5, 5});
    Driver().Pump();
    EXPECT_TRUE(open->Pressed());
    Driver().MouseUp(open, {5, 60});
    Driver().Pump();
    EXPECT_FALSE(open->Pressed());
    EXPECT_EQ(clicks, 1);

    // A disabled button takes no click and shows its picture engraved, not red.
    open->SetEnabled(false);
    Driver().Click(open);
    EXPECT_EQ(clicks, 1);
    EXPECT_NE(PixelAt(open, {11, 11}), RGB(255, 0, 0));
}

TEST_F(ToolBarTest, DownButtonsAreSunkAndFlatButtonsShowTheirEdgeOnlyUnderTheMouse) {
    ShowForm();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(PixelAt(open, {0, 0}), GetSysColor(COLOR_3DLIGHT)) << "a classic button is raised";
    inputs->SetDown(true);
    EXPECT_EQ(PixelAt(inputs, {0, 0}), GetSysColor(COLOR_BTNSHADOW)) << "a button that is down is sunk";

    bar->SetFlat(true);
    Driver().MoveTo(memo, {100, 50});
    Driver().Pump();
    EXPECT_EQ(PixelAt(open, {0, 0}), face) << "flat: no edge away from the mouse";
    Driver().MoveTo(open, {8, 8});
    Driver().Pump();
    EXPECT_TRUE(open->Hot());
    EXPECT_EQ(PixelAt(open, {0, 0}), GetSysColor(COLOR_BTNHIGHLIGHT));
    Driver().MoveTo(memo, {100, 50});
    Driver().Pump();
    EXPECT_FALSE(open->Hot());
    EXPECT_EQ(PixelAt(open, {0, 0}), face);
}

TEST_F(ToolBarTest, CaptionsGrowTheButtonsAndAutoSizeTheBar) {
    bar->SetShowCaptions(true);
    bar->SetAutoSize(true);
    ShowForm();
    TSize size = bar->ButtonSize();
    int widest = 0;
    for (const char* s : {"Öffnen", "Eingänge", "Ausgänge"})
        widest = std::max(widest, MeasureText(open->Font(), s, Rect(0, 0, 0x3FFF, 0), DT_SINGLELINE).Width());
    EXPECT_EQ(size.cx, widest + 8) << "the widest caption decides";
    EXPECT_EQ(size.cy, 16 + 4 + 13 + 8);
    EXPECT_EQ(open->Width(), size.cx);
    EXPECT_EQ(outputs->Width(), size.cx) << "every button gets the same size";
    EXPECT_EQ(separator->Width(), 8);
    EXPECT_EQ(bar->Height(), size.cy + 4);
    EXPECT_EQ(memo->Top(), bar->Height());
    outputs->SetCaption("Alle Ausgänge anzeigen");
    EXPECT_GT(open->Width(), size.cx) << "a longer caption widens all buttons";
    std::string png = TestPicturePath("tovak_tool_bar.png");
    ASSERT_TRUE(Driver().SaveForm(form, png));
}

TEST_F(ToolBarTest, AFreedImageListLeavesTheBarWithoutPictures) {
    ShowForm();
    delete images;
    images = nullptr;
    EXPECT_EQ(bar->Images(), nullptr);
    EXPECT_EQ(PixelAt(open, {11, 11}), GetSysColor(COLOR_BTNFACE));
    // Moving a button to another parent takes it off the bar.
    open->SetParent(form);
    EXPECT_EQ(bar->ButtonCount(), 3);
    EXPECT_EQ(open->ToolBar(), nullptr);
    EXPECT_EQ(open->Index(), -1);
    EXPECT_EQ(bar->Buttons(0), separator);
    EXPECT_EQ(separator->Left(), 0);
}
