#pragma once
// The hidden-node list of a tree list: nodes taken out of the tree but kept, in the order
// they were hidden. Each node in it carries its own place, so that asking whether a node is
// hidden and taking it out cost no search; taking one out leaves a hole, and the holes are
// closed in one pass when the list is next read as a whole.
//
// It holds only node pointers; its owner frees the nodes.

#include <cstddef>
#include <vector>

class TvxTreeListNode;

class TvxHiddenNodeList {
public:
    bool Contains(const TvxTreeListNode* Node) const;
    int Count() const { return static_cast<int>(nodes_.size() - holes_); }
    bool Empty() const { return Count() == 0; }
    // The hidden nodes, first hidden first.
    const std::vector<TvxTreeListNode*>& Nodes() const;

    // Node goes last; nothing when it is in the list already.
    void Add(TvxTreeListNode* Node);
    // Node leaves; nothing when it is not in the list.
    void Remove(TvxTreeListNode* Node);
    // Empties the list and hands its nodes over in order.
    std::vector<TvxTreeListNode*> TakeAll();

private:
    void Compact() const;

    // Holes are null entries; Nodes() closes them, which moves the nodes' places.
    mutable std::vector<TvxTreeListNode*> nodes_;
    mutable size_t holes_ = 0;
};
