#pragma once
// A search aid over a sorted row of numbers (the memory table's text-key prefixes): above
// the row, levels that each keep every eighth number of the level below, up to a level of
// at most eight. A search reads eight neighbouring numbers per level, so it touches one or
// two cache lines per level instead of one scattered line per halving of the long row.

#include <cstddef>
#include <cstdint>
#include <vector>

class TMemPrefixLevels {
public:
    void Build(const std::vector<uint64_t>& Row);
    // The first index of Row (the row Build was given) whose number, XOR Flip, is not below
    // Key; Row.size() when there is none. Row is ascending after XOR with Flip.
    size_t FirstNotBelow(const std::vector<uint64_t>& Row, uint64_t Key, uint64_t Flip) const;

private:
    std::vector<std::vector<uint64_t>> levels_;  // levels_[0] samples the row; the last is the top
};
