#include "platform/rtl/date_time.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "platform/sync/clock.h"

namespace {

// Runs a test in a chosen zone and puts the process's zone back afterwards.
class TimeZoneTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* tz = std::getenv("TZ")) saved_ = tz;
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
    }
    void TearDown() override {
        if (saved_)
            setenv("TZ", saved_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> saved_;
};

TDateTime At(int y, int mo, int d, int h, int mi) { return EncodeDateTime(y, mo, d, h, mi, 0, 0); }

TEST_F(TimeZoneTest, WinterAndSummerOffsets) {
    EXPECT_EQ(UtcToLocalDateTime(At(2026, 1, 15, 12, 0)), At(2026, 1, 15, 13, 0));
    EXPECT_EQ(UtcToLocalDateTime(At(2026, 7, 15, 12, 0)), At(2026, 7, 15, 14, 0));
    EXPECT_EQ(LocalToUtcDateTime(At(2026, 7, 15, 14, 0)), At(2026, 7, 15, 12, 0));
    // Midnight crossing moves the date too.
    EXPECT_EQ(UtcToLocalDateTime(At(2025, 12, 31, 23, 30)), At(2026, 1, 1, 0, 30));
}

TEST_F(TimeZoneTest, SpringForwardBoundary) {
    // 2026-03-29: 01:00 UTC, local clocks jump from 02:00 to 03:00.
    EXPECT_EQ(UtcToLocalDateTime(EncodeDateTime(2026, 3, 29, 0, 59, 59, 999)),
              EncodeDateTime(2026, 3, 29, 1, 59, 59, 999));
    EXPECT_EQ(UtcToLocalDateTime(At(2026, 3, 29, 1, 0)), At(2026, 3, 29, 3, 0));
    EXPECT_EQ(LocalToUtcDateTime(At(2026, 3, 29, 3, 0)), At(2026, 3, 29, 1, 0));
    // 02:30 never happens locally: read as if the clock had not moved yet.
    EXPECT_EQ(LocalToUtcDateTime(At(2026, 3, 29, 2, 30)), At(2026, 3, 29, 1, 30));
}

TEST_F(TimeZoneTest, FallBackBoundary) {
    // 2026-10-25: 01:00 UTC, local clocks go back from 03:00 to 02:00.
    EXPECT_EQ(UtcToLocalDateTime(At(2026, 10, 25, 0, 30)), At(2026, 10, 25, 2, 30));
    EXPECT_EQ(UtcToLocalDateTime(At(2026, 10, 25, 1, 30)), At(2026, 10, 25, 2, 30));
    // The repeated local hour is taken as its first occurrence.
    EXPECT_EQ(LocalToUtcDateTime(At(2026, 10, 25, 2, 30)), At(2026, 10, 25, 0, 30));
    EXPECT_EQ(LocalToUtcDateTime(At(2026, 10, 25, 3, 0)), At(2026, 10, 25, 2, 0));
}

TEST_F(TimeZoneTest, NowFollowsTheClockAndTheZone) {
    ScopedManualClock clock(1772721000000);  // 2026-03-05 14:30 UTC
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", Now()), "2026-03-05 15:30:00.000");
    EXPECT_EQ(Date(), EncodeDate(2026, 3, 5));
    EXPECT_EQ(Time(), EncodeTime(15, 30, 0, 0));
    EXPECT_EQ(NowUtc(), At(2026, 3, 5, 14, 30));
    clock->Advance(1500);
    EXPECT_EQ(FormatDateTime("hh:nn:ss.zzz", Now()), "15:30:01.500");
    setenv("TZ", "UTC", 1);
    EXPECT_EQ(FormatDateTime("hh:nn", Now()), "14:30");  // a changed TZ is picked up
}

}  // namespace
