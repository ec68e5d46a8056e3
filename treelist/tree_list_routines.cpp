#include "treelist/tree_list_routines.h"

#include "platform/rtl/str_utils.h"
#include "treelist/tree_list_node.h"

int CompareNodeOrder(const TvxTreeListNode* Node1, const TvxTreeListNode* Node2) {
    if (Node1->HasAsParent(Node2)) return 1;
    if (Node2->HasAsParent(Node1)) return -1;
    int level1 = Node1->Level();
    int level2 = Node2->Level();
    for (; level1 > level2; --level1) Node1 = Node1->Parent();
    for (; level2 > level1; --level2) Node2 = Node2->Parent();
    while (Node1->Parent() != Node2->Parent()) {
        Node1 = Node1->Parent();
        Node2 = Node2->Parent();
    }
    return Node1->Index() - Node2->Index();
}

int CompareIntegers(int A, int B) { return A < B ? -1 : (A > B ? 1 : 0); }

bool SameUpperText(std::string_view S1, std::string_view S2) { return AnsiUpperCase(S1) == AnsiUpperCase(S2); }

bool RangesIntersect(int A1, int A2, int B1, int B2) {
    return (B1 <= A1 && A1 <= B2) || (B1 <= A2 && A2 <= B2) || (B1 > A1 && B2 < A2);
}

bool IsPointRect(const TRect& Rect) { return Rect.Left == Rect.Right && Rect.Top == Rect.Bottom; }

int MaxInt2(int A, int B) { return A > B ? A : B; }
