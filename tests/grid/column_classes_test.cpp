// The grid's column classes over a memory table: the editor each opens and what it hands
// the editor, the filter editors and comparisons, display and export texts, bounds read
// from fields, the wrapper's borrowing, the default column table, and a picture of a grid
// holding every kind.

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "controls/vx_edit_style.h"
#include "controls/vx_editors_unit.h"
#include "grid/columns/vx_db_grid_column.h"
#include "grid/columns/vx_db_grid_columns.h"
#include "grid/columns/vx_default_column_table.h"
#include "grid/filter/vx_db_grid_filter_popup.h"
#include "grid/filter/vx_filter_dialog.h"
#include "platform/forms/button.h"
#include "platform/forms/speed_button.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/canvas.h"
#include "platform/gdi/graphics_objects.h"
#include "platform/gdi/image_codec.h"
#include "platform/gdi/image_list.h"
#include "platform/rtl/locale.h"
#include "tests/grid/grid_test_form.h"
#include "tests/support/test_pictures.h"

namespace {

class ColumnClasses : public GridOnForm {
protected:
    void SetUp() override {
        GridOnForm::SetUp();
        Field<TTimeField>("At");
        Field<TCurrencyField>("Price");
        Field<TBlobField>("Data");
        Field<TGraphicField>("Pic");
        cities = new TvxMemData(form);
        cities->SetName("Cities");
        auto* id = new TIntegerField(form);
        id->SetFieldName("CityID");
        id->SetDataSet(cities);
        auto* name = new TStringField(form);
        name->SetFieldName("CityName");
        name->SetSize(20);
        name->SetDataSet(cities);
        cities->Open();
        for (auto [key, text] : {std::pair{1, "Berlin"}, {2, "Bonn"}}) {
            cities->Append();
            id->SetAsInteger(key);
            name->SetAsString(text);
            cities->Post();
        }
        auto* city = Field<TStringField>("City", 20);
        city->SetFieldKind(fkLookup);
        city->SetLookupDataSet(cities);
        city->SetKeyFields("ID");
        city->SetLookupKeyFields("CityID");
        city->SetLookupResultField("CityName");
    }

    template <class C>
    C* Add(const std::string& fieldName) {
        auto* column = grid->CreateColumn<C>();
        column->SetFieldName(fieldName);
        return column;
    }
    // One record, its row focused, and the editor of the column opened on it.
    TvxInplaceEdit* OpenEditor(TvxDBTreeListColumn* column) {
        if (!table->Active()) table->Open();
        if (table->RecordCount() == 0) AddRecord(1, "Anna", true, 12.5);
        if (grid->GetAbsoluteCount() == 0) RowForCurrentRecord();
        grid->SetFocusedColumn(grid->GetVisibleColumnIndex(column->Index()));
        grid->SetFocus();
        driver->Pump();
        grid->ShowEditor();
        return grid->Editor();
    }
    void CloseEditor() { grid->CloseEditor(); }

    TvxMemData* cities = nullptr;
};

TEST_F(ColumnClasses, EachKindOpensItsEditorAndNamesItsFilterEditor) {
    constexpr TvxFilterOperators all = vxAllFilterOperators, list = vxListFilterOperators;
    struct Kind {
        TvxDBTreeListColumn* column;
        const char* editor;
        const char* filterEditor;  // null: the column offers no filter
        TvxFilterOperators operators;
    };
    const Kind kinds[] = {
        {Add<TvxDBGridMemoColumn>("Note"), "TvxInplaceDBTreeListMemoEdit", nullptr, all},
        {Add<TvxDBTreeListDropDownColumn>("Name"), "TvxInplaceDBTreeListDropDownEdit", "TCustomvxFilterEdit", all},
        {Add<TvxDBGridDateColumn>("Day"), "TvxInplaceDBTreeListDateEdit", "TCustomvxFilterDateEdit", all},
        {Add<TvxDBGridButtonColumn>("Name"), "TvxInplaceDBTreeListButtonEdit", "TCustomvxFilterEdit", all},
        {Add<TvxDBGridCheckColumn>("Active"), "TvxInplaceDBTreeListCheckEdit", "TCustomvxFilterImageEdit", list},
        {Add<TvxDBGridImageColumn>("ID"), "TvxInplaceDBTreeListImageEdit", "TCustomvxFilterImageEdit", list},
        {Add<TvxDBGridSpinColumn>("Amount"), "TvxInplaceDBTreeListSpinEdit", "TCustomvxFilterSpinEdit", all},
        {Add<TvxDBGridPickColumn>("Name"), "TvxInplaceDBTreeListPickEdit", "TCustomvxFilterPickEdit", all},
        {Add<TvxDBGridCalcColumn>("Amount"), "TvxInplaceDBTreeListCalcEdit", "TCustomvxFilterCalcEdit", all},
        {Add<TvxDBGridHyperLinkColumn>("Name"), "TvxInplaceDBTreeListHyperLinkEdit", "TCustomvxFilterEdit", all},
        {Add<TvxDBGridTimeColumn>("At"), "TvxInplaceDBTreeListTimeEdit", "TCustomvxFilterTimeEdit", all},
        {Add<TvxDBGridCurrencyColumn>("Price"), "TvxInplaceDBTreeListCurrencyEdit", "TCustomvxFilterCurrencyEdit", all},
        {Add<TvxDBGridGraphicColumn>("Pic"), "TvxInplaceDBTreeListGraphicEdit", nullptr, all},
        {Add<TvxDBGridLookupColumn>("City"), "TvxInplaceDBTreeListLookupEdit", "TCustomvxFilterLookupEdit", list},
        {Add<TvxDBGridBlobColumn>("Data"), "TvxInplaceDBTreeListBlobEdit", nullptr, all},
        {Add<TvxDBGridMRUColumn>("Name"), "TvxInplaceDBTreeListMRUEdit", "TCustomvxFilterPickEdit", all},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.column->ClassName());
        TvxInplaceEdit* editor = OpenEditor(kind.column);
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->ClassName(), kind.editor);
        EXPECT_TRUE(editor->IsInplace());
        CloseEditor();
        EXPECT_EQ(kind.column->CanFilter(), kind.filterEditor != nullptr);
        if (!kind.filterEditor) continue;
        TvxInplaceEdit* filter = kind.column->CreateFilterEdit(form);
        EXPECT_EQ(filter->ClassName(), kind.filterEditor);
        EXPECT_FALSE(filter->IsInplace());
        EXPECT_EQ(kind.column->GetFilterOperators(), kind.operators);
    }
}

TEST_F(ColumnClasses, TheMemoEditorGetsTheColumnsSettingsAndTheCellShowsTheTextCut) {
    auto* memo = Add<TvxDBGridMemoColumn>("Note");
    memo->SetMaxDisplayLength(6);
    memo->SetWantTabs(true);
    memo->SetWordWrap(false);
    memo->SetScrollBars(ssVertical);
    memo->SetHideScrollBars(false);
    memo->SetSelectionBar(true);
    auto* editor = dynamic_cast<TvxInplaceMemoEdit*>(OpenEditor(memo));
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->WantTabs());
    EXPECT_FALSE(editor->WordWrap());
    EXPECT_EQ(editor->ScrollBars(), ssVertical);
    EXPECT_FALSE(editor->HideScrollBars());
    EXPECT_TRUE(editor->SelectionBar());
    EXPECT_EQ(editor->Text(), "note Anna");  // the editor holds the whole text
    // The live editor has the bar: a click left of the text takes the whole line.
    driver->MouseDown(editor, {3, 5});
    driver->MouseUp(editor, {3, 5});
    driver->Pump();
    EXPECT_EQ(editor->SelStart(), 0);
    EXPECT_EQ(editor->SelLength(), 9);
    std::string shown;
    memo->GetDisplayText(grid->GetFocusedNode(), shown);
    EXPECT_EQ(shown, "note A");
    memo->SetMaxDisplayLength(-1);
    memo->GetDisplayText(grid->GetFocusedNode(), shown);
    EXPECT_EQ(shown, "note Anna");
    // Cut by characters, never inside one.
    EXPECT_EQ(CutDisplayText("Grüße", 3), "Grü");
    memo->RestoreDefaults();
    EXPECT_EQ(memo->MaxDisplayLength(), 255);
    EXPECT_TRUE(memo->DisableFilter());
}

TEST_F(ColumnClasses, TheFilterDialogOffersEachColumnsComparisonsInItsOwnEditors) {
    const std::vector<std::string> all{"0", "1", "2", "3", "4", "5", "6", "7"}, list{"0", "1", "6", "7"};
    struct Case {
        TvxDBTreeListColumn* column;
        const std::vector<std::string>* pickers;
        const char* editor;
    };
    const Case cases[] = {
        {Add<TvxDBGridCheckColumn>("Active"), &list, "TCustomvxFilterImageEdit"},
        {Add<TvxDBGridImageColumn>("ID"), &list, "TCustomvxFilterImageEdit"},
        {Add<TvxDBGridLookupColumn>("City"), &list, "TCustomvxFilterLookupEdit"},
        {Add<TvxDBGridDateColumn>("Day"), &all, "TCustomvxFilterDateEdit"},
        {Add<TvxDBGridSpinColumn>("Amount"), &all, "TCustomvxFilterSpinEdit"},
    };
    table->Open();
    AddRecord(1, "Anna", true);
    grid->Filter()->SetActive(true);
    auto values = [](TvxInplaceImageEdit* picker) {
        std::vector<std::string> v;
        for (int i = 0; i < picker->Values()->Count(); ++i) v.push_back(picker->Values()->Strings(i));
        return v;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.column->ClassName());
        bool shown = false;
        driver->OnNextModal([&](TCustomForm* f, UiDriver& d) {
            auto* dialog = dynamic_cast<TfmCustomDialog*>(f);
            ASSERT_NE(dialog, nullptr);
            shown = true;
            EXPECT_EQ(values(dialog->Operator1), *c.pickers);
            std::vector<std::string> second{"-1"};  // the second condition may stay empty
            second.insert(second.end(), c.pickers->begin(), c.pickers->end());
            EXPECT_EQ(values(dialog->Operator2), second);
            EXPECT_EQ(dialog->Operator1->Descriptions()->Strings(1), "does not equal");
            EXPECT_EQ(dialog->Value1Edit->ClassName(), c.editor);
            EXPECT_EQ(dialog->Value2Edit->ClassName(), c.editor);
            d.Click(dialog->btnCancel);
        });
        EXPECT_FALSE(grid->Filter()->ShowCustomDialog(c.column));
        EXPECT_TRUE(shown);
    }
}

TEST_F(ColumnClasses, SpinAndCurrencyBoundsFollowTheFieldUntilAssigned) {
    auto* amount = dynamic_cast<TFloatField*>(table->FieldByName("Amount"));
    amount->SetMinValue(-1.234567);
    amount->SetMaxValue(99.5);
    amount->SetPrecision(3);
    auto* id = dynamic_cast<TIntegerField*>(table->FieldByName("ID"));
    id->SetMinValue(1);
    id->SetMaxValue(50);
    auto* spin = Add<TvxDBGridSpinColumn>("ID");
    auto* floatSpin = Add<TvxDBGridSpinColumn>("Amount");
    auto* price = Add<TvxDBGridCurrencyColumn>("Price");
    EXPECT_EQ(spin->MinValue(), 1);
    EXPECT_EQ(spin->MaxValue(), 50);
    EXPECT_DOUBLE_EQ(floatSpin->MinValue(), -1.23);
    EXPECT_DOUBLE_EQ(floatSpin->MaxValue(), 99.5);
    EXPECT_FALSE(spin->IsMinValueStored());
    spin->SetMinValue(1);  // assigned, but the field's own: not worth storing
    EXPECT_FALSE(spin->IsMinValueStored());
    spin->SetMaxValue(20);
    EXPECT_TRUE(spin->IsMaxValueStored());
    spin->SetIncrement(5);
    auto* spinEditor = dynamic_cast<TvxInplaceSpinEdit*>(OpenEditor(spin));
    ASSERT_NE(spinEditor, nullptr);
    EXPECT_EQ(spinEditor->MinValue(), 1);
    EXPECT_EQ(spinEditor->MaxValue(), 20);
    EXPECT_EQ(spinEditor->Increment(), 5);
    EXPECT_EQ(spinEditor->GetValue(), 1);
    CloseEditor();

    EXPECT_EQ(price->MinValue(), 0);
    price->SetMinValue(2);
    price->SetMaxValue(30);
    price->SetDecimalPlaces(3);
    table->Edit();
    table->FieldByName("Price")->SetAsFloat(7.25);
    table->Post();
    auto* priceEditor = dynamic_cast<TvxInplaceCurrencyEdit*>(OpenEditor(price));
    ASSERT_NE(priceEditor, nullptr);
    EXPECT_EQ(priceEditor->MinValue(), 2);
    EXPECT_EQ(priceEditor->MaxValue(), 30);
    EXPECT_EQ(priceEditor->DecimalPlaces(), 3u);
    EXPECT_DOUBLE_EQ(priceEditor->GetValue(), 7.25);
    // The decimal separator is a key of amounts even in an integer field.
    auto* count = Add<TvxDBGridCurrencyColumn>("ID");
    EXPECT_TRUE(count->IsValidChar(static_cast<unsigned char>(FormatSettings().DecimalSeparator)));
    EXPECT_FALSE(count->IsValidChar(U'x'));
}

TEST_F(ColumnClasses, CellsDrawTheButtonOnTheFocusedRowUnlessAlwaysOrNever) {
    auto* pick = Add<TvxDBGridPickColumn>("Name");
    table->Open();
    AddRecord(1, "Anna");
    TvxTreeListNode* first = RowForCurrentRecord();
    AddRecord(2, "Bert");
    TvxTreeListNode* second = RowForCurrentRecord();
    grid->SetOptionsView(grid->OptionsView().Include(edgoShowButtonAlways));
    ASSERT_TRUE(grid->IsShowButtonAlways());
    auto buttonDrawn = [&](TvxTreeListNode* node) {
        pick->SetDrawingNode(node);
        auto* view = dynamic_cast<TvxDropDownEditViewData*>(pick->GetViewData());
        pick->GetDrawInfo(*view, TvxTreeListCellDrawRecord{});
        pick->SetDrawingNode(nullptr);
        return !view->ButtonsHidden;
    };
    EXPECT_FALSE(buttonDrawn(first));
    EXPECT_TRUE(buttonDrawn(second));
    EXPECT_TRUE(pick->CanShowButton(true));
    EXPECT_FALSE(pick->CanShowButton(false));
    pick->SetShowButtonStyle(sbAlways);
    EXPECT_TRUE(buttonDrawn(first));
    EXPECT_TRUE(pick->CanShowButton(false));
    pick->SetShowButtonStyle(sbNone);
    EXPECT_FALSE(buttonDrawn(second));
    EXPECT_FALSE(pick->CanShowButton(true));
    pick->SetShowButtonStyle(sbAlways);
    pick->SetDisableEditor(true);
    EXPECT_FALSE(pick->CanShowButton(true));
}

TEST_F(ColumnClasses, TheButtonStyleKeepsAFirstButtonOfItsKindAndClicksReportTheIndex) {
    auto* button = Add<TvxDBGridButtonColumn>("Name");
    ASSERT_EQ(button->Buttons()->Count(), 1);
    EXPECT_EQ(button->Buttons()->Items(0)->Kind(), bkEllipsis);
    button->SetEditButtonStyle(ebsDown);
    EXPECT_EQ(button->Buttons()->Items(0)->Kind(), bkDown);
    button->SetEditButtonStyle(ebsSimple);
    EXPECT_EQ(button->Buttons()->Count(), 0);
    button->SetEditButtonStyle(ebsGlyph);
    ASSERT_EQ(button->Buttons()->Count(), 1);
    EXPECT_EQ(button->Buttons()->Items(0)->Kind(), bkGlyph);
    button->Buttons()->Add();
    button->SetClickKey(scCtrl | 'K');
    int clicked = -1;
    button->OnButtonClick() = [&](TObject* sender, int index) {
        EXPECT_EQ(sender, button);
        clicked = index;
    };
    auto* editor = dynamic_cast<TvxInplaceButtonEdit*>(OpenEditor(button));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->Buttons()->Count(), 2);
    EXPECT_EQ(editor->ClickKey(), scCtrl | 'K');
    int editButtonClicks = 0;
    button->OnEditButtonClick() = [&](TObject* sender) {
        EXPECT_EQ(sender, button);
        ++editButtonClicks;
    };
    editor->ButtonClick(1);
    EXPECT_EQ(clicked, 1);
    EXPECT_EQ(editButtonClicks, 1) << "every button of the editor is an edit button";
    CloseEditor();
    // A drop-down column hears its editor's button too.
    auto* pick = Add<TvxDBGridPickColumn>("Name");
    int pickClicks = 0;
    pick->OnEditButtonClick() = [&](TObject* sender) { pickClicks += sender == pick; };
    auto* pickEditor = dynamic_cast<TvxInplaceDropDownEdit*>(OpenEditor(pick));
    ASSERT_NE(pickEditor, nullptr);
    pickEditor->DoDropDown();
    EXPECT_EQ(pickClicks, 1);
    CloseEditor();
    button->RestoreDefaults();
    EXPECT_EQ(button->Buttons()->Count(), 1);
    EXPECT_EQ(button->ClickKey(), scCtrl | 13);
}

TEST_F(ColumnClasses, ImageDescriptionsShowExportAndFilterWhileUnlistedValuesKeepTheirText) {
    auto* image = Add<TvxDBGridImageColumn>("ID");
    image->Values()->Add("1");
    image->Values()->Add("2");
    image->Descriptions()->Add("eins");
    image->Descriptions()->Add("zwei");
    std::string shown;
    image->GetValueDisplayText(nullptr, "2", shown);
    EXPECT_EQ(shown, "zwei");
    image->GetValueDisplayText(nullptr, "7", shown);
    EXPECT_EQ(shown, "7");
    Variant value(std::string("2"));
    EXPECT_TRUE(image->GetExportValue(false, value));
    EXPECT_EQ(value.AsString(), "zwei");
    value = Variant(std::string("7"));
    image->GetExportValue(true, value);
    EXPECT_EQ(value.AsString(), "7");
    std::string filterText = "1";
    image->GetFilterDisplayText(filterText);
    EXPECT_EQ(filterText, "eins");

    image->SetShowDescription(true);
    auto* editor = dynamic_cast<TvxInplaceImageEdit*>(OpenEditor(image));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->Values()->Count(), 2);
    EXPECT_EQ(editor->Descriptions()->Strings(1), "zwei");
    EXPECT_TRUE(editor->ShowDescription());
    CloseEditor();
    // The best fit is the description's width, with an image list plus an image's width;
    // the cells are as high as an image.
    TCanvas* canvas = grid->Canvas();
    EXPECT_EQ(image->GetBestFitWidth(canvas, grid->GetFocusedNode()), canvas->TextWidth("eins"));
    auto* images = new TImageList(12, 20, form);
    image->SetImages(images);
    EXPECT_EQ(image->GetBestFitWidth(canvas, grid->GetFocusedNode()), canvas->TextWidth("eins") + 12);
    EXPECT_EQ(image->GetMinCellHeight(), 20);
    delete images;  // the column lets go of a list that is freed
    EXPECT_EQ(image->Images(), nullptr);
    EXPECT_EQ(image->GetMinCellHeight(), 0);
}

TEST_F(ColumnClasses, TheHyperlinkColumnDrawsItsLinkFontAndExportsAnEscapedAnchor) {
    auto* link = Add<TvxDBGridHyperLinkColumn>("Name");
    EXPECT_TRUE(link->LinkFont()->Style().Contains(fsUnderline));
    EXPECT_EQ(link->LinkFont()->Color(), link->Font()->Color());
    EXPECT_FALSE(link->IsHotTrack());
    link->SetSingleClick(true);
    EXPECT_EQ(link->LinkFont()->Color(), static_cast<TColor>(0xFF0000));
    EXPECT_TRUE(link->IsHotTrack());

    Variant value(std::string("a&b"));
    EXPECT_FALSE(link->GetExportValue(false, value));  // text exports keep the text
    value = Variant(std::string("x.html?a=1&b=\"2\"<i>"));
    ASSERT_TRUE(link->GetExportValue(true, value));
    EXPECT_EQ(value.AsString(),
              "<a href=\"x.html?a=1&amp;b=&quot;2&quot;&lt;i&gt;\">x.html?a=1&amp;b=\"2\"&lt;i&gt;</a>");

    auto* editor = dynamic_cast<TvxInplaceHyperLinkEdit*>(OpenEditor(link));
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->SingleClick());
    EXPECT_EQ(editor->LinkColor(), static_cast<TColor>(0xFF0000));
    CloseEditor();

    // The hand over a cell with text, nothing over an empty one (in a grid that tracks the
    // pointer).
    grid->SetOptionsView(grid->OptionsView().Include(edgoHotTrack));
    table->Append();
    table->Post();
    driver->Pump();
    auto cursorOverCurrentRecord = [&] {
        TvxTreeListNode* node = RowForCurrentRecord();
        const TRect r = grid->GetCellRect(node, grid->GetVisibleColumnIndex(link->Index()));
        driver->MoveTo(grid, TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
        driver->Pump();
        return grid->Cursor();
    };
    table->First();
    EXPECT_EQ(cursorOverCurrentRecord(), crvxHandPoint);
    table->Last();
    EXPECT_NE(cursorOverCurrentRecord(), crvxHandPoint);
}

TEST_F(ColumnClasses, BlobCellsFollowThePaintStyleAndThePopupKeepsItsSize) {
    auto* blob = Add<TvxDBGridBlobColumn>("Data");
    table->Open();
    AddRecord(1, "Anna");
    std::string shown = "x";
    blob->GetDisplayText(nullptr, shown);
    EXPECT_EQ(shown, "");  // icon style, null field
    table->Edit();
    table->FieldByName("Data")->SetAsString("0123456789");
    table->Post();
    blob->SetBlobPaintStyle(bpsText);
    blob->SetMaxDisplayLength(4);
    blob->GetDisplayText(nullptr, shown);
    EXPECT_EQ(shown, "0123");
    blob->SetBlobPaintStyle(bpsDefault);
    blob->GetDisplayText(nullptr, shown);
    EXPECT_EQ(shown, table->FieldByName("Data")->DisplayText());

    blob->SetBlobKind(bkMemo);
    blob->SetMemoWantTabs(false);
    blob->SetPopupWidth(240);
    auto* editor = dynamic_cast<TvxInplaceBlobEdit*>(OpenEditor(blob));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->EditKind(), vxbkMemo);
    EXPECT_FALSE(editor->MemoWantTabs);
    EXPECT_EQ(editor->MemoScrollBars, ssBoth);
    EXPECT_EQ(editor->PopupWidth(), 240);
    editor->PopupResized(300, 180);
    EXPECT_EQ(blob->PopupWidth(), 300);
    EXPECT_EQ(blob->PopupHeight(), 180);
}

TEST_F(ColumnClasses, TheEmptyDateClearsTheFieldAndIsNullAsAFilterValue) {
    auto* date = Add<TvxDBGridDateColumn>("Day");
    date->SetDateValidation(true);
    date->SetSaveTime(false);
    auto* editor = dynamic_cast<TvxInplaceDateEdit*>(OpenEditor(date));
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->DateValidation());
    EXPECT_FALSE(editor->SaveTime());
    EXPECT_EQ(editor->Date(), EncodeDate(2024, 3, 1));
    table->Edit();
    editor->SetDate(NullDate);
    Variant value;
    date->SaveEditValue(grid->GetFocusedNode(), editor, value);
    table->Post();
    EXPECT_TRUE(table->FieldByName("Day")->IsNull());
    CloseEditor();

    TvxInplaceEdit* filter = date->CreateFilterEdit(form);
    date->SetFilterEditValue(filter, Null());
    std::string text;
    date->GetFilterEditValue(filter, value, text);
    EXPECT_TRUE(value.IsNull());
    date->SetFilterEditValue(filter, Variant::FromDate(EncodeDate(2024, 5, 6)));
    date->GetFilterEditValue(filter, value, text);
    EXPECT_EQ(value.AsDouble(), EncodeDate(2024, 5, 6));
}

TEST_F(ColumnClasses, PickAndMruEditorsGetTheirItemsAndTheMruListComesBack) {
    auto* pick = Add<TvxDBGridPickColumn>("Name");
    EXPECT_TRUE(pick->ImmediateDropDown());
    pick->Items()->Add("Anna");
    pick->Items()->Add("Bert");
    pick->SetDropDownListStyle(true);
    auto* pickEditor = dynamic_cast<TvxInplacePickEdit*>(OpenEditor(pick));
    ASSERT_NE(pickEditor, nullptr);
    EXPECT_EQ(pickEditor->Items()->Count(), 2);
    EXPECT_TRUE(pickEditor->DropDownListStyle());
    bool closedUp = false;
    pick->OnCloseUp() = [&](TObject* sender, Variant&, bool& accept) {
        closedUp = sender == pick;
        accept = false;
    };
    Variant chosen(std::string("Bert"));
    bool accept = true;
    pickEditor->CloseUpHandler(pickEditor, chosen, accept);
    EXPECT_TRUE(closedUp);
    EXPECT_FALSE(accept);
    CloseEditor();

    auto* mru = Add<TvxDBGridMRUColumn>("Name");
    mru->SetMaxItemCount(2);
    mru->Items()->Add("Old");
    auto* editor = dynamic_cast<TvxInplaceMRUEdit*>(OpenEditor(mru));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->MaxItemCount(), 2);
    editor->AddItem("New");
    table->Edit();
    Variant value;
    mru->SaveEditValue(grid->GetFocusedNode(), editor, value);
    table->Cancel();
    ASSERT_EQ(mru->Items()->Count(), 2);
    EXPECT_EQ(mru->Items()->Strings(0), "New");
    EXPECT_EQ(mru->Items()->Strings(1), "Old");
}

TEST_F(ColumnClasses, CheckAndDropDownEditorsGetTheirSettings) {
    auto* check = Add<TvxDBGridCheckColumn>("Active");
    check->SetAllowGrayed(true);
    check->SetShowNullFieldStyle(nsInactive);
    check->SetGlyphCount(3);
    auto* checkEditor = dynamic_cast<TvxInplaceCheckEdit*>(OpenEditor(check));
    ASSERT_NE(checkEditor, nullptr);
    EXPECT_TRUE(checkEditor->AllowGrayed());
    EXPECT_EQ(checkEditor->NullStyle(), nsInactive);
    EXPECT_EQ(checkEditor->GlyphCount(), 3);
    EXPECT_EQ(checkEditor->Alignment(), taCenter);
    EXPECT_EQ(checkEditor->Style()->ButtonStyle(), btsFlat) << "the border the cells draw";
    CloseEditor();
    check->SetBorder3D(true);
    checkEditor = dynamic_cast<TvxInplaceCheckEdit*>(OpenEditor(check));
    ASSERT_NE(checkEditor, nullptr);
    EXPECT_EQ(checkEditor->Style()->ButtonStyle(), bts3D);
    CloseEditor();

    auto* pick = Add<TvxDBGridPickColumn>("Name");
    pick->SetDropDownRows(3);
    pick->SetDropDownWidth(150);
    pick->SetImmediateDropDown(false);
    pick->SetPopupAlignment(taRightJustify);
    pick->SetPopupBorder(pbFlat);
    TBitmap glyph;
    glyph.SetSize(5, 4);
    pick->SetButtonGlyph(&glyph);
    auto* pickEditor = dynamic_cast<TvxInplacePickEdit*>(OpenEditor(pick));
    ASSERT_NE(pickEditor, nullptr);
    EXPECT_EQ(pickEditor->DropDownRows(), 3);
    EXPECT_EQ(pickEditor->DropDownWidth(), 150);
    EXPECT_FALSE(pickEditor->ImmediateDropDown());
    EXPECT_EQ(pickEditor->PopupAlignment(), taRightJustify);
    EXPECT_EQ(pickEditor->PopupBorder(), pbFlat);
    EXPECT_EQ(pickEditor->ButtonGlyph()->Width(), 5);
    CloseEditor();
}

TEST_F(ColumnClasses, CalcLookupAndTimeEditorsGetTheirSettings) {
    auto* calc = Add<TvxDBGridCalcColumn>("Amount");
    calc->SetPrecision(5);
    calc->SetQuickClose(true);
    auto* calcEditor = dynamic_cast<TvxInplaceCalcEdit*>(OpenEditor(calc));
    ASSERT_NE(calcEditor, nullptr);
    EXPECT_EQ(calcEditor->Precision(), 5);
    EXPECT_TRUE(calcEditor->QuickClose());
    CloseEditor();

    auto* lookup = Add<TvxDBGridLookupColumn>("City");
    lookup->SetClearKey(VK_DELETE);
    lookup->SetCanDeleteText(true);
    auto* lookupEditor = dynamic_cast<TvxInplaceLookupEdit*>(OpenEditor(lookup));
    ASSERT_NE(lookupEditor, nullptr);
    EXPECT_EQ(lookupEditor->LookupField(), table->FieldByName("City"));
    EXPECT_EQ(lookupEditor->ClearKey(), VK_DELETE);
    EXPECT_TRUE(lookupEditor->CanDeleteText());
    CloseEditor();

    auto* time = Add<TvxDBGridTimeColumn>("At");
    time->SetTimeEditFormat(tfHourMin);
    auto* timeEditor = dynamic_cast<TvxInplaceTimeEdit*>(OpenEditor(time));
    ASSERT_NE(timeEditor, nullptr);
    EXPECT_EQ(timeEditor->TimeEditFormat(), tfHourMin);
    table->Edit();
    timeEditor->SetTime(EncodeTime(9, 30, 0, 0));
    Variant value;
    time->SaveEditValue(grid->GetFocusedNode(), timeEditor, value);
    table->Post();
    EXPECT_DOUBLE_EQ(table->FieldByName("At")->AsDateTime(), EncodeTime(9, 30, 0, 0));
}

// A column whose save fails after it saw where it was to save.
class FailingColumn : public TvxDBGridColumn {
public:
    explicit FailingColumn(TComponent* AOwner) : TvxDBGridColumn(AOwner) {}
    int savedAt = -2;
    void SaveEditValue(TvxTreeListNode*, TvxInplaceEdit*, Variant&) override {
        savedAt = GetIndex();
        throw std::runtime_error("refused");
    }
};

TEST_F(ColumnClasses, TheWrapperBorrowsEachRowsColumnAndResetsTheIndexOverride) {
    auto* wrapper = Add<TvxDBGridWrapperColumn>("Name");
    auto* check = Add<TvxDBGridCheckColumn>("Active");
    auto* date = Add<TvxDBGridDateColumn>("Day");
    table->Open();
    AddRecord(1, "Anna", true);
    TvxTreeListNode* first = RowForCurrentRecord();
    // Without the event it is a plain data column.
    std::string shown;
    wrapper->GetDisplayText(first, shown);
    EXPECT_EQ(shown, "Anna");
    EXPECT_EQ(wrapper->GetInplaceEditClass().ClassName(), TvxDBGridColumn(nullptr).GetInplaceEditClass().ClassName());
    EXPECT_FALSE(wrapper->CanFilter());

    AddRecord(2, "Bert", false);
    TvxTreeListNode* second = RowForCurrentRecord();
    wrapper->OnGetReferenceColumn = [&](TObject*, TvxTreeListNode* node, TvxDBTreeListColumn*& column) {
        column = node == first ? static_cast<TvxDBTreeListColumn*>(check) : date;
    };
    EXPECT_EQ(wrapper->ReferenceColumn(first), check);
    EXPECT_EQ(wrapper->ReferenceColumn(second), date);
    EXPECT_EQ(wrapper->ReferenceColumn(nullptr), date);  // the focused row's
    EXPECT_EQ(wrapper->GetInplaceEditClass().ClassName(), "TvxInplaceDBTreeListDateEdit");
    first->SetFocused(true);
    EXPECT_EQ(wrapper->GetInplaceEditClass().ClassName(), "TvxInplaceDBTreeListCheckEdit");
    EXPECT_EQ(wrapper->GetFilterOperators(), vxListFilterOperators);

    auto* failing = grid->CreateColumn<FailingColumn>();
    failing->SetFieldName("ID");
    wrapper->OnGetReferenceColumn = [&](TObject*, TvxTreeListNode*, TvxDBTreeListColumn*& column) { column = failing; };
    Variant value;
    EXPECT_THROW(wrapper->SaveEditValue(first, nullptr, value), std::runtime_error);
    EXPECT_EQ(failing->savedAt, wrapper->Index());
    EXPECT_EQ(failing->IndexOverride(), -1);
    EXPECT_EQ(failing->GetIndex(), failing->Index());
}

TEST_F(ColumnClasses, CheckTextsServeTheFilterWhileCellsKeepTheirBoxes) {
    auto* check = Add<TvxDBGridCheckColumn>("Active");
    check->SetValueChecked("Wahr");
    check->SetValueUnchecked("Falsch");
    check->SetDisplayChecked("ja");
    check->SetDisplayUnChecked("nein");
    check->SetDisplayNull("offen");
    table->Open();
    AddRecord(1, "Anna", true);
    TvxTreeListNode* node = RowForCurrentRecord();
    EXPECT_EQ(node->Strings(check->Index()), "Wahr");  // the cell keeps the field's text for its box

    auto* filter = dynamic_cast<TvxInplaceImageEdit*>(check->CreateFilterEdit(form));
    ASSERT_NE(filter, nullptr);
    check->InitFilterEdit(filter);
    ASSERT_EQ(filter->Values()->Count(), 3);
    EXPECT_EQ(filter->Values()->Strings(2), "Wahr");
    EXPECT_EQ(filter->Descriptions()->Strings(0), "offen");
    EXPECT_EQ(filter->Descriptions()->Strings(1), "nein");
    EXPECT_EQ(filter->Descriptions()->Strings(2), "ja");
    EXPECT_TRUE(filter->ShowDescription());

    // A value into the editor and back: Boolean fields give Booleans, the grayed text Null.
    check->SetFilterEditValue(filter, Variant(true));
    Variant value;
    std::string text;
    check->GetFilterEditValue(filter, value, text);
    EXPECT_EQ(value.VarType(), varBoolean);
    EXPECT_TRUE(value.AsBoolean());
    EXPECT_EQ(text, "ja");
    check->SetFilterEditValue(filter, Null());
    check->GetFilterEditValue(filter, value, text);
    EXPECT_TRUE(value.IsNull());
    EXPECT_EQ(text, "offen");
}

TEST_F(ColumnClasses, TheFilterDropDownListsTheCheckTextsAndTheCellsStillShowBoxes) {
    auto* check = Add<TvxDBGridCheckColumn>("Active");
    check->SetValueChecked("Wahr");
    check->SetValueUnchecked("Falsch");
    check->SetDisplayChecked("ja");
    check->SetDisplayUnChecked("nein");
    table->Open();
    AddRecord(1, "Anna", true);
    AddRecord(2, "Bert", false);
    AddRecord(3, "Carl", true);
    LoadAll();
    grid->Filter()->SetActive(true);
    driver->Pump();
    auto items = [&] {
        std::vector<std::string> v;
        TStrings* s = grid->FilterDropDown()->Items();
        for (int i = 0; i < s->Count(); ++i) v.push_back(s->Strings(i));
        return v;
    };
    grid->ShowFilterDropDown(check->GetIndex());
    driver->Pump();
    ASSERT_TRUE(grid->FilterDroppedDown());
    const std::vector<std::string> shown = items();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(shown.begin() + 2, shown.end()), (std::vector<std::string>{"ja", "nein"}))
        << "the values in their display texts";
    // Choosing "ja" keeps the checked rows; their cells still draw the ticked box.
    grid->FilterDropDown()->SetItemIndex(2);
    grid->FilterDropDown()->CloseUp(true);
    driver->Pump();
    ASSERT_EQ(grid->GetAbsoluteCount(), 2);
    const TRect cell = grid->GetCellRect(grid->GetItem(0), grid->GetVisibleColumnIndex(check->Index()));
    int dark = 0;
    for (int y = cell.Top + 2; y < cell.Bottom - 2; ++y)
        for (int x = cell.Left + 2; x < cell.Right - 2; ++x) dark += PixelOf({x, y}) == 0;
    EXPECT_GT(dark, 0);
    EXPECT_EQ(grid->GetItem(0)->Strings(check->Index()), "Wahr");
}

TEST_F(ColumnClasses, AssignCopiesAColumnOfTheSameKindAndResetRestoresTheDefaults) {
    auto* image = Add<TvxDBGridImageColumn>("ID");
    image->Values()->Add("1");
    image->Descriptions()->Add("eins");
    image->SetShowDescription(true);
    auto* imageCopy = Add<TvxDBGridImageColumn>("ID");
    imageCopy->Assign(image);
    EXPECT_EQ(imageCopy->DescriptionOf("1"), "eins");
    EXPECT_TRUE(imageCopy->ShowDescription());
    image->Values()->Clear();
    EXPECT_EQ(imageCopy->DescriptionOf("1"), "eins") << "the lists are copied, not shared";

    auto* button = Add<TvxDBGridButtonColumn>("Name");
    button->Buttons()->Add();
    button->SetEditButtonStyle(ebsDown);
    auto* buttonCopy = Add<TvxDBGridButtonColumn>("Name");
    buttonCopy->Assign(button);
    EXPECT_EQ(buttonCopy->Buttons()->Count(), 2);
    EXPECT_EQ(buttonCopy->EditButtonStyle(), ebsDown);

    auto* blob = Add<TvxDBGridBlobColumn>("Data");
    blob->SetPopupWidth(321);
    blob->SetBlobPaintStyle(bpsText);
    auto* blobCopy = Add<TvxDBGridBlobColumn>("Data");
    blobCopy->Assign(blob);
    EXPECT_EQ(blobCopy->PopupWidth(), 321);
    EXPECT_EQ(blobCopy->BlobPaintStyle(), bpsText);
    blobCopy->Assign(image);  // another kind: its own settings start from the defaults
    EXPECT_EQ(blobCopy->PopupWidth(), 200);
    blobCopy->RestoreDefaults();
    EXPECT_EQ(blobCopy->MemoScrollBars(), ssBoth);
    EXPECT_EQ(blobCopy->MinWidth(), 20);
    EXPECT_TRUE(blobCopy->DisableFilter());

    auto* price = Add<TvxDBGridCurrencyColumn>("Price");
    const std::string format = price->DisplayFormat();
    EXPECT_FALSE(format.empty()) << "built from the system's currency format";
    price->SetDisplayFormat("0.00");
    price->RestoreDefaults();
    EXPECT_EQ(price->DisplayFormat(), format);
}

TEST(DefaultColumnTable, EveryFieldTypeGetsItsClassAndTheTableResets) {
    GridColumnsUnitStartUp();
    const char* expected[kvxDefaultColumnTypeCount] = {
        "TvxDBGridMaskColumn", "TvxDBGridMaskColumn",    "TvxDBGridMaskColumn", "TvxDBGridMaskColumn",
        "TvxDBGridMaskColumn", "TvxDBGridCheckColumn",   "TvxDBGridMaskColumn", "TvxDBGridCurrencyColumn",
        "TvxDBGridMaskColumn", "TvxDBGridDateColumn",    "TvxDBGridTimeColumn", "TvxDBGridDateColumn",
        "TvxDBGridBlobColumn", "TvxDBGridBlobColumn",    "TvxDBGridMaskColumn", "TvxDBGridBlobColumn",
        "TvxDBGridMemoColumn", "TvxDBGridGraphicColumn", "TvxDBGridBlobColumn", "TvxDBGridBlobColumn",
        "TvxDBGridBlobColumn", "TvxDBGridBlobColumn"};
    TComponent owner(nullptr);
    for (int type = 0; type < kvxDefaultColumnTypeCount; ++type) {
        SCOPED_TRACE(type);
        EXPECT_EQ(DefaultColumnEntry(type).Priority, 1);
        EXPECT_EQ(DefaultColumnEntry(type).ColumnClass(&owner)->ClassName(), expected[type]);
    }
    EXPECT_EQ(DefaultLookupColumnEntry().ColumnClass(&owner)->ClassName(), "TvxDBGridLookupColumn");
    // Fields: a lookup field gets the lookup class whatever its type, a calculated field and
    // a type beyond the table the plain column.
    TStringField lookup(&owner);
    lookup.SetFieldKind(fkLookup);
    TIntegerField calculated(&owner);
    calculated.SetFieldKind(fkCalculated);
    TWideStringField wide(&owner);
    EXPECT_EQ(DefaultColumnClassForField(&lookup)(&owner)->ClassName(), "TvxDBGridLookupColumn");
    EXPECT_EQ(DefaultColumnClassForField(&calculated)(&owner)->ClassName(), "TvxDBGridColumn");
    EXPECT_EQ(DefaultColumnClassForField(&wide)(&owner)->ClassName(), "TvxDBGridColumn");
    GridColumnsUnitShutDown();
    EXPECT_FALSE(DefaultColumnEntry(ftUnknown).ColumnClass);
    for (int type = 1; type < kvxDefaultColumnTypeCount; ++type) {
        EXPECT_EQ(DefaultColumnEntry(type).Priority, 0);
        EXPECT_EQ(DefaultColumnEntry(type).ColumnClass(&owner)->ClassName(), "TvxDBGridColumn");
    }
    EXPECT_EQ(DefaultLookupColumnEntry().ColumnClass(&owner)->ClassName(), "TvxDBGridColumn");
}

TEST_F(ColumnClasses, TheGraphicColumnHandsItsToolBarToTheEditor) {
    auto* graphic = Add<TvxDBGridGraphicColumn>("Pic");
    ASSERT_NE(graphic->PopupToolBar(), nullptr);
    EXPECT_TRUE(graphic->PopupToolBar()->IsPopupMenu());
    graphic->SetDblClickActivate(false);
    graphic->PopupToolBar()->SetIsPopupMenu(false);
    graphic->PopupToolBar()->SetButtons(vxPtbBit(ptbCopy) | vxPtbBit(ptbLoad));
    graphic->PopupToolBar()->SetCustomButtonCaption("Scan");
    auto* copy = Add<TvxDBGridGraphicColumn>("Pic");
    copy->Assign(graphic);
    EXPECT_FALSE(copy->PopupToolBar()->IsPopupMenu());
    EXPECT_EQ(copy->PopupToolBar()->CustomButtonCaption(), "Scan");

    // The editor takes the focus and, activated without a double click, shows the tool
    // window with the column's buttons only.
    auto* editor = dynamic_cast<TvxInplaceGraphicEdit*>(OpenEditor(graphic));
    ASSERT_NE(editor, nullptr);
    driver->Pump();
    EXPECT_EQ(editor->PopupToolBar()->Buttons(), vxPtbBit(ptbCopy) | vxPtbBit(ptbLoad));
    TvxPopupToolBar* bar = editor->ToolBar();
    ASSERT_TRUE(bar->HandleAllocated());
    EXPECT_TRUE(IsWindowVisible(bar->Handle()));
    EXPECT_TRUE(bar->ToolButtons(ptbCopy)->Visible());
    EXPECT_FALSE(bar->ToolButtons(ptbCut)->Visible());
    CloseEditor();

    copy->RestoreDefaults();
    EXPECT_TRUE(copy->PopupToolBar()->IsPopupMenu());
    EXPECT_EQ(copy->PopupToolBar()->Buttons(), vxPtbStandard);
    EXPECT_EQ(copy->PopupToolBar()->CustomButtonCaption(), "");
}

TEST_F(ColumnClasses, EachWrapperCellIsDrawnAsItsOwnRowsReference) {
    auto* check = Add<TvxDBGridCheckColumn>("Active");
    check->SetValueChecked("Wahr");
    auto* date = Add<TvxDBGridDateColumn>("Day");
    auto* wrapper = Add<TvxDBGridWrapperColumn>("Active");
    for (auto* c : std::initializer_list<TvxDBTreeListColumn*>{check, date, wrapper}) c->SetWidth(80);
    table->Open();
    AddRecord(1, "Anna", true);
    TvxTreeListNode* first = RowForCurrentRecord();
    AddRecord(2, "Bert", false);
    TvxTreeListNode* second = RowForCurrentRecord();
    wrapper->OnGetReferenceColumn = [&](TObject*, TvxTreeListNode* node, TvxDBTreeListColumn*& column) {
        column = node == first ? static_cast<TvxDBTreeListColumn*>(check) : date;
    };
    ASSERT_TRUE(second->Focused());
    // While the first row is drawn the wrapper is a check column, whatever row has the focus.
    wrapper->SetDrawingNode(first);
    EXPECT_EQ(wrapper->GetInplaceEditClass().ClassName(), "TvxInplaceDBTreeListCheckEdit");
    EXPECT_NE(dynamic_cast<TvxCheckEditViewData*>(wrapper->GetViewData()), nullptr);
    wrapper->SetDrawingNode(nullptr);
    EXPECT_EQ(wrapper->GetInplaceEditClass().ClassName(), "TvxInplaceDBTreeListDateEdit");
    // The reference draws the wrapper's row: the date column shows its button on the
    // focused row only, and is back to its own row afterwards.
    grid->SetOptionsView(grid->OptionsView().Include(edgoShowButtonAlways));
    auto buttonDrawn = [&](TvxTreeListNode* node) {
        wrapper->SetDrawingNode(node);
        auto* view = dynamic_cast<TvxDropDownEditViewData*>(date->GetViewData());
        wrapper->GetDrawInfo(*view, TvxTreeListCellDrawRecord{});
        wrapper->SetDrawingNode(nullptr);
        return !view->ButtonsHidden;
    };
    date->SetDrawingNode(first);
    EXPECT_TRUE(buttonDrawn(second));
    EXPECT_EQ(date->DrawingNode(), first);
    date->SetDrawingNode(nullptr);

    // On the screen: the wrapper's first cell looks exactly like the check column's.
    grid->SetOptionsView(grid->OptionsView().Exclude(edgoShowButtonAlways));
    driver->Pump();
    const TRect own = grid->GetCellRect(first, grid->GetVisibleColumnIndex(check->Index()));
    const TRect borrowed = grid->GetCellRect(first, grid->GetVisibleColumnIndex(wrapper->Index()));
    int differing = 0, dark = 0;
    for (int y = own.Top + 1; y < own.Bottom - 1; ++y)
        for (int x = 1; x < own.Width() - 1; ++x) {
            const COLORREF a = PixelOf({own.Left + x, y});
            differing += a != PixelOf({borrowed.Left + x, y});
            dark += a == 0;
        }
    EXPECT_GT(dark, 0) << "the tick of the checked box";
    EXPECT_EQ(differing, 0);
}

TEST_F(ColumnClasses, AGridOfEveryKindIsDrawnWithAnEditorOpen) {
    form->SetBounds(20, 20, 1240, 260);
    grid->SetBounds(8, 8, 1210, 200);
    Add<TvxDBGridMaskColumn>("Name");
    Add<TvxDBGridMemoColumn>("Note");
    auto* date = Add<TvxDBGridDateColumn>("Day");
    Add<TvxDBGridButtonColumn>("Name");
    auto* check = Add<TvxDBGridCheckColumn>("Active");
    check->SetValueChecked("Wahr");
    check->SetValueUnchecked("Falsch");
    auto* image = Add<TvxDBGridImageColumn>("ID");
    image->Values()->Add("1");
    image->Descriptions()->Add("eins");
    image->SetShowDescription(true);
    Add<TvxDBGridSpinColumn>("ID");
    Add<TvxDBGridPickColumn>("Name");
    Add<TvxDBGridCalcColumn>("Amount");
    Add<TvxDBGridHyperLinkColumn>("Name")->SetSingleClick(true);
    Add<TvxDBGridTimeColumn>("At");
    Add<TvxDBGridCurrencyColumn>("Price");
    Add<TvxDBGridGraphicColumn>("Pic");
    auto* city = Add<TvxDBGridLookupColumn>("City");
    Add<TvxDBGridBlobColumn>("Data");
    Add<TvxDBGridMRUColumn>("Name");
    Add<TvxDBGridWrapperColumn>("Name");
    for (int i = 0; i < grid->ColumnCount(); ++i) grid->GetColumn(i)->SetWidth(70);
    grid->SetOptionsView(grid->OptionsView().Include(edgoShowButtonAlways));
    table->Open();
    // A picture of two colours, so that its drawing shows.
    PixelImage picture;
    picture.width = 24;
    picture.height = 12;
    picture.pixels.assign(24 * 12, 0x00C000);
    std::fill_n(picture.pixels.begin(), 24 * 6, 0xFFFF00);
    for (auto [key, name, active, amount] : {std::tuple{1, "Anna", true, 12.5}, {2, "Bert", false, 3.0}}) {
        AddRecord(key, name, active, amount);
        table->Edit();
        table->FieldByName("At")->SetAsDateTime(EncodeTime(8 + key, 30, 0, 0));
        table->FieldByName("Price")->SetAsFloat(amount * 2);
        table->FieldByName("Data")->SetAsString(key == 1 ? std::string("bytes") : std::string());
        table->FieldByName("Pic")->SetAsString(EncodeBmp(picture));
        table->Post();
        RowForCurrentRecord();
    }
    // Posting the records gave them their cities.
    for (auto [row, town] : {std::pair{0, "Berlin"}, {1, "Bonn"}}) {
        EXPECT_EQ(grid->GetNodeString(grid->GetItem(row), city->Index()), town);
    }
    ASSERT_NE(OpenEditor(date), nullptr);
    driver->Pump();
    driver->SaveForm(form, TestPicturePath("tovak_grid_column_kinds.png"));
    // The open editor covers its cell: the grid painted around a live date editor.
    EXPECT_TRUE(grid->Editor()->Visible());
}

}  // namespace
