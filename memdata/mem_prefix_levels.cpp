#include "memdata/mem_prefix_levels.h"

#include <algorithm>

namespace {
constexpr size_t kFan = 8;

// How many of the (at most eight) numbers from `from` on sort below key.
size_t CountBelow(const std::vector<uint64_t>& level, size_t from, uint64_t key, uint64_t flip) {
    size_t end = std::min(from + kFan, level.size());
    size_t c = 0;
    for (size_t i = from; i < end; ++i) c += (level[i] ^ flip) < key ? 1 : 0;
    return c;
}
}  // namespace

void TMemPrefixLevels::Build(const std::vector<uint64_t>& Row) {
    levels_.clear();
    const std::vector<uint64_t>* below = &Row;
    while (below->size() > kFan) {
        std::vector<uint64_t> level;
        level.reserve((below->size() + kFan - 1) / kFan);
        for (size_t i = 0; i < below->size(); i += kFan) level.push_back((*below)[i]);
        levels_.push_back(std::move(level));
        below = &levels_.back();
    }
}

size_t TMemPrefixLevels::FirstNotBelow(const std::vector<uint64_t>& Row, uint64_t Key, uint64_t Flip) const {
    if (levels_.empty()) return CountBelow(Row, 0, Key, Flip);
    // p is the answer on the level above: the number before it sorts below the key, the one
    // at it (the first of its stretch on the level below) does not. The answer below lies in
    // the stretch of the number before it.
    size_t p = CountBelow(levels_.back(), 0, Key, Flip);
    for (size_t l = levels_.size(); l-- > 0;) {
        if (p == 0) return 0;
        const std::vector<uint64_t>& below = l == 0 ? Row : levels_[l - 1];
        size_t from = (p - 1) * kFan;
        p = from + CountBelow(below, from, Key, Flip);
    }
    return p;
}
