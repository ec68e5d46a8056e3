// The lookup editor over a memory table with a lookup field and over a list source: the
// incremental search (prefix kept, rest selected, Backspace, no match), clearing, stepping,
// the drop-down sized to a short list and closing with and without taking its row, the
// circular list source; and the blob kind and picture routines of the blob columns.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "grid/editors/vx_db_blob_routines.h"
#include "grid/editors/vx_lookup_edit.h"
#include "memdata/vx_mem_data.h"
#include "platform/db/db.h"
#include "platform/display/presenter.h"
#include "platform/forms/application.h"
#include "platform/forms/form.h"
#include "platform/gdi/image_codec.h"
#include "platform/rtl/exception.h"
#include "platform/sync/clock.h"
#include "platform/win/virtual_keys.h"
#include "tests/platform/forms/forms_test_support.h"
#include "tests/support/screen_picture.h"
#include "tests/support/test_pictures.h"
#include "tests/support/ui_driver.h"

namespace {

class LookupEdit : public ::testing::Test {
protected:
    void SetUp() override {
        driver = std::make_unique<UiDriver>();
        form = new TForm(EnsureApplication());
        form->SetName("LookupForm");
        form->SetBounds(50, 50, 400, 300);
        EnsureApplication()->FormCreated(form);
        cities = Table("Cities");
        cityId = Field<TIntegerField>(cities, "CityID");
        cityName = Field<TStringField>(cities, "CityName", 20);
        cities->Open();
        for (auto [id, name] : {std::pair{1, "Berlin"}, {2, "Bonn"}, {3, "Hamburg"}}) {
            cities->Append();
            cityId->SetAsInteger(id);
            cityName->SetAsString(name);
            cities->Post();
        }
        people = Table("People");
        ref = Field<TIntegerField>(people, "CityID");
        city = Field<TStringField>(people, "City", 20);
        city->SetFieldKind(fkLookup);
        city->SetLookupDataSet(cities);
        city->SetKeyFields("CityID");
        city->SetLookupKeyFields("CityID");
        city->SetLookupResultField("CityName");
        people->Open();
        people->Append();
        ref->SetAsInteger(3);
        people->Post();
        people->Edit();

        edit = new TvxInplaceLookupEdit(form);
        edit->SetName("Lookup1");
        edit->SetBounds(8, 8, 150, 21);
        edit->SetParent(form);
        other = new TTestBox(form);
        other->SetName("Other");
        other->SetBounds(8, 200, 60, 24);
        other->SetParent(form);
        form->Show();
        driver->Pump();
    }
    void TearDown() override {
        ResetApplication();
        driver.reset();
    }
    TvxMemData* Table(const std::string& name) {
        auto* t = new TvxMemData(form);
        t->SetName(name);
        return t;
    }
    template <class F>
    F* Field(TvxMemData* table, const std::string& name, int size = 0) {
        auto* f = new F(form);
        f->SetFieldName(name);
        if (size > 0) f->SetSize(size);
        f->SetDataSet(table);
        return f;
    }
    // The editor bound to the lookup field, showing the current record's value, focused.
    void BindToLookupField() {
        edit->SetLookupField(city);
        edit->SetEditValue(city->Value());
        edit->SetFocus();
        driver->Pump();
    }
    // Pixels of a colour in a client rectangle of a top-level window (the pop-up).
    static int CountPixels(TWinControl* w, TRect local, COLORREF color) {
        UpdateAllWindows();
        int n = 0;
        for (int y = local.Top; y < local.Bottom; ++y)
            for (int x = local.Left; x < local.Right; ++x)
                if (ShownPixel(w->Handle(), w->ClientToScreen(Point(x, y))) == color) ++n;
        return n;
    }
    std::string Selected() { return edit->Text().substr(edit->SelStart(), edit->SelLength()); }

    ScopedManualClock clock;
    std::unique_ptr<UiDriver> driver;
    TForm* form = nullptr;
    TvxMemData* cities = nullptr;
    TvxMemData* people = nullptr;
    TIntegerField* cityId = nullptr;
    TStringField* cityName = nullptr;
    TIntegerField* ref = nullptr;
    TStringField* city = nullptr;
    TvxInplaceLookupEdit* edit = nullptr;
    TTestBox* other = nullptr;
};

TEST_F(LookupEdit, TypingAPrefixWritesTheKeyAndSelectsTheRestOfTheRow) {
    BindToLookupField();
    edit->SetImmediateDropDown(false);
    EXPECT_EQ(edit->Text(), "Hamburg");
    driver->Type("bo");
    EXPECT_EQ(ref->AsInteger(), 2);
    EXPECT_EQ(edit->Text(), "Bonn");
    EXPECT_EQ(edit->SelStart(), 2);  // the typed "Bo" stays unselected
    EXPECT_EQ(Selected(), "nn");
    EXPECT_TRUE(edit->Modified());
    EXPECT_EQ(edit->SearchText(), "bo");
    // The text is never edited as text.
    driver->PressKey(VK_DELETE);
    EXPECT_EQ(edit->Text(), "Bonn");

    // A character that matches nothing is dropped; the last match stays.
    driver->Type("x");
    EXPECT_EQ(edit->Text(), "Bonn");
    EXPECT_EQ(edit->SearchText(), "bo");
    EXPECT_EQ(ref->AsInteger(), 2);

    // Backspace shortens the search and searches again.
    driver->PressKey(VK_BACK);
    EXPECT_EQ(edit->SearchText(), "b");
    EXPECT_EQ(edit->Text(), "Berlin");
    EXPECT_EQ(ref->AsInteger(), 1);
    EXPECT_EQ(Selected(), "erlin");
    // At an empty search without CanDeleteText the value stays.
    driver->PressKey(VK_BACK);
    EXPECT_FALSE(edit->Searching());
    EXPECT_EQ(ref->AsInteger(), 1);
    // A lone character that matches nothing ends the search and keeps the value.
    driver->Type("q");
    EXPECT_FALSE(edit->Searching());
    EXPECT_EQ(ref->AsInteger(), 1);
}

TEST_F(LookupEdit, ClearingTakesTheKeyAwayByKeyBackspaceOrShortCut) {
    BindToLookupField();
    edit->SetImmediateDropDown(false);
    edit->SetClearKey(ShortCut(VK_DELETE, {ssCtrl}));
    driver->PressKey(VK_DELETE, {ssCtrl});
    EXPECT_TRUE(ref->IsNull());
    EXPECT_EQ(edit->SelLength(), static_cast<int>(edit->Text().size()));  // all selected

    edit->SetCanDeleteText(true);
    driver->Type("ha");
    EXPECT_EQ(ref->AsInteger(), 3);
    driver->PressKey(VK_BACK);  // "h"
    EXPECT_EQ(ref->AsInteger(), 3);
    driver->PressKey(VK_BACK);  // empty search with CanDeleteText: cleared
    EXPECT_TRUE(ref->IsNull());
    driver->Type("be");
    edit->SelectAll();
    driver->PressKey(VK_DELETE);
    EXPECT_TRUE(ref->IsNull());

    // A key field that cannot be written takes nothing: the record is not being edited.
    people->Post();
    EXPECT_FALSE(edit->SetKeyValue(Variant(1)));
    EXPECT_TRUE(ref->IsNull());
}

TEST_F(LookupEdit, TheDropDownShrinksToAShortListAndTakesItsRowOnlyWhenAccepted) {
    BindToLookupField();
    edit->SetDropDownRows(7);
    driver->PressKey(VK_F4);
    ASSERT_TRUE(edit->IsDroppedDown());
    TPopupDBLookupListBox* list = edit->PopupList();
    EXPECT_TRUE(list->IsListVisible());
    EXPECT_EQ(list->RowCount(), 3);
    EXPECT_EQ(list->ClientHeight(), 3 * list->RowHeight());
    EXPECT_EQ(list->VisibleRecordCount(), 3);
    EXPECT_EQ(list->Width(), edit->Width());
    EXPECT_EQ(list->KeyValue().AsInteger(), 3);
    // The key's row is highlighted: the third of three.
    UpdateAllWindows();
    ASSERT_TRUE(SaveWindowToPng(list->Handle(), TestPicturePath("tovak_lookup_list.png")));
    ASSERT_TRUE(driver->SaveForm(form, TestPicturePath("tovak_lookup_form.png")));
    const int h = list->RowHeight();
    EXPECT_GT(CountPixels(list, TRect{0, 2 * h, list->ClientWidth(), 3 * h}, ColorToRGB(clHighlight)), 0);
    EXPECT_EQ(CountPixels(list, TRect{0, 0, list->ClientWidth(), 2 * h}, ColorToRGB(clHighlight)), 0);

    // Keys reach the list while it is open; Esc closes without taking the row.
    driver->PressKey(VK_UP);
    EXPECT_EQ(list->KeyValue().AsInteger(), 2);
    driver->Escape();
    EXPECT_FALSE(edit->IsDroppedDown());
    EXPECT_FALSE(list->IsListVisible());
    EXPECT_EQ(ref->AsInteger(), 3);
    EXPECT_EQ(edit->Text(), "Hamburg");

    // A click on a row takes it.
    driver->PressKey(VK_F4);
    ASSERT_TRUE(edit->IsDroppedDown());
    driver->Click(list);  // the middle row of three
    EXPECT_FALSE(edit->IsDroppedDown());
    EXPECT_EQ(ref->AsInteger(), 2);
    EXPECT_TRUE(edit->Modified());
    EXPECT_EQ(list->ListSource(), nullptr);  // the list lets go of its source when closed

    // A column's close-up hook can refuse the row.
    edit->CloseUpHandler = [](TObject*, Variant&, bool& Accept) { Accept = false; };
    driver->PressKey(VK_F4);
    driver->PressKey(VK_DOWN);
    driver->Enter();
    EXPECT_EQ(ref->AsInteger(), 2);
}

TEST_F(LookupEdit, AListSourceEditorKeepsItsValueAndRefusesACircularSource) {
    auto* src = new TDataSource(form);
    src->SetDataSet(cities);
    edit->SetUseFieldLookup(false);
    edit->SetStoresValue(true);
    edit->SetKeyFieldName("CityID");
    edit->SetListFieldName("CityName");
    edit->SetListSource(src);
    EXPECT_EQ(edit->GetDisplayText(Variant(1)), "Berlin");
    EXPECT_EQ(edit->GetDisplayText(Variant(9)), "");
    EXPECT_TRUE(edit->CanDropDown());

    edit->SetFocus();
    edit->SetImmediateDropDown(false);
    driver->Type("h");
    EXPECT_EQ(edit->StoredValue().AsInteger(), 3);
    EXPECT_EQ(edit->Text(), "Hamburg");
    // Stepping moves through the list's rows from the current key.
    edit->StepItem(-1, false);
    EXPECT_EQ(edit->StoredValue().AsInteger(), 2);
    EXPECT_EQ(edit->Text(), "Bonn");
    edit->ClearValue();
    EXPECT_TRUE(VarIsNull(edit->StoredValue()));
    edit->StepItem(1, false);  // no key: the first row
    EXPECT_EQ(edit->StoredValue().AsInteger(), 1);

    // An editor whose own data comes from the list dataset would feed itself.
    class LinkedLookupEdit : public TvxInplaceLookupEdit {
    public:
        LinkedLookupEdit(TComponent* Owner, TDataSource* Own) : TvxInplaceLookupEdit(Owner), own_(Own) {}
        TDataSource* GetEditDataSource() const override { return own_; }

    private:
        TDataSource* own_;
    };
    auto* linked = new LinkedLookupEdit(form, src);
    linked->SetUseFieldLookup(false);
    linked->SetKeyFieldName("CityID");
    try {
        linked->SetListSource(src);
        linked->ListLinkChanged();
        ADD_FAILURE() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Zirkuläre Datenverbindungen sind nicht erlaubt");
    }
}

TEST(DBBlobRoutines, BlobKindsAndPictureValues) {
    EXPECT_EQ(GetBlobEditKind(bkBlob, nullptr), 3);
    EXPECT_EQ(GetBlobEditKind(bkMemo, nullptr), 0);
    EXPECT_EQ(GetBlobEditKind(bkPict, nullptr), 1);
    EXPECT_EQ(GetBlobEditKind(bkOle, nullptr), 2);
    EXPECT_EQ(GetBlobEditKind(bkAuto, nullptr), 3);
    TMemoField memo(nullptr);
    EXPECT_EQ(GetBlobEditKind(bkAuto, &memo), 0);
    TGraphicField graphic(nullptr);
    EXPECT_EQ(GetBlobEditKind(bkAuto, &graphic), 1);
    TIntegerField number(nullptr);
    EXPECT_EQ(GetBlobEditKind(bkAuto, &number), 3);

    PixelImage img;
    img.width = 2;
    img.height = 3;
    img.pixels.assign(6, 0x00FF0000u);
    TPicture picture;
    AssignPictureValue(Variant(EncodeBmp(img)), &picture);
    EXPECT_EQ(picture.Width(), 2);
    EXPECT_EQ(picture.Height(), 3);
    AssignPictureValue(Null(), &picture);
    EXPECT_EQ(picture.Graphic(), nullptr);
    TBitmap bitmap;
    bitmap.SetSize(4, 5);
    AssignPictureValue(&bitmap, &picture);
    EXPECT_EQ(picture.Width(), 4);
    AssignPictureValue(static_cast<TObject*>(nullptr), &picture);
    EXPECT_EQ(picture.Graphic(), nullptr);
    // A damaged picture changes nothing and says so.
    AssignPictureValue(&bitmap, &picture);
    std::string damaged = EncodeBmp(img);
    for (int i = 18; i < 22; ++i) damaged[static_cast<size_t>(i)] = i == 21 ? '\x7F' : '\xFF';  // width
    EXPECT_THROW(AssignPictureValue(Variant(damaged), &picture), EInvalidGraphic);
    EXPECT_EQ(picture.Width(), 4);
}

}  // namespace
