#include "sim/door_maintenance.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "sim/door_device.h"
#include "tests/support/temp_folder.h"

namespace {

SimFrame Answer(std::initializer_list<int> bytes) {
    SimFrame f;
    for (int b : bytes) f.data += static_cast<char>(b);
    return f;
}

DoorState Loaded(const std::string& text) {
    namespace fs = std::filesystem;
    const TempFolder folder("tovak-sim-maint");
    const fs::path path = folder.Path() / "state.ini";
    std::ofstream(path) << text;
    return LoadDoorState(path.string());
}

TEST(SimMaintenance, DateAndCountersFromTheIniFile) {
    DoorState s = Loaded("[MAINT]\nDATE=09.03.2022\nCOUNTERS=00,03,FF\n");
    EXPECT_EQ(9, s.maint_day);
    EXPECT_EQ(3, s.maint_month);
    EXPECT_EQ(2022, s.maint_year);
    EXPECT_EQ(0, s.counters[1]);
    EXPECT_EQ(3, s.counters[2]);
    EXPECT_EQ(0xFF, s.counters[3]);
    EXPECT_EQ(0, s.counters[4]);

    // A date that is not dd.mm.yyyy keeps the one there; more than eight counters are cut.
    DoorState odd = Loaded("[MAINT]\nDATE=2022-03-09\nCOUNTERS=1,2,3,4,5,6,7,8,9\n");
    EXPECT_EQ(2026, odd.maint_year);
    EXPECT_EQ(1, odd.maint_day);
    EXPECT_EQ(8, odd.counters[8]);
}

TEST(SimMaintenance, WrittenDateReadsBackInBlockThree) {
    DoorDevice d;
    d.HandleAnswer(Answer({0xFB, 0x02, 0x02, 0x44, 0x01, 0x00, 0x01}));
    d.HandleAnswer(Answer({0xFB, 0x02, 0x02, 0x44, 0x02, 0x00, 0x02}));
    d.HandleAnswer(Answer({0xFB, 0x02, 0x02, 0x44, 0x03, 0x07, 0xEB}));
    EXPECT_FALSE(d.HasReply());  // the writes are not answered
    d.HandleAnswer(Answer({0xFB, 0x02, 0x00, 0x10, 0x02}));
    const std::string block = d.NextFrame().data;
    ASSERT_GE(block.size(), 9u);
    EXPECT_EQ(std::string("\x10\x02\x07\xEB\x02\x01", 6), block.substr(3, 6));
}

}  // namespace
