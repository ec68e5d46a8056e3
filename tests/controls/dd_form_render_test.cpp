// Renders a form holding every stand-alone editor, closed and dropped down, to PNG.

#include <filesystem>

#include "controls/edit_images.h"
#include "controls/vx_check_edit_style.h"
#include "controls/vx_edit.h"
#include "controls/vx_mask_edit.h"
#include "controls/vx_standalone_edits.h"
#include "platform/forms/label.h"
#include "platform/sync/clock.h"
#include "tests/controls/vx_editor_test_support.h"
#include "tests/controls/vx_picture_test_support.h"
#include "tests/support/test_pictures.h"

class EditorFormPicture : public EditorTest {};

TEST_F(EditorFormPicture, EveryEditorClosedAndDroppedDown) {
    ScopedManualClock clock;  // 2026-03-05
    TForm* form = MakeForm("Editors", 420, 400);
    form->SetCaption("Editoren");
    auto* ctl = new TvxCheckEditStyleController(form);
    ctl->SetBorderStyle(xbsFlat);
    ctl->SetShadow(true);

    auto* edit = Add<TvxEdit>(form, "Edit1", 8, 8);
    edit->SetText("Haupteingang");
    auto* mask = Add<TvxInplaceMaskEdit>(form, "Mask1", 8, 40);
    mask->SetWidth(121);
    mask->SetEditMask("99:99;1;_");
    mask->SetText("12:30");
    auto* check = Add<TvxCheckEdit>(form, "Check1", 8, 72);
    check->SetCaption("Tür verriegelt");
    check->SetWidth(160);
    check->SetState(cbsChecked);
    auto* check3d = Add<TvxCheckEdit>(form, "Check2", 8, 100);
    check3d->SetCaption("Grau");
    check3d->SetAllowGrayed(true);
    check3d->SetState(cbsGrayed);
    auto* date = Add<TvxDateEdit>(form, "Date1", 8, 132);
    date->SetDate(EncodeDate(2026, 3, 5));
    auto* image = Add<TvxImageEdit>(form, "Image1", 8, 164);
    image->SetWidth(180);
    image->SetImages(ToolBarImages());
    TStringList values, descriptions;
    for (const char* v : {"00", "01", "02", "03"}) values.Add(v);
    for (const char* d : {"Keine Funktion", "Tür öffnen", "Alarm", "Störung"}) descriptions.Add(d);
    image->SetValues(&values);
    image->SetDescriptions(&descriptions);
    image->SetText("01");
    auto* flatImage = Add<TvxImageEdit>(form, "Image2", 200, 164);
    flatImage->SetValues(&values);
    flatImage->SetDescriptions(&descriptions);
    flatImage->SetText("7F");  // no item: the raw text shows
    auto* flatDate = Add<TvxDateEdit>(form, "Date2", 200, 132);
    for (TvxInplaceEdit* e : std::initializer_list<TvxInplaceEdit*>{check, check3d, flatImage, flatDate})
        e->SetStyleController(ctl);
    form->Show();
    Driver().Pump();
    const std::string dir = TestPicturesFolder();
    ASSERT_TRUE(Driver().SaveForm(form, dir + "/editors_closed.png"));

    image->SetFocus();
    Driver().Pump();
    Driver().PressKey(VK_DOWN, TShiftState{ssAlt});
    Driver().Pump();
    ASSERT_TRUE(image->IsDroppedDown());
    ASSERT_TRUE(SaveFormWithPopups(form, {image->PopupList()}, dir + "/editors_image_open.png"));
    Driver().Escape();
    Driver().Pump();
    EXPECT_FALSE(image->IsDroppedDown());

    date->SetFocus();
    Driver().Pump();
    Driver().PressKey(VK_F4);
    Driver().Pump();
    ASSERT_TRUE(date->IsDroppedDown());
    ASSERT_TRUE(SaveFormWithPopups(form, {date->Calendar()}, dir + "/editors_date_open.png"));
    Driver().Escape();
    Driver().Pump();
}
