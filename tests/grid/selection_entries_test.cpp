// The selection's entries stay in key order however they come: added one by one, waiting
// beside the list while a range is open (and answering for the first entry meanwhile without
// being placed), merged from a reload, removed by key or by position, and put in order again
// when the keys' order changes under them.

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

#include "grid/core/vx_selection_entries.h"

namespace {

auto* Row(int i) { return reinterpret_cast<TvxTreeListNode*>(static_cast<uintptr_t>(16 * i)); }

TEST(SelectionEntries, StayInKeyOrderHoweverTheyCome) {
    int order = 1;  // 1 ascending, -1 descending
    TvxSelectionEntries<int> entries([&order](const int& A, const int& B) { return order * ((A > B) - (A < B)); });
    for (unsigned seed = 1; seed <= 30; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        order = 1;
        entries.Clear();
        std::set<int> expected;
        for (int step = 0; step < 200; ++step) {
            const int key = static_cast<int>(random() % 60);
            switch (random() % 6) {
                case 0:
                    entries.BeginRange();
                    break;
                case 1:
                    entries.EndRange();
                    break;
                case 2:
                    EXPECT_EQ(entries.Remove(key), expected.erase(key) == 1);
                    break;
                case 3: {
                    std::vector<int> keys;
                    std::vector<TvxTreeListNode*> rows;
                    for (int k = key; k < key + 5; k += 2) {
                        keys.push_back(k);
                        rows.push_back(Row(k));
                        expected.insert(k);
                    }
                    entries.AddAll(keys, rows);
                    EXPECT_EQ(*entries.Slot(key), Row(key)) << "a key selected already takes the row given";
                    break;
                }
                default: {
                    TvxTreeListNode** row = entries.Add(key);
                    if (!*row) *row = Row(key);
                    expected.insert(key);
                    break;
                }
            }
            ASSERT_EQ(entries.Count(), static_cast<int>(expected.size()));
            if (!expected.empty()) {
                EXPECT_EQ(entries.FirstNode(), Row(*expected.begin()));
            }
        }
        while (entries.RangeOpen()) entries.EndRange();
        EXPECT_EQ(entries.Keys(), std::vector<int>(expected.begin(), expected.end()));
        for (int i = 0; i < entries.Count(); ++i) EXPECT_EQ(entries.Node(i), Row(entries.Keys()[static_cast<size_t>(i)]));
        // By position, every other one.
        std::vector<int> at;
        for (int i = 0; i < entries.Count(); i += 2) {
            at.push_back(i);
            expected.erase(entries.Keys()[static_cast<size_t>(i)]);
        }
        entries.RemoveAt(at);
        EXPECT_EQ(entries.Keys(), std::vector<int>(expected.begin(), expected.end()));
        // The keys' order turned round: found again once put in order.
        order = -1;
        entries.Resort();
        EXPECT_EQ(entries.Keys(), std::vector<int>(expected.rbegin(), expected.rend()));
        for (int key : expected) {
            int index = -1;
            EXPECT_TRUE(entries.Find(key, index));
            EXPECT_EQ(entries.Node(index), Row(key));
        }
    }
}

}  // namespace
