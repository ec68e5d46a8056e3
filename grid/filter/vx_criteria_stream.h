#pragma once
// The binary "Criteria" stream of a filter: little-endian counts, Windows-1252 texts and the
// component stream's value codes for the condition values. Reading trusts no length or
// count: each is checked against the bytes left before anything is allocated for it.

#include <cstdint>
#include <string>

#include "platform/classes/stream.h"
#include "platform/rtl/variant.h"

inline constexpr const char* SReadError = "Stream-Read-Fehler";
inline constexpr const char* SWriteError = "Stream-Write-Fehler";
// Deeper nesting than any filter the dialog can build; bounds the reader's recursion.
inline constexpr int kvxMaxCriteriaDepth = 32;

// The component stream's value codes.
enum TValueType : uint8_t {
    vaNull = 0,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,
    vaString = 6,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaLString = 12,
    vaNil = 13,
    vaSingle = 15,
    vaCurrency = 16,
    vaDate = 17,
    vaWString = 18,
};

// A value with its one-byte code. An array raises EWriteError.
void WriteCriteriaValue(TStream* Stream, const Variant& Value);
// Raises EReadError for a refused code (identifiers and binary data among them) or a value
// cut short.
Variant ReadCriteriaValue(TStream* Stream);

// The pieces the grid's other component streams are made of. Each read raises EReadError
// "Stream-Read-Fehler" when the bytes left cannot hold it.
uint8_t ReadStreamByte(TStream* Stream);
int32_t ReadStreamInt32(TStream* Stream);
std::string ReadStreamBytes(TStream* Stream, int64_t Count);
// A length byte and that many Windows-1252 characters, as UTF-8.
std::string ReadStreamShortString(TStream* Stream);
void WriteStreamByte(TStream* Stream, uint8_t Value);
void WriteStreamInt32(TStream* Stream, int32_t Value);
// Raises EWriteError for a text longer than 255 characters.
void WriteStreamShortString(TStream* Stream, const std::string& Utf8);
