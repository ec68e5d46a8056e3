#pragma once
// The sibling lists a batch of nodes touches, in the order it first touches them, with the
// batch's nodes of each (a null parent stands for the root list).

#include <cstddef>
#include <unordered_map>
#include <vector>

class TvxTreeListNode;

class TvxTouchedSiblingLists {
  public:
    // The batch's nodes in Parent's list, the list joining when it is new.
    std::vector<TvxTreeListNode*>& Of(TvxTreeListNode* Parent) {
        // Batches come list by list: the last list asked for is the likely one.
        if (last_ < parents_.size() && parents_[last_] == Parent) return nodes_[last_];
        auto [it, added] = slots_.try_emplace(Parent, parents_.size());
        if (added) {
            parents_.push_back(Parent);
            nodes_.emplace_back();
        }
        last_ = it->second;
        return nodes_[last_];
    }
    size_t Count() const { return parents_.size(); }
    TvxTreeListNode* Parent(size_t I) const { return parents_[I]; }
    std::vector<TvxTreeListNode*>& Nodes(size_t I) { return nodes_[I]; }

  private:
    std::unordered_map<TvxTreeListNode*, size_t> slots_;
    std::vector<TvxTreeListNode*> parents_;
    std::vector<std::vector<TvxTreeListNode*>> nodes_;
    size_t last_ = 0;
};
