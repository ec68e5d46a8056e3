#pragma once
// Wide-string field: the record holds an owned handle to a UTF-16 string; GetData and
// SetData pass a std::u16string. The API speaks UTF-8.

#include <string>

#include "platform/db/field.h"

class TWideStringField : public TField {
public:
    explicit TWideStringField(TComponent* AOwner);
    std::string ClassName() const override { return "TWideStringField"; }
    int DataSize() const override { return static_cast<int>(sizeof(void*)); }

protected:
    int DefaultDisplayWidth() const override { return Size(); }
    Variant GetAsVariant() const override;
    std::string GetAsString() const override;
    void SetAsStringValue(const std::string& v) override;
};

std::u16string Utf8ToUtf16(const std::string& s);
std::string Utf16ToUtf8(const std::u16string& s);
