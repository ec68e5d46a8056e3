#pragma once
// The storage of the group rows a filter frees, kept for the group rows made again when the
// filter gives their records back. A load makes each group row just before its first record's
// row, so the two lie side by side in memory; a group row made again from the allocator lies
// anywhere, and every later walk from it to its rows (freeing, the summaries, the keys passed
// up) then meets two far places where it met one. Kept by the group row's first record and
// handed back last in first out, each group row made again takes the place it had: an outer
// group row is freed after the inner one that starts with the same record and made before it.
//
// It holds storage only, never a node: the nodes stay owned by their parent's list and freed
// by Free(). Used by the window thread only; off under AddressSanitizer, so that a use of a
// freed group row is still caught there.

#include <cstddef>
#include <vector>

class TvxGroupRowStorage {
  public:
    // While one made with Keep lives, the storage of the grid nodes freed is kept (a filter
    // frees group rows only).
    class TKeeping {
      public:
        explicit TKeeping(bool Keep);
        ~TKeeping();
        TKeeping(const TKeeping&) = delete;
        TKeeping& operator=(const TKeeping&) = delete;
    };

    // The next grid node made is a group row whose first record is Record.
    static void PlaceNextFor(int Record);
    // Storage of Size bytes for the next grid node: the place kept for its record, else new.
    static void* Allocate(std::size_t Size);
    // Storage of Size bytes of a grid node just destroyed, whose first record was Record: kept
    // while a TKeeping lives.
    static void Deallocate(void* Storage, std::size_t Size, int Record);
    // Every place still kept goes back to the allocator: the records that would take them
    // did not come back.
    static void Release();
};
