#include "memdata/mem_block_arena.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr size_t kFirstSlabBlocks = 16;
// Large enough that the slab headers do not count, small enough that the unused end of the
// newest slab stays a little next to the records.
constexpr size_t kSlabBytes = 128 * 1024;
}  // namespace

TMemBlockArena::TMemBlockArena(int BlockSize) : blockSize_(static_cast<size_t>(std::max(BlockSize, 1))) {}

uint8_t* TMemBlockArena::Allocate() {
    uint8_t* block;
    if (!free_.empty()) {
        block = free_.back();
        free_.pop_back();
    } else {
        if (usedInSlab_ == slabBlocks_) {
            size_t cap = std::max<size_t>(kFirstSlabBlocks, kSlabBytes / blockSize_);
            size_t n = slabs_.empty() ? kFirstSlabBlocks : std::min(slabBlocks_ * 2, cap);
            slabs_.push_back(std::make_unique<uint8_t[]>(n * blockSize_));
            slabBlocks_ = n;
            usedInSlab_ = 0;
        }
        block = slabs_.back().get() + usedInSlab_++ * blockSize_;
    }
    std::memset(block, 0, blockSize_);
    return block;
}

void TMemBlockArena::Free(uint8_t* Block) {
    free_.push_back(Block);
}
