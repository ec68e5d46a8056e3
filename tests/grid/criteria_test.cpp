// Filter criteria bound to grid columns: the expression text in its display and dataset
// forms, evaluation against rows, finding and removing conditions, and binding by name.

#include "grid/columns/vx_db_grid_column.h"
#include "grid/filter/vx_criteria_operators.h"
#include "grid/filter/vx_db_grid_criteria.h"
#include "platform/rtl/abstract_error.h"
#include "tests/grid/grid_test_form.h"

namespace {

class Criteria : public GridOnForm {
protected:
    TvxDBTreeListColumn* id = nullptr;
    TvxDBTreeListColumn* name = nullptr;
    TvxDBTreeListColumn* amount = nullptr;
    TvxDBTreeListColumn* day = nullptr;
    std::unique_ptr<TvxDBGridCriteria> criteria;

    void SetUp() override {
        GridOnForm::SetUp();
        id = AddColumn("colID", "ID", "Nr.");
        name = AddColumn("colName", "Name", "Name");
        amount = AddColumn("colAmount", "Amount", "Betrag");
        day = AddColumn("colDay", "Day", "Tag");
        table->Open();
        criteria = std::make_unique<TvxDBGridCriteria>(grid);
    }
    TvxDBTreeListColumn* AddColumn(const std::string& component, const std::string& field, const std::string& caption) {
        auto* c = grid->CreateColumn<TvxDBGridColumn>();
        c->SetName(component);
        c->SetFieldName(field);
        c->SetCaption(caption);
        return c;
    }
    // A row for a fresh record.
    TvxTreeListNode* Row(int idValue, const std::string& nameValue, double amountValue = 0) {
        AddRecord(idValue, nameValue, false, amountValue);
        return RowForCurrentRecord();
    }
};

TEST_F(Criteria, DisplayAndDatasetTextsOfConditionsListsAndNegations) {
    criteria->AddItem(nullptr, id, vxoEqual, Variant(1), "1");
    criteria->AddItem(nullptr, name, vxoIsNull, Null(), "")->SetNot(true);
    EXPECT_EQ(criteria->GetFilterText(true), "(Nr. = 1) AND (NOT (Name Is Null))");
    EXPECT_EQ(criteria->GetFilterText(false), "(ID = 1) AND (NOT (Name Is Null))");

    criteria->Clear();
    TvxCriteriaItemList* any = criteria->AddList(nullptr, true);
    criteria->AddItem(any, name, vxoEqual, Variant("O'Brien"), "O'Brien");
    criteria->AddItem(any, name, vxoGreaterEqual, Variant("X"), "X");
    any->SetNot(true);
    criteria->AddItem(nullptr, day, vxoLess, Variant::FromDate(EncodeDate(2024, 3, 2)), "02.03.2024");
    criteria->AddItem(nullptr, amount, vxoGreater, Variant(1.5), "1,5");
    EXPECT_EQ(criteria->GetFilterText(true),
              "(NOT ((Name = O'Brien) OR (Name >= X))) AND (Tag < 02.03.2024) AND (Betrag > 1,5)");
    // The quote inside a value is doubled so the expression still parses.
    EXPECT_EQ(criteria->GetFilterText(false),
              "(NOT ((Name = 'O''Brien') OR (Name >= 'X'))) AND (Day < '02.03.2024') AND (Amount > 1,5)");

    criteria->Root()->SetNot(true);
    criteria->Root()->SetOr(true);
    EXPECT_EQ(criteria->GetFilterText(false).substr(0, 10), "NOT ((NOT ");
    EXPECT_NE(criteria->GetFilterText(false).find(") OR (Day"), std::string::npos);
}

TEST_F(Criteria, FilterFieldNamesComeFromOriginOrKeyFieldAndAreBracketedWhenNeeded) {
    TvxDBGridCriteriaItem* item = criteria->AddItem(nullptr, name, vxoEqual, Variant("a"), "a");
    table->FieldByName("Name")->SetOrigin("CUSTOMER.NAME");
    EXPECT_EQ(item->GetFilterFieldName(), "[CUSTOMER.NAME]");
    table->FieldByName("Name")->SetOrigin("");
    EXPECT_EQ(item->GetFilterFieldName(), "Name");
    table->FieldByName("Name")->SetOrigin("Full Name");
    EXPECT_EQ(item->GetFilterFieldName(), "[Full Name]");

    // A condition without a column says nothing about a field.
    TvxCriteriaItem* loose = criteria->TvxCriteria::AddItem(nullptr, "gone", vxoEqual, "1", Variant(1));
    EXPECT_EQ(loose->GetFieldCaption(), "");
    EXPECT_EQ(loose->GetFilterFieldName(), "");
    Variant v = 5;
    loose->GetRecordValue(nullptr, v);
    EXPECT_TRUE(VarIsEmpty(v));

    // The plain criteria leaves field and record to a subclass.
    TvxCriteria plain;
    TvxCriteriaItem* abstract = plain.AddItem(nullptr, "X", vxoEqual, "1", Variant(1));
    EXPECT_EQ(abstract->GetFieldCaption(), "X");
    EXPECT_THROW(abstract->GetFilterFieldName(), EAbstractError);
}

TEST_F(Criteria, EvaluationJoinsEveryEntryAndAppliesNegations) {
    TvxTreeListNode* anna = Row(1, "Anna", 10);
    TvxTreeListNode* bert = Row(2, "Bert", 20);
    TvxTreeListNode* blank = Row(3, "", 30);

    EXPECT_TRUE(criteria->IsFiltered(anna));  // an empty list lets every row through
    criteria->Root()->SetNot(true);
    EXPECT_FALSE(criteria->IsFiltered(anna));
    criteria->Root()->SetNot(false);

    // "Is Null" matches an empty text as well.
    criteria->AddItem(nullptr, name, vxoIsNull, Null(), "");
    EXPECT_TRUE(criteria->IsFiltered(blank));
    EXPECT_FALSE(criteria->IsFiltered(anna));
    criteria->Root()->Items(0)->SetNot(true);
    EXPECT_FALSE(criteria->IsFiltered(blank));
    EXPECT_TRUE(criteria->IsFiltered(anna));

    // The first entry, here a sub-list, sets the result; OR joins the later ones.
    criteria->Clear();
    TvxCriteriaItemList* both = criteria->AddList(nullptr, false);
    criteria->AddItem(both, id, vxoGreaterEqual, Variant(2), "2");
    criteria->AddItem(both, amount, vxoLess, Variant(25), "25");
    criteria->AddItem(nullptr, name, vxoEqual, Variant("Anna"), "Anna");
    criteria->Root()->SetOr(true);
    EXPECT_TRUE(criteria->IsFiltered(anna));
    EXPECT_TRUE(criteria->IsFiltered(bert));
    EXPECT_FALSE(criteria->IsFiltered(blank));
    both->SetNot(true);
    EXPECT_TRUE(criteria->IsFiltered(blank));
    EXPECT_FALSE(criteria->IsFiltered(bert));

    // Case-insensitive criteria compare both sides in upper case.
    criteria->Clear();
    criteria->AddItem(nullptr, name, vxoEqual, Variant("anna"), "anna");
    EXPECT_FALSE(criteria->IsFiltered(anna));
    criteria->SetCaseInsensitive(true);
    EXPECT_TRUE(criteria->IsFiltered(anna));
    // Currency values compare as numbers.
    criteria->Clear();
    criteria->AddItem(nullptr, amount, vxoLessEqual, Variant::FromCurrency(20), "20");
    EXPECT_TRUE(criteria->IsFiltered(bert));
    EXPECT_FALSE(criteria->IsFiltered(blank));
}

TEST_F(Criteria, RemovingConditionsFreesEmptyListsAndDissolvesSingleOnes) {
    TvxCriteriaItemList* pair = criteria->AddList(nullptr, true);
    criteria->AddItem(pair, name, vxoEqual, Variant("A"), "A");
    criteria->AddItem(pair, id, vxoEqual, Variant(1), "1");
    pair->SetNot(true);
    TvxCriteriaItemList* only = criteria->AddList(nullptr, false);
    criteria->AddItem(only, name, vxoGreater, Variant("B"), "B");
    criteria->AddItem(nullptr, amount, vxoGreater, Variant(1), "1");
    TvxCriteriaItemList* untouched = criteria->AddList(nullptr, false);
    criteria->AddItem(untouched, day, vxoIsNull, Null(), "");

    EXPECT_EQ(criteria->FindItem(name)->DisplayValue(), "A");  // depth first, in list order
    EXPECT_EQ(criteria->FindItem("colname"), nullptr);         // names match exactly
    EXPECT_TRUE(criteria->IsCustomFilter(name));
    EXPECT_TRUE(criteria->IsCustomFilter(amount));  // ">" straight in the root

    criteria->RemoveItems(name);
    // The emptied list is gone, the pair dissolved to its last entry at the root's end; its
    // negation moved onto that entry so the filter still means the same.
    ASSERT_EQ(criteria->Root()->Count(), 3);
    EXPECT_EQ(criteria->Root()->Items(0)->ClassName(), "TvxDBGridCriteriaItem");
    EXPECT_EQ(criteria->Root()->Items(1), untouched);
    auto* moved = static_cast<TvxDBGridCriteriaItem*>(criteria->Root()->Items(2));
    EXPECT_EQ(moved->Column(), id);
    EXPECT_TRUE(moved->Not());
    EXPECT_EQ(moved->Parent(), criteria->Root());
    EXPECT_EQ(untouched->Count(), 1);  // a list that lost nothing stays as it was
    EXPECT_EQ(criteria->FindItem(name), nullptr);
    // NOT (Name = A AND NOT ID = 1) without Name selects ID = 1: the two negations cancel.
    criteria->Clear();
    pair = criteria->AddList(nullptr, false);
    criteria->AddItem(pair, name, vxoEqual, Variant("A"), "A");
    criteria->AddItem(pair, id, vxoEqual, Variant(1), "1")->SetNot(true);
    pair->SetNot(true);
    criteria->RemoveItems(name);
    ASSERT_EQ(criteria->Root()->Count(), 1);
    EXPECT_FALSE(criteria->Root()->Items(0)->Not());
    EXPECT_EQ(criteria->GetFilterText(false), "(ID = 1)");

    // A plain "=" straight in the root is the drop-down's value, not a custom filter.
    criteria->Clear();
    criteria->AddItem(nullptr, amount, vxoEqual, Variant(1), "1");
    EXPECT_FALSE(criteria->IsCustomFilter(amount));
    EXPECT_FALSE(criteria->IsCustomFilter(name));
    static_cast<TvxCriteriaItem*>(criteria->Root()->Items(0))->SetOperator(vxoGreater);
    EXPECT_TRUE(criteria->IsCustomFilter(amount));
}

TEST_F(Criteria, LoadedBindsConditionsToColumnsByNameInAnyCase) {
    TvxCriteriaItem* a = criteria->TvxCriteria::AddItem(nullptr, "COLNAME", vxoEqual, "x", Variant("x"));
    TvxCriteriaItem* b = criteria->TvxCriteria::AddItem(nullptr, "colMissing", vxoEqual, "x", Variant("x"));
    criteria->Loaded();
    EXPECT_EQ(static_cast<TvxDBGridCriteriaItem*>(a)->Column(), name);
    EXPECT_EQ(static_cast<TvxDBGridCriteriaItem*>(b)->Column(), nullptr);
    EXPECT_EQ(b->FieldName(), "colMissing");
    EXPECT_EQ(a->GetFieldCaption(), "Name");
    criteria->ColumnRemoved(name);
    EXPECT_EQ(static_cast<TvxDBGridCriteriaItem*>(a)->Column(), nullptr);
    EXPECT_EQ(a->FieldName(), "COLNAME");
}

}  // namespace
