// The data-aware tree list over a memory table: default columns following the fields, cell
// records by field type, editing through the dataset, leaving an untouched new record, late
// binding, column widths from the fields, the dataset search and the link's forwarding.

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "grid/columns/vx_check_column.h"
#include "grid/columns/vx_db_grid_column.h"
#include "platform/gdi/canvas.h"
#include "platform/gdi/text.h"
#include "tests/grid/grid_test_form.h"
#include "tests/support/test_pictures.h"

namespace {

class DBTreeList : public GridOnForm {};

std::vector<std::string> ColumnFields(TvxDBGrid* grid) {
    std::vector<std::string> names;
    for (int i = 0; i < grid->ColumnCount(); ++i) names.push_back(grid->GetColumn(i)->FieldName());
    return names;
}

TEST_F(DBTreeList, DefaultColumnsFollowTheFieldsOnOpenAndGoOnClose) {
    grid->SetDefaultFields(true);
    EXPECT_EQ(grid->ColumnCount(), 0);
    table->Open();
    EXPECT_EQ(ColumnFields(grid), (std::vector<std::string>{"ID", "Name", "Active", "Amount", "Day", "Note"}));
    EXPECT_EQ(Column("Active")->ClassName(), "TvxDBGridCheckColumn");
    EXPECT_EQ(Column("Name")->ClassName(), "TvxDBGridMaskColumn");
    EXPECT_EQ(Column("Name")->Caption(), "Name");
    EXPECT_EQ(Column("Amount")->Alignment(), taRightJustify);
    EXPECT_EQ(Column("Name")->MaxLength(), 20);
    // The columns belong to the grid: creating or adding one from outside is refused before
    // anything is made, and a column the caller made stays the caller's.
    EXPECT_THROW(grid->CreateDefaultColumn(ColumnClassOf<TvxDBGridColumn>(), form), Exception);
    EXPECT_THROW(grid->CreateColumn<TvxDBGridMaskColumn>(), Exception);
    EXPECT_THROW(grid->CreateColumn<TvxDBGridMaskColumn>(form), Exception);
    const int formComponents = form->ComponentCount();
    auto* mine = new TvxDBGridColumn(form);
    EXPECT_THROW(mine->SetTreeList(grid), Exception);
    EXPECT_THROW(grid->AddColumn(mine), Exception);
    EXPECT_EQ(mine->GetTreeList(), nullptr);
    EXPECT_EQ(form->ComponentCount(), formComponents + 1);
    EXPECT_EQ(grid->ColumnCount(), 6);
    EXPECT_THROW(grid->DestroyColumns(), Exception);

    // Moving a column moves its field to the place of the field shown where it went.
    const int activeIndex = table->FieldByName("Active")->Index();
    Column("ID")->SetIndex(2);
    EXPECT_EQ(table->FieldByName("ID")->Index(), activeIndex);
    EXPECT_EQ(ColumnFields(grid), (std::vector<std::string>{"Name", "Active", "ID", "Amount", "Day", "Note"}));

    table->Close();
    EXPECT_EQ(grid->ColumnCount(), 0);
    EXPECT_THROW(grid->CreateColumn<TvxDBGridMaskColumn>(), Exception);
    EXPECT_EQ(grid->ColumnCount(), 0);
}

TEST_F(DBTreeList, CellRecordsKeepTheValuesOfTypedFieldsAndOnGetTextChangesTheText) {
    grid->SetDefaultFields(true);
    table->Open();
    AddRecord(4, "Anna", true, 2.5);
    table->FieldByName("Name")->SetEditMask("");
    Column("Name")->OnGetText = [](TObject*, TvxTreeListNode*, std::string& text) { text = "<" + text + ">"; };
    TvxTreeListNode* node = RowForCurrentRecord();
    auto cell = [&](const char* f) { return grid->GetNodeColumn(node, Column(f)->Index()); };
    EXPECT_EQ(cell("ID").Flags & vxcfValue, vxcfValue);
    EXPECT_EQ(cell("ID").Value.AsInteger(), 4);
    EXPECT_EQ(cell("Active").Value.AsBoolean(), true);
    EXPECT_DOUBLE_EQ(cell("Amount").Value.AsDouble(), 2.5);
    EXPECT_DOUBLE_EQ(cell("Day").Value.AsDate(), EncodeDate(2024, 3, 4));
    EXPECT_EQ(cell("Name").Flags, 0);
    EXPECT_EQ(cell("Note").Flags, 0);
    EXPECT_EQ(node->Strings(Column("Name")->Index()), "<Anna>");
    EXPECT_EQ(node->Strings(Column("Note")->Index()), "note Anna");  // the memo column shows the text
    // A text without a kept value reads as the text; an empty one as Null.
    EXPECT_EQ(grid->GetCellValue(node, Column("Name")->Index()).AsString(), "<Anna>");
    EXPECT_DOUBLE_EQ(static_cast<double>(grid->GetCellFloat(node, Column("Amount")->Index())), 2.5);
    EXPECT_EQ(grid->GetCellFloat(node, Column("Name")->Index()), 0.0L);

    // A masked text field keeps its value beside its text.
    Column("Name")->OnGetText = nullptr;
    table->FieldByName("Name")->SetEditMask(">llll;0;_");
    grid->LoadNodeData(node);
    EXPECT_EQ(cell("Name").Flags & vxcfValue, vxcfValue);

    // Cell records move and go with their columns.
    const int amount = Column("Amount")->Index();
    Column("Amount")->SetIndex(0);
    EXPECT_DOUBLE_EQ(grid->GetNodeColumn(node, 0).Value.AsDouble(), 2.5);
    EXPECT_EQ(amount, 3);
}

TEST_F(DBTreeList, AnEditReachesTheFieldAndIsPostedWhenTheRowChanges) {
    grid->SetDefaultFields(true);
    table->Open();
    AddRecord(1, "Anna");
    AddRecord(2, "Bert");
    table->First();
    RowForCurrentRecord();
    grid->SetFocusedColumn(grid->GetVisibleColumnIndex(Column("Name")->Index()));
    grid->SetFocus();
    driver->Pump();
    grid->ShowEditor();
    ASSERT_NE(grid->Editor(), nullptr);
    driver->Type("X");
    driver->Pump();
    EXPECT_EQ(table->State(), dsEdit);
    EXPECT_TRUE(grid->GetDataLink()->Modified());
    EXPECT_EQ(grid->GetIndicatorKind(grid->GetFocusedNode(), false), 2);
    table->Next();
    EXPECT_EQ(table->State(), dsBrowse);
    table->First();
    EXPECT_EQ(table->FieldByName("Name")->AsString(), "X");
    EXPECT_EQ(grid->LastEditValue().AsString(), "X");

    // Leaving the grid while editing commits the text and lets the focus go.
    grid->SetFocus();
    driver->Pump();
    grid->ShowEditor();
    driver->Type("Y");
    driver->Pump();
    other->SetFocus();
    driver->Pump();
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(grid->State(), 0);
    EXPECT_EQ(table->State(), dsEdit);
    EXPECT_EQ(table->FieldByName("Name")->AsString(), "Y");
    table->Post();
}

TEST_F(DBTreeList, AnUntouchedNewRecordIsDroppedWhenTheGridLosesTheFocus) {
    grid->SetDefaultFields(true);
    table->Open();
    AddRecord(1, "Anna");
    grid->SetFocus();
    driver->Pump();
    table->Append();
    EXPECT_EQ(grid->GetIndicatorKind(nullptr, true), 4);
    other->SetFocus();
    driver->Pump();
    EXPECT_EQ(table->State(), dsBrowse);
    EXPECT_EQ(table->RecordCount(), 1);

    // A changed one stays for the user to post.
    grid->SetFocus();
    driver->Pump();
    table->Append();
    table->FieldByName("Name")->SetAsString("Bert");
    other->SetFocus();
    driver->Pump();
    EXPECT_EQ(table->State(), dsInsert);
    table->Post();
}

TEST_F(DBTreeList, AColumnNamingNoFieldStaysUnboundUntilTheFieldExists) {
    auto* column = grid->CreateColumn<TvxDBGridColumn>();
    column->SetFieldName("Extra");
    table->Open();
    EXPECT_EQ(column->Field(), nullptr);
    EXPECT_EQ(column->Caption(), "Extra");
    EXPECT_EQ(column->Width(), column->DefaultWidth());
    EXPECT_FALSE(column->DefaultReadOnly());
    TvxTreeListNode* node = RowForCurrentRecord();
    EXPECT_EQ(node->Strings(column->Index()), "");
    EXPECT_FALSE(grid->CanEditModify());

    table->Close();
    Field<TStringField>("Extra", 5);
    table->Open();
    EXPECT_EQ(column->Field(), table->FieldByName("Extra"));
    EXPECT_EQ(column->MaxLength(), 5);
}

TEST_F(DBTreeList, DefaultWidthComesFromTheCaptionAndTheFieldsDisplayWidth) {
    auto* column = grid->CreateColumn<TvxDBGridColumn>();
    EXPECT_EQ(column->DefaultWidth(), 64);
    TCanvas canvas;
    HDC dc = CreateCompatibleDC(nullptr);
    canvas.SetHandle(dc);
    canvas.Font()->Assign(grid->Font());
    column->SetCaption("A rather long caption here");
    EXPECT_EQ(column->DefaultWidth(), canvas.TextWidth("A rather long caption here") + 6);
    table->Open();
    column = grid->CreateColumn<TvxDBGridColumn>();
    column->SetFieldName("Amount");
    EXPECT_EQ(column->DefaultWidth(), std::max(canvas.TextWidth("Amount") + 6, canvas.TextWidth("0") * 10 + 4));
    table->FieldByName("Amount")->SetDisplayWidth(30);
    EXPECT_EQ(column->DefaultWidth(), canvas.TextWidth("0") * 30 + 4);
    canvas.SetHandle(nullptr);
    DeleteDC(dc);
}

TEST_F(DBTreeList, IndicatorWidthAndPreviewLengthStayInTheirRanges) {
    grid->SetGrIndicatorWidth(5);
    EXPECT_EQ(grid->GrIndicatorWidth(), 12);
    grid->SetGrIndicatorWidth(20);
    EXPECT_EQ(grid->GetIndicatorWidth(), 20);
    grid->SetPreviewMaxLength(-3);
    EXPECT_EQ(grid->PreviewMaxLength(), 0);
    EXPECT_EQ(grid->CutPreviewText("abcdefg"), "abcdefg");
    grid->SetPreviewMaxLength(5);
    EXPECT_EQ(grid->CutPreviewText("abcdefg"), "abcde...");
    EXPECT_EQ(grid->CutPreviewText("abcde"), "abcde");
    EXPECT_EQ(grid->CutPreviewText("äöüßéx"), "äöüßé...");

    grid->SetDefaultFields(true);
    table->Open();
    AddRecord(1, "Anna");
    grid->SetPreviewFieldName("Note");
    TvxTreeListNode* node = RowForCurrentRecord();
    std::string preview;
    grid->GetPreviewText(node, preview);
    EXPECT_EQ(preview, "note ...");
}

TEST_F(DBTreeList, TheDatasetSearchRunsInThreeDirectionsAndWraps) {
    grid->SetDefaultFields(true);
    table->Open();
    AddRecord(1, "Anna");
    AddRecord(2, "Bert");
    AddRecord(3, "Berta");
    AddRecord(4, "Carl");
    table->First();
    const int name = Column("Name")->Index();
    auto current = [&] { return table->FieldByName("Name")->AsString(); };
    TvxTreeListNode* node = nullptr;
    EXPECT_TRUE(grid->FindNodeByText(name, "be", node, 0));
    EXPECT_EQ(current(), "Bert");
    EXPECT_TRUE(grid->FindNodeByText(name, "be", node, 0));  // the current record matches
    EXPECT_EQ(current(), "Bert");
    EXPECT_TRUE(grid->FindNodeByText(name, "BE", node, 2));
    EXPECT_EQ(current(), "Berta");
    EXPECT_TRUE(grid->FindNodeByText(name, "be", node, 2));  // past the end to the start
    EXPECT_EQ(current(), "Bert");
    EXPECT_TRUE(grid->FindNodeByText(name, "be", node, 1));  // back past the start to the end
    EXPECT_EQ(current(), "Berta");
    EXPECT_TRUE(grid->FindNodeByText(name, "c", node, 0));
    EXPECT_EQ(current(), "Carl");
    // A new search stops at the end and leaves the record where it was.
    EXPECT_FALSE(grid->FindNodeByText(name, "an", node, 0));
    EXPECT_EQ(current(), "Carl");
    EXPECT_FALSE(grid->FindNodeByText(name, "zz", node, 2));
    EXPECT_EQ(current(), "Carl");
    // Not while the record is being edited.
    table->Edit();
    EXPECT_FALSE(grid->FindNodeByText(name, "an", node, 2));
    table->Cancel();
}

class ScrollRecordingGrid : public TvxDBGrid {
public:
    using TvxDBGrid::TvxDBGrid;
    int scrolled = 0;
    void Scroll(int Distance) override { scrolled += Distance; }
};

TEST_F(DBTreeList, TheLinkReversesTheScrollDistanceAndMapsFieldsByName) {
    skipAgreementCheck = "a grid that takes the table's moves without following them, and no key field";
    auto* recording = new ScrollRecordingGrid(form);
    recording->SetParent(form);
    // A buffer of one record, so that every move scrolls the link's window.
    TvxDBGridOptionsDB db = recording->OptionsDB();
    db.Include(edgoLoadAllRecords);
    recording->SetOptionsDB(db);
    recording->SetDataSource(source);
    table->Open();
    for (int i = 1; i <= 6; ++i) AddRecord(i, "r" + std::to_string(i));
    table->First();
    recording->scrolled = 0;
    table->MoveBy(3);
    EXPECT_EQ(recording->scrolled, -3);

    TvxDBTreeListControlDataLink* link = recording->GetDataLink();
    link->ClearMapping();
    for (int i = 0; i < 9; ++i) link->AddMapping(i % 2 ? "Name" : "Missing");
    EXPECT_EQ(link->FieldMapCapacity(), 16);
    EXPECT_EQ(link->GetMappedField(1), table->FieldByName("Name"));
    EXPECT_EQ(link->GetMappedField(0), nullptr);
    EXPECT_EQ(link->GetMappedField(9), nullptr);
    EXPECT_EQ(link->GetMappedField(-1), nullptr);
}

TEST(CompareVariants, AnswersMinusOneForValuesThatCannotBeCompared) {
    EXPECT_EQ(TCustomvxDBTreeListControl::CompareVariants(Variant(1), Variant(2)), -1);
    EXPECT_EQ(TCustomvxDBTreeListControl::CompareVariants(Variant(2.5), Variant(2)), 1);
    EXPECT_EQ(TCustomvxDBTreeListControl::CompareVariants(Variant("b"), Variant("b")), 0);
    // A text that is no number against a number compares as text, without raising.
    EXPECT_NO_THROW(TCustomvxDBTreeListControl::CompareVariants(Variant("abc"), Variant(5)));
    EXPECT_EQ(TCustomvxDBTreeListControl::CompareVariants(Variant::Array({1, 2}), Variant::Array({1, 3})), -1);
    EXPECT_EQ(TCustomvxDBTreeListControl::CompareVariants(Variant::Array({1, 3}), Variant::Array({1, 2})), -1);
}

}  // namespace

namespace {

TEST_F(DBTreeList, ColumnNamesReachTheSummaryItemsAndARemovedSourceOrFieldUnbindsTheColumns) {
    auto* name = grid->CreateColumn<TvxDBGridMaskColumn>();
    name->SetName("ColName");
    name->SetFieldName("Name");
    auto* id = grid->CreateColumn<TvxDBGridColumn>();
    id->SetFieldName("ID");
    TvxDBGridSummaryItem* item = grid->SummaryGroups()->Add()->SummaryItems()->Add();
    item->SetColumnName("colname");
    name->SetName("ColFirst");
    EXPECT_EQ(item->ColumnName(), "ColFirst");

    table->Open();
    EXPECT_EQ(name->Field(), table->FieldByName("Name"));
    table->Close();
    TField* field = table->FieldByName("ID");
    delete field;
    EXPECT_EQ(id->Field(), nullptr);
    EXPECT_EQ(grid->ColumnCount(), 2);

    delete source;
    EXPECT_EQ(grid->DataSource(), nullptr);
    EXPECT_EQ(name->Field(), nullptr);
    EXPECT_EQ(grid->ColumnCount(), 2);

    delete name;
    EXPECT_EQ(item->ColumnName(), "");
}

TEST_F(DBTreeList, AGridLoadingNodesMakesItsDatasetBusy) {
    EXPECT_FALSE(TCustomvxDBTreeListControl::IsDataSetBusy(table));
    grid->SetBusy(true);
    EXPECT_TRUE(TCustomvxDBTreeListControl::IsDataSetBusy(table));
    grid->SetBusy(false);
    const int before = TCustomvxDBTreeListControl::RegisteredGridCount();
    delete grid;
    grid = nullptr;
    EXPECT_EQ(TCustomvxDBTreeListControl::RegisteredGridCount(), before - 1);
}

TEST_F(DBTreeList, AnEmptyDatasetThatTakesNoInsertsForbidsEditing) {
    grid->SetDefaultFields(true);
    table->Open();
    grid->SetOptionsDB(TvxDBGridOptionsDB{edgoCanNavigation});
    EXPECT_TRUE(grid->IsDataSetEmpty());
    EXPECT_TRUE(grid->IsContainerBusy());
    AddRecord(1, "Anna");
    EXPECT_FALSE(grid->IsDataSetEmpty());
    // A grid that loads its records finds them again only through a key field.
    grid->SetOptionsDB(TvxDBGridOptionsDB{edgoCanNavigation, edgoLoadAllRecords});
    EXPECT_TRUE(grid->IsEditingForbidden());
    grid->SetKeyField("ID");
    EXPECT_FALSE(grid->IsEditingForbidden());
}

}  // namespace

namespace {

// A grid as the network list shows one: default columns, the indicator, a footer summary;
// the picture is for a person to look at.
TEST_F(DBTreeList, PictureOfAGridWithFooterSummaries) {
    grid->SetDefaultFields(true);
    table->Open();
    for (int i = 1; i <= 3; ++i) AddRecord(i, "Tür " + std::to_string(i), i % 2 == 1, 1.25 * i);
    table->First();
    grid->SetOptionsView(TvxDBGridOptionsView{edgoIndicator, edgoUseBitmap, edgoBandHeaderWidth});
    grid->SetShowSummaryFooter(true);
    TvxDBTreeListColumn* amount = Column("Amount");
    amount->SetSummaryFooterType(cstSum);
    grid->RefreshSummaryFields();
    table->First();
    while (!table->Eof()) {
        amount->FooterSummary().Add(cstSum, table->FieldByName("Amount")->AsFloat());
        table->Next();
    }
    std::string text;
    amount->GetSummaryFooterText(text);
    EXPECT_EQ(text, "7,50");
    int headerDraws = 0;
    Column("Name")->OnCustomDrawHeader = [&](TObject*, TCanvas*, const TRect&, TvxDBTreeListColumn*, bool&) {
        ++headerDraws;
    };
    grid->GetItem(0)->SetFocused(true);
    grid->Invalidate();
    driver->Pump();
    UpdateAllWindows();
    EXPECT_GT(headerDraws, 0);
    driver->SaveForm(form, TestPicturePath("tovak_grid_footer.png"));
}

}  // namespace
