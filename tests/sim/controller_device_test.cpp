#include "sim/controller_device.h"

#include <gtest/gtest.h>

namespace {
constexpr int64_t kWinterNoon = 1768478400000;  // 2026-01-15 12:00:00 UTC
}

TEST(ControllerDevice, AnswersEachCommandWithItsValuesAndSuccess) {
    ControllerDevice d;
    EXPECT_EQ("scxFWV;3.2.7;SUCCESS", d.Answer("scxFWV", 0, kWinterNoon));
    EXPECT_EQ("scxUID;STMX-1.12;SUCCESS", d.Answer("scxUID", 0, kWinterNoon));
    EXPECT_EQ("scxSetTime;2026-01-15;12:00:00;SUCCESS", d.Answer("scxSetTime", 0, kWinterNoon));
    EXPECT_EQ("scxNW;192.168.1.50;255.255.255.0;192.168.1.1;192.168.1.1;pool.ntp.org;00:1a:2b:3c:4d:5e;SUCCESS",
              d.Answer("scxNW", 0, kWinterNoon));
    EXPECT_EQ("scxBogus;ERROR", d.Answer("scxBogus", 0, kWinterNoon));
    EXPECT_EQ("scxFWV;ERROR", d.Answer("scxFWV 1", 0, kWinterNoon));
}

TEST(ControllerDevice, KeepsItsOwnUtcClockOnceSet) {
    ControllerDevice d;
    EXPECT_EQ("scxSetTime;2025-12-31;23:59:58;SUCCESS", d.Answer("scxSetTime 2025-12-31;23:59:58", 0, kWinterNoon));
    EXPECT_EQ("scxSetTime;2026-01-01;00:00:03;SUCCESS", d.Answer("scxSetTime", 0, kWinterNoon + 5000));
    // Impossible moments are refused and leave the clock alone.
    for (const char* bad : {"scxSetTime 2026-02-30;10:00:00", "scxSetTime 2026-01-01;24:00:00", "scxSetTime 2026-01-01",
                            "scxSetTime x;y"})
        EXPECT_EQ("scxSetTime;ERROR", d.Answer(bad, 0, kWinterNoon)) << bad;
    EXPECT_EQ("scxSetTime;2026-01-01;00:00:03;SUCCESS", d.Answer("scxSetTime", 0, kWinterNoon + 5000));
}

TEST(ControllerDevice, NetworkSettingAndFactoryResetRestartSilently) {
    ControllerDevice d;
    d.restart_ms = 3000;
    EXPECT_EQ("scxNW;ERROR", d.Answer("scxNW 10.0.0.1 255.0.0.0", 100, kWinterNoon));
    EXPECT_EQ("scxNW;SUCCESS", d.Answer("scxNW 10.0.0.1 255.0.0.0  8.8.8.8 ntp.example", 100, kWinterNoon));
    EXPECT_FALSE(d.Answer("scxUID", 3099, kWinterNoon)) << "still restarting";
    EXPECT_EQ("scxNW;10.0.0.1;255.0.0.0;;8.8.8.8;ntp.example;00:1a:2b:3c:4d:5e;SUCCESS",
              d.Answer("scxNW", 3100, kWinterNoon));

    d.Answer("scxSetTime 2020-01-01;00:00:00", 3100, kWinterNoon);
    EXPECT_EQ("scxSetFactDef;SUCCESS", d.Answer("scxSetFactDef", 4000, kWinterNoon));
    EXPECT_TRUE(d.Restarting(6999));
    EXPECT_EQ("192.168.1.50", d.network.ip);
    EXPECT_EQ("00:1a:2b:3c:4d:5e", d.network.mac) << "the MAC address stays";
    EXPECT_EQ("scxSetTime;2026-01-15;12:00:00;SUCCESS", d.Answer("scxSetTime", 7000, kWinterNoon));

    // Counted instead of timed: the third command after the restart is answered.
    d.restart_commands = 2;
    d.Answer("scxSetFactDef", 8000, kWinterNoon);
    EXPECT_FALSE(d.Answer("scxUID", 1'000'000, kWinterNoon));
    EXPECT_FALSE(d.Answer("scxUID", 1'000'000, kWinterNoon));
    EXPECT_EQ("scxUID;STMX-1.12;SUCCESS", d.Answer("scxUID", 8000, kWinterNoon));
}
