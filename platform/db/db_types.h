#pragma once
// Enumerations of the dataset framework. The ordinals matter: stored streams, the memory
// table and the grid compare them ("a state before Insert", "blob types 15 to 21").

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/classes/alignment.h"

enum TFieldType : uint8_t {
    ftUnknown,
    ftString,
    ftSmallint,
    ftInteger,
    ftWord,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftBCD,
    ftDate,
    ftTime,
    ftDateTime,
    ftBytes,
    ftVarBytes,
    ftAutoInc,
    ftBlob,
    ftMemo,
    ftGraphic,
    ftFmtMemo,
    ftParadoxOle,
    ftDBaseOle,
    ftTypedBinary,
    ftCursor,
    ftFixedChar,
    ftWideString,
    ftLargeint,
    ftADT,
    ftArray,
    ftReference,
    ftDataSet
};

// Blob types keep their values outside the record block.
inline bool IsBlobType(TFieldType t) { return t >= ftBlob && t <= ftTypedBinary; }
std::string FieldTypeName(TFieldType t);

enum TDataSetState : uint8_t {
    dsInactive,
    dsBrowse,
    dsEdit,
    dsInsert,
    dsSetKey,
    dsCalcFields,
    dsFilter,
    dsNewValue,
    dsOldValue,
    dsCurValue,
    dsBlockRead,
    dsInternalCalc,
    dsOpening
};

enum TBookmarkFlag : uint8_t { bfCurrent, bfBOF, bfEOF, bfInserted };
enum TGetMode : uint8_t { gmCurrent, gmNext, gmPrior };
enum TGetResult : uint8_t { grOK, grBOF, grEOF, grError };
enum TFieldKind : uint8_t { fkData, fkCalculated, fkLookup, fkInternalCalc };
enum TLocateOption : uint8_t { loCaseInsensitive, loPartialKey };
enum TBlobStreamMode : uint8_t { bmRead, bmWrite, bmReadWrite };
enum TDataAction : uint8_t { daFail, daAbort, daRetry };

enum TDataEvent : uint8_t {
    deFieldChange,
    deRecordChange,
    deDataSetChange,
    deDataSetScroll,
    deLayoutChange,
    deUpdateRecord,
    deUpdateState,
    deCheckBrowseMode,
    deFocusControl,
    deFieldListChange
};

// A notice of what changed, which every listener hears; the others are requests to the
// listeners (write your values, leave the edit, take the focus), which one may refuse by
// raising and so end for the rest.
inline bool IsNotice(TDataEvent Event) {
    return Event != deUpdateRecord && Event != deCheckBrowseMode && Event != deFocusControl;
}

// A small set of enumeration values, written like the class library's [a, b].
template <typename E>
class TEnumSet {
public:
    TEnumSet() = default;
    TEnumSet(std::initializer_list<E> items) {
        for (E e : items) Include(e);
    }
    bool Contains(E e) const { return (bits_ >> static_cast<unsigned>(e)) & 1u; }
    void Include(E e) { bits_ |= 1ull << static_cast<unsigned>(e); }
    void Exclude(E e) { bits_ &= ~(1ull << static_cast<unsigned>(e)); }
    bool Empty() const { return bits_ == 0; }
    friend bool operator==(TEnumSet a, TEnumSet b) { return a.bits_ == b.bits_; }

private:
    uint64_t bits_ = 0;
};

using TLocateOptions = TEnumSet<TLocateOption>;

// A bookmark is a value: the bytes the dataset chose to identify a record; empty = none.
using TBookmark = std::vector<uint8_t>;
using TRecordBuffer = uint8_t*;
