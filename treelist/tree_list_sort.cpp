// Sorting the node lists of TCustomvxTreeList by the values of one column or of every
// sorted column in turn, or by the application's OnCompare.

#include <functional>

#include "platform/forms/screen.h"
#include "platform/rtl/str_utils.h"
#include "treelist/custom_tree_list.h"
#include "treelist/merge_sort.h"

namespace {

// One column's value of one node; a node's keys for all sorted columns form a chain.
struct SortKey {
    TvxTreeListNode* Node;
    Variant Value;
    bool Descending;
    const SortKey* Next;
};

}  // namespace

int TCustomvxTreeList::CompareValues(TvxTreeListNode* Node1, TvxTreeListNode* Node2) {
    // A fixed order among equal keys: the identities of the nodes, compared three-way.
    std::less<const TvxTreeListNode*> less;
    if (less(Node1, Node2)) return -1;
    return less(Node2, Node1) ? 1 : 0;
}

std::vector<TvxTreeListNode*> TCustomvxTreeList::SortedOrder(const std::vector<TvxTreeListNode*>& List, int ColumnIndex,
                                                             bool Descending) {
    const int sortedCount = GetSortedColumnCount();
    const bool multi = CanSort() && sortedCount >= 2;
    const size_t chain = multi ? static_cast<size_t>(sortedCount) : 1;

    std::vector<SortKey> keys;
    keys.reserve(List.size() * chain);
    for (TvxTreeListNode* node : List) {
        for (size_t j = 0; j < chain; ++j) {
            const int column = multi ? GetSortedColumnIndex(static_cast<int>(j)) : ColumnIndex;
            const bool descending = multi ? IsSortedColumnDescending(static_cast<int>(j)) : Descending;
            keys.push_back({node, GetNodeSortValue(node, column), descending, nullptr});
        }
    }
    std::vector<const SortKey*> items;
    items.reserve(List.size());
    for (size_t i = 0; i < List.size(); ++i) {
        for (size_t j = 0; j + 1 < chain; ++j) keys[i * chain + j].Next = &keys[i * chain + j + 1];
        items.push_back(&keys[i * chain]);
    }

    const bool ansi = IsAnsiSort();
    auto byValue = [this, ansi](const SortKey* k1, const SortKey* k2) {
        const SortKey* first = k1;
        const SortKey* second = k2;
        for (; k1 && k2; k1 = k1->Next, k2 = k2->Next) {
            const TVariantRelationship relation = VarCompareValue(k1->Value, k2->Value);
            if (relation == vrEqual) continue;
            int result;
            if (ansi && k1->Value.IsString())
                result = AnsiCompareStr(VarToStr(k1->Value), VarToStr(k2->Value));
            else
                result = relation == vrGreaterThan ? 1 : -1;
            return k1->Descending ? -result : result;
        }
        return CompareValues(first->Node, second->Node);
    };
    if (OnCompare) {
        MergeSortItems(items, [this](const SortKey* k1, const SortKey* k2) {
            int compare = 0;
            OnCompare(this, k1->Node, k2->Node, compare);
            return compare;
        });
    } else {
        MergeSortItems(items, byValue);
    }
    std::vector<TvxTreeListNode*> order;
    order.reserve(items.size());
    for (const SortKey* item : items) order.push_back(item->Node);
    return order;
}

void TCustomvxTreeList::SortLevel(std::vector<TvxTreeListNode*>& List, int Depth, int Level, int ColumnIndex,
                                  bool Descending, std::vector<TListOrder>& Orders) {
    if ((Level < 0 || Depth == Level) && List.size() >= 2)
        Orders.push_back({&List, SortedOrder(List, ColumnIndex, Descending)});
    if (Level >= 0 && Depth >= Level) return;
    for (TvxTreeListNode* node : List)
        if (node->Count() > 0) SortLevel(node->children_, Depth + 1, Level, ColumnIndex, Descending, Orders);
}

void TCustomvxTreeList::SortNodes(int Level, int ColumnIndex, bool Descending) {
    struct Cursor {
        bool restore = false;
        TCursor saved = crDefault;
        ~Cursor() {
            if (restore) EnsureScreen()->SetCursor(saved);
        }
    } cursor;
    if (IsShowHourGlass()) {
        cursor.saved = EnsureScreen()->Cursor();
        cursor.restore = true;
        EnsureScreen()->SetCursor(crHourGlass);
    }
    // Every list's order is found before any list takes it: a comparison that raises (OnCompare)
    // leaves every row where it was, and the sort counts as broken off.
    std::vector<TListOrder> orders;
    ++sortsBrokenOff_;
    SortLevel(roots_, 0, Level, ColumnIndex, Descending, orders);
    --sortsBrokenOff_;
    // Each list keeps its own storage (see ArrangeChildren).
    for (const TListOrder& order : orders) {
        order.List->assign(order.Nodes.begin(), order.Nodes.end());
        TvxTreeListNode::NumberPlaces(*order.List);
    }
    // The display order changed under the visible-node list: rebuild it, or, inside an
    // update lock, leave it empty for the next rebuild.
    if (updateLock_ == 0 && !IsDestroying())
        LayoutChanged();
    else
        DropVisibleList();
    // The top row keeps its node, which the sort may have taken towards the end: the rows
    // from it on must still fill the view.
    if (!IsDestroying()) ClampTopIndex();
}

void TCustomvxTreeList::ArrangeChildren(TvxTreeListNode* Parent, const std::vector<TvxTreeListNode*>& Order) {
    std::vector<TvxTreeListNode*>& list = Parent ? Parent->children_ : roots_;
    if (Order.size() != list.size()) return;
    // Into the list's own storage, which it keeps: a node made again in a freed node's storage
    // may have been given that node's list storage (TakeChildRoom), to keep.
    const std::vector<TvxTreeListNode*> old = list;
    list.assign(Order.begin(), Order.end());
    TvxTreeListNode::NumberPlaces(list);
    // Every node that was there found at its new place: Order holds them all.
    for (TvxTreeListNode* node : old)
        if (list[static_cast<size_t>(node->indexHint_)] != node) {
            list.assign(old.begin(), old.end());
            TvxTreeListNode::NumberPlaces(list);
            return;
        }
    if (updateLock_ == 0 && !IsDestroying())
        LayoutChanged();
    else
        DropVisibleList();
}
