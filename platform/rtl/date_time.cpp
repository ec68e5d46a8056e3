#include "platform/rtl/date_time.h"

#include <cmath>
#include <ctime>
#include <vector>

#include "platform/rtl/exception.h"
#include "platform/rtl/locale.h"
#include "platform/rtl/str_utils.h"
#include "platform/sync/clock.h"

namespace {

constexpr int64_t kUnixDeltaMs = 25569LL * MSecsPerDayInt;
// Bounds of years 1..9999 in days since 1899-12-30; values outside make no date.
constexpr int64_t kMinDay = -693593;
constexpr int64_t kMaxDay = 2958465;

// Days between 1899-12-30 and the given civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + 25569;
}

void CivilFromDays(int64_t days, int& year, int& month, int& day) {
    int64_t z = days - 25569 + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

void SplitMillis(int64_t linear, int64_t& day, int64_t& time_ms) {
    day = FloorDiv(linear, MSecsPerDayInt);
    time_ms = linear - day * MSecsPerDayInt;
}

// Local time-zone offset (seconds east of UTC) in force at a UTC instant.
long OffsetAt(int64_t unix_seconds) {
    time_t t = static_cast<time_t>(unix_seconds);
    struct tm tm {};
    if (!localtime_r(&t, &tm)) return 0;
    return tm.tm_gmtoff;
}

int64_t UtcMillisToLocalMillis(int64_t unix_ms) {
    tzset();
    return unix_ms + static_cast<int64_t>(OffsetAt(FloorDiv(unix_ms, 1000))) * 1000;
}

int64_t LocalMillisToUtcMillis(int64_t local_ms) {
    tzset();
    int64_t local_s = FloorDiv(local_ms, 1000);
    long before = OffsetAt(local_s - 86400);
    long after = OffsetAt(local_s + 86400);
    bool before_ok = OffsetAt(local_s - before) == before;
    bool after_ok = OffsetAt(local_s - after) == after;
    long offset = before;
    if (before_ok && after_ok)
        offset = std::max(before, after);  // repeated hour: the earlier instant
    else if (after_ok)
        offset = after;
    // Neither fits: a skipped hour, read with the offset from before the change.
    return local_ms - static_cast<int64_t>(offset) * 1000;
}

[[noreturn]] void DateEncodeError() { throw EConvertError("Invalid argument to date encode"); }
[[noreturn]] void TimeEncodeError() { throw EConvertError("Invalid argument to time encode"); }

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& result) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return false;
    result = static_cast<double>(DaysFromCivil(year, month, day));
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime r = 0;
    if (!TryEncodeDate(year, month, day, r)) DateEncodeError();
    return r;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& result) {
    bool end_of_day = hour == 24 && min == 0 && sec == 0 && msec == 0;
    if (!end_of_day && (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999))
        return false;
    result = static_cast<double>(((hour * 60 + min) * 60 + sec) * 1000 + msec) / MSecsPerDay;
    return true;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
    TDateTime r = 0;
    if (!TryEncodeTime(hour, min, sec, msec, r)) TimeEncodeError();
    return r;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec) {
    return ComposeDateTime(EncodeDate(year, month, day), EncodeTime(hour, min, sec, msec));
}

TDateTime ComposeDateTime(TDateTime date, TDateTime time) {
    double t = std::fabs(time - std::trunc(time));
    double d = std::trunc(date);
    return d < 0 ? d - t : d + t;
}

int64_t DateTimeToMilliseconds(TDateTime dt) {
    if (!std::isfinite(dt)) return 0;
    double total = std::round(dt * MSecsPerDay);
    if (std::fabs(total) > 9.0e17) return 0;
    int64_t ms = static_cast<int64_t>(total);
    int64_t day = ms / MSecsPerDayInt;  // towards zero: the integral part is the date
    int64_t time_ms = (ms < 0 ? -ms : ms) % MSecsPerDayInt;
    return day * MSecsPerDayInt + time_ms;
}

TDateTime MillisecondsToDateTime(int64_t ms) {
    int64_t day = 0, time_ms = 0;
    SplitMillis(ms, day, time_ms);
    return ComposeDateTime(static_cast<double>(day), static_cast<double>(time_ms) / MSecsPerDay);
}

void DecodeDate(TDateTime dt, int& year, int& month, int& day) {
    int64_t d = 0, t = 0;
    SplitMillis(DateTimeToMilliseconds(dt), d, t);
    if (d < kMinDay || d > kMaxDay) {
        year = month = day = 0;
        return;
    }
    CivilFromDays(d, year, month, day);
}

void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec) {
    int64_t d = 0, t = 0;
    SplitMillis(DateTimeToMilliseconds(dt), d, t);
    hour = static_cast<int>(t / 3600000);
    min = static_cast<int>(t / 60000 % 60);
    sec = static_cast<int>(t / 1000 % 60);
    msec = static_cast<int>(t % 1000);
}

void DecodeDateTime(TDateTime dt, int& year, int& month, int& day, int& hour, int& min, int& sec, int& msec) {
    DecodeDate(dt, year, month, day);
    DecodeTime(dt, hour, min, sec, msec);
}

void DecodeDate(TDateTime dt, uint16_t& year, uint16_t& month, uint16_t& day) {
    int y = 0, m = 0, d = 0;
    DecodeDate(dt, y, m, d);
    year = static_cast<uint16_t>(y), month = static_cast<uint16_t>(m), day = static_cast<uint16_t>(d);
}

void DecodeTime(TDateTime dt, uint16_t& hour, uint16_t& min, uint16_t& sec, uint16_t& msec) {
    int h = 0, n = 0, s = 0, z = 0;
    DecodeTime(dt, h, n, s, z);
    hour = static_cast<uint16_t>(h), min = static_cast<uint16_t>(n), sec = static_cast<uint16_t>(s),
    msec = static_cast<uint16_t>(z);
}

void DecodeDateTime(TDateTime dt, uint16_t& year, uint16_t& month, uint16_t& day, uint16_t& hour, uint16_t& min,
                    uint16_t& sec, uint16_t& msec) {
    DecodeDate(dt, year, month, day);
    DecodeTime(dt, hour, min, sec, msec);
}

int DayOfWeek(TDateTime dt) {
    int64_t d = 0, t = 0;
    SplitMillis(DateTimeToMilliseconds(dt), d, t);
    // 1899-12-30 was a Saturday (7).
    return static_cast<int>(((d + 6) % 7 + 7) % 7) + 1;
}

TDateTime DateOf(TDateTime dt) {
    int64_t d = 0, t = 0;
    SplitMillis(DateTimeToMilliseconds(dt), d, t);
    return static_cast<double>(d);
}

TDateTime TimeOf(TDateTime dt) {
    int64_t d = 0, t = 0;
    SplitMillis(DateTimeToMilliseconds(dt), d, t);
    return static_cast<double>(t) / MSecsPerDay;
}

TDateTime IncMonth(TDateTime dt, int months) {
    int y = 0, m = 0, d = 0;
    DecodeDate(dt, y, m, d);
    int64_t total = static_cast<int64_t>(y) * 12 + (m - 1) + months;
    int ny = static_cast<int>(FloorDiv(total, 12));
    int nm = static_cast<int>(total - static_cast<int64_t>(ny) * 12) + 1;
    if (ny < 1 || ny > 9999) DateEncodeError();
    int nd = std::min(d, DaysInMonth(ny, nm));
    return ComposeDateTime(EncodeDate(ny, nm, nd), TimeOf(dt));
}

TDateTime UnixMillisToDateTime(int64_t unix_millis) { return MillisecondsToDateTime(unix_millis + kUnixDeltaMs); }
int64_t DateTimeToUnixMillis(TDateTime dt) { return DateTimeToMilliseconds(dt) - kUnixDeltaMs; }

TDateTime UtcToLocalDateTime(TDateTime utc) {
    return UnixMillisToDateTime(UtcMillisToLocalMillis(DateTimeToUnixMillis(utc)));
}

TDateTime LocalToUtcDateTime(TDateTime local) {
    return UnixMillisToDateTime(LocalMillisToUtcMillis(DateTimeToUnixMillis(local)));
}

TDateTime Now() { return UnixMillisToDateTime(UtcMillisToLocalMillis(CurrentClock().UnixMillis())); }
TDateTime Date() { return DateOf(Now()); }
TDateTime Time() { return TimeOf(Now()); }
TDateTime NowUtc() { return UnixMillisToDateTime(CurrentClock().UnixMillis()); }

// ---- FormatDateTime ----

namespace {

std::string Number(int v, int digits) {
    std::string s = std::to_string(v);
    if (static_cast<int>(s.size()) < digits) s.insert(0, static_cast<size_t>(digits) - s.size(), '0');
    return s;
}

char Up(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool StartsWithNoCase(std::string_view s, size_t pos, std::string_view what) {
    if (pos + what.size() > s.size()) return false;
    for (size_t i = 0; i < what.size(); ++i)
        if (Up(s[pos + i]) != Up(what[i])) return false;
    return true;
}

struct DateParts {
    int year, month, day, hour, min, sec, msec, dow;
};

class DateFormatter {
public:
    DateFormatter(TDateTime dt) {
        DecodeDateTime(dt, p_.year, p_.month, p_.day, p_.hour, p_.min, p_.sec, p_.msec);
        p_.dow = DayOfWeek(dt);
    }

    std::string Run(std::string_view fmt) {
        Append(fmt.empty() ? std::string_view("c") : fmt, 0);
        return out_;
    }

private:
    void Append(std::string_view f, int depth) {
        if (depth > 2) return;  // formats that name themselves do not recurse for ever
        const TFormatSettings& fs = FormatSettings();
        char last = 0;
        size_t i = 0;
        while (i < f.size()) {
            char c = f[i];
            char token = Up(c);
            if (token >= 'A' && token <= 'Z') {
                if (token == 'M' && last == 'H') token = 'N';
                last = token;
            }
            size_t count = 1;
            auto take_run = [&](char letter) {
                while (i + count < f.size() && Up(f[i + count]) == letter) ++count;
            };
            switch (token) {
                case 'Y':
                    take_run('Y');
                    out_ += count <= 2 ? Number(p_.year % 100, 2) : Number(p_.year, 4);
                    break;
                case 'M':
                    take_run('M');
                    if (count <= 2)
                        out_ += Number(p_.month, static_cast<int>(count));
                    else if (p_.month >= 1)
                        out_ += count == 3 ? fs.ShortMonthNames[p_.month - 1] : fs.LongMonthNames[p_.month - 1];
                    break;
                case 'D':
                    take_run('D');
                    if (count <= 2)
                        out_ += Number(p_.day, static_cast<int>(count));
                    else if (count == 3)
                        out_ += fs.ShortDayNames[p_.dow - 1];
                    else if (count == 4)
                        out_ += fs.LongDayNames[p_.dow - 1];
                    else
                        Append(count == 5 ? fs.ShortDateFormat : fs.LongDateFormat, depth + 1);
                    break;
                case 'H': {
                    take_run('H');
                    int h = p_.hour;
                    if (TwelveHour(f, i + count)) {
                        h %= 12;
                        if (h == 0) h = 12;
                    }
                    out_ += Number(h, count >= 2 ? 2 : 1);
                    break;
                }
                case 'N': {
                    // "m" taken as minutes counts its own letters
                    take_run(Up(c));
                    out_ += Number(p_.min, count >= 2 ? 2 : 1);
                    break;
                }
                case 'S':
                    take_run('S');
                    out_ += Number(p_.sec, count >= 2 ? 2 : 1);
                    break;
                case 'Z':
                    take_run('Z');
                    out_ += Number(p_.msec, count >= 2 ? 3 : 1);
                    break;
                case 'T':
                    take_run('T');
                    Append(count == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, depth + 1);
                    break;
                case 'C':
                    take_run('C');
                    Append(fs.ShortDateFormat, depth + 1);
                    if (p_.hour != 0 || p_.min != 0 || p_.sec != 0) {
                        out_ += ' ';
                        Append(fs.LongTimeFormat, depth + 1);
                    }
                    break;
                case 'A':
                    if (StartsWithNoCase(f, i, "am/pm")) {
                        std::string s = p_.hour < 12 ? "am" : "pm";
                        if (f[i] == 'A') s = UpperCase(s);
                        out_ += s;
                        count = 5;
                    } else if (StartsWithNoCase(f, i, "a/p")) {
                        char ch = p_.hour < 12 ? 'a' : 'p';
                        out_ += f[i] == 'A' ? Up(ch) : ch;
                        count = 3;
                    } else if (StartsWithNoCase(f, i, "ampm")) {
                        out_ += p_.hour < 12 ? fs.TimeAMString : fs.TimePMString;
                        count = 4;
                    } else {
                        out_ += c;
                    }
                    break;
                case '/': out_ += fs.DateSeparator; break;
                case ':': out_ += fs.TimeSeparator; break;
                case '"':
                case '\'': {
                    size_t end = f.find(c, i + 1);
                    if (end == std::string_view::npos) end = f.size();
                    out_.append(f.substr(i + 1, end - i - 1));
                    count = end - i + (end < f.size() ? 1 : 0);
                    break;
                }
                default: out_ += c; break;
            }
            i += count;
        }
    }

    // An am/pm marker before the next hour specifier switches the hour to 12-hour form.
    static bool TwelveHour(std::string_view f, size_t from) {
        char quote = 0;
        for (size_t j = from; j < f.size(); ++j) {
            char c = f[j];
            if (quote) {
                if (c == quote) quote = 0;
                continue;
            }
            if (c == '"' || c == '\'') {
                quote = c;
            } else if (Up(c) == 'H') {
                return false;
            } else if (Up(c) == 'A') {
                if (StartsWithNoCase(f, j, "am/pm") || StartsWithNoCase(f, j, "a/p") || StartsWithNoCase(f, j, "ampm"))
                    return true;
            }
        }
        return false;
    }

    DateParts p_{};
    std::string out_;
};

// ---- Reading dates and times ----

class Scanner {
public:
    explicit Scanner(std::string_view s) : s_(s) {}
    void SkipBlanks() {
        while (pos_ < s_.size() && static_cast<unsigned char>(s_[pos_]) <= ' ') ++pos_;
    }
    bool Number(int& value, int& length) {
        SkipBlanks();
        size_t start = pos_;
        int v = 0;
        while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9' && pos_ - start < 4)
            v = v * 10 + (s_[pos_++] - '0');
        length = static_cast<int>(pos_ - start);
        if (length == 0) return false;
        if (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') return false;  // too many digits
        value = v;
        return true;
    }
    bool Char(char c) {
        SkipBlanks();
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool Text(std::string_view t) {
        SkipBlanks();
        if (t.empty() || !StartsWithNoCase(s_, pos_, t)) return false;
        pos_ += t.size();
        return true;
    }
    bool AtEnd() {
        SkipBlanks();
        return pos_ >= s_.size();
    }
    size_t Position() const { return pos_; }
    void SetPosition(size_t p) { pos_ = p; }

private:
    std::string_view s_;
    size_t pos_ = 0;
};

enum class DateOrder { DMY, MDY, YMD };

DateOrder OrderOf(std::string_view fmt) {
    for (char c : fmt) {
        char u = Up(c);
        if (u == 'D') return DateOrder::DMY;
        if (u == 'M') return DateOrder::MDY;
        if (u == 'Y') return DateOrder::YMD;
    }
    return DateOrder::DMY;
}

bool ScanDate(Scanner& sc, TDateTime& date) {
    const TFormatSettings& fs = FormatSettings();
    int n1 = 0, n2 = 0, n3 = 0, l1 = 0, l2 = 0, l3 = 0;
    if (!sc.Number(n1, l1) || !sc.Char(fs.DateSeparator) || !sc.Number(n2, l2)) return false;
    int y = 0, m = 0, d = 0, year_length = 0;
    size_t after_two = sc.Position();
    if (sc.Char(fs.DateSeparator) && sc.Number(n3, l3)) {
        switch (OrderOf(fs.ShortDateFormat)) {
            case DateOrder::DMY: d = n1, m = n2, y = n3, year_length = l3; break;
            case DateOrder::MDY: m = n1, d = n2, y = n3, year_length = l3; break;
            case DateOrder::YMD: y = n1, m = n2, d = n3, year_length = l1; break;
        }
        size_t after_three = sc.Position();
        if (!sc.Char(fs.DateSeparator)) sc.SetPosition(after_three);
    } else {
        // Day and month only ("5.3." included): this year.
        sc.SetPosition(after_two);
        if (!sc.Char(fs.DateSeparator)) sc.SetPosition(after_two);
        int cy = 0, cm = 0, cd = 0;
        DecodeDate(Now(), cy, cm, cd);
        y = cy, year_length = 4;
        if (OrderOf(fs.ShortDateFormat) == DateOrder::DMY)
            d = n1, m = n2;
        else
            m = n1, d = n2;
    }
    if (year_length <= 2) {
        int cy = 0, cm = 0, cd = 0;
        DecodeDate(Now(), cy, cm, cd);
        int base = cy - fs.TwoDigitYearCenturyWindow;
        y += base / 100 * 100;
        if (fs.TwoDigitYearCenturyWindow > 0 && y < base) y += 100;
    }
    return TryEncodeDate(y, m, d, date);
}

bool ScanAmPm(Scanner& sc, int& base_hour) {
    const TFormatSettings& fs = FormatSettings();
    if (sc.Text(fs.TimeAMString) || sc.Text("AM") || sc.Text("A")) {
        base_hour = 0;
        return true;
    }
    if (sc.Text(fs.TimePMString) || sc.Text("PM") || sc.Text("P")) {
        base_hour = 12;
        return true;
    }
    return false;
}

bool ScanTime(Scanner& sc, TDateTime& time) {
    const TFormatSettings& fs = FormatSettings();
    int base_hour = -1;
    ScanAmPm(sc, base_hour);
    int h = 0, m = 0, s = 0, ms = 0, len = 0;
    if (!sc.Number(h, len) || len > 2) return false;
    if (sc.Char(fs.TimeSeparator)) {
        if (!sc.Number(m, len) || len > 2) return false;
        if (sc.Char(fs.TimeSeparator)) {
            if (!sc.Number(s, len) || len > 2) return false;
            if (sc.Char(fs.DecimalSeparator) || sc.Char('.')) {
                if (!sc.Number(ms, len)) return false;
                if (len == 1) ms *= 100;
                if (len == 2) ms *= 10;
            }
        }
    }
    if (base_hour < 0) ScanAmPm(sc, base_hour);
    if (base_hour >= 0) {
        if (h == 0 || h > 12) return false;
        h = h % 12 + base_hour;
    }
    return TryEncodeTime(h, m, s, ms, time);
}

}  // namespace

std::string FormatDateTime(std::string_view format, TDateTime dt) { return DateFormatter(dt).Run(format); }
std::string DateToStr(TDateTime dt) { return FormatDateTime(FormatSettings().ShortDateFormat, dt); }
std::string TimeToStr(TDateTime dt) { return FormatDateTime(FormatSettings().LongTimeFormat, dt); }
std::string DateTimeToStr(TDateTime dt) { return FormatDateTime("c", dt); }

bool TryStrToDate(std::string_view s, TDateTime& value) {
    Scanner sc(s);
    TDateTime d = 0;
    if (!ScanDate(sc, d) || !sc.AtEnd()) return false;
    value = d;
    return true;
}

bool TryStrToTime(std::string_view s, TDateTime& value) {
    Scanner sc(s);
    TDateTime t = 0;
    if (!ScanTime(sc, t) || !sc.AtEnd()) return false;
    value = t;
    return true;
}

bool TryStrToDateTime(std::string_view s, TDateTime& value) {
    Scanner sc(s);
    TDateTime d = 0, t = 0;
    if (ScanDate(sc, d)) {
        if (sc.AtEnd()) {
            value = d;
            return true;
        }
        if (!ScanTime(sc, t) || !sc.AtEnd()) return false;
        value = ComposeDateTime(d, t);
        return true;
    }
    return TryStrToTime(s, value);
}

TDateTime StrToDate(std::string_view s) {
    TDateTime v = 0;
    if (!TryStrToDate(s, v)) throw EConvertError("'" + std::string(s) + "' is not a valid date");
    return v;
}

TDateTime StrToTime(std::string_view s) {
    TDateTime v = 0;
    if (!TryStrToTime(s, v)) throw EConvertError("'" + std::string(s) + "' is not a valid time");
    return v;
}

TDateTime StrToDateTime(std::string_view s) {
    TDateTime v = 0;
    if (!TryStrToDateTime(s, v)) throw EConvertError("'" + std::string(s) + "' is not a valid date and time");
    return v;
}

TDateTime StrToDateDef(std::string_view s, TDateTime default_value) {
    TDateTime v = 0;
    return TryStrToDate(s, v) ? v : default_value;
}

TDateTime StrToTimeDef(std::string_view s, TDateTime default_value) {
    TDateTime v = 0;
    return TryStrToTime(s, v) ? v : default_value;
}

TDateTime StrToDateTimeDef(std::string_view s, TDateTime default_value) {
    TDateTime v = 0;
    return TryStrToDateTime(s, v) ? v : default_value;
}
