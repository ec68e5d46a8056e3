// The selection's entries stay in key order however they come: added one by one, waiting
// beside the list while a range is open (and answering for the first entry meanwhile without
// being placed, and for any entry's row), merged from a reload, removed by key or by position,
// and put in order again when the keys' order changes under them. Each keeps the row set for
// it, wherever it waits. Long ranges over many keys make the waiting ones split.

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

#include "grid/core/vx_selection_entries.h"

namespace {

auto* Row(int i) { return reinterpret_cast<TvxTreeListNode*>(static_cast<uintptr_t>(16 * i)); }

// Ascending, or descending when *Sign is -1.
struct IntOrder {
    const int* Sign;
    int operator()(const int& A, const int& B) const { return *Sign * ((A > B) - (A < B)); }
};

TEST(SelectionEntries, StayInKeyOrderHoweverTheyCome) {
    int order = 1;  // 1 ascending, -1 descending
    TvxSelectionEntries<int, IntOrder> entries(IntOrder{&order});
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        order = 1;
        entries.Clear();
        // Each selected key with the row it holds (the key's own row, or a second one set
        // through its slot).
        std::map<int, TvxTreeListNode*> expected;
        const int keys = seed % 4 == 0 ? 3000 : 60;
        const int steps = seed % 4 == 0 ? 4000 : 200;
        for (int step = 0; step < steps; ++step) {
            const int key = static_cast<int>(random() % static_cast<unsigned>(keys));
            switch (random() % 8) {
                case 0: entries.BeginRange(); break;
                case 1:
                    if (random() % 4 == 0) entries.EndRange();
                    break;
                case 2: {
                    TvxTreeListNode* row = nullptr;
                    const bool had = expected.count(key) > 0;
                    EXPECT_EQ(entries.Remove(key, &row), had);
                    if (had) {
                        EXPECT_EQ(row, expected[key]);
                    }
                    expected.erase(key);
                    break;
                }
                case 3: {
                    std::vector<int> added;
                    std::vector<TvxTreeListNode*> rows;
                    for (int k = key; k < key + 5; k += 2) {
                        added.push_back(k);
                        rows.push_back(Row(k));
                        expected[k] = Row(k);
                    }
                    entries.AddAll(added, rows);
                    EXPECT_EQ(*entries.Slot(key), Row(key)) << "a key selected already takes the row given";
                    break;
                }
                case 4:
                    if (TvxTreeListNode** row = entries.Slot(key)) {
                        ASSERT_TRUE(expected.count(key));
                        EXPECT_EQ(*row, expected[key]);
                        *row = Row(key + keys);
                        expected[key] = *row;
                    } else {
                        EXPECT_FALSE(expected.count(key));
                    }
                    break;
                default: {
                    TvxTreeListNode** row = entries.Add(key);
                    if (!*row) *row = Row(key);
                    expected.emplace(key, Row(key));
                    break;
                }
            }
            ASSERT_EQ(entries.Count(), static_cast<int>(expected.size()));
            if (!expected.empty()) {
                EXPECT_EQ(entries.FirstNode(), expected.begin()->second);
            }
        }
        while (entries.RangeOpen()) entries.EndRange();
        std::vector<int> inOrder;
        for (const auto& [key, row] : expected) inOrder.push_back(key);
        EXPECT_EQ(entries.Keys(), inOrder);
        for (int i = 0; i < entries.Count(); ++i)
            EXPECT_EQ(entries.Node(i), expected[entries.Keys()[static_cast<size_t>(i)]]);
        // By position, every other one.
        std::vector<int> at;
        for (int i = 0; i < entries.Count(); i += 2) {
            at.push_back(i);
            expected.erase(entries.Keys()[static_cast<size_t>(i)]);
        }
        entries.RemoveAt(at);
        inOrder.clear();
        for (const auto& [key, row] : expected) inOrder.push_back(key);
        EXPECT_EQ(entries.Keys(), inOrder);
        // The keys' order turned round: found again once put in order.
        order = -1;
        entries.Resort();
        EXPECT_EQ(entries.Keys(), std::vector<int>(inOrder.rbegin(), inOrder.rend()));
        for (const auto& [key, row] : expected) {
            int index = -1;
            EXPECT_TRUE(entries.Find(key, index));
            EXPECT_EQ(entries.Node(index), row);
        }
    }
}

}  // namespace
