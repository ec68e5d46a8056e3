#pragma once
// The framework's time stamp: a day number (1 = 0001-01-01) and the milliseconds since
// midnight. Date, time and date-time fields keep their values in these forms.

#include <cstdint>

struct TTimeStamp {
    int32_t Time = 0;  // milliseconds since midnight
    int32_t Date = 0;  // days, 1 = 1 January of year 1
};

// Day number of 1899-12-30, the zero of a TDateTime.
constexpr int32_t DateDelta = 693594;

TTimeStamp DateTimeToTimeStamp(double dateTime);
double TimeStampToDateTime(const TTimeStamp& ts);
double TimeStampToMSecs(const TTimeStamp& ts);
TTimeStamp MSecsToTimeStamp(double msecs);
