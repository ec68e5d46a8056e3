#include "grid/summaries/vx_summary.h"

#include "platform/rtl/convert.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/exception.h"

namespace {
struct TFormats {
    const char* GroupRow;
    const char* Footer;
};

// Indexed by summary type; cstNone has no format.
constexpr TFormats kDefaultFormats[] = {
    {"", ""},
    {"(SUM=0.00);(SUM=-0.00)", "0.00;-0.00"},
    {"(MIN=0.00);(MIN=-0.00)", "MIN=0.00;MIN=-0.00"},
    {"(MAX=0.00);(MAX=-0.00)", "MAX=0.00;MAX=-0.00"},
    {"(COUNT=0)", "0"},
    {"(AVG=0.00);(AVG=-0.00)", "AVG=0.00;AVG=-0.00"},
};

constexpr TFormats kDatePrefixes[] = {
    {"", ""}, {"(SUM=", ""}, {"(MIN=", "MIN="}, {"(MAX=", "MAX="}, {"", ""}, {"(AVG=", "AVG="},
};

bool IsDateType(int FieldType) { return FieldType == ftDate || FieldType == ftTime || FieldType == ftDateTime; }
}  // namespace

std::string SummaryDefaultFormat(TvxSummaryType SummaryType, bool IsFooter) {
    if (SummaryType > cstAvg) return {};
    const TFormats& f = kDefaultFormats[SummaryType];
    return IsFooter ? f.Footer : f.GroupRow;
}

std::string SummaryDatePrefix(TvxSummaryType SummaryType, bool IsFooter) {
    if (SummaryType > cstAvg) return {};
    const TFormats& f = kDatePrefixes[SummaryType];
    return IsFooter ? f.Footer : f.GroupRow;
}

void FormatSummaryText(TvxSummaryType SummaryType, const std::string& Format, int FieldType, bool IsFooter,
                       Extended Value, std::string& Text) {
    Text.clear();
    if (SummaryType == cstNone || SummaryType > cstAvg) return;
    if (IsDateType(FieldType) && SummaryType != cstCount) {
        std::string prefix = Format, suffix;
        if (Format.empty()) {
            prefix = SummaryDatePrefix(SummaryType, IsFooter);
            if (!IsFooter) suffix = ")";
        }
        const TDateTime dt = static_cast<double>(Value);
        std::string body;
        try {
            body = FieldType == ftDate ? DateToStr(dt) : FieldType == ftTime ? TimeToStr(dt) : DateTimeToStr(dt);
        } catch (const EConvertError&) {
            // A sum of dates can leave the calendar: show the number rather than fail a paint.
            body = FloatToStr(Value);
        }
        Text = prefix + body + suffix;
        return;
    }
    Text = FormatFloat(Format.empty() ? SummaryDefaultFormat(SummaryType, IsFooter) : Format, Value);
}

void TvxSummaryAccumulator::Add(TvxSummaryType SummaryType, Extended V) {
    if (SummaryType != cstCount) {
        if (Count == 0) {
            Value = V;
        } else {
            switch (SummaryType) {
                case cstSum:
                case cstAvg: Value += V; break;
                case cstMin:
                    if (V < Value) Value = V;
                    break;
                case cstMax:
                    if (V > Value) Value = V;
                    break;
                default: break;
            }
        }
    }
    ++Count;
}

Extended TvxSummaryAccumulator::Result(TvxSummaryType SummaryType) const {
    if (SummaryType == cstCount) return Count;
    if (SummaryType == cstAvg) return Count > 0 ? Value / Count : 0;
    return Value;
}
