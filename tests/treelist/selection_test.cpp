// Selection: the sibling rule, range selection in display order and the batch that folds
// many changes into at most one OnSelectedCountChange.

#include "tests/treelist/test_tree_list.h"

namespace {

struct SelectionTree : ::testing::Test {
    void SetUp() override {
        tl.SetOptions(TvxTreeListOptions(tl.Options()).Include(TvxTLOption::MultiSelect));
        tl.OnSelectedCountChange = [this](TObject*) { ++countChanges; };
        for (const char* name : {"a", "b", "c", "d", "e"}) nodes.push_back(tl.AddText(name));
        a1 = tl.ChildText(nodes[0], "a1");
        tl.FullExpand();
    }
    TTestTreeList tl;
    std::vector<TvxTreeListNode*> nodes;
    TvxTreeListNode* a1 = nullptr;
    int countChanges = 0;
};

std::string SelectedNames(TTestTreeList& tl) {
    std::string s;
    for (auto* n : tl.SelectedNodes) {
        if (!s.empty()) s += ' ';
        s += n->Strings(0);
    }
    return s;
}

}  // namespace

TEST_F(SelectionTree, RangesSelectTheSameNodesInEitherDirection) {
    tl.SelectRange(nodes[3], nodes[0]);
    EXPECT_EQ(SelectedNames(tl), "a a1 b c d");
    EXPECT_EQ(countChanges, 1);
    tl.ClearSelection();
    tl.SelectRange(nodes[0], nodes[3]);
    EXPECT_EQ(SelectedNames(tl), "a a1 b c d");
    tl.ClearSelection();
    tl.SelectRange(nodes[2], nodes[2]);
    EXPECT_EQ(SelectedNames(tl), "c");
}

TEST_F(SelectionTree, RangeNeverSelectsMoreThanTheIndexDistance) {
    // A handler that expands a node while the range is walked lengthens the display order.
    auto* b1 = tl.ChildText(nodes[1], "b1");
    tl.ChildText(b1, "b11");
    tl.AfterSelect = [&](TvxTreeListNode* n) {
        if (n == nodes[1]) nodes[1]->Expand(true);
    };
    tl.SelectRange(nodes[0], nodes[2]);  // a a1 b c: four nodes at most
    EXPECT_EQ(SelectedNames(tl), "a a1 b b1");
}

TEST_F(SelectionTree, BatchFiresOnceAndNotAtAllWhenTheCountReturns) {
    tl.BeginSelection();
    tl.BeginSelection();
    nodes[0]->SetSelected(true);
    nodes[1]->SetSelected(true);
    tl.EndSelection();
    EXPECT_EQ(countChanges, 0);
    tl.EndSelection();
    EXPECT_EQ(countChanges, 1);

    countChanges = 0;
    tl.BeginSelection();
    for (auto* n : nodes) n->SetSelected(true);
    for (auto* n : nodes) n->SetSelected(false);
    nodes[0]->SetSelected(true);
    nodes[1]->SetSelected(true);
    tl.EndSelection();
    EXPECT_EQ(countChanges, 0);
}

TEST_F(SelectionTree, WithoutExtMultiSelectOnlySiblingsJoin) {
    tl.OnCanNodeSelected = [](TObject*, TvxTreeListNode*, bool& allow) { allow = true; };
    EXPECT_TRUE(tl.DoCanNodeSelected(a1));  // nothing selected yet: anything goes
    nodes[1]->SetSelected(true);
    EXPECT_TRUE(tl.DoCanNodeSelected(nodes[4]));
    EXPECT_FALSE(tl.DoCanNodeSelected(a1));

    tl.SetOptions(TvxTreeListOptions(tl.Options()).Include(TvxTLOption::ExtMultiSelect));
    tl.OnCanNodeSelected = [&](TObject*, TvxTreeListNode* n, bool& allow) { allow = n != nodes[4]; };
    EXPECT_TRUE(tl.DoCanNodeSelected(a1));
    EXPECT_FALSE(tl.DoCanNodeSelected(nodes[4]));
}

TEST_F(SelectionTree, AnchorComparisonAndRepaintOfSelectedRows) {
    tl.SetSelectionAnchor(nodes[1]);
    EXPECT_EQ(tl.CompareWithAnchor(nodes[1]), 0);
    EXPECT_EQ(tl.CompareWithAnchor(nodes[0]), -1);
    EXPECT_EQ(tl.CompareWithAnchor(nodes[4]), 1);

    for (auto* n : nodes) n->SetSelected(true);  // five selected
    tl.RowRectRequests = tl.WholeInvalidates = 0;
    tl.InvalidateSelection();
    EXPECT_EQ(tl.RowRectRequests, 6);  // the focused row and each selected one
    EXPECT_EQ(tl.WholeInvalidates, 0);

    for (int i = 0; i < 6; ++i) tl.AddText("x")->SetSelected(true);  // eleven selected
    tl.RowRectRequests = tl.WholeInvalidates = 0;
    tl.InvalidateSelection();
    EXPECT_EQ(tl.RowRectRequests, 1);
    EXPECT_EQ(tl.WholeInvalidates, 1);
}

TEST_F(SelectionTree, DeletedNodesLeaveTheSelection) {
    nodes[2]->SetSelected(true);
    nodes[3]->SetSelected(true);
    nodes[2]->Free();
    EXPECT_EQ(SelectedNames(tl), "d");
    EXPECT_EQ(tl.GetFirstSelectedNode(), nodes[3]);
}
