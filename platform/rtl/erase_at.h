#pragma once
// Taking many entries out of a long list: each erased on its own would close up the rest of
// the list behind it, so the list is closed up once.

#include <cstddef>
#include <utility>
#include <vector>

// Takes the entries at Indexes (ascending, each once) out of List; indexes past its end are
// not in it.
template <typename T>
void EraseAt(std::vector<T>& List, const std::vector<int>& Indexes) {
    size_t to = 0, next = 0;
    for (size_t from = 0; from < List.size(); ++from) {
        if (next < Indexes.size() && static_cast<size_t>(Indexes[next]) == from) {
            ++next;
            continue;
        }
        if (to != from) List[to] = std::move(List[from]);
        ++to;
    }
    List.resize(to);
}
