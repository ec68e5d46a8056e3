#include "memdata/vx_mem_data.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "memdata/mem_blob_stream.h"
#include "memdata/mem_list_growth.h"
#include "platform/db/blob_field.h"
#include "platform/db/db_consts.h"
#include "platform/db/field.h"
#include "platform/db/numeric_fields.h"
#include "platform/rtl/erase_at.h"

namespace {
constexpr int kBookmarkSize = 4;
}

TvxMemData::TvxMemData(TComponent* AOwner) : TDataSet(AOwner) {
    store_ = std::make_unique<TvxMemFields>(this);
    indexes_ = std::make_unique<TvxMemIndexes>(this);
    persistent_ = std::make_unique<TvxMemPersistent>(this);
    recIdField_ = new TIntegerField(this);
    recIdField_->SetName("RecId");
    recIdField_->SetFieldName("RecId");
    recIdField_->SetFieldKind(fkCalculated);
    recIdField_->SetVisible(false);
    recIdField_->SetDataSet(this);
}

TvxMemData::~TvxMemData() {
    DestroyingClose();
    FreeScratchBuffer();
}

void TvxMemData::FreeScratchBuffer() {
    // Only while the layout it was made for still stands: its strings are found through it.
    if (filterBuffer_) FreeRecordBuffer(filterBuffer_);
}

void TvxMemData::SetName(const std::string& NewName) {
    TDataSet::SetName(NewName);
    if (recIdField_ && recIdField_->Owner() == this) recIdField_->SetName(NewName + "RecId");
}

void TvxMemData::Loaded() {
    TDataSet::Loaded();
    for (int i = 0; i < indexes_->Count(); ++i) indexes_->Items(i)->ApplyPendingFieldName();
    if (Active() && persistent_->Option() == poLoad) persistent_->LoadData();
}

void TvxMemData::Notification(TComponent* AComponent, TOperation Operation) {
    TDataSet::Notification(AComponent, Operation);
}

void TvxMemData::FieldListNotify(TField* Field, TOperation Operation) {
    if (Operation == opRemove) {
        // Pointers to a leaving field are dropped whatever the state: it may be freed next.
        if (Field == recIdField_) recIdField_ = nullptr;
        if (Field == sortField_) sortField_ = nullptr;
        for (int i = 0; i < indexes_->Count(); ++i)
            if (indexes_->Items(i)->Field() == Field) indexes_->Items(i)->SetField(nullptr);
    }
    if (!Active() || loading_ || HasState(csDestroying)) return;
    if (Operation == opRemove) {
        // The ring is freed while it still knows the slot's wide strings.
        if (store_->FindField(Field))
            ReallocateBuffers([&] {
                FreeScratchBuffer();
                store_->RemoveField(Field);
            });
    } else if (!Field->IsBlob() && !store_->FindField(Field)) {
        // The new slot goes to the end of every block, empty, so no block is written past
        // its end; the ring is rebuilt for the longer record.
        CheckBrowseMode();
        ReallocateBuffers([&] {
            FreeScratchBuffer();
            int old = store_->TotalSize();
            store_->FindOrAddField(Field);
            store_->ExtendBlocks(old);
            recordDataSize_ = store_->TotalSize();
            blobOffset_ = recordDataSize_ + kBookmarkSize + 1;
        });
    }
}

// ---------------------------------------------------------------- record buffers

TRecordBuffer TvxMemData::AllocRecordBuffer() {
    size_t size = static_cast<size_t>(blobOffset_) + static_cast<size_t>(BlobFieldCount()) * sizeof(std::string*);
    auto buf = std::make_unique<uint8_t[]>(size);
    std::memset(buf.get(), 0, size);
    store_->InitBufferStrings(buf.get());
    for (int i = 0; i < BlobFieldCount(); ++i) {
        std::string* s = new std::string();
        std::memcpy(buf.get() + blobOffset_ + i * sizeof(std::string*), &s, sizeof s);
    }
    return buf.release();
}

void TvxMemData::FreeRecordBuffer(TRecordBuffer& Buffer) {
    if (!Buffer) return;
    std::unique_ptr<uint8_t[]> owned(Buffer);
    for (int i = 0; i < BlobFieldCount(); ++i) {
        std::string* s;
        std::memcpy(&s, Buffer + blobOffset_ + i * sizeof(std::string*), sizeof s);
        std::unique_ptr<std::string> str(s);
    }
    store_->FreeBufferStrings(Buffer);
    Buffer = nullptr;
}

std::string& TvxMemData::BufferBlob(TRecordBuffer Buffer, int BlobIndex) const {
    std::string* s;
    std::memcpy(&s, Buffer + blobOffset_ + BlobIndex * sizeof(std::string*), sizeof s);
    return *s;
}

void TvxMemData::GetBookmarkData(TRecordBuffer Buffer, void* Data) {
    std::memcpy(Data, Buffer + recordDataSize_, kBookmarkSize);
}

void TvxMemData::SetBookmarkData(TRecordBuffer Buffer, const void* Data) {
    std::memcpy(Buffer + recordDataSize_, Data, kBookmarkSize);
}

TBookmarkFlag TvxMemData::GetBookmarkFlag(TRecordBuffer Buffer) {
    return static_cast<TBookmarkFlag>(Buffer[recordDataSize_ + kBookmarkSize]);
}

void TvxMemData::SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) {
    Buffer[recordDataSize_ + kBookmarkSize] = Value;
}

TRecordBuffer TvxMemData::ActiveRecBuf() const {
    switch (State()) {
        case dsBrowse: return IsEmpty() ? nullptr : ActiveBuffer();
        case dsEdit:
        case dsInsert: return ActiveBuffer();
        case dsCalcFields: return CalcBuffer();
        case dsFilter: return filterBuffer_;
        default: return nullptr;
    }
}

std::vector<std::string>* TvxMemData::StoredBlobs(int r) const {
    if (r < 0 || r >= static_cast<int>(blobs_.size())) return nullptr;
    return blobs_[r].get();
}

int TvxMemData::BlobRecordIndex() const {
    int count = store_->RecordCount();
    if (count == 0) return -1;
    if (filterActive_) {
        if (filterRecPos_ < 0 || filterRecPos_ >= static_cast<int>(filterList_.size())) return -1;
        return filterList_[filterRecPos_] - 1;
    }
    if (curRec_ < 0) return 0;
    if (curRec_ >= count) return count - 1;
    return curRec_;
}

void TvxMemData::StoreBlobs(TRecordBuffer Buffer, int r) {
    int count = store_->RecordCount();
    if (BlobFieldCount() == 0 || count == 0) return;
    if (r < 0) r = 0;
    if (r >= count) r = count - 1;
    if (r >= static_cast<int>(blobs_.size())) return;
    auto entry = std::make_unique<std::vector<std::string>>(BlobFieldCount());
    for (int i = 0; i < BlobFieldCount(); ++i) (*entry)[i] = BufferBlob(Buffer, i);
    blobs_[r] = std::move(entry);
}

// ---------------------------------------------------------------- reading records

TGetResult TvxMemData::GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) {
    if (!store_->HasRecordList()) return grError;
    if (store_->RecordCount() == 0) return grEOF;
    int& p = filterActive_ ? filterRecPos_ : curRec_;
    int n = RecordCount();
    TGetResult result = grOK;
    switch (GetMode) {
        case gmCurrent:
            if (p < 0 || p >= n) result = grError;
            break;
        case gmNext:
            if (p < n - 1)
                ++p;
            else
                result = grEOF;
            break;
        case gmPrior:
            if (p > 0)
                --p;
            else
                result = grBOF;
            break;
    }
    if (filterActive_) curRec_ = result == grOK && p >= 0 && p < n ? filterList_[p] - 1 : -1;
    if (result == grOK && (curRec_ < 0 || curRec_ >= store_->RecordCount())) result = grError;
    if (result == grOK) {
        store_->GetRecord(Buffer, curRec_);
        SetBookmarkFlag(Buffer, bfCurrent);
        SetBookmarkData(Buffer, &ids_[curRec_]);
        std::vector<std::string>* entry = StoredBlobs(curRec_);
        for (int i = 0; i < BlobFieldCount(); ++i) BufferBlob(Buffer, i) = entry ? (*entry)[i] : std::string();
    } else if (result == grError && DoCheck) {
        DatabaseError("No Records");
    }
    return result;
}

bool TvxMemData::GetCurrentRecord(TRecordBuffer Buffer) {
    TRecordBuffer active = ActiveRecBuf();
    if (!active) return false;
    std::memcpy(Buffer, active, GetRecordSize());
    return true;
}

// ---------------------------------------------------------------- open and close

bool TvxMemData::SupportedFieldType(TFieldType FieldType) const {
    return (FieldType >= ftString && FieldType <= ftDateTime) ||
           (FieldType >= ftAutoInc && FieldType <= ftTypedBinary) || FieldType == ftWideString ||
           FieldType == ftLargeint;
}

void TvxMemData::InternalInitFieldDefs() {
    FieldDefs().Clear();
    store_->CalcFields().clear();
    for (TField* f : Fields().List()) {
        if (f->FieldKind() == fkCalculated || f->FieldKind() == fkLookup) {
            store_->CalcFields().push_back(f);
            continue;
        }
        FieldDefs().Add(f->FieldName(), f->DataType(), f->Size(), f->Required());
    }
    FieldDefs().SetUpdated(true);
}

void TvxMemData::InternalOpen() {
    for (TField* f : Fields().List())
        if (!SupportedFieldType(f->DataType())) DatabaseError(DbFmt("Unsupported field type: %s", f->FieldName()));
    ids_.clear();
    lastId_ = 0;
    curRec_ = -1;
    filterRecPos_ = -1;
    filterList_.clear();
    filterActive_ = Filtered();
    SetBookmarkSize(kBookmarkSize);
    InternalInitFieldDefs();
    if (DefaultFields()) CreateFields();
    for (TField* f : Fields().List())
        if (!f->IsBlob()) store_->AddField(f);
    recordDataSize_ = store_->TotalSize();
    blobOffset_ = recordDataSize_ + kBookmarkSize + 1;
    store_->CreateRecordList();
    BindFields(true);
    isOpen_ = true;
    Resort();
    for (int i = 0; i < indexes_->Count(); ++i) {
        TvxMemIndex* idx = indexes_->Items(i);
        idx->SetField(FindField(idx->FieldName()));
    }
}

void TvxMemData::InternalClose() {
    FreeScratchBuffer();
    if (!HasState(csDestroying)) {
        store_->Clear();
        ids_.clear();
        filterList_.clear();
        blobs_.clear();
        sortField_ = nullptr;
        lastId_ = 0;
        curRec_ = -1;
        filterRecPos_ = -1;
    }
    isOpen_ = false;
}

void TvxMemData::InternalFirst() {
    curRec_ = -1;
    filterRecPos_ = -1;
}

void TvxMemData::InternalLast() {
    curRec_ = store_->RecordCount();
    if (filterActive_) filterRecPos_ = static_cast<int>(filterList_.size());
}

void TvxMemData::InternalGotoBookmark(const void* Bookmark) {
    int32_t id;
    std::memcpy(&id, Bookmark, kBookmarkSize);
    const int r = PositionOfId(id);
    if (r < 0) DatabaseError("Bookmark not found");
    if (!filterActive_) {
        curRec_ = r;
        return;
    }
    if (const int f = FilterPositionOf(r); f >= 0) {
        filterRecPos_ = f;
        curRec_ = r;
    }
}

int TvxMemData::FilterPositionOf(int r) const {
    auto f = std::lower_bound(filterList_.begin(), filterList_.end(), r + 1);
    return f != filterList_.end() && *f == r + 1 ? static_cast<int>(f - filterList_.begin()) : -1;
}

void TvxMemData::InternalSetToRecord(TRecordBuffer Buffer) { InternalGotoBookmark(Buffer + recordDataSize_); }

void TvxMemData::InternalInitRecord(TRecordBuffer Buffer) {
    store_->ClearBuffer(Buffer);
    std::memset(Buffer + recordDataSize_, 0, kBookmarkSize + 1);
    for (int i = 0; i < BlobFieldCount(); ++i) BufferBlob(Buffer, i).clear();
}

void TvxMemData::InternalInsert() {
    TvxMemField* d = recIdField_ ? store_->FindField(recIdField_) : nullptr;
    TRecordBuffer b = ActiveBuffer();
    // Past the largest number the record stays without one; posting it is refused.
    if (!d || !b || d->AutoIncValue == INT32_MAX) return;
    int32_t next = d->AutoIncValue + 1;
    d->SetHasValue(b, true);
    std::memcpy(b + d->DataOffset, &next, 4);
}

void TvxMemData::ClearCalcFields(TRecordBuffer Buffer) {
    if (store_->FieldCount() < 2 || State() == dsCalcFields) return;
    bool first = true;
    for (TField* f : store_->CalcFields()) {
        if (first) {
            first = false;
            continue;
        }
        if (TvxMemField* d = store_->FindField(f)) d->SetHasValue(Buffer, false);
    }
}

// ---------------------------------------------------------------- positions

int TvxMemData::RecordCount() const {
    if (filterActive_) return static_cast<int>(filterList_.size());
    return store_->RecordCount();
}

int TvxMemData::RecNo() const {
    auto* self = const_cast<TvxMemData*>(this);
    if (Active()) self->UpdateCursorPos();
    if (curRec_ == -1 && RecordCount() > 0) return 1;
    return (filterActive_ ? filterRecPos_ : curRec_) + 1;
}

void TvxMemData::SetRecNo(int Value) {
    if (!Active()) return;
    CheckBrowseMode();
    // While the filter is in force the numbers count the passing records only.
    if (Value < 1 || Value > RecordCount()) return;
    DoBeforeScroll();
    UpdateCursorPos();
    int target;
    if (filterActive_) {
        filterRecPos_ = Value - 1;
        target = filterList_[Value - 1] - 1;
    } else {
        target = Value - 1;
    }
    if (target != curRec_) {
        curRec_ = target;
        Resync(true, true);
        DoAfterScroll();
    }
}

// ---------------------------------------------------------------- field data

bool TvxMemData::GetFieldData(TField* Field, void* Buffer) {
    TRecordBuffer rec = ActiveRecBuf();
    if (!rec) return false;
    if (Field->IsBlob()) {
        int i = Field->Offset();
        if (i < 0 || i >= BlobFieldCount()) return false;
        return !BufferBlob(rec, i).empty();
    }
    return store_->GetFieldData(rec, Field, Buffer);
}

void TvxMemData::SetFieldData(TField* Field, const void* Buffer) {
    TDataSetState s = State();
    if (s != dsEdit && s != dsInsert && s != dsSetKey && s != dsCalcFields && s != dsFilter && s != dsNewValue &&
        s != dsInternalCalc)
        DatabaseError(SNotEditing);
    TRecordBuffer rec = ActiveRecBuf();
    if (!rec) return;
    Field->Validate(Buffer);
    store_->SetFieldData(rec, Buffer, Field);
    if (s != dsCalcFields && s != dsFilter && s != dsNewValue)
        DataEvent(deFieldChange, reinterpret_cast<intptr_t>(Field));
}

// ---------------------------------------------------------------- bookmarks

bool TvxMemData::BookmarkValid(const TBookmark& Value) {
    if (Value.size() < kBookmarkSize) return false;
    int32_t id;
    std::memcpy(&id, Value.data(), kBookmarkSize);
    const int r = PositionOfId(id);
    if (r < 0) return false;
    if (!filterActive_) return r < store_->RecordCount();
    return FilterPositionOf(r) >= 0;
}

int TvxMemData::CompareBookmarks(const TBookmark& B1, const TBookmark& B2) {
    if (B1.empty() && B2.empty()) return 0;
    if (B1.empty()) return 1;
    if (B2.empty()) return -1;
    int32_t a, b;
    std::memcpy(&a, B1.data(), kBookmarkSize);
    std::memcpy(&b, B2.data(), kBookmarkSize);
    if (a == b) return 0;
    if (sortField_) {
        // A record that is gone sorts after every other.
        const int gone = static_cast<int>(ids_.size());
        int pa = PositionOfId(a), pb = PositionOfId(b);
        if (pa < 0) pa = gone;
        if (pb < 0) pb = gone;
        return pa > pb ? 1 : -1;
    }
    return a > b ? 1 : -1;
}

// ---------------------------------------------------------------- posting and deleting

void TvxMemData::InsertFilterNumber(int r) {
    // Numbers behind the new record move up by one; the list stays ascending.
    for (int& n : filterList_)
        if (n >= r + 1) ++n;
    auto it = std::lower_bound(filterList_.begin(), filterList_.end(), r + 1);
    it = filterList_.insert(it, r + 1);
    filterRecPos_ = static_cast<int>(it - filterList_.begin());
}

void TvxMemData::InternalPost() {
    changed_ = true;
    TvxMemField* sortDesc = sortField_ ? store_->FindField(sortField_) : nullptr;
    bool move = sortDesc != nullptr;
    TRecordBuffer buf = ActiveBuffer();
    bool inserted = State() == dsInsert;
    if (inserted) {
        const uint64_t order = store_->OrderCount();
        int at = store_->InsertRecord(buf, curRec_ == -1 ? 0 : curRec_, false);
        ++lastId_;
        curRec_ = at;
        MakeRoomForOneMore(ids_);
        ids_.insert(ids_.begin() + at, lastId_);
        if (at + 1 == static_cast<int>(ids_.size())) idPositions_.Appended(ids_, order, store_->OrderCount());
        if (BlobFieldCount() > 0) {
            MakeRoomForOneMore(blobs_);
            blobs_.insert(blobs_.begin() + at, nullptr);
        }
        if (Filtered()) InsertFilterNumber(at);
    } else {
        if (curRec_ < 0 || curRec_ >= store_->RecordCount()) DatabaseError("No Records");
        if (move) {
            const uint8_t* old = store_->Block(curRec_);
            bool oldHas = sortDesc->HasValue(old), newHas = sortDesc->HasValue(buf);
            move = oldHas != newHas || (newHas && CompareValues(old + sortDesc->DataOffset, buf + sortDesc->DataOffset,
                                                                sortDesc->DataType) != 0);
        }
        store_->SetRecord(buf, curRec_);
    }
    if (BlobFieldCount() > 0) StoreBlobs(buf, curRec_);
    if (move) MoveCurRecToSortedPlace();
    CheckFilterRecord();
    if (inserted) {
        indexes_->SetDirty();
    } else {
        const uint8_t* block = store_->Block(curRec_);
        for (int i = 0; i < indexes_->Count(); ++i) {
            TvxMemIndex* idx = indexes_->Items(i);
            if (idx->IsDirty() || !idx->Field()) continue;
            TvxMemField* d = store_->FindField(idx->Field());
            const auto& sorted = idx->SortedRecords();
            auto it = std::find(sorted.begin(), sorted.end(), block);
            if (!d || it == sorted.end()) {
                idx->SetIsDirty(true);
                continue;
            }
            size_t p = static_cast<size_t>(it - sorted.begin());
            int off = d->DataOffset;
            if ((p > 0 && CompareValues(sorted[p - 1] + off, block + off, d->DataType) > 0) ||
                (p + 1 < sorted.size() && CompareValues(sorted[p + 1] + off, block + off, d->DataType) < 0))
                idx->SetIsDirty(true);
        }
    }
}

void TvxMemData::InternalAddRecord(TRecordBuffer Buffer, bool Append) {
    changed_ = true;
    if (Append) InternalLast();
    int count = store_->RecordCount();
    int place = Append ? count : std::clamp(curRec_ < 0 ? 0 : curRec_, 0, count);
    // The block, its id and its blob slot go to one and the same place.
    const uint64_t order = store_->OrderCount();
    int at = store_->InsertRecord(Buffer, place, false);
    ++lastId_;
    curRec_ = at;
    MakeRoomForOneMore(ids_);
    ids_.insert(ids_.begin() + at, lastId_);
    if (at + 1 == static_cast<int>(ids_.size())) idPositions_.Appended(ids_, order, store_->OrderCount());
    if (BlobFieldCount() > 0) {
        MakeRoomForOneMore(blobs_);
        blobs_.insert(blobs_.begin() + at, nullptr);
        StoreBlobs(Buffer, at);
    }
    if (Filtered()) InsertFilterNumber(at);
}

void TvxMemData::InternalDelete() {
    changed_ = true;
    if (curRec_ < 0 || curRec_ >= store_->RecordCount()) DatabaseError("No Records");
    const uint8_t* block = store_->Block(curRec_);
    for (int i = 0; i < indexes_->Count(); ++i) indexes_->Items(i)->DropRecord(block);
    store_->DeleteRecord(curRec_);
    ids_.erase(ids_.begin() + curRec_);
    if (curRec_ < static_cast<int>(blobs_.size())) blobs_.erase(blobs_.begin() + curRec_);
    if (filterActive_) {
        if (filterRecPos_ >= 0 && filterRecPos_ < static_cast<int>(filterList_.size())) {
            filterList_.erase(filterList_.begin() + filterRecPos_);
            for (size_t i = filterRecPos_; i < filterList_.size(); ++i) --filterList_[i];
        }
        if (filterRecPos_ >= static_cast<int>(filterList_.size())) --filterRecPos_;
        curRec_ = filterRecPos_ < 0 ? -1 : filterList_[filterRecPos_] - 1;
    } else if (curRec_ >= store_->RecordCount()) {
        --curRec_;
    }
}

int TvxMemData::DeleteRecords(const std::vector<TBookmark>& Bookmarks) {
    // Handlers of the one-by-one deletion see each record current as it goes.
    if (BeforeDelete || AfterDelete || BeforeScroll || AfterScroll || OnDeleteError)
        return TDataSet::DeleteRecords(Bookmarks);
    CheckBrowseMode();
    // Each record's store index beside the place in the list where it is first named: the
    // one-by-one deletion skips a record named again, as it is gone by then.
    std::vector<std::pair<int, size_t>> named;
    named.reserve(Bookmarks.size());
    for (size_t i = 0; i < Bookmarks.size(); ++i)
        if (BookmarkValid(Bookmarks[i])) {
            int32_t id;
            std::memcpy(&id, Bookmarks[i].data(), kBookmarkSize);
            named.emplace_back(PositionOfId(id), i);
        }
    if (named.empty()) return 0;
    std::sort(named.begin(), named.end());
    named.erase(
        std::unique(named.begin(), named.end(), [](const auto& a, const auto& b) { return a.first == b.first; }),
        named.end());
    std::vector<int> rows;
    rows.reserve(named.size());
    size_t last = 0;  // the record the one-by-one deletion takes out last
    for (size_t k = 0; k < named.size(); ++k) {
        rows.push_back(named[k].first);
        if (named[k].second > named[last].second) last = k;
    }
    CheckCanModify();
    DataEvent(deCheckBrowseMode, 0);
    UpdateCursorPos();
    changed_ = true;
    // Each index drops the records and has its numbers made again before its next use.
    for (int i = 0; i < indexes_->Count(); ++i) indexes_->Items(i)->SetIsDirty(true);
    const int deleted = static_cast<int>(rows.size());
    // The cursor ends where deleting them one by one leaves it: on the record that follows
    // the last one deleted, once the records deleted before it are gone.
    const int after = rows[last] - static_cast<int>(last);
    int afterInFilter = -1;
    if (filterActive_) {
        afterInFilter = FilterPositionOf(rows[last]) - static_cast<int>(last);
        // The records left renumbered, the deleted ones out: one walk beside the rows.
        size_t next = 0, to = 0;
        for (int n : filterList_) {
            while (next < rows.size() && rows[next] < n - 1) ++next;
            if (next < rows.size() && rows[next] == n - 1) continue;
            filterList_[to++] = n - static_cast<int>(next);
        }
        filterList_.resize(to);
    }
    store_->DeleteRecords(rows);
    EraseAt(ids_, rows);
    EraseAt(blobs_, rows);
    if (filterActive_) {
        filterRecPos_ = std::min(afterInFilter, static_cast<int>(filterList_.size()) - 1);
        curRec_ = filterRecPos_ < 0 ? -1 : filterList_[filterRecPos_] - 1;
    } else {
        curRec_ = std::min(after, store_->RecordCount() - 1);
    }
    FreeFieldBuffers();
    SetState(dsBrowse);
    Resync();
    return deleted;
}

void TvxMemData::CloseBlob(TField* Field) {
    TRecordBuffer buf = ActiveBuffer();
    int i = Field->Offset();
    if (!buf || i < 0 || i >= BlobFieldCount()) return;
    std::vector<std::string>* entry = nullptr;
    if (State() == dsEdit && curRec_ >= 0 && curRec_ < store_->RecordCount()) entry = StoredBlobs(curRec_);
    BufferBlob(buf, i) = entry ? (*entry)[i] : std::string();
}

std::unique_ptr<TStream> TvxMemData::CreateBlobStream(TField* Field, TBlobStreamMode Mode) {
    return std::make_unique<TMemBlobStream>(static_cast<TBlobField*>(Field), Mode);
}

// ---------------------------------------------------------------- recalculation

void TvxMemData::InternalRefresh() {
    std::vector<TField*> lookups;
    for (TField* f : Fields().List())
        if (f->FieldKind() == fkLookup && f->LookupDataSet() && f->LookupDataSet()->Active()) lookups.push_back(f);
    if (FieldCount() == 0 || store_->RecordCount() == 0 || (!OnCalcFields && lookups.empty())) return;
    loading_ = true;
    DisableControls();
    TBookmark here = Bookmark();
    try {
        int n = RecordCount();
        for (int i = 1; i <= n; ++i) {
            SetRecNo(i);
            Edit();
            DoOnCalcFields();
            for (TField* f : lookups)
                f->SetValue(f->LookupDataSet()->Lookup(f->LookupKeyFields(), FieldValues(f->KeyFields()),
                                                       f->LookupResultField()));
            Post();
        }
        if (!here.empty() && BookmarkValid(here)) InternalGotoBookmark(here.data());
    } catch (...) {
        if (State() == dsEdit) Cancel();
        loading_ = false;
        EnableControls();
        throw;
    }
    loading_ = false;
    EnableControls();
}

// ---------------------------------------------------------------- events silenced while loading

void TvxMemData::DoAfterCancel() {
    if (!loading_) TDataSet::DoAfterCancel();
}
void TvxMemData::DoAfterClose() {
    if (!loading_) TDataSet::DoAfterClose();
}
void TvxMemData::DoAfterInsert() {
    if (!loading_) TDataSet::DoAfterInsert();
}
void TvxMemData::DoAfterPost() {
    if (!loading_) TDataSet::DoAfterPost();
}
void TvxMemData::DoBeforeClose() {
    if (!loading_) TDataSet::DoBeforeClose();
}
void TvxMemData::DoBeforeInsert() {
    if (!loading_) TDataSet::DoBeforeInsert();
}
void TvxMemData::DoBeforeOpen() {
    if (!loading_) TDataSet::DoBeforeOpen();
}
void TvxMemData::DoBeforePost() {
    if (!loading_) TDataSet::DoBeforePost();
}
void TvxMemData::DoOnNewRecord() {
    if (!loading_) TDataSet::DoOnNewRecord();
}

void TvxMemData::DoAfterOpen() {
    if (persistent_->Option() == poActive) persistent_->LoadData();
    if (!loading_) TDataSet::DoAfterOpen();
}
