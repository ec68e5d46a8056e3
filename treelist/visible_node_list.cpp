#include "treelist/visible_node_list.h"

#include <algorithm>
#include <atomic>

#include "treelist/tree_list_node.h"

namespace {
uint64_t NewStamp() {
    static std::atomic<uint64_t> last{0};
    return ++last;
}
}  // namespace

void TvxVisibleNodeList::Clear() {
    display_.clear();
    stamp_ = NewStamp();
}

int TvxVisibleNodeList::IndexOf(const TvxTreeListNode* Node) const {
    if (!Node || display_.empty() || Node->visibleStamp_ != stamp_) return -1;
    return Node->displayIndex_;
}

TvxTreeListNode* TvxVisibleNodeList::At(int DisplayIndex) const {
    if (DisplayIndex < 0 || DisplayIndex >= Count()) return nullptr;
    return display_[static_cast<size_t>(DisplayIndex)];
}

void TvxVisibleNodeList::AppendSubtree(TvxTreeListNode* Node, std::vector<TvxTreeListNode*>& Stack) {
    // An explicit stack: a long chain of expanded nodes must not exhaust the call stack.
    Stack.push_back(Node);
    while (!Stack.empty()) {
        TvxTreeListNode* n = Stack.back();
        Stack.pop_back();
        n->visibleStamp_ = stamp_;
        n->displayIndex_ = static_cast<int>(display_.size());
        display_.push_back(n);
        if (n->Expanded())
            for (int i = n->Count() - 1; i >= 0; --i) Stack.push_back(n->Items(i));
    }
}

void TvxVisibleNodeList::Number(size_t From) {
    for (size_t i = From; i < display_.size(); ++i) {
        display_[i]->visibleStamp_ = stamp_;
        display_[i]->displayIndex_ = static_cast<int>(i);
    }
}

void TvxVisibleNodeList::Rebuild(const std::vector<TvxTreeListNode*>& Roots) {
    Clear();
    std::vector<TvxTreeListNode*> stack;
    for (TvxTreeListNode* root : Roots) AppendSubtree(root, stack);
}

void TvxVisibleNodeList::Insert(TvxTreeListNode* Node, int D) {
    D = std::clamp(D, 0, Count());
    display_.insert(display_.begin() + D, Node);
    Number(static_cast<size_t>(D));
}

void TvxVisibleNodeList::RemoveRange(int From, int To) {
    From = std::clamp(From, 0, Count());
    To = std::clamp(To, From, Count());
    if (From == To) return;
    for (int i = From; i < To; ++i) display_[static_cast<size_t>(i)]->visibleStamp_ = 0;
    display_.erase(display_.begin() + From, display_.begin() + To);
    Number(static_cast<size_t>(From));
}

void TvxVisibleNodeList::Remove(const TvxTreeListNode* Node) {
    const int D = IndexOf(Node);
    if (D < 0) return;
    display_.erase(display_.begin() + D);
    Node->visibleStamp_ = 0;
    Number(static_cast<size_t>(D));
}
