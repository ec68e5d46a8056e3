#pragma once
// Blob fields (types 15..21) keep their bytes outside the record; the value is read and
// written through the dataset's blob stream. Memo values are text (Windows-1252 bytes,
// UTF-8 in the API); other blobs are raw bytes carried in a std::string.

#include <memory>

#include "platform/db/field.h"

class TBlobField : public TField {
public:
    explicit TBlobField(TComponent* AOwner);
    std::string ClassName() const override { return "TBlobField"; }
    bool IsBlob() const override { return true; }
    TFieldType BlobType() const { return DataType(); }
    void SetBlobType(TFieldType Value);
    bool Modified() const { return modified_; }
    void SetModified(bool Value) { modified_ = Value; }
    void Clear() override;
    // Raw bytes of the value.
    std::string AsBytes() const;
    void SetAsBytes(const std::string& bytes);
    void LoadFromStream(TStream* Stream);
    void SaveToStream(TStream* Stream) const;

protected:
    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& v) override;
    std::string GetAsString() const override;
    void SetAsStringValue(const std::string& v) override;
    void GetText(std::string& Text, bool DisplayText) const override;

private:
    bool modified_ = false;
};

class TMemoField : public TBlobField {
public:
    explicit TMemoField(TComponent* AOwner);
    std::string ClassName() const override { return "TMemoField"; }

protected:
    std::string GetAsString() const override;
    void SetAsStringValue(const std::string& v) override;
    void GetText(std::string& Text, bool DisplayText) const override;
};

class TGraphicField : public TBlobField {
public:
    explicit TGraphicField(TComponent* AOwner);
    std::string ClassName() const override { return "TGraphicField"; }
};
