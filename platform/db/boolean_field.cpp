#include "platform/db/boolean_field.h"

#include <cstring>
#include <string>

#include "platform/db/db_consts.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/str_utils.h"

TBooleanField::TBooleanField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftBoolean); }

int TBooleanField::DefaultDisplayWidth() const {
    return static_cast<int>(std::max(std::strlen(STextTrue), std::strlen(STextFalse)));
}

namespace {
bool ReadBool(const TField* f, bool& v) {
    uint8_t buf[2] = {};
    if (!f->GetData(buf)) return false;
    v = buf[0] != 0 || buf[1] != 0;
    return true;
}
}  // namespace

Variant TBooleanField::GetAsVariant() const {
    bool v;
    if (!ReadBool(this, v)) return Variant::Null();
    return Variant(v);
}

std::string TBooleanField::GetAsString() const {
    bool v;
    if (!ReadBool(this, v)) return {};
    return v ? STextTrue : STextFalse;
}

void TBooleanField::SetAsStringValue(const std::string& v) {
    if (v.empty()) {
        Clear();
        return;
    }
    auto isPrefixOf = [&](const char* word) {
        std::string w(word);
        return v.size() <= w.size() && AnsiSameText(v, w.substr(0, v.size()));
    };
    if (isPrefixOf(STextTrue))
        SetAsBooleanValue(true);
    else if (isPrefixOf(STextFalse))
        SetAsBooleanValue(false);
    else
        throw EConvertError(DbFmt(SNotBoolean, v, DisplayName()));
}

bool TBooleanField::GetAsBoolean() const {
    bool v = false;
    ReadBool(this, v);
    return v;
}

void TBooleanField::SetAsBooleanValue(bool v) {
    uint8_t buf[2] = {static_cast<uint8_t>(v ? 1 : 0), 0};
    SetData(buf);
}

int32_t TBooleanField::GetAsInteger() const { return GetAsBoolean() ? 1 : 0; }
void TBooleanField::SetAsIntegerValue(int32_t v) { SetAsBooleanValue(v != 0); }
