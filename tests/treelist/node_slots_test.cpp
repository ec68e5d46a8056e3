// The flat node table numbers nodes in the order they first come, the null node among them,
// and finds each again after it has grown many times over.

#include <gtest/gtest.h>

#include <vector>

#include "tests/treelist/test_tree_list.h"
#include "treelist/node_slots.h"

namespace {

TEST(NodeSlots, NumbersNodesInTheirFirstOrderAndFindsThemAfterGrowing) {
    TTestTreeList tl(nullptr);
    std::vector<TvxTreeListNode*> nodes;
    for (int i = 0; i < 3000; ++i) nodes.push_back(tl.Add());
    TvxNodeSlots slots;
    EXPECT_EQ(slots.Find(nodes[0]), TvxNodeSlots::npos);
    EXPECT_EQ(slots.Find(nullptr), TvxNodeSlots::npos);
    bool added = false;
    EXPECT_EQ(slots.Slot(nodes[5], &added), 0u);
    EXPECT_TRUE(added);
    EXPECT_EQ(slots.Slot(nullptr, &added), 1u);
    EXPECT_TRUE(added);
    for (size_t i = 0; i < nodes.size(); ++i) slots.Slot(nodes[i]);
    EXPECT_EQ(slots.Slot(nodes[5], &added), 0u);
    EXPECT_FALSE(added);
    EXPECT_EQ(slots.Slot(nullptr, &added), 1u);
    EXPECT_FALSE(added);
    ASSERT_EQ(slots.Count(), nodes.size() + 1);
    // The others took 2, 3, ... in their order, nodes[5] keeping its first number.
    for (size_t i = 0; i < nodes.size(); ++i) EXPECT_EQ(slots.Find(nodes[i]), i == 5 ? 0u : i < 5 ? i + 2 : i + 1) << i;
}

}  // namespace
