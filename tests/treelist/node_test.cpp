// Nodes: structure, navigation, moving, expanding and collapsing, and deletion.

#include "platform/rtl/abstract_error.h"
#include "tests/treelist/test_tree_list.h"

namespace {

// a (a1 (a11), a2), b
struct SmallTree {
    TTestTreeList tl;
    TvxTreeListNode* a = tl.AddText("a");
    TvxTreeListNode* a1 = tl.ChildText(a, "a1");
    TvxTreeListNode* a11 = tl.ChildText(a1, "a11");
    TvxTreeListNode* a2 = tl.ChildText(a, "a2");
    TvxTreeListNode* b = tl.AddText("b");
};

}  // namespace

TEST(TreeListNode, CreationNeedsAnOwnerAndTheBaseHasNoNodeData) {
    try {
        TvxTreeListNode* node = new TvxTreeListTextNode(nullptr);
        node->Free();
        FAIL() << "no exception";
    } catch (const EInvalidvxTreeListOperation& e) {
        EXPECT_EQ(e.Message(), "Invalid Owner TvxTreeListNode");
    }
    struct Bare : TCustomvxTreeList {
        Bare() : TCustomvxTreeList(nullptr) {}
    } bare;
    EXPECT_THROW(bare.Add(), EAbstractError);
    EXPECT_EQ(bare.GetNodeSortValue(nullptr, 0).AsString(), "");
}

TEST(TreeListNode, ChildListQueriesAndNavigation) {
    SmallTree t;
    EXPECT_TRUE(t.a->HasChildren());
    EXPECT_EQ(t.a->Count(), 2);
    EXPECT_EQ(t.a->Items(-1), nullptr);
    EXPECT_EQ(t.a->Items(2), nullptr);
    EXPECT_EQ(t.a->IndexOf(t.a2), 1);
    EXPECT_EQ(t.a->IndexOf(t.b), -1);
    EXPECT_EQ(t.a11->Level(), 2);
    EXPECT_EQ(t.b->Index(), 1);
    EXPECT_TRUE(t.a2->IsLast());
    EXPECT_FALSE(t.a1->IsLast());
    EXPECT_TRUE(t.a11->HasAsParent(t.a));
    EXPECT_FALSE(t.a->HasAsParent(t.a));
    EXPECT_EQ(t.a->GetLastChild(), t.a2);
    EXPECT_EQ(t.a2->GetPrevSibling(), t.a1);
    EXPECT_EQ(t.a1->GetPrevSibling(), nullptr);

    // Full tree order ignores expansion.
    EXPECT_EQ(t.a11->GetNext(), t.a2);
    EXPECT_EQ(t.a2->GetNext(), t.b);
    EXPECT_EQ(t.b->GetNext(), nullptr);
    EXPECT_EQ(t.b->GetPrev(), t.a2);
    EXPECT_EQ(t.a2->GetPrev(), t.a11);
    EXPECT_EQ(t.a->GetPrev(), nullptr);
    // Display order follows it.
    EXPECT_EQ(t.a->GetNextVisible(), t.b);
    EXPECT_FALSE(t.a11->IsVisible());

    std::vector<TvxTreeListNode*> list{t.b};
    t.a->AddChildrenToList(list);
    EXPECT_EQ(list, (std::vector<TvxTreeListNode*>{t.b, t.a1, t.a2}));

    auto* first = t.tl.InsertNode(t.a);
    auto* mid = t.a->InsertChild(t.a2);
    EXPECT_EQ(t.tl.GetItem(0), first);
    EXPECT_EQ(t.a->Items(1), mid);
}

TEST(TreeListNode, LosingTheLastChildClearsTheButtonAndExpansion) {
    SmallTree t;
    t.a1->Expand(false);
    t.a11->Free();
    EXPECT_EQ(t.a1->Count(), 0);
    EXPECT_FALSE(t.a1->HasChildren());
    EXPECT_FALSE(t.a1->Expanded());

    // HasChildren cannot be cleared while children exist, and may be set without any.
    t.a->SetHasChildren(false);
    EXPECT_TRUE(t.a->HasChildren());
    t.b->SetHasChildren(true);
    EXPECT_TRUE(t.b->HasChildren());

    // Without HasChildren nothing expands and no event fires.
    int events = 0;
    t.tl.OnExpanding = [&](TObject*, TvxTreeListNode*, bool&) { ++events; };
    t.a1->SetExpanded(true);
    EXPECT_FALSE(t.a1->Expanded());
    EXPECT_EQ(events, 0);
}

TEST(TreeListNode, CollapseVetoedByFocusNodeKeepsTheNodeExpanded) {
    struct Vetoing : TTestTreeList {
        bool allowFocus = true;
        bool FocusNode(TvxTreeListNode* Node) override {
            TTestTreeList::FocusNode(Node);
            return allowFocus;
        }
    } tl;
    auto* a = tl.AddText("a");
    auto* a1 = tl.ChildText(a, "a1");
    tl.AddText("b");
    tl.SetRows(10);
    a->Expand(false);
    a1->SetFocused(true);

    std::vector<std::string> log;
    tl.OnCollapsing = [&](TObject*, TvxTreeListNode* n, bool&) { log.push_back("collapsing " + n->Strings(0)); };
    tl.OnChangeNode = [&](TObject*, TvxTreeListNode*, TvxTreeListNode* n) { log.push_back("focus " + n->Strings(0)); };
    tl.OnCollapsed = [&](TObject*, TvxTreeListNode* n) { log.push_back("collapsed " + n->Strings(0)); };

    tl.allowFocus = false;
    a->SetExpanded(false);
    EXPECT_EQ(log, (std::vector<std::string>{"collapsing a", "focus a"}));
    EXPECT_TRUE(a->Expanded());

    log.clear();
    a1->SetFocused(true);
    tl.allowFocus = true;
    a->SetExpanded(false);
    EXPECT_EQ(log, (std::vector<std::string>{"focus a1", "collapsing a", "focus a", "collapsed a"}));
    EXPECT_FALSE(a->Expanded());
}

TEST(TreeListNode, CollapsingMovesTheTopRowOutOfTheSubtree) {
    SmallTree t;
    t.tl.FullExpand();
    int changes = 0;
    t.tl.OnChangeTopVisibleNode = [&](TObject*) { ++changes; };
    t.tl.SetTopVisibleNode(t.a11);
    t.a->Collapse(false);
    EXPECT_EQ(t.tl.TopVisibleNode(), t.a);
    EXPECT_EQ(changes, 2);
}

TEST(TreeListNode, RecursiveExpandAndFullCollapse) {
    SmallTree t;
    std::vector<std::string> expanded;
    t.tl.OnExpanded = [&](TObject*, TvxTreeListNode* n) { expanded.push_back(n->Strings(0)); };
    t.a->Expand(true);
    EXPECT_EQ(expanded, (std::vector<std::string>{"a", "a1"}));
    EXPECT_EQ(DisplayNames(t.tl), "a a1 a11 a2 b");
    t.tl.FullCollapse();
    EXPECT_EQ(DisplayNames(t.tl), "a b");
    EXPECT_FALSE(t.a1->Expanded());

    // A refused expansion stops at that node.
    t.tl.OnExpanding = [&](TObject*, TvxTreeListNode* n, bool& allow) { allow = n != t.a1; };
    t.tl.FullExpand();
    EXPECT_EQ(DisplayNames(t.tl), "a a1 a2 b");

    TTestTreeList empty;
    empty.FullExpand();
    EXPECT_EQ(empty.LockUpdate(), 0);
}

TEST(TreeListNode, MoveToPlacesTheNodeByMode) {
    SmallTree t;
    auto* c = t.tl.AddText("c");
    EXPECT_TRUE(t.a1->MoveTo(t.b, nmAdd));
    EXPECT_EQ(ChildNames(t.tl, nullptr), "a b c a1");
    EXPECT_TRUE(t.a1->MoveTo(t.a2, nmAddFirst));
    EXPECT_EQ(ChildNames(t.tl, t.a), "a1 a2");
    EXPECT_TRUE(t.b->MoveTo(t.a, nmAddChild));
    EXPECT_EQ(ChildNames(t.tl, t.a), "a1 a2 b");
    EXPECT_TRUE(c->MoveTo(t.a, nmAddChildFirst));
    EXPECT_EQ(ChildNames(t.tl, t.a), "c a1 a2 b");
    // Inserting before a later sibling lands directly before it.
    EXPECT_TRUE(c->MoveTo(t.b, nmInsert));
    EXPECT_EQ(ChildNames(t.tl, t.a), "a1 a2 c b");
    // nmAdd with itself: the last of its own siblings.
    EXPECT_TRUE(t.a1->MoveTo(t.a1, nmAdd));
    EXPECT_EQ(ChildNames(t.tl, t.a), "a2 c b a1");
    // The moved node is focused and shown.
    EXPECT_EQ(t.tl.GetFocusedNode(), t.a1);
    EXPECT_TRUE(t.a1->IsVisible());
    EXPECT_EQ(t.a1->Count(), 1);

    // A leaf parent that lost its only child has no button and is collapsed.
    EXPECT_TRUE(t.a11->MoveTo(t.a2, nmAdd));
    EXPECT_FALSE(t.a1->HasChildren());
}

// Each node moved inside an update is shown (its parents expanded) and focused as outside
// one; the rows are laid out and scrolled to the last node moved when the update ends.
TEST(TreeListNode, MovesInsideAnUpdateShowEachNodeAndScrollWhenItEnds) {
    SmallTree t;
    t.a->Collapse(true);
    int expanded = 0;
    t.tl.OnExpanded = [&](TObject*, TvxTreeListNode*) { ++expanded; };
    t.tl.BeginUpdate();
    EXPECT_TRUE(t.b->MoveTo(t.a1, nmAddChild));
    EXPECT_TRUE(t.a->Expanded());
    EXPECT_TRUE(t.a1->Expanded());
    EXPECT_EQ(expanded, 2);
    EXPECT_EQ(t.tl.GetFocusedNode(), t.b);
    EXPECT_TRUE(t.a2->MoveTo(t.a, nmAdd));
    EXPECT_FALSE(t.tl.IsNodeCacheValid());
    t.tl.EndUpdate();
    EXPECT_EQ(t.tl.GetFocusedNode(), t.a2);
    EXPECT_EQ(ChildNames(t.tl, nullptr), "a a2");
    EXPECT_EQ(ChildNames(t.tl, t.a1), "a11 b");
    EXPECT_TRUE(t.tl.IsNodeCacheValid());
    EXPECT_EQ(t.tl.GetAbsoluteIndex(t.a2), 4);

    // A node moved inside an update and freed before it ends is forgotten.
    t.tl.BeginUpdate();
    EXPECT_TRUE(t.b->MoveTo(t.a, nmAdd));
    t.b->Free();
    t.tl.EndUpdate();
    EXPECT_EQ(ChildNames(t.tl, nullptr), "a a2");
    t.tl.OnExpanded = nullptr;

    // Scrolled to the last node moved once the update ends, not before.
    TTestTreeList long_;
    std::vector<TvxTreeListNode*> rows;
    for (int i = 0; i < 50; ++i) rows.push_back(long_.AddText("r" + std::to_string(i)));
    long_.SetTopVisibleNode(rows[0]);
    long_.BeginUpdate();
    EXPECT_TRUE(rows[0]->MoveTo(rows[49], nmAdd));
    EXPECT_TRUE(rows[1]->MoveTo(rows[0], nmAdd));
    EXPECT_EQ(long_.TopVisibleNode(), rows[0]);
    long_.EndUpdate();
    EXPECT_EQ(long_.GetAbsoluteIndex(rows[1]), 49);
    EXPECT_GT(long_.GetTopIndex(), 40);
}

TEST(TreeListNode, MoveToRefusesItsOwnSubtreeAndOtherControls) {
    SmallTree t;
    EXPECT_FALSE(t.a->MoveTo(nullptr, nmAdd));
    EXPECT_FALSE(t.a->MoveTo(t.a, nmAddChild));
    EXPECT_FALSE(t.a->MoveTo(t.a, nmInsert));
    EXPECT_FALSE(t.a->MoveTo(t.a11, nmAddChild));
    EXPECT_FALSE(t.a->MoveTo(t.a11, nmAdd));

    TTestTreeList other;
    auto* foreign = other.AddText("x");
    int events = 0;
    t.tl.OnChangeNode = [&](TObject*, TvxTreeListNode*, TvxTreeListNode*) { ++events; };
    EXPECT_FALSE(t.a1->MoveTo(foreign, nmAddChild));
    EXPECT_EQ(foreign->Count(), 0);
    EXPECT_EQ(ChildNames(t.tl, t.a), "a1 a2");
    EXPECT_EQ(t.a1->Owner(), &t.tl);
    EXPECT_EQ(t.tl.LockUpdate(), 0);
    EXPECT_EQ(events, 0);
}

TEST(TreeListNode, DeletionReportsDeepestFirstAfterLeavingTheParent) {
    SmallTree t;
    std::vector<std::string> order;
    std::vector<int> parentCounts;
    t.tl.OnDeletion = [&](TObject*, TvxTreeListNode* n) {
        order.push_back(n->Strings(0));
        EXPECT_TRUE(n->Deleting());
        EXPECT_EQ(n->Count(), 0);
        if (n->Parent()) ADD_FAILURE() << "still attached";
    };
    t.a->Free();
    EXPECT_EQ(order, (std::vector<std::string>{"a11", "a1", "a2", "a"}));
    EXPECT_EQ(ChildNames(t.tl, nullptr), "b");

    order.clear();
    t.tl.ClearNodes();
    EXPECT_EQ(order, (std::vector<std::string>{"b"}));
    EXPECT_EQ(t.tl.GetCount(), 0);
}

// The rows of a freed parent leave the display order at once; its children still go first
// to last, each reported with the parent as its prior node, and whatever the focus was on
// ends on the row before the parent.
TEST(TreeListNode, FreeingAShownParentOfManyChildrenKeepsTheDisplayOrder) {
    TTestTreeList tl;
    TvxTreeListNode* first = tl.AddText("first");
    TvxTreeListNode* parent = tl.AddText("parent");
    for (int i = 0; i < 50; ++i) tl.ChildText(parent, "c" + std::to_string(i));
    tl.ChildText(parent->Items(3), "c3a");
    TvxTreeListNode* last = tl.AddText("last");
    parent->Expand(true);
    ASSERT_EQ(tl.GetAbsoluteCount(), 54);
    parent->Items(10)->SetFocused(true);
    std::vector<std::string> order;
    tl.OnDeletion = [&](TObject*, TvxTreeListNode* n) {
        order.push_back(n->Strings(0));
        // The rows left keep their places while the children go.
        EXPECT_EQ(tl.GetAbsoluteIndex(first), 0);
        EXPECT_EQ(tl.GetAbsoluteIndex(last), tl.GetAbsoluteCount() - 1);
    };
    parent->Free();
    tl.OnDeletion = nullptr;
    ASSERT_EQ(order.size(), 52u);
    EXPECT_EQ(order[0], "c0");
    EXPECT_EQ(order[3], "c3a");
    EXPECT_EQ(order[4], "c3");
    EXPECT_EQ(order[50], "c49");
    EXPECT_EQ(order[51], "parent");
    EXPECT_EQ(tl.GetAbsoluteCount(), 2);
    EXPECT_EQ(tl.GetAbsoluteIndex(last), 1);
    EXPECT_EQ(tl.GetNextVisibleNode(first), last);
    EXPECT_EQ(tl.GetFocusedNode(), first);
}
