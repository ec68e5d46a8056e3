#pragma once
// Where each record id (the memory table's bookmark) stands in the table's id list, so that
// going to a bookmark, checking it and comparing two of them cost a search of a sorted list
// instead of a walk over every record. The index is made again the first time it is asked
// after the store's records moved (the store's order count); a record appended at the end
// is taken in without that.

#include <cstdint>
#include <utility>
#include <vector>

class TMemIdPositions {
public:
    // The position of Id in Ids (-1 when it is not there); Order is the store's order count,
    // which moves whenever Ids does.
    int Find(const std::vector<int32_t>& Ids, uint64_t Order, int32_t Id);
    // Ids got one more id at its end while the store's order count went from OrderBefore to
    // OrderAfter.
    void Appended(const std::vector<int32_t>& Ids, uint64_t OrderBefore, uint64_t OrderAfter);

private:
    bool Current(const std::vector<int32_t>& Ids, uint64_t Order) const {
        return order_ == Order && byId_.size() == Ids.size();
    }
    // (id, position), sorted by id.
    std::vector<std::pair<int32_t, int32_t>> byId_;
    uint64_t order_ = UINT64_MAX;
};
