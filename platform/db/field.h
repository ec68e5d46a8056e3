#pragma once
// TField: the live object for one column of a dataset. It reads and writes its value
// through the dataset (GetFieldData/SetFieldData) in the type's byte form, and converts
// between that form, Variants and text. Subclasses per type are in the *_field.h files.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/classes/component.h"
#include "platform/db/db_types.h"
#include "platform/rtl/variant.h"

class TDataSet;
class TStream;

class TField : public TComponent {
public:
    explicit TField(TComponent* AOwner);
    ~TField() override;
    std::string ClassName() const override { return "TField"; }

    TDataSet* DataSet() const { return dataSet_; }
    // Joins the dataset's field list (at the end) or leaves it.
    void SetDataSet(TDataSet* ADataSet);

    const std::string& FieldName() const { return fieldName_; }
    void SetFieldName(const std::string& Value);
    std::string DisplayLabel() const { return displayLabel_.empty() ? fieldName_ : displayLabel_; }
    void SetDisplayLabel(const std::string& Value);
    std::string DisplayName() const { return DisplayLabel(); }
    TFieldType DataType() const { return dataType_; }
    int Size() const { return size_; }
    virtual void SetSize(int Value);
    // Bytes of the value in a record buffer (0 for blobs: they live outside it).
    virtual int DataSize() const { return 0; }
    TFieldKind FieldKind() const { return fieldKind_; }
    void SetFieldKind(TFieldKind Value);
    bool Calculated() const { return fieldKind_ == fkCalculated; }
    void SetCalculated(bool Value) { SetFieldKind(Value ? fkCalculated : fkData); }
    bool Lookup() const { return fieldKind_ == fkLookup; }
    void SetLookup(bool Value) { SetFieldKind(Value ? fkLookup : fkData); }
    int FieldNo() const { return fieldNo_; }
    // Position in the dataset's field list; setting it reorders the list.
    int Index() const;
    void SetIndex(int Value);
    // For blob fields: the position among the dataset's blob fields.
    int Offset() const { return offset_; }
    bool Visible() const { return visible_; }
    void SetVisible(bool Value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool Value) { readOnly_ = Value; }
    bool Required() const { return required_; }
    void SetRequired(bool Value) { required_ = Value; }
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment Value);
    int DisplayWidth() const { return displayWidth_ > 0 ? displayWidth_ : DefaultDisplayWidth(); }
    void SetDisplayWidth(int Value);
    // The field's name in the database it comes from, when that differs (filter expressions).
    const std::string& Origin() const { return origin_; }
    void SetOrigin(const std::string& Value) { origin_ = Value; }
    const std::string& EditMask() const { return editMask_; }
    void SetEditMask(const std::string& Value) { editMask_ = Value; }
    virtual bool IsValidChar(char32_t c) const;
    virtual bool IsBlob() const { return false; }

    bool IsNull() const;
    virtual void Clear();
    Variant Value() const { return GetAsVariant(); }
    void SetValue(const Variant& v) { SetAsVariant(v); }
    Variant AsVariant() const { return GetAsVariant(); }
    void SetAsVariant(const Variant& v);
    std::string AsString() const { return GetAsString(); }
    void SetAsString(const std::string& v) { SetAsStringValue(v); }
    int32_t AsInteger() const { return GetAsInteger(); }
    void SetAsInteger(int32_t v) { SetAsIntegerValue(v); }
    int64_t AsLargeInt() const { return GetAsLargeInt(); }
    void SetAsLargeInt(int64_t v) { SetAsLargeIntValue(v); }
    double AsFloat() const { return GetAsFloat(); }
    void SetAsFloat(double v) { SetAsFloatValue(v); }
    double AsCurrency() const { return GetAsFloat(); }
    void SetAsCurrency(double v) { SetAsFloatValue(v); }
    bool AsBoolean() const { return GetAsBoolean(); }
    void SetAsBoolean(bool v) { SetAsBooleanValue(v); }
    double AsDateTime() const { return GetAsDateTime(); }
    void SetAsDateTime(double v) { SetAsDateTimeValue(v); }

    // Text for editing and DisplayText for showing; OnGetText/OnSetText take them over.
    std::string Text() const;
    void SetText(const std::string& Value);
    std::string DisplayText() const;

    std::function<void(TField* Sender, std::string& Text, bool DisplayText)> OnGetText;
    std::function<void(TField* Sender, const std::string& Text)> OnSetText;
    std::function<void(TField* Sender)> OnValidate;
    std::function<void(TField* Sender)> OnChange;

    bool CanModify() const;
    void FocusControl();

    // Lookup fields: the value of LookupResultField in the LookupDataSet record whose
    // LookupKeyFields equal this dataset's KeyFields.
    TDataSet* LookupDataSet() const { return lookupDataSet_; }
    void SetLookupDataSet(TDataSet* Value) { lookupDataSet_ = Value; }
    const std::string& KeyFields() const { return keyFields_; }
    void SetKeyFields(const std::string& Value) { keyFields_ = Value; }
    const std::string& LookupKeyFields() const { return lookupKeyFields_; }
    void SetLookupKeyFields(const std::string& Value) { lookupKeyFields_ = Value; }
    const std::string& LookupResultField() const { return lookupResultField_; }
    void SetLookupResultField(const std::string& Value) { lookupResultField_ = Value; }

    // Framework internals: the value in byte form through the dataset. A null Buffer in
    // SetData clears the field. For wide-string fields Buffer is a std::u16string.
    bool GetData(void* Buffer) const;
    void SetData(const void* Buffer);
    // Runs OnValidate while GetData answers the pending value.
    void Validate(const void* Buffer);
    void Change() {
        if (OnChange) OnChange(this);
    }
    void CalcLookupValue();
    // Set by the dataset when it opens.
    void Bind(int fieldNo, int offset) {
        fieldNo_ = fieldNo;
        offset_ = offset;
    }

protected:
    void SetDataType(TFieldType t) { dataType_ = t; }
    virtual int DefaultDisplayWidth() const { return 10; }
    virtual Variant GetAsVariant() const;
    virtual void SetVarValue(const Variant& v);
    virtual std::string GetAsString() const;
    virtual void SetAsStringValue(const std::string& v);
    virtual int32_t GetAsInteger() const;
    virtual void SetAsIntegerValue(int32_t v);
    virtual int64_t GetAsLargeInt() const { return GetAsInteger(); }
    virtual void SetAsLargeIntValue(int64_t v);
    virtual double GetAsFloat() const;
    virtual void SetAsFloatValue(double v);
    virtual bool GetAsBoolean() const;
    virtual void SetAsBooleanValue(bool v);
    virtual double GetAsDateTime() const;
    virtual void SetAsDateTimeValue(double v);
    virtual void GetText(std::string& Text, bool DisplayText) const;
    [[noreturn]] void AccessError(const char* typeName) const;
    // The value's bytes through GetData; false when null.
    bool ReadBytes(void* Buffer) const { return GetData(Buffer); }

private:
    friend class TDataSet;
    TDataSet* dataSet_ = nullptr;
    std::string fieldName_;
    std::string displayLabel_;
    TFieldType dataType_ = ftUnknown;
    int size_ = 0;
    TFieldKind fieldKind_ = fkData;
    int fieldNo_ = 0;
    int offset_ = 0;
    bool visible_ = true;
    bool readOnly_ = false;
    bool required_ = false;
    TAlignment alignment_ = taLeftJustify;
    int displayWidth_ = 0;
    std::string editMask_;
    TDataSet* lookupDataSet_ = nullptr;
    std::string keyFields_, lookupKeyFields_, lookupResultField_;
    std::string origin_;
    bool validating_ = false;
    const void* validateBuffer_ = nullptr;
};
