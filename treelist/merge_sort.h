#pragma once
// A bottom-up merge sort for comparisons we cannot trust: the application's OnCompare, or
// the data-aware comparisons where an empty value equals everything. Whatever Compare
// answers (inconsistent, random, or raising), the sort reads and writes only inside the
// list, ends after ceil(log2 n) passes, and leaves Items a permutation of what it held.
// Compare(a, b) answers below zero when a goes before b.

#include <algorithm>
#include <cstddef>
#include <vector>

template <class T, class Compare>
void MergeSortItems(std::vector<T>& Items, Compare&& Compare_) {
    const size_t n = Items.size();
    if (n < 2) return;
    std::vector<T> merged(n);
    for (size_t width = 1; width < n; width *= 2) {
        for (size_t lo = 0; lo < n; lo += 2 * width) {
            const size_t mid = std::min(lo + width, n);
            const size_t hi = std::min(lo + 2 * width, n);
            size_t i = lo, j = mid, k = lo;
            // Equal items keep their order: the right one moves first only when smaller.
            while (i < mid && j < hi) merged[k++] = Compare_(Items[j], Items[i]) < 0 ? Items[j++] : Items[i++];
            while (i < mid) merged[k++] = Items[i++];
            while (j < hi) merged[k++] = Items[j++];
        }
        // A raising comparison leaves Items as the last finished pass had it.
        Items.swap(merged);
    }
}

// The same promises for Items[First, Last), and about Last - First comparisons when the items
// come as a few runs, each in order or in reverse order: rows coming back in the order they
// were shown, or that order read backwards. Each run found (a run read backwards is turned
// round, its equal items keeping their order) is merged with its neighbours, pass by pass;
// items in no order make runs of about two, and the sort becomes MergeSortItems'.
template <class T, class Compare>
void MergeSortRuns(std::vector<T>& Items, size_t First, size_t Last, Compare&& Compare_) {
    if (Last > Items.size() || Last < First + 2) return;
    const size_t n = Last - First;
    T* items = Items.data() + First;
    // Where each run ends; equal[k]: items k - 1 and k compared equal.
    std::vector<size_t> ends;
    std::vector<bool> equal(n, false);
    for (size_t start = 0; start < n;) {
        size_t end = start + 1;
        int direction = 0;
        for (; end < n; ++end) {
            const int c = Compare_(items[end], items[end - 1]);
            if (c == 0) {
                equal[end] = true;
                continue;
            }
            const int d = c < 0 ? -1 : 1;
            if (direction != 0 && d != direction) break;
            direction = d;
        }
        if (direction < 0) {
            std::reverse(items + start, items + end);
            // Blocks of equal items were turned round with the run: turned back.
            for (size_t k = start + 1; k < end;) {
                if (!equal[k]) {
                    ++k;
                    continue;
                }
                const size_t block = k - 1;
                while (k < end && equal[k]) ++k;
                std::reverse(items + (start + end - k), items + (start + end - block));
            }
        }
        ends.push_back(end);
        start = end;
    }
    if (ends.size() < 2) return;
    std::vector<T> merged(n);
    while (ends.size() > 1) {
        std::vector<size_t> next;
        next.reserve(ends.size() / 2 + 1);
        size_t lo = 0;
        for (size_t r = 0; r < ends.size(); r += 2) {
            const size_t mid = ends[r];
            const size_t hi = r + 1 < ends.size() ? ends[r + 1] : mid;
            size_t i = lo, j = mid, k = lo;
            // Equal items keep their order: the right one moves first only when smaller.
            while (i < mid && j < hi) merged[k++] = Compare_(items[j], items[i]) < 0 ? items[j++] : items[i++];
            while (i < mid) merged[k++] = items[i++];
            while (j < hi) merged[k++] = items[j++];
            next.push_back(hi);
            lo = hi;
        }
        // A raising comparison leaves Items as the last finished pass had it.
        std::copy(merged.begin(), merged.end(), items);
        ends = std::move(next);
    }
}
