#pragma once
// The selection by records: entries in the records' order, each a record's key (a bookmark,
// or the key field's value) with the row that stands for it (null: no row does now). Order
// answers the order of two keys: below 0, 0 or above 0.
//
// While a range is being selected, an entry that belongs between placed ones waits beside
// them, in key order, in short blocks: put in place one by one, each would move the rest of
// the list; kept in a tree, each would cost an allocation and a walk through memory. The
// waiting ones go into place together, in one merge, when the last range ends or the entries
// are read by position. Reading by position is logically const, so the placing is too.

#include <algorithm>
#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include "platform/rtl/erase_at.h"

class TvxTreeListNode;

template <class Key, class Order>
class TvxSelectionEntries {
public:
    explicit TvxSelectionEntries(Order Compare) : compare_(std::move(Compare)) {}
    TvxSelectionEntries(const TvxSelectionEntries&) = delete;
    TvxSelectionEntries& operator=(const TvxSelectionEntries&) = delete;

    int Count() const { return static_cast<int>(keys_.size() + waitingCount_); }
    bool Empty() const { return keys_.empty() && waitingCount_ == 0; }
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
        if (waitingCount_ > 0 && (keys_.empty() || Before(blocks_.front().front().K, keys_.front())))
            return blocks_.front().front().Row;
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
    // The row of Key's entry, placed or waiting, to read or set until the entries change;
    // null: Key is not selected.
    TvxTreeListNode** Slot(const Key& K) {
        int index = 0;
        if (Search(K, index)) return &nodes_[static_cast<size_t>(index)];
        if (Waiting* waiting = FindWaiting(K)) return &waiting->Row;
        return nullptr;
    }
    // The row of Key's entry, made without a row when Key is not selected, to read or set
    // until the entries change. Between placed entries a new one waits while a range is open
    // and MayWait allows; after them it goes to their end.
    TvxTreeListNode** Add(const Key& K, bool MayWait = true) {
        int index = 0;
        // After every placed entry, as a range in the keys' order brings them: one comparison.
        if (keys_.empty() || Before(keys_.back(), K))
            index = static_cast<int>(keys_.size());
        else if (Search(K, index))
            return &nodes_[static_cast<size_t>(index)];
        if (index < static_cast<int>(keys_.size()) && ranges_ > 0 && MayWait) return &AddWaiting(K)->Row;
        if (Waiting* waiting = FindWaiting(K)) return &waiting->Row;
        keys_.insert(keys_.begin() + index, K);
        nodes_.insert(nodes_.begin() + index, nullptr);
        cache_.reset();
        return &nodes_[static_cast<size_t>(index)];
    }
    // Key's entry goes; Node: the row that stood for it. False when Key was not selected.
    bool Remove(const Key& K, TvxTreeListNode** Node = nullptr) {
        int index = 0;
        if (Search(K, index)) {
            if (Node) *Node = nodes_[static_cast<size_t>(index)];
            keys_.erase(keys_.begin() + index);
            nodes_.erase(nodes_.begin() + index);
            cache_.reset();
            return true;
        }
        const auto [block, at] = WaitingPlace(K);
        if (!IsWaitingAt(block, at, K)) return false;
        std::vector<Waiting>& entries = blocks_[block];
        if (Node) *Node = entries[at].Row;
        entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(at));
        if (entries.empty()) blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(block));
        --waitingCount_;
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
            for (; kept < keys_.size() && Before(keys_[kept], Keys[i]); ++kept) {
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
        blocks_.clear();
        waitingCount_ = 0;
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
        auto before = [this](const Key& A, const Key& B) { return Before(A, B); };
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
        for (std::vector<Waiting>& entries : blocks_)
            for (Waiting& waiting : entries)
                if (waiting.Row == Node) waiting.Row = nullptr;
        std::replace(nodes_.begin(), nodes_.end(), const_cast<TvxTreeListNode*>(Node),
                     static_cast<TvxTreeListNode*>(nullptr));
    }

    void BeginRange() { ++ranges_; }
    void EndRange() {
        if (ranges_ > 0 && --ranges_ == 0) Place();
    }
    bool RangeOpen() const { return ranges_ > 0; }

private:
    struct Waiting {
        Key K;
        TvxTreeListNode* Row = nullptr;
    };
    struct Cached {
        Key Searched;
        int Index;
        bool Found;
    };
    // A block splits in two beyond this: one entry going in moves half a block on average.
    static constexpr size_t kBlockLimit = 64;

    bool Before(const Key& A, const Key& B) const { return compare_(A, B) < 0; }
    // Among the placed entries only.
    bool Search(const Key& K, int& Index) const {
        auto it = std::lower_bound(keys_.begin(), keys_.end(), K,
                                   [this](const Key& A, const Key& B) { return Before(A, B); });
        Index = static_cast<int>(it - keys_.begin());
        return it != keys_.end() && compare_(*it, K) == 0;
    }
    // The waiting block where K is or would go, and its place there (the blocks each in order,
    // one after the other); a key after them all goes to the end of the last.
    std::pair<size_t, size_t> WaitingPlace(const Key& K) const {
        if (blocks_.empty()) return {0, 0};
        auto block = std::partition_point(blocks_.begin(), blocks_.end() - 1,
                                          [&](const std::vector<Waiting>& b) { return Before(b.back().K, K); });
        auto at = std::partition_point(block->begin(), block->end(), [&](const Waiting& w) { return Before(w.K, K); });
        return {static_cast<size_t>(block - blocks_.begin()), static_cast<size_t>(at - block->begin())};
    }
    bool IsWaitingAt(size_t Block, size_t At, const Key& K) const {
        return Block < blocks_.size() && At < blocks_[Block].size() && compare_(blocks_[Block][At].K, K) == 0;
    }
    Waiting* FindWaiting(const Key& K) {
        const auto [block, at] = WaitingPlace(K);
        return IsWaitingAt(block, at, K) ? &blocks_[block][at] : nullptr;
    }
    // K's waiting entry, made without a row when there is none.
    Waiting* AddWaiting(const Key& K) {
        if (blocks_.empty()) blocks_.emplace_back();
        auto [block, at] = WaitingPlace(K);
        if (IsWaitingAt(block, at, K)) return &blocks_[block][at];
        std::vector<Waiting>* entries = &blocks_[block];
        if (entries->size() >= kBlockLimit) {
            // The second half becomes a block of its own after this one.
            std::vector<Waiting> second(std::make_move_iterator(entries->begin() + kBlockLimit / 2),
                                        std::make_move_iterator(entries->end()));
            entries->resize(kBlockLimit / 2);
            blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(block) + 1, std::move(second));
            if (at > kBlockLimit / 2) {
                ++block;
                at -= kBlockLimit / 2;
            }
            entries = &blocks_[block];
        }
        ++waitingCount_;
        return &*entries->insert(entries->begin() + static_cast<std::ptrdiff_t>(at), Waiting{K, nullptr});
    }
    // The waiting entries and the placed ones are each in order and share no key: one merge.
    void Place() const {
        if (waitingCount_ == 0) return;
        std::vector<Key> keys;
        std::vector<TvxTreeListNode*> nodes;
        keys.reserve(keys_.size() + waitingCount_);
        nodes.reserve(keys.capacity());
        size_t i = 0;
        for (std::vector<Waiting>& entries : blocks_)
            for (Waiting& waiting : entries) {
                for (; i < keys_.size() && Before(keys_[i], waiting.K); ++i) {
                    keys.push_back(std::move(keys_[i]));
                    nodes.push_back(nodes_[i]);
                }
                keys.push_back(std::move(waiting.K));
                nodes.push_back(waiting.Row);
            }
        for (; i < keys_.size(); ++i) {
            keys.push_back(std::move(keys_[i]));
            nodes.push_back(nodes_[i]);
        }
        keys_ = std::move(keys);
        nodes_ = std::move(nodes);
        blocks_.clear();
        waitingCount_ = 0;
        cache_.reset();
    }

    Order compare_;
    mutable std::vector<Key> keys_;
    mutable std::vector<TvxTreeListNode*> nodes_;
    mutable std::vector<std::vector<Waiting>> blocks_;
    mutable size_t waitingCount_ = 0;
    mutable std::optional<Cached> cache_;
    int ranges_ = 0;
};
