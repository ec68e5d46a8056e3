#include "memdata/mem_fields.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "memdata/mem_list_growth.h"
#include "memdata/vx_mem_data.h"
#include "platform/db/date_time_fields.h"
#include "platform/db/db_consts.h"
#include "platform/db/field.h"
#include "platform/db/wide_string_field.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/erase_at.h"
#include "platform/rtl/str_utils.h"

std::u16string* WideSlot(const uint8_t* Slot) {
    std::u16string* p;
    std::memcpy(&p, Slot, sizeof p);
    return p;
}

const std::u16string& WideText(const uint8_t* Slot) {
    static const std::u16string empty;
    const std::u16string* s = WideSlot(Slot);
    return s ? *s : empty;
}

void SetWideSlot(uint8_t* Slot, std::u16string* Value) { std::memcpy(Slot, &Value, sizeof Value); }

namespace {
void FreeWide(uint8_t* Slot) {
    std::unique_ptr<std::u16string> owned(WideSlot(Slot));
    SetWideSlot(Slot, nullptr);
}
}  // namespace

// ---------------------------------------------------------------- TvxMemField

TvxMemField::TvxMemField(TvxMemFields* AOwner) : Owner(AOwner), Index(AOwner->FieldCount()) {}

void TvxMemField::CreateField(TField* AField) {
    Field = AField;
    DataType = AField->DataType();
    DataSize = AField->DataSize();
    IsRecId = AnsiUpperCase(AField->FieldName()) == "RECID";
    IsAutoInc = IsRecId || DataType == ftAutoInc;
    IsWideString = DataType == ftWideString;
    AutoIncValue = 0;
}

uint8_t* TvxMemField::Values(int r) const { return Owner->Block(r) + DataOffset; }
bool TvxMemField::HasValues(int r) const { return HasValue(Owner->Block(r)); }

void TvxMemField::SetHasValues(int r, bool Flag) {
    Owner->Touch();
    uint8_t* block = Owner->Block(r);
    if (IsWideString) {
        if (HasValue(block) && !Flag)
            FreeWide(block + DataOffset);
        else if (!HasValue(block) && Flag)
            SetWideSlot(block + DataOffset, new std::u16string());
    }
    SetHasValue(block, Flag);
}

void TvxMemField::CheckAutoIncValue(std::optional<int32_t> Supplied) const {
    bool counts = !Supplied || *Supplied <= AutoIncValue;
    if (counts && AutoIncValue == INT32_MAX)
        DatabaseError(DbFmt("Field '%s': no number left after 2147483647", Field->FieldName()));
}

void TvxMemField::SetAutoIncValue(uint8_t* Block, std::optional<int32_t> Supplied) {
    CheckAutoIncValue(Supplied);
    if (Supplied && *Supplied > AutoIncValue) {
        AutoIncValue = *Supplied;
        return;
    }
    ++AutoIncValue;
    SetHasValue(Block, true);
    std::memcpy(Block + DataOffset, &AutoIncValue, 4);
}

// ---------------------------------------------------------------- TvxMemFields

TvxMemFields::TvxMemFields(TvxMemData* ADataSet) : dataSet_(ADataSet) {}

TvxMemFields::~TvxMemFields() { Clear(); }

TvxMemField* TvxMemFields::AddField(TField* Field) {
    items_.push_back(std::make_unique<TvxMemField>(this));
    TvxMemField* f = items_.back().get();
    f->CreateField(Field);
    if (f->IsWideString) wideStringFields_.push_back(f);
    if (f->IsAutoInc) autoIncFields_.push_back(f);
    // Always at the end: the bytes and bits of removed fields may still hold their values.
    if (flagBits_ == 0 || flagBits_ == 8) {
        flagOffset_ = totalSize_++;
        flagBits_ = 0;
    }
    f->FlagOffset = flagOffset_;
    f->FlagMask = static_cast<uint8_t>(1u << flagBits_++);
    f->DataOffset = totalSize_;
    totalSize_ += f->DataSize;
    return f;
}

TvxMemField* TvxMemFields::FindField(const TField* Field) const {
    for (const auto& f : items_)
        if (f->Field == Field) return f.get();
    return nullptr;
}

TvxMemField* TvxMemFields::FindOrAddField(TField* Field) {
    TvxMemField* f = FindField(Field);
    return f ? f : AddField(Field);
}

void TvxMemFields::RemoveField(TField* Field) {
    ++modCount_;
    TvxMemField* f = FindField(Field);
    if (!f) return;
    std::erase(autoIncFields_, f);
    std::erase(wideStringFields_, f);
    std::erase(calcFields_, Field);
    // Strings of the slot are released now: nothing will read them again.
    if (f->IsWideString && values_)
        for (TBlockRef ref : *values_)
            if (uint8_t* b = At(ref); f->HasValue(b)) FreeWide(b + f->DataOffset);
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == f) {
            items_.erase(items_.begin() + static_cast<long>(i));
            break;
        }
}

void TvxMemFields::CreateRecordList() {
    ++modCount_;
    ++orderCount_;
    values_ = std::make_unique<std::vector<TBlockRef>>();
    arena_ = std::make_unique<TMemBlockArena>(totalSize_);
}

void TvxMemFields::FreeBlockStrings(uint8_t* Block) const {
    for (TvxMemField* f : wideStringFields_)
        if (f->HasValue(Block)) FreeWide(Block + f->DataOffset);
}

void TvxMemFields::InitBufferStrings(uint8_t* Buffer) const {
    for (TvxMemField* f : wideStringFields_) SetWideSlot(Buffer + f->DataOffset, new std::u16string());
}

void TvxMemFields::FreeBufferStrings(uint8_t* Buffer) const {
    for (TvxMemField* f : wideStringFields_) FreeWide(Buffer + f->DataOffset);
}

void TvxMemFields::ClearBuffer(uint8_t* Buffer) const {
    std::vector<std::u16string*> keep;
    for (TvxMemField* f : wideStringFields_) keep.push_back(WideSlot(Buffer + f->DataOffset));
    std::memset(Buffer, 0, totalSize_);
    for (size_t i = 0; i < keep.size(); ++i) {
        keep[i]->clear();
        SetWideSlot(Buffer + wideStringFields_[i]->DataOffset, keep[i]);
    }
}

void TvxMemFields::CopyBlockToBuffer(const uint8_t* Block, uint8_t* Buffer) const {
    if (wideStringFields_.empty()) {
        std::memcpy(Buffer, Block, totalSize_);
        return;
    }
    std::vector<std::u16string*> keep;
    for (TvxMemField* f : wideStringFields_) keep.push_back(WideSlot(Buffer + f->DataOffset));
    std::memcpy(Buffer, Block, totalSize_);
    for (size_t i = 0; i < keep.size(); ++i) {
        TvxMemField* f = wideStringFields_[i];
        if (f->HasValue(Block))
            *keep[i] = *WideSlot(Block + f->DataOffset);
        else
            keep[i]->clear();
        SetWideSlot(Buffer + f->DataOffset, keep[i]);
    }
}

void TvxMemFields::GetRecord(uint8_t* Buffer, int r) const { CopyBlockToBuffer(Block(r), Buffer); }

void TvxMemFields::CopyBufferToNewBlock(const uint8_t* Buffer, uint8_t* Block) const {
    std::memcpy(Block, Buffer, totalSize_);
    for (TvxMemField* f : wideStringFields_)
        SetWideSlot(Block + f->DataOffset,
                    f->HasValue(Block) ? new std::u16string(*WideSlot(Buffer + f->DataOffset)) : nullptr);
}

void TvxMemFields::SetRecord(const uint8_t* Buffer, int r) {
    ++modCount_;
    uint8_t* block = Block(r);
    if (wideStringFields_.empty()) {
        std::memcpy(block, Buffer, totalSize_);
        return;
    }
    for (const auto& fp : items_) {
        TvxMemField* f = fp.get();
        bool has = f->HasValue(Buffer);
        if (f->IsWideString) {
            f->SetHasValues(r, has);
            if (has) *WideSlot(block + f->DataOffset) = *WideSlot(Buffer + f->DataOffset);
        } else {
            f->SetHasValue(block, has);
            if (has) std::memcpy(block + f->DataOffset, Buffer + f->DataOffset, f->DataSize);
        }
    }
}

namespace {
std::optional<int32_t> SuppliedNumber(const uint8_t* Buffer, const TvxMemField* f) {
    if (!Buffer || !f->HasValue(Buffer)) return std::nullopt;
    int32_t v;
    std::memcpy(&v, Buffer + f->DataOffset, 4);
    return v;
}
}  // namespace

int TvxMemFields::InsertRecord(const uint8_t* Buffer, int r, bool Append) {
    // Refused before anything changes.
    for (TvxMemField* f : autoIncFields_) f->CheckAutoIncValue(SuppliedNumber(Buffer, f));
    ++modCount_;
    ++orderCount_;
    MakeRoomForOneMore(*values_);
    TBlockRef ref = NewBlock();
    uint8_t* raw = At(ref);
    CopyBufferToNewBlock(Buffer, raw);
    int at;
    if (Append) {
        values_->push_back(ref);
        at = RecordCount() - 1;
    } else {
        at = r < 0 ? 0 : std::min(r, RecordCount());
        values_->insert(values_->begin() + at, ref);
    }
    for (TvxMemField* f : autoIncFields_) f->SetAutoIncValue(raw, SuppliedNumber(Buffer, f));
    return at;
}

void TvxMemFields::AddValue(TvxMemField* Field, const void* Value) {
    ++modCount_;
    if (Field->Index == 0) {
        ++orderCount_;
        MakeRoomForOneMore(*values_);
        values_->push_back(NewBlock());
    }
    if (values_->empty()) return;
    uint8_t* block = At(values_->back());
    int r = RecordCount() - 1;
    if (Field->IsWideString) {
        Field->SetHasValues(r, Value != nullptr);
        if (Value) *WideSlot(block + Field->DataOffset) = *static_cast<const std::u16string*>(Value);
    } else {
        Field->SetHasValue(block, Value != nullptr);
        if (Value) std::memcpy(block + Field->DataOffset, Value, Field->DataSize);
    }
    if (Field->IsAutoInc) {
        std::optional<int32_t> supplied;
        if (Value) {
            int32_t v;
            std::memcpy(&v, Value, 4);
            supplied = v;
        }
        Field->SetAutoIncValue(block, supplied);
    }
}

void TvxMemFields::DeleteRecord(int r) {
    ++modCount_;
    ++orderCount_;
    FreeBlockStrings(Block(r));
    arena_->Free((*values_)[r]);
    values_->erase(values_->begin() + r);
}

void TvxMemFields::DeleteRecords(const std::vector<int>& Rows) {
    ++modCount_;
    ++orderCount_;
    for (int r : Rows) {
        FreeBlockStrings(Block(r));
        arena_->Free((*values_)[r]);
    }
    EraseAt(*values_, Rows);
}

bool TvxMemFields::GetFieldData(const uint8_t* Buffer, const TField* Field, void* Dest) const {
    TvxMemField* f = FindField(Field);
    if (!f || !Buffer) return false;
    bool has = f->HasValue(Buffer);
    if (Dest) {
        if (f->IsWideString) {
            auto* d = static_cast<std::u16string*>(Dest);
            std::u16string* s = WideSlot(Buffer + f->DataOffset);
            if (has && s)
                *d = *s;
            else
                d->clear();
        } else {
            std::memcpy(Dest, Buffer + f->DataOffset, f->DataSize);
        }
    }
    return has;
}

void TvxMemFields::SetFieldData(uint8_t* Buffer, const void* Value, const TField* Field) {
    TvxMemField* f = FindField(Field);
    if (!f || !Buffer) return;
    // Calculated values come from the refresh pass alone. A lookup value depends only on
    // the record's keys, so the framework's recalculation after a key changes is taken: the
    // record shows it at once and posts it with the rest.
    if (dataSet_ && dataSet_->State() == dsCalcFields && Field->FieldKind() == fkCalculated) return;
    f->SetHasValue(Buffer, Value != nullptr);
    if (f->IsWideString) {
        std::u16string* s = WideSlot(Buffer + f->DataOffset);
        if (!s) return;
        if (Value) {
            *s = *static_cast<const std::u16string*>(Value);
            if (Field->Size() > 0 && s->size() > static_cast<size_t>(Field->Size())) s->resize(Field->Size());
        } else {
            s->clear();
        }
    } else if (Value) {
        std::memcpy(Buffer + f->DataOffset, Value, f->DataSize);
    } else {
        std::memset(Buffer + f->DataOffset, 0, f->DataSize);
    }
}

void TvxMemFields::Clear() {
    ++modCount_;
    ++orderCount_;
    if (values_) {
        for (TBlockRef ref : *values_) FreeBlockStrings(At(ref));
        values_.reset();
        arena_.reset();
    }
    items_.clear();
    calcFields_.clear();
    autoIncFields_.clear();
    wideStringFields_.clear();
    totalSize_ = 0;
    flagOffset_ = 0;
    flagBits_ = 0;
}

void TvxMemFields::ExtendBlocks(int OldTotalSize) {
    ++modCount_;
    ++orderCount_;
    if (!values_ || OldTotalSize == totalSize_) return;
    // Every block moves to an arena of the new size; the old one goes with its blocks.
    auto grown = std::make_unique<TMemBlockArena>(totalSize_);
    for (TBlockRef& ref : *values_) {
        TBlockRef n = grown->Allocate();
        std::memcpy(grown->At(n), At(ref), std::min(OldTotalSize, totalSize_));
        ref = n;
    }
    arena_ = std::move(grown);
}

TBlockRef TvxMemFields::NewBlock() {
    // A layout that changed while the table held no records gets blocks of its new size.
    if (!arena_ || (arena_->BlockSize() != totalSize_ && RecordCount() == 0))
        arena_ = std::make_unique<TMemBlockArena>(totalSize_);
    return arena_->Allocate();
}

bool VariantToBuffer(const Variant& Value, uint8_t* Dest, const TField* Field) {
    switch (Field->DataType()) {
        case ftString: {
            std::string bytes = Value.AsString();
            if (!std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
                bytes = Utf8ToCp1252(bytes);
            if (bytes.size() > static_cast<size_t>(Field->Size())) bytes.resize(Field->Size());
            std::memcpy(Dest, bytes.data(), bytes.size());
            Dest[bytes.size()] = 0;
            return true;
        }
        case ftSmallint: {
            int16_t v = static_cast<int16_t>(Value.AsInteger());
            std::memcpy(Dest, &v, 2);
            return true;
        }
        case ftWord: {
            uint16_t v = static_cast<uint16_t>(Value.AsInteger());
            std::memcpy(Dest, &v, 2);
            return true;
        }
        case ftInteger:
        case ftAutoInc: {
            int32_t v = Value.AsInteger();
            std::memcpy(Dest, &v, 4);
            return true;
        }
        case ftBoolean: {
            uint16_t v = Value.AsBoolean() ? 1 : 0;
            std::memcpy(Dest, &v, 2);
            return true;
        }
        case ftFloat:
        case ftCurrency: {
            double v = Value.AsDouble();
            std::memcpy(Dest, &v, 8);
            return true;
        }
        case ftBCD: {
            int64_t v = static_cast<int64_t>(std::llround(Value.AsDouble() * 10000.0));
            std::memcpy(Dest, &v, 8);
            return true;
        }
        case ftDate:
        case ftTime:
        case ftDateTime: DateTimeToNative(Field->DataType(), Value.AsDate(), Dest); return true;
        case ftWideString: {
            std::u16string* s = WideSlot(Dest);
            if (!s) return false;
            *s = Utf8ToUtf16(Value.AsString());
            if (Field->Size() > 0 && s->size() > static_cast<size_t>(Field->Size())) s->resize(Field->Size());
            return true;
        }
        case ftLargeint: {
            int64_t v = Value.AsInt64();
            std::memcpy(Dest, &v, 8);
            return true;
        }
        default: return false;
    }
}
