#pragma once
// The byte-level helpers of the framed device protocol: escaping, check byte, hex texts.
// Byte strings are std::string holding raw bytes (0..255), as frames travel on the wire.

#include <cstdint>
#include <string>

constexpr uint8_t kSTX = 0x02;
constexpr uint8_t kETX = 0x03;
constexpr uint8_t kESC = 0x1B;

// Replaces every `value` in `body` by ESC, value + 0x80.
void EscapeByte(std::string& body, uint8_t value);
// Removes each ESC and takes 0x80 off the byte after it (a trailing ESC is dropped).
void UnescapeFrame(std::string& frame);
// XOR of all bytes; 0 for none.
uint8_t XorCheck(const std::string& bytes);
std::string WordToBytes(uint16_t value);  // high byte first
uint16_t BytesToWord(uint8_t high, uint8_t low);
// Two upper-case hex digits per byte, no separator.
std::string BytesToHex(const std::string& bytes);
// The bytes before the first 0x00.
std::string TakeUntilNul(const std::string& bytes);
// Eight characters for `value`, bit 0 first: "X" set, "-" clear.
void AppendBitPattern(std::string& text, uint8_t value);
// "0A,FF,00": two upper-case hex digits per byte, "," between bytes.
std::string BytesToHexList(const std::string& bytes);
// (length + 1) / 3 bytes, each the next comma-separated token read as hex; a missing token gives 0.
std::string HexListToBytes(const std::string& text);
// STX, the escaped body (H0 H1 LEN data BCC), ETX. Data longer than 255 bytes has LEN of its low 8 bits.
std::string BuildWireFrame(uint8_t h0, uint8_t h1, const std::string& data);
