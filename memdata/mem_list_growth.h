#pragma once
// The per-record lists of the memory table (block references, bookmark ids, blob entries)
// grow by an eighth instead of doubling: a large table then carries a little spare room
// per record instead of up to its own size again. The extra moves cost about a pointer
// copy per record and growth step, far below what filling a record costs.

#include <vector>

template <typename T>
void MakeRoomForOneMore(std::vector<T>& List) {
    if (List.size() == List.capacity()) List.reserve(List.size() + List.size() / 8 + 16);
}
