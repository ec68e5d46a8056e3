#include "treelist/visible_node_list.h"

#include <algorithm>
#include <functional>

#include "treelist/tree_list_node.h"

namespace {
// Addresses of unrelated objects are ordered through std::less, the one total order the
// language guarantees for them.
bool AddressBelow(const TvxTreeListNode* a, const TvxTreeListNode* b) {
    return std::less<const TvxTreeListNode*>()(a, b);
}
}  // namespace

void TvxVisibleNodeList::Clear() {
    display_.clear();
    byAddress_.clear();
}

std::vector<TvxVisibleNodeList::Entry>::const_iterator TvxVisibleNodeList::LowerBound(
    const TvxTreeListNode* Node) const {
    return std::lower_bound(byAddress_.begin(), byAddress_.end(), Node,
                            [](const Entry& e, const TvxTreeListNode* n) { return AddressBelow(e.Node, n); });
}

int TvxVisibleNodeList::IndexOf(const TvxTreeListNode* Node) const {
    auto it = LowerBound(Node);
    if (it == byAddress_.end() || it->Node != Node) return -1;
    return it->DisplayIndex;
}

TvxTreeListNode* TvxVisibleNodeList::At(int DisplayIndex) const {
    if (DisplayIndex < 0 || DisplayIndex >= Count()) return nullptr;
    return display_[static_cast<size_t>(DisplayIndex)];
}

void TvxVisibleNodeList::AppendSubtree(TvxTreeListNode* Node) {
    // An explicit stack: a long chain of expanded nodes must not exhaust the call stack.
    std::vector<TvxTreeListNode*> stack{Node};
    while (!stack.empty()) {
        TvxTreeListNode* n = stack.back();
        stack.pop_back();
        display_.push_back(n);
        if (n->Expanded())
            for (int i = n->Count() - 1; i >= 0; --i) stack.push_back(n->Items(i));
    }
}

void TvxVisibleNodeList::Rebuild(const std::vector<TvxTreeListNode*>& Roots) {
    Clear();
    for (TvxTreeListNode* root : Roots) AppendSubtree(root);
    byAddress_.reserve(display_.size());
    for (size_t i = 0; i < display_.size(); ++i) byAddress_.push_back({display_[i], static_cast<int>(i)});
    std::sort(byAddress_.begin(), byAddress_.end(),
              [](const Entry& a, const Entry& b) { return AddressBelow(a.Node, b.Node); });
}

void TvxVisibleNodeList::Insert(TvxTreeListNode* Node, int D) {
    D = std::clamp(D, 0, Count());
    for (Entry& e : byAddress_)
        if (e.DisplayIndex >= D) ++e.DisplayIndex;
    byAddress_.insert(LowerBound(Node), Entry{Node, D});
    display_.insert(display_.begin() + D, Node);
}

void TvxVisibleNodeList::Remove(const TvxTreeListNode* Node) {
    auto it = LowerBound(Node);
    if (it == byAddress_.end() || it->Node != Node) return;
    const int D = it->DisplayIndex;
    byAddress_.erase(it);
    for (Entry& e : byAddress_)
        if (e.DisplayIndex > D) --e.DisplayIndex;
    display_.erase(display_.begin() + D);
}
