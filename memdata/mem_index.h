#pragma once
// Extra sorted indexes of the memory table: each keeps the table's records ordered by one
// field, ascending, rebuilt lazily when marked dirty.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TField;
class TvxMemData;

class TvxMemIndex {
public:
    explicit TvxMemIndex(TvxMemData* ADataSet) : dataSet_(ADataSet) {}

    const std::string& FieldName() const { return fieldName_; }
    // While the table is being read from its form the name waits for Loaded.
    void SetFieldName(const std::string& Value);
    TField* Field() const { return field_; }
    void SetField(TField* Value) {
        field_ = Value;
        isDirty_ = true;
    }
    // Also dirty when the store's blocks moved or the table's case rule changed since the
    // lists were built: their record numbers and order would lead to wrong records.
    bool IsDirty() const;
    void SetIsDirty(bool Value) { isDirty_ = Value; }
    // Rebuilds the sorted lists when dirty.
    void Prepare();
    // Binary search by the index field: found and the store index of the record.
    bool Find(const uint8_t* Value, int& StoreIndex, bool CaseInsensitive);
    // The record block at sorted position i and its store index.
    const std::vector<uint8_t*>& SortedRecords() const { return sortedRecords_; }
    const std::vector<int>& RecordNumbers() const { return recordNumbers_; }
    void DropRecord(const uint8_t* Block);
    void ApplyPendingFieldName();

private:
    TvxMemData* dataSet_;
    bool isDirty_ = true;
    TField* field_ = nullptr;
    std::string pendingFieldName_;
    std::string fieldName_;
    std::vector<uint8_t*> sortedRecords_;
    std::vector<int> recordNumbers_;
    uint64_t builtOrder_ = 0;
    bool builtCaseInsensitive_ = false;
};

class TvxMemIndexes {
public:
    explicit TvxMemIndexes(TvxMemData* ADataSet) : dataSet_(ADataSet) {}
    TvxMemIndex* Add();
    int Count() const { return static_cast<int>(items_.size()); }
    TvxMemIndex* Items(int Index) const { return items_.at(Index).get(); }
    void Delete(int Index) { items_.erase(items_.begin() + Index); }
    void Clear() { items_.clear(); }
    TvxMemIndex* GetIndexByField(const TField* Field) const;
    void Assign(const TvxMemIndexes& Source);
    void SetDirty();

private:
    TvxMemData* dataSet_;
    std::vector<std::unique_ptr<TvxMemIndex>> items_;
};
