// The DB grid's option sets and legacy words: every legacy bit maps to its one set value and
// back, the precedence rules, the values an empty legacy word keeps, what a new grid reads,
// and the tree-list options the sets switch.

#include "grid/columns/vx_db_grid_column.h"
#include "grid/core/vx_db_grid_options.h"
#include "tests/grid/grid_test_form.h"

namespace {

uint32_t SetBits(const TvxDBGridOptionSets& s, TvxDBGridOptionSet set) {
    switch (set) {
        case TvxDBGridOptionSet::Behavior: return s.Behavior.Bits();
        case TvxDBGridOptionSet::Customize: return s.Customize.Bits();
        case TvxDBGridOptionSet::DB: return s.DB.Bits();
        default: return s.View.Bits();
    }
}

TEST(DBGridOptionTable, EveryLegacyBitMapsToOneSetValueAndBack) {
    const TvxDBGridOptionSets none{};
    int perSet[4] = {0, 0, 0, 0};
    for (const TvxDBGridLegacyOption& o : DBGridLegacyOptions()) {
        const TvxDBGridOptions word(o.Word == 0 ? 1u << o.Bit : 0);
        const TvxDBGridOptionsEx wordEx(o.Word == 1 ? 1u << o.Bit : 0);
        const TvxDBGridOptionSets sets = DBGridLegacyToSets(none, word, wordEx);
        for (int s = 0; s < 4; ++s) {
            const auto set = static_cast<TvxDBGridOptionSet>(s);
            EXPECT_EQ(SetBits(sets, set), set == o.Set ? 1u << o.SetBit : 0u) << int(o.Word) << ":" << int(o.Bit);
        }
        TvxDBGridOptions back;
        TvxDBGridOptionsEx backEx;
        DBGridSetsToLegacy(sets, back, backEx);
        EXPECT_EQ(back, word);
        EXPECT_EQ(backEx, wordEx);
        ++perSet[static_cast<int>(o.Set)];
    }
    // Each set value but the four without a legacy word appears once.
    EXPECT_EQ(perSet[0], 29 - 1);  // AutoCopySelectedToClipboard
    EXPECT_EQ(perSet[1], 11);
    EXPECT_EQ(perSet[2], 14 - 2);  // PartialLoad, UseBookmarks
    EXPECT_EQ(perSet[3], 14 - 1);  // HotTrack
}

class DBGridOptions : public GridOnForm {};

TEST_F(DBGridOptions, ANewGridReadsItsDefaults) {
    EXPECT_EQ(grid->GridOptions(), (TvxDBGridOptions{egoColumnSizing, egoColumnMoving, egoEditing, egoTabThrough,
                                                     egoCanDelete, egoConfirmDelete, egoCanNavigation, egoCancelOnExit,
                                                     egoImmediateEditor, egoCanInsert}));
    EXPECT_EQ(grid->GridOptionsEx(),
              (TvxDBGridOptionsEx{egoUseBitmap, egoBandHeaderWidth, egoBandSizing, egoBandMoving, egoVertThrough,
                                  egoEnterShowEditor, egoDragScroll, egoAutoSort}));
    EXPECT_EQ(grid->PartialLoadBufferCount(), 100);
    EXPECT_EQ(grid->SummarySeparator(), ", ");
    EXPECT_TRUE(grid->ShowGrid());
    EXPECT_TRUE(grid->ListMode());
    EXPECT_FALSE(grid->HideFocusRect());
    EXPECT_TRUE(grid->IsCursorMode());
    EXPECT_TRUE(grid->UseBookmarks());
    // The tree list follows the sets.
    EXPECT_TRUE(grid->Options().Contains(TvxTLOption::Editing));
    EXPECT_TRUE(grid->Options().Contains(TvxTLOption::ColumnSizing));
    EXPECT_FALSE(grid->Options().Contains(TvxTLOption::RowSelect));
    EXPECT_TRUE(grid->OptionsEx().Contains(TvxTLOptionEx::UseBitmap));
    EXPECT_FALSE(grid->ShowIndicator());
}

TEST_F(DBGridOptions, EmptyLegacyWordsKeepOnlyTheFourSetOnlyValues) {
    grid->SetOptionsBehavior(TvxDBGridOptionsBehavior{edgoAutoCopySelectedToClipboard, edgoEditing});
    grid->SetOptionsView(TvxDBGridOptionsView{edgoHotTrack, edgoIndicator});
    grid->SetOptionsDB(TvxDBGridOptionsDB{edgoPartialLoad, edgoUseBookmarks, edgoCanDelete});
    grid->SetGridOptions({});
    grid->SetGridOptionsEx({});
    EXPECT_EQ(grid->OptionsBehavior(), TvxDBGridOptionsBehavior{edgoAutoCopySelectedToClipboard});
    EXPECT_EQ(grid->OptionsCustomize(), TvxDBGridOptionsCustomize{});
    EXPECT_EQ(grid->OptionsDB(), (TvxDBGridOptionsDB{edgoPartialLoad, edgoUseBookmarks}));
    EXPECT_EQ(grid->OptionsView(), TvxDBGridOptionsView{edgoHotTrack});
    EXPECT_FALSE(grid->Options().Contains(TvxTLOption::Editing));
    EXPECT_FALSE(grid->ShowIndicator());
    EXPECT_TRUE(grid->OptionsEx().Contains(TvxTLOptionEx::HotTrack));
}

TEST_F(DBGridOptions, OneValueWinsWhereTwoExcludeEachOther) {
    grid->SetOptionsDB(TvxDBGridOptionsDB{edgoLoadAllRecords, edgoPartialLoad});
    EXPECT_EQ(grid->OptionsDB(), TvxDBGridOptionsDB{edgoLoadAllRecords});
    EXPECT_TRUE(grid->Has(egoLoadAllRecords));
    EXPECT_TRUE(grid->IsLoadAllMode());

    grid->SetOptionsView(TvxDBGridOptionsView{edgoInvertSelect, edgoRowSelect});
    EXPECT_EQ(grid->OptionsView(), TvxDBGridOptionsView{edgoInvertSelect});
    EXPECT_TRUE(grid->OptionsEx().Contains(TvxTLOptionEx::InvertSelect));
    grid->SetOptionsView(TvxDBGridOptionsView{edgoRowSelect, edgoIndicator});
    EXPECT_TRUE(grid->Options().Contains(TvxTLOption::RowSelect));
    EXPECT_FALSE(grid->OptionsEx().Contains(TvxTLOptionEx::InvertSelect));
    EXPECT_TRUE(grid->ShowIndicator());
    EXPECT_TRUE(grid->Has(egoRowSelect));
    EXPECT_FALSE(grid->Has(egoInvertSelect));
}

TEST_F(DBGridOptions, AHeaderPanelGivenItsRowCountDropsTheAutomaticHeightFromEveryWord) {
    Col("ID");
    Col("Name");
    TvxDBGridOptionsView view = grid->OptionsView();
    view.Include(edgoAutoHeaderPanelHeight);
    grid->SetOptionsView(view);
    ASSERT_TRUE(grid->Has(egoAutoHeaderPanelHeight));
    ASSERT_TRUE(grid->OptionsEx().Contains(TvxTLOptionEx::AutoHeaderPanelHeight));
    grid->SetHeaderPanelRowCount(2);
    EXPECT_EQ(grid->HeaderPanelRowCount(), 2);
    EXPECT_FALSE(grid->OptionsEx().Contains(TvxTLOptionEx::AutoHeaderPanelHeight));
    EXPECT_FALSE(grid->Has(egoAutoHeaderPanelHeight));
    EXPECT_FALSE(grid->OptionsView().Contains(edgoAutoHeaderPanelHeight));
}

TEST_F(DBGridOptions, PartialLoadAndLoadAllSwitchDefaultFieldsOff) {
    grid->SetDefaultFields(true);
    grid->SetPartialLoad(true);
    EXPECT_FALSE(grid->DefaultFields());
    EXPECT_TRUE(grid->IsPartialLoadMode());

    grid->SetDefaultFields(true);
    EXPECT_FALSE(grid->Has(egoLoadAllRecords));
    TvxDBGridOptionsDB db = grid->OptionsDB();
    db.Include(edgoLoadAllRecords);
    grid->SetOptionsDB(db);
    EXPECT_FALSE(grid->DefaultFields());
    EXPECT_TRUE(grid->Has(egoLoadAllRecords));  // and loading all stays on
    EXPECT_FALSE(grid->PartialLoad());

    // DefaultFields in turn switches loading all off.
    grid->SetDefaultFields(true);
    EXPECT_FALSE(grid->Has(egoLoadAllRecords));
    EXPECT_TRUE(grid->IsBufferedMode());
}

TEST_F(DBGridOptions, GroupingRefusesBlobsDuplicateFieldsAndTheLastVisibleColumn) {
    auto* id = grid->CreateColumn<TvxDBGridColumn>();
    auto* name = grid->CreateColumn<TvxDBGridColumn>();
    auto* name2 = grid->CreateColumn<TvxDBGridColumn>();
    auto* note = grid->CreateColumn<TvxDBGridColumn>();
    table->Open();
    id->SetFieldName("ID");
    name->SetFieldName("Name");
    name2->SetFieldName("Name");
    note->SetFieldName("Note");
    EXPECT_TRUE(grid->CanAddGroupColumn(name));
    name->SetGroupIndex(0);
    EXPECT_EQ(grid->GroupColumnCount(), 1);
    EXPECT_FALSE(grid->CanAddGroupColumn(name2));
    EXPECT_FALSE(grid->CanAddGroupColumn(note));
    EXPECT_FALSE(grid->IsBufferedMode());  // grouped, so every record gets a node
    name2->SetVisible(false);
    note->SetVisible(false);
    name->SetVisible(false);
    EXPECT_FALSE(grid->CanAddGroupColumn(id));
    bool asked = false;
    grid->OnAddGroupColumn = [&](TObject*, TvxDBTreeListColumn*, bool& allow) {
        asked = true;
        allow = false;
    };
    note->SetVisible(true);
    id->SetDisableGrouping(false);
    EXPECT_FALSE(grid->CanAddGroupColumn(id));
    EXPECT_TRUE(asked);
    name->SetGroupIndex(-1);
    EXPECT_EQ(grid->GroupColumnCount(), 0);
}

}  // namespace

namespace {

// A form's stream: properties in stream order while loading, then Loaded. The table is open
// before: the grid loads its records once it has every setting.
TEST_F(DBGridOptions, AGridLoadedFromAFormBindsItsColumnsAndRegroups) {
    table->Open();
    AddRecord(1, "Bert");
    AddRecord(2, "Anna");
    AddRecord(3, "Bert");
    auto* loaded = new TvxDBGrid(form);
    loaded->IncludeState(csLoading);
    loaded->SetName("DBGrid17");
    loaded->SetParent(form);
    loaded->SetDataSource(source);
    loaded->SetKeyField("ID");
    loaded->SetGridOptions(TvxDBGridOptions{egoCanNavigation, egoRowSelect, egoLoadAllRecords});
    auto* node = new TvxDBGridMaskColumn(form);
    node->IncludeState(csLoading);
    node->SetName("DBGrid17ID");
    node->SetTreeList(loaded);
    node->SetFieldName("ID");
    auto* name = new TvxDBGridMaskColumn(form);
    name->IncludeState(csLoading);
    name->SetName("DBGrid17Name");
    name->SetTreeList(loaded);
    name->SetFieldName("Name");
    name->SetGroupIndex(0);
    for (TComponent* c : std::initializer_list<TComponent*>{loaded, node, name}) c->Loaded();
    for (TComponent* c : std::initializer_list<TComponent*>{loaded, node, name}) c->ExcludeState(csLoading);
    EXPECT_EQ(loaded->OptionsView(), (TvxDBGridOptionsView{edgoBandHeaderWidth, edgoRowSelect, edgoUseBitmap}));
    EXPECT_TRUE(loaded->Options().Contains(TvxTLOption::RowSelect));
    EXPECT_EQ(node->Field(), table->FieldByName("ID"));
    EXPECT_EQ(loaded->GetDataLink()->FieldMapCount(), 2);
    ASSERT_EQ(loaded->GroupColumnCount(), 1);
    EXPECT_EQ(loaded->GroupColumns()[0], name);
    EXPECT_FALSE(loaded->IsBusy());
    ASSERT_EQ(loaded->GetCount(), 2);
    EXPECT_EQ(loaded->GetItem(0)->Count(), 1);
    EXPECT_EQ(loaded->GetItem(1)->Count(), 2);
}

}  // namespace
