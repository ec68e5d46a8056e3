#pragma once
// The framework's time stamp: a day number (1 = 0001-01-01) and the milliseconds since
// midnight. Date, time and date-time fields keep their values in these forms.
// Only years 1..9999 have a time stamp: the conversions refuse anything else (a NaN, an
// infinity, a huge number) with EConvertError, so no value outside the calendar is stored
// or turned into an integer.

#include <cstdint>

struct TTimeStamp {
    int32_t Time = 0;  // milliseconds since midnight
    int32_t Date = 0;  // days, 1 = 1 January of year 1
};

// Day number of 1899-12-30, the zero of a TDateTime.
constexpr int32_t DateDelta = 693594;
// Day number of 9999-12-31, the last day with a time stamp.
constexpr int32_t MaxTimeStampDate = 3652059;
constexpr int32_t MSecsPerTimeStampDay = 86400000;

bool IsValidTimeStamp(const TTimeStamp& ts);
// Raise EConvertError for a value outside the calendar.
TTimeStamp DateTimeToTimeStamp(double dateTime);
double TimeStampToDateTime(const TTimeStamp& ts);
double TimeStampToMSecs(const TTimeStamp& ts);
TTimeStamp MSecsToTimeStamp(double msecs);
// The same without raising: false for milliseconds outside the calendar.
bool TryMSecsToTimeStamp(double msecs, TTimeStamp& ts);
// Refuses an invalid stamp with EConvertError.
void CheckTimeStamp(const TTimeStamp& ts);
