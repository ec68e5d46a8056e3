#pragma once
// The binary "Criteria" stream of a filter: little-endian counts, Windows-1252 texts and the
// component stream's value codes for the condition values. Reading trusts no length or
// count: each is checked against the bytes left before anything is allocated for it.

#include "platform/classes/stream.h"
#include "platform/rtl/variant.h"

inline constexpr const char* SReadError = "Stream-Read-Fehler";
inline constexpr const char* SWriteError = "Stream-Write-Fehler";
// Deeper nesting than any filter the dialog can build; bounds the reader's recursion.
inline constexpr int kvxMaxCriteriaDepth = 32;

// A value with its one-byte code. An array raises EWriteError.
void WriteCriteriaValue(TStream* Stream, const Variant& Value);
// Raises EReadError for a refused code or a value cut short.
Variant ReadCriteriaValue(TStream* Stream);
