#include "memdata/mem_persistent.h"

#include "memdata/vx_mem_data.h"
#include "platform/rtl/scope_exit.h"

TvxMemPersistent::TvxMemPersistent(TvxMemData* ADataSet)
    : data_(std::make_unique<TMemoryStream>()), dataSet_(ADataSet) {}

void TvxMemPersistent::Assign(TPersistent* Source) {
    if (auto* other = dynamic_cast<TvxMemPersistent*>(Source)) {
        option_ = other->option_;
        data_->Clear();
        data_->CopyFrom(other->data_.get(), 0);
        return;
    }
    TPersistent::Assign(Source);
}

void TvxMemPersistent::LoadData() {
    if (!HasData() || isLoading_) return;
    isLoading_ = true;
    TScopeExit restore([&] { isLoading_ = false; });
    data_->SetPosition(0);
    dataSet_->LoadFromStream(data_.get());
}

void TvxMemPersistent::ReadData(TStream* Stream) {
    data_->Clear();
    char chunk[4096];
    for (;;) {
        int64_t n = Stream->Read(chunk, sizeof chunk);
        if (n <= 0) break;
        data_->WriteBuffer(chunk, n);
    }
}

void TvxMemPersistent::WriteData(TStream* Stream) {
    if (!HasData()) return;
    data_->SetPosition(0);
    Stream->CopyFrom(data_.get(), data_->Size());
}
