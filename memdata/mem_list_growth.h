#pragma once
// The per-record lists of the memory table (block references, bookmark ids, blob entries)
// grow by an eighth instead of doubling: a large table then carries a little spare room
// per record instead of up to its own size again. The extra moves cost about a pointer
// copy per record and growth step, far below what filling a record costs. Many records
// leave them in one pass.

#include <cstddef>
#include <utility>
#include <vector>

template <typename T>
void MakeRoomForOneMore(std::vector<T>& List) {
    if (List.size() == List.capacity()) List.reserve(List.size() + List.size() / 8 + 16);
}

// Takes the entries at Rows (ascending, each once) out of List, closing up the rest once;
// rows past its end are not in it.
template <typename T>
void EraseRows(std::vector<T>& List, const std::vector<int>& Rows) {
    size_t to = 0, next = 0;
    for (size_t from = 0; from < List.size(); ++from) {
        if (next < Rows.size() && static_cast<size_t>(Rows[next]) == from) {
            ++next;
            continue;
        }
        if (to != from) List[to] = std::move(List[from]);
        ++to;
    }
    List.resize(to);
}
