#pragma once
// The six comparison operators of filter conditions, one stateless object per kind in a
// table shared by the whole program. There is no inequality or pattern operator: a
// condition's Not flag negates.

#include <cstdint>
#include <string>

#include "platform/rtl/variant.h"

inline constexpr uint8_t vxoIsNull = 0;
inline constexpr uint8_t vxoEqual = 1;
inline constexpr uint8_t vxoGreater = 2;
inline constexpr uint8_t vxoLess = 3;
inline constexpr uint8_t vxoGreaterEqual = 4;
inline constexpr uint8_t vxoLessEqual = 5;
inline constexpr int kvxOperatorCount = 6;

class TvxAbstractOperator {
public:
    virtual ~TvxAbstractOperator() = default;
    virtual bool Compare(const Variant& RecordValue, const Variant& ConditionValue) const = 0;
    virtual std::string GetText() const = 0;
};

// The operator of a kind 0..5; a kind outside the table raises ERangeError.
const TvxAbstractOperator& vxOperator(uint8_t Kind);
inline bool IsValidOperatorKind(int Kind) { return Kind >= 0 && Kind < kvxOperatorCount; }
