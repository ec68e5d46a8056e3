#pragma once
// Nodes numbered 0, 1, 2... in the order they first come (a null node among them), found
// again by their address in one flat table. A batch of a hundred thousand rows under as many
// group rows looks up each group row: a node-based hash map would allocate, and later free,
// an entry for each.

#include <cstddef>
#include <cstdint>
#include <vector>

class TvxTreeListNode;

// Home places a node by the top bits of a 64-bit product held in a size_t (shift_ counts
// from 64).
static_assert(sizeof(size_t) * 8 == 64, "TvxNodeSlots assumes a 64-bit size_t");

class TvxNodeSlots {
  public:
    static constexpr size_t npos = SIZE_MAX;

    void Reserve(size_t Nodes) {
        if (Nodes * 2 > table_.size()) Rehash(Nodes * 2);
    }
    size_t Count() const { return count_; }
    // Node's number, or npos when it has none.
    size_t Find(const TvxTreeListNode* Node) const {
        if (!Node) return nullSlot_;
        if (table_.empty()) return npos;
        for (size_t at = Home(Node);; at = (at + 1) & mask_) {
            if (table_[at].Node == Node) return table_[at].Slot;
            if (!table_[at].Node) return npos;
        }
    }
    // Node's number; a node met first takes the next one, and Added says so.
    size_t Slot(const TvxTreeListNode* Node, bool* Added = nullptr) {
        if (Added) *Added = false;
        if (!Node) {
            if (nullSlot_ == npos) {
                nullSlot_ = count_++;
                if (Added) *Added = true;
            }
            return nullSlot_;
        }
        // At most half full: a search ends at an empty entry after a few steps.
        if ((used_ + 1) * 2 > table_.size()) Rehash(table_.empty() ? 16 : table_.size() * 2);
        size_t at = Home(Node);
        for (; table_[at].Node; at = (at + 1) & mask_)
            if (table_[at].Node == Node) return table_[at].Slot;
        table_[at] = {Node, count_};
        ++used_;
        if (Added) *Added = true;
        return count_++;
    }

  private:
    struct Entry {
        const TvxTreeListNode* Node = nullptr;
        size_t Slot = 0;
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
        for (const Entry& e : old) {
            if (!e.Node) continue;
            size_t at = Home(e.Node);
            while (table_[at].Node) at = (at + 1) & mask_;
            table_[at] = e;
        }
    }

    std::vector<Entry> table_;
    size_t mask_ = 0;
    unsigned shift_ = 64;
    size_t used_ = 0;
    size_t count_ = 0;
    size_t nullSlot_ = npos;
};
