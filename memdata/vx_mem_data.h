#pragma once
// TvxMemData: a dataset whose records live only in memory. Record buffers are the record
// block, then a 4-byte record id (the bookmark), the bookmark flag, and one owned string
// per blob field. The table keeps itself sorted by SortedField, filters through
// OnFilterRecord by a list of passing record numbers, and loads records from text files,
// binary streams and the data stored with the component. It always owns the hidden
// calculated integer field "RecId", numbered per record.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "memdata/mem_fields.h"
#include "memdata/mem_id_positions.h"
#include "memdata/mem_index.h"
#include "memdata/mem_persistent.h"
#include "memdata/mem_prefix_levels.h"
#include "platform/db/dataset.h"
#include "platform/db/db_types.h"

class TIntegerField;
class TMemBlobStream;

enum TvxSortOption { soDesc, soCaseInsensitive };
using TvxSortOptions = TEnumSet<TvxSortOption>;

class TvxMemData : public TDataSet {
public:
    explicit TvxMemData(TComponent* AOwner);
    ~TvxMemData() override;
    std::string ClassName() const override { return "TvxMemData"; }
    void SetName(const std::string& NewName) override;
    void Loaded() override;

    // Published.
    TvxMemIndexes& Indexes() { return *indexes_; }
    TvxMemPersistent& Persistent() { return *persistent_; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool Value) { readOnly_ = Value; }
    TvxSortOptions SortOptions() const { return sortOptions_; }
    void SetSortOptions(TvxSortOptions Value);
    const std::string& SortedField() const { return sortedField_; }
    void SetSortedField(const std::string& Value);
    char Delimiter() const { return delimiter_; }
    void SetDelimiter(char Value) { delimiter_ = Value; }

    TIntegerField* RecIdField() const { return recIdField_; }
    TField* SortField() const { return sortField_; }
    bool Loading() const { return loading_; }
    bool FilterActive() const { return filterActive_; }
    bool Changed() const { return changed_; }
    void SetChanged(bool Value) { changed_ = Value; }
    int CurRec() const { return curRec_; }
    int FilterRecPos() const { return filterRecPos_; }
    const std::vector<int>& FilterList() const { return filterList_; }
    const std::vector<int32_t>& Ids() const { return ids_; }
    TvxMemFields& Store() { return *store_; }
    int BlobOffset() const { return blobOffset_; }
    int RecordDataSize() const { return recordDataSize_; }

    // Framework overrides (public part).
    int RecNo() const override;
    void SetRecNo(int Value) override;
    int RecordCount() const override;
    bool GetFieldData(TField* Field, void* Buffer) override;
    void SetFieldData(TField* Field, const void* Buffer) override;
    bool GetCurrentRecord(TRecordBuffer Buffer) override;
    bool BookmarkValid(const TBookmark& Value) override;
    // In one pass over the table, unless a handler of the one-by-one deletion wants each
    // record current.
    int DeleteRecords(const std::vector<TBookmark>& Bookmarks) override;
    int CompareBookmarks(const TBookmark& B1, const TBookmark& B2) override;
    std::unique_ptr<TStream> CreateBlobStream(TField* Field, TBlobStreamMode Mode) override;
    bool Locate(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options) override;
    Variant Lookup(const std::string& KeyFields, const Variant& KeyValues, const std::string& ResultFields) override;
    void SetOnFilterRecord(const TFilterRecordEvent& Value) override;
    void SetFiltered(bool Value) override;

    // Sorting, searching, filtering.
    int CompareValues(const uint8_t* A, const uint8_t* B, TFieldType FieldType) const;
    void Resort();
    virtual bool CheckFilterRecord();
    virtual int GetRecNoByFieldValue(const Variant& Value, const std::string& FieldName);
    virtual bool SupportedFieldType(TFieldType FieldType) const;
    virtual void UpdateFilterList();
    // Binary search among records sorted by the value at Offset; see LocateRecord.
    using TRecordAt = std::function<const uint8_t*(int)>;
    bool BinarySearch(int Count, const TRecordAt& Record, int Offset, const uint8_t* Value, TFieldType Type, bool Desc,
                      bool CaseInsensitive, int Low, int High, int& Pos) const;

    // Loading and saving.
    void LoadFromStream(TStream* Stream);
    void SaveToTextFile(const std::string& FileName);
    void LoadFromTextFile(const std::string& FileName);

    // The blob values of the record buffer.
    std::string& BufferBlob(TRecordBuffer Buffer, int BlobIndex) const;
    TRecordBuffer ActiveRecBuf() const;
    // Blob entry of a stored record (null when it has none).
    std::vector<std::string>* StoredBlobs(int r) const;
    int BlobRecordIndex() const;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void FieldListNotify(TField* Field, TOperation Operation) override;

    TRecordBuffer AllocRecordBuffer() override;
    void FreeRecordBuffer(TRecordBuffer& Buffer) override;
    void GetBookmarkData(TRecordBuffer Buffer, void* Data) override;
    TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) override;
    void SetBookmarkData(TRecordBuffer Buffer, const void* Data) override;
    void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) override;
    TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) override;
    int GetRecordSize() override { return recordDataSize_; }
    void InternalOpen() override;
    void InternalClose() override;
    bool IsCursorOpen() const override { return isOpen_; }
    void InternalFirst() override;
    void InternalLast() override;
    void InternalGotoBookmark(const void* Bookmark) override;
    void InternalSetToRecord(TRecordBuffer Buffer) override;
    void InternalInitRecord(TRecordBuffer Buffer) override;
    void InternalInitFieldDefs() override;
    void InternalAddRecord(TRecordBuffer Buffer, bool Append) override;
    void InternalDelete() override;
    void InternalPost() override;
    void InternalInsert() override;
    void InternalRefresh() override;
    void InternalHandleException() override {}
    bool GetCanModify() const override { return !readOnly_ || loading_; }
    void ClearCalcFields(TRecordBuffer Buffer) override;
    void CloseBlob(TField* Field) override;

    void DoAfterCancel() override;
    void DoAfterClose() override;
    void DoAfterInsert() override;
    void DoAfterPost() override;
    void DoBeforeClose() override;
    void DoBeforeInsert() override;
    void DoBeforeOpen() override;
    void DoBeforePost() override;
    void DoOnNewRecord() override;
    void DoAfterOpen() override;

private:
    friend class TMemBlobStream;
    friend class TvxMemIndex;
    int LocateRecord(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options);
    void MoveCurRecToSortedPlace();
    void MoveRecord(int From, int To);
    void StoreBlobs(TRecordBuffer Buffer, int r);
    void InsertFilterNumber(int r);
    void QuickSort(int L, int R, int ValueOffset, TFieldType Type, bool Desc);
    int CmpRecords(const uint8_t* A, const uint8_t* B, int ValueOffset, TFieldType Type, bool Desc) const;
    bool PartialMatch(const uint8_t* Key, const uint8_t* RecValue, TFieldType Type, TLocateOptions Options) const;
    void SetLoading(bool Value) { loading_ = Value; }
    void RenumberRecIds();
    void ReadStream(TStream* Stream);
    void FreeScratchBuffer();
    // The store index of the record with the id, -1 when there is none.
    int PositionOfId(int32_t Id) { return idPositions_.Find(ids_, store_->OrderCount(), Id); }
    // The place of store index r in the filter list, -1 when it is not there.
    int FilterPositionOf(int r) const;

    bool isOpen_ = false;
    std::unique_ptr<TvxMemFields> store_;
    int blobOffset_ = 0;
    int recordDataSize_ = 0;
    int curRec_ = -1;
    int filterRecPos_ = -1;
    std::vector<int32_t> ids_;
    TMemIdPositions idPositions_;
    std::vector<std::unique_ptr<std::vector<std::string>>> blobs_;
    std::vector<int> filterList_;
    int32_t lastId_ = 0;
    bool changed_ = false;
    bool readOnly_ = false;
    TIntegerField* recIdField_ = nullptr;
    TvxSortOptions sortOptions_;
    std::string sortedField_;
    TField* sortField_ = nullptr;
    bool loading_ = false;
    char delimiter_ = '\t';
    bool filterActive_ = false;
    int searchLow_ = -1;
    int searchHigh_ = -1;
    std::unique_ptr<TvxMemIndexes> indexes_;
    std::unique_ptr<TvxMemPersistent> persistent_;
    TRecordBuffer filterBuffer_ = nullptr;
    int sortRecIdOffset_ = -1;  // RecId value offset while sorting, -1 without RecId
    // Text-key prefixes of the records in store order, valid for one store version; null
    // for the first search after a change.
    const std::vector<uint64_t>* SortPrefixes(int Offset);
    // The first record whose sort text (byte-wise order, at Offset) equals Key, or -1.
    int FindSortedText(int Offset, const uint8_t* Key, bool Desc);
    std::vector<uint64_t> prefixes_;
    TMemPrefixLevels prefixLevels_;  // built with the row
    uint64_t prefixModCount_ = UINT64_MAX;
    uint64_t prefixWantedAt_ = UINT64_MAX;  // store version of the last search without the row
    int prefixOffset_ = -1;
};
