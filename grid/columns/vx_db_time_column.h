#pragma once
// The time column: a time of day stepped part by part.

#include "grid/columns/vx_db_tree_list_column.h"
#include "grid/editors/vx_inplace_db_edits.h"

class TvxDBTreeListTimeColumn : public TvxDBTreeListColumn {
public:
    explicit TvxDBTreeListTimeColumn(TComponent* AOwner) : TvxDBTreeListColumn(AOwner) {}
    std::string ClassName() const override { return "TvxDBTreeListTimeColumn"; }
    TvxTreeListColumn* CreateOfSameClass(TComponent* AOwner) const override {
        return new TvxDBTreeListTimeColumn(AOwner);
    }

    struct TProperties {
        TvxTimeEditFormat TimeEditFormat = tfHourMinSec;
        bool UseCtrlIncrement = false;
    };

    TvxTimeEditFormat TimeEditFormat() const { return time_.TimeEditFormat; }
    void SetTimeEditFormat(TvxTimeEditFormat Value) { StoreProperty(time_.TimeEditFormat, Value); }
    bool UseCtrlIncrement() const { return time_.UseCtrlIncrement; }
    void SetUseCtrlIncrement(bool Value) { StoreProperty(time_.UseCtrlIncrement, Value); }

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    const TvxInplaceEditClass& GetInplaceEditClass() override;
    void InitEditProperties(TvxInplaceEdit* Editor) override;
    void InitEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) override;
    void SaveEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) override;
    const TvxInplaceEditClass& GetFilterEditClass() override;

private:
    TProperties time_;
};
