#pragma once
// The custom filter dialog: up to two conditions on one column, joined by And or Or. Each
// condition is an operator picker and a value editor of the column's own filter editor.

#include <cstdint>
#include <string>

#include "controls/vx_image_edit.h"
#include "platform/forms/form.h"
#include "platform/rtl/variant.h"

class TBevel;
class TButton;
class TLabel;
class TRadioButton;
class TvxDBTreeListColumn;
class TvxDBGridCriteria;
class TvxCriteriaItemList;

// The eight pickers: equals, does not equal, greater, greater or equal, less, less or
// equal, blanks, non blanks.
inline constexpr int kvxFilterPickerCount = 8;
const char* FilterPickerText(int Picker);
// The criteria operator and negation of a picker.
void FilterPickerCondition(int Picker, uint8_t& Operator, bool& Not);
// The picker that shows a condition; only "=" and "Is Null" show their negation.
int FilterConditionPicker(uint8_t Operator, bool Not);

class TvxFilterDialogComboEditClass : public TvxInplaceImageEditClass {
public:
    std::string ClassName() const override { return "TvxFilterDialogComboEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
    bool IsInplace() const override { return false; }
};

class TvxFilterDialogComboEdit : public TvxInplaceImageEdit {
public:
    explicit TvxFilterDialogComboEdit(TComponent* AOwner) : TvxInplaceImageEdit(AOwner, StaticClass()) {}
    static const TvxFilterDialogComboEditClass& StaticClass();
    void AddItem(const std::string& Value, const std::string& Description);
};

class TfmCustomDialog : public TForm {
public:
    explicit TfmCustomDialog(TComponent* AOwner);
    std::string ClassName() const override { return "TfmCustomDialog"; }

    // Fills the pickers and editors for Column and its conditions in Criteria.
    void Prepare(TvxDBTreeListColumn* Column, TvxDBGridCriteria* Criteria);
    // The column's conditions in Criteria replaced by the dialog's.
    void Store(TvxDBGridCriteria* Criteria);

    TLabel* lblTitle = nullptr;
    TLabel* LColumnName = nullptr;
    TBevel* bvlLine = nullptr;
    TLabel* cbOperator1 = nullptr;
    TLabel* cbOperator2 = nullptr;
    TLabel* Edit1 = nullptr;
    TLabel* Edit2 = nullptr;
    TRadioButton* rbAnd = nullptr;
    TRadioButton* rbOr = nullptr;
    TButton* btnOK = nullptr;
    TButton* btnCancel = nullptr;
    TLabel* lblSingle = nullptr;
    TLabel* lblSeries = nullptr;

    TvxFilterDialogComboEdit* Operator1 = nullptr;
    TvxFilterDialogComboEdit* Operator2 = nullptr;
    TvxInplaceEdit* Value1Edit = nullptr;
    TvxInplaceEdit* Value2Edit = nullptr;
    Variant Value1, Value2;
    std::string Text1, Text2;

private:
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    // False (with the editor focused) when the value does not convert to the column's type.
    bool ConvertValue(Variant& Value, TvxInplaceEdit* Editor);
    void AddCondition(TvxDBGridCriteria* Criteria, TvxCriteriaItemList* List, TvxFilterDialogComboEdit* Picker,
                      const Variant& Value, const std::string& Text);

    TvxDBTreeListColumn* column_ = nullptr;
};

// True when the dialog was confirmed; the column's conditions in Criteria are then replaced.
bool ShowCustomFilterDialog(TvxDBTreeListColumn* Column, TvxDBGridCriteria* Criteria);
