#include "platform/rtl/date_time.h"

#include <gtest/gtest.h>

#include "platform/rtl/exception.h"
#include "platform/rtl/locale.h"
#include "platform/sync/clock.h"

namespace {

class DateTimeTest : public ::testing::Test {
protected:
    void TearDown() override { ResetFormatSettings(); }
};

TEST_F(DateTimeTest, EncodeDateCountsDaysFrom18991230) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1899, 12, 29), -1.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(1970, 1, 1), UnixDateDelta);
    EXPECT_EQ(EncodeDate(2026, 3, 5), 46086.0);
    EXPECT_EQ(EncodeDate(1, 1, 1), -693593.0);
    EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465.0);
    EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
}

TEST_F(DateTimeTest, InvalidPartsRaiseConvertError) {
    EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
    EXPECT_THROW(EncodeDate(0, 1, 1), EConvertError);
    EXPECT_THROW(EncodeDate(2024, 13, 1), EConvertError);
    EXPECT_THROW(EncodeTime(24, 0, 0, 1), EConvertError);
    EXPECT_THROW(EncodeTime(12, 60, 0, 0), EConvertError);
    TDateTime dt = 0;
    EXPECT_TRUE(TryEncodeDate(2024, 2, 29, dt));
    EXPECT_TRUE(TryEncodeTime(24, 0, 0, 0, dt));
    EXPECT_FALSE(TryEncodeTime(-1, 0, 0, 0, dt));
    try {
        EncodeDate(2023, 2, 29);
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Invalid argument to date encode");
    }
}

TEST_F(DateTimeTest, RoundTripsIncludingNegativeDates) {
    struct Case {
        int y, mo, d, h, mi, s, ms;
    } cases[] = {{1899, 12, 30, 0, 0, 0, 0},     {1899, 12, 29, 6, 0, 0, 0}, {1, 1, 1, 23, 59, 59, 999},
                 {1600, 2, 29, 12, 30, 15, 500}, {2024, 2, 29, 0, 0, 0, 1},  {9999, 12, 31, 23, 59, 59, 999},
                 {2026, 3, 5, 14, 30, 0, 123}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.y << "-" << c.mo << "-" << c.d);
        TDateTime dt = EncodeDateTime(c.y, c.mo, c.d, c.h, c.mi, c.s, c.ms);
        int y, mo, d, h, mi, s, ms;
        DecodeDateTime(dt, y, mo, d, h, mi, s, ms);
        EXPECT_EQ(std::vector<int>({y, mo, d, h, mi, s, ms}), std::vector<int>({c.y, c.mo, c.d, c.h, c.mi, c.s, c.ms}));
        EXPECT_EQ(MillisecondsToDateTime(DateTimeToMilliseconds(dt)), dt);
    }
    // Before 1899-12-30 the fraction still counts forwards from midnight.
    EXPECT_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);
    EXPECT_EQ(DateTimeToUnixMillis(EncodeDate(1970, 1, 2)), 86400000);
    EXPECT_EQ(UnixMillisToDateTime(-1), EncodeDateTime(1969, 12, 31, 23, 59, 59, 999));
}

TEST_F(DateTimeTest, DecodingRoundsToTheMillisecond) {
    int h, m, s, ms;
    DecodeTime(EncodeTime(10, 0, 0, 0) - 1e-10, h, m, s, ms);
    EXPECT_EQ(std::vector<int>({h, m, s, ms}), std::vector<int>({10, 0, 0, 0}));
    // A hair before midnight is the next day's 00:00.
    int y, mo, d;
    DecodeDateTime(EncodeDate(2026, 3, 5) + 0.99999999999, y, mo, d, h, m, s, ms);
    EXPECT_EQ(std::vector<int>({y, mo, d, h, m}), std::vector<int>({2026, 3, 6, 0, 0}));
}

TEST_F(DateTimeTest, CalendarHelpers) {
    EXPECT_EQ(DayOfWeek(EncodeDate(2026, 3, 5)), 5);  // Thursday
    EXPECT_EQ(DayOfWeek(0), 7);                       // Saturday
    EXPECT_EQ(DayOfWeek(-1.5), 6);
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(IncMonth(EncodeDate(2024, 1, 31) + 0.5, 1), EncodeDate(2024, 2, 29) + 0.5);
    EXPECT_EQ(IncMonth(EncodeDate(2024, 3, 15), -15), EncodeDate(2022, 12, 15));
    EXPECT_EQ(TimeOf(-1.25), 0.25);
    EXPECT_EQ(DateOf(-1.25), -1.0);
}

TEST_F(DateTimeTest, FormatDateTimePatterns) {
    TDateTime dt = EncodeDateTime(2026, 3, 5, 14, 7, 9, 45);
    EXPECT_EQ(FormatDateTime("dd.mm.yyyy hh:nn:ss.zzz", dt), "05.03.2026 14:07:09.045");
    EXPECT_EQ(FormatDateTime("d/m/yy h:n:s z", dt), "5.3.26 14:7:9 45");
    EXPECT_EQ(FormatDateTime("hh:mm", dt), "14:07");  // m after h is minutes
    EXPECT_EQ(FormatDateTime("ddd dddd mmm mmmm", dt), "Do Donnerstag Mär März");
    EXPECT_EQ(FormatDateTime("yyyymmdd'T'hhnnss", dt), "20260305T140709");
    EXPECT_EQ(FormatDateTime("\"Tag\" d", dt), "Tag 5");
    EXPECT_EQ(FormatDateTime("h:nn am/pm", dt), "2:07 pm");
    EXPECT_EQ(FormatDateTime("hh:nn AM/PM", EncodeTime(0, 5, 0, 0)), "12:05 AM");
    EXPECT_EQ(FormatDateTime("ddddd t", dt), "05.03.2026 14:07");
    EXPECT_EQ(FormatDateTime("dddddd", dt), "Donnerstag, 5. März 2026");
    EXPECT_EQ(FormatDateTime("c", dt), "05.03.2026 14:07:09");
    EXPECT_EQ(FormatDateTime("c", EncodeDate(2026, 3, 5)), "05.03.2026");
    EXPECT_EQ(DateTimeToStr(dt), "05.03.2026 14:07:09");
    EXPECT_EQ(TimeToStr(dt), "14:07:09");
    EXPECT_EQ(FormatDateTime("dd.mm.yyyy", -1.25), "29.12.1899");
    FormatSettings().DateSeparator = '/';
    FormatSettings().ShortDateFormat = "MM/dd/yyyy";
    EXPECT_EQ(DateToStr(dt), "03/05/2026");
    EXPECT_EQ(FormatDateTime("yyyy/mm/dd", dt), "2026/03/05");
}

TEST_F(DateTimeTest, ReadingDatesAndTimes) {
    ScopedManualClock clock;  // "now" is 2026-03-05
    EXPECT_EQ(StrToDate("05.03.2026"), EncodeDate(2026, 3, 5));
    EXPECT_EQ(StrToDate(" 5.3.2026 "), EncodeDate(2026, 3, 5));
    EXPECT_EQ(StrToDate("5.3."), EncodeDate(2026, 3, 5));
    EXPECT_EQ(StrToDate("1.2.99"), EncodeDate(1999, 2, 1));
    EXPECT_EQ(StrToDate("1.2.30"), EncodeDate(2030, 2, 1));
    EXPECT_EQ(StrToTime("14:07"), EncodeTime(14, 7, 0, 0));
    EXPECT_EQ(StrToTime("14:07:09,5"), EncodeTime(14, 7, 9, 500));
    EXPECT_EQ(StrToTime("2:07 PM"), EncodeTime(14, 7, 0, 0));
    EXPECT_EQ(StrToDateTime("05.03.2026 14:07:09"), EncodeDateTime(2026, 3, 5, 14, 7, 9, 0));
    EXPECT_EQ(StrToDateTime("14:07"), EncodeTime(14, 7, 0, 0));
    for (const char* bad : {"", "31.2.2026", "5-3-2026", "05.03.2026x", "1.2.3.4"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(StrToDate(bad), EConvertError);
    }
    for (const char* bad : {"", "25:00", "12:60", "12:3x", "13:00 PM"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(StrToTime(bad), EConvertError);
    }
    try {
        StrToDate("x");
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'x' is not a valid date");
    }
    FormatSettings().ShortDateFormat = "yyyy-MM-dd";
    FormatSettings().DateSeparator = '-';
    EXPECT_EQ(StrToDate("2026-03-05"), EncodeDate(2026, 3, 5));
}

}  // namespace
