#pragma once
// The currency column: an amount with DecimalPlaces places between MinValue and MaxValue
// (the field's limits until assigned), shown in DisplayFormat.

#include "grid/columns/vx_db_tree_list_column.h"
#include "grid/core/vx_db_field_bounds.h"
#include "grid/editors/vx_inplace_db_edits.h"

class TvxDBTreeListCurrencyColumn : public TvxDBTreeListColumn {
public:
    explicit TvxDBTreeListCurrencyColumn(TComponent* AOwner);
    std::string ClassName() const override { return "TvxDBTreeListCurrencyColumn"; }
    TvxTreeListColumn* CreateOfSameClass(TComponent* AOwner) const override {
        return new TvxDBTreeListCurrencyColumn(AOwner);
    }

    struct TProperties {
        unsigned DecimalPlaces = 2;
        std::string DisplayFormat;
        bool Nullable = false;
        std::string NullString;
        bool UseThousandSeparator = false;
        TvxFieldBounds Bounds;
    };

    unsigned DecimalPlaces() const { return currency_.DecimalPlaces; }
    void SetDecimalPlaces(unsigned Value) { StoreProperty(currency_.DecimalPlaces, Value); }
    const std::string& DisplayFormat() const { return currency_.DisplayFormat; }
    void SetDisplayFormat(const std::string& Value) { StoreProperty(currency_.DisplayFormat, Value); }
    double MinValue() const { return currency_.Bounds.Min(Field()); }
    void SetMinValue(double Value) {
        if (currency_.Bounds.SetMin(Value)) ColumnChanged();
    }
    double MaxValue() const { return currency_.Bounds.Max(Field()); }
    void SetMaxValue(double Value) {
        if (currency_.Bounds.SetMax(Value)) ColumnChanged();
    }
    bool IsMinValueStored() const { return currency_.Bounds.IsMinStored(Field()); }
    bool IsMaxValueStored() const { return currency_.Bounds.IsMaxStored(Field()); }
    bool Nullable() const { return currency_.Nullable; }
    void SetNullable(bool Value) { StoreProperty(currency_.Nullable, Value); }
    const std::string& NullString() const { return currency_.NullString; }
    void SetNullString(const std::string& Value) { StoreProperty(currency_.NullString, Value); }
    bool UseThousandSeparator() const { return currency_.UseThousandSeparator; }
    void SetUseThousandSeparator(bool Value) { StoreProperty(currency_.UseThousandSeparator, Value); }

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    const TvxInplaceEditClass& GetInplaceEditClass() override;
    void InitEditProperties(TvxInplaceEdit* Editor) override;
    void InitEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) override;
    void SaveEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) override;
    const TvxInplaceEditClass& GetFilterEditClass() override;
    // The system's decimal separator is a key the amount takes even where the field refuses it.
    bool IsValidChar(char32_t Key) override;

private:
    static TProperties Defaults();
    TProperties currency_;
};
