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
            while (i < mid && j < hi)
                merged[k++] = Compare_(Items[j], Items[i]) < 0 ? Items[j++] : Items[i++];
            while (i < mid) merged[k++] = Items[i++];
            while (j < hi) merged[k++] = Items[j++];
        }
        // A raising comparison leaves Items as the last finished pass had it.
        Items.swap(merged);
    }
}
