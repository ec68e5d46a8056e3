#pragma once
// Where the record blocks of the memory table live. Blocks are cut from slabs that hold
// many of them, so a record costs its BlockSize bytes and no allocator header or rounding;
// blocks of deleted records are handed out again. Slabs start small and grow, so the
// program's small tables stay small. A block is named by a 32-bit reference (slab number
// and place in the slab), half the size of an address in the record list. Blocks never
// move while the arena lives: indexes may keep their addresses. Values are read and
// written with memcpy, so blocks need no alignment.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

using TBlockRef = uint32_t;

class TMemBlockArena {
public:
    explicit TMemBlockArena(int BlockSize);
    TMemBlockArena(const TMemBlockArena&) = delete;
    TMemBlockArena& operator=(const TMemBlockArena&) = delete;

    int BlockSize() const { return static_cast<int>(blockSize_); }
    // A zero-filled block of BlockSize bytes. Raises std::bad_alloc when the references
    // are used up.
    TBlockRef Allocate();
    void Free(TBlockRef Ref);
    uint8_t* At(TBlockRef Ref) const { return slabs_[Ref >> shift_].get() + (Ref & placeMask_) * blockSize_; }

private:
    size_t blockSize_;
    size_t maxSlabBlocks_;
    unsigned shift_;  // bits of a reference that give the place in the slab
    TBlockRef placeMask_;
    std::vector<std::unique_ptr<uint8_t[]>> slabs_;
    size_t slabBlocks_ = 0;  // blocks in the newest slab
    size_t usedInSlab_ = 0;  // of them handed out
    std::vector<TBlockRef> free_;
};
