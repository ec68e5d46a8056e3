// Nodes hidden, brought back, taken out and put back in batches, on seeded random trees:
// after each step every node knows its place among its siblings, the hidden list keeps the
// order the nodes were hidden in, a batch brought back lands where bringing the nodes back
// one by one would have put them (also when it comes in the order they sort in, which the
// merge uses), and the display order still equals a walk of the tree.

#include <random>

#include "tests/treelist/test_tree_list.h"

namespace {

void CollectAll(TvxTreeListNode* n, std::vector<TvxTreeListNode*>& out) {
    out.push_back(n);
    for (int i = 0; i < n->Count(); ++i) CollectAll(n->Items(i), out);
}

void CollectVisible(TvxTreeListNode* n, std::vector<TvxTreeListNode*>& out) {
    out.push_back(n);
    if (n->Expanded())
        for (int i = 0; i < n->Count(); ++i) CollectVisible(n->Items(i), out);
}

std::vector<TvxTreeListNode*> Siblings(TTestTreeList& tl, TvxTreeListNode* Parent) {
    std::vector<TvxTreeListNode*> list;
    const int count = Parent ? Parent->Count() : tl.GetCount();
    for (int i = 0; i < count; ++i) list.push_back(Parent ? Parent->Items(i) : tl.GetItem(i));
    return list;
}

// A node's sort key: the number in its first text.
int Key(const TvxTreeListNode* Node) { return std::stoi(const_cast<TvxTreeListNode*>(Node)->Strings(0)); }

bool KeyBefore(const TvxTreeListNode* Node, const TvxTreeListNode* Sibling) { return Key(Node) < Key(Sibling); }

class RandomBatches {
public:
    explicit RandomBatches(unsigned Seed) : rng_(Seed) {
        for (int i = 0; i < 30; ++i) Grow();
    }

    // One random step; answers a description of what went wrong, empty when nothing did.
    std::string Step() {
        const int op = Pick(100);
        std::vector<TvxTreeListNode*> all = All();
        if (op < 25 || all.size() < 4) {
            Grow();
        } else if (op < 40) {
            return Hide(all);
        } else if (op < 60) {
            return Unhide(all);
        } else if (op < 75) {
            return DetachAndAttach(all);
        } else if (op < 85) {
            return Arrange(all);
        } else if (op < 90 && !hidden_.empty()) {
            // A hidden node freed leaves the hidden list.
            const size_t at = static_cast<size_t>(Pick(static_cast<int>(hidden_.size())));
            hidden_[at]->Free();
            hidden_.erase(hidden_.begin() + static_cast<std::ptrdiff_t>(at));
        } else if (op < 95) {
            all[static_cast<size_t>(Pick(static_cast<int>(all.size())))]->SetExpanded(Pick(2) == 1);
        } else {
            Pick(2) ? tl_.BeginUpdate() : (tl_.LockUpdate() > 0 ? tl_.EndUpdate() : void());
        }
        return {};
    }

    std::string Check() {
        std::vector<TvxTreeListNode*> all = All();
        for (TvxTreeListNode* n : all) {
            const std::vector<TvxTreeListNode*> siblings = Siblings(tl_, n->Parent());
            const auto place = std::find(siblings.begin(), siblings.end(), n) - siblings.begin();
            if (n->Index() != place) return "place of a node in the tree";
            if (n->GetNextSibling() != (place + 1 < static_cast<std::ptrdiff_t>(siblings.size())
                                            ? siblings[static_cast<size_t>(place) + 1]
                                            : nullptr))
                return "next sibling";
            if (tl_.IsNodeHidden(n)) return "a node in the tree counted hidden";
        }
        if (tl_.HiddenNodes() != hidden_) return "hidden list order";
        for (TvxTreeListNode* n : hidden_)
            if (!tl_.IsNodeHidden(n) || n->Index() != -1 || n->GetNextSibling() || n->Parent()) return "a hidden node";
        std::vector<TvxTreeListNode*> shown;
        for (int i = 0; i < tl_.GetCount(); ++i) CollectVisible(tl_.GetItem(i), shown);
        if (tl_.GetAbsoluteCount() != static_cast<int>(shown.size())) return "shown count";
        for (size_t i = 0; i < shown.size(); ++i) {
            if (tl_.GetAbsoluteIndex(shown[i]) != static_cast<int>(i)) return "display index";
            if (tl_.GetNextVisibleNode(shown[i]) != (i + 1 < shown.size() ? shown[i + 1] : nullptr))
                return "next shown";
        }
        return {};
    }

    TTestTreeList& List() { return tl_; }

private:
    int Pick(int n) { return n <= 0 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    std::vector<TvxTreeListNode*> All() {
        std::vector<TvxTreeListNode*> all;
        for (int i = 0; i < tl_.GetCount(); ++i) CollectAll(tl_.GetItem(i), all);
        return all;
    }
    // Some nodes of the tree, maybe with repeats and nested ones.
    std::vector<TvxTreeListNode*> Some(const std::vector<TvxTreeListNode*>& All, int Most) {
        std::vector<TvxTreeListNode*> some;
        for (int i = Pick(Most) + 1; i > 0 && !All.empty(); --i)
            some.push_back(All[static_cast<size_t>(Pick(static_cast<int>(All.size())))]);
        return some;
    }
    TvxTreeListNode* Keyed(TvxTreeListNode* Node) {
        Node->SetStrings(0, std::to_string(Pick(50)));
        return Node;
    }
    void Grow() {
        std::vector<TvxTreeListNode*> all = All();
        if (all.empty() || Pick(3) == 0)
            Keyed(tl_.Add());
        else
            Keyed(all[static_cast<size_t>(Pick(static_cast<int>(all.size())))]->AddChild());
    }

    std::string Hide(const std::vector<TvxTreeListNode*>& All) {
        std::vector<TvxTreeListNode*> some = Some(All, 12);
        for (TvxTreeListNode* n : some)
            if (std::find(hidden_.begin(), hidden_.end(), n) == hidden_.end()) hidden_.push_back(n);
        tl_.HideNodes(some);
        return {};
    }

    // Brings some hidden nodes back under nodes of the tree, and checks the lists against
    // bringing them back one by one.
    std::string Unhide(const std::vector<TvxTreeListNode*>& All) {
        if (hidden_.empty()) return {};
        std::vector<TCustomvxTreeList::TvxNodeReturn> back;
        std::map<TvxTreeListNode*, std::vector<TvxTreeListNode*>> expected;
        for (int i = Pick(8) + 1; i > 0; --i) {
            TvxTreeListNode* node = hidden_[static_cast<size_t>(Pick(static_cast<int>(hidden_.size())))];
            TvxTreeListNode* parent = Pick(3) == 0 || All.empty()
                                          ? nullptr
                                          : All[static_cast<size_t>(Pick(static_cast<int>(All.size())))];
            back.push_back({node, parent});
        }
        // Given in key order, the merge gallops over the returning nodes instead of asking
        // about each: the outcome must not change.
        const bool inOrder = Pick(2) == 1;
        if (inOrder)
            std::stable_sort(back.begin(), back.end(),
                             [](const auto& a, const auto& b) { return KeyBefore(a.Node, b.Node); });
        // One by one: each node still hidden goes before the first sibling it sorts before.
        std::vector<TvxTreeListNode*> stillHidden = hidden_;
        for (const auto& r : back) {
            auto it = std::find(stillHidden.begin(), stillHidden.end(), r.Node);
            if (it == stillHidden.end()) continue;
            stillHidden.erase(it);
            auto [list, fresh] = expected.try_emplace(r.Parent);
            if (fresh) list->second = Siblings(tl_, r.Parent);
            auto& siblings = list->second;
            auto at = std::find_if(siblings.begin(), siblings.end(),
                                   [&](TvxTreeListNode* s) { return KeyBefore(r.Node, s); });
            siblings.insert(at, r.Node);
        }
        tl_.UnhideNodes(back, KeyBefore, inOrder);
        hidden_ = stillHidden;
        for (const auto& [parent, siblings] : expected) {
            if (Siblings(tl_, parent) != siblings) return "a list brought back differs from one by one";
            for (TvxTreeListNode* n : siblings)
                if (n->Parent() != parent) return "parent of a node brought back";
        }
        return {};
    }

    // Takes some nodes out and puts them back at one place, in the order given, leaving out
    // repeats and nodes that would go into their own subtrees; those go last among the roots.
    std::string DetachAndAttach(const std::vector<TvxTreeListNode*>& All) {
        std::vector<TvxTreeListNode*> some = Some(All, 6);
        tl_.DetachNodes(some);
        std::vector<TvxTreeListNode*> rest = All;
        rest.erase(std::remove_if(rest.begin(), rest.end(),
                                  [&](TvxTreeListNode* n) {
                                      for (TvxTreeListNode* p = n; p; p = p->Parent())
                                          if (std::find(some.begin(), some.end(), p) != some.end()) return true;
                                      return false;
                                  }),
                   rest.end());
        // A parent still in the tree, or one inside a node taken out.
        TvxTreeListNode* parent = Pick(3) == 0 ? nullptr : All[static_cast<size_t>(Pick(static_cast<int>(All.size())))];
        const std::vector<TvxTreeListNode*> before = Siblings(tl_, parent);
        const int position = Pick(static_cast<int>(before.size()) + 2) - 1;
        std::vector<TvxTreeListNode*> coming;
        for (TvxTreeListNode* n : some) {
            if (std::find(coming.begin(), coming.end(), n) != coming.end()) continue;
            if (parent && (parent == n || parent->HasAsParent(n))) continue;
            coming.push_back(n);
        }
        tl_.AttachNodes(some, parent, position);
        std::vector<TvxTreeListNode*> expected = before;
        const size_t at = position < 0 ? expected.size() : std::min(expected.size(), static_cast<size_t>(position));
        expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(at), coming.begin(), coming.end());
        if (Siblings(tl_, parent) != expected) return "nodes attached";
        tl_.AttachNodes(some, nullptr, -1);
        for (TvxTreeListNode* n : some)
            if (!n->Parent() && n->Index() < 0) return "a node left outside the tree";
        return {};
    }

    std::string Arrange(const std::vector<TvxTreeListNode*>& All) {
        TvxTreeListNode* parent = Pick(3) == 0 ? nullptr : All[static_cast<size_t>(Pick(static_cast<int>(All.size())))];
        std::vector<TvxTreeListNode*> order = Siblings(tl_, parent);
        if (order.empty()) return {};
        std::shuffle(order.begin(), order.end(), rng_);
        if (Pick(4) == 0) {
            // Not an order of the same nodes: nothing moves.
            const std::vector<TvxTreeListNode*> before = Siblings(tl_, parent);
            order.back() = order.front();
            tl_.ArrangeChildren(parent, order);
            return Siblings(tl_, parent) == before ? "" : "a wrong order was taken";
        }
        tl_.ArrangeChildren(parent, order);
        return Siblings(tl_, parent) == order ? "" : "arranged children";
    }

    TTestTreeList tl_;
    std::mt19937 rng_;
    // The hidden nodes in the order they were hidden.
    std::vector<TvxTreeListNode*> hidden_;
};

}  // namespace

TEST(TreeListBatchMoves, PlacesHiddenListAndDisplayOrderHoldThroughRandomBatches) {
    for (unsigned seed = 1; seed <= 30; ++seed) {
        RandomBatches batches(seed);
        for (int step = 0; step < 300; ++step) {
            std::string diff = batches.Step();
            if (diff.empty()) diff = batches.Check();
            ASSERT_EQ(diff, "") << "seed " << seed << " step " << step;
        }
        while (batches.List().LockUpdate() > 0) batches.List().EndUpdate();
        ASSERT_EQ(batches.Check(), "") << "seed " << seed << " after the locks";
    }
}

TEST(TreeListBatchMoves, HidingKeepsFocusAndTopOutsideTheHiddenRowsAndDropsTheRest) {
    TTestTreeList tl;
    auto* a = tl.AddText("a");
    auto* a1 = tl.ChildText(a, "a1");
    auto* b = tl.AddText("b");
    auto* c = tl.AddText("c");
    a->Expand(false);
    a1->SetFocused(true);
    tl.SetTopVisibleNode(b);
    tl.SelectedNodes = {a1, c};
    tl.HideNodes({c, a});
    // The focus lay in a hidden subtree, the top row outside.
    EXPECT_EQ(tl.GetFocusedNode(), nullptr);
    EXPECT_EQ(tl.TopVisibleNode(), b);
    EXPECT_EQ(tl.SelectedNodes, std::vector<TvxTreeListNode*>{a1});
    EXPECT_EQ(ChildNames(tl, nullptr), "b");
    EXPECT_EQ(tl.HiddenNodes(), (std::vector<TvxTreeListNode*>{c, a}));
    // A hidden node keeps its subtree.
    EXPECT_EQ(a->Count(), 1);
    tl.UnhideNodes({{a, nullptr}, {c, nullptr}}, [](const TvxTreeListNode*, const TvxTreeListNode*) { return false; });
    EXPECT_EQ(ChildNames(tl, nullptr), "b a c");
    EXPECT_EQ(DisplayNames(tl), "b a a1 c");
    EXPECT_TRUE(tl.HiddenNodes().empty());
}

// Freeing nodes together ends as freeing them one by one does: the same deletions in the same
// order, the same lists, and the top row, the focus and the anchor on the same nodes.
TEST(TreeListBatchMoves, FreeingNodesTogetherEndsAsFreeingThemOneByOne) {
    // r0 (a (a0 .. a5), b (b0, b1)), r1, r2, r3; the names of what goes, in order, and where
    // the top row, the focus and the anchor start.
    struct Case {
        std::vector<std::string> going;
        std::string top, focus, anchor;
    };
    const std::vector<Case> cases = {
        {{"a1", "a2", "a4"}, "a2", "a4", "a1"},     {{"a0", "a1"}, "a0", "a1", "a0"},
        {{"b0", "b1", "b", "a3"}, "b1", "b", "b0"}, {{"r1", "r2", "a"}, "r2", "a3", "r1"},
        {{"r0", "r1"}, "r1", "b0", "r0"},           {{"r1", "r2", "r3"}, "r3", "r2", "r1"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> events[2];
        std::string ends[2];
        for (int way = 0; way < 2; ++way) {
            TTestTreeList tl;
            std::map<std::string, TvxTreeListNode*> n;
            n["r0"] = tl.AddText("r0");
            n["a"] = tl.ChildText(n["r0"], "a");
            for (int i = 0; i < 6; ++i) n["a" + std::to_string(i)] = tl.ChildText(n["a"], "a" + std::to_string(i));
            n["b"] = tl.ChildText(n["r0"], "b");
            for (int i = 0; i < 2; ++i) n["b" + std::to_string(i)] = tl.ChildText(n["b"], "b" + std::to_string(i));
            for (const char* r : {"r1", "r2", "r3"}) n[r] = tl.AddText(r);
            tl.FullExpand();
            tl.SetTopVisibleNode(n[c.top]);
            n[c.focus]->SetFocused(true);
            tl.SetSelectionAnchor(n[c.anchor]);
            tl.OnDeletion = [&](TObject*, TvxTreeListNode* node) { events[way].push_back(node->Strings(0)); };
            std::vector<TvxTreeListNode*> going;
            for (const std::string& name : c.going) going.push_back(n[name]);
            if (way == 0) {
                tl.BeginUpdate();
                for (TvxTreeListNode* node : going) node->Free();
                tl.EndUpdate();
            } else {
                tl.FreeNodes(going);
            }
            tl.OnDeletion = nullptr;
            auto name = [](TvxTreeListNode* node) { return node ? node->Strings(0) : std::string("-"); };
            ends[way] = DisplayNames(tl) + " | " + name(tl.TopVisibleNode()) + " " + name(tl.GetFocusedNode()) + " " +
                        name(tl.SelectionAnchor());
        }
        EXPECT_EQ(events[1], events[0]) << c.going.front();
        EXPECT_EQ(ends[1], ends[0]) << c.going.front();
    }
}
