#pragma once
// Small routines the tree list's parts share: tree-order comparison, a case-insensitive
// text test and range arithmetic.

#include <string_view>

#include "platform/gdi/geometry.h"

class TvxTreeListNode;

// Below zero when Node1 comes before Node2 in tree order; an ancestor comes first.
int CompareNodeOrder(const TvxTreeListNode* Node1, const TvxTreeListNode* Node2);
int CompareIntegers(int A, int B);
// Equal after upper-casing by the locale's rules.
bool SameUpperText(std::string_view S1, std::string_view S2);
// A1..A2 and B1..B2 share a point, or B lies strictly inside A.
bool RangesIntersect(int A1, int A2, int B1, int B2);
bool IsPointRect(const TRect& Rect);
int MaxInt2(int A, int B);
