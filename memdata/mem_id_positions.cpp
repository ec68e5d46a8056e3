#include "memdata/mem_id_positions.h"

#include <algorithm>

int TMemIdPositions::Find(const std::vector<int32_t>& Ids, uint64_t Order, int32_t Id) {
    if (!Current(Ids, Order)) {
        byId_.clear();
        byId_.reserve(Ids.size());
        for (size_t i = 0; i < Ids.size(); ++i) byId_.emplace_back(Ids[i], static_cast<int32_t>(i));
        // Records appended one after another come in id order already.
        if (!std::is_sorted(byId_.begin(), byId_.end())) std::sort(byId_.begin(), byId_.end());
        order_ = Order;
    }
    auto it = std::lower_bound(byId_.begin(), byId_.end(), std::make_pair(Id, INT32_MIN));
    return it != byId_.end() && it->first == Id ? it->second : -1;
}

void TMemIdPositions::Appended(const std::vector<int32_t>& Ids, uint64_t OrderBefore, uint64_t OrderAfter) {
    if (Ids.empty() || order_ != OrderBefore || byId_.size() + 1 != Ids.size() ||
        (!byId_.empty() && byId_.back().first >= Ids.back())) {
        order_ = UINT64_MAX;
        return;
    }
    byId_.emplace_back(Ids.back(), static_cast<int32_t>(Ids.size() - 1));
    order_ = OrderAfter;
}
