#include "grid/columns/vx_db_currency_column.h"

#include "controls/currency_format.h"
#include "grid/core/vx_db_tree_list_control.h"
#include "platform/db/field.h"
#include "platform/rtl/locale.h"

TvxDBTreeListCurrencyColumn::TProperties TvxDBTreeListCurrencyColumn::Defaults() {
    TProperties p;
    GetCurrencyEditFormat(p.DisplayFormat);
    return p;
}

TvxDBTreeListCurrencyColumn::TvxDBTreeListCurrencyColumn(TComponent* AOwner)
    : TvxDBTreeListColumn(AOwner), currency_(Defaults()) {}

void TvxDBTreeListCurrencyColumn::Assign(TPersistent* Source) {
    TvxColumnAssignScope update(this);
    TvxDBTreeListColumn::Assign(Source);
    if (auto* source = dynamic_cast<TvxDBTreeListCurrencyColumn*>(Source)) currency_ = source->currency_;
}

void TvxDBTreeListCurrencyColumn::RestoreDefaults() {
    TvxDBTreeListColumn::RestoreDefaults();
    currency_ = Defaults();
}

const TvxInplaceEditClass& TvxDBTreeListCurrencyColumn::GetInplaceEditClass() {
    return TvxInplaceDBTreeListCurrencyEdit::StaticClass();
}

void TvxDBTreeListCurrencyColumn::InitEditProperties(TvxInplaceEdit* Editor) {
    TvxDBTreeListColumn::InitEditProperties(Editor);
    auto* edit = dynamic_cast<TvxInplaceCurrencyEdit*>(Editor);
    if (!edit) return;
    edit->SetDecimalPlaces(currency_.DecimalPlaces);
    edit->SetDisplayFormat(currency_.DisplayFormat);
    edit->SetMinMaxValues(MinValue(), MaxValue());
    edit->SetNullable(currency_.Nullable);
    edit->SetNullString(currency_.NullString);
    edit->SetUseThousandSeparator(currency_.UseThousandSeparator);
}

void TvxDBTreeListCurrencyColumn::InitEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) {
    auto* edit = dynamic_cast<TvxInplaceCurrencyEdit*>(Editor);
    if (!Field() || !edit) {
        TvxDBTreeListColumn::InitEditValue(Node, Editor, Value);
        return;
    }
    Value = Field()->IsNull() ? Variant::Null() : Variant(Field()->AsFloat());
    edit->SetEditValue(Value);
}

void TvxDBTreeListCurrencyColumn::SaveEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) {
    auto* edit = dynamic_cast<TvxInplaceCurrencyEdit*>(Editor);
    if (!Field() || !edit || !DBControl()) {
        TvxDBTreeListColumn::SaveEditValue(Node, Editor, Value);
        return;
    }
    Value = StoreEditValue(Node, edit->Text().empty(), [edit](TField* field) { field->SetAsFloat(edit->GetValue()); });
}

const TvxInplaceEditClass& TvxDBTreeListCurrencyColumn::GetFilterEditClass() {
    return TCustomvxFilterCurrencyEdit::StaticClass();
}

bool TvxDBTreeListCurrencyColumn::IsValidChar(char32_t Key) {
    return Key == static_cast<unsigned char>(FormatSettings().DecimalSeparator) ||
           TvxDBTreeListColumn::IsValidChar(Key);
}
