#include "grid/columns/vx_db_memo_column.h"

#include "platform/db/field.h"
#include "platform/rtl/str_utils.h"

std::string CutDisplayText(const std::string& Text, int MaxLength) {
    if (MaxLength < 0) return Text;
    return Text.substr(0, Utf8ByteOffset(Text, MaxLength));
}

TvxDBTreeListMemoColumn::TvxDBTreeListMemoColumn(TComponent* AOwner) : TvxDBTreeListColumn(AOwner) {
    SetHeaderMaxLineCount(0);
    SetDisableFilter(true);
}

void TvxDBTreeListMemoColumn::Assign(TPersistent* Source) {
    TvxColumnAssignScope update(this);
    TvxDBTreeListColumn::Assign(Source);
    if (auto* source = dynamic_cast<TvxDBTreeListMemoColumn*>(Source)) memo_ = source->memo_;
}

void TvxDBTreeListMemoColumn::RestoreDefaults() {
    TvxDBTreeListColumn::RestoreDefaults();
    memo_ = {};
    SetHeaderMaxLineCount(0);
    SetDisableFilter(true);
}

const TvxInplaceEditClass& TvxDBTreeListMemoColumn::GetInplaceEditClass() {
    return TvxInplaceDBTreeListMemoEdit::StaticClass();
}

void TvxDBTreeListMemoColumn::GetDisplayText(TvxTreeListNode* Node, std::string& Text) {
    if (!Field()) {
        TvxDBTreeListColumn::GetDisplayText(Node, Text);
        return;
    }
    Text = CutDisplayText(Field()->AsString(), memo_.MaxDisplayLength);
}

void TvxDBTreeListMemoColumn::InitEditProperties(TvxInplaceEdit* Editor) {
    TvxDBTreeListColumn::InitEditProperties(Editor);
    auto* memo = dynamic_cast<TvxInplaceMemoEdit*>(Editor);
    if (!memo) return;
    memo->SetHideScrollBars(memo_.HideScrollBars);
    memo->SetScrollBars(memo_.ScrollBars);
    memo->SetSelectionBar(memo_.SelectionBar);
    memo->SetWantReturns(memo_.WantReturns);
    memo->SetWantTabs(memo_.WantTabs);
    memo->SetWordWrap(memo_.WordWrap);
}

void TvxDBTreeListMemoColumn::InitEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) {
    if (!Field() || !Editor) {
        TvxDBTreeListColumn::InitEditValue(Node, Editor, Value);
        return;
    }
    Editor->SetText(Field()->AsString());
    Value = Variant(Editor->Text());
}
