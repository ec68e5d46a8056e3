#pragma once
// The calculator column: a number typed or worked out on a pop-up calculator.

#include "grid/columns/vx_db_drop_down_column.h"

class TvxDBTreeListCalcColumn : public TvxDBTreeListDropDownColumn {
public:
    explicit TvxDBTreeListCalcColumn(TComponent* AOwner) : TvxDBTreeListDropDownColumn(AOwner) {}
    std::string ClassName() const override { return "TvxDBTreeListCalcColumn"; }
    TvxTreeListColumn* CreateOfSameClass(TComponent* AOwner) const override {
        return new TvxDBTreeListCalcColumn(AOwner);
    }

    struct TProperties {
        bool BeepOnError = true;
        TvxButtonStyle ButtonStyle = bsStandard;
        uint8_t Precision = 13;
        bool QuickClose = false;
        bool ShowButtonFrame = false;
    };

    bool BeepOnError() const { return calc_.BeepOnError; }
    void SetBeepOnError(bool Value) { StoreProperty(calc_.BeepOnError, Value); }
    TvxButtonStyle ButtonStyle() const { return calc_.ButtonStyle; }
    void SetButtonStyle(TvxButtonStyle Value) { StoreProperty(calc_.ButtonStyle, Value); }
    uint8_t Precision() const { return calc_.Precision; }
    void SetPrecision(uint8_t Value) { StoreProperty(calc_.Precision, Value); }
    bool QuickClose() const { return calc_.QuickClose; }
    void SetQuickClose(bool Value) { StoreProperty(calc_.QuickClose, Value); }
    bool ShowButtonFrame() const { return calc_.ShowButtonFrame; }
    void SetShowButtonFrame(bool Value) { StoreProperty(calc_.ShowButtonFrame, Value); }

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    const TvxInplaceEditClass& GetInplaceEditClass() override;
    void InitEditProperties(TvxInplaceEdit* Editor) override;
    const TvxInplaceEditClass& GetFilterEditClass() override;

private:
    TProperties calc_;
};
