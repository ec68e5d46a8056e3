#include "treelist/hidden_node_list.h"

#include "treelist/tree_list_node.h"

bool TvxHiddenNodeList::Contains(const TvxTreeListNode* Node) const { return Node && Node->hiddenPlace_ >= 0; }

const std::vector<TvxTreeListNode*>& TvxHiddenNodeList::Nodes() const {
    if (holes_ > 0) Compact();
    return nodes_;
}

void TvxHiddenNodeList::Add(TvxTreeListNode* Node) {
    if (!Node || Contains(Node)) return;
    Node->hiddenPlace_ = static_cast<int>(nodes_.size());
    nodes_.push_back(Node);
}

void TvxHiddenNodeList::Remove(TvxTreeListNode* Node) {
    if (!Contains(Node)) return;
    nodes_[static_cast<size_t>(Node->hiddenPlace_)] = nullptr;
    Node->hiddenPlace_ = -1;
    ++holes_;
}

std::vector<TvxTreeListNode*> TvxHiddenNodeList::TakeAll() {
    Compact();
    for (TvxTreeListNode* node : nodes_) node->hiddenPlace_ = -1;
    std::vector<TvxTreeListNode*> nodes = std::move(nodes_);
    nodes_ = {};
    return nodes;
}

void TvxHiddenNodeList::Compact() const {
    size_t kept = 0;
    for (TvxTreeListNode* node : nodes_) {
        if (!node) continue;
        node->hiddenPlace_ = static_cast<int>(kept);
        nodes_[kept++] = node;
    }
    nodes_.resize(kept);
    holes_ = 0;
}
