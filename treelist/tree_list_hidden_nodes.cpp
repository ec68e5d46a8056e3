// The hidden-node list: nodes kept outside the tree until they are wanted again.
//
// A filter hides or brings back most of the rows at once, so both directions take the whole
// batch: each sibling list is closed up or merged in one pass, and the places of the nodes
// in it are written as it goes, instead of one search and one shift of the list per node.

#include <algorithm>
#include <unordered_map>

#include "treelist/custom_tree_list.h"
#include "treelist/tree_list_node.h"

namespace {
// The sibling lists a batch touches, in the order it first touches them (null: the roots).
class TouchedLists {
  public:
    // Answers the slot of Parent's list, adding it when it is new.
    std::vector<TvxTreeListNode*>& Of(TvxTreeListNode* Parent) {
        auto [it, added] = slots_.try_emplace(Parent, parents_.size());
        if (added) {
            parents_.push_back(Parent);
            nodes_.emplace_back();
        }
        return nodes_[it->second];
    }
    size_t Count() const { return parents_.size(); }
    TvxTreeListNode* Parent(size_t I) const { return parents_[I]; }
    std::vector<TvxTreeListNode*>& Nodes(size_t I) { return nodes_[I]; }

  private:
    std::unordered_map<TvxTreeListNode*, size_t> slots_;
    std::vector<TvxTreeListNode*> parents_;
    std::vector<std::vector<TvxTreeListNode*>> nodes_;
};
}  // namespace

void TCustomvxTreeList::HideNodes(const std::vector<TvxTreeListNode*>& Nodes) {
    // Marking each node hidden first also drops repeats and nodes that are hidden already.
    std::vector<TvxTreeListNode*> hiding;
    for (TvxTreeListNode* node : Nodes) {
        if (!node || node->Owner() != this || hiddenNodes_.Contains(node)) continue;
        hiddenNodes_.Add(node);
        hiding.push_back(node);
    }
    if (hiding.empty()) return;
    for (TvxTreeListNode* node : hiding)
        if (IsNodeSelected(node)) SelectionChanged(node, false);
    auto inside = [this](const TvxTreeListNode* n) {
        for (; n; n = n->Parent())
            if (hiddenNodes_.Contains(n)) return true;
        return false;
    };
    // Only the focus and the top row survive when they lie outside the hidden subtrees; the
    // other references (anchor, pressed and hot nodes, the editor's node) are dropped.
    TvxTreeListNode* focus = inside(focusedNode_) ? nullptr : focusedNode_;
    TvxTreeListNode* top = inside(topNode_) ? nullptr : topNode_;
    if (inside(editorNode_)) CloseEditor(false);
    ResetNodeReferences();
    focusedNode_ = focus;
    topNode_ = top;

    TouchedLists lists;
    for (TvxTreeListNode* node : hiding) lists.Of(node->Parent()).push_back(node);
    for (size_t i = 0; i < lists.Count(); ++i) {
        TvxTreeListNode* parent = lists.Parent(i);
        auto& siblings = parent ? parent->children_ : roots_;
        const std::vector<TvxTreeListNode*>& leaving = lists.Nodes(i);
        if (leaving.size() == 1) {
            // One node: its place is known, and the list shifts only behind it.
            const int index = leaving.front()->IndexIn(siblings);
            if (index >= 0) siblings.erase(siblings.begin() + index);
        } else {
            size_t kept = 0;
            for (TvxTreeListNode* n : siblings) {
                if (hiddenNodes_.Contains(n)) continue;
                n->indexHint_ = static_cast<int>(kept);
                siblings[kept++] = n;
            }
            siblings.resize(kept);
        }
        for (TvxTreeListNode* node : leaving) node->parent_ = nullptr;
        if (parent && siblings.empty()) parent->LostLastChild();
    }
    DropVisibleList();
    if (updateLock_ == 0) LayoutChanged();
}

void TCustomvxTreeList::UnhideNodes(const std::vector<TvxNodeReturn>& Nodes, const TvxNodeLess& Precedes) {
    TouchedLists lists;
    TvxTreeListNode* first = nullptr;
    for (const TvxNodeReturn& r : Nodes) {
        TvxTreeListNode* node = r.Node;
        TvxTreeListNode* parent = r.Parent;
        if (!hiddenNodes_.Contains(node) || node->Owner() != this) continue;
        if (parent && (parent->Owner() != this || parent == node || parent->HasAsParent(node))) continue;
        hiddenNodes_.Remove(node);
        lists.Of(parent).push_back(node);
        if (!first) first = node;
    }
    if (!first) return;
    for (size_t i = 0; i < lists.Count(); ++i) {
        TvxTreeListNode* parent = lists.Parent(i);
        auto& siblings = parent ? parent->children_ : roots_;
        std::vector<TvxTreeListNode*>& returning = lists.Nodes(i);
        // Put back one by one, each before the first sibling it precedes, they would end in
        // this order, each run of them just before the sibling that stopped it.
        if (!std::is_sorted(returning.begin(), returning.end(), Precedes))
            std::stable_sort(returning.begin(), returning.end(), Precedes);
        std::vector<TvxTreeListNode*> merged;
        merged.reserve(siblings.size() + returning.size());
        auto place = [&merged](TvxTreeListNode* n) {
            n->indexHint_ = static_cast<int>(merged.size());
            merged.push_back(n);
        };
        size_t next = 0;
        auto placeReturning = [&] {
            returning[next]->parent_ = parent;
            place(returning[next++]);
        };
        for (TvxTreeListNode* sibling : siblings) {
            while (next < returning.size() && Precedes(returning[next], sibling)) placeReturning();
            place(sibling);
        }
        while (next < returning.size()) placeReturning();
        siblings = std::move(merged);
        if (parent) parent->hasChildren_ = true;
    }
    if (!topNode_) topNode_ = first;
    if (!focusedNode_) focusedNode_ = topNode_;
    DropVisibleList();
    if (updateLock_ == 0) LayoutChanged();
}
