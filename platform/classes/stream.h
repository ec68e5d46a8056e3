#pragma once
// Byte streams of the class library. Read/Write move what they can and answer the count;
// ReadBuffer/WriteBuffer insist on the full count and raise EReadError "Stream read error" /
// EWriteError "Stream write error" otherwise.

#include <cstdint>
#include <string>

#include "platform/classes/object.h"

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
public:
    std::string ClassName() const override { return "TStream"; }

    virtual int64_t Read(void* Buffer, int64_t Count) = 0;
    virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
    // Answers the new position.
    virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

    void ReadBuffer(void* Buffer, int64_t Count);
    void WriteBuffer(const void* Buffer, int64_t Count);
    // Copies Count bytes from Source's current position; Count 0 copies all of Source from its
    // beginning. Answers the count copied.
    int64_t CopyFrom(TStream* Source, int64_t Count);

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t Pos) { Seek(Pos, soBeginning); }
    virtual int64_t Size();
    virtual void SetSize(int64_t NewSize);
};
