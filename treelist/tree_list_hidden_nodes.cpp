// The hidden-node list: nodes kept outside the tree until they are wanted again.
//
// A filter hides or brings back most of the rows at once, so both directions take the whole
// batch: each sibling list is closed up or merged in one pass, and the places of the nodes
// in it are written as it goes, instead of one search and one shift of the list per node.

#include <algorithm>

#include "treelist/custom_tree_list.h"
#include "treelist/node_slots.h"
#include "treelist/touched_sibling_lists.h"
#include "treelist/tree_list_node.h"

void TCustomvxTreeList::HideNodes(const std::vector<TvxTreeListNode*>& Nodes) {
    // Marking each node hidden first also drops repeats and nodes that are hidden already.
    std::vector<TvxTreeListNode*> hiding;
    for (TvxTreeListNode* node : Nodes) {
        if (!node || node->Owner() != this || hiddenNodes_.Contains(node)) continue;
        hiddenNodes_.Add(node);
        hiding.push_back(node);
    }
    TakeOutHidden(hiding);
}

void TCustomvxTreeList::TakeOutHidden(const std::vector<TvxTreeListNode*>& Hiding) {
    if (Hiding.empty()) return;
    DeselectNodes(Hiding);
    auto inside = [this](const TvxTreeListNode* n) {
        for (; n; n = n->Parent())
            if (hiddenNodes_.Contains(n)) return true;
        return false;
    };
    // Only the focus and the top row survive when they lie outside the hidden subtrees; the
    // other references (anchor, pressed and hot nodes, the editor's node) are dropped.
    TvxTreeListNode* focus = inside(focusedNode_) ? nullptr : focusedNode_;
    TvxTreeListNode* top = inside(topNode_) ? nullptr : topNode_;
    TvxTreeListNode* pending = inside(pendingVisibleNode_) ? nullptr : pendingVisibleNode_;
    if (inside(editorNode_)) CloseEditor(false);
    ResetNodeReferences();
    focusedNode_ = focus;
    topNode_ = top;
    pendingVisibleNode_ = pending;

    DetachInBatch(Hiding);
    DropVisibleList();
    if (updateLock_ == 0) LayoutChanged();
}

void TCustomvxTreeList::HideNodesFreeingEmptyParents(const std::vector<TvxTreeListNode*>& Nodes) {
    // The nodes are marked hidden, as HideNodes' first step does (which drops repeats), with
    // their parents noted, in one pass: a filter's rows lie all over memory, and each pass
    // over them costs what reading them does.
    std::vector<TvxTreeListNode*> rows, parents;
    rows.reserve(Nodes.size());
    parents.reserve(Nodes.size());
    int level = -1;
    bool oneLevel = true;
    for (TvxTreeListNode* node : Nodes) {
        if (!node || node->Owner() != this || hiddenNodes_.Contains(node)) continue;
        const int at = node->Level();
        if (level >= 0 && at != level) {
            oneLevel = false;
            break;
        }
        level = at;
        hiddenNodes_.Add(node);
        rows.push_back(node);
        parents.push_back(node->Parent());
    }
    if (!oneLevel) {
        for (TvxTreeListNode* row : rows) hiddenNodes_.Remove(row);
        for (TvxTreeListNode* row : Nodes) {
            if (!row || row->Owner() != this || hiddenNodes_.Contains(row)) continue;
            TvxTreeListNode* parent = row->Parent();
            HideNodes({row});
            if (!parent || parent->Count() > 0) continue;
            while (parent->Parent() && parent->Parent()->Count() == 1) parent = parent->Parent();
            parent->Free();
        }
        return;
    }
    // How many children leave each parent, and the parents in the order of their last rows
    // (met first from the end, turned round).
    TvxNodeSlots counted;
    std::vector<int> leaving;
    auto leave = [&](TvxTreeListNode* n) {
        bool added = false;
        const size_t slot = counted.Slot(n, &added);
        if (added) leaving.push_back(0);
        ++leaving[slot];
        return added;
    };
    auto left = [&](TvxTreeListNode* n) {
        const size_t slot = counted.Find(n);
        return n->Count() - (slot == TvxNodeSlots::npos ? 0 : leaving[slot]);
    };
    std::vector<TvxTreeListNode*> emptied;
    for (auto it = parents.rbegin(); it != parents.rend(); ++it)
        if (*it && leave(*it)) emptied.push_back(*it);
    std::reverse(emptied.begin(), emptied.end());
    // Each empty parent goes with the parents above it that it leaves empty; counted here and
    // freed together, the lists they leave close up once instead of shifting for each. A
    // parent goes only once every child of it is counted as leaving: none takes a row with it,
    // and none goes before the parents emptied earlier, as no parent holds another's rows.
    std::vector<TvxTreeListNode*> going;
    for (TvxTreeListNode* parent : emptied) {
        if (left(parent) != 0) continue;
        TvxTreeListNode* node = parent;
        while (node->Parent() && left(node->Parent()) == 1) node = node->Parent();
        going.push_back(node);
        if (node->Parent()) leave(node->Parent());
    }
    TakeOutHidden(rows);
    FreeNodes(going);
}

void TCustomvxTreeList::UnhideNodes(const std::vector<TvxNodeReturn>& Nodes, const TvxNodeLess& Precedes,
                                    bool InOrder) {
    TvxTouchedSiblingLists lists;
    lists.Reserve(Nodes.size());
    TvxTreeListNode* first = nullptr;
    for (const TvxNodeReturn& r : Nodes) {
        TvxTreeListNode* node = r.Node;
        TvxTreeListNode* parent = r.Parent;
        if (!hiddenNodes_.Contains(node) || node->Owner() != this) continue;
        if (parent && (parent->Owner() != this || parent == node || parent->HasAsParent(node))) continue;
        hiddenNodes_.Remove(node);
        lists.Add(parent, node);
        if (!first) first = node;
    }
    if (!first) return;
    std::vector<TvxTreeListNode*> returning, merged;
    for (size_t i = 0; i < lists.Count(); ++i) {
        TvxTreeListNode* parent = lists.Parent(i);
        auto& siblings = parent ? parent->children_ : roots_;
        lists.Nodes(i, returning);
        // Put back one by one, each before the first sibling it precedes, they would end in
        // this order, each run of them just before the sibling that stopped it.
        if (!InOrder && !std::is_sorted(returning.begin(), returning.end(), Precedes))
            std::stable_sort(returning.begin(), returning.end(), Precedes);
        merged.clear();
        merged.reserve(siblings.size() + returning.size());
        auto place = [&merged](TvxTreeListNode* n) {
            n->indexHint_ = static_cast<int>(merged.size());
            merged.push_back(n);
        };
        size_t next = 0;
        auto placeReturning = [&] {
            returning[next]->parent_ = parent;
            place(returning[next++]);
        };
        // The run of returning nodes that goes before Sibling ends at the first that does not
        // precede it. In Precedes order the run is a prefix of what is left, found by
        // galloping: a few returning nodes are asked, not every one.
        auto runEnd = [&](TvxTreeListNode* Sibling) {
            if (!InOrder) {
                size_t end = next;
                while (end < returning.size() && Precedes(returning[end], Sibling)) ++end;
                return end;
            }
            size_t in = next, step = 1;
            while (in + step <= returning.size() && Precedes(returning[in + step - 1], Sibling)) {
                in += step;
                step *= 2;
            }
            // The run ends in [in, min(in + step, size)]: returning[in - 1] precedes, when in > next.
            size_t lo = in, hi = std::min(in + step - 1, returning.size());
            while (lo < hi) {
                const size_t mid = lo + (hi - lo) / 2;
                if (Precedes(returning[mid], Sibling))
                    lo = mid + 1;
                else
                    hi = mid;
            }
            return lo;
        };
        for (TvxTreeListNode* sibling : siblings) {
            const size_t end = runEnd(sibling);
            while (next < end) placeReturning();
            place(sibling);
        }
        while (next < returning.size()) placeReturning();
        // Into the list's own room where it has enough: a group row made again in the place a
        // filter freed it from has its list's room back, beside it.
        siblings.assign(merged.begin(), merged.end());
        if (parent) parent->hasChildren_ = true;
    }
    if (!topNode_) topNode_ = first;
    if (!focusedNode_) focusedNode_ = topNode_;
    DropVisibleList();
    if (updateLock_ == 0) LayoutChanged();
}
