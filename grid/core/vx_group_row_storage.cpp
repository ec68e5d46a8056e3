#include "grid/core/vx_group_row_storage.h"

#include <new>

namespace {
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kKeeps = false;
#else
constexpr bool kKeeps = true;
#endif

// The places kept, each record's a list through Next, the latest first.
class TKept {
  public:
    ~TKept() { Release(); }
    void Add(void* Storage, int Record) {
        if (static_cast<size_t>(Record) >= latest_.size()) latest_.resize(static_cast<size_t>(Record) + 1, -1);
        places_.push_back({Storage, latest_[static_cast<size_t>(Record)]});
        latest_[static_cast<size_t>(Record)] = static_cast<int>(places_.size()) - 1;
        ++kept_;
    }
    void* Take(int Record) {
        if (static_cast<size_t>(Record) >= latest_.size()) return nullptr;
        int& latest = latest_[static_cast<size_t>(Record)];
        if (latest < 0) return nullptr;
        TPlace& place = places_[static_cast<size_t>(latest)];
        latest = place.Next;
        void* storage = place.Storage;
        place.Storage = nullptr;
        if (--kept_ == 0) Forget();
        return storage;
    }
    void Release() {
        for (const TPlace& place : places_)
            if (place.Storage) ::operator delete(place.Storage);
        Forget();
    }
    size_t size = 0;
    bool keeping = false;
    int next = -1;

  private:
    struct TPlace {
        void* Storage;
        int Next;
    };
    void Forget() {
        places_ = {};
        latest_ = {};
        kept_ = 0;
    }
    std::vector<TPlace> places_;
    std::vector<int> latest_;
    size_t kept_ = 0;
};

// Made before anything runs and gone after every other static: a grid that outlives the
// program's statics still finds it, empty.
constinit TKept kept;

TKept& Kept() {
    return kept;
}
}  // namespace

TvxGroupRowStorage::TKeeping::TKeeping(bool Keep) {
    Kept().keeping = kKeeps && Keep;
}

TvxGroupRowStorage::TKeeping::~TKeeping() {
    Kept().keeping = false;
}

void TvxGroupRowStorage::PlaceNextFor(int Record) {
    if (kKeeps) Kept().next = Record;
}

void* TvxGroupRowStorage::Allocate(std::size_t Size) {
    TKept& kept = Kept();
    const int record = kept.next;
    kept.next = -1;
    if (record >= 0 && Size == kept.size)
        if (void* storage = kept.Take(record)) return storage;
    return ::operator new(Size);
}

void TvxGroupRowStorage::Deallocate(void* Storage, std::size_t Size, int Record) {
    TKept& kept = Kept();
    // One size is kept: the grid's own node's.
    if (kept.keeping && Record >= 0 && (kept.size == 0 || kept.size == Size)) {
        kept.size = Size;
        kept.Add(Storage, Record);
        return;
    }
    ::operator delete(Storage);
}

void TvxGroupRowStorage::Release() {
    Kept().Release();
}
