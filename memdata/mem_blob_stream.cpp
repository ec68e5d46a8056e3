#include "memdata/mem_blob_stream.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <limits>

#include "memdata/vx_mem_data.h"
#include "platform/db/blob_field.h"
#include "platform/db/db_consts.h"

TMemBlobStream::TMemBlobStream(TBlobField* Field, TBlobStreamMode Mode)
    : field_(Field), dataSet_(static_cast<TvxMemData*>(Field->DataSet())), mode_(Mode) {
    buffer_ = dataSet_->ActiveRecBuf();
    if (!buffer_) return;
    if (!field_->Modified() && mode_ != bmRead) {
        useBuffer_ = true;
        if (field_->ReadOnly()) DatabaseError(DbFmt(SFieldReadOnly, field_->DisplayName()));
        if (dataSet_->State() != dsEdit && dataSet_->State() != dsInsert) DatabaseError(SNotEditing);
    } else {
        // A filter handler reads the scratch buffer, which holds the blobs of the record
        // being filtered; the stored record is another one.
        useBuffer_ = buffer_ == dataSet_->ActiveBuffer() || dataSet_->State() == dsFilter;
    }
    opened_ = true;
    if (mode_ == bmWrite) Truncate();
}

TMemBlobStream::~TMemBlobStream() {
    if (opened_ && modified_) field_->SetModified(true);
    if (modified_) {
        try {
            dataSet_->DataEvent(deFieldChange, reinterpret_cast<intptr_t>(field_));
        } catch (const std::exception& e) {
            // A destructor cannot pass the handler's error on; the value is written already.
            std::fprintf(stderr, "TMemBlobStream: change handler failed: %s\n", e.what());
        } catch (...) {
            std::fprintf(stderr, "TMemBlobStream: change handler failed\n");
        }
    }
}

std::string* TMemBlobStream::Value() {
    int i = field_->Offset();
    if (i < 0 || i >= dataSet_->BlobFieldCount()) return nullptr;
    if (useBuffer_) return &dataSet_->BufferBlob(buffer_, i);
    std::vector<std::string>* entry = dataSet_->StoredBlobs(dataSet_->BlobRecordIndex());
    return entry ? &(*entry)[i] : nullptr;
}

bool TMemBlobStream::CanStore() { return buffer_ == dataSet_->ActiveBuffer() && dataSet_->State() != dsFilter; }

int64_t TMemBlobStream::Size() {
    if (!opened_) return 0;
    std::string* v = Value();
    return v ? static_cast<int64_t>(v->size()) : 0;
}

int64_t TMemBlobStream::Read(void* Buffer, int64_t Count) {
    if (!opened_ || position_ < 0) return 0;
    std::string* v = Value();
    if (!v) return 0;
    int64_t n = std::min<int64_t>(Count, static_cast<int64_t>(v->size()) - position_);
    if (n < 1) return 0;
    std::memcpy(Buffer, v->data() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

int64_t TMemBlobStream::Write(const void* Buffer, int64_t Count) {
    if (!opened_ || !useBuffer_ || Count < 0 || position_ < 0) return 0;
    // Positions are 32-bit: a write beyond that is refused rather than allocated.
    if (position_ + Count > std::numeric_limits<int32_t>::max()) return 0;
    if (CanStore()) {
        std::string* v = Value();
        if (!v) return 0;
        if (static_cast<int64_t>(v->size()) < position_ + Count) v->resize(static_cast<size_t>(position_ + Count));
        std::memcpy(v->data() + position_, Buffer, static_cast<size_t>(Count));
    }
    position_ += Count;
    modified_ = true;
    return Count;
}

int64_t TMemBlobStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    switch (Origin) {
        case soBeginning: position_ = Offset; break;
        case soCurrent: position_ += Offset; break;
        case soEnd: position_ = Size() + Offset; break;
    }
    return position_;
}

void TMemBlobStream::Truncate() {
    if (!opened_) return;
    if (CanStore())
        if (std::string* v = Value()) v->clear();
    modified_ = true;
}
