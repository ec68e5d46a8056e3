#include "sim/door_device.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "sim/door_frame.h"
#include "tests/support/temp_folder.h"

namespace {

SimFrame Answer(std::initializer_list<int> bytes) {
    SimFrame f;
    for (int b : bytes) f.data += static_cast<char>(b);
    return f;
}

}  // namespace

TEST(SimFrameCodec, RoundTripsAndJudgesBadFrames) {
    SimFrame f{0x00, 0x03, std::string("\x1B\x02\x03", 3)};
    std::string wire = SimEncodeFrame(f);
    SimFrame back;
    ASSERT_EQ(SimParse::Ok, SimDecodeFrame(wire, back));
    EXPECT_EQ(f.data, back.data);
    EXPECT_EQ(0x03, back.h1);
    std::string bad = wire;
    bad[bad.size() - 2] ^= 1;
    EXPECT_NE(SimParse::Ok, SimDecodeFrame(bad, back));
    EXPECT_EQ(SimParse::NoStx, SimDecodeFrame("\x55" + wire, back));
    EXPECT_EQ(SimParse::TooShort, SimDecodeFrame(std::string("\x02\x00\x03", 3), back));
}

TEST(SimDoorDevice, AnswersTheRequestsWithTheirRecords) {
    DoorDevice d(DoorState::IoDevice(0));
    EXPECT_TRUE(d.NextFrame().data.empty());  // nothing asked: a poll
    d.HandleAnswer(Answer({0x20, 0x10}));
    EXPECT_EQ(std::string("\x21\x10\x00\x00\x91", 5), d.NextFrame().data);
    d.HandleAnswer(Answer({0xFC, 0x13, 0x00}));
    SimFrame block = d.NextFrame();
    EXPECT_EQ(3u + 36u, block.data.size());            // nine rows of four bytes
    d.HandleAnswer(Answer({0xFB, 0x02, 0x00, 0x53}));  // counters: no index byte
    EXPECT_EQ(std::string("\xFB\x02\x08\x53\x00", 5), d.NextFrame().data.substr(0, 5));
    d.HandleAnswer(Answer({0xFB, 0x02, 0x09, 0xA1, 0x01, 0x05, 0x10, 0x10, 0x01, 0x04, 0x65, 0x76, 0x61, 0x73}));
    EXPECT_FALSE(d.HasReply());  // a write is not answered
    d.HandleAnswer(Answer({0xFB, 0x02, 0x04, 0xA1, 0x00, 0x05, 0x10, 0x10, 0x01}));
    std::string od = d.NextFrame().data;
    EXPECT_EQ(std::string("\x65\x76\x61\x73", 4), od.substr(od.size() - 4));
    d.HandleAnswer(Answer({0xFB, 0x02, 0x02, 0x44, 0x03, 0x07, 0xEB}));
    EXPECT_EQ(2027, d.State().maint_year);
}

TEST(SimDoorDevice, StoreFromAnUnlockedDoorPassesAStateBeforeTheRestart) {
    // The program's "Konfiguration übernehmen" mark needs a change to 0x18 from anything but
    // 0x10.
    for (uint8_t start : {uint8_t{0x10}, uint8_t{0x00}}) {
        DoorState state = DoorState::DoorTerminal();
        state.door = start;
        DoorDevice d(state);
        d.HandleAnswer(Answer({0xFB, 0x02, 0x00, 0x11, 0x00}));
        std::vector<int> doors;
        while (d.HasReply()) {
            const SimFrame frame = d.NextFrame();
            if (frame.data.size() > 6 && frame.data.compare(3, 1, "\x0D") == 0)
                doors.push_back(static_cast<uint8_t>(frame.data.at(6)));
        }
        auto restart = std::find(doors.begin(), doors.end(), 0x18);
        ASSERT_NE(doors.end(), restart) << int(start);
        const int before = restart == doors.begin() ? start : *(restart - 1);
        EXPECT_NE(0x10, before) << int(start);
        EXPECT_EQ(start, doors.back());
    }
}

TEST(SimDoorDevice, LoadsItsStateFromAnIniFile) {
    namespace fs = std::filesystem;
    const TempFolder folder("tovak-sim");
    const fs::path path = folder.Path() / "state.ini";
    std::ofstream(path)
        << "[DEVICE]\nTYPE=1\n[IO]\nINPUTS=01,00,05,00\n[DOOR]\nSTATE=11\n[CODES]\n1=4711\n"
           "[SLOT1]\nADDRESS=7\nTYPE=309\nVERSION=1234\n[NODE1]\nHOST=41\nPRODCODE=B\n[OD]\n5,1010,1=65766173\n";
    DoorState s = LoadDoorState(path.string());
    EXPECT_EQ(0x93, s.type_code);
    EXPECT_EQ(std::string("\x01\x00\x05\x00", 4), s.inputs);
    EXPECT_EQ(24u, s.outputs.size());
    EXPECT_EQ(0x11, s.door);
    EXPECT_EQ("4711", s.codes[1]);
    EXPECT_EQ(7, s.slots[1].address);
    EXPECT_EQ(0x309u, s.slots[1].type);
    ASSERT_EQ(1u, s.nodes.size());
    EXPECT_EQ(11u, s.nodes[0].prod_code);
    EXPECT_EQ(0x65766173u, (s.od[{5, 0x1010, 1}]));
    EXPECT_THROW(LoadDoorState("/nonexistent/sim.ini"), std::runtime_error);
}
