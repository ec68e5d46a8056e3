#pragma once
// The selection by records: entries in the records' order, each a record's key (a bookmark,
// or the key field's value) with the row that stands for it (null: no row does now).
//
// While a range is being selected, an entry that belongs between others waits in a sorted
// side list, and the waiting ones go into place together when the last range ends or the
// entries are read by position: put in place one by one, each would move the rest of the
// list. Reading by position is logically const, so the placing is too.

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "platform/rtl/erase_at.h"

class TvxTreeListNode;

template <class Key>
class TvxSelectionEntries {
  public:
    // The order of two keys: below 0, 0 or above 0.
    using TCompare = std::function<int(const Key&, const Key&)>;

    explicit TvxSelectionEntries(TCompare Compare)
        : compare_(std::move(Compare)), waiting_(Less{&compare_}) {}
    TvxSelectionEntries(const TvxSelectionEntries&) = delete;
    TvxSelectionEntries& operator=(const TvxSelectionEntries&) = delete;

    int Count() const { return static_cast<int>(keys_.size() + waiting_.size()); }
    bool Empty() const { return keys_.empty() && waiting_.empty(); }
    const std::vector<Key>& Keys() const {
        Place();
        return keys_;
    }
    const std::vector<TvxTreeListNode*>& Nodes() const {
        Place();
        return nodes_;
    }
    // The row of the entry at Index; null out of range.
    TvxTreeListNode* Node(int Index) const {
        Place();
        return Index >= 0 && Index < static_cast<int>(nodes_.size()) ? nodes_[static_cast<size_t>(Index)] : nullptr;
    }
    // The first entry's row without placing the waiting ones: whether a row may join the
    // selection asks for it at every row of a range.
    TvxTreeListNode* FirstNode() const {
        if (!waiting_.empty() && (keys_.empty() || compare_(waiting_.begin()->first, keys_.front()) < 0))
            return waiting_.begin()->second;
        return keys_.empty() ? nullptr : nodes_.front();
    }
    // Where Key's entry is, or would go (Index); the waiting ones are placed first.
    bool Find(const Key& K, int& Index) const {
        Place();
        if (cache_ && compare_(cache_->Searched, K) == 0) {
            Index = cache_->Index;
            return cache_->Found;
        }
        const bool found = Search(K, Index);
        cache_ = Cached{K, Index, found};
        return found;
    }
    // The row of Key's entry, placed or waiting, to read or set; null: Key is not selected.
    TvxTreeListNode** Slot(const Key& K) {
        if (auto waiting = waiting_.find(K); waiting != waiting_.end()) return &waiting->second;
        int index = 0;
        if (!Search(K, index)) return nullptr;
        return &nodes_[static_cast<size_t>(index)];
    }
    // The row of Key's entry, made without a row when Key is not selected. Between placed
    // entries, a new one waits while a range is open and MayWait allows.
    TvxTreeListNode** Add(const Key& K, bool MayWait = true) {
        if (TvxTreeListNode** slot = Slot(K)) return slot;
        int index = 0;
        Search(K, index);
        if (ranges_ > 0 && MayWait && index < static_cast<int>(keys_.size()))
            return &waiting_.emplace(K, nullptr).first->second;
        keys_.insert(keys_.begin() + index, K);
        nodes_.insert(nodes_.begin() + index, nullptr);
        cache_.reset();
        return &nodes_[static_cast<size_t>(index)];
    }
    // Key's entry goes; Node: the row that stood for it. False when Key was not selected.
    bool Remove(const Key& K, TvxTreeListNode** Node = nullptr) {
        if (auto waiting = waiting_.find(K); waiting != waiting_.end()) {
            if (Node) *Node = waiting->second;
            waiting_.erase(waiting);
            return true;
        }
        int index = 0;
        if (!Search(K, index)) return false;
        if (Node) *Node = nodes_[static_cast<size_t>(index)];
        keys_.erase(keys_.begin() + index);
        nodes_.erase(nodes_.begin() + index);
        cache_.reset();
        return true;
    }
    // The entries at Indexes (ascending, each once, as Keys numbers them) go in one pass.
    void RemoveAt(const std::vector<int>& Indexes) {
        if (Indexes.empty()) return;
        Place();
        EraseAt(keys_, Indexes);
        EraseAt(nodes_, Indexes);
        cache_.reset();
    }
    // Entries in order, each once, join in one pass; a key selected already takes the row
    // given with it.
    void AddAll(std::vector<Key> Keys, std::vector<TvxTreeListNode*> Nodes) {
        Place();
        std::vector<Key> keys;
        std::vector<TvxTreeListNode*> nodes;
        keys.reserve(keys_.size() + Keys.size());
        nodes.reserve(keys.capacity());
        size_t kept = 0;
        for (size_t i = 0; i < Keys.size(); ++i) {
            for (; kept < keys_.size() && compare_(keys_[kept], Keys[i]) < 0; ++kept) {
                keys.push_back(std::move(keys_[kept]));
                nodes.push_back(nodes_[kept]);
            }
            if (kept < keys_.size() && compare_(keys_[kept], Keys[i]) == 0) ++kept;
            keys.push_back(std::move(Keys[i]));
            nodes.push_back(Nodes[i]);
        }
        for (; kept < keys_.size(); ++kept) {
            keys.push_back(std::move(keys_[kept]));
            nodes.push_back(nodes_[kept]);
        }
        keys_ = std::move(keys);
        nodes_ = std::move(nodes);
        cache_.reset();
    }
    // The entries become these, in order, each once.
    void Assign(std::vector<Key> Keys, std::vector<TvxTreeListNode*> Nodes) {
        waiting_.clear();
        keys_ = std::move(Keys);
        nodes_ = std::move(Nodes);
        nodes_.resize(keys_.size(), nullptr);
        cache_.reset();
    }
    void Clear() { Assign({}, {}); }
    // The order of the keys changed under the entries (the table moved records): put in order
    // again where it no longer holds.
    void Resort() {
        Place();
        auto before = [this](const Key& A, const Key& B) { return compare_(A, B) < 0; };
        if (std::is_sorted(keys_.begin(), keys_.end(), before)) return;
        std::vector<size_t> order(keys_.size());
        for (size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::stable_sort(order.begin(), order.end(), [&](size_t A, size_t B) { return before(keys_[A], keys_[B]); });
        std::vector<Key> keys;
        std::vector<TvxTreeListNode*> nodes;
        keys.reserve(order.size());
        nodes.reserve(order.size());
        for (size_t i : order) {
            keys.push_back(std::move(keys_[i]));
            nodes.push_back(nodes_[i]);
        }
        keys_ = std::move(keys);
        nodes_ = std::move(nodes);
        cache_.reset();
    }
    // The row stands for no entry any more, wherever it is (the keys may be out of order).
    void ForgetNode(const TvxTreeListNode* Node) {
        for (auto& [key, node] : waiting_)
            if (node == Node) node = nullptr;
        std::replace(nodes_.begin(), nodes_.end(), const_cast<TvxTreeListNode*>(Node),
                     static_cast<TvxTreeListNode*>(nullptr));
    }

    void BeginRange() { ++ranges_; }
    void EndRange() {
        if (ranges_ > 0 && --ranges_ == 0) Place();
    }
    bool RangeOpen() const { return ranges_ > 0; }

  private:
    struct Less {
        const TCompare* Compare;
        bool operator()(const Key& A, const Key& B) const { return (*Compare)(A, B) < 0; }
    };
    struct Cached {
        Key Searched;
        int Index;
        bool Found;
    };
    // Among the placed entries only.
    bool Search(const Key& K, int& Index) const {
        auto it = std::lower_bound(keys_.begin(), keys_.end(), K,
                                   [this](const Key& A, const Key& B) { return compare_(A, B) < 0; });
        Index = static_cast<int>(it - keys_.begin());
        return it != keys_.end() && compare_(*it, K) == 0;
    }
    // The waiting entries and the placed ones are each in order and share no key: one merge.
    void Place() const {
        if (waiting_.empty()) return;
        std::vector<Key> keys;
        std::vector<TvxTreeListNode*> nodes;
        keys.reserve(keys_.size() + waiting_.size());
        nodes.reserve(keys.capacity());
        auto waiting = waiting_.begin();
        for (size_t i = 0; i < keys_.size() || waiting != waiting_.end();) {
            if (waiting == waiting_.end() || (i < keys_.size() && compare_(keys_[i], waiting->first) < 0)) {
                keys.push_back(std::move(keys_[i]));
                nodes.push_back(nodes_[i]);
                ++i;
            } else {
                keys.push_back(waiting->first);
                nodes.push_back(waiting->second);
                ++waiting;
            }
        }
        keys_ = std::move(keys);
        nodes_ = std::move(nodes);
        waiting_.clear();
        cache_.reset();
    }

    TCompare compare_;
    mutable std::vector<Key> keys_;
    mutable std::vector<TvxTreeListNode*> nodes_;
    mutable std::map<Key, TvxTreeListNode*, Less> waiting_;
    mutable std::optional<Cached> cache_;
    int ranges_ = 0;
};
