#pragma once
// The command-line table: each argument split at its first "=" into an upper-cased key and a
// value in which "_" stands for a blank.

#include <array>
#include <cstdint>
#include <string>

constexpr int kMaxParamPairs = 50;

extern int32_t ParamPairCount;
// Indexed 1..ParamPairCount, as the program's options are numbered; element 0 stays empty.
extern std::array<std::string, kMaxParamPairs + 1> ParamKeys;
extern std::array<std::string, kMaxParamPairs + 1> ParamValues;

// Fills the table from the process's arguments (at most the first 50).
void ParseParams();
