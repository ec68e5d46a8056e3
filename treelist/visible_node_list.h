#pragma once
// The visible-node list of a tree list: the visible nodes in display order. Each node in it
// carries its own display index, stamped with the list's current build, so that a node's
// display index, and with it its neighbours in display order, cost no tree walk and no
// search; emptying the list only moves the stamp on. Rebuilding it is one walk over the
// visible nodes, and patching one node renumbers only the nodes behind it.
//
// It holds only node pointers; its owner keeps it in step with the tree (rebuild, or patch
// one added or deleted node) and empties it whenever it cannot.

#include <cstddef>
#include <cstdint>
#include <vector>

class TvxTreeListNode;

class TvxVisibleNodeList {
public:
    // The lists exist from the control's construction until its destruction begins.
    bool Exists() const { return exists_; }
    void SetExists(bool v) {
        exists_ = v;
        if (!v) Clear();
    }

    int Count() const { return static_cast<int>(display_.size()); }
    bool Empty() const { return display_.empty(); }
    void Clear();

    // Display index of Node; -1 when it is not in the list.
    int IndexOf(const TvxTreeListNode* Node) const;
    TvxTreeListNode* At(int DisplayIndex) const;

    // Fills the list from the roots: each node, then, while it is expanded, its children.
    void Rebuild(const std::vector<TvxTreeListNode*>& Roots);
    // Node joins at display index D.
    void Insert(TvxTreeListNode* Node, int D);
    // Node leaves; nothing when it is not in the list.
    void Remove(const TvxTreeListNode* Node);
    // The nodes at display indexes From to To - 1 leave.
    void RemoveRange(int From, int To);

private:
    void AppendSubtree(TvxTreeListNode* Node, std::vector<TvxTreeListNode*>& Stack);
    // Gives the nodes from display index From on their places under the current stamp.
    void Number(size_t From);

    bool exists_ = false;
    // Unique among all lists, so that a node of another control is never taken for one of ours.
    uint64_t stamp_ = 0;
    std::vector<TvxTreeListNode*> display_;
};
