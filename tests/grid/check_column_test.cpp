// The check column: states from texts in any case, the column's own spelling shown, a
// toggle writing the configured texts once, the program's "Wahr"/"Falsch", the box drawn in
// its cells; and the default column table that hands out the check column.

#include <cstdlib>
#include <filesystem>

#include "grid/columns/vx_check_column.h"
#include "grid/columns/vx_db_grid_column.h"
#include "grid/columns/vx_default_column_table.h"
#include "platform/win/virtual_keys.h"
#include "tests/grid/grid_test_form.h"
#include "tests/support/test_pictures.h"

namespace {

class CheckColumn : public GridOnForm {
protected:
    TvxDBGridCheckColumn* check = nullptr;
    void Build(const std::string& fieldName) {
        check = grid->CreateColumn<TvxDBGridCheckColumn>();
        check->SetFieldName(fieldName);
        auto* name = grid->CreateColumn<TvxDBGridMaskColumn>();
        name->SetFieldName("Name");
        table->Open();
    }
};

TEST_F(CheckColumn, StatesComeFromTextsInAnyCaseAndShowInTheColumnsSpelling) {
    Build("Name");
    EXPECT_EQ(check->StateOfText("TRUE"), cbsChecked);
    EXPECT_EQ(check->StateOfText("false"), cbsUnchecked);
    EXPECT_EQ(check->StateOfText("maybe"), cbsGrayed);
    std::string shown;
    check->GetValueDisplayText(nullptr, "tRuE", shown);
    EXPECT_EQ(shown, "True");
    check->GetValueDisplayText(nullptr, "maybe", shown);
    EXPECT_EQ(shown, "");
    check->SetValueGrayed("?");
    check->GetValueDisplayText(nullptr, "maybe", shown);
    EXPECT_EQ(shown, "?");

    // The filter list's own texts for the three states.
    std::string text = "TRUE";
    check->GetFilterDisplayText(text);
    EXPECT_EQ(text, "TRUE");
    check->SetDisplayChecked("ja");
    check->SetDisplayNull("offen");
    text = "true";
    check->GetFilterDisplayText(text);
    EXPECT_EQ(text, "ja");
    text = "anything";
    check->GetFilterDisplayText(text);
    EXPECT_EQ(text, "offen");
    check->RestoreDefaults();
    EXPECT_EQ(check->DisplayChecked(), "");
    EXPECT_EQ(check->ValueChecked(), "True");
    EXPECT_EQ(check->ValueGrayed(), "");
}

TEST_F(CheckColumn, AToggleWritesTheProgramsTextsAndFiresOnce) {
    Build("Active");
    check->SetValueChecked("Wahr");
    check->SetValueUnchecked("Falsch");
    AddRecord(1, "Anna", false);
    int toggles = 0;
    std::string toggledText;
    check->OnToggleClick = [&](TObject*, const std::string& text, TvxCheckBoxState) {
        ++toggles;
        toggledText = text;
    };
    TvxTreeListNode* node = RowForCurrentRecord();
    EXPECT_EQ(node->Strings(check->Index()), "Falsch");
    grid->SetFocusedColumn(grid->GetVisibleColumnIndex(check->Index()));
    grid->SetFocus();
    driver->Pump();
    grid->ShowEditor();
    auto* editor = dynamic_cast<TvxInplaceCheckEdit*>(grid->Editor());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(toggles, 0);  // filling the editor is no toggle
    EXPECT_EQ(editor->State(), cbsUnchecked);
    editor->Toggle();
    EXPECT_EQ(toggles, 1);
    EXPECT_EQ(toggledText, "Wahr");
    table->Post();
    EXPECT_TRUE(table->FieldByName("Active")->AsBoolean());
    EXPECT_EQ(table->FieldByName("Active")->Text(), "Wahr");
    EXPECT_EQ(node->Strings(check->Index()), "Wahr");
    EXPECT_EQ(toggles, 1);
}

TEST_F(CheckColumn, TheBoxIsDrawnInTheCellsWithTheFieldsState) {
    Build("Active");
    check->SetValueChecked("Wahr");
    check->SetValueUnchecked("Falsch");
    AddRecord(1, "Anna", true);
    RowForCurrentRecord();
    table->Append();
    table->FieldByName("Active")->SetAsBoolean(false);
    table->Post();
    grid->UpdateScrollBars();
    grid->SetShowIndicator(true);
    driver->Pump();
    driver->SaveForm(form, TestPicturePath("tovak_grid_check_column.png"));
    // The checked row's box has its tick (window-text pixels inside the box); the other has none.
    const TRect first = grid->GetCellRect(grid->GetItem(0), grid->GetVisibleColumnIndex(check->Index()));
    const TRect second = grid->GetCellRect(grid->GetItem(1), grid->GetVisibleColumnIndex(check->Index()));
    auto count = [&](const TRect& r, auto&& match) {
        int n = 0;
        for (int y = r.Top + 2; y < r.Bottom - 2; ++y)
            for (int x = r.Left + 2; x < r.Right - 2; ++x)
                if (match(PixelOf(TPoint{x, y}))) ++n;
        return n;
    };
    auto black = [](COLORREF c) { return c == 0; };
    auto notWhite = [](COLORREF c) { return c != 0xFFFFFF; };
    EXPECT_GT(count(first, black), 0);
    EXPECT_EQ(count(second, black), 0);
    EXPECT_GT(count(second, notWhite), 0);  // the frame of the empty box
}

TEST(DefaultColumnTable, RegistrationsWinOnlyWithAHigherPriorityAndTheTableResets) {
    GridColumnsUnitStartUp();
    EXPECT_EQ(DefaultColumnEntry(ftBoolean).Priority, 1);
    auto make = [](const TvxDefaultColumnEntry& e) {
        TComponent owner(nullptr);
        TvxDBTreeListColumn* c = e.ColumnClass(&owner);
        return c->ClassName();
    };
    EXPECT_EQ(make(DefaultColumnEntry(ftBoolean)), "TvxDBGridCheckColumn");
    EXPECT_EQ(make(DefaultColumnEntry(ftString)), "TvxDBGridMaskColumn");
    EXPECT_EQ(make(DefaultColumnEntry(ftMemo)), "TvxDBGridMemoColumn");
    auto claim = [](int priority) {
        RegisterDefaultColumnClasses([priority](int type, int kind, TvxDefaultColumnEntry& e) {
            if (kind == 0 && type == ftString) {
                e.ColumnClass = ColumnClassOf<TvxDBGridColumn>();
                e.Priority = priority;
            }
        });
    };
    claim(1);
    EXPECT_EQ(make(DefaultColumnEntry(ftString)), "TvxDBGridMaskColumn");
    claim(2);
    EXPECT_EQ(make(DefaultColumnEntry(ftString)), "TvxDBGridColumn");
    GridColumnsUnitShutDown();
    EXPECT_EQ(DefaultColumnEntry(ftString).Priority, 0);
    EXPECT_FALSE(DefaultColumnEntry(ftUnknown).ColumnClass);
    EXPECT_EQ(make(DefaultColumnEntry(ftBoolean)), "TvxDBGridColumn");
}

TEST_F(CheckColumn, LookupAndCalculatedFieldsTakeTheirOwnClasses) {
    auto* calc = Field<TIntegerField>("Twice");
    calc->SetFieldKind(fkCalculated);
    auto* lookup = Field<TStringField>("Other", 10);
    lookup->SetFieldKind(fkLookup);
    EXPECT_EQ(grid->GetColumnClassForField(calc)(form)->ClassName(), "TvxDBGridColumn");
    EXPECT_EQ(grid->GetColumnClassForField(lookup)(form)->ClassName(), "TvxDBGridLookupColumn");
    EXPECT_EQ(grid->GetColumnClassForField(table->FieldByName("Day"))(form)->ClassName(), "TvxDBGridDateColumn");
}

}  // namespace
