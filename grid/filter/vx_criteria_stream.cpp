#include "grid/filter/vx_criteria_stream.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "grid/filter/vx_criteria.h"
#include "grid/filter/vx_criteria_operators.h"
#include "platform/db/wide_string_field.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/extended.h"

namespace {
// The smallest entries: a list (flags, Or, count) and a condition (flags, two empty texts,
// operator, a one-byte value).
constexpr int64_t kMinListSize = 1 + 1 + 1 + 4;
constexpr int64_t kMinEntrySize = kMinListSize;

[[noreturn]] void ReadFault() { throw EReadError(SReadError); }

int64_t BytesLeft(TStream* Stream) { return Stream->Size() - Stream->Position(); }

void Need(TStream* Stream, int64_t Count) {
    if (Count < 0 || Count > BytesLeft(Stream)) ReadFault();
}

void ReadBytes(TStream* Stream, void* Buffer, int64_t Count) {
    Need(Stream, Count);
    if (Count > 0 && Stream->Read(Buffer, Count) != Count) ReadFault();
}

template <class T>
T ReadLE(TStream* Stream) {
    uint8_t b[sizeof(T)];
    ReadBytes(Stream, b, sizeof(T));
    uint64_t v = 0;
    for (size_t i = 0; i < sizeof(T); ++i) v |= static_cast<uint64_t>(b[i]) << (8 * i);
    T out;
    std::memcpy(&out, &v, sizeof(T));  // the low bytes on a little-endian machine
    return out;
}

template <class T>
void WriteLE(TStream* Stream, T Value) {
    uint64_t v = 0;
    std::memcpy(&v, &Value, sizeof(T));
    uint8_t b[sizeof(T)];
    for (size_t i = 0; i < sizeof(T); ++i) b[i] = static_cast<uint8_t>(v >> (8 * i));
    Stream->WriteBuffer(b, sizeof(T));
}

std::string ReadChars(TStream* Stream, int64_t Length) { return Cp1252ToUtf8(ReadStreamBytes(Stream, Length)); }

std::string ReadText(TStream* Stream) { return ReadChars(Stream, ReadLE<int32_t>(Stream)); }

void WriteText(TStream* Stream, const std::string& Utf8) {
    std::string bytes = Utf8ToCp1252(Utf8);
    WriteLE<int32_t>(Stream, static_cast<int32_t>(bytes.size()));
    Stream->WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void WriteCode(TStream* Stream, TValueType Code) { WriteLE<uint8_t>(Stream, Code); }

void WriteWideString(TStream* Stream, const std::string& Utf8) {
    std::u16string wide = Utf8ToUtf16(Utf8);
    WriteCode(Stream, vaWString);
    WriteLE<int32_t>(Stream, static_cast<int32_t>(wide.size()));
    for (char16_t c : wide) WriteLE<uint16_t>(Stream, c);
}

void WriteString(TStream* Stream, const std::string& Utf8) {
    std::string bytes = Utf8ToCp1252(Utf8);
    // A text that Windows-1252 cannot hold goes as a wide string rather than losing characters.
    if (Cp1252ToUtf8(bytes) != Utf8) {
        WriteWideString(Stream, Utf8);
        return;
    }
    if (bytes.size() <= 255) {
        WriteCode(Stream, vaString);
        WriteLE<uint8_t>(Stream, static_cast<uint8_t>(bytes.size()));
    } else {
        WriteCode(Stream, vaLString);
        WriteLE<int32_t>(Stream, static_cast<int32_t>(bytes.size()));
    }
    Stream->WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void WriteInteger(TStream* Stream, int64_t Value) {
    if (Value >= -128 && Value <= 127) {
        WriteCode(Stream, vaInt8);
        WriteLE<int8_t>(Stream, static_cast<int8_t>(Value));
    } else if (Value >= -32768 && Value <= 32767) {
        WriteCode(Stream, vaInt16);
        WriteLE<int16_t>(Stream, static_cast<int16_t>(Value));
    } else {
        WriteCode(Stream, vaInt32);
        WriteLE<int32_t>(Stream, static_cast<int32_t>(Value));
    }
}
}  // namespace

std::string ReadStreamBytes(TStream* Stream, int64_t Count) {
    Need(Stream, Count);
    std::string bytes(static_cast<size_t>(Count), '\0');
    ReadBytes(Stream, bytes.data(), Count);
    return bytes;
}

uint8_t ReadStreamByte(TStream* Stream) { return ReadLE<uint8_t>(Stream); }

int32_t ReadStreamInt32(TStream* Stream) { return ReadLE<int32_t>(Stream); }

std::string ReadStreamShortString(TStream* Stream) { return ReadChars(Stream, ReadLE<uint8_t>(Stream)); }

void WriteStreamByte(TStream* Stream, uint8_t Value) { WriteLE<uint8_t>(Stream, Value); }

void WriteStreamInt32(TStream* Stream, int32_t Value) { WriteLE<int32_t>(Stream, Value); }

void WriteStreamShortString(TStream* Stream, const std::string& Utf8) {
    std::string bytes = Utf8ToCp1252(Utf8);
    if (bytes.size() > 255) throw EWriteError(SWriteError);
    WriteLE<uint8_t>(Stream, static_cast<uint8_t>(bytes.size()));
    Stream->WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void WriteCriteriaValue(TStream* Stream, const Variant& Value) {
    switch (Value.VarType()) {
        case varEmpty: WriteCode(Stream, vaNil); return;
        case varNull: WriteCode(Stream, vaNull); return;
        case varByte:
        case varSmallint:
        case varInteger: WriteInteger(Stream, Value.AsInt64()); return;
        case varSingle:
            WriteCode(Stream, vaSingle);
            WriteLE<float>(Stream, static_cast<float>(Value.AsDouble()));
            return;
        case varDouble: {
            uint8_t ext[kExtendedSize];
            WriteExtended10(Value.AsDouble(), ext);
            WriteCode(Stream, vaExtended);
            Stream->WriteBuffer(ext, kExtendedSize);
            return;
        }
        case varCurrency:
            WriteCode(Stream, vaCurrency);
            WriteLE<int64_t>(Stream, Value.CurrencyUnits());
            return;
        case varDate:
            WriteCode(Stream, vaDate);
            WriteLE<double>(Stream, Value.AsDouble());
            return;
        case varOleStr: WriteWideString(Stream, Value.AsString()); return;
        case varBoolean: WriteCode(Stream, Value.AsBoolean() ? vaTrue : vaFalse); return;
        case varArray: throw EWriteError(SWriteError);
        default: WriteString(Stream, Value.AsString()); return;
    }
}

Variant ReadCriteriaValue(TStream* Stream) {
    switch (ReadLE<uint8_t>(Stream)) {
        case vaNull: return Null();
        case vaInt8: {
            // Written for -128..127: a negative value must not come back as 128..255.
            int8_t v = ReadLE<int8_t>(Stream);
            return v >= 0 ? Variant::FromByte(static_cast<uint8_t>(v)) : Variant(static_cast<int16_t>(v));
        }
        case vaInt16: return Variant(ReadLE<int16_t>(Stream));
        case vaInt32: return Variant(static_cast<int>(ReadLE<int32_t>(Stream)));
        case vaExtended: {
            uint8_t ext[kExtendedSize];
            ReadBytes(Stream, ext, kExtendedSize);
            return Variant(static_cast<double>(ReadExtended10(ext)));
        }
        case vaString: return Variant(ReadStreamShortString(Stream));
        case vaFalse: return Variant(false);
        case vaTrue: return Variant(true);
        case vaLString: return Variant(ReadText(Stream));
        case vaNil: return Unassigned();
        case vaSingle: return Variant::FromSingle(ReadLE<float>(Stream));
        case vaCurrency: return Variant::FromCurrencyUnits(ReadLE<int64_t>(Stream));
        case vaDate: return Variant::FromDate(ReadLE<double>(Stream));
        case vaWString: {
            int64_t count = ReadLE<int32_t>(Stream);
            if (count < 0) ReadFault();
            Need(Stream, count * 2);
            std::u16string wide(static_cast<size_t>(count), u'\0');
            for (char16_t& c : wide) c = ReadLE<uint16_t>(Stream);
            return Variant::FromOleStr(Utf16ToUtf8(wide));
        }
        default: ReadFault();
    }
}

namespace {
void WriteList(TStream* Stream, const TvxCriteriaItemList* List) {
    WriteLE<int32_t>(Stream, List->Count());
    for (int i = 0; i < List->Count(); ++i) {
        TvxCustomCriteriaItem* entry = List->Items(i);
        WriteLE<uint8_t>(Stream, entry->IsList() ? 1 : 0);
        WriteLE<uint8_t>(Stream, entry->Not() ? 1 : 0);
        if (entry->IsList()) {
            auto* sub = static_cast<TvxCriteriaItemList*>(entry);
            WriteLE<uint8_t>(Stream, sub->Or() ? 1 : 0);
            WriteList(Stream, sub);
        } else {
            auto* item = static_cast<TvxCriteriaItem*>(entry);
            WriteText(Stream, item->DisplayValue());
            WriteText(Stream, item->FieldName());
            WriteLE<uint8_t>(Stream, item->Operator());
            WriteCriteriaValue(Stream, item->Value());
        }
        entry->WriteData(Stream);
    }
}

int32_t ReadCount(TStream* Stream) {
    int32_t count = ReadLE<int32_t>(Stream);
    if (count < 0 || static_cast<int64_t>(count) * kMinEntrySize > BytesLeft(Stream)) ReadFault();
    return count;
}
}  // namespace

void TvxCriteria::WriteData(TStream* Stream) const { WriteList(Stream, root_.get()); }

void TvxCriteria::ReadData(TStream* Stream) {
    Clear();
    // Entries join the tree as soon as they are complete, so a fault keeps them.
    std::function<void(TvxCriteriaItemList*, int)> readList = [&](TvxCriteriaItemList* List, int Depth) {
        int32_t count = ReadCount(Stream);
        for (int32_t i = 0; i < count; ++i) {
            bool isList = ReadLE<uint8_t>(Stream) != 0;
            bool isNot = ReadLE<uint8_t>(Stream) != 0;
            TvxCustomCriteriaItem* entry;
            if (isList) {
                if (Depth >= kvxMaxCriteriaDepth) ReadFault();
                bool isOr = ReadLE<uint8_t>(Stream) != 0;
                TvxCriteriaItemList* sub = AddList(List, isOr);
                sub->SetNot(isNot);
                readList(sub, Depth + 1);
                entry = sub;
            } else {
                std::string displayValue = ReadText(Stream);
                std::string fieldName = ReadText(Stream);
                uint8_t op = ReadLE<uint8_t>(Stream);
                if (!IsValidOperatorKind(op)) ReadFault();
                Variant value = ReadCriteriaValue(Stream);
                TvxCriteriaItem* item = AddItem(List, fieldName, op, displayValue, value);
                item->SetNot(isNot);
                entry = item;
            }
            entry->ReadData(Stream);
        }
    };
    readList(root_.get(), 1);
    Loaded();
}
