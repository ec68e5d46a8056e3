#pragma once
// A stream on a file. Mode fmCreate truncates or creates; the open modes need the file to
// exist. Share flags are accepted for the callers' sake; Linux does not enforce them.
// Failures raise EFCreateError "Cannot create file "x". <reason>" or
// EFOpenError "Cannot open file "x". <reason>".

#include <cstdint>
#include <string>

#include "platform/classes/stream.h"

constexpr uint16_t fmCreate = 0xFFFF;
constexpr uint16_t fmOpenRead = 0x0000;
constexpr uint16_t fmOpenWrite = 0x0001;
constexpr uint16_t fmOpenReadWrite = 0x0002;
constexpr uint16_t fmShareCompat = 0x0000;
constexpr uint16_t fmShareExclusive = 0x0010;
constexpr uint16_t fmShareDenyWrite = 0x0020;
constexpr uint16_t fmShareDenyRead = 0x0030;
constexpr uint16_t fmShareDenyNone = 0x0040;

class TFileStream : public TStream {
public:
    TFileStream(const std::string& AFileName, uint16_t Mode);
    ~TFileStream() override;
    std::string ClassName() const override { return "TFileStream"; }

    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t Size() override;
    void SetSize(int64_t NewSize) override;

    const std::string& FileName() const { return file_name_; }
    int Handle() const { return fd_; }

private:
    std::string file_name_;
    int fd_ = -1;
};
