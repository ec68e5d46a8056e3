#pragma once
// Text field: Size characters of Windows-1252 text plus a terminating zero in the record;
// the API speaks UTF-8 and a character without a Windows-1252 form becomes "?".

#include "platform/db/field.h"

class TStringField : public TField {
public:
    explicit TStringField(TComponent* AOwner);
    std::string ClassName() const override { return "TStringField"; }
    int DataSize() const override { return Size() + 1; }

protected:
    int DefaultDisplayWidth() const override { return Size(); }
    Variant GetAsVariant() const override;
    std::string GetAsString() const override;
    void SetAsStringValue(const std::string& v) override;
    int32_t GetAsInteger() const override;
    void SetAsIntegerValue(int32_t v) override;
    double GetAsFloat() const override;
    void SetAsFloatValue(double v) override;
    bool GetAsBoolean() const override;
    void SetAsBooleanValue(bool v) override;
    double GetAsDateTime() const override;
    void SetAsDateTimeValue(double v) override;
};

// The value as the record holds it: Windows-1252 bytes up to the first zero.
std::string StringFieldBytes(const TField* f);
