#pragma once
// The records a memory table keeps inside its component (the form's binary property
// "Data"), in the binary stream format LoadFromStream reads.

#include <memory>
#include <string>

#include "platform/classes/memory_stream.h"
#include "platform/classes/persistent.h"

class TvxMemData;

enum TvxMemPersistentOption { poNone, poActive, poLoad };

class TvxMemPersistent : public TPersistent {
public:
    explicit TvxMemPersistent(TvxMemData* ADataSet);
    std::string ClassName() const override { return "TvxMemPersistent"; }
    void Assign(TPersistent* Source) override;

    TMemoryStream& Data() { return *data_; }
    TvxMemPersistentOption Option() const { return option_; }
    void SetOption(TvxMemPersistentOption Value) { option_ = Value; }
    bool HasData() { return data_->Size() > 0; }
    void LoadData();
    // The stored property: written only when there is data; reading replaces it.
    void ReadData(TStream* Stream);
    void WriteData(TStream* Stream);

private:
    std::unique_ptr<TMemoryStream> data_;
    TvxMemPersistentOption option_ = poActive;
    TvxMemData* dataSet_;
    bool isLoading_ = false;
};
