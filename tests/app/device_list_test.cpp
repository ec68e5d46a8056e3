// Object-dictionary and node-list requests, the bus device list with its network-information
// file, and the settings pages that use them, against the simulated door terminal.

#include <gtest/gtest.h>

#include "app/common/comp_text.h"
#include "app/pages/control/page_ei2.h"
#include "app/pages/control/page_eig.h"
#include "app/pages/control/page_ein.h"
#include "app/pages/control/page_men.h"
#include "app/pages/control/page_stg.h"
#include "program/log_file.h"
#include "program/program_context.h"
#include "program/program_dirs.h"
#include "tests/app/control_road_support.h"

namespace {

using namespace control_road;

TEST(DeviceTypeText, FifteenCharactersOrBlanks) {
    EXPECT_EQ("KZN Connector  ", TDeviceSession::DeviceTypeText(11, true));
    EXPECT_EQ(std::string(15, ' '), TDeviceSession::DeviceTypeText(11, false));
    EXPECT_EQ(std::string(15, ' '), TDeviceSession::DeviceTypeText(99, true));
    EXPECT_EQ("Down Counter   ", TDeviceSession::DeviceTypeText(0x6101, true));
}

class DeviceList : public ControlRoad {
protected:
    void ToMenuWithFile(DoorState state) {
        StartSim(std::move(state));
        WriteFile("TOVAK.INI", "[MAIN]\r\nCSM=0\r\nDBPROTNETINFO=1\r\nCOC=" + std::to_string(kPort) + "\r\n");
        Start();
        Ui().Click("Form1.Button001");
        Ui().Click("Form1.Button601");
        ASSERT_TRUE(Session().LinkState.PortOpen);
    }
    std::string NetInfo() { return ReadFile(Program().BaseDir + "TOVAK-NETINFO.TXT"); }
    bool NetInfoExists() { return std::filesystem::exists(Program().BaseDir + "TOVAK-NETINFO.TXT"); }
};

// The file for entries 1..32 given as their DEV values ("-" for absent), with the KZN part.
std::string NetInfoFile(int count, const std::vector<std::string>& dev, int kznCount,
                        const std::vector<std::string>& kzn) {
    std::string f = "[NETINFO]\r\nCOUNT=" + std::to_string(count) + "\r\n";
    for (int i = 1; i <= 32; ++i) {
        char key[16];
        std::snprintf(key, sizeof key, "%02d", i);
        f += std::string("DEV-") + key + "=" +
             (i <= static_cast<int>(dev.size()) ? dev[static_cast<size_t>(i - 1)] : "-") + "\r\n";
    }
    f += "\r\n[KZNINFO]\r\nCOUNT=" + std::to_string(kznCount) + "\r\n";
    for (int i = 1; i <= 32; ++i) {
        char key[16];
        std::snprintf(key, sizeof key, "%02d", i);
        f += std::string("KZN-") + key + "=" +
             (i <= static_cast<int>(kzn.size()) ? kzn[static_cast<size_t>(i - 1)] : "") + "\r\n";
    }
    return f;
}

TEST_F(DeviceList, NetworkFileOfTheTwoNodeTerminal) {
    ToMenuWithFile(DoorState::DoorTerminal());
    WriteFile("TOVAK-NETINFO.TXT", "old");
    EXPECT_TRUE(Session().WriteNetInfo());
    const std::string want = NetInfoFile(
        2,
        {"65; 65; J; 1.0.0   ; HW01    ; 1.0; 2024-01-01 00:00:00; 1.0.0   ; 00; 00000000; 0309; MR Mirat       ; "
         "00012345; 0; 0; ",
         "66; 66; J; 1.0.0   ; HW01    ; 1.0; 2024-01-01 00:00:00; 1.0.0   ; 00; 00000000; 0006; KV Kelvo       ; "
         "00054321; 0; 0; "},
        0, {});
    EXPECT_EQ(want, NetInfo());
    EXPECT_TRUE(Session().LinkState.NodeTable.Valid);
    EXPECT_FALSE(Form1->Pages().MEN->CheckEdit701->Checked());
    EXPECT_EQ("", Form1->Pages().STG->Label189->Caption());
}

TEST_F(DeviceList, NetworkFileWithoutNodes) {
    DoorState state = DoorState::DoorTerminal();
    state.nodes.clear();
    ToMenuWithFile(state);
    EXPECT_TRUE(Session().WriteNetInfo());
    EXPECT_EQ(NetInfoFile(0, {}, 0, {}), NetInfo());
}

TEST_F(DeviceList, NetworkFileOfAFullBusWithAConnector) {
    DoorState state = DoorState::DoorTerminal();
    state.nodes.clear();
    std::vector<std::string> dev;
    for (int i = 1; i <= 32; ++i) {
        SimNode n;
        n.host = static_cast<uint8_t>(i == 5 ? 0x41 : 0x40 + i);  // entry 5 hangs on node 65
        n.prod_code = i == 3 ? 11 : 6;
        n.serial = static_cast<uint32_t>(i);
        n.vendor = 0xABCD;
        n.group = 3;
        n.usage = 7000;
        n.hw = "H\xE4";  // a Windows-1252 character stays one byte in the file
        n.app = {2, 10, 7};
        state.nodes.push_back(n);
        const std::string id = std::to_string(0x40 + i);
        char serial[16];
        std::snprintf(serial, sizeof serial, "%08X", i);
        const bool own = i != 5;
        dev.push_back(id + "; " + (own ? id : std::string("65")) + "; " + (own ? "J" : "N") +
                      "; 2.10.7  ; H\xE4      ; 1.0; 2024-01-01 00:00:00; 1.0.0   ; 00; 0000ABCD; " +
                      (i == 3 ? "000B; KZN Connector  ; "
                       : own  ? "0006; KV Kelvo       ; "
                              : "0006;                ; ") +
                      serial + "; 3; 7000; ");
    }
    state.od[{0x43, 0x2008, 1}] = 0x12345678;
    state.od[{0x43, 0x2008, 2}] = 0x0000ABCD;
    state.od[{0x43, 0x2008, 3}] = 0;  // answers, but empty
    ToMenuWithFile(state);
    EXPECT_TRUE(Session().WriteNetInfo());
    EXPECT_EQ(NetInfoFile(32, dev, 2, {"12345678", "0000ABCD"}), NetInfo());
    EXPECT_EQ(0x43, Session().LinkState.NodeTable.ConnectorNode);
    EXPECT_TRUE(Session().LinkState.NodeTable.KznPresent[2]);
    EXPECT_FALSE(Session().LinkState.NodeTable.KznPresent[3]);
}

TEST_F(DeviceList, ObjectReadsAndWritesWithTheirReadBack) {
    DoorState state = DoorState::DoorTerminal();
    state.od[{0x42, 0x2200, 14}] = 0x1234;
    state.od_read_only.insert({0x42, 0x3000, 1});
    ToMenu(state);
    ASSERT_TRUE(Session().SendShortCommand(0x42, 0x2200, 14));
    EXPECT_EQ("00001234", Session().LinkState.OdReply.Value);
    EXPECT_EQ(0x42, Session().LinkState.OdReply.Node);
    EXPECT_TRUE(Session().SendLongCommand(0x42, 0x1010, 1, 4, "65766173"));
    EXPECT_TRUE(Sent("FB,02,09,A1,01,42,10,10,01,04,65,76,61,73"));
    EXPECT_TRUE(Sent("FB,02,04,A1,00,42,10,10,01"));
    EXPECT_EQ(0x65766173u, (sim_->Device().State().od.at({0x42, 0x1010, 1})));
    // The device ignores this write: it reads back different.
    EXPECT_FALSE(Session().SendLongCommand(0x42, 0x3000, 1, 4, "00000001"));
}

// The waits that give up run on the manual clock, moved on steadily.
class DeviceListLate : public DeviceList {
protected:
    // Runs the clock fast from the moment the program sent `request`.
    void FastFrom(const std::string& request, uint64_t step = 20) {
        watch_ = std::make_unique<TTimer>(nullptr);
        watch_->SetInterval(5);
        watch_->OnTimer = [this, request, step](TObject*) {
            for (const std::string& r : Requests())
                if (r == request) {
                    watch_->SetEnabled(false);
                    fast_ = std::make_unique<SteadyAdvance>(Clock(), step);
                    return;
                }
        };
        watch_->SetEnabled(true);
    }
    std::unique_ptr<TTimer> watch_;
    std::unique_ptr<SteadyAdvance> fast_;

    void SetUp() override { AppStart::SetUp(); }
    void TearDown() override {
        watch_.reset();
        fast_.reset();
        {
            SteadyAdvance advance(Clock(), 20);
            if (FormSercom && Session().LinkState.PortOpen) Session().ClosePort();
        }
        ControlRoad::TearDown();
    }
};

TEST_F(DeviceListLate, SilentNodesFailTheRequestsAndLeaveNoFile) {
    DoorState state = DoorState::DoorTerminal();
    state.silent_nodes.insert(0x42);
    state.node_entries_answered = 1;  // the second entry never comes
    SteadyAdvance advance(Clock());
    ToMenuWithFile(state);
    SteadyAdvance fast(Clock(), 20);
    EXPECT_FALSE(Session().SendShortCommand(0x42, 0x2200, 14));
    WriteFile("TOVAK-NETINFO.TXT", "old");
    EXPECT_FALSE(Session().WriteNetInfo());
    EXPECT_FALSE(NetInfoExists());
    EXPECT_FALSE(Session().LinkState.NodeTable.Valid);
    EXPECT_EQ("", Form1->Pages().STG->Label189->Caption());  // entries are asked quietly

    sim_->Device().Update([](DoorState& s) { s.node_entries_answered = -1; });
    EXPECT_FALSE(Session().SendAndWait(false, std::string("\xFB\x02\x00\xA0\x00", 5)));
    EXPECT_EQ(GetCompTextLines(1198), Form1->Pages().STG->Label189->Caption());
}

TEST_F(DeviceListLate, OldFirmwareWithoutTerminalSettingsKeepsTheMenu) {
    DoorState state = DoorState::DoorTerminal();
    state.answer_terminal_settings = false;
    SteadyAdvance advance(Clock());
    ToMenuWithFile(state);
    TypeCode(Ui(), "2222");
    std::string text;
    AnswerBox(text);
    FastFrom("FB,02,00,0E,20");
    Ui().Click(Form1->Pages().MEN->Button741);
    EXPECT_EQ(GetCompTextLines(1198), text);
    EXPECT_EQ(7, Form1->Notebook1->PageIndex());
    EXPECT_TRUE(Form1->Pages().MEN->Button741->Enabled());
    EXPECT_NE(std::string::npos, ReadFile(LogFileName("TOVAK-COM-")).find("-> pgEIG / 4721OldFirmware"));
}

TEST_F(DeviceListLate, InformationOffersToGiveUpAfterTwoMinutes) {
    DoorState state = DoorState::DoorTerminal();
    state.silent_records.insert(0x52);
    SteadyAdvance advance(Clock());
    ToMenuWithFile(state);
    FastFrom("FB,02,00,52,00", 200);
    std::string text;
    Ui().OnNextModal([&text](TCustomForm* form, UiDriver& u) {
        text = static_cast<TFormCustMsg*>(form)->Label1->Caption();
        u.Click(static_cast<TFormCustMsg*>(form)->Button1);  // "Ja"
    });
    Ui().Click(Form1->Pages().MEN->Button711);
    EXPECT_EQ(GetCompTextLines(1199), text);
    EXPECT_EQ(0, Form1->Notebook1->PageIndex());
}

TEST_F(DeviceList, DeviceSettingsShowAndWriteTheTerminalSettings) {
    DoorState state = DoorState::DoorTerminal();
    state.terminal = {1, 2, 1, 0};
    ToMenu(state);
    TypeCode(Ui(), "2222");
    Ui().Click(Form1->Pages().MEN->Button741);
    ASSERT_EQ(15, Form1->Notebook1->PageIndex());
    TPageEIG& eig = *Form1->Pages().EIG;
    EXPECT_EQ("5", eig.Label1503->Caption());
    EXPECT_EQ("1", eig.ImageEdit1501->EditValue());
    EXPECT_EQ("1", eig.ImageEdit1502->EditValue());
    EXPECT_FALSE(eig.CheckEdit1501->Checked());
    EXPECT_TRUE(eig.CheckEdit1502->Checked());
    EXPECT_TRUE(eig.CheckEdit1501->Visible());
    eig.CheckEdit1501->SetChecked(true);
    eig.ImageEdit1502->SetEditValue("2");
    Ui().Click(eig.Button1501);
    EXPECT_TRUE(Sent("FB,02,04,0E,21,01,03,02,00"));
    EXPECT_EQ(7, Form1->Notebook1->PageIndex());

    // The key switch hides both boxes and sends no flags.
    TypeCode(Ui(), "2222");
    Ui().Click(Form1->Pages().MEN->Button741);
    ASSERT_EQ(15, Form1->Notebook1->PageIndex());
    eig.ImageEdit1501->SetEditValue("0");
    EXPECT_FALSE(eig.CheckEdit1501->Visible());
    Ui().Click(eig.Button1501);
    EXPECT_TRUE(Sent("FB,02,04,0E,21,00,00,02,00"));
}

TEST_F(DeviceList, ExtendedSettingsReadAndWriteTheBoxLockingWords) {
    DoorState state = DoorState::DoorTerminal();
    state.od[{0x42, 0x2200, 14}] = 0x00010060;
    ToMenu(state);
    TypeCode(Ui(), "2222");
    Ui().Click(Form1->Pages().MEN->Button731);
    ASSERT_EQ(10, Form1->Notebook1->PageIndex());
    Ui().Click(Form1->Pages().EIN->Button1003);
    ASSERT_EQ(11, Form1->Notebook1->PageIndex());
    TPageEI2& ei2 = *Form1->Pages().EI2;
    const auto& rows = ei2.BoxRows();
    EXPECT_EQ("[66]", rows[0].Label->Caption());
    EXPECT_EQ("2", rows[0].ImageEdit->EditValue());
    EXPECT_TRUE(rows[0].CheckEdit->Checked());
    EXPECT_EQ("[--]", rows[1].Label->Caption());
    EXPECT_FALSE(rows[1].ImageEdit->Enabled());

    rows[0].ImageEdit->SetEditValue("0");
    Ui().Click(ei2.Button1011);
    EXPECT_EQ(10, Form1->Notebook1->PageIndex());
    EXPECT_TRUE(Sent("FB,02,09,A1,01,42,22,00,0E,00,00,01,00,40"));
    EXPECT_TRUE(Sent("FB,02,09,A1,01,42,10,10,01,04,65,76,61,73"));
    EXPECT_EQ(0x00010040u, (sim_->Device().State().od.at({0x42, 0x2200, 14})));
    EXPECT_TRUE(Form1->Pages().EIN->Button1001->Enabled());
}

TEST_F(DeviceListLate, ABoxThatDoesNotAnswerIsNamed) {
    DoorState state = DoorState::DoorTerminal();
    state.silent_nodes.insert(0x42);
    SteadyAdvance advance(Clock());
    ToMenuWithFile(state);
    TypeCode(Ui(), "2222");
    Ui().Click(Form1->Pages().MEN->Button731);
    ASSERT_EQ(10, Form1->Notebook1->PageIndex());
    std::string text;
    AnswerBox(text);
    SteadyAdvance fast(Clock(), 20);
    Ui().Click(Form1->Pages().EIN->Button1003);
    EXPECT_EQ("Daten konnten nicht eingelesen werden (42H) !", text);
    EXPECT_EQ(10, Form1->Notebook1->PageIndex());
    EXPECT_TRUE(Form1->Pages().EIN->Button1003->Enabled());
}

}  // namespace
