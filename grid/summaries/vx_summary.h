#pragma once
// Summary types, the per-record hook and the one routine that turns a summary value into
// the text of a footer cell, a group row or a group footer row; plus the running
// aggregation that the grid's loading feeds record by record.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/db/db_types.h"
#include "platform/rtl/extended.h"

class TDataSet;
class TObject;

enum TvxSummaryType : uint8_t { cstNone, cstSum, cstMin, cstMax, cstCount, cstAvg };

// Fired once per record before its value is aggregated; the handler may change Value.
using TvxSummaryEvent = std::function<void(TObject* Sender, TDataSet* DataSet, Extended& Value)>;

// The default formats of group rows and footers, and the date prefixes.
std::string SummaryDefaultFormat(TvxSummaryType SummaryType, bool IsFooter);
std::string SummaryDatePrefix(TvxSummaryType SummaryType, bool IsFooter);

// FieldType is the summed field's type when it is a date, time or date-time (then the
// value is shown as one), else 0. Format empty: the default of the row kind.
void FormatSummaryText(TvxSummaryType SummaryType, const std::string& Format, int FieldType, bool IsFooter,
                       Extended Value, std::string& Text);

// A running summary: the first value sets it, later ones add (sum, average) or replace
// it when strictly smaller (min) or larger (max); count keeps nothing.
struct TvxSummaryAccumulator {
    Extended Value = 0;
    int Count = 0;
    void Clear() {
        Value = 0;
        Count = 0;
    }
    void Add(TvxSummaryType SummaryType, Extended V);
    // Count: the number of records; average: the sum over them; else the running value.
    Extended Result(TvxSummaryType SummaryType) const;
};
