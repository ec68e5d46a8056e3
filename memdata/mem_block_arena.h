#pragma once
// Where the record blocks of the memory table live. Blocks are cut from slabs that hold
// many of them, so a record costs its TotalSize bytes and no allocator header or rounding;
// blocks of deleted records are handed out again. Slabs start small and grow, so the
// program's small tables stay small. Blocks never move while the arena lives: indexes may
// keep their addresses. Values are read and written with memcpy, so blocks need no
// alignment.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class TMemBlockArena {
  public:
    explicit TMemBlockArena(int BlockSize);
    TMemBlockArena(const TMemBlockArena&) = delete;
    TMemBlockArena& operator=(const TMemBlockArena&) = delete;

    int BlockSize() const { return blockSize_; }
    // A zero-filled block of BlockSize bytes.
    uint8_t* Allocate();
    void Free(uint8_t* Block);

  private:
    size_t blockSize_;
    std::vector<std::unique_ptr<uint8_t[]>> slabs_;
    size_t slabBlocks_ = 0;  // blocks in the newest slab
    size_t usedInSlab_ = 0;  // of them handed out
    std::vector<uint8_t*> free_;
};
