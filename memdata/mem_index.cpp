#include "memdata/mem_index.h"

#include <algorithm>
#include <numeric>

#include "memdata/vx_mem_data.h"
#include "platform/db/field.h"
#include "platform/rtl/str_utils.h"

void TvxMemIndex::SetFieldName(const std::string& Value) {
    if (dataSet_->HasState(csLoading)) {
        pendingFieldName_ = Value;
        return;
    }
    if (AnsiSameText(Value, fieldName_) && field_) return;
    TField* f = dataSet_->FieldByName(Value);
    fieldName_ = f->FieldName();
    SetField(f);
}

void TvxMemIndex::ApplyPendingFieldName() {
    if (pendingFieldName_.empty()) return;
    std::string name = pendingFieldName_;
    pendingFieldName_.clear();
    fieldName_ = name;
    SetField(dataSet_->FindField(name));
}

bool TvxMemIndex::IsDirty() const {
    return isDirty_ || builtOrder_ != dataSet_->Store().OrderCount() ||
           builtCaseInsensitive_ != dataSet_->SortOptions().Contains(soCaseInsensitive);
}

void TvxMemIndex::Prepare() {
    if (!IsDirty()) return;
    sortedRecords_.clear();
    recordNumbers_.clear();
    TvxMemFields& store = dataSet_->Store();
    TvxMemField* d = field_ && store.HasRecordList() ? store.FindField(field_) : nullptr;
    if (d) {
        int n = store.RecordCount();
        recordNumbers_.resize(n);
        std::iota(recordNumbers_.begin(), recordNumbers_.end(), 0);
        std::stable_sort(recordNumbers_.begin(), recordNumbers_.end(), [&](int a, int b) {
            return dataSet_->CompareValues(store.Block(a) + d->DataOffset, store.Block(b) + d->DataOffset,
                                           d->DataType) < 0;
        });
        sortedRecords_.resize(n);
        for (int i = 0; i < n; ++i) sortedRecords_[i] = store.Block(recordNumbers_[i]);
    }
    isDirty_ = false;
    builtOrder_ = store.OrderCount();
    builtCaseInsensitive_ = dataSet_->SortOptions().Contains(soCaseInsensitive);
}

bool TvxMemIndex::Find(const uint8_t* Value, int& StoreIndex, bool CaseInsensitive) {
    Prepare();
    StoreIndex = -1;
    TvxMemField* d = field_ ? dataSet_->Store().FindField(field_) : nullptr;
    if (!d) return false;
    int pos;
    bool found = dataSet_->BinarySearch(
        static_cast<int>(sortedRecords_.size()), [&](int i) -> const uint8_t* { return sortedRecords_[i]; },
        d->DataOffset, Value, d->DataType, false, CaseInsensitive, -1, -1, pos);
    if (pos >= 0 && pos < static_cast<int>(recordNumbers_.size())) StoreIndex = recordNumbers_[pos];
    return found;
}

void TvxMemIndex::DropRecord(const uint8_t* Block) {
    if (IsDirty()) return;
    std::erase(sortedRecords_, Block);
    // The store numbers behind the deleted record move; the lists are rebuilt before use.
    isDirty_ = true;
}

TvxMemIndex* TvxMemIndexes::Add() {
    items_.push_back(std::make_unique<TvxMemIndex>(dataSet_));
    return items_.back().get();
}

TvxMemIndex* TvxMemIndexes::GetIndexByField(const TField* Field) const {
    for (const auto& i : items_)
        if (i->Field() == Field && Field) return i.get();
    return nullptr;
}

void TvxMemIndexes::Assign(const TvxMemIndexes& Source) {
    items_.clear();
    for (const auto& i : Source.items_) {
        TvxMemIndex* n = Add();
        if (!i->FieldName().empty()) n->SetFieldName(i->FieldName());
    }
}

void TvxMemIndexes::SetDirty() {
    for (auto& i : items_) i->SetIsDirty(true);
}
