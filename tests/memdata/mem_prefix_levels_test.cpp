#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "memdata/mem_prefix_levels.h"

// Rows of every length around the level boundaries, with long runs of equal numbers and the
// extreme values, searched for every number in them and between them, both ways round.
TEST(MemPrefixLevels, FindsTheSamePlaceAsALowerBound) {
    std::mt19937_64 rng(11);
    for (size_t n : {0, 1, 7, 8, 9, 63, 64, 65, 72, 511, 512, 513, 1000}) {
        std::vector<uint64_t> values(n);
        for (auto& v : values) {
            switch (rng() % 4) {
                case 0: v = 0; break;
                case 1: v = UINT64_MAX; break;
                case 2: v = rng() % 16; break;  // runs of equal numbers
                default: v = rng();
            }
        }
        for (bool desc : {false, true}) {
            SCOPED_TRACE(testing::Message() << "n=" << n << " desc=" << desc);
            const uint64_t flip = desc ? ~uint64_t{0} : 0;
            std::vector<uint64_t> row = values;
            std::sort(row.begin(), row.end(), [&](uint64_t a, uint64_t b) { return (a ^ flip) < (b ^ flip); });
            TMemPrefixLevels levels;
            levels.Build(row);
            std::vector<uint64_t> keys = {0, 1, 2, 15, 16, UINT64_MAX, UINT64_MAX - 1};
            for (uint64_t v : row) keys.insert(keys.end(), {v, v + 1, v - 1});
            for (uint64_t key : keys) {
                size_t expected = static_cast<size_t>(
                    std::lower_bound(row.begin(), row.end(), key,
                                     [&](uint64_t a, uint64_t k) { return (a ^ flip) < (k ^ flip); }) -
                    row.begin());
                ASSERT_EQ(levels.FirstNotBelow(row, key ^ flip, flip), expected) << key;
            }
        }
    }
}
