// Sorting, searching and filtering of the memory table, on the byte forms of its blocks.

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <span>

#include "memdata/vx_mem_data.h"
#include "platform/db/blob_field.h"
#include "platform/db/date_time_fields.h"
#include "platform/db/db_consts.h"
#include "platform/db/field.h"
#include "platform/db/numeric_fields.h"
#include "platform/db/time_stamp.h"
#include "platform/db/wide_string_field.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/str_utils.h"

namespace {
template <typename T>
int Sign3(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

template <typename T>
T Load(const uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

unsigned char FoldAscii(unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c; }

int CompareBytes(const uint8_t* a, const uint8_t* b, bool caseInsensitive, size_t limit = SIZE_MAX) {
    for (size_t i = 0; i < limit; ++i) {
        unsigned char ca = a[i], cb = b[i];
        if (caseInsensitive) {
            ca = FoldAscii(ca);
            cb = FoldAscii(cb);
        }
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
    return 0;
}

int CompareWide(const uint8_t* a, const uint8_t* b, bool caseInsensitive) {
    std::string sa = Utf16ToUtf8(WideText(a)), sb = Utf16ToUtf8(WideText(b));
    int r = caseInsensitive ? AnsiCompareText(sa, sb) : AnsiCompareStr(sa, sb);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

// The date-time a stored value stands for. The zero bytes of a null slot have no date:
// they sort before every date.
double AsDateTime(TFieldType t, const uint8_t* p) {
    TTimeStamp ts;
    bool valid;
    if (t == ftDateTime) {
        valid = TryMSecsToTimeStamp(Load<double>(p), ts);
    } else {
        (t == ftDate ? ts.Date : ts.Time) = Load<int32_t>(p);
        if (t == ftTime) ts.Date = DateDelta;
        valid = IsValidTimeStamp(ts);
    }
    return valid ? TimeStampToDateTime(ts) : -std::numeric_limits<double>::infinity();
}

int CompareTyped(const uint8_t* A, const uint8_t* B, TFieldType FieldType, bool caseInsensitive) {
    switch (FieldType) {
        case ftString: return CompareBytes(A, B, caseInsensitive);
        case ftSmallint: return Sign3(Load<int16_t>(A), Load<int16_t>(B));
        case ftWord: return Sign3(Load<uint16_t>(A), Load<uint16_t>(B));
        case ftInteger:
        case ftAutoInc: return Sign3(Load<int32_t>(A), Load<int32_t>(B));
        case ftBoolean: return Sign3(A[0] != 0 || A[1] != 0, B[0] != 0 || B[1] != 0);
        case ftFloat:
        case ftCurrency: return Sign3(Load<double>(A), Load<double>(B));
        case ftBCD:
        case ftLargeint: return Sign3(Load<int64_t>(A), Load<int64_t>(B));
        case ftDate:
        case ftTime:
        case ftDateTime: return Sign3(AsDateTime(FieldType, A), AsDateTime(FieldType, B));
        case ftWideString: return CompareWide(A, B, caseInsensitive);
        default: return 0;
    }
}

// A key in byte form; wide-string keys keep their own string. Keys of the usual sizes live
// in the key itself: a search then costs no allocation for it.
struct KeyValue {
    bool isNull = true;
    std::array<uint8_t, 64> small{};
    std::vector<uint8_t> large;
    std::u16string wide;
    uint8_t* Data() { return large.empty() ? small.data() : large.data(); }
};

KeyValue MakeKey(const Variant& v, const TField* f) {
    KeyValue k;
    if (v.IsNull() || v.IsEmpty()) return k;
    const size_t size = static_cast<size_t>(std::max(f->DataSize(), static_cast<int>(sizeof(void*)))) + 1;
    if (size > k.small.size()) k.large.assign(size, 0);
    if (f->DataType() == ftWideString) SetWideSlot(k.Data(), &k.wide);
    if (!VariantToBuffer(v, k.Data(), f)) return k;
    k.isNull = false;
    return k;
}
}  // namespace

int TvxMemData::CompareValues(const uint8_t* A, const uint8_t* B, TFieldType FieldType) const {
    return CompareTyped(A, B, FieldType, sortOptions_.Contains(soCaseInsensitive));
}

int TvxMemData::CmpRecords(const uint8_t* A, const uint8_t* B, int ValueOffset, TFieldType Type, bool Desc) const {
    int r = CompareValues(A + ValueOffset, B + ValueOffset, Type);
    if (r == 0 && sortRecIdOffset_ >= 0)
        r = Sign3(Load<int32_t>(A + sortRecIdOffset_), Load<int32_t>(B + sortRecIdOffset_));
    return Desc ? -r : r;
}

namespace {
using Blocks = std::vector<TBlockRef>;
using BlobList = std::vector<std::unique_ptr<std::vector<std::string>>>;

// The quicksort of the table: pivot from the middle, equal keys told apart by the caller's
// comparison (the RecId tie-break), ids and blob entries swapped along with the blocks.
// `cmp(i, pivot)` compares the record at i with the pivot taken before the partitioning;
// `swap_more(i, j)` moves what else goes along with the records.
template <class Pivot, class MakePivot, class Cmp, class SwapMore>
void QuickSortImpl(Blocks& recs, std::vector<int32_t>& ids, BlobList* blobs, int L, int R, const MakePivot& make_pivot,
                   const Cmp& cmp, const SwapMore& swap_more) {
    while (L < R) {
        const Pivot pivot = make_pivot((L + R) / 2);
        int i = L, j = R;
        do {
            while (i < R && cmp(i, pivot) < 0) ++i;
            while (j > L && cmp(j, pivot) > 0) --j;
            if (i <= j) {
                std::swap(recs[i], recs[j]);
                std::swap(ids[i], ids[j]);
                if (blobs) std::swap((*blobs)[i], (*blobs)[j]);
                swap_more(i, j);
                ++i;
                --j;
            }
        } while (i <= j);
        // Recurse into the smaller part, loop on the larger: the depth stays logarithmic.
        if (j - L < R - i) {
            if (L < j) QuickSortImpl<Pivot>(recs, ids, blobs, L, j, make_pivot, cmp, swap_more);
            L = i;
        } else {
            if (i < R) QuickSortImpl<Pivot>(recs, ids, blobs, i, R, make_pivot, cmp, swap_more);
            R = j;
        }
    }
}

// The first eight bytes of a text, big-endian, zero after its end: two texts that differ
// there compare as these numbers do.
uint64_t TextPrefix(const uint8_t* text) {
    uint64_t v = 0;
    int i = 0;
    for (; i < 8 && text[i] != 0; ++i) v = (v << 8) | text[i];
    return i == 0 ? 0 : v << (8 * (8 - i));
}
}  // namespace

void TvxMemData::QuickSort(int L, int R, int ValueOffset, TFieldType Type, bool Desc) {
    auto& recs = store_->Records();
    const TvxMemFields& store = *store_;
    auto block = [&](int i) -> const uint8_t* { return store.At(recs[i]); };
    BlobList* blobs = blobs_.empty() ? nullptr : &blobs_;
    int rid = sortRecIdOffset_;
    if (Type == ftString && !sortOptions_.Contains(soCaseInsensitive)) {
        // Byte-wise text order. Most keys differ in their first eight bytes: those sit in a
        // row of numbers moved along with the blocks, so that most comparisons do not read
        // two scattered blocks. The order is the bytes' order, so the sort is the same.
        std::vector<uint64_t> pre(recs.size());
        for (int i = L; i <= R; ++i) pre[i] = TextPrefix(block(i) + ValueOffset);
        struct Pivot {
            uint64_t prefix;
            const uint8_t* rec;
        };
        auto make_pivot = [&](int i) { return Pivot{pre[i], block(i)}; };
        auto cmp = [&](int i, const Pivot& p) {
            int r;
            if (pre[i] != p.prefix) {
                r = pre[i] < p.prefix ? -1 : 1;
            } else {
                const uint8_t* rec = block(i);
                const uint8_t* pa = rec + ValueOffset;
                const uint8_t* pb = p.rec + ValueOffset;
                while (*pa == *pb && *pa != 0) {
                    ++pa;
                    ++pb;
                }
                r = *pa < *pb ? -1 : (*pa > *pb ? 1 : 0);
                if (r == 0 && rid >= 0) r = Sign3(Load<int32_t>(rec + rid), Load<int32_t>(p.rec + rid));
            }
            return Desc ? -r : r;
        };
        auto swap_more = [&](int i, int j) { std::swap(pre[i], pre[j]); };
        QuickSortImpl<Pivot>(recs, ids_, blobs, L, R, make_pivot, cmp, swap_more);
        // The row is the prefix cache of the new order.
        if (L == 0 && R + 1 == static_cast<int>(recs.size())) {
            prefixes_ = std::move(pre);
            prefixLevels_.Build(prefixes_);
            prefixModCount_ = store_->ModCount();
            prefixOffset_ = ValueOffset;
        }
        return;
    }
    auto make_pivot = [&](int i) { return block(i); };
    auto cmp = [&](int i, const uint8_t* pivot) { return CmpRecords(block(i), pivot, ValueOffset, Type, Desc); };
    QuickSortImpl<const uint8_t*>(recs, ids_, blobs, L, R, make_pivot, cmp, [](int, int) {});
}

void TvxMemData::Resort() {
    sortField_ = nullptr;
    if (loading_ || !isOpen_) return;
    sortField_ = FindField(sortedField_);
    TvxMemField* d = sortField_ ? store_->FindField(sortField_) : nullptr;
    if (!d) return;
    if (Active()) UpdateCursorPos();
    TvxMemField* rid = recIdField_ ? store_->FindField(recIdField_) : nullptr;
    sortRecIdOffset_ = rid ? rid->DataOffset : -1;
    if (store_->RecordCount() > 1)
        QuickSort(0, store_->RecordCount() - 1, d->DataOffset, d->DataType, sortOptions_.Contains(soDesc));
    UpdateFilterList();
    if (!filterActive_) SetRecNo(curRec_ + 1);
    if (Active()) Resync();
}

void TvxMemData::SetSortedField(const std::string& Value) {
    if (Value != sortedField_) {
        sortedField_ = Value;
        Resort();
    } else if (!loading_ && isOpen_) {
        sortField_ = FindField(sortedField_);
    }
}

void TvxMemData::SetSortOptions(TvxSortOptions Value) {
    if (Value == sortOptions_) return;
    sortOptions_ = Value;
    Resort();
}

namespace {
// The binary search behind placing and finding records; At(i) gives the i-th record block.
// Compare(i) answers how record i compares with the value (-1, 0, 1), before Desc.
template <class At, class Compare>
bool BinarySearchWith(int n, const At& Record, const Compare& Compare3, int Offset, const uint8_t* Value,
                      TFieldType Type, bool Desc, bool CaseInsensitive, int Low, int High, int& Pos) {
    Pos = -1;
    if (n == 0) return false;
    auto cmp = [&](int i) {
        int r = Compare3(i);
        return Desc ? -r : r;
    };
    if (cmp(0) > 0) {
        // Before the first record; a text that the first one begins with still points at it.
        if (Type == ftString) {
            size_t la = strnlen(reinterpret_cast<const char*>(Record(0) + Offset), 1 << 20);
            size_t lb = strnlen(reinterpret_cast<const char*>(Value), 1 << 20);
            size_t l = std::min(la, lb);
            std::string a = Cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(Record(0) + Offset), l));
            std::string b = Cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(Value), l));
            if ((CaseInsensitive ? AnsiCompareText(a, b) : AnsiCompareStr(a, b)) == 0) Pos = 0;
        } else if (Type == ftWideString) {
            const std::u16string &a = WideText(Record(0) + Offset), &b = WideText(Value);
            size_t l = std::min(a.size(), b.size());
            std::string sa = Utf16ToUtf8(a.substr(0, l)), sb = Utf16ToUtf8(b.substr(0, l));
            if ((CaseInsensitive ? AnsiCompareText(sa, sb) : AnsiCompareStr(sa, sb)) == 0) Pos = 0;
        }
        return false;
    }
    if (cmp(n - 1) < 0) {
        Pos = n - 1;
        return false;
    }
    int lo = Low < 0 ? 0 : std::min(Low, n - 1);
    int hi = High < 0 ? n - 1 : std::min(High, n - 1);
    if (hi < lo) hi = lo;
    // The first record in [lo, hi] that does not sort before the value; every step halves
    // the range, so a value between two neighbours ends the search too.
    int first = hi + 1;
    int firstCmp = 1;
    int a = lo, b = hi;
    while (a <= b) {
        int mid = a + (b - a) / 2;
        int c = cmp(mid);
        if (c >= 0) {
            first = mid;
            firstCmp = c;
            b = mid - 1;
        } else {
            a = mid + 1;
        }
    }
    int c;
    if (first > hi) {
        Pos = hi;
        c = cmp(Pos);
    } else {
        Pos = first;
        c = firstCmp;
    }
    if (c == 0) {
        while (Pos > 0 && cmp(Pos - 1) == 0) --Pos;
        return true;
    }
    if (c < 0 && Pos < n - 1) ++Pos;
    return false;
}

template <class At>
bool BinarySearchImpl(int n, const At& Record, int Offset, const uint8_t* Value, TFieldType Type, bool Desc,
                      bool CaseInsensitive, int Low, int High, int& Pos) {
    auto compare = [&](int i) { return CompareTyped(Record(i) + Offset, Value, Type, CaseInsensitive); };
    return BinarySearchWith(n, Record, compare, Offset, Value, Type, Desc, CaseInsensitive, Low, High, Pos);
}

}  // namespace

const std::vector<uint64_t>* TvxMemData::SortPrefixes(int Offset) {
    if (prefixModCount_ != store_->ModCount() || prefixOffset_ != Offset) {
        // Rebuilding reads every block: worth it for a run of searches, not for one search
        // between two changes. The row waits for the second search on the same version.
        if (prefixWantedAt_ != store_->ModCount()) {
            prefixWantedAt_ = store_->ModCount();
            return nullptr;
        }
        int n = store_->RecordCount();
        prefixes_.resize(n);
        for (int i = 0; i < n; ++i) prefixes_[i] = TextPrefix(store_->Block(i) + Offset);
        prefixLevels_.Build(prefixes_);
        prefixModCount_ = store_->ModCount();
        prefixOffset_ = Offset;
    }
    return &prefixes_;
}

int TvxMemData::FindSortedText(int Offset, const uint8_t* Key, bool Desc) {
    const std::vector<uint64_t>* pre = SortPrefixes(Offset);
    const auto& refs = store_->RecordList();
    const TvxMemFields& store = *store_;
    const size_t n = refs.size();
    size_t lo = 0, hi = n;
    if (pre) {
        // A descending row of prefixes is an ascending one of their complements.
        const uint64_t flip = Desc ? ~uint64_t{0} : 0;
        const uint64_t k = TextPrefix(Key) ^ flip;
        const uint64_t* p = pre->data();
        // The records whose prefix is the key's: [lo, hi), mostly one or none.
        lo = prefixLevels_.FirstNotBelow(*pre, k, flip);
        if (lo == n || (p[lo] ^ flip) != k) return -1;
        hi = lo + 1;
        if (hi < n && (p[hi] ^ flip) == k) hi = k == UINT64_MAX ? n : prefixLevels_.FirstNotBelow(*pre, k + 1, flip);
    }
    // The first whose whole text does not sort before the key.
    auto before = [&](size_t i) {
        int r = CompareBytes(store.At(refs[i]) + Offset, Key, false);
        return Desc ? r > 0 : r < 0;
    };
    while (lo < hi) {
        size_t mid = lo + (hi - lo) / 2;
        if (before(mid))
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo < n && CompareBytes(store.At(refs[lo]) + Offset, Key, false) == 0 ? static_cast<int>(lo) : -1;
}

bool TvxMemData::BinarySearch(int Count, const TRecordAt& Record, int Offset, const uint8_t* Value, TFieldType Type,
                              bool Desc, bool CaseInsensitive, int Low, int High, int& Pos) const {
    return BinarySearchImpl(Count, Record, Offset, Value, Type, Desc, CaseInsensitive, Low, High, Pos);
}

void TvxMemData::MoveRecord(int From, int To) {
    if (From == To) return;
    auto& recs = store_->Records();
    TBlockRef block = recs[From];
    recs.erase(recs.begin() + From);
    recs.insert(recs.begin() + To, block);
    int32_t id = ids_[From];
    ids_.erase(ids_.begin() + From);
    ids_.insert(ids_.begin() + To, id);
    if (From < static_cast<int>(blobs_.size())) {
        auto entry = std::move(blobs_[From]);
        blobs_.erase(blobs_.begin() + From);
        blobs_.insert(blobs_.begin() + std::min(To, static_cast<int>(blobs_.size())), std::move(entry));
    }
    if (!filterList_.empty()) {
        int moved = -1;
        for (size_t i = 0; i < filterList_.size(); ++i) {
            int r = filterList_[i] - 1;
            if (r == From) {
                r = To;
                moved = static_cast<int>(i);
            } else if (From < To && r > From && r <= To) {
                --r;
            } else if (To < From && r >= To && r < From) {
                ++r;
            }
            filterList_[i] = r + 1;
        }
        std::sort(filterList_.begin(), filterList_.end());
        if (moved >= 0) {
            auto it = std::lower_bound(filterList_.begin(), filterList_.end(), To + 1);
            filterRecPos_ = static_cast<int>(it - filterList_.begin());
        }
    }
}

void TvxMemData::MoveCurRecToSortedPlace() {
    int count = store_->RecordCount();
    TvxMemField* d = sortField_ ? store_->FindField(sortField_) : nullptr;
    if (loading_ || !isOpen_ || count < 2 || !d || curRec_ < 0 || curRec_ >= count) return;
    bool desc = sortOptions_.Contains(soDesc);
    bool ci = sortOptions_.Contains(soCaseInsensitive);
    const uint8_t* cur = store_->Block(curRec_);
    auto dirCmp = [&](const uint8_t* a, const uint8_t* b) {
        int r = CompareValues(a + d->DataOffset, b + d->DataOffset, d->DataType);
        return desc ? -r : r;
    };
    if (curRec_ > 0 && dirCmp(cur, store_->Block(curRec_ - 1)) < 0)
        searchHigh_ = curRec_ - 1;
    else if (curRec_ < count - 1)
        searchLow_ = curRec_ + 1;
    auto view = [&](int i) -> const uint8_t* { return store_->Block(i); };
    // The value is copied: the search must not read from a block that is about to move.
    std::vector<uint8_t> value(cur + d->DataOffset, cur + d->DataOffset + std::max(d->DataSize, 1));
    int target;
    BinarySearchImpl(count, view, d->DataOffset, value.data(), d->DataType, desc, ci, searchLow_, searchHigh_, target);
    if (target < 0) target = 0;
    if (target > curRec_ && target < count && dirCmp(view(target), cur) > 0) --target;
    if (target >= count) target = count - 1;
    MoveRecord(curRec_, target);
    curRec_ = target;
    searchLow_ = -1;
    searchHigh_ = -1;
}

// ---------------------------------------------------------------- Locate and Lookup

bool TvxMemData::PartialMatch(const uint8_t* Key, const uint8_t* RecValue, TFieldType Type,
                              TLocateOptions Options) const {
    bool ci = Options.Contains(loCaseInsensitive);
    bool partial = Options.Contains(loPartialKey);
    if (Type == ftString) {
        size_t lk = strlen(reinterpret_cast<const char*>(Key));
        size_t lv = strnlen(reinterpret_cast<const char*>(RecValue), 1 << 20);
        if (lk == lv) return CompareBytes(Key, RecValue, ci) == 0;
        if (partial && lk >= 1 && lk < lv) return CompareBytes(Key, RecValue, ci, lk) == 0;
        return false;
    }
    const std::u16string& k = WideText(Key);
    const std::u16string& v = WideText(RecValue);
    auto same = [&](const std::u16string& a, const std::u16string& b) {
        std::string sa = Utf16ToUtf8(a), sb = Utf16ToUtf8(b);
        return ci ? AnsiSameText(sa, sb) : sa == sb;
    };
    if (k.size() == v.size()) return same(k, v);
    if (partial && k.size() < v.size()) return same(k, v.substr(0, k.size()));
    return false;
}

namespace {
constexpr int kNotANumber = -2;

// The first record (store order) whose value equals Key, read as T: the same equality as
// CompareTyped's, with the type chosen once for the whole scan.
template <typename T>
int ScanFor(const TvxMemFields& Store, const TvxMemField& D, const uint8_t* Key) {
    const T key = Load<T>(Key);
    const TMemBlockArena& arena = Store.Arena();
    const std::vector<TBlockRef>& refs = Store.RecordList();
    const int offset = D.DataOffset, flag = D.FlagOffset;
    const uint8_t mask = D.FlagMask;
    for (size_t r = 0; r < refs.size(); ++r) {
        const uint8_t* b = arena.At(refs[r]);
        if ((b[flag] & mask) != 0 && Sign3(Load<T>(b + offset), key) == 0) return static_cast<int>(r);
    }
    return -1;
}

// ScanFor for the numeric types; kNotANumber for the others.
int ScanForNumber(const TvxMemFields& Store, const TvxMemField& D, const uint8_t* Key) {
    switch (D.DataType) {
        case ftSmallint: return ScanFor<int16_t>(Store, D, Key);
        case ftWord: return ScanFor<uint16_t>(Store, D, Key);
        case ftInteger:
        case ftAutoInc: return ScanFor<int32_t>(Store, D, Key);
        case ftFloat:
        case ftCurrency: return ScanFor<double>(Store, D, Key);
        case ftBCD:
        case ftLargeint: return ScanFor<int64_t>(Store, D, Key);
        default: return kNotANumber;
    }
}

// The search answers where the key would go. Texts that begin with a partial key sort after
// it, so in a descending sort they lie before that place: walk back to the first of them.
template <class Match>
int FirstOfRun(int pos, int count, const Match& matches) {
    int p = std::clamp(pos, 0, count - 1);
    while (p > 0 && matches(p - 1)) --p;
    return p;
}
}  // namespace

int TvxMemData::LocateRecord(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options) {
    // One plain field name, the common case, needs no list: no splitting, trimming or
    // allocation; nor does its key.
    const bool plain = !KeyFields.empty() && KeyFields.find(';') == std::string::npos && KeyFields.front() != ' ' &&
                       KeyFields.back() != ' ';
    TField* single = plain ? FindField(KeyFields) : nullptr;
    std::vector<TField*> list;
    if (!single) {
        try {
            GetFieldList(list, KeyFields);
        } catch (const EDatabaseError&) {
            DatabaseError(DbFmt(SFieldNotFound, KeyFields));
        }
    }
    const std::span<TField* const> fields = single ? std::span<TField* const>(&single, 1)
                                                   : std::span<TField* const>(list);
    int count = store_->RecordCount();
    if (count == 0 || fields.empty()) return -1;
    if ((fields.size() == 1 && KeyValues.IsArray()) || (fields.size() > 1 && !KeyValues.IsArray())) return -1;
    if (fields.size() > 1 && KeyValues.ArrayHighBound() + 1 < static_cast<int>(fields.size())) return -1;
    CheckBrowseMode();
    UpdateCursorPos();

    KeyValue first = MakeKey(fields.size() == 1 ? KeyValues : KeyValues[0], fields[0]);
    std::vector<KeyValue> more;
    more.reserve(fields.size() - 1);
    for (size_t i = 1; i < fields.size(); ++i) more.push_back(MakeKey(KeyValues[static_cast<int>(i)], fields[i]));
    auto keyAt = [&](size_t i) -> KeyValue& { return i == 0 ? first : more[i - 1]; };
    for (size_t i = 0; i < fields.size(); ++i)
        if (fields[i]->DataType() == ftWideString && !keyAt(i).isNull) SetWideSlot(keyAt(i).Data(), &keyAt(i).wide);

    bool caseRule = Options.Contains(loCaseInsensitive) == sortOptions_.Contains(soCaseInsensitive);
    bool ci = Options.Contains(loCaseInsensitive);
    const TvxMemFields& store = *store_;
    auto rec = [&](int i) -> const uint8_t* { return store.Block(i); };
    auto isText = [](TFieldType t) { return t == ftString || t == ftWideString; };

    TField* f0 = fields[0];
    TvxMemField* d0 = store_->FindField(f0);
    TvxMemIndex* index0 = indexes_->GetIndexByField(f0);
    bool sorted0 = d0 && (f0 == sortField_ || index0) && caseRule;

    if (fields.size() == 1 && !filterActive_ && sorted0 && !first.isNull) {
        int pos = -1;
        bool found;
        if (f0 == sortField_ && d0->DataType == ftString && !ci && Options.Empty() && first.Data()[0] != 0)
            // A whole, non-empty key: only a stored value can equal it.
            return FindSortedText(d0->DataOffset, first.Data(), sortOptions_.Contains(soDesc));
        if (f0 == sortField_ && d0->DataType == ftString && !ci) {
            // Repeated searches on a text key mostly decide on a cached key prefix, which
            // keeps them off the scattered record blocks.
            const std::vector<uint64_t>* pre = SortPrefixes(d0->DataOffset);
            const uint8_t* key = first.Data();
            uint64_t keyPrefix = TextPrefix(key);
            auto view = rec;
            auto compare = [&](int i) {
                if (pre && (*pre)[i] != keyPrefix) return (*pre)[i] < keyPrefix ? -1 : 1;
                return CompareTyped(rec(i) + d0->DataOffset, key, ftString, false);
            };
            found = BinarySearchWith(count, view, compare, d0->DataOffset, key, ftString, sortOptions_.Contains(soDesc),
                                     false, -1, -1, pos);
        } else if (f0 == sortField_) {
            auto view = rec;
            found = BinarySearchImpl(count, view, d0->DataOffset, first.Data(), d0->DataType,
                                     sortOptions_.Contains(soDesc), ci, -1, -1, pos);
        } else {
            found = index0->Find(first.Data(), pos, ci);
        }
        if (isText(d0->DataType)) {
            auto matches = [&](int i) {
                const uint8_t* b = rec(i);
                return d0->HasValue(b) && PartialMatch(first.Data(), b + d0->DataOffset, d0->DataType, Options);
            };
            if (f0 == sortField_) pos = FirstOfRun(pos, count, matches);
            if (pos < 0 || pos >= count) return -1;
            return matches(pos) ? pos : -1;
        }
        if (pos < 0 || pos >= count) return -1;
        return found ? pos : -1;
    }

    std::vector<TvxMemField*> descs;
    for (TField* f : fields) descs.push_back(store_->FindField(f));
    auto matchField = [&](size_t i, const uint8_t* block) {
        TvxMemField* d = descs[i];
        if (!d) return false;
        bool has = d->HasValue(block);
        if (keyAt(i).isNull) return !has;
        if (!has) return false;
        if (isText(d->DataType) && !Options.Empty())
            return PartialMatch(keyAt(i).Data(), block + d->DataOffset, d->DataType, Options);
        return CompareTyped(block + d->DataOffset, keyAt(i).Data(), d->DataType, ci) == 0;
    };
    auto matchAll = [&](const uint8_t* block) {
        for (size_t i = 0; i < fields.size(); ++i)
            if (!matchField(i, block)) return false;
        return true;
    };

    int n = filterActive_ ? static_cast<int>(filterList_.size()) : count;
    int start = 0;
    bool stopEarly = false;
    // In store order only the table's own sort keeps equal keys together.
    if (!filterActive_ && sorted0 && f0 == sortField_ && !first.isNull) {
        auto view = rec;
        int pos;
        BinarySearchImpl(count, view, d0->DataOffset, first.Data(), d0->DataType, sortOptions_.Contains(soDesc), ci, -1,
                         -1, pos);
        start = FirstOfRun(pos, count, [&](int i) { return matchField(0, rec(i)); });
        stopEarly = true;
    }
    if (fields.size() == 1 && !filterActive_ && !stopEarly && d0 && !first.isNull)
        if (int found = ScanForNumber(*store_, *d0, first.Data()); found != kNotANumber) return found;
    for (int p = start; p < n; ++p) {
        int r = filterActive_ ? filterList_[p] - 1 : p;
        if (r < 0 || r >= count) continue;
        const uint8_t* block = rec(r);
        if (matchAll(block)) return p;
        if (stopEarly && p > start && !matchField(0, block)) break;
    }
    return -1;
}

bool TvxMemData::Locate(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options) {
    CheckActive();
    int pos = LocateRecord(KeyFields, KeyValues, Options);
    if (pos < 0) return false;
    if (RecNo() == pos + 1)
        Resync();
    else
        SetRecNo(pos + 1);
    return true;
}

Variant TvxMemData::Lookup(const std::string& KeyFields, const Variant& KeyValues, const std::string& ResultFields) {
    CheckActive();
    int pos = LocateRecord(KeyFields, KeyValues, TLocateOptions{});
    TField* result = FindField(ResultFields);
    if (pos < 0 || !result) return Variant::Null();
    int r = filterActive_ ? filterList_[pos] - 1 : pos;
    if (r < 0 || r >= store_->RecordCount()) return Variant::Null();
    if (result->IsBlob()) {
        std::vector<std::string>* entry = StoredBlobs(r);
        int i = result->Offset();
        return Variant(entry && i >= 0 && i < static_cast<int>(entry->size()) ? (*entry)[i] : std::string());
    }
    // The value is read from a scratch buffer holding the record, in the filter state.
    if (!filterBuffer_) filterBuffer_ = AllocRecordBuffer();
    store_->GetRecord(filterBuffer_, r);
    TDataSetState saved = SetTempState(dsFilter);
    TScopeExit restore([&] { RestoreState(saved); });
    return result->Value();
}

int TvxMemData::GetRecNoByFieldValue(const Variant& Value, const std::string& FieldName) {
    TField* f = FindField(FieldName);
    TvxMemField* d = f ? store_->FindField(f) : nullptr;
    if (!d) return -1;
    KeyValue key = MakeKey(Value, f);
    if (f->DataType() == ftWideString && !key.isNull) SetWideSlot(key.Data(), &key.wide);
    for (int r = 0; r < store_->RecordCount(); ++r) {
        const uint8_t* block = store_->Block(r);
        bool has = d->HasValue(block);
        if (key.isNull ? !has : (has && CompareValues(block + d->DataOffset, key.Data(), d->DataType) == 0))
            return r + 1;
    }
    return -1;
}

// ---------------------------------------------------------------- filtering

bool TvxMemData::CheckFilterRecord() {
    if (!OnFilterRecord()) return true;
    bool accept = true;
    OnFilterRecord()(this, accept);
    if (!accept && filterRecPos_ >= 0 && filterRecPos_ < static_cast<int>(filterList_.size())) {
        filterList_.erase(filterList_.begin() + filterRecPos_);
        filterActive_ = true;
    }
    return accept;
}

void TvxMemData::UpdateFilterList() {
    if (!isOpen_) return;
    bool disabledHere = !ControlsDisabled();
    if (disabledHere) DisableControls();
    filterList_.clear();
    int count = store_->RecordCount();
    if (Filtered()) {
        filterActive_ = false;
        InternalFirst();
        const TFilterRecordEvent& ev = OnFilterRecord();
        if (ev && !filterBuffer_) filterBuffer_ = AllocRecordBuffer();
        for (int r = 0; r < count; ++r) {
            bool accept = true;
            if (ev) {
                store_->GetRecord(filterBuffer_, r);
                SetBookmarkData(filterBuffer_, &ids_[r]);
                SetBookmarkFlag(filterBuffer_, bfCurrent);
                std::vector<std::string>* entry = StoredBlobs(r);
                for (int i = 0; i < BlobFieldCount(); ++i)
                    BufferBlob(filterBuffer_, i) = entry ? (*entry)[i] : std::string();
                TDataSetState saved = SetTempState(dsFilter);
                try {
                    ev(this, accept);
                } catch (...) {
                    RestoreState(saved);
                    if (disabledHere) EnableControls();
                    throw;
                }
                RestoreState(saved);
            }
            if (accept) filterList_.push_back(r + 1);
        }
    }
    if (Active()) ClearBuffers();
    filterActive_ = Filtered() || (!filterList_.empty() && static_cast<int>(filterList_.size()) != count);
    if (filterActive_) {
        if (!filterList_.empty()) {
            filterRecPos_ = 0;
            curRec_ = filterList_[0] - 1;
        } else {
            filterRecPos_ = -1;
            curRec_ = -1;
        }
    } else {
        InternalFirst();
    }
    if (Active()) Resync();
    if (disabledHere) EnableControls();
}

void TvxMemData::SetOnFilterRecord(const TFilterRecordEvent& Value) {
    TDataSet::SetOnFilterRecord(Value);
    UpdateFilterList();
}

void TvxMemData::SetFiltered(bool Value) {
    if (Active()) CheckBrowseMode();
    if (Value == Filtered()) return;
    // The list is rebuilt for the new setting: a stale list would hide or show records.
    TDataSet::SetFilteredFlag(Value);
    UpdateFilterList();
}
