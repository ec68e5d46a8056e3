#include "platform/classes/stream.h"

#include <algorithm>
#include <vector>

#include "platform/rtl/exception.h"

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
    if (Count > 0 && Read(Buffer, Count) != Count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
    if (Count > 0 && Write(Buffer, Count) != Count) throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream* Source, int64_t Count) {
    if (Count == 0) {
        Source->SetPosition(0);
        Count = Source->Size();
    }
    if (Count <= 0) return 0;
    const int64_t result = Count;
    constexpr int64_t kChunk = 64 * 1024;
    std::vector<char> buffer(static_cast<size_t>(std::min(Count, kChunk)));
    while (Count > 0) {
        int64_t n = std::min(Count, kChunk);
        Source->ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        Count -= n;
    }
    return result;
}

int64_t TStream::Size() {
    int64_t pos = Seek(0, soCurrent);
    int64_t size = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return size;
}

void TStream::SetSize(int64_t) {}
