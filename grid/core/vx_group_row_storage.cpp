#include "grid/core/vx_group_row_storage.h"

#include <new>
#include <utility>

#include "grid/core/vx_db_grid_node.h"

#if __has_include(<sanitizer/asan_interface.h>)
#include <sanitizer/asan_interface.h>
#endif
#if !defined(ASAN_POISON_MEMORY_REGION) || !defined(ASAN_UNPOISON_MEMORY_REGION)
#define ASAN_POISON_MEMORY_REGION(Begin, Bytes) ((void)(Begin), (void)(Bytes))
#define ASAN_UNPOISON_MEMORY_REGION(Begin, Bytes) ((void)(Begin), (void)(Bytes))
#endif

// A place kept: in the freed group row's own bytes, the room of its lists and the place kept
// before it for the same record.
struct TvxGroupRowStorage::TPlace {
    TvxDBGridNode::TRooms Rooms;
    TKept Next;
};

namespace {
// Every grid node is made by a new-expression of its class, which takes its bytes from the
// plain operator new: kept storage goes back to the allocator the same way.
constexpr std::size_t kNodeSize = sizeof(TvxDBGridNode);
static_assert(alignof(TvxDBGridNode) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);

// Storage waiting to be used again is poisoned where the build has AddressSanitizer (the
// macros do nothing elsewhere), as freed memory is: a use of it is reported.
void SetWaiting(const void* Begin, std::size_t Bytes, bool Waiting) {
    if (!Begin || Bytes == 0) return;
    if (Waiting)
        ASAN_POISON_MEMORY_REGION(Begin, Bytes);
    else
        ASAN_UNPOISON_MEMORY_REGION(Begin, Bytes);
}
template <class T>
void SetWaiting(const std::vector<T>& Room, bool Waiting) {
    SetWaiting(Room.data(), Room.capacity() * sizeof(T), Waiting);
}
void SetWaiting(const TvxDBGridNode::TRooms& Rooms, bool Waiting) {
    SetWaiting(Rooms.Children, Waiting);
    SetWaiting(Rooms.Texts, Waiting);
    SetWaiting(Rooms.Cells, Waiting);
    SetWaiting(Rooms.Summaries, Waiting);
}
}  // namespace

TvxGroupRowStorage::TvxGroupRowStorage() = default;
TvxGroupRowStorage::~TvxGroupRowStorage() = default;

TvxGroupRowStorage::TKeeping::TKeeping(TvxGroupRowStorage& Storage, std::size_t Records)
    : storage_(Records > 0 ? &Storage : nullptr) {
    if (!storage_) return;
    if (storage_->latest_.size() < Records) storage_->latest_.resize(Records);
    ++storage_->keeping_;
}

TvxGroupRowStorage::TKeeping::~TKeeping() {
    if (storage_) --storage_->keeping_;
}

void TvxGroupRowStorage::TDrop::operator()(TPlace* Place) const {
    SetWaiting(Place, kNodeSize, false);
    SetWaiting(Place->Rooms, false);
    Place->~TPlace();
    ::operator delete(Place);
}

TvxDBGridNode* TvxGroupRowStorage::Make(TCustomvxDBGrid* Grid, int FirstRecord) {
    if (FirstRecord < 0 || static_cast<std::size_t>(FirstRecord) >= latest_.size() ||
        !latest_[static_cast<std::size_t>(FirstRecord)])
        return new TvxDBGridNode(Grid);
    TKept& latest = latest_[static_cast<std::size_t>(FirstRecord)];
    TPlace* place = latest.release();
    SetWaiting(place, kNodeSize, false);
    SetWaiting(place->Rooms, false);
    latest = std::move(place->Next);
    --kept_;
    TvxDBGridNode::TRooms rooms = std::move(place->Rooms);
    place->~TPlace();
    // The node's constructor throws only without an owner.
    auto* node = ::new (static_cast<void*>(place)) TvxDBGridNode(Grid);
    node->GiveRooms(std::move(rooms));
    return node;
}

bool TvxGroupRowStorage::Keep(TvxDBGridNode* Node, std::size_t Size) {
    static_assert(sizeof(TPlace) <= kNodeSize && alignof(TPlace) <= alignof(TvxDBGridNode));
    const int record = Node->RecordIndex;
    if (keeping_ == 0 || Size != kNodeSize || record < 0) return false;
    if (static_cast<std::size_t>(record) >= latest_.size()) return false;
    TvxDBGridNode::TRooms rooms = Node->TakeRooms();
    Node->~TvxDBGridNode();
    TKept& latest = latest_[static_cast<std::size_t>(record)];
    ++kept_;
    auto* place = ::new (static_cast<void*>(Node)) TPlace{std::move(rooms), std::move(latest)};
    SetWaiting(place->Rooms, true);
    SetWaiting(place, kNodeSize, true);
    latest.reset(place);
    return true;
}

void TvxGroupRowStorage::Release() {
    if (kept_ == 0) return;
    for (TKept& latest : latest_) latest.reset();
    kept_ = 0;
}
