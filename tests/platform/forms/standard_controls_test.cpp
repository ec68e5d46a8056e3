// A form built in code with every standard control: its picture, Tab order, default and
// cancel buttons, modal results, disabled and hidden controls.

#include <filesystem>

#include "platform/forms/bevel.h"
#include "platform/forms/button.h"
#include "platform/forms/check_box.h"
#include "platform/forms/combo_box.h"
#include "platform/forms/edit.h"
#include "platform/forms/group_box.h"
#include "platform/forms/image.h"
#include "platform/forms/label.h"
#include "platform/forms/list_box.h"
#include "platform/forms/mask_edit.h"
#include "platform/forms/memo.h"
#include "platform/forms/notebook.h"
#include "platform/forms/page_control.h"
#include "platform/forms/panel.h"
#include "platform/forms/progress_bar.h"
#include "platform/forms/radio_button.h"
#include "platform/forms/shape.h"
#include "platform/forms/status_bar.h"
#include "platform/rtl/exception.h"
#include "tests/platform/forms/forms_test_support.h"
#include "tests/support/test_pictures.h"

namespace {

struct AllControls {
    TForm* form;
    TLabel* label;
    TEdit* edit;
    TMaskEdit* maskEdit;
    TShape* lamp;
    TCheckBox* check;
    TRadioButton* radio1;
    TRadioButton* radio2;
    TListBox* list;
    TComboBox* combo;
    TPanel* panel;
    TGroupBox* group;
    TBevel* bevel;
    TImage* image;
    TNotebook* notebook;
    TPageControl* pages;
    TTabSheet* sheet1;
    TTabSheet* sheet2;
    TProgressBar* progress;
    TStatusBar* status;
    TMemo* memo;
    TButton* ok;
    TButton* cancel;
    TButton* hiddenButton;
};

}  // namespace

class StandardControls : public FormsTest {
protected:
    AllControls Build() {
        AllControls a{};
        a.form = MakeForm("Controls", 560, 420);
        a.form->SetCaption("Standard-Steuerelemente");
        a.label = Add<TLabel>(a.form, "Label1", 8, 12);
        a.label->SetCaption("&Schnittstellen-Nummer:");
        a.edit = Add<TEdit>(a.form, "Edit1", 136, 8);
        a.label->SetFocusControl(a.edit);
        a.maskEdit = Add<TMaskEdit>(a.form, "MaskEdit1", 136, 37);
        a.maskEdit->SetEditMask("!99.99.0000;1;_");
        a.lamp = Add<TShape>(a.form, "Shape1", 8, 40);
        a.lamp->SetBounds(8, 40, 16, 16);
        a.lamp->Brush()->SetColor(0x00FF00);
        a.check = Add<TCheckBox>(a.form, "CheckBox1", 8, 66);
        a.check->SetCaption("Invertiert");
        a.radio1 = Add<TRadioButton>(a.form, "Radio1", 8, 91);
        a.radio1->SetCaption("Eingänge");
        a.radio2 = Add<TRadioButton>(a.form, "Radio2", 128, 91);
        a.radio2->SetCaption("Ausgänge");
        a.radio1->SetChecked(true);
        a.list = Add<TListBox>(a.form, "ListBox1", 8, 116);
        a.list->SetBounds(8, 116, 121, 69);
        for (const char* s : {"Tür verriegelt", "Alarm", "Kurzzeitfreigabe", "Störung", "Wartung", "Reset"})
            a.list->Items()->Add(s);
        a.combo = Add<TComboBox>(a.form, "ComboBox1", 136, 116);
        a.combo->SetStyle(csDropDownList);
        for (const char* s : {"COM1", "COM3", "COM10"}) a.combo->Items()->Add(s);
        a.combo->SetItemIndex(0);
        a.panel = Add<TPanel>(a.form, "Panel1", 288, 8);
        a.panel->SetBounds(288, 8, 121, 41);
        a.panel->SetCaption("Verriegelt");
        a.group = Add<TGroupBox>(a.form, "GroupBox1", 416, 8);
        a.group->SetBounds(416, 8, 129, 81);
        a.group->SetCaption("Geräte");
        a.bevel = Add<TBevel>(a.form, "Bevel1", 288, 56);
        a.bevel->SetBounds(288, 56, 121, 33);
        a.image = Add<TImage>(a.form, "Image1", 296, 64);
        a.image->SetBounds(296, 64, 16, 16);
        TBitmap bmp(16, 16);
        bmp.Canvas()->Brush()->SetColor(clBlue);
        bmp.Canvas()->FillRect(Rect(0, 0, 16, 16));
        a.image->Picture()->SetGraphic(&bmp);
        a.notebook = Add<TNotebook>(a.form, "Notebook1", 288, 96);
        a.notebook->SetBounds(288, 96, 121, 41);
        a.notebook->SetPages({"EDIT", "LIST", "NONE"});
        auto* onPage2 = new TLabel(a.form);
        onPage2->SetName("PageLabel");
        onPage2->SetParent(a.notebook->Page(2));
        onPage2->SetCaption("Kein Tangor gefunden !");
        a.pages = Add<TPageControl>(a.form, "PageControl1", 288, 144);
        a.pages->SetBounds(288, 144, 257, 105);
        a.sheet1 = new TTabSheet(a.form);
        a.sheet1->SetName("TabSheet1");
        a.sheet1->SetCaption("Eingänge");
        a.sheet1->SetPageControl(a.pages);
        a.sheet2 = new TTabSheet(a.form);
        a.sheet2->SetName("TabSheet2");
        a.sheet2->SetCaption("Ausgänge");
        a.sheet2->SetPageControl(a.pages);
        a.memo = Add<TMemo>(a.form, "Memo1", 8, 192);
        a.memo->SetBounds(8, 192, 273, 57);
        a.memo->Lines()->Add("Zeile 1");
        a.memo->Lines()->Add("Zeile 2");
        a.progress = Add<TProgressBar>(a.form, "ProgressBar1", 8, 256);
        a.progress->SetBounds(8, 256, 273, 16);
        a.progress->SetPosition(40);
        a.ok = Add<TButton>(a.form, "OkButton", 392, 316);
        a.ok->SetBounds(392, 316, 73, 25);
        a.ok->SetCaption("OK");
        a.ok->SetDefault(true);
        a.ok->SetModalResult(mrOk);
        a.cancel = Add<TButton>(a.form, "CancelButton", 473, 316);
        a.cancel->SetBounds(473, 316, 73, 25);
        a.cancel->SetCaption("Abbrechen");
        a.cancel->SetCancel(true);
        a.cancel->SetModalResult(mrCancel);
        a.hiddenButton = Add<TButton>(a.form, "HiddenButton", 8, 316);
        a.hiddenButton->SetBounds(8, 316, 73, 25);
        a.hiddenButton->SetCaption("Versteckt");
        a.hiddenButton->SetVisible(false);
        a.status = Add<TStatusBar>(a.form, "StatusBar1", 0, 0);
        for (const char* s : {"2024-05-01", "12:00:00", "....."}) {
            TStatusPanel* p = a.status->Panels()->Add();
            p->SetText(s);
            p->SetWidth(80);
        }
        return a;
    }
};

TEST_F(StandardControls, FormRendersEveryControl) {
    AllControls a = Build();
    a.form->Show();
    Driver().Pump();
    std::string png = TestPicturePath("tovak_standard_controls.png");
    ASSERT_TRUE(Driver().SaveForm(a.form, png));
    EXPECT_TRUE(std::filesystem::exists(png));
    // The lamp is green inside its black pen.
    EXPECT_EQ(PixelAt(a.lamp, {8, 8}), RGB(0, 255, 0));
    EXPECT_EQ(PixelAt(a.lamp, {0, 0}), RGB(0, 0, 0));
    // The edit field is white, the image blue, the progress bar shows blue blocks.
    EXPECT_EQ(PixelAt(a.edit, {a.edit->ClientWidth() - 3, 3}), RGB(255, 255, 255));
    EXPECT_EQ(PixelAt(a.image, {8, 8}), RGB(0, 0, 255));
    EXPECT_EQ(PixelAt(a.progress, {3, 8}), GetSysColor(COLOR_HIGHLIGHT));
    // The selected combo item is highlighted only with the focus; the list shows no selection.
    EXPECT_EQ(PixelAt(a.list, {a.list->ClientWidth() - 3, 3}), RGB(255, 255, 255));
    // The hidden button leaves the form's face colour where it would be.
    EXPECT_EQ(PixelAt(a.form, {8 + 36, 316 + 12}), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(a.notebook->PageIndex(), 0);
    EXPECT_EQ(a.pages->ActivePage(), a.sheet1);
}

TEST_F(StandardControls, TabMovesThroughTheControlsInTabOrder) {
    AllControls a = Build();
    a.form->Show();
    Driver().Pump();
    EXPECT_TRUE(a.edit->Focused());
    Driver().Tab();
    EXPECT_TRUE(a.maskEdit->Focused());
    Driver().Tab();
    EXPECT_TRUE(a.check->Focused());
    a.check->SetEnabled(false);
    a.edit->SetFocus();
    Driver().Tab();
    Driver().Tab();
    EXPECT_TRUE(a.radio1->Focused()) << "the disabled check box is skipped";
    Driver().Tab(true);
    EXPECT_TRUE(a.maskEdit->Focused());
}

TEST_F(StandardControls, EnterClicksDefaultAndEscapeCancelsAModalForm) {
    AllControls a = Build();
    int okClicks = 0;
    a.ok->OnClick = [&](TObject*) { ++okClicks; };
    Driver().OnNextModal([](TCustomForm*, UiDriver& d) { d.Enter(); });
    EXPECT_EQ(a.form->ShowModal(), mrOk);
    EXPECT_EQ(okClicks, 1);
    Driver().OnNextModal([](TCustomForm*, UiDriver& d) { d.Escape(); });
    EXPECT_EQ(a.form->ShowModal(), mrCancel);
    EXPECT_EQ(okClicks, 1);
}

TEST_F(StandardControls, FocusedButtonTakesEnterInsteadOfTheDefault) {
    AllControls a = Build();
    a.form->Show();
    Driver().Pump();
    int okClicks = 0;
    int cancelClicks = 0;
    a.ok->OnClick = [&](TObject*) { ++okClicks; };
    a.cancel->OnClick = [&](TObject*) { ++cancelClicks; };
    a.cancel->SetFocus();
    Driver().Enter();
    EXPECT_EQ(cancelClicks, 1);
    EXPECT_EQ(okClicks, 0);
    a.edit->SetFocus();
    Driver().Enter();
    EXPECT_EQ(okClicks, 1);
}

TEST_F(StandardControls, ClicksChangeCheckRadioListAndPages) {
    AllControls a = Build();
    a.form->Show();
    Driver().Pump();
    int checkClicks = 0;
    a.check->OnClick = [&](TObject*) { ++checkClicks; };
    Driver().Click(a.check);
    EXPECT_TRUE(a.check->Checked());
    EXPECT_TRUE(a.check->Focused());
    Driver().PressKey(VK_SPACE);
    EXPECT_FALSE(a.check->Checked());
    EXPECT_EQ(checkClicks, 2);
    Driver().Click(a.radio2);
    EXPECT_TRUE(a.radio2->Checked());
    EXPECT_FALSE(a.radio1->Checked());
    Driver().MouseDown(a.list, {20, 13 * 2 + 5});
    Driver().MouseUp(a.list, {20, 13 * 2 + 5});
    Driver().Pump();
    EXPECT_EQ(a.list->ItemIndex(), 2);
    Driver().PressKey(VK_DOWN);
    EXPECT_EQ(a.list->ItemIndex(), 3);
    TRect tab = a.pages->TabRect(1);
    Driver().MouseDown(a.pages, {tab.Left + 5, tab.Top + 5});
    Driver().MouseUp(a.pages, {tab.Left + 5, tab.Top + 5});
    Driver().Pump();
    EXPECT_EQ(a.pages->ActivePage(), a.sheet2);
    EXPECT_TRUE(a.sheet2->Visible());
    EXPECT_FALSE(a.sheet1->Visible());
}

TEST_F(StandardControls, DisabledControlsIgnoreInput) {
    AllControls a = Build();
    a.form->Show();
    Driver().Pump();
    a.check->SetEnabled(false);
    a.edit->SetEnabled(false);
    a.ok->SetEnabled(false);
    int okClicks = 0;
    a.ok->OnClick = [&](TObject*) { ++okClicks; };
    Driver().Click(a.check);
    EXPECT_FALSE(a.check->Checked());
    Driver().Click(a.edit);
    EXPECT_FALSE(a.edit->Focused());
    Driver().Click(a.ok);
    a.maskEdit->SetFocus();
    Driver().Enter();
    EXPECT_EQ(okClicks, 0);
    EXPECT_EQ(a.form->ModalResult(), mrNone);
}

TEST_F(StandardControls, AcceleratorOfALabelFocusesItsControl) {
    AllControls a = Build();
    a.form->Show();
    Driver().Pump();
    // A check box does not want characters: a typed "s" is offered as an accelerator.
    a.check->SetFocus();
    Driver().Type("s");
    EXPECT_TRUE(a.edit->Focused());
    EXPECT_EQ(a.edit->Text(), "");
}

TEST_F(StandardControls, NotebookShowsPagesByIndexAndName) {
    AllControls a = Build();
    a.form->Show();
    Driver().Pump();
    a.notebook->SetActivePage("none");
    EXPECT_EQ(a.notebook->PageIndex(), 2);
    EXPECT_TRUE(a.notebook->Page(2)->Visible());
    EXPECT_FALSE(a.notebook->Page(0)->Visible());
    a.notebook->SetPageIndex(7);
    EXPECT_EQ(a.notebook->PageIndex(), 2) << "an index outside the pages changes nothing";
    EXPECT_THROW(a.notebook->SetActivePage("XYZ"), EListError);
    EXPECT_EQ(a.notebook->ActivePage(), "NONE");
    std::string png = TestPicturePath("tovak_standard_controls_2.png");
    ASSERT_TRUE(Driver().SaveForm(a.form, png));
}
