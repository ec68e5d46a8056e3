#include "grid/columns/vx_db_pick_column.h"

TvxDBTreeListPickColumn::TvxDBTreeListPickColumn(TComponent* AOwner)
    : TvxDBTreeListDropDownColumn(AOwner), items_(std::make_unique<TStringList>()) {
    SetImmediateDropDown(true);
    items_->OnChange = [this](TObject*) { ColumnChanged(); };
}

TvxDBTreeListPickColumn::~TvxDBTreeListPickColumn() { items_->OnChange = nullptr; }

void TvxDBTreeListPickColumn::Assign(TPersistent* Source) {
    TvxColumnAssignScope update(this);
    TvxDBTreeListDropDownColumn::Assign(Source);
    if (auto* source = dynamic_cast<TvxDBTreeListPickColumn*>(Source)) {
        pick_ = source->pick_;
        items_->Assign(source->items_.get());
    }
}

void TvxDBTreeListPickColumn::RestoreDefaults() {
    TvxDBTreeListDropDownColumn::RestoreDefaults();
    pick_ = {};
    items_->Clear();
    SetImmediateDropDown(true);
}

const TvxInplaceEditClass& TvxDBTreeListPickColumn::GetInplaceEditClass() {
    return TvxInplaceDBTreeListPickEdit::StaticClass();
}

void TvxDBTreeListPickColumn::InitEditProperties(TvxInplaceEdit* Editor) {
    TvxDBTreeListDropDownColumn::InitEditProperties(Editor);
    auto* edit = dynamic_cast<TvxInplacePickEdit*>(Editor);
    if (!edit) return;
    edit->CloseUpHandler = [this](TObject*, Variant& Value, bool& Accept) {
        if (pick_.OnCloseUp) pick_.OnCloseUp(this, Value, Accept);
    };
    edit->SetDropDownListStyle(pick_.DropDownListStyle);
    edit->SetItems(items_.get());
    edit->SetCanDeleteText(pick_.CanDeleteText);
    edit->SetRevertable(pick_.Revertable);
    edit->SetItemsSorted(pick_.ItemsSorted);
}

const TvxInplaceEditClass& TvxDBTreeListPickColumn::GetFilterEditClass() {
    return TCustomvxFilterPickEdit::StaticClass();
}

// ---- The MRU column ----

void TvxDBTreeListMRUColumn::Assign(TPersistent* Source) {
    TvxColumnAssignScope update(this);
    TvxDBTreeListPickColumn::Assign(Source);
    if (auto* source = dynamic_cast<TvxDBTreeListMRUColumn*>(Source)) mru_ = source->mru_;
}

void TvxDBTreeListMRUColumn::RestoreDefaults() {
    TvxDBTreeListPickColumn::RestoreDefaults();
    mru_ = {};
}

const TvxInplaceEditClass& TvxDBTreeListMRUColumn::GetInplaceEditClass() {
    return TvxInplaceDBTreeListMRUEdit::StaticClass();
}

void TvxDBTreeListMRUColumn::InitEditProperties(TvxInplaceEdit* Editor) {
    TvxDBTreeListPickColumn::InitEditProperties(Editor);
    auto* edit = dynamic_cast<TvxInplaceMRUEdit*>(Editor);
    if (!edit) return;
    edit->SetMaxItemCount(mru_.MaxItemCount);
    edit->SetShowEllipsis(mru_.ShowEllipsis);
    edit->OnButtonClick = [this](TObject*) {
        if (mru_.OnButtonClick) mru_.OnButtonClick(this);
    };
}

void TvxDBTreeListMRUColumn::SaveEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) {
    TvxDBTreeListPickColumn::SaveEditValue(Node, Editor, Value);
    if (auto* edit = dynamic_cast<TvxInplaceMRUEdit*>(Editor)) SetItems(edit->Items());
}
