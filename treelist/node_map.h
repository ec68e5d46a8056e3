#pragma once
// A value for each node (a null node among them), found again by the node's address in one
// flat table: the one way the tree list and the grid map nodes to something. A batch of a
// hundred thousand rows under as many group rows looks up each group row: a node-based hash
// map would allocate, and later free, an entry for each.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

class TvxTreeListNode;

// Home places a node by the top bits of a 64-bit product held in a size_t (shift_ counts
// from 64).
static_assert(sizeof(size_t) * 8 == 64, "TvxNodeMap assumes a 64-bit size_t");

template <class T>
class TvxNodeMap {
public:
    size_t Count() const { return used_ + (null_ ? 1 : 0); }
    bool Empty() const { return Count() == 0; }
    void Reserve(size_t Nodes) {
        if (Nodes * 2 > table_.size()) Rehash(Nodes * 2);
    }
    // Node's value; null when it has none.
    T* Find(const TvxTreeListNode* Node) {
        if (!Node) return null_ ? &*null_ : nullptr;
        if (table_.empty()) return nullptr;
        for (size_t at = Home(Node);; at = (at + 1) & mask_) {
            if (table_[at].Node == Node) return &table_[at].Value;
            if (!table_[at].Node) return nullptr;
        }
    }
    const T* Find(const TvxTreeListNode* Node) const { return const_cast<TvxNodeMap*>(this)->Find(Node); }
    // Node's value; a node met first gets a value made from nothing, and Added says so.
    T& Get(const TvxTreeListNode* Node, bool* Added = nullptr) {
        if (Added) *Added = false;
        if (!Node) {
            if (!null_) {
                null_.emplace();
                if (Added) *Added = true;
            }
            return *null_;
        }
        // At most half full: a search ends at an empty entry after a few steps.
        if ((used_ + 1) * 2 > table_.size()) Rehash(table_.empty() ? 16 : table_.size() * 2);
        size_t at = Home(Node);
        for (; table_[at].Node; at = (at + 1) & mask_)
            if (table_[at].Node == Node) return table_[at].Value;
        table_[at].Node = Node;
        table_[at].Value = T();
        ++used_;
        if (Added) *Added = true;
        return table_[at].Value;
    }
    // Node no longer has a value: a node made later at its address starts afresh.
    bool Erase(const TvxTreeListNode* Node) {
        if (!Node) {
            const bool had = null_.has_value();
            null_.reset();
            return had;
        }
        if (table_.empty()) return false;
        size_t hole = Home(Node);
        for (;; hole = (hole + 1) & mask_) {
            if (!table_[hole].Node) return false;
            if (table_[hole].Node == Node) break;
        }
        // The entries after the hole that could not stand at their home move back into it, so
        // that no search stops short of them (no tombstones to clear up later).
        for (size_t next = (hole + 1) & mask_; table_[next].Node; next = (next + 1) & mask_) {
            const size_t home = Home(table_[next].Node);
            const bool between = hole <= next ? (hole < home && home <= next) : (hole < home || home <= next);
            if (between) continue;
            table_[hole] = std::move(table_[next]);
            hole = next;
        }
        table_[hole] = Entry();
        --used_;
        return true;
    }
    void Clear() {
        table_.clear();
        mask_ = 0;
        shift_ = 64;
        used_ = 0;
        null_.reset();
    }

private:
    struct Entry {
        const TvxTreeListNode* Node = nullptr;
        T Value{};
    };
    size_t Home(const TvxTreeListNode* Node) const {
        // Nodes lie at least 16 bytes apart: the low bits say nothing.
        return static_cast<size_t>((reinterpret_cast<uintptr_t>(Node) >> 4) * 0x9E3779B97F4A7C15ull >> shift_) & mask_;
    }
    void Rehash(size_t AtLeast) {
        size_t size = 16;
        unsigned bits = 4;
        while (size < AtLeast) {
            size *= 2;
            ++bits;
        }
        std::vector<Entry> old(size);
        old.swap(table_);
        mask_ = size - 1;
        shift_ = 64 - bits;
        for (Entry& e : old) {
            if (!e.Node) continue;
            size_t at = Home(e.Node);
            while (table_[at].Node) at = (at + 1) & mask_;
            table_[at] = std::move(e);
        }
    }

    std::vector<Entry> table_;
    size_t mask_ = 0;
    unsigned shift_ = 64;
    size_t used_ = 0;
    std::optional<T> null_;
};
