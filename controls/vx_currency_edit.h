#pragma once
// TvxInplaceCurrencyEdit: a floating-point amount. Focused it shows the plain number;
// unfocused it shows the number through DisplayFormat (by default the locale's currency
// format, followed when the locale changes until a format is assigned). Typing keeps a
// valid number with at most DecimalPlaces decimals, and both "," and "." give the decimal
// separator. Never masked.

#include <string>

#include "controls/vx_mask_edit.h"

// Reads S with the locale's thousands separators removed; only numbers of the double
// range count (Value 0 on failure).
bool TryStrToDouble(const std::string& S, double& Value);

class TvxInplaceCurrencyEditClass : public TvxInplaceMaskEditClass {
public:
    std::string ClassName() const override { return "TvxInplaceCurrencyEdit"; }
    TvxInplaceEdit* Create(TComponent* AOwner) const override;
};

class TvxInplaceCurrencyEdit : public TvxInplaceMaskEdit {
public:
    explicit TvxInplaceCurrencyEdit(TComponent* AOwner);
    static const TvxInplaceCurrencyEditClass& StaticClass();

    // ---- Properties ----
    unsigned DecimalPlaces() const { return decimalPlaces_; }
    void SetDecimalPlaces(unsigned v) { decimalPlaces_ = v; }
    const std::string& DisplayFormat() const { return displayFormat_; }
    // The property writer: marks the format assigned.
    void SetDisplayFormatAssigned(const std::string& v);
    double MaxValue() const { return maxValue_; }
    double MinValue() const { return minValue_; }
    bool Nullable() const { return nullable_; }
    void SetNullable(bool v);
    const std::string& NullString() const { return nullString_; }
    void SetNullString(const std::string& v);
    bool UseThousandSeparator() const { return useThousandSeparator_; }
    void SetUseThousandSeparator(bool v) { useThousandSeparator_ = v; }

    double GetValue();
    // Clamped and written in general format; a programmatic value is no user edit.
    void SetValue(double Value);
    // Marks both bounds assigned.
    void SetMinMaxValues(double AMin, double AMax);

    // ---- Virtual operations introduced here ----
    virtual bool IsValidCurrencyChar(char32_t Key);
    virtual void SetDisplayFormat(const std::string& Value);
    virtual void SetMaxValue(double Value);
    virtual void SetMinValue(double Value);
    virtual void SetMinMax(double AMin, double AMax);
    virtual std::string GetDefaultDisplayFormat();
    virtual double DefaultMaxValue() { return 0; }
    virtual double DefaultMinValue() { return 0; }

    // ---- Overrides ----
    void RefreshDefaults() override;
    void GetEditValue(Variant& Value, bool IsPaintCopy) override;
    void GetDisplayValue(Variant& Value) override;
    void RestoreDefaults() override;
    void ValidateEdit() override;
    bool WantsContextMenu() override { return true; }
    void SetEditMaskValue(const std::string& Value) override { (void)Value; }
    void FocusChanged(bool Entering) override;
    // A pasted text that is no number is taken back, the old text selected.
    void PasteFromClipboard() override;

protected:
    TvxInplaceCurrencyEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass);

    void KeyPress(char32_t& Key) override;
    void WndProc(TMessage& Message) override;
    // Unfocused, the window shows the formatted value.
    void Paint() override;

private:
    std::string FormattedText() const;

    unsigned decimalPlaces_ = 2;
    std::string displayFormat_;
    double maxValue_ = 0;
    double minValue_ = 0;
    // The separators the window text is written in (the locale's until it changes).
    char textDecimal_ = 0;
    char textThousands_ = 0;
    bool nullable_ = false;
    std::string nullString_;
    bool useThousandSeparator_ = false;
};
