#pragma once
// The spin column: a number stepped by Increment between MinValue and MaxValue (the
// field's limits until assigned).

#include "grid/columns/vx_db_drop_down_column.h"
#include "grid/core/vx_db_field_bounds.h"

class TvxDBTreeListSpinColumn : public TvxDBTreeListColumn {
public:
    explicit TvxDBTreeListSpinColumn(TComponent* AOwner) : TvxDBTreeListColumn(AOwner) {}
    std::string ClassName() const override { return "TvxDBTreeListSpinColumn"; }
    TvxTreeListColumn* CreateOfSameClass(TComponent* AOwner) const override {
        return new TvxDBTreeListSpinColumn(AOwner);
    }

    struct TProperties {
        bool EditorEnabled = true;
        double Increment = 1.0;
        TvxShowButtonStyle ShowButtonStyle = sbDefault;
        bool UseCtrlIncrement = false;
        TvxFieldBounds Bounds;
    };

    bool EditorEnabled() const { return spin_.EditorEnabled; }
    void SetEditorEnabled(bool Value) { StoreProperty(spin_.EditorEnabled, Value); }
    double Increment() const { return spin_.Increment; }
    void SetIncrement(double Value) { StoreProperty(spin_.Increment, Value); }
    double MinValue() const { return spin_.Bounds.Min(Field()); }
    void SetMinValue(double Value) {
        if (spin_.Bounds.SetMin(Value)) ColumnChanged();
    }
    double MaxValue() const { return spin_.Bounds.Max(Field()); }
    void SetMaxValue(double Value) {
        if (spin_.Bounds.SetMax(Value)) ColumnChanged();
    }
    bool IsMinValueStored() const { return spin_.Bounds.IsMinStored(Field()); }
    bool IsMaxValueStored() const { return spin_.Bounds.IsMaxStored(Field()); }
    TvxShowButtonStyle ShowButtonStyle() const { return spin_.ShowButtonStyle; }
    void SetShowButtonStyle(TvxShowButtonStyle Value) { StoreProperty(spin_.ShowButtonStyle, Value); }
    bool UseCtrlIncrement() const { return spin_.UseCtrlIncrement; }
    void SetUseCtrlIncrement(bool Value) { StoreProperty(spin_.UseCtrlIncrement, Value); }

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    const TvxInplaceEditClass& GetInplaceEditClass() override;
    bool IsHotTrack() override { return true; }
    bool CanShowButton() override { return ShowsEditButton(spin_.ShowButtonStyle, IsEditorEnabled(), true); }
    void InitEditProperties(TvxInplaceEdit* Editor) override;
    void InitEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) override;
    void SaveEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) override;
    const TvxInplaceEditClass& GetFilterEditClass() override;
    void GetDrawInfo(TvxEditViewData& ViewData, const TvxTreeListCellDrawRecord& Cell) override;

private:
    TProperties spin_;
};
