#include "grid/core/vx_group_row_storage.h"

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace {
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kKeeps = false;
#else
constexpr bool kKeeps = true;
#endif

// A grid node's storage: bytes, which a new of bytes aligns for any object of their size.
using TStorage = std::unique_ptr<std::byte[]>;

// The places kept, each record's a list through Next, the latest first.
class TKept {
  public:
    void Add(TStorage Storage, int Record) {
        if (static_cast<size_t>(Record) >= latest_.size()) latest_.resize(static_cast<size_t>(Record) + 1, -1);
        places_.push_back({std::move(Storage), latest_[static_cast<size_t>(Record)]});
        latest_[static_cast<size_t>(Record)] = static_cast<int>(places_.size()) - 1;
        ++kept_;
    }
    TStorage Take(int Record) {
        if (static_cast<size_t>(Record) >= latest_.size()) return nullptr;
        int& latest = latest_[static_cast<size_t>(Record)];
        if (latest < 0) return nullptr;
        TPlace& place = places_[static_cast<size_t>(latest)];
        latest = place.Next;
        TStorage storage = std::move(place.Storage);
        if (--kept_ == 0) Release();
        return storage;
    }
    void Release() {
        places_ = std::vector<TPlace>();
        latest_ = std::vector<int>();
        kept_ = 0;
    }
    size_t size = 0;
    bool keeping = false;
    int next = -1;

  private:
    struct TPlace {
        TStorage Storage;
        int Next;
    };
    std::vector<TPlace> places_;
    std::vector<int> latest_;
    size_t kept_ = 0;
};

// Made before anything runs and gone after every other static: a grid that outlives the
// program's statics still finds it, empty.
constinit TKept kept;
}  // namespace

TvxGroupRowStorage::TKeeping::TKeeping(bool Keep) {
    kept.keeping = kKeeps && Keep;
}

TvxGroupRowStorage::TKeeping::~TKeeping() {
    kept.keeping = false;
}

void TvxGroupRowStorage::PlaceNextFor(int Record) {
    if (kKeeps) kept.next = Record;
}

void* TvxGroupRowStorage::Allocate(std::size_t Size) {
    const int record = kept.next;
    kept.next = -1;
    TStorage storage = record >= 0 && Size == kept.size ? kept.Take(record) : nullptr;
    if (!storage) storage = std::make_unique_for_overwrite<std::byte[]>(Size);
    return storage.release();
}

void TvxGroupRowStorage::Deallocate(void* Storage, std::size_t Size, int Record) {
    TStorage storage(static_cast<std::byte*>(Storage));
    // One size is kept: the grid's own node's.
    if (kept.keeping && Record >= 0 && (kept.size == 0 || kept.size == Size)) {
        kept.size = Size;
        kept.Add(std::move(storage), Record);
    }
}

void TvxGroupRowStorage::Release() {
    kept.Release();
}
