#include "platform/db/blob_field.h"

#include "platform/classes/stream.h"
#include "platform/db/dataset.h"
#include "platform/rtl/encoding.h"

TBlobField::TBlobField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftBlob); }
TMemoField::TMemoField(TComponent* AOwner) : TBlobField(AOwner) { SetDataType(ftMemo); }
TGraphicField::TGraphicField(TComponent* AOwner) : TBlobField(AOwner) { SetDataType(ftGraphic); }

void TBlobField::SetBlobType(TFieldType Value) {
    if (IsBlobType(Value)) SetDataType(Value);
}

std::string TBlobField::AsBytes() const {
    std::unique_ptr<TStream> s = DataSet()->CreateBlobStream(const_cast<TBlobField*>(this), bmRead);
    if (!s) return {};
    std::string out;
    char chunk[4096];
    for (;;) {
        int64_t n = s->Read(chunk, sizeof chunk);
        if (n <= 0) break;
        out.append(chunk, static_cast<size_t>(n));
    }
    return out;
}

void TBlobField::SetAsBytes(const std::string& bytes) {
    std::unique_ptr<TStream> s = DataSet()->CreateBlobStream(this, bmWrite);
    if (s && !bytes.empty()) s->Write(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TBlobField::Clear() { DataSet()->CreateBlobStream(this, bmWrite); }

void TBlobField::LoadFromStream(TStream* Stream) {
    std::string bytes;
    char chunk[4096];
    for (;;) {
        int64_t n = Stream->Read(chunk, sizeof chunk);
        if (n <= 0) break;
        bytes.append(chunk, static_cast<size_t>(n));
    }
    SetAsBytes(bytes);
}

void TBlobField::SaveToStream(TStream* Stream) const {
    std::string bytes = AsBytes();
    if (!bytes.empty()) Stream->WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

Variant TBlobField::GetAsVariant() const {
    if (IsNull()) return Variant::Null();
    return Variant(GetAsString());
}

void TBlobField::SetVarValue(const Variant& v) { SetAsStringValue(v.AsString()); }
std::string TBlobField::GetAsString() const { return AsBytes(); }
void TBlobField::SetAsStringValue(const std::string& v) { SetAsBytes(v); }
void TBlobField::GetText(std::string& Text, bool) const {
    Text.assign(1, '(');
    Text.append(FieldTypeName(DataType()));
    Text.push_back(')');
}

std::string TMemoField::GetAsString() const { return Cp1252ToUtf8(AsBytes()); }
void TMemoField::SetAsStringValue(const std::string& v) { SetAsBytes(Utf8ToCp1252(v)); }
void TMemoField::GetText(std::string& Text, bool DisplayText) const {
    if (DisplayText)
        Text = "(Memo)";
    else
        Text = GetAsString();
}
