#pragma once
// Streams on bytes in memory. TCustomMemoryStream reads bytes it does not own (SetPointer);
// TMemoryStream owns and grows its buffer. Seeking past the end is allowed; a write there
// fills the gap with zero bytes.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/classes/stream.h"

class TCustomMemoryStream : public TStream {
public:
    std::string ClassName() const override { return "TCustomMemoryStream"; }

    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t Size() override { return size_; }
    // Writes nothing here: only TMemoryStream has a buffer of its own.
    int64_t Write(const void* Buffer, int64_t Count) override;

    void SaveToStream(TStream* Stream);
    // Written whole through a temporary file, so a failure leaves the old file as it was.
    void SaveToFile(const std::string& FileName);

    void* Memory() const { return memory_; }

protected:
    int64_t DataSize() const { return size_; }
    void SetPointer(void* Ptr, int64_t Size);
    int64_t position_ = 0;

private:
    uint8_t* memory_ = nullptr;
    int64_t size_ = 0;
};

class TMemoryStream : public TCustomMemoryStream {
public:
    TMemoryStream() = default;
    std::string ClassName() const override { return "TMemoryStream"; }

    int64_t Write(const void* Buffer, int64_t Count) override;
    void SetSize(int64_t NewSize) override;
    void Clear();
    void LoadFromStream(TStream* Stream);
    // Raises EFOpenError when the file cannot be read.
    void LoadFromFile(const std::string& FileName);
    int64_t Capacity() const { return static_cast<int64_t>(buffer_.capacity()); }
    void SetCapacity(int64_t NewCapacity);

private:
    void Resize(int64_t NewSize);
    std::vector<uint8_t> buffer_;
};

// A memory stream initialised from, and readable as, a string of bytes.
class TStringStream : public TMemoryStream {
public:
    explicit TStringStream(std::string_view AString = {});
    std::string ClassName() const override { return "TStringStream"; }

    std::string DataString() const;
    // Up to Count bytes from the current position.
    std::string ReadString(int64_t Count);
    void WriteString(std::string_view AString);
};
