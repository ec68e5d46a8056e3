#include "platform/db/time_stamp.h"

#include <cmath>

TTimeStamp DateTimeToTimeStamp(double dateTime) {
    TTimeStamp ts;
    double days = std::trunc(dateTime);
    ts.Date = static_cast<int32_t>(days) + DateDelta;
    ts.Time = static_cast<int32_t>(std::llround(std::fabs(dateTime - days) * 86400000.0));
    if (ts.Time >= 86400000) {  // rounding reached the next midnight
        ts.Time -= 86400000;
        ts.Date += dateTime < 0 ? -1 : 1;
    }
    return ts;
}

double TimeStampToDateTime(const TTimeStamp& ts) {
    double days = ts.Date - DateDelta;
    double frac = ts.Time / 86400000.0;
    return days < 0 ? days - frac : days + frac;
}

double TimeStampToMSecs(const TTimeStamp& ts) {
    return static_cast<double>(ts.Date) * 86400000.0 + ts.Time;
}

TTimeStamp MSecsToTimeStamp(double msecs) {
    TTimeStamp ts;
    double days = std::floor(msecs / 86400000.0);
    ts.Date = static_cast<int32_t>(days);
    ts.Time = static_cast<int32_t>(msecs - days * 86400000.0);
    return ts;
}
