#include "grid/columns/vx_db_calc_column.h"

void TvxDBTreeListCalcColumn::Assign(TPersistent* Source) {
    TvxColumnAssignScope update(this);
    TvxDBTreeListDropDownColumn::Assign(Source);
    if (auto* source = dynamic_cast<TvxDBTreeListCalcColumn*>(Source)) calc_ = source->calc_;
}

void TvxDBTreeListCalcColumn::RestoreDefaults() {
    TvxDBTreeListDropDownColumn::RestoreDefaults();
    calc_ = {};
}

const TvxInplaceEditClass& TvxDBTreeListCalcColumn::GetInplaceEditClass() {
    return TvxInplaceDBTreeListCalcEdit::StaticClass();
}

void TvxDBTreeListCalcColumn::InitEditProperties(TvxInplaceEdit* Editor) {
    TvxDBTreeListDropDownColumn::InitEditProperties(Editor);
    auto* edit = dynamic_cast<TvxInplaceCalcEdit*>(Editor);
    if (!edit) return;
    edit->SetBeepOnError(calc_.BeepOnError);
    edit->SetButtonStyle(calc_.ButtonStyle);
    edit->SetPrecision(calc_.Precision);
    edit->SetQuickClose(calc_.QuickClose);
    edit->SetShowButtonFrame(calc_.ShowButtonFrame);
}

const TvxInplaceEditClass& TvxDBTreeListCalcColumn::GetFilterEditClass() {
    return TCustomvxFilterCalcEdit::StaticClass();
}
