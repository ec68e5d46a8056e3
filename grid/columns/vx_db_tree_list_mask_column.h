#pragma once
// The field-bound column with an edit mask: its own mask, or the field's while none is set.

#include <string>

#include "grid/columns/vx_db_tree_list_column.h"
#include "treelist/tree_list_inplace_edits.h"

class TvxInplaceDBTreeListMaskEditClass : public TvxInplaceTreeListMaskEditClass {
public:
    std::string ClassName() const override { return "TvxInplaceDBTreeListMaskEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
};

class TvxInplaceDBTreeListMaskEdit : public TvxInplaceMaskEdit {
public:
    explicit TvxInplaceDBTreeListMaskEdit(TComponent* AOwner) : TvxInplaceMaskEdit(AOwner, StaticClass()) {}
    static const TvxInplaceDBTreeListMaskEditClass& StaticClass();
};

class TvxDBTreeListMaskColumn : public TvxDBTreeListColumn {
public:
    explicit TvxDBTreeListMaskColumn(TComponent* AOwner) : TvxDBTreeListColumn(AOwner) {}
    std::string ClassName() const override { return "TvxDBTreeListMaskColumn"; }
    TvxTreeListColumn* CreateOfSameClass(TComponent* AOwner) const override {
        return new TvxDBTreeListMaskColumn(AOwner);
    }

    // The field's mask while no own mask was set.
    std::string EditMask() const;
    void SetEditMask(const std::string& Value);
    bool IsEditMaskStored() const;
    bool IgnoreMaskBlank() const { return ignoreMaskBlank_; }
    void SetIgnoreMaskBlank(bool Value);

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    const TvxInplaceEditClass& GetInplaceEditClass() override;
    void InitEditProperties(TvxInplaceEdit* Editor) override;
    void SaveEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) override;
    bool IsFieldValueEqual(const Variant& Value) override;

private:
    std::string editMask_;
    bool editMaskAssigned_ = false;
    bool ignoreMaskBlank_ = false;
};
