// Hiding nodes and freeing the parents they leave without children, as a filter takes rows
// out of their group rows: in one batch it ends as hiding the nodes one by one, each followed
// by the parents it empties, does: the same deletions in the same order, the same tree,
// hidden list, selection, focus and top row.

#include <random>

#include "tests/treelist/test_tree_list.h"

namespace {

std::string Name(TvxTreeListNode* Node) { return Node ? Node->Strings(0) : std::string("-"); }

std::string Names(const std::vector<TvxTreeListNode*>& Nodes) {
    std::string s;
    for (TvxTreeListNode* n : Nodes) s += (s.empty() ? "" : " ") + Name(n);
    return s;
}

// Everything a user or a handler sees of the tree, with the deletions it reported.
std::string State(TTestTreeList& tl, const std::vector<std::string>& Deleted) {
    std::string deleted;
    for (const std::string& d : Deleted) deleted += (deleted.empty() ? "" : " ") + d;
    return "deleted: " + deleted + " | shown: " + DisplayNames(tl) + " | hidden: " + Names(tl.HiddenNodes()) +
           " | selected: " + Names(tl.SelectedNodes) + " | focus " + Name(tl.GetFocusedNode()) + " top " +
           Name(tl.TopVisibleNode());
}

// The one-by-one way: each node hidden, then the parent it left empty freed with the parents
// above that only it holds.
void HideOneByOne(TTestTreeList& tl, const std::vector<TvxTreeListNode*>& Nodes) {
    tl.BeginUpdate();
    for (TvxTreeListNode* node : Nodes) {
        if (!node || tl.IsNodeHidden(node)) continue;
        TvxTreeListNode* parent = node->Parent();
        tl.HideNodes({node});
        if (!parent || parent->Count() > 0) continue;
        while (parent->Parent() && parent->Parent()->Count() == 1) parent = parent->Parent();
        parent->Free();
    }
    tl.EndUpdate();
}

void HideInOneBatch(TTestTreeList& tl, const std::vector<TvxTreeListNode*>& Nodes) {
    tl.BeginUpdate();
    tl.HideNodesFreeingEmptyParents(Nodes);
    tl.EndUpdate();
}

}  // namespace

TEST(TreeListHideFreeingParents, GroupRowsTheRowsEmptyGoUpTheTreeInTheOrderTheyAreEmptied) {
    // A (A1 (a b), A2 (c)), B (B1 (d)), C (C1 (e f)): A1 goes when b leaves, A with A2 when c
    // leaves, B with B1 when d leaves; C1 keeps f.
    for (int way = 0; way < 2; ++way) {
        TTestTreeList tl;
        std::map<std::string, TvxTreeListNode*> n;
        for (const char* group : {"A", "B", "C"}) n[group] = tl.AddText(group);
        for (const char* g : {"A1", "A2"}) n[g] = tl.ChildText(n["A"], g);
        n["B1"] = tl.ChildText(n["B"], "B1");
        n["C1"] = tl.ChildText(n["C"], "C1");
        const std::pair<const char*, const char*> rowsIn[] = {{"a", "A1"}, {"b", "A1"}, {"c", "A2"},
                                                              {"d", "B1"}, {"e", "C1"}, {"f", "C1"}};
        for (auto [row, group] : rowsIn) n[row] = tl.ChildText(n[group], row);
        tl.FullExpand();
        n["c"]->SetFocused(true);
        tl.SetTopVisibleNode(n["A"]);
        std::vector<std::string> deleted;
        tl.OnDeletion = [&](TObject*, TvxTreeListNode* node) { deleted.push_back(node->Strings(0)); };
        const std::vector<TvxTreeListNode*> rows{n["a"], n["b"], n["c"], n["d"], n["e"]};
        way == 0 ? HideOneByOne(tl, rows) : HideInOneBatch(tl, rows);
        tl.OnDeletion = nullptr;
        EXPECT_EQ(State(tl, deleted),
                  "deleted: A1 A2 A B1 B | shown: C C1 f | hidden: a b c d e | selected:  | "
                  "focus - top C")
            << (way == 0 ? "one by one" : "in one batch");
        // The rows hidden keep nothing of the group rows that went.
        for (TvxTreeListNode* row : rows) EXPECT_EQ(row->Parent(), nullptr);
    }
}

// Trees of one to three levels of group rows above their rows, some rows beside group rows
// (a tree built by hand); the nodes hidden are rows of one level (one batch), or of several
// (one by one), given in display order or in any order, with repeats, nodes already hidden
// and nulls among them.
TEST(TreeListHideFreeingParents, EndsAsHidingTheNodesOneByOneOnRandomTrees) {
    for (unsigned seed = 1; seed <= 200; ++seed) {
        std::string ends[2];
        for (int way = 0; way < 2; ++way) {
            std::mt19937 rng(seed);
            auto pick = [&rng](int n) { return n <= 0 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(rng); };
            TTestTreeList tl;
            int named = 0;
            const int levels = 1 + pick(3);
            std::vector<std::vector<TvxTreeListNode*>> byLevel(static_cast<size_t>(levels) + 1);
            auto grow = [&](auto& self, TvxTreeListNode* parent, int level) -> void {
                const int children = 1 + pick(level == 0 ? 5 : 3);
                for (int i = 0; i < children; ++i) {
                    TvxTreeListNode* node = parent ? tl.ChildText(parent, "n" + std::to_string(named++))
                                                   : tl.AddText("n" + std::to_string(named++));
                    // Now and then a row stops above the rows' level.
                    if (level < levels && pick(8) != 0) {
                        self(self, node, level + 1);
                    } else {
                        byLevel[static_cast<size_t>(level)].push_back(node);
                    }
                }
            };
            grow(grow, nullptr, 0);
            tl.FullExpand();
            std::vector<TvxTreeListNode*> all;
            for (TvxTreeListNode* node = tl.GetFirstNode(); node; node = node->GetNext()) all.push_back(node);
            auto any = [&] { return all[static_cast<size_t>(pick(static_cast<int>(all.size())))]; };
            tl.SetTopVisibleNode(any());
            any()->SetFocused(true);
            for (int i = pick(4); i > 0; --i)
                if (TvxTreeListNode* node = any(); !tl.IsNodeSelected(node)) tl.SelectedNodes.push_back(node);
            const std::vector<TvxTreeListNode*>& deepest = byLevel[static_cast<size_t>(levels)];
            tl.HideNodes({deepest.empty() ? nullptr : deepest.front()});

            std::vector<TvxTreeListNode*> rows;
            const bool oneLevel = pick(3) != 0;
            for (size_t level = 0; level < byLevel.size(); ++level)
                for (TvxTreeListNode* row : byLevel[level])
                    if ((!oneLevel || level + 1 == byLevel.size()) && pick(4) != 0) rows.push_back(row);
            if (pick(2) == 0) std::shuffle(rows.begin(), rows.end(), rng);
            if (!rows.empty() && pick(3) == 0) rows.push_back(rows.front());
            if (pick(4) == 0) rows.push_back(nullptr);

            std::vector<std::string> deleted;
            tl.OnDeletion = [&](TObject*, TvxTreeListNode* node) { deleted.push_back(node->Strings(0)); };
            way == 0 ? HideOneByOne(tl, rows) : HideInOneBatch(tl, rows);
            tl.OnDeletion = nullptr;
            ends[way] = State(tl, deleted);
        }
        ASSERT_EQ(ends[1], ends[0]) << "seed " << seed;
    }
}
