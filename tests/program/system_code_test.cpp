#include <cstdlib>

#include <gtest/gtest.h>

#include "platform/sync/clock.h"
#include "program/program_context.h"
#include "program/system_code.h"

namespace {

class SystemCode : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
        Program().SystemCodeInputs.fill(0);
    }
    void TearDown() override {
        unsetenv("TZ");
        tzset();
        Program().SystemCodeInputs.fill(0);
    }
};

}  // namespace

TEST_F(SystemCode, EncodesInputsAndTimeWithCheckAndDashes) {
    ScopedManualClock clock(1772721000000);  // 2026-03-05 14:30 UTC
    // 25 zeros, then day 5, month 3, year 26 (Q), hour 14 (E), minute 30 (U); XOR check 77.
    EXPECT_EQ(BuildSystemCode(), "0000-0000-0000-0000-0000-0000-053Q-EU77");
}

TEST_F(SystemCode, InputsOutOfRangeAndLongValues) {
    ScopedManualClock clock(1772721000000);
    Program().SystemCodeInputs[0] = 62;
    Program().SystemCodeInputs[1] = 123;  // only "12" is used
    Program().SystemCodeInputs[2] = -1;
    Program().SystemCodeInputs[3] = 61;
    std::string code = BuildSystemCode();
    ASSERT_EQ(code.size(), 39u);
    EXPECT_EQ(code.substr(0, 6), "@12@-z");
    EXPECT_EQ(CodeTwoDigits(7), "07");
    EXPECT_EQ(CodeDigit(36), 'a');
}

TEST_F(SystemCode, MinutesAboveThirtyFiveAreLowerCaseAndLateYearsFoldBack) {
    ScopedManualClock clock(2572710540000);  // 2051-07-11 17:49 UTC
    std::string code = BuildSystemCode();
    // day 11 (B), month 7, year 2051 → 1, hour 17 (H), minute 49 (n)
    EXPECT_EQ(code.substr(31, 3), "B71");
    EXPECT_EQ(code.substr(35, 2), "Hn");
}
