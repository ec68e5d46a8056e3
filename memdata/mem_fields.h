#pragma once
// The memory table's record store: one descriptor per stored field and the list of record
// blocks. A block is TotalSize bytes: the values in their byte forms, in field order, with
// a flag byte in front of every eighth field that holds the has-value bits of that field
// and the seven after it; no padding, no header. Record buffers have the same layout, so a
// block and a buffer copy into each other whole. A field added later goes to the end and
// never takes over the bytes or bit of a removed one. Wide-string slots hold an owned
// std::u16string*: in a block only while the has-value bit is set, in a record buffer
// always (possibly empty). Values are deep-copied between buffers and blocks, so no string
// has two owners.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "memdata/mem_block_arena.h"
#include "platform/classes/object.h"
#include "platform/db/db_types.h"
#include "platform/rtl/variant.h"

class TField;
class TvxMemData;
class TvxMemFields;

class TvxMemField : public TObject {
public:
    explicit TvxMemField(TvxMemFields* AOwner);
    std::string ClassName() const override { return "TvxMemField"; }

    virtual void CreateField(TField* AField);
    // The numbering rule: a supplied value above the counter moves the counter up to it;
    // otherwise the counter is incremented and written into the block with has-value 1.
    // Past 2147483647 there is no next number: raises the table's error, changes nothing.
    void SetAutoIncValue(uint8_t* Block, std::optional<int32_t> Supplied);
    void CheckAutoIncValue(std::optional<int32_t> Supplied) const;

    uint8_t* Values(int r) const;
    bool HasValues(int r) const;
    void SetHasValues(int r, bool Flag);
    // The has-value bit in a block or record buffer.
    bool HasValue(const uint8_t* Rec) const { return (Rec[FlagOffset] & FlagMask) != 0; }
    void SetHasValue(uint8_t* Rec, bool Flag) const {
        Rec[FlagOffset] = static_cast<uint8_t>(Flag ? Rec[FlagOffset] | FlagMask : Rec[FlagOffset] & ~FlagMask);
    }

    TField* Field = nullptr;
    TFieldType DataType = ftUnknown;
    int DataSize = 0;
    int FlagOffset = 0;    // the byte holding the has-value bit
    uint8_t FlagMask = 1;  // the bit in it
    int DataOffset = 0;
    int32_t AutoIncValue = 0;
    TvxMemFields* Owner = nullptr;
    int Index = 0;
    bool IsRecId = false;
    bool IsAutoInc = false;
    bool IsWideString = false;
};

class TvxMemFields {
public:
    explicit TvxMemFields(TvxMemData* ADataSet);
    ~TvxMemFields();
    TvxMemFields(const TvxMemFields&) = delete;
    TvxMemFields& operator=(const TvxMemFields&) = delete;

    TvxMemField* AddField(TField* Field);
    TvxMemField* FindField(const TField* Field) const;
    TvxMemField* FindOrAddField(TField* Field);
    void RemoveField(TField* Field);
    TvxMemField* Items(int Index) const { return items_[Index].get(); }
    int FieldCount() const { return static_cast<int>(items_.size()); }
    int RecordCount() const { return values_ ? static_cast<int>(values_->size()) : 0; }
    bool HasRecordList() const { return values_ != nullptr; }
    void CreateRecordList();
    int TotalSize() const { return totalSize_; }
    TvxMemData* DataSet() const { return dataSet_; }
    std::vector<TField*>& CalcFields() { return calcFields_; }
    const std::vector<TvxMemField*>& AutoIncFields() const { return autoIncFields_; }

    uint8_t* Block(int r) const { return arena_->At((*values_)[r]); }
    uint8_t* At(TBlockRef Ref) const { return arena_->At(Ref); }
    const TMemBlockArena& Arena() const { return *arena_; }
    // Handing out the list for reordering counts as a change. The blocks belong to the
    // store: the list only orders them.
    std::vector<TBlockRef>& Records() {
        ++modCount_;
        ++orderCount_;
        return *values_;
    }
    const std::vector<TBlockRef>& RecordList() const { return *values_; }
    // Grows with every change to the records' content or order.
    uint64_t ModCount() const { return modCount_; }
    void Touch() { ++modCount_; }
    // Grows whenever blocks are added, removed, reordered or reallocated: what holds
    // record numbers or block addresses is stale after it moved.
    uint64_t OrderCount() const { return orderCount_; }

    void GetRecord(uint8_t* Buffer, int r) const;
    void SetRecord(const uint8_t* Buffer, int r);
    // Answers the index the block went to.
    int InsertRecord(const uint8_t* Buffer, int r, bool Append);
    // Stream loading: the descriptor with Index 0 starts a new block at the end, the
    // others write into the last block. A null Value writes has-value 0.
    void AddValue(TvxMemField* Field, const void* Value);
    void DeleteRecord(int r);
    // The records at Rows (ascending, each once) in one pass.
    void DeleteRecords(const std::vector<int>& Rows);
    // Has-value byte of the field in Buffer; Dest (may be null) takes the value.
    bool GetFieldData(const uint8_t* Buffer, const TField* Field, void* Dest) const;
    void SetFieldData(uint8_t* Buffer, const void* Value, const TField* Field);
    void Clear();
    // A descriptor added while records exist: every block grows by the new slot (and flag
    // byte), empty.
    void ExtendBlocks(int OldTotalSize);

    // Buffer helpers that keep the wide-string ownership rules.
    void InitBufferStrings(uint8_t* Buffer) const;  // fresh empty string per wide slot
    void FreeBufferStrings(uint8_t* Buffer) const;  // releases them
    void ClearBuffer(uint8_t* Buffer) const;        // all null, wide strings kept empty
    void CopyBlockToBuffer(const uint8_t* Block, uint8_t* Buffer) const;

private:
    void CopyBufferToNewBlock(const uint8_t* Buffer, uint8_t* Block) const;
    void FreeBlockStrings(uint8_t* Block) const;

    std::vector<std::unique_ptr<TvxMemField>> items_;
    std::vector<TField*> calcFields_;
    TvxMemData* dataSet_;
    TBlockRef NewBlock();

    std::unique_ptr<std::vector<TBlockRef>> values_;
    std::unique_ptr<TMemBlockArena> arena_;
    std::vector<TvxMemField*> autoIncFields_;
    std::vector<TvxMemField*> wideStringFields_;
    int totalSize_ = 0;
    int flagOffset_ = 0;  // the flag byte that the next field's bit goes to
    int flagBits_ = 0;    // bits of it taken; a new flag byte starts at 0 and after 8
    uint64_t modCount_ = 0;
    uint64_t orderCount_ = 0;
};

// The Variant in the field's byte form; false for a type the table cannot store.
bool VariantToBuffer(const Variant& Value, uint8_t* Dest, const TField* Field);

// The wide string handle kept in a slot.
std::u16string* WideSlot(const uint8_t* Slot);
// The text of a wide slot for comparing: a block's null slot holds no string and reads as
// the empty text.
const std::u16string& WideText(const uint8_t* Slot);
void SetWideSlot(uint8_t* Slot, std::u16string* Value);
