// The custom filter dialog driven like a user: the pickers map to conditions and back, an
// empty value means blanks, two conditions go into a sub-list, a value of the wrong type
// keeps the dialog open, and Cancel changes nothing.

#include "grid/columns/vx_db_grid_column.h"
#include "grid/filter/vx_criteria_operators.h"
#include "grid/filter/vx_filter_dialog.h"
#include "platform/forms/button.h"
#include "platform/forms/radio_button.h"
#include "platform/win/message_queue.h"
#include "platform/win/messages.h"
#include "tests/grid/grid_test_form.h"

namespace {

class FilterDialog : public GridOnForm {
protected:
    void SetUp() override {
        GridOnForm::SetUp();
        id = Col("ID");
        name = Col("Name");
        table->Open();
        grid->Filter()->SetActive(true);
        criteria = grid->Filter()->Criteria();
    }
    // Runs the dialog on Column; Script fills it in and returns whether to press OK.
    bool Run(TvxDBTreeListColumn* Column, std::function<void(TfmCustomDialog*)> Script) {
        driver->OnNextModal([Script](TCustomForm* f, UiDriver& d) {
            auto* dialog = dynamic_cast<TfmCustomDialog*>(f);
            ASSERT_NE(dialog, nullptr);
            Script(dialog);
            d.Click(dialog->btnOK);
        });
        return grid->Filter()->ShowCustomDialog(Column);
    }
    TvxCriteriaItem* Item(TvxCustomCriteriaItem* I) { return dynamic_cast<TvxCriteriaItem*>(I); }

    TvxDBGridColumn* id = nullptr;
    TvxDBGridColumn* name = nullptr;
    TvxDBGridCriteria* criteria = nullptr;
};

TEST(FilterPickers, EveryPickerMapsToItsConditionAndBack) {
    const uint8_t ops[] = {vxoEqual, vxoEqual,     vxoGreater, vxoGreaterEqual,
                           vxoLess,  vxoLessEqual, vxoIsNull,  vxoIsNull};
    for (int p = 0; p < kvxFilterPickerCount; ++p) {
        uint8_t op = 0;
        bool negated = false;
        FilterPickerCondition(p, op, negated);
        EXPECT_EQ(op, ops[p]) << p;
        EXPECT_EQ(negated, p == 1 || p == 7) << p;
        EXPECT_EQ(FilterConditionPicker(op, negated), p) << p;
    }
    // Other operators show without their negation.
    EXPECT_EQ(FilterConditionPicker(vxoGreater, true), 2);
    EXPECT_STREQ(FilterPickerText(3), "is greater than or equal to");
}

TEST_F(FilterDialog, OneConditionTwoJoinedByOrAndAnEmptyValueMeaningBlanks) {
    EXPECT_TRUE(Run(id, [](TfmCustomDialog* d) {
        EXPECT_EQ(d->Caption(), "Custom AutoFilter");
        EXPECT_EQ(d->LColumnName->Caption(), "ID ");
        EXPECT_EQ(d->Operator1->Text(), "0");
        EXPECT_EQ(d->Operator2->Text(), "-1");
        EXPECT_EQ(d->Operator2->Values()->Count(), 9);
        d->Operator1->SetText("1");
        d->Value1Edit->SetText("5");
    }));
    ASSERT_EQ(criteria->Root()->Count(), 1);
    TvxCriteriaItem* item = Item(criteria->Root()->Items(0));
    EXPECT_EQ(item->Operator(), vxoEqual);
    EXPECT_TRUE(item->Not());
    EXPECT_EQ(item->Value().VarType(), varInteger);
    EXPECT_EQ(item->Value().AsInteger(), 5);

    // Reopened, it shows the condition; two conditions joined by Or replace it.
    EXPECT_TRUE(Run(id, [](TfmCustomDialog* d) {
        EXPECT_EQ(d->Operator1->Text(), "1");
        EXPECT_EQ(d->Value1Edit->Text(), "5");
        d->Operator1->SetText("2");
        d->Value1Edit->SetText("7");
        d->Operator2->SetText("4");
        d->Value2Edit->SetText("3");
        d->rbOr->SetChecked(true);
    }));
    ASSERT_EQ(criteria->Root()->Count(), 1);
    auto* list = dynamic_cast<TvxCriteriaItemList*>(criteria->Root()->Items(0));
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->Or());
    ASSERT_EQ(list->Count(), 2);
    EXPECT_EQ(Item(list->Items(0))->Operator(), vxoGreater);
    EXPECT_EQ(Item(list->Items(1))->Operator(), vxoLess);
    EXPECT_EQ(Item(list->Items(1))->Value().AsInteger(), 3);

    // The sub-list reopens into both rows; "equals" with nothing typed is "Is Null".
    EXPECT_TRUE(Run(id, [](TfmCustomDialog* d) {
        EXPECT_EQ(d->Operator2->Text(), "4");
        EXPECT_TRUE(d->rbOr->Checked());
        d->Operator1->SetText("0");
        d->Value1Edit->SetText("");
        d->Operator2->SetText("-1");
    }));
    ASSERT_EQ(criteria->Root()->Count(), 1);
    item = Item(criteria->Root()->Items(0));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Operator(), vxoIsNull);
    EXPECT_FALSE(item->Not());
    EXPECT_TRUE(item->Value().IsNull());

    // "non blanks" keeps no value even when one was typed.
    EXPECT_TRUE(Run(name, [](TfmCustomDialog* d) {
        d->Operator1->SetText("7");
        d->Value1Edit->SetText("x");
    }));
    item = Item(criteria->Root()->Items(1));
    EXPECT_EQ(item->Operator(), vxoIsNull);
    EXPECT_TRUE(item->Not());
    EXPECT_TRUE(item->Value().IsNull());
    EXPECT_EQ(item->DisplayValue(), "");
}

TEST_F(FilterDialog, AFilterEditorFiresNoEditingEventOfTheGrid) {
    int changes = 0;
    name->OnChange = [&](TObject*) { ++changes; };
    name->SetReadOnly(true);
    std::unique_ptr<TvxInplaceEdit> editor(name->CreateFilterEdit(nullptr));
    EXPECT_FALSE(editor->ReadOnly());
    EXPECT_FALSE(editor->OnChange);
    EXPECT_FALSE(editor->OnValidate);
    EXPECT_EQ(changes, 0);
}

TEST_F(FilterDialog, AnInvalidValueKeepsTheDialogOpenAndCancelChangesNothing) {
    grid->Filter()->SetFilterValue(id, Variant(4), "4");
    std::string shown;
    bool stayedOpen = false;
    TfmCustomDialog* dialog = nullptr;
    // The message comes while the dialog is still up; the user then cancels.
    EnsureApplication()->OnException = [&](TObject*, const std::exception& E) {
        auto* ex = dynamic_cast<const Exception*>(&E);
        shown = ex ? ex->Message() : E.what();
        stayedOpen = dialog && dialog->Visible() && dialog->Value1Edit->Focused();
        // Closing the window cancels; posted, so that it comes after the refused close.
        if (dialog) PostMessage(dialog->Handle(), WM_CLOSE, 0, 0);
    };
    driver->OnNextModal([&](TCustomForm* f, UiDriver& d) {
        dialog = dynamic_cast<TfmCustomDialog*>(f);
        dialog->Value1Edit->SetText("abc");
        d.Click(dialog->btnOK);
    });
    EXPECT_FALSE(grid->Filter()->ShowCustomDialog(id));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(shown, "Invalid value");
    ASSERT_EQ(criteria->Root()->Count(), 1);
    EXPECT_EQ(Item(criteria->Root()->Items(0))->Value().AsInteger(), 4);
    EnsureApplication()->OnException = nullptr;
}

}  // namespace
