// The hidden-node list: nodes kept outside the tree until they are wanted again.

#include <algorithm>

#include "treelist/custom_tree_list.h"
#include "treelist/tree_list_node.h"

void TCustomvxTreeList::HideNode(TvxTreeListNode* Node) {
    if (!Node || Node->Owner() != this) return;
    if (std::find(hiddenNodes_.begin(), hiddenNodes_.end(), Node) != hiddenNodes_.end()) return;
    auto inside = [Node](TvxTreeListNode* n) { return n && (n == Node || n->HasAsParent(Node)); };
    if (IsNodeSelected(Node)) SelectionChanged(Node, false);
    // Only the focus and the top row survive when they lie outside the hidden subtree; the
    // other references (anchor, pressed and hot nodes, the editor's node) are dropped.
    TvxTreeListNode* focus = inside(focusedNode_) ? nullptr : focusedNode_;
    TvxTreeListNode* top = inside(topNode_) ? nullptr : topNode_;
    if (inside(editorNode_)) CloseEditor(false);
    ResetNodeReferences();
    focusedNode_ = focus;
    topNode_ = top;
    if (Node->Parent())
        Node->DetachFromParent();
    else
        Node->DetachFromOwner();
    hiddenNodes_.push_back(Node);
    DropVisibleList();
    LayoutChanged();
}

void TCustomvxTreeList::UnhideNode(TvxTreeListNode* Node, TvxTreeListNode* Parent, int Position) {
    auto it = std::find(hiddenNodes_.begin(), hiddenNodes_.end(), Node);
    if (it == hiddenNodes_.end() || (Parent && (Parent->Owner() != this || Parent->HasAsParent(Node)))) return;
    hiddenNodes_.erase(it);
    auto& list = Parent ? Parent->children_ : roots_;
    const size_t at = Position < 0 ? list.size() : std::min(list.size(), static_cast<size_t>(Position));
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), Node);
    Node->parent_ = Parent;
    Node->indexHint_ = static_cast<int>(at);
    if (Parent) Parent->hasChildren_ = true;
    if (!topNode_) topNode_ = Node;
    if (!focusedNode_) focusedNode_ = topNode_;
    DropVisibleList();
    LayoutChanged();
}
