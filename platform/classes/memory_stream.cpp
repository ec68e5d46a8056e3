#include "platform/classes/memory_stream.h"

#include <algorithm>
#include <cstring>

#include "platform/classes/file_stream.h"
#include "platform/classes/file_utils.h"

int64_t TCustomMemoryStream::Read(void* Buffer, int64_t Count) {
    if (Count <= 0 || position_ >= size_) return 0;
    int64_t n = std::min(Count, size_ - position_);
    std::memcpy(Buffer, memory_ + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

int64_t TCustomMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    int64_t base = Origin == soBeginning ? 0 : Origin == soCurrent ? position_ : size_;
    position_ = std::max<int64_t>(0, base + Offset);
    return position_;
}

int64_t TCustomMemoryStream::Write(const void*, int64_t) { return 0; }

void TCustomMemoryStream::SetPointer(void* Ptr, int64_t Size) {
    memory_ = static_cast<uint8_t*>(Ptr);
    size_ = Size;
}

void TCustomMemoryStream::SaveToStream(TStream* Stream) {
    if (size_ > 0) Stream->WriteBuffer(memory_, size_);
}

void TCustomMemoryStream::SaveToFile(const std::string& FileName) {
    WriteFileAtomic(FileName, std::string_view(reinterpret_cast<const char*>(memory_), static_cast<size_t>(size_)));
}

void TMemoryStream::Resize(int64_t NewSize) {
    buffer_.resize(static_cast<size_t>(NewSize));
    SetPointer(buffer_.data(), NewSize);
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
    if (Count <= 0) return 0;
    int64_t end = position_ + Count;
    if (end > Size()) {
        if (static_cast<size_t>(end) > buffer_.capacity()) {
            // Grow geometrically: streams are often filled by many small writes.
            buffer_.reserve(std::max(static_cast<size_t>(end), buffer_.capacity() * 2));
        }
        Resize(end);
    }
    std::memcpy(buffer_.data() + position_, Buffer, static_cast<size_t>(Count));
    position_ = end;
    return Count;
}

void TMemoryStream::SetSize(int64_t NewSize) {
    NewSize = std::max<int64_t>(0, NewSize);
    Resize(NewSize);
    if (position_ > NewSize) position_ = NewSize;
}

void TMemoryStream::Clear() {
    buffer_.clear();
    buffer_.shrink_to_fit();
    SetPointer(nullptr, 0);
    position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream) {
    Stream->SetPosition(0);
    int64_t count = Stream->Size();
    SetSize(count);
    if (count > 0) Stream->ReadBuffer(buffer_.data(), count);
    position_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&stream);
}

void TMemoryStream::SetCapacity(int64_t NewCapacity) {
    if (NewCapacity > Capacity()) {
        buffer_.reserve(static_cast<size_t>(NewCapacity));
        SetPointer(buffer_.data(), Size());
    }
}

TStringStream::TStringStream(std::string_view AString) {
    WriteString(AString);
    position_ = 0;
}

std::string TStringStream::DataString() const {
    if (DataSize() == 0) return {};
    return std::string(static_cast<const char*>(Memory()), static_cast<size_t>(DataSize()));
}

std::string TStringStream::ReadString(int64_t Count) {
    std::string result(static_cast<size_t>(std::max<int64_t>(0, std::min(Count, Size() - position_))), '\0');
    result.resize(static_cast<size_t>(Read(result.data(), static_cast<int64_t>(result.size()))));
    return result;
}

void TStringStream::WriteString(std::string_view AString) {
    Write(AString.data(), static_cast<int64_t>(AString.size()));
}
