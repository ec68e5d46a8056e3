#include "grid/core/vx_db_field_bounds.h"

#include <cstdio>
#include <cstdlib>

#include "platform/db/numeric_fields.h"

namespace {
double RoundToPrecision(double Value, int Precision) {
    if (Precision <= 0 || Precision > 17) return Value;
    char text[64];
    std::snprintf(text, sizeof text, "%.*g", Precision, Value);
    return std::strtod(text, nullptr);
}

template <class Get>
double FieldLimit(TField* Field, Get get) {
    if (auto* i = dynamic_cast<TIntegerField*>(Field)) return get(*i);
    if (auto* f = dynamic_cast<TFloatField*>(Field)) return RoundToPrecision(get(*f), f->Precision());
    return 0;
}
}  // namespace

double FieldMinValue(TField* Field) {
    return FieldLimit(Field, [](const auto& f) { return static_cast<double>(f.MinValue()); });
}

double FieldMaxValue(TField* Field) {
    return FieldLimit(Field, [](const auto& f) { return static_cast<double>(f.MaxValue()); });
}

bool TvxFieldBounds::SetMin(double Value) {
    const bool changed = !minAssigned_ || min_ != Value;
    min_ = Value;
    minAssigned_ = true;
    return changed;
}

bool TvxFieldBounds::SetMax(double Value) {
    const bool changed = !maxAssigned_ || max_ != Value;
    max_ = Value;
    maxAssigned_ = true;
    return changed;
}
