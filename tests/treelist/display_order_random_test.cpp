// Seeded random sequences of structural changes, inside and outside update locks (and,
// with columns, of column changes, which keep the visible-node list); after each step every
// display-order answer must equal a plain walk over the tree, whether the control answered
// from its visible-node list or by walking.

#include <random>
#include <type_traits>

#include "tests/treelist/test_column_tree_list.h"
#include "tests/treelist/test_tree_list.h"

namespace {

// The reference: a plain recursive walk.
void CollectVisible(TvxTreeListNode* n, std::vector<TvxTreeListNode*>& out) {
    out.push_back(n);
    if (n->Expanded())
        for (int i = 0; i < n->Count(); ++i) CollectVisible(n->Items(i), out);
}

void CollectAll(TvxTreeListNode* n, std::vector<TvxTreeListNode*>& out) {
    out.push_back(n);
    for (int i = 0; i < n->Count(); ++i) CollectAll(n->Items(i), out);
}

template <class List>
class RandomTree {
public:
    explicit RandomTree(unsigned seed) : rng_(seed) {
        if constexpr (kColumns) AddColumns(tl_, 2);
    }

    void Step() {
        const int op = Pick(kColumns ? 112 : 100);
        all_.clear();
        for (int i = 0; i < tl_.GetCount(); ++i) CollectAll(tl_.GetItem(i), all_);
        TvxTreeListNode* a = all_.empty() ? nullptr : all_[static_cast<size_t>(Pick(static_cast<int>(all_.size())))];
        TvxTreeListNode* b = all_.empty() ? nullptr : all_[static_cast<size_t>(Pick(static_cast<int>(all_.size())))];
        if (op < 12 || !a) {
            tl_.Add();
        } else if (op < 18) {
            tl_.InsertNode(tl_.GetItem(Pick(tl_.GetCount())));
        } else if (op < 34) {
            a->AddChild();
        } else if (op < 40) {
            a->InsertChild(a->Items(Pick(std::max(1, a->Count()))));
        } else if (op < 50) {
            a->Free();
        } else if (op < 62) {
            a->MoveTo(b, static_cast<TvxNodeMoveMode>(Pick(5)));
        } else if (op < 76) {
            a->SetExpanded(!a->Expanded());
        } else if (op < 81) {
            a->Expand(Pick(2) == 1);
        } else if (op < 85) {
            a->Collapse(Pick(2) == 1);
        } else if (op < 89) {
            if (tl_.LockUpdate() < 3) tl_.BeginUpdate();
        } else if (op < 96) {
            if (tl_.LockUpdate() > 0) tl_.EndUpdate();
        } else if (op < 98) {
            Pick(2) ? tl_.FullExpand() : tl_.FullCollapse();
        } else if (op < 100) {
            if (tl_.LockUpdate() == 0) tl_.LayoutChanged();
        } else if constexpr (kColumns) {
            // Columns added, taken out, moved and changed.
            const int count = tl_.ColumnCount();
            TvxTreeListColumn* column = count > 0 ? tl_.Columns(Pick(count)) : nullptr;
            if (op < 103 || !column)
                tl_.template CreateColumn<TvxTreeListColumn>()->SetCaption("c");
            else if (op < 105 && count > 1)
                tl_.RemoveColumn(column);
            else if (op < 108)
                column->SetIndex(Pick(count));
            else if (op < 110)
                column->SetWidth(20 + Pick(100));
            else
                column->SetVisible(!column->Visible());
        }
    }

    // Every display-order answer against the walk; returns a description of the first
    // difference, empty when all agree.
    std::string Check() {
        std::vector<TvxTreeListNode*> shown;
        for (int i = 0; i < tl_.GetCount(); ++i) CollectVisible(tl_.GetItem(i), shown);
        std::vector<TvxTreeListNode*> all;
        for (int i = 0; i < tl_.GetCount(); ++i) CollectAll(tl_.GetItem(i), all);
        const int n = static_cast<int>(shown.size());
        if (tl_.GetAbsoluteCount() != n) return "count";
        TvxTreeListNode* last = shown.empty() ? nullptr : shown.back();
        TvxTreeListNode* deepest = last;
        while (deepest && deepest->Count() > 0) deepest = deepest->GetLastChild();
        for (int i = 0; i < n; ++i) {
            TvxTreeListNode* node = shown[static_cast<size_t>(i)];
            TvxTreeListNode* next = i + 1 < n ? shown[static_cast<size_t>(i) + 1] : nullptr;
            TvxTreeListNode* prior = i > 0 ? shown[static_cast<size_t>(i) - 1] : nullptr;
            if (tl_.GetAbsoluteIndex(node) != i) return "index " + std::to_string(i);
            if (tl_.GetAbsoluteNode(i) != node) return "node at " + std::to_string(i);
            if (tl_.GetNextVisibleNode(node) != next) return "next of " + std::to_string(i);
            if (node->GetPriorVisible() != prior) return "prior of " + std::to_string(i);
            if (tl_.GetNeighbourNode(node, 0, false) != shown.front()) return "first";
            if (tl_.GetNeighbourNode(node, 1, true) != prior) return "neighbour 1";
            if (tl_.GetNeighbourNode(node, 2, false) != next) return "neighbour 2";
            if (tl_.GetNeighbourNode(node, 3, false) != last) return "neighbour 3";
            if (tl_.GetNeighbourNode(node, 3, true) != deepest) return "neighbour 3 all";
        }
        for (size_t i = 0; i < all.size(); ++i) {
            TvxTreeListNode* next = i + 1 < all.size() ? all[i + 1] : nullptr;
            if (tl_.GetNeighbourNode(all[i], 2, true) != next) return "tree order next";
            if (!tl_.IsNodeVisible(all[i]) && tl_.GetAbsoluteIndex(all[i]) != -1) return "hidden node has an index";
        }
        if (tl_.GetLastVisibleNode() != last) return "last visible";
        return {};
    }

    List& Tree() { return tl_; }

private:
    static constexpr bool kColumns = std::is_base_of_v<TCustomvxTreeListControl, List>;
    int Pick(int n) { return n <= 0 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    List tl_{nullptr};
    std::mt19937 rng_;
    std::vector<TvxTreeListNode*> all_;
};

}  // namespace

template <class List>
void CheckRandomChanges() {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        RandomTree<List> tree(seed);
        int validSteps = 0;
        for (int step = 0; step < 400; ++step) {
            tree.Step();
            const std::string diff = tree.Check();
            ASSERT_EQ(diff, "") << "seed " << seed << " step " << step;
            if (tree.Tree().IsNodeCacheValid()) ++validSteps;
        }
        while (tree.Tree().LockUpdate() > 0) tree.Tree().EndUpdate();
        ASSERT_EQ(tree.Check(), "") << "seed " << seed << " after the locks";
        // The list, not only the walk, must have answered a fair share of the steps.
        EXPECT_GT(validSteps, 20) << "seed " << seed;
    }
}

TEST(TreeListDisplayOrder, EveryAnswerEqualsATreeWalkThroughRandomChanges) { CheckRandomChanges<TTestTreeList>(); }

TEST(TreeListDisplayOrder, ColumnChangesAmongTheNodeChangesLeaveNoStaleRow) {
    CheckRandomChanges<TCustomvxTreeListControl>();
}

TEST(TreeListDisplayOrder, ReadersWalkTheTreeInsideAnUpdateLock) {
    TTestTreeList tl;
    auto* a = tl.AddText("a");
    tl.ChildText(a, "a1");
    tl.AddText("b");
    a->Expand(false);
    ASSERT_TRUE(tl.IsNodeCacheValid());
    tl.BeginUpdate();
    EXPECT_FALSE(tl.IsNodeCacheValid());
    auto* a2 = tl.ChildText(a, "a2");
    EXPECT_EQ(DisplayNames(tl), "a a1 a2 b");
    EXPECT_EQ(tl.GetAbsoluteIndex(a2), 2);
    tl.EndUpdate();
    EXPECT_TRUE(tl.IsNodeCacheValid());
    EXPECT_EQ(tl.GetAbsoluteIndex(a2), 2);
}

TEST(TreeListDisplayOrder, ListIsPatchedOrLeftAloneAsChangesArrive) {
    TTestTreeList tl;
    // Roots added one by one to an empty tree leave the list empty until a rebuild.
    auto* a = tl.AddText("a");
    auto* b = tl.AddText("b");
    EXPECT_FALSE(tl.IsNodeCacheValid());
    EXPECT_TRUE(tl.IsCacheBuilt());
    a->SetHasChildren(true);
    a->Expand(false);  // rebuilds
    ASSERT_EQ(tl.VisibleListCount(), 2);

    // A child of a collapsed node is not in the list; the cache-built flag is set anyway.
    tl.ChildText(b, "b1");
    EXPECT_EQ(tl.VisibleListCount(), 2);

    // A second child of an expanded parent drops the first child's cached row height (the
    // repaint that follows measures it again).
    auto* a1 = tl.ChildText(a, "a1");
    EXPECT_EQ(tl.VisibleListCount(), 3);
    a1->SetRowHeightCache(17);
    tl.ChildText(a, "a2");
    EXPECT_NE(a1->RowHeightCache(), 17);
    EXPECT_EQ(DisplayNames(tl), "a a1 a2 b");

    // Deleting nodes patches; deleting the last node empties the list through ClearCache.
    a->Free();
    EXPECT_EQ(tl.VisibleListCount(), 1);
    b->Free();
    EXPECT_EQ(tl.VisibleListCount(), 0);
    EXPECT_FALSE(tl.IsCacheBuilt());
}

// A move inside a lock leaves the list to be built when the lock ends; meanwhile the order
// is walked from the tree and never reaches a freed node.
TEST(TreeListDisplayOrder, MoveInsideALockLeavesTheListToTheEndAndNeverReachesAFreedNode) {
    TTestTreeList tl;
    auto* a = tl.AddText("a");
    auto* b = tl.AddText("b");
    auto* c = tl.AddText("c");
    ASSERT_EQ(DisplayNames(tl), "a b c");
    tl.BeginUpdate();
    c->MoveTo(a, nmAddFirst);
    EXPECT_FALSE(tl.IsNodeCacheValid());
    b->Free();
    auto* d = tl.AddText("d");
    EXPECT_EQ(DisplayNames(tl), "c a d");
    EXPECT_EQ(tl.GetAbsoluteIndex(d), 2);
    EXPECT_EQ(tl.GetNextVisibleNode(a), d);
    tl.EndUpdate();
    EXPECT_EQ(DisplayNames(tl), "c a d");
    EXPECT_TRUE(tl.IsNodeCacheValid());
}

TEST(TreeListDisplayOrder, RaisingLayoutChangeLeavesNoPendingNode) {
    struct Raising : TTestTreeList {
        bool raise = false;
        void LayoutChanged() override {
            if (raise) throw Exception("layout");
            TTestTreeList::LayoutChanged();
        }
    } tl;
    auto* a = tl.AddText("a");
    tl.AddText("b");
    a->SetHasChildren(true);
    a->Expand(false);
    tl.raise = true;
    EXPECT_THROW(a->AddChild(), Exception);
    tl.raise = false;
    TTestTreeList::Named(a->Items(0), "a1");
    tl.LayoutChanged();  // a rebuild, not a patch for a1 left behind
    EXPECT_EQ(DisplayNames(tl), "a a1 b");
    EXPECT_EQ(tl.GetAbsoluteIndex(tl.GetItem(1)), 2);
}
