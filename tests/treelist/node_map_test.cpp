// The flat node map holds a value for each node it was given, the null node among them, and
// after any mix of adding and erasing finds exactly what a hash map would: an erased node's
// neighbours in the table stay found, and a node added again at the same address starts afresh.

#include <gtest/gtest.h>

#include <random>
#include <unordered_map>
#include <vector>

#include "tests/treelist/test_tree_list.h"
#include "treelist/node_map.h"

namespace {

TEST(NodeMap, AfterAnyMixOfAddingAndErasingFindsWhatAHashMapWould) {
    TTestTreeList tl(nullptr);
    std::vector<TvxTreeListNode*> nodes{nullptr};
    for (int i = 0; i < 500; ++i) nodes.push_back(tl.Add());
    for (unsigned seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        // Few nodes at a time keep the table small and its runs of neighbours long.
        const size_t pool = seed % 2 ? 40 : nodes.size();
        TvxNodeMap<int> map;
        std::unordered_map<const TvxTreeListNode*, int> expected;
        for (int step = 0; step < 4000; ++step) {
            TvxTreeListNode* node = nodes[random() % pool];
            switch (random() % 3) {
                case 0: {
                    bool added = false;
                    int& value = map.Get(node, &added);
                    EXPECT_EQ(added, expected.count(node) == 0);
                    if (added) {
                        EXPECT_EQ(value, 0) << "a node added again starts afresh";
                    }
                    value = step;
                    expected[node] = step;
                    break;
                }
                case 1: EXPECT_EQ(map.Erase(node), expected.erase(node) == 1); break;
                default: break;
            }
            ASSERT_EQ(map.Count(), expected.size());
            if (step % 97 == 0 || step == 3999)
                for (size_t i = 0; i < pool; ++i) {
                    const int* found = map.Find(nodes[i]);
                    auto it = expected.find(nodes[i]);
                    ASSERT_EQ(found != nullptr, it != expected.end()) << i;
                    if (found) {
                        EXPECT_EQ(*found, it->second) << i;
                    }
                }
        }
        map.Clear();
        EXPECT_TRUE(map.Empty());
        EXPECT_EQ(map.Find(nodes[1]), nullptr);
    }
}

}  // namespace
