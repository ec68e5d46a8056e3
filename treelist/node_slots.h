#pragma once
// Nodes numbered 0, 1, 2... in the order they first come (a null node among them), found
// again by their address: for batches that keep what they learn of each node side by side,
// in vectors indexed by these numbers.

#include <cstddef>
#include <cstdint>

#include "treelist/node_map.h"

class TvxNodeSlots {
public:
    static constexpr size_t npos = SIZE_MAX;

    void Reserve(size_t Nodes) { slots_.Reserve(Nodes); }
    size_t Count() const { return count_; }
    // Node's number, or npos when it has none.
    size_t Find(const TvxTreeListNode* Node) const {
        const size_t* slot = slots_.Find(Node);
        return slot ? *slot : npos;
    }
    // Node's number; a node met first takes the next one, and Added says so.
    size_t Slot(const TvxTreeListNode* Node, bool* Added = nullptr) {
        bool added = false;
        size_t& slot = slots_.Get(Node, &added);
        if (added) slot = count_++;
        if (Added) *Added = added;
        return slot;
    }

private:
    TvxNodeMap<size_t> slots_;
    size_t count_ = 0;
};
