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

namespace {

std::string PictureDir() {
    const char* dir = std::getenv("TOVAK_TEST_PICTURES");
    std::string d = dir ? dir : (std::filesystem::temp_directory_path() / "tovak-pictures").string();
    std::filesystem::create_directories(d);
    return d;
}

// The form with the pop-ups over it, as the screen shows them (pop-ups are windows of
// their own with back buffers of their own).
bool SaveScreenOf(TForm* form, std::initializer_list<TWinControl*> popups, const std::string& file) {
    ::UpdateAllWindows();
    TRect fr;
    GetWindowRect(form->Handle(), &fr);
    TBitmap out(fr.Width(), fr.Height());
    auto blit = [&](HWND wnd) {
        TRect r;
        GetWindowRect(wnd, &r);
        HBITMAP buffer = GetWindowBackBuffer(wnd);
        if (!buffer) return;
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        bool hasRgn = GetWindowRgn(wnd, rgn) != ERROR;
        for (int y = 0; y < r.Height(); ++y)
            for (int x = 0; x < r.Width(); ++x) {
                int ox = r.Left - fr.Left + x, oy = r.Top - fr.Top + y;
                if (ox < 0 || oy < 0 || ox >= fr.Width() || oy >= fr.Height()) continue;
                if (hasRgn && !PtInRegion(rgn, x, y)) continue;
                out.SetPixel(ox, oy, PixelToColor(buffer->Row(y)[x]));
            }
        DeleteObject(rgn);
    };
    blit(form->Handle());
    for (TWinControl* p : popups)
        if (p && p->HandleAllocated() && IsWindowVisible(p->Handle())) blit(p->Handle());
    out.SaveToPngFile(file);
    return std::filesystem::exists(file);
}

}  // namespace

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
    const std::string dir = PictureDir();
    ASSERT_TRUE(Driver().SaveForm(form, dir + "/editors_closed.png"));

    image->SetFocus();
    Driver().Pump();
    Driver().PressKey(VK_DOWN, TShiftState{ssAlt});
    Driver().Pump();
    ASSERT_TRUE(image->IsDroppedDown());
    ASSERT_TRUE(SaveScreenOf(form, {image->PopupList()}, dir + "/editors_image_open.png"));
    Driver().Escape();
    Driver().Pump();
    EXPECT_FALSE(image->IsDroppedDown());

    date->SetFocus();
    Driver().Pump();
    Driver().PressKey(VK_F4);
    Driver().Pump();
    ASSERT_TRUE(date->IsDroppedDown());
    ASSERT_TRUE(SaveScreenOf(form, {date->Calendar()}, dir + "/editors_date_open.png"));
    Driver().Escape();
    Driver().Pump();
}
