#pragma once
// TDateTime as the class library keeps it: days since 1899-12-30 00:00, the fraction being
// the time of day. Before that day the integral part is negative and the fraction still
// counts forwards from midnight: -1.25 is 1899-12-29 06:00.
// Decoding rounds to the millisecond, so 23:59:59.9996 decodes as the next day's 00:00.
// Date and time texts follow FormatSettings(). Errors raise EConvertError with the class
// library's messages ("Invalid argument to date encode", "'x' is not a valid date").

#include <cstdint>
#include <string>
#include <string_view>

using TDateTime = double;

constexpr double MSecsPerDay = 86400000.0;
constexpr int64_t MSecsPerDayInt = 86400000;
// TDateTime of 1970-01-01.
constexpr double UnixDateDelta = 25569.0;

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);  // 0 for a month outside 1..12

// Years 1..9999.
TDateTime EncodeDate(int year, int month, int day);
bool TryEncodeDate(int year, int month, int day, TDateTime& result);
// Hours 0..23 (24:00:00.000 is accepted as the end of the day), minutes and seconds 0..59,
// milliseconds 0..999.
TDateTime EncodeTime(int hour, int min, int sec, int msec);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& result);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec);
// Joins a date and a time of day the way the class library does for negative dates.
TDateTime ComposeDateTime(TDateTime date, TDateTime time);

void DecodeDate(TDateTime dt, int& year, int& month, int& day);
void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec);
void DecodeDateTime(TDateTime dt, int& year, int& month, int& day, int& hour, int& min, int& sec, int& msec);
// The same with the class library's 16-bit parts.
void DecodeDate(TDateTime dt, uint16_t& year, uint16_t& month, uint16_t& day);
void DecodeTime(TDateTime dt, uint16_t& hour, uint16_t& min, uint16_t& sec, uint16_t& msec);
void DecodeDateTime(TDateTime dt, uint16_t& year, uint16_t& month, uint16_t& day, uint16_t& hour, uint16_t& min,
                    uint16_t& sec, uint16_t& msec);
// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime dt);
// The date only / the time of day only (always in 0 <= t < 1).
TDateTime DateOf(TDateTime dt);
TDateTime TimeOf(TDateTime dt);
// Moves by whole months; the day is clamped to the target month's length; the time is kept.
TDateTime IncMonth(TDateTime dt, int months = 1);

// Milliseconds of the whole value (date and time), rounded; the base of the conversions.
int64_t DateTimeToMilliseconds(TDateTime dt);
TDateTime MillisecondsToDateTime(int64_t ms);

// Zone-free conversions between TDateTime and milliseconds since 1970-01-01.
TDateTime UnixMillisToDateTime(int64_t unix_millis);
int64_t DateTimeToUnixMillis(TDateTime dt);

// Through the system's time-zone data (TZ honoured, re-read on each call). A local time that
// a spring-forward skips is taken as if the clock had not been set forward (02:30 becomes
// 03:30 summer time); a repeated autumn hour is taken as its first (summer-time) occurrence.
TDateTime UtcToLocalDateTime(TDateTime utc);
TDateTime LocalToUtcDateTime(TDateTime local);

// Wall time from CurrentClock(), local.
TDateTime Now();
TDateTime Date();
TDateTime Time();
// Wall time from CurrentClock() in UTC.
TDateTime NowUtc();

// Patterns (letters in any case): c d dd ddd dddd ddddd dddddd m mm mmm mmmm yy yyyy h hh
// n nn s ss z zzz t tt am/pm a/p ampm; "m" right after an "h" means minutes; "/" and ":"
// are the locale's separators; "..." and '...' are literals; other characters are copied.
std::string FormatDateTime(std::string_view format, TDateTime dt);
std::string DateToStr(TDateTime dt);      // ShortDateFormat
std::string TimeToStr(TDateTime dt);      // LongTimeFormat
std::string DateTimeToStr(TDateTime dt);  // "c": the time only when it is not midnight

// Numbers separated by DateSeparator in ShortDateFormat's order (d/m/y, m/d/y or y/m/d);
// the year may be left out (this year) or given with two digits. Times are
// h[:n[:s[.z]]] with an optional AM/PM.
TDateTime StrToDate(std::string_view s);
TDateTime StrToTime(std::string_view s);
TDateTime StrToDateTime(std::string_view s);
bool TryStrToDate(std::string_view s, TDateTime& value);
bool TryStrToTime(std::string_view s, TDateTime& value);
bool TryStrToDateTime(std::string_view s, TDateTime& value);
TDateTime StrToDateDef(std::string_view s, TDateTime default_value);
TDateTime StrToTimeDef(std::string_view s, TDateTime default_value);
TDateTime StrToDateTimeDef(std::string_view s, TDateTime default_value);
