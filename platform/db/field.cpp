#include "platform/db/field.h"

#include <cstring>
#include <string>

#include "platform/db/dataset.h"
#include "platform/db/db_consts.h"
#include "platform/db/wide_string_field.h"
#include "platform/rtl/dropped_exception.h"
#include "platform/rtl/scope_exit.h"

TField::TField(TComponent* AOwner) : TComponent(AOwner) {}

TField::~TField() {
    // Out of its table's list first; what the table's controls raise as they hear of it is
    // reported.
    if (dataSet_) RunOrReport([this] { dataSet_->DetachField(this); });
}

void TField::SetDataSet(TDataSet* ADataSet) {
    if (ADataSet == dataSet_) return;
    if (dataSet_) dataSet_->DetachField(this);
    if (ADataSet) ADataSet->AttachField(this);
}

void TField::SetFieldName(const std::string& Value) {
    if (fieldName_ == Value) return;
    fieldName_ = Value;
    if (dataSet_) dataSet_->DataEvent(deFieldListChange, 0);
}

void TField::SetDisplayLabel(const std::string& Value) {
    displayLabel_ = Value == fieldName_ ? std::string() : Value;
    if (dataSet_) dataSet_->DataEvent(deLayoutChange, 0);
}

void TField::SetSize(int Value) {
    if (dataSet_ && dataSet_->Active()) DatabaseError(SDataSetOpen);
    size_ = Value;
}

void TField::SetFieldKind(TFieldKind Value) {
    if (fieldKind_ == Value) return;
    if (dataSet_ && dataSet_->Active()) DatabaseError(SDataSetOpen);
    fieldKind_ = Value;
    if (dataSet_) dataSet_->UpdateHasCalcFields();
}

int TField::Index() const { return dataSet_ ? dataSet_->Fields().IndexOf(this) : -1; }

void TField::SetIndex(int Value) {
    if (dataSet_) dataSet_->MoveField(this, Value);
}

void TField::SetVisible(bool Value) {
    if (visible_ == Value) return;
    visible_ = Value;
    if (dataSet_) dataSet_->DataEvent(deLayoutChange, 0);
}

void TField::SetAlignment(TAlignment Value) {
    if (alignment_ == Value) return;
    alignment_ = Value;
    if (dataSet_) dataSet_->DataEvent(deLayoutChange, 0);
}

void TField::SetDisplayWidth(int Value) {
    if (displayWidth_ == Value) return;
    displayWidth_ = Value;
    if (dataSet_) dataSet_->DataEvent(deLayoutChange, 0);
}

bool TField::IsValidChar(char32_t) const { return true; }

bool TField::GetData(void* Buffer) const {
    if (!dataSet_) DatabaseError(DbFmt(SNoDataSet, DisplayName()));
    if (validating_) {
        if (!validateBuffer_) return false;
        if (Buffer) {
            if (dataType_ == ftWideString)
                *static_cast<std::u16string*>(Buffer) = *static_cast<const std::u16string*>(validateBuffer_);
            else
                std::memcpy(Buffer, validateBuffer_, DataSize());
        }
        return true;
    }
    return dataSet_->GetFieldData(const_cast<TField*>(this), Buffer);
}

void TField::SetData(const void* Buffer) {
    if (!dataSet_) DatabaseError(DbFmt(SNoDataSet, DisplayName()));
    dataSet_->SetFieldData(this, Buffer);
}

void TField::Validate(const void* Buffer) {
    if (!OnValidate) return;
    validating_ = true;
    validateBuffer_ = Buffer;
    TScopeExit restore([&] {
        validating_ = false;
        validateBuffer_ = nullptr;
    });
    OnValidate(this);
}

bool TField::IsNull() const {
    if (DataSize() == 0 && !IsBlob()) return true;
    if (dataType_ == ftWideString) {
        std::u16string tmp;
        return !GetData(&tmp);
    }
    std::string tmp(DataSize() + 1, '\0');
    return !GetData(tmp.data());
}

void TField::Clear() { SetData(nullptr); }

void TField::SetAsVariant(const Variant& v) {
    if (v.IsNull() || v.IsEmpty())
        Clear();
    else
        SetVarValue(v);
}

void TField::SetVarValue(const Variant& v) {
    switch (dataType_) {
        case ftSmallint:
        case ftInteger:
        case ftWord:
        case ftAutoInc:
        case ftLargeint: SetAsLargeIntValue(v.AsInt64()); break;
        case ftBoolean: SetAsBooleanValue(v.AsBoolean()); break;
        case ftFloat:
        case ftCurrency:
        case ftBCD: SetAsFloatValue(v.AsDouble()); break;
        case ftDate:
        case ftTime:
        case ftDateTime: SetAsDateTimeValue(v.AsDate()); break;
        case ftString:
        case ftWideString: SetAsStringValue(v.AsString()); break;
        default: AccessError("Variant");
    }
}
Variant TField::GetAsVariant() const { AccessError("Variant"); }
std::string TField::GetAsString() const { return ClassName(); }
void TField::SetAsStringValue(const std::string&) { AccessError("String"); }
int32_t TField::GetAsInteger() const { AccessError("Integer"); }
void TField::SetAsIntegerValue(int32_t) { AccessError("Integer"); }
void TField::SetAsLargeIntValue(int64_t v) {
    if (v < INT32_MIN || v > INT32_MAX) AccessError("Largeint");
    SetAsIntegerValue(static_cast<int32_t>(v));
}
double TField::GetAsFloat() const { AccessError("Float"); }
void TField::SetAsFloatValue(double) { AccessError("Float"); }
bool TField::GetAsBoolean() const { AccessError("Boolean"); }
void TField::SetAsBooleanValue(bool) { AccessError("Boolean"); }
double TField::GetAsDateTime() const { AccessError("DateTime"); }
void TField::SetAsDateTimeValue(double) { AccessError("DateTime"); }

void TField::AccessError(const char* typeName) const {
    DatabaseError(DbFmt(SFieldAccessError, DisplayName(), typeName));
}

void TField::GetText(std::string& Text, bool) const { Text = GetAsString(); }

std::string TField::Text() const {
    std::string t;
    if (OnGetText)
        OnGetText(const_cast<TField*>(this), t, false);
    else
        GetText(t, false);
    return t;
}

std::string TField::DisplayText() const {
    std::string t;
    if (OnGetText)
        OnGetText(const_cast<TField*>(this), t, true);
    else
        GetText(t, true);
    return t;
}

void TField::SetText(const std::string& Value) {
    if (OnSetText)
        OnSetText(this, Value);
    else
        SetAsStringValue(Value);
}

bool TField::CanModify() const {
    if (readOnly_ || !dataSet_) return false;
    if (fieldKind_ != fkData) return false;
    return dataSet_->CanModify();
}

void TField::FocusControl() {
    TField* self = this;
    if (dataSet_ && dataSet_->Active()) dataSet_->DataEvent(deFocusControl, reinterpret_cast<intptr_t>(&self));
}

void TField::CalcLookupValue() {
    if (lookupDataSet_ && lookupDataSet_->Active() && dataSet_)
        SetAsVariant(lookupDataSet_->Lookup(lookupKeyFields_, dataSet_->FieldValues(keyFields_), lookupResultField_));
}
