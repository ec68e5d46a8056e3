#pragma once
// Records of the BIFF4 worksheet format: a 16-bit record code, the 16-bit length of the
// data, then the data, all numbers little-endian. Texts arrive as UTF-8 and are written in
// Windows-1252 ("?" for a character outside it), cut to the 255 bytes a cell holds.

#include <cstdint>
#include <cstring>
#include <string>

class TBiffRecord {
public:
    explicit TBiffRecord(uint16_t Code) { Word(Code).Word(0); }
    TBiffRecord& Byte(uint8_t Value) {
        bytes_ += static_cast<char>(Value);
        return *this;
    }
    TBiffRecord& Word(uint16_t Value) { return Byte(Value & 0xFF).Byte(Value >> 8); }
    TBiffRecord& DWord(uint32_t Value) { return Word(Value & 0xFFFF).Word(Value >> 16); }
    TBiffRecord& Double(double Value) {
        uint64_t bits;
        std::memcpy(&bits, &Value, sizeof bits);
        return DWord(static_cast<uint32_t>(bits)).DWord(static_cast<uint32_t>(bits >> 32));
    }
    TBiffRecord& Bytes(const std::string& Value) {
        bytes_ += Value;
        return *this;
    }
    // The record with its data length filled in.
    const std::string& Done() {
        const size_t length = bytes_.size() - 4;
        bytes_[2] = static_cast<char>(length & 0xFF);
        bytes_[3] = static_cast<char>(length >> 8);
        return bytes_;
    }

private:
    std::string bytes_;
};

// The Windows-1252 bytes of a cell or font text, at most 255 of them.
std::string BiffText(const std::string& Utf8);
