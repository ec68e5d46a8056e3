#pragma once
// Text encodings at the edges of the program. Strings inside are UTF-8; fixed-size byte
// stores and files from older installations use Windows-1252, converted here.

#include <optional>
#include <string>
#include <string_view>

// Every byte maps to one character: 0x80-0x9F as Windows maps them, the five bytes Windows
// leaves undefined (0x81 0x8D 0x8F 0x90 0x9D) to the C1 control of the same number, so a
// round trip through Utf8ToCp1252 gives the bytes back.
std::string Cp1252ToUtf8(std::string_view bytes);

// A character without a Windows-1252 form, and each byte of malformed UTF-8, becomes "?".
std::string Utf8ToCp1252(std::string_view utf8);

// Strict: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

// The content of a text file as UTF-8: a UTF-8 byte-order mark is dropped, valid UTF-8 is
// kept as it is, anything else is read as Windows-1252 (files written by older installations).
// A UTF-8 file cut off inside its last character loses that character: one with a character of
// several bytes before it, or one with a byte-order mark (an otherwise ASCII file without a
// mark that ends in a lone lead byte is Windows-1252).
std::string DecodeTextBytes(std::string_view bytes);
// Whether DecodeTextBytes reads the bytes as a UTF-8 file cut off inside its last character.
bool EndsInsideCharacter(std::string_view bytes);
// The bytes after every UTF-8 byte-order mark at their start, as DecodeTextBytes drops them.
std::string_view WithoutByteOrderMarks(std::string_view bytes);
// A UTF-16 file (either byte order) behind its mark: DecodeTextBytes cannot read it, and
// single-byte lines written into it could not be read by anything.
bool HasUtf16ByteOrderMark(std::string_view bytes);

// The byte order a UTF-16 file's mark ("\xFF\xFE" little, "\xFE\xFF" big endian) gives it;
// none for bytes without such a mark.
enum class TUtf16Order { LittleEndian, BigEndian };
std::optional<TUtf16Order> Utf16ByteOrder(std::string_view bytes);

// Why bytes are not read as text, rather than guessed at.
enum class TTextFault {
    Readable,                // text, in one of the encodings read
    Utf16OddLength,          // a UTF-16 mark, then an odd number of bytes
    Utf16UnpairedSurrogate,  // a UTF-16 mark, then half of a character that takes two units
    NulCharacter,            // a NUL: UTF-16 without its mark, UTF-32, or no text at all
};

// UTF-16 code units (after the mark) as UTF-8; none when they do not decode cleanly, with the
// reason in `fault`: an odd number of bytes, or a surrogate without its other half. Decoding
// and encoding again gives back every byte of a file that decodes.
std::optional<std::string> Utf16ToUtf8(std::string_view units, TUtf16Order order, TTextFault& fault);
// UTF-8 as UTF-16 code units (without a mark); each byte of malformed UTF-8 becomes U+FFFD.
std::string Utf8ToUtf16(std::string_view utf8, TUtf16Order order);
