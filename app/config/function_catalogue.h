#pragma once
// The function catalogue: one text per function code 0x00..0xFF ("E" or "A", "|", the name
// or three ";"-separated variants, "|", the parameter flag). Built in, and replaceable from
// the function-list file at start.

#include <array>
#include <string>

// The 256 entries the program starts with (116 named, the rest empty).
std::array<std::string, 256> BuiltInFunctionCatalogue();
// Puts the built-in entries back into FunctionCatalogue().
void RestoreBuiltInFunctions();

// The catalogue in use: the built-in one until the function-list file replaces it.
std::array<std::string, 256>& FunctionCatalogue();

// For every code, the entry of section "INPFUNCS" (codes 00..7F) or "OUTFUNCS" (80..FF) under
// the code as two upper-case hex digits replaces the catalogue entry; a missing key empties
// it. A missing file changes nothing; false then. A file with neither section changes nothing
// and raises Exception naming it.
bool LoadFunctionListFile(const std::string& fileName);
