#include "platform/db/time_stamp.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "platform/db/db_consts.h"
#include "platform/rtl/exception.h"

namespace {
[[noreturn]] void InvalidTimeStamp(const std::string& text) { throw EConvertError(DbFmt(SInvalidTimeStamp, text)); }

std::string NumberText(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}
}  // namespace

bool IsValidTimeStamp(const TTimeStamp& ts) {
    return ts.Date >= 1 && ts.Date <= MaxTimeStampDate && ts.Time >= 0 && ts.Time < MSecsPerTimeStampDay;
}

void CheckTimeStamp(const TTimeStamp& ts) {
    if (!IsValidTimeStamp(ts)) InvalidTimeStamp(std::to_string(ts.Date) + "." + std::to_string(ts.Time));
}

TTimeStamp DateTimeToTimeStamp(double dateTime) {
    // Checked in floating point first: the casts below are only defined inside int32.
    double days = std::trunc(dateTime);
    if (!std::isfinite(dateTime) || days + DateDelta < 1 || days + DateDelta > MaxTimeStampDate)
        InvalidTimeStamp(NumberText(dateTime));
    TTimeStamp ts;
    ts.Date = static_cast<int32_t>(days) + DateDelta;
    ts.Time = static_cast<int32_t>(std::llround(std::fabs(dateTime - days) * 86400000.0));
    if (ts.Time >= MSecsPerTimeStampDay) {  // rounding reached the next midnight
        ts.Time -= MSecsPerTimeStampDay;
        ts.Date += dateTime < 0 ? -1 : 1;
    }
    CheckTimeStamp(ts);
    return ts;
}

double TimeStampToDateTime(const TTimeStamp& ts) {
    double days = ts.Date - DateDelta;
    double frac = ts.Time / 86400000.0;
    return days < 0 ? days - frac : days + frac;
}

double TimeStampToMSecs(const TTimeStamp& ts) { return static_cast<double>(ts.Date) * 86400000.0 + ts.Time; }

bool TryMSecsToTimeStamp(double msecs, TTimeStamp& ts) {
    double days = std::floor(msecs / 86400000.0);
    if (!std::isfinite(msecs) || days < 1 || days > MaxTimeStampDate) return false;
    ts.Date = static_cast<int32_t>(days);
    ts.Time = static_cast<int32_t>(msecs - days * 86400000.0);
    return true;
}

TTimeStamp MSecsToTimeStamp(double msecs) {
    TTimeStamp ts;
    if (!TryMSecsToTimeStamp(msecs, ts)) InvalidTimeStamp(NumberText(msecs));
    return ts;
}
