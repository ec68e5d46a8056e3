#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>

#include "program/log_file.h"
#include "program/program_context.h"
#include "program/program_dirs.h"
#include "tests/link/link_fakes.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

std::string Rec(int t, int i, const std::string& fields) {
    std::string d = FakeLink::Data({0xFB, 0x02, static_cast<int>(fields.size()), t, i});
    return FakeLink::Frame(d + fields);
}
std::string B(std::initializer_list<int> b) { return FakeLink::Data(b); }
const std::string kAck = FakeLink::Frame(B({0x28, 0x28, 0x00}));

class RecordDecoder : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = temp_.Path();
        saved_prot_ = Program().ProtDir;
        Program().ProtDir = dir_.string() + "/";
    }
    void TearDown() override { Program().ProtDir = saved_prot_; }
    // The record is acknowledged first; anything queued leaves one poll later.
    void ExpectAcked(const std::string& record) {
        auto out = f.Poll(record);
        ASSERT_EQ(1u, out.size());
        EXPECT_EQ(kAck, out[0]);
    }
    // A wait that awaits `answer` from now on (the decoder answers it).
    void Expect(TAnswer answer) { expected_.push_back(f.link.ExpectAnswer(answer)); }
    FakeLink f;
    TempFolder temp_{"tovak-link-rec"};
    std::vector<std::shared_ptr<TDeviceRequest>> expected_;
    fs::path dir_;
    std::string saved_prot_;
};

}  // namespace

TEST_F(RecordDecoder, DoorStateFillsTheRecordAndTheDisplays) {
    Expect(AwaitDoorState);
    f.link.EnqueueRequest(B({0x20, 0x10}));
    ExpectAcked(Rec(0x0D, 0x00, B({0x00, 0x11, 0x00, 0x05, 0x10, 0x00, 0x07, 0x08, 0x05})));
    EXPECT_FALSE(f.link.Awaiting(AwaitDoorState));
    EXPECT_EQ(0x11, f.link.LinkState.DoorSystem.DoorState);
    EXPECT_EQ(0x0005, f.link.LinkState.DoorSystem.PendingAlarms);
    EXPECT_EQ(0x1000, f.link.LinkState.DoorSystem.AlarmsToAcknowledge);
    EXPECT_EQ(0x05, f.link.LinkState.DoorSystem.BusState);
    EXPECT_EQ("geöffnet", f.main.texts["Label550"]);
    EXPECT_EQ(0x00FF00u, f.main.colors["Shape82"]);
    EXPECT_EQ("Entriegelt", f.main.texts["Label554"]);
    EXPECT_EQ(0x00FF00u, f.main.colors["Shape81"]);
    EXPECT_EQ("Tür entriegelt", f.main.texts["Label11051"]);
    EXPECT_EQ(5, f.main.status_bits["ListBox81"]);
    EXPECT_EQ(0x1000, f.main.status_bits["ListBox82"]);
    std::vector<std::string> bus = {"Pre-Operation Mode", "Online"};
    EXPECT_EQ(bus, f.main.lists["ListBox83"]);
    EXPECT_EQ("Empfang Türzustand", f.main.com_lines.at(0));
    // The queued request follows one poll after the acknowledgement.
    auto out = f.Poll(FakeLink::Frame(""));
    EXPECT_EQ(FakeLink::Frame(B({0x20, 0x10})), out.at(0));

    ExpectAcked(Rec(0x0D, 0x00, B({0x00, 0x38, 0, 0, 0, 0, 0, 0, 0x7E})));
    EXPECT_EQ("geschlossen", f.main.texts["Label550"]);
    EXPECT_EQ("Fehler vorhanden", f.main.texts["Label553"]);
    EXPECT_EQ("Unbekannt 03", f.main.texts["Label554"]);
    EXPECT_EQ(0xC0C0C0u, f.main.colors["Shape81"]);
    EXPECT_EQ(7u, f.main.lists["ListBox83"].size());

    // Shorter than 11 bytes: ignored, but acknowledged.
    Expect(AwaitDoorState);
    ExpectAcked(Rec(0x0D, 0x00, B({0x00, 0x10})));
    EXPECT_TRUE(f.link.Awaiting(AwaitDoorState));
    EXPECT_EQ(0x38, f.link.LinkState.DoorSystem.DoorState);
}

TEST_F(RecordDecoder, InstallationMarksFollowTheDoorStateWhileTheBarShows) {
    f.main.visible["ProgressBar11"] = true;
    ExpectAcked(Rec(0x0D, 0x00, B({0, 0x18, 0, 0, 0, 0, 0, 0, 0})));
    EXPECT_TRUE(f.main.visible["Image1102"]);
    EXPECT_FALSE(f.main.visible["Image1103"]);
    ExpectAcked(Rec(0x0D, 0x00, B({0, 0x00, 0, 0, 0, 0, 0, 0, 0})));
    EXPECT_TRUE(f.main.visible["Image1103"]);
    Expect(AwaitSaveDone);
    ExpectAcked(Rec(0x12, 0x00, ""));
    EXPECT_FALSE(f.link.Awaiting(AwaitSaveDone));
    EXPECT_TRUE(f.main.visible["Image1104"]);
    EXPECT_EQ(0u, f.main.font_colors["Label1104"]);
}

TEST_F(RecordDecoder, ConfigurationBlocksFillTheSlots) {
    std::string group(40, '\0');
    group[0] = 7;  // Params[0]
    group[1] = 0x01;
    group[2] = 0x2C;  // Params[1] = 300
    group[21] = 5;    // bus address
    group[30] = '4';
    group[31] = '3';
    group[32] = '2';
    group[33] = '1';
    group[34] = 0;
    group[35] = 0;
    group[36] = 0x03;
    group[37] = 0x09;
    group[38] = 0x22;
    std::string block = group + std::string(200, '\0');
    Expect(AwaitConfigBlock1);
    Expect(AwaitConfigBlock2);
    Expect(AwaitConfigBlock3);
    ExpectAcked(Rec(0x10, 0x00, block));
    EXPECT_FALSE(f.link.Awaiting(AwaitConfigBlock1));
    const TDeviceSlotRecord& s = f.link.LinkState.DoorSystem.Slots[1];
    EXPECT_EQ(7, s.Params[0]);
    EXPECT_EQ(300, s.Params[1]);
    EXPECT_EQ(5, s.BusAddress);
    EXPECT_EQ("1.2.34", s.VersionText);
    EXPECT_EQ("00000309", s.DeviceTypeHex);
    EXPECT_EQ(0x22, s.SlotFlags);
    EXPECT_EQ(0, f.link.LinkState.DoorSystem.Slots[2].BusAddress);
    EXPECT_EQ("Empfang Konfigurationsblock 1", f.main.com_lines.at(0));
    EXPECT_EQ(0, f.main.slot_shows);

    std::string no_version = group;
    no_version[30] = 0;
    ExpectAcked(Rec(0x10, 0x01, no_version));  // short block: the rest reads as zeros
    EXPECT_FALSE(f.link.Awaiting(AwaitConfigBlock2));
    EXPECT_EQ("", f.link.LinkState.DoorSystem.Slots[7].VersionText);
    EXPECT_EQ(0, f.link.LinkState.DoorSystem.Slots[8].BusAddress);

    ExpectAcked(Rec(0x10, 0x02, B({0x07, 0xE6, 0x03, 0x09}) + "Tor 4" + B({0x00, 'x', 0x00})));
    EXPECT_FALSE(f.link.Awaiting(AwaitConfigBlock3));
    EXPECT_EQ("09.03.2022", f.link.LinkState.DoorSystem.MaintenanceDate);
    EXPECT_EQ("Tor 4", f.link.LinkState.DoorSystem.InfoText);
    EXPECT_EQ("Tor 4", f.main.texts["Label80"]);
    EXPECT_EQ(1, f.main.slot_shows);
}

TEST_F(RecordDecoder, NodeTableOdReplyCodeAndSettings) {
    Expect(AwaitNodeList);
    ExpectAcked(Rec(0xA0, 0x00, B({2})));
    EXPECT_EQ(2, f.link.LinkState.NodeTable.NodeCount);
    EXPECT_FALSE(f.link.Awaiting(AwaitNodeList));
    std::string e = B({0x41, 1, 2, 3}) + "HW07" +
                    B({'1', '2',  9, 3, 0x07, 0xE8, 14,   5,    6,    2,    0, 1, 0x41, 4,    0,   0,
                       0,   0x1E, 0, 0, 0,    11,   0x00, 0x01, 0x23, 0x45, 3, 0, 0,    0x01, 0x02});
    Expect(AwaitNodeList);
    ExpectAcked(Rec(0xA0, 0xFF, e));
    EXPECT_FALSE(f.link.Awaiting(AwaitNodeList));
    const TNodeEntry& n = f.link.LinkState.NodeTable.Nodes[1];
    EXPECT_EQ(1, n.Present);
    EXPECT_EQ(0x41, n.NodeID);
    EXPECT_EQ(1, n.SameNode);
    EXPECT_EQ("1.2.3", n.AppVers);
    EXPECT_EQ("HW07", n.HWVers);
    EXPECT_EQ("1.2", n.XanVers);
    EXPECT_EQ("2024-03-09 14:05:06", n.XanBDate);
    EXPECT_EQ("2.0.1", n.BLVers);
    EXPECT_EQ(4, n.ProdClass);
    EXPECT_EQ("0000001E", n.VendorID);
    EXPECT_EQ(11, n.ProdCode);
    EXPECT_EQ("00012345", n.SerNumber);
    EXPECT_EQ(3, n.Group);
    EXPECT_EQ(0x0102, n.UsageCount);
    for (int entry : {0x40, 0x61}) {  // entry numbers 0 and 33
        Expect(AwaitNodeList);
        ExpectAcked(Rec(0xA0, 0xFF, B({entry})));
        EXPECT_FALSE(f.link.Awaiting(AwaitNodeList));
    }
    EXPECT_EQ(0, f.link.LinkState.NodeTable.Nodes[32].Present);

    Expect(AwaitOdReply);
    ExpectAcked(Rec(0xA1, 0x00, B({0x05, 0x10, 0x10, 0x01, 0x00, 0x65, 0x76, 0x61, 0x73})));
    EXPECT_FALSE(f.link.Awaiting(AwaitOdReply));
    EXPECT_EQ(5, f.link.LinkState.OdReply.Node);
    EXPECT_EQ(0x1010, f.link.LinkState.OdReply.Index);
    EXPECT_EQ(1, f.link.LinkState.OdReply.SubIndex);
    EXPECT_EQ("65766173", f.link.LinkState.OdReply.Value);

    Expect(AwaitCodeCheck);
    ExpectAcked(Rec(0x30, 0x01, B({2})));
    EXPECT_EQ(2, f.link.LinkState.GrantedLevel);
    EXPECT_FALSE(f.link.Awaiting(AwaitCodeCheck));
    Expect(AwaitCodeCheck);
    ExpectAcked(Rec(0x30, 0x01, ""));  // too short: ignored
    EXPECT_TRUE(f.link.Awaiting(AwaitCodeCheck));

    Expect(AwaitTerminalSettings);
    ExpectAcked(Rec(0x0E, 0x20, B({1, 3, 2, 0})));
    EXPECT_FALSE(f.link.Awaiting(AwaitTerminalSettings));
    EXPECT_EQ(1, f.link.LinkState.TerminalSettings.InputFunction);
    EXPECT_TRUE(f.link.LinkState.TerminalSettings.PermOpenOutside);
    EXPECT_TRUE(f.link.LinkState.TerminalSettings.PermOpenInside);
    EXPECT_EQ(2, f.link.LinkState.TerminalSettings.OutputFunction);
}

TEST_F(RecordDecoder, ErrorsCountersAndButtons) {
    Expect(AwaitSlotErrors);
    std::string words(48, '\0');
    words[3] = 0x11;
    words[44] = static_cast<char>(0x80);
    ExpectAcked(Rec(0x52, 0x01, words));
    EXPECT_FALSE(f.link.Awaiting(AwaitSlotErrors));
    EXPECT_EQ(0x11u, f.link.LinkState.SlotErrors[1]);
    EXPECT_EQ(0x80000000u, f.link.LinkState.SlotErrors[12]);
    EXPECT_EQ(1, f.main.error_shows);

    Expect(AwaitEmergencyCounters);
    ExpectAcked(Rec(0x53, 0x00, B({1, 2, 3, 4, 5, 6, 7, 8})));
    EXPECT_FALSE(f.link.Awaiting(AwaitEmergencyCounters));
    EXPECT_EQ(8, f.link.LinkState.EmergencyCounters[8]);

    // Two terminals, two boxes; LEN 44 is read in the short form.
    f.link.LinkState.DoorSystem.Slots[1].BusAddress = 1;
    f.link.LinkState.DoorSystem.Slots[2].BusAddress = 2;
    f.link.LinkState.DoorSystem.Slots[5].BusAddress = 21;
    f.link.LinkState.DoorSystem.Slots[6].BusAddress = 22;
    std::string short_form = B({0x03, 0x01}) + std::string(37, 0);  // payload 41 bytes: LEN 44
    Expect(AwaitButtonState);
    ExpectAcked(Rec(0x51, 0x00, short_form));
    EXPECT_FALSE(f.link.Awaiting(AwaitButtonState));
    EXPECT_EQ("X?------", f.link.LinkState.ButtonMap);
    EXPECT_FALSE(f.link.LinkState.AllButtonsPressed);
    EXPECT_EQ("", f.link.LinkState.BoxBitMap);
    EXPECT_TRUE(fs::exists(LogFileName("TOVAK-DAT-")));

    f.link.LinkState.NodeTable.KznCount = 3;
    std::string long_form(42, '\0');
    long_form[0] = 0x03;
    long_form[1] = 0x05;  // box 1: buttons, KZN bits 101
    long_form[5] = 0x03;  // box 2
    Expect(AwaitButtonState);
    ExpectAcked(Rec(0x51, 0x00, long_form));
    EXPECT_EQ("XX------", f.link.LinkState.ButtonMap);
    EXPECT_TRUE(f.link.LinkState.AllButtonsPressed);
    EXPECT_EQ("X-X", f.link.LinkState.BoxBitMap);
}

TEST_F(RecordDecoder, TinyAndUnknownRecordsAreOnlyAcknowledged) {
    for (const std::string& fields : {std::string(), B({0x77})}) {
        std::string d = FakeLink::Data({0xFB, 0x02, 0x00}) + fields;  // payload of 0 or 1 byte
        auto out = f.Poll(FakeLink::Frame(d));
        ASSERT_EQ(1u, out.size());
        EXPECT_EQ(kAck, out[0]);
    }
    ExpectAcked(Rec(0x99, 0x42, B({1, 2, 3})));
}

TEST_F(RecordDecoder, TraceLinesAreNumberedAndSavedToTheTraceFile) {
    f.link.LinkState.PrtShow = true;
    f.link.LinkState.PrtProt = true;
    for (int k = 0; k < 49; ++k) f.Poll(FakeLink::Frame(""));  // 98 lines: R and S
    f.Poll(FakeLink::Frame(""));
    ASSERT_EQ(100u, f.view.trace.size());
    EXPECT_EQ("01 R: 02,00,01,00,01,03", f.view.trace[0]);
    EXPECT_EQ("02 S: 02,00,01,00,01,03", f.view.trace[1]);
    EXPECT_EQ("99 R: 02,00,01,00,01,03", f.view.trace[98]);
    EXPECT_EQ("01 S: 02,00,01,00,01,03", f.view.trace[99]);
    std::ifstream log(LogFileName("TOVAK-COM-"));
    std::string first;
    std::getline(log, first);
    EXPECT_NE(std::string::npos, first.find("COM        R: 02,00,01,00,01,03"));

    std::string saved_base = Program().BaseDir;
    Program().BaseDir = dir_.string() + "/";
    setenv("TOVAK_OPENER", "/bin/true", 1);
    std::string path = f.link.ListBox1DblClick();
    Program().BaseDir = saved_base;
    EXPECT_TRUE(f.view.trace.empty());
    EXPECT_EQ(0u, fs::path(path).filename().string().find("TOVAK-PRT-"));
    EXPECT_EQ(".TXT", fs::path(path).extension().string());
    EXPECT_TRUE(std::regex_match(fs::path(path).filename().string(), std::regex("TOVAK-PRT-[0-9]{6}-[0-9]{6}\\.TXT")));
    std::ifstream saved(path, std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
    EXPECT_EQ(0u, all.find("01 R: 02,00,01,00,01,03\r\n02 S:"));
}
