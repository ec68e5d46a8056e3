#pragma once
// Boolean field: 16 bits in the record, written 1 for true and read as zero / non-zero.
// Its text is "Wahr" / "Falsch"; setting text accepts a non-empty case-insensitive prefix of
// either, empty text clears, anything else is a conversion error.

#include "platform/db/field.h"

class TBooleanField : public TField {
public:
    explicit TBooleanField(TComponent* AOwner);
    std::string ClassName() const override { return "TBooleanField"; }
    int DataSize() const override { return 2; }

protected:
    int DefaultDisplayWidth() const override;
    Variant GetAsVariant() const override;
    std::string GetAsString() const override;
    void SetAsStringValue(const std::string& v) override;
    bool GetAsBoolean() const override;
    void SetAsBooleanValue(bool v) override;
    int32_t GetAsInteger() const override;
    void SetAsIntegerValue(int32_t v) override;
};
