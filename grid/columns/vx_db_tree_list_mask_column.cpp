#include "grid/columns/vx_db_tree_list_mask_column.h"

#include "grid/core/vx_db_tree_list_control.h"
#include "platform/db/field.h"
#include "platform/forms/edit_mask.h"
#include "platform/rtl/str_utils.h"

TvxInplaceEdit* TvxInplaceDBTreeListMaskEditClass::Create(TComponent* AOwner) const {
    return new TvxInplaceDBTreeListMaskEdit(AOwner);
}

const TvxInplaceDBTreeListMaskEditClass& TvxInplaceDBTreeListMaskEdit::StaticClass() {
    static const TvxInplaceDBTreeListMaskEditClass instance;
    return instance;
}

std::string TvxDBTreeListMaskColumn::EditMask() const {
    if (editMaskAssigned_) return editMask_;
    return Field() ? Field()->EditMask() : std::string();
}

void TvxDBTreeListMaskColumn::SetEditMask(const std::string& Value) {
    if (editMaskAssigned_ && editMask_ == Value) return;
    editMask_ = Value;
    editMaskAssigned_ = true;
    ColumnChanged();
}

bool TvxDBTreeListMaskColumn::IsEditMaskStored() const {
    return editMaskAssigned_ && (!Field() || Field()->EditMask() != editMask_);
}

void TvxDBTreeListMaskColumn::SetIgnoreMaskBlank(bool Value) {
    if (ignoreMaskBlank_ == Value) return;
    ignoreMaskBlank_ = Value;
    ColumnChanged();
}

void TvxDBTreeListMaskColumn::Assign(TPersistent* Source) {
    TvxColumnAssignScope update(this);
    TvxDBTreeListColumn::Assign(Source);
    if (auto* source = dynamic_cast<TvxDBTreeListMaskColumn*>(Source)) {
        editMask_ = source->editMask_;
        editMaskAssigned_ = source->editMaskAssigned_;
        ignoreMaskBlank_ = source->ignoreMaskBlank_;
    }
}

void TvxDBTreeListMaskColumn::RestoreDefaults() {
    TvxDBTreeListColumn::RestoreDefaults();
    editMask_.clear();
    editMaskAssigned_ = false;
    ignoreMaskBlank_ = false;
}

const TvxInplaceEditClass& TvxDBTreeListMaskColumn::GetInplaceEditClass() {
    return TvxInplaceDBTreeListMaskEdit::StaticClass();
}

void TvxDBTreeListMaskColumn::InitEditProperties(TvxInplaceEdit* Editor) {
    TvxDBTreeListColumn::InitEditProperties(Editor);
    if (auto* mask = dynamic_cast<TvxInplaceMaskEdit*>(Editor)) {
        mask->SetEditMask(EditMask());
        mask->SetIgnoreMaskBlank(ignoreMaskBlank_);
    }
}

void TvxDBTreeListMaskColumn::SaveEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) {
    if (!Field()) {
        TvxDBTreeListColumn::SaveEditValue(Node, Editor, Value);
        return;
    }
    if (Editor) Field()->SetText(Editor->Text());
    Value = Field()->Value();
}

bool TvxDBTreeListMaskColumn::IsFieldValueEqual(const Variant& Value) {
    if (!Field() || !Value.IsString()) return TvxDBTreeListColumn::IsFieldValueEqual(Value);
    const std::string text = Field()->Text();
    std::string blank;
    if (!EditMask().empty()) {
        const TEditMask mask(EditMask());
        for (char32_t c : mask.EmptyText()) AppendUtf8(blank, static_cast<uint32_t>(c));
    }
    if (!blank.empty() && Value.AsString() == blank) return text.empty();
    return text == TrimRight(Value.AsString());
}
