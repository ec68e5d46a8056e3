#include "grid/filter/vx_filter_dialog.h"

#include <memory>

#include "grid/columns/vx_db_tree_list_column.h"
#include "grid/core/vx_db_tree_list_control.h"
#include "grid/filter/vx_criteria_operators.h"
#include "grid/filter/vx_db_grid_criteria.h"
#include "platform/forms/application.h"
#include "platform/forms/bevel.h"
#include "platform/forms/button.h"
#include "platform/forms/label.h"
#include "platform/forms/radio_button.h"
#include "platform/rtl/exception.h"

namespace {
struct TPicker {
    const char* Text;
    uint8_t Operator;
    bool Not;
};
constexpr TPicker kPickers[kvxFilterPickerCount] = {
    {"equals", vxoEqual, false},
    {"does not equal", vxoEqual, true},
    {"is greater than", vxoGreater, false},
    {"is greater than or equal to", vxoGreaterEqual, false},
    {"is less than", vxoLess, false},
    {"is less than or equal to", vxoLessEqual, false},
    {"blanks", vxoIsNull, false},
    {"non blanks", vxoIsNull, true},
};

TLabel* MakeLabel(TfmCustomDialog* Form, int X, int Y, const std::string& Caption, bool Visible = true) {
    auto* label = new TLabel(Form);
    label->SetBounds(X, Y, label->Width(), label->Height());
    label->SetCaption(Caption);
    label->SetVisible(Visible);
    label->SetParent(Form);
    return label;
}

TLabel* MakePlace(TfmCustomDialog* Form, int X, int Y) {
    TLabel* label = MakeLabel(Form, X, Y, std::string(), false);
    label->SetAutoSize(false);
    label->SetBounds(X, Y, 185, 21);
    return label;
}

TRadioButton* MakeRadio(TfmCustomDialog* Form, int X, int Y, const std::string& Caption, int TabOrder) {
    auto* radio = new TRadioButton(Form);
    radio->SetBounds(X, Y, 50, 17);
    radio->SetCaption(Caption);
    radio->SetParent(Form);
    radio->SetTabOrder(TabOrder);
    return radio;
}

TButton* MakeButton(TfmCustomDialog* Form, int X, const std::string& Caption, TModalResult Result, int TabOrder) {
    auto* button = new TButton(Form);
    button->SetBounds(X, 136, 75, 23);
    button->SetCaption(Caption);
    button->SetModalResult(Result);
    button->SetParent(Form);
    button->SetTabOrder(TabOrder);
    return button;
}

void PlaceOn(TWinControl* Control, TLabel* Place, TfmCustomDialog* Form) {
    Control->SetParent(Form);
    Control->SetBounds(Place->Left(), Place->Top(), Place->Width(), Place->Height());
}

int PickerOf(TvxFilterDialogComboEdit* Picker) {
    try {
        return std::stoi(Picker->Text());
    } catch (const std::exception&) {
        return -1;
    }
}
}  // namespace

const char* FilterPickerText(int Picker) {
    return Picker >= 0 && Picker < kvxFilterPickerCount ? kPickers[Picker].Text : "";
}

void FilterPickerCondition(int Picker, uint8_t& Operator, bool& Not) {
    Operator = vxoEqual;
    Not = false;
    if (Picker < 0 || Picker >= kvxFilterPickerCount) return;
    Operator = kPickers[Picker].Operator;
    Not = kPickers[Picker].Not;
}

int FilterConditionPicker(uint8_t Operator, bool Not) {
    switch (Operator) {
        case vxoIsNull: return Not ? 7 : 6;
        case vxoEqual: return Not ? 1 : 0;
        case vxoGreater: return 2;
        case vxoLess: return 4;
        case vxoGreaterEqual: return 3;
        case vxoLessEqual: return 5;
        default: return 0;
    }
}

// ---- The operator picker ----

TvxInplaceEdit* TvxFilterDialogComboEditClass::Create(TComponent* AOwner) const {
    return new TvxFilterDialogComboEdit(AOwner);
}

const TvxFilterDialogComboEditClass& TvxFilterDialogComboEdit::StaticClass() {
    static const TvxFilterDialogComboEditClass instance;
    return instance;
}

void TvxFilterDialogComboEdit::AddItem(const std::string& Value, const std::string& Description) {
    Values()->Add(Value);
    Descriptions()->Add(Description);
}

// ---- The dialog ----

TfmCustomDialog::TfmCustomDialog(TComponent* AOwner) : TForm(AOwner) {
    SetCaption("Custom AutoFilter");
    SetBorderStyle(bsDialog);
    SetBorderIcons(TBorderIcons{biSystemMenu, biHelp});
    SetClientWidth(412);
    SetClientHeight(166);
    SetPosition(poScreenCenter);
    Font()->SetName("MS Sans Serif");
    Font()->SetHeight(-11);
    OnCloseQuery = [this](TObject* Sender, bool& CanClose) { FormCloseQuery(Sender, CanClose); };

    lblTitle = MakeLabel(this, 8, 8, "Show rows where:");
    LColumnName = MakeLabel(this, 8, 27, "ColumnName ");
    bvlLine = new TBevel(this);
    bvlLine->SetShape(bsTopLine);
    bvlLine->SetBounds(8, 34, 396, 4);
    bvlLine->SetParent(this);
    cbOperator1 = MakePlace(this, 14, 46);
    cbOperator2 = MakePlace(this, 14, 96);
    Edit1 = MakePlace(this, 214, 46);
    Edit2 = MakePlace(this, 214, 96);
    rbAnd = MakeRadio(this, 60, 74, "&And", 0);
    rbAnd->SetChecked(true);
    rbOr = MakeRadio(this, 118, 74, "&Or", 1);
    btnOK = MakeButton(this, 248, "OK", mrOk, 2);
    btnOK->SetDefault(true);
    btnCancel = MakeButton(this, 330, "Cancel", mrCancel, 3);
    btnCancel->SetCancel(true);
    lblSingle = MakeLabel(this, 8, 120, "Use ? to represent any single character", false);
    lblSeries = MakeLabel(this, 8, 136, "Use * to represent any series of characters", false);
}

void TfmCustomDialog::Prepare(TvxDBTreeListColumn* Column, TvxDBGridCriteria* Criteria) {
    column_ = Column;
    if (TCustomvxDBTreeListControl* grid = Column->DBControl()) {
        Font()->SetName(grid->Font()->Name());
        Font()->SetCharset(grid->Font()->Charset());
    }
    LColumnName->SetCaption(Column->Caption() + " ");
    const TvxFilterOperators allowed = Column->GetFilterOperators();

    Operator1 = new TvxFilterDialogComboEdit(this);
    PlaceOn(Operator1, cbOperator1, this);
    Operator2 = new TvxFilterDialogComboEdit(this);
    PlaceOn(Operator2, cbOperator2, this);
    Operator2->AddItem("-1", std::string());
    for (int i = 0; i < kvxFilterPickerCount; ++i) {
        if (!(allowed & (1u << i))) continue;
        Operator1->AddItem(std::to_string(i), FilterPickerText(i));
        Operator2->AddItem(std::to_string(i), FilterPickerText(i));
    }
    Operator1->SetDropDownRows(Operator1->Values()->Count());
    Operator2->SetDropDownRows(Operator2->Values()->Count());
    Operator1->SetText("0");
    Operator2->SetText("-1");

    Value1Edit = Column->CreateFilterEdit(this);
    PlaceOn(Value1Edit, Edit1, this);
    Value2Edit = Column->CreateFilterEdit(this);
    PlaceOn(Value2Edit, Edit2, this);
    Operator1->SetTabOrder(0);
    Value1Edit->SetTabOrder(1);
    Operator2->SetTabOrder(rbOr->TabOrder() + 1);
    Value2Edit->SetTabOrder(Operator2->TabOrder() + 1);

    TvxDBGridCriteriaItem* first = Criteria ? Criteria->FindItem(Column) : nullptr;
    if (!first) return;
    Operator1->SetText(std::to_string(FilterConditionPicker(first->Operator(), first->Not())));
    Column->SetFilterEditValue(Value1Edit, first->Value());
    TvxCriteriaItemList* list = first->Parent();
    if (list == Criteria->Root() || list->Count() < 2) return;
    if (auto* second = dynamic_cast<TvxCriteriaItem*>(list->Items(1))) {
        Operator2->SetText(std::to_string(FilterConditionPicker(second->Operator(), second->Not())));
        Column->SetFilterEditValue(Value2Edit, second->Value());
    }
    (list->Or() ? rbOr : rbAnd)->SetChecked(true);
}

bool TfmCustomDialog::ConvertValue(Variant& Value, TvxInplaceEdit* Editor) {
    const TVarType type = column_->GetFilterValueType();
    // Nothing typed is no value (a blanks condition), not a number that fails to convert.
    if (Value.IsString() && Value.AsString().empty()) Value = Variant::Null();
    if (Value.IsNull() || type == varVariant) return true;
    try {
        Value = VarAsType(Value, type);
        return true;
    } catch (const EVariantError&) {
        if (Editor->CanFocus()) Editor->SetFocus();
        return false;
    }
}

void TfmCustomDialog::FormCloseQuery(TObject*, bool& CanClose) {
    if (ModalResult() != mrOk || !column_) return;
    Value1Edit->ValidateEdit();
    Value2Edit->ValidateEdit();
    Value1 = Variant::Null();
    Text1.clear();
    column_->GetFilterEditValue(Value1Edit, Value1, Text1);
    bool valid = ConvertValue(Value1, Value1Edit);
    Value2 = Variant::Null();
    Text2.clear();
    if (Operator2->Text() != "-1") column_->GetFilterEditValue(Value2Edit, Value2, Text2);
    if (valid) valid = ConvertValue(Value2, Value2Edit);
    if (valid) return;
    // The dialog stays open with the user's input; the message goes where every other
    // error of the program goes.
    CanClose = false;
    EnsureApplication()->HandleException(this, Exception("Invalid value"));
}

void TfmCustomDialog::AddCondition(TvxDBGridCriteria* Criteria, TvxCriteriaItemList* List,
                                   TvxFilterDialogComboEdit* Picker, const Variant& Value, const std::string& Text) {
    const int picker = PickerOf(Picker);
    if (picker < 0) return;
    uint8_t op = vxoEqual;
    bool negated = false;
    FilterPickerCondition(picker, op, negated);
    Variant value = Value;
    std::string text = Text;
    // An empty editor means no value at all, whichever comparison was picked.
    if (value.IsNull() || value.IsEmpty() || (value.IsString() && value.AsString().empty())) {
        op = vxoIsNull;
        value = Variant::Null();
    }
    if (picker == 6 || picker == 7) {
        value = Variant::Null();
        text.clear();
    }
    Criteria->AddItem(List, column_, op, value, text)->SetNot(negated);
}

void TfmCustomDialog::Store(TvxDBGridCriteria* Criteria) {
    Criteria->RemoveItems(column_);
    if (Operator2->Text() == "-1") {
        AddCondition(Criteria, nullptr, Operator1, Value1, Text1);
        return;
    }
    TvxCriteriaItemList* list = Criteria->AddList(nullptr, rbOr->Checked());
    AddCondition(Criteria, list, Operator1, Value1, Text1);
    AddCondition(Criteria, list, Operator2, Value2, Text2);
}

bool ShowCustomFilterDialog(TvxDBTreeListColumn* Column, TvxDBGridCriteria* Criteria) {
    if (!Column || !Criteria) return false;
    auto form = std::make_unique<TfmCustomDialog>(nullptr);
    form->Prepare(Column, Criteria);
    if (form->ShowModal() != mrOk) return false;
    form->Store(Criteria);
    return true;
}
