#include "grid/filter/vx_criteria_operators.h"

#include <array>

#include "platform/rtl/exception.h"

namespace {
class TvxNullOperator : public TvxAbstractOperator {
public:
    bool Compare(const Variant& RecordValue, const Variant&) const override {
        return RecordValue.IsNull() || (RecordValue.IsString() && RecordValue.AsString().empty());
    }
    std::string GetText() const override { return "Is Null"; }
};

// The ordering operators differ only in which relationships they accept.
template <bool AcceptLess, bool AcceptEqual, bool AcceptGreater>
class TvxRelationOperator : public TvxAbstractOperator {
public:
    explicit TvxRelationOperator(const char* Text) : text_(Text) {}
    bool Compare(const Variant& RecordValue, const Variant& ConditionValue) const override {
        switch (VarCompareValue(RecordValue, ConditionValue)) {
            case vrLessThan: return AcceptLess;
            case vrEqual: return AcceptEqual;
            case vrGreaterThan: return AcceptGreater;
            case vrNotEqual: return false;
        }
        return false;
    }
    std::string GetText() const override { return text_; }

private:
    const char* text_;
};

using TvxEqualOperator = TvxRelationOperator<false, true, false>;
using TvxGreaterOperator = TvxRelationOperator<false, false, true>;
using TvxLessOperator = TvxRelationOperator<true, false, false>;
using TvxGreaterEqualOperator = TvxRelationOperator<false, true, true>;
using TvxLessEqualOperator = TvxRelationOperator<true, true, false>;

const TvxNullOperator nullOperator;
const TvxEqualOperator equalOperator("=");
const TvxGreaterOperator greaterOperator(">");
const TvxLessOperator lessOperator("<");
const TvxGreaterEqualOperator greaterEqualOperator(">=");
const TvxLessEqualOperator lessEqualOperator("<=");

const std::array<const TvxAbstractOperator*, kvxOperatorCount> operators = {
    &nullOperator, &equalOperator, &greaterOperator, &lessOperator, &greaterEqualOperator, &lessEqualOperator};
}  // namespace

const TvxAbstractOperator& vxOperator(uint8_t Kind) {
    if (!IsValidOperatorKind(Kind)) throw ERangeError("Operator " + std::to_string(Kind) + " out of range");
    return *operators[Kind];
}
