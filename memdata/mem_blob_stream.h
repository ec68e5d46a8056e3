#pragma once
// The stream through which a blob field of the memory table is read and written: on the
// active record buffer while editing, on the stored record otherwise.

#include <string>

#include "platform/classes/stream.h"
#include "platform/db/db_types.h"

class TBlobField;
class TvxMemData;

class TMemBlobStream : public TStream {
public:
    TMemBlobStream(TBlobField* Field, TBlobStreamMode Mode);
    ~TMemBlobStream() override;
    std::string ClassName() const override { return "TMemBlobStream"; }

    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t Size() override;
    void Truncate();

private:
    // The value the stream works on; null when there is none.
    std::string* Value();
    std::string ReadValue();
    bool CanStore();

    TBlobField* field_;
    TvxMemData* dataSet_;
    TRecordBuffer buffer_ = nullptr;
    TBlobStreamMode mode_;
    bool opened_ = false;
    bool modified_ = false;
    int64_t position_ = 0;
    bool useBuffer_ = false;
};
