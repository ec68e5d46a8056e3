#include "memdata/mem_block_arena.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

namespace {
constexpr size_t kFirstSlabBlocks = 16;
// Large enough that the slab headers do not count, small enough that the unused end of the
// newest slab stays a little next to the records.
constexpr size_t kSlabBytes = 128 * 1024;
}  // namespace

TMemBlockArena::TMemBlockArena(int BlockSize)
    : blockSize_(static_cast<size_t>(std::max(BlockSize, 1))),
      maxSlabBlocks_(std::max(kFirstSlabBlocks, kSlabBytes / blockSize_)),
      shift_(static_cast<unsigned>(std::bit_width(maxSlabBlocks_ - 1))),
      placeMask_((TBlockRef{1} << shift_) - 1) {}

TBlockRef TMemBlockArena::Allocate() {
    TBlockRef ref;
    if (!free_.empty()) {
        ref = free_.back();
        free_.pop_back();
    } else {
        if (usedInSlab_ == slabBlocks_) {
            if (slabs_.size() >= (size_t{1} << (32 - shift_))) throw std::bad_alloc();
            size_t n = slabs_.empty() ? kFirstSlabBlocks : std::min(slabBlocks_ * 2, maxSlabBlocks_);
            slabs_.push_back(std::make_unique<uint8_t[]>(n * blockSize_));
            slabBlocks_ = n;
            usedInSlab_ = 0;
        }
        ref = static_cast<TBlockRef>(((slabs_.size() - 1) << shift_) | usedInSlab_++);
    }
    std::memset(At(ref), 0, blockSize_);
    return ref;
}

void TMemBlockArena::Free(TBlockRef Ref) { free_.push_back(Ref); }
