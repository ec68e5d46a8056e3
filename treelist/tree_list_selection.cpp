// Selection of TCustomvxTreeList: the anchor, range selection in display order, the check
// whether a node may join the selection and the batch that folds many changes into one
// OnSelectedCountChange. The base keeps no selected nodes; descendants keep the set.

#include <cstdlib>

#include "platform/rtl/scope_exit.h"
#include "treelist/custom_tree_list.h"

bool TCustomvxTreeList::DoCanNodeSelected(TvxTreeListNode* Node) {
    bool allow = true;
    if (OnCanNodeSelected) OnCanNodeSelected(this, Node, allow);
    if (allow && !IsExtMultiSelect()) {
        // Without ExtMultiSelect only siblings are selected together.
        if (TvxTreeListNode* first = GetFirstSelectedNode()) allow = Node->Parent() == first->Parent();
    }
    return allow;
}

void TCustomvxTreeList::ClearSelection() {
    selectionPending_ = false;
    DoSelectedCountChange();
}

int TCustomvxTreeList::CompareWithAnchor(TvxTreeListNode* Node) {
    const int anchor = GetAbsoluteIndex(selectionAnchor_);
    const int index = GetAbsoluteIndex(Node);
    if (anchor == index) return 0;
    return anchor > index ? -1 : 1;
}

int TCustomvxTreeList::DeleteSelection() {
    selectionPending_ = false;
    return GetSelectedCount();
}

void TCustomvxTreeList::DoSelectedCountChange() {
    if (IsDestroying() || selectionBatch_ > 0) return;
    if (OnSelectedCountChange) OnSelectedCountChange(this);
}

void TCustomvxTreeList::SelectionChanged(TvxTreeListNode* /*Node*/, bool /*Select*/) { DoSelectedCountChange(); }

void TCustomvxTreeList::DeselectNodes(const std::vector<TvxTreeListNode*>& Nodes) {
    for (TvxTreeListNode* node : Nodes)
        if (IsNodeSelected(node)) SelectionChanged(node, false);
}

void TCustomvxTreeList::SelectRange(TvxTreeListNode* Node1, TvxTreeListNode* Node2) {
    BeginSelection();
    TScopeExit end([this] { EndSelection(); });
    int i1 = GetAbsoluteIndex(Node1);
    int i2 = GetAbsoluteIndex(Node2);
    if (i1 > i2) {
        std::swap(Node1, Node2);
        std::swap(i1, i2);
    }
    // Selecting may change the display order under the walk (a handler expanding a node);
    // the index distance caps how many nodes one range can select.
    const int limit = std::abs(i2 - i1) + 1;
    int done = 0;
    for (TvxTreeListNode* node = Node1; node && done < limit; node = GetNextVisibleNode(node)) {
        node->SetSelected(true);
        ++done;
        if (node == Node2) break;
    }
}

TvxTreeListNode* TCustomvxTreeList::GetFirstSelectedNode() {
    if (GetSelectedCount() > 0) return GetSelectedItem(0);
    return rangeStartNode_;
}

void TCustomvxTreeList::InvalidateSelection() {
    if (focusedNode_) InvalidateRect(GetNodeRowRect(focusedNode_));
    const int count = GetSelectedCount();
    if (count < 11) {
        for (int i = 0; i < count; ++i)
            if (TvxTreeListNode* node = GetSelectedItem(i)) InvalidateRect(GetNodeRowRect(node));
    } else {
        Invalidate();
    }
}
