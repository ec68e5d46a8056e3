#pragma once
// The command-line table: each argument split at its first "=" into an upper-cased key and a
// value in which "_" stands for a blank.

#include "program/program_context.h"

// Fills the table of the program's context (ParamPairCount, ParamKeys, ParamValues) from the
// process's arguments (at most the first kMaxParamPairs).
void ParseParams();
