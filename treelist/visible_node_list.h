#pragma once
// The visible-node list of a tree list: the visible nodes in display order, and the same
// nodes sorted by address with each one's display index, so that a node's display index,
// and with it its neighbours in display order, cost a binary search instead of a tree walk.
//
// It holds only node pointers; its owner keeps it in step with the tree (rebuild, or patch
// one added or deleted node) and empties it whenever it cannot.

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
    bool Empty() const { return byAddress_.empty(); }
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

  private:
    struct Entry {
        TvxTreeListNode* Node;
        int DisplayIndex;
    };
    // First entry whose address is not below Node's.
    std::vector<Entry>::const_iterator LowerBound(const TvxTreeListNode* Node) const;
    void AppendSubtree(TvxTreeListNode* Node);

    bool exists_ = false;
    std::vector<TvxTreeListNode*> display_;
    std::vector<Entry> byAddress_;
};
