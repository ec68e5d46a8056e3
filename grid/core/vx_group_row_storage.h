#pragma once
// A grid's store of the storage of the group rows its filter frees, kept for the group rows
// made again when the filter gives their records back. A load makes each group row just
// before its first record's row, its lists (children, texts, cells, group summaries) right
// after it, so that they lie side by side in memory; made again from the allocator they lie
// anywhere, and every later walk from a group row to its rows (freeing, the summaries, the keys
// passed up) then meets far places where it met one. Kept by the group row's first record
// with the room of its lists and handed back last in first out, each group row made again
// takes the places it had: an outer group row is freed after the inner one that starts with
// the same record and made before it.
//
// It holds storage only, never a node: the nodes stay owned by their parent's list and freed
// by Free(). A grid keeps only while its filter frees group rows, and lets go of what it kept
// when its filter next gives rows back, when its records are numbered anew, and at its end.
// Storage kept waits poisoned where the build has AddressSanitizer: a use of a freed group row
// is reported there as a use of freed memory is.

#include <cstddef>
#include <memory>
#include <vector>

class TCustomvxDBGrid;
class TvxDBGridNode;

class TvxGroupRowStorage {
public:
    TvxGroupRowStorage();
    ~TvxGroupRowStorage();
    TvxGroupRowStorage(const TvxGroupRowStorage&) = delete;
    TvxGroupRowStorage& operator=(const TvxGroupRowStorage&) = delete;

    // While one lives, the grid's nodes freed whose first record is below Records leave their
    // storage here (its filter frees group rows only). The index by record is made that large
    // first (it may raise for want of memory, before anything is freed): keeping allocates
    // nothing. Records 0 keeps nothing.
    class TKeeping {
    public:
        TKeeping(TvxGroupRowStorage& Storage, std::size_t Records);
        ~TKeeping();
        TKeeping(const TKeeping&) = delete;
        TKeeping& operator=(const TKeeping&) = delete;

    private:
        TvxGroupRowStorage* storage_;
    };

    // A node of Grid: for a group row whose first record is FirstRecord, in the storage kept
    // for that record with the room of its lists, when there is some; else in new storage.
    TvxDBGridNode* Make(TCustomvxDBGrid* Grid, int FirstRecord = -1);
    // While a TKeeping lives: destroys Node (of Size bytes, freed) and keeps its storage and
    // the room of its lists for its first record. Answers whether it did.
    bool Keep(TvxDBGridNode* Node, std::size_t Size);
    // What is kept goes back to the allocator: the records that would take it did not come
    // back, or are numbered anew.
    void Release();

private:
    struct TPlace;
    struct TDrop {
        void operator()(TPlace* Place) const;
    };
    using TKept = std::unique_ptr<TPlace, TDrop>;

    // By first record, the place kept last; each place holds the one kept before it. It keeps
    // its size from one filter to the next.
    std::vector<TKept> latest_;
    // The places kept, of every record.
    std::size_t kept_ = 0;
    int keeping_ = 0;
};
