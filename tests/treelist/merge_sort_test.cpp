// The merge sort over runs: the order a stable sort gives, for items in runs up and down
// (with equal items inside) and in no order; and, under a comparison that cannot be trusted,
// a permutation of what it held, with the items outside the range left alone.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

#include "treelist/merge_sort.h"

namespace {

// A key and the item's first place: equal keys keep their places' order in a stable sort.
using Item = std::pair<int, int>;

int ByKey(const Item& A, const Item& B) { return A.first < B.first ? -1 : A.first > B.first ? 1 : 0; }

}  // namespace

TEST(MergeSortRuns, SortsAsAStableSortDoesForRunsUpAndDownAndForItemsInNoOrder) {
    std::mt19937 rng(7);
    auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    for (int round = 0; round < 500; ++round) {
        // Runs of keys going up or down by steps of 0 to 2, or keys in no order.
        std::vector<Item> items;
        const int runs = 1 + pick(5);
        for (int r = 0; r < runs; ++r) {
            const bool random = pick(4) == 0;
            const int step = pick(2) == 0 ? 1 : -1;
            int key = pick(40);
            for (int n = pick(30); n > 0; --n) {
                key = random ? pick(20) : key + step * pick(3);
                items.push_back({key, static_cast<int>(items.size())});
            }
        }
        // The sort covers a range inside the list.
        const size_t first = items.empty() ? 0 : static_cast<size_t>(pick(3)) % items.size();
        const size_t last = items.size() - (items.size() > first + 2 ? static_cast<size_t>(pick(2)) : 0);
        std::vector<Item> expected = items;
        std::stable_sort(expected.begin() + static_cast<std::ptrdiff_t>(first),
                         expected.begin() + static_cast<std::ptrdiff_t>(last),
                         [](const Item& a, const Item& b) { return a.first < b.first; });
        MergeSortRuns(items, first, last, ByKey);
        ASSERT_EQ(items, expected) << "round " << round;
    }
}

TEST(MergeSortRuns, AComparisonThatCannotBeTrustedStillLeavesAPermutation) {
    std::mt19937 rng(3);
    for (int round = 0; round < 200; ++round) {
        std::vector<int> items(static_cast<size_t>(2 + round % 40));
        for (size_t i = 0; i < items.size(); ++i) items[i] = static_cast<int>(i);
        const std::vector<int> before = items;
        // Answers at random, or raises after a while.
        int asked = 0;
        const bool raises = round % 3 == 0;
        auto compare = [&](int, int) {
            if (raises && ++asked > 25) throw 1;
            return std::uniform_int_distribution<int>(-1, 1)(rng);
        };
        try {
            MergeSortRuns(items, 1, items.size(), compare);
        } catch (int) {
        }
        EXPECT_EQ(items.front(), 0);
        std::vector<int> sorted = items;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, before) << "round " << round;
    }
}
