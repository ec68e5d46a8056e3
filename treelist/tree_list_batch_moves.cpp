// Moving many nodes at once: each sibling list they leave is closed up in one pass, and
// nodes taken out lie in no list (their place -1) until they are attached again, hidden or
// freed, so that none of them is looked for among siblings it has left.

#include "platform/rtl/scope_exit.h"
#include "treelist/custom_tree_list.h"
#include "treelist/node_slots.h"
#include "treelist/touched_sibling_lists.h"
#include "treelist/tree_list_node.h"

void TCustomvxTreeList::DetachInBatch(const std::vector<TvxTreeListNode*>& Nodes) {
    TvxTouchedSiblingLists lists;
    lists.Reserve(Nodes.size());
    for (TvxTreeListNode* node : Nodes) lists.Add(node->Parent(), node);
    std::vector<TvxTreeListNode*> leaving;
    for (size_t i = 0; i < lists.Count(); ++i) {
        TvxTreeListNode* parent = lists.Parent(i);
        auto& siblings = parent ? parent->children_ : roots_;
        lists.Nodes(i, leaving);
        if (leaving.size() == 1) {
            // One node: its place is known, and the list shifts only behind it.
            const int index = leaving.front()->IndexIn(siblings);
            if (index >= 0) siblings.erase(siblings.begin() + index);
            leaving.front()->parent_ = nullptr;
            leaving.front()->indexHint_ = -1;
        } else {
            for (TvxTreeListNode* node : leaving) {
                node->parent_ = nullptr;
                node->indexHint_ = -1;
            }
            size_t kept = 0;
            for (TvxTreeListNode* n : siblings) {
                if (n->indexHint_ < 0) continue;
                n->indexHint_ = static_cast<int>(kept);
                siblings[kept++] = n;
            }
            siblings.resize(kept);
        }
        if (parent && siblings.empty()) parent->LostLastChild();
    }
}

void TCustomvxTreeList::DetachNodes(const std::vector<TvxTreeListNode*>& Nodes) {
    std::vector<TvxTreeListNode*> leaving;
    for (TvxTreeListNode* node : Nodes)
        if (node && node->owner_ == this && node->indexHint_ >= 0 && !hiddenNodes_.Contains(node))
            leaving.push_back(node);
    if (leaving.empty()) return;
    DetachInBatch(leaving);
    DropVisibleList();
    if (updateLock_ == 0) LayoutChanged();
}

void TCustomvxTreeList::AttachNodes(const std::vector<TvxTreeListNode*>& Nodes, TvxTreeListNode* Parent, int Position) {
    if (Parent && Parent->owner_ != this) return;
    std::vector<TvxTreeListNode*> coming;
    for (TvxTreeListNode* node : Nodes) {
        if (!node || node->owner_ != this || node->indexHint_ >= 0 || node->parent_ || hiddenNodes_.Contains(node))
            continue;
        if (Parent && (Parent == node || Parent->HasAsParent(node))) continue;
        node->indexHint_ = 0;  // taken: a repeat of it in Nodes is not
        coming.push_back(node);
    }
    if (coming.empty()) return;
    auto& list = Parent ? Parent->children_ : roots_;
    const size_t at = Position < 0 ? list.size() : std::min(list.size(), static_cast<size_t>(Position));
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), coming.begin(), coming.end());
    for (TvxTreeListNode* node : coming) node->parent_ = Parent;
    for (size_t i = at; i < list.size(); ++i) list[i]->indexHint_ = static_cast<int>(i);
    if (Parent) Parent->hasChildren_ = true;
    DropVisibleList();
    if (updateLock_ == 0) LayoutChanged();
}

void TCustomvxTreeList::FreeNodes(const std::vector<TvxTreeListNode*>& Nodes) {
    TvxNodeSlots going;
    going.Reserve(Nodes.size());
    std::vector<TvxTreeListNode*> freeing;
    for (TvxTreeListNode* node : Nodes) {
        if (!node || node->owner_ != this || hiddenNodes_.Contains(node)) continue;
        bool added = false;
        going.Slot(node, &added);
        if (added) freeing.push_back(node);
    }
    auto goes = [&going](const TvxTreeListNode* n) { return going.Find(n) != TvxNodeSlots::npos; };
    if (freeing.empty()) return;
    // Where a reference into the nodes going ends, one by one: each freed node hands it to
    // the sibling before it, else to its parent, else to the next row; those that go hand it
    // on in turn.
    auto staying = [&](TvxTreeListNode* Node) -> TvxTreeListNode* {
        TvxTreeListNode* outer = nullptr;
        for (TvxTreeListNode* n = Node; n; n = n->parent_)
            if (goes(n)) outer = n;
        if (!outer) return Node;
        for (TvxTreeListNode* n = outer;;) {
            const auto& siblings = n->SiblingList();
            const int at = n->IndexIn(siblings);
            for (int i = at - 1; i >= 0; --i)
                if (!goes(siblings[static_cast<size_t>(i)])) return siblings[static_cast<size_t>(i)];
            if (n->parent_) {
                if (!goes(n->parent_)) return n->parent_;
                n = n->parent_;
                continue;
            }
            for (size_t i = at < 0 ? siblings.size() : static_cast<size_t>(at) + 1; i < siblings.size(); ++i)
                if (!goes(siblings[i])) return siblings[i];
            return nullptr;
        }
    };
    BeginUpdate();
    TScopeExit end([this] { EndUpdate(); });
    topNode_ = staying(topNode_);
    focusedNode_ = staying(focusedNode_);
    selectionAnchor_ = staying(selectionAnchor_);
    std::vector<TvxTreeListNode*> attached;
    for (TvxTreeListNode* node : freeing)
        if (node->indexHint_ >= 0) attached.push_back(node);
    DetachInBatch(attached);
    DropVisibleList();
    // Out of their lists already: each goes also when a deletion handler raises.
    size_t next = 0;
    TvxTreeListNode::FreeEach([&] { return next < freeing.size() ? freeing[next++] : nullptr; });
}
