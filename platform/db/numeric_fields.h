#pragma once
// Number fields. Integers: Smallint int16, Integer/AutoInc int32, Word uint16, Largeint
// int64. Floats: Float and Currency IEEE double; BCD an int64 of units of 1/10000.

#include "platform/db/field.h"

class TNumericField : public TField {
public:
    explicit TNumericField(TComponent* AOwner);
    std::string ClassName() const override { return "TNumericField"; }
    bool IsValidChar(char32_t c) const override;
};

class TIntegerField : public TNumericField {
public:
    explicit TIntegerField(TComponent* AOwner);
    std::string ClassName() const override { return "TIntegerField"; }
    int DataSize() const override;
    bool IsValidChar(char32_t c) const override;
    // The limits an editor offers for the field (0 and 0: none); stored only.
    int32_t MinValue() const { return minValue_; }
    void SetMinValue(int32_t v) { minValue_ = v; }
    int32_t MaxValue() const { return maxValue_; }
    void SetMaxValue(int32_t v) { maxValue_ = v; }

protected:
    Variant GetAsVariant() const override;
    std::string GetAsString() const override;
    void SetAsStringValue(const std::string& v) override;
    int32_t GetAsInteger() const override;
    void SetAsIntegerValue(int32_t v) override;
    int64_t GetAsLargeInt() const override;
    void SetAsLargeIntValue(int64_t v) override;
    double GetAsFloat() const override;
    void SetAsFloatValue(double v) override;
    bool GetAsBoolean() const override;
    void SetAsBooleanValue(bool v) override;
    // The stored value widened, false when null.
    bool ReadInt(int64_t& v) const;
    void WriteInt(int64_t v);
    void RangeCheck(int64_t v) const;

private:
    int32_t minValue_ = 0;
    int32_t maxValue_ = 0;
};

class TSmallintField : public TIntegerField {
public:
    explicit TSmallintField(TComponent* AOwner);
    std::string ClassName() const override { return "TSmallintField"; }
};

class TWordField : public TIntegerField {
public:
    explicit TWordField(TComponent* AOwner);
    std::string ClassName() const override { return "TWordField"; }
};

class TAutoIncField : public TIntegerField {
public:
    explicit TAutoIncField(TComponent* AOwner);
    std::string ClassName() const override { return "TAutoIncField"; }
};

class TLargeintField : public TIntegerField {
public:
    explicit TLargeintField(TComponent* AOwner);
    std::string ClassName() const override { return "TLargeintField"; }
};

class TFloatField : public TNumericField {
public:
    explicit TFloatField(TComponent* AOwner);
    std::string ClassName() const override { return "TFloatField"; }
    int DataSize() const override { return 8; }
    bool IsValidChar(char32_t c) const override;
    // The limits an editor offers for the field (0 and 0: none) and the significant digits
    // of its values; stored only.
    double MinValue() const { return minValue_; }
    void SetMinValue(double v) { minValue_ = v; }
    double MaxValue() const { return maxValue_; }
    void SetMaxValue(double v) { maxValue_ = v; }
    int Precision() const { return precision_; }
    void SetPrecision(int v) { precision_ = v; }

protected:
    Variant GetAsVariant() const override;
    std::string GetAsString() const override;
    void SetAsStringValue(const std::string& v) override;
    int32_t GetAsInteger() const override;
    void SetAsIntegerValue(int32_t v) override;
    int64_t GetAsLargeInt() const override;
    double GetAsFloat() const override;
    void SetAsFloatValue(double v) override;
    void GetText(std::string& Text, bool DisplayText) const override;
    bool ReadFloat(double& v) const;
    virtual void WriteFloat(double v);

private:
    double minValue_ = 0;
    double maxValue_ = 0;
    int precision_ = 15;
};

class TCurrencyField : public TFloatField {
public:
    explicit TCurrencyField(TComponent* AOwner);
    std::string ClassName() const override { return "TCurrencyField"; }

protected:
    Variant GetAsVariant() const override;
    void GetText(std::string& Text, bool DisplayText) const override;
};

class TBCDField : public TFloatField {
public:
    explicit TBCDField(TComponent* AOwner);
    std::string ClassName() const override { return "TBCDField"; }
    int DataSize() const override { return 8; }

protected:
    Variant GetAsVariant() const override;
    double GetAsFloat() const override;
    void WriteFloat(double v) override;
};
