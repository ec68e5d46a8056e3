#pragma once
// The sibling lists a batch of nodes touches, in the order it first touches them, with the
// batch's nodes of each (a null parent stands for the root list). The nodes of all lists
// share one store, chained list by list: a batch of nodes under as many parents (a grid
// grouped by a column of as many values as rows) makes no list of its own for each.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "treelist/node_slots.h"

class TvxTreeListNode;

class TvxTouchedSiblingLists {
public:
    void Reserve(size_t Nodes) {
        nodes_.reserve(Nodes);
        next_.reserve(Nodes);
    }
    // Node joins the batch's nodes of Parent's list, the list joining when it is new.
    void Add(TvxTreeListNode* Parent, TvxTreeListNode* Node) {
        // Batches come list by list: the last list asked for is the likely one.
        if (last_ >= lists_.size() || lists_[last_].Parent != Parent) {
            bool added = false;
            last_ = slots_.Slot(Parent, &added);
            if (added) lists_.push_back({Parent, kNone, kNone});
        }
        const auto at = static_cast<uint32_t>(nodes_.size());
        nodes_.push_back(Node);
        next_.push_back(kNone);
        List& list = lists_[last_];
        (list.Tail == kNone ? list.Head : next_[list.Tail]) = at;
        list.Tail = at;
    }
    size_t Count() const { return lists_.size(); }
    TvxTreeListNode* Parent(size_t I) const { return lists_[I].Parent; }
    // The batch's nodes of list I in the order they came, into Out.
    void Nodes(size_t I, std::vector<TvxTreeListNode*>& Out) const {
        Out.clear();
        for (uint32_t at = lists_[I].Head; at != kNone; at = next_[at]) Out.push_back(nodes_[at]);
    }

private:
    static constexpr uint32_t kNone = UINT32_MAX;
    struct List {
        TvxTreeListNode* Parent;
        uint32_t Head;
        uint32_t Tail;
    };
    // A list's number is its place in lists_.
    TvxNodeSlots slots_;
    std::vector<List> lists_;
    std::vector<TvxTreeListNode*> nodes_;
    std::vector<uint32_t> next_;
    size_t last_ = 0;
};
