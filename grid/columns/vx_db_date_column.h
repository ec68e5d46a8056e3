#pragma once
// The date column: a date editor with a calendar. The empty date (NullDate) clears the
// field; as a filter value it is Null.

#include "grid/columns/vx_db_drop_down_column.h"

class TvxDBTreeListDateColumn : public TvxDBTreeListDropDownColumn {
public:
    explicit TvxDBTreeListDateColumn(TComponent* AOwner) : TvxDBTreeListDropDownColumn(AOwner) {}
    std::string ClassName() const override { return "TvxDBTreeListDateColumn"; }
    TvxTreeListColumn* CreateOfSameClass(TComponent* AOwner) const override {
        return new TvxDBTreeListDateColumn(AOwner);
    }

    struct TProperties {
        TDateButtons DateButtons{btnToday, btnClear};
        TDateOnError DateOnError = deToday;
        bool DateValidation = false;
        bool SaveTime = true;
        bool UseEditMask = false;
        TvxDateValidateInput OnDateValidateInput;
    };

    TDateButtons DateButtons() const { return date_.DateButtons; }
    void SetDateButtons(TDateButtons Value) { StoreProperty(date_.DateButtons, Value); }
    TDateOnError DateOnError() const { return date_.DateOnError; }
    void SetDateOnError(TDateOnError Value) { StoreProperty(date_.DateOnError, Value); }
    bool DateValidation() const { return date_.DateValidation; }
    void SetDateValidation(bool Value) { StoreProperty(date_.DateValidation, Value); }
    bool SaveTime() const { return date_.SaveTime; }
    void SetSaveTime(bool Value) { StoreProperty(date_.SaveTime, Value); }
    bool UseEditMask() const { return date_.UseEditMask; }
    void SetUseEditMask(bool Value) { StoreProperty(date_.UseEditMask, Value); }
    TvxDateValidateInput& OnDateValidateInput() { return date_.OnDateValidateInput; }

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    const TvxInplaceEditClass& GetInplaceEditClass() override;
    void InitEditProperties(TvxInplaceEdit* Editor) override;
    void InitEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) override;
    void SaveEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) override;
    const TvxInplaceEditClass& GetFilterEditClass() override;
    void GetFilterEditValue(TvxInplaceEdit* Editor, Variant& Value, std::string& DisplayText) override;
    void SetFilterEditValue(TvxInplaceEdit* Editor, const Variant& Value) override;

private:
    TProperties date_;
};
