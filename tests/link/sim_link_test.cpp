// The link with the serial port component against the simulated door equipment over a real
// pseudo-terminal, on the manual clock moved on steadily at the pace both follow.

#include <filesystem>
#include <gtest/gtest.h>

#include "tests/support/pump_until.h"

#include "link/com_port_link.h"
#include "link/device_records.h"
#include "link/device_wait.h"
#include "link/frame_codec.h"
#include "link/link_state.h"
#include "link/sercom_link.h"
#include "platform/sync/clock.h"
#include "platform/win/message_queue.h"
#include "sim/door_sim.h"
#include "tests/link/door_wire.h"
#include "tests/link/link_fakes.h"
#include "tests/link/steady_advance.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

constexpr int kPort = 17;

// The first frame from exchange `from` on that the device sent and that is not a plain poll
// (the poll in flight when a test armed a fault may still finish first).
size_t FirstUnusual(const std::vector<SimExchange>& ex, size_t from) {
    const std::string poll = BuildWireFrame(0, 1, "");
    for (size_t k = from; k < ex.size(); ++k)
        if (ex[k].sent != poll) return k;
    return ex.size();
}

std::string B(std::initializer_list<int> b) { return FakeLink::Data(b); }
std::string Wire(const std::string& data, uint8_t h0 = 0, uint8_t h1 = 1) { return BuildWireFrame(h0, h1, data); }

class SimLink : public ::testing::Test {
protected:
    void SetUp() override {
        InitWindowThread();
        dir_ = temp_.Path();
        setenv("TOVAK_PORTS", dir_.c_str(), 1);
        clock_ = std::make_unique<ScopedManualClock>();
        advance_ = std::make_unique<SteadyAdvance>(**clock_, 2, [this] { return link_.get(); });
    }
    void TearDown() override {
        if (link_ && link_->LinkState.PortOpen) link_->ClosePort();
        advance_.reset();
        link_.reset();
        port_.reset();
        com_.reset();
        sim_.reset();
        clock_.reset();
        unsetenv("TOVAK_PORTS");
    }
    void Start(DoorState state = DoorState::DoorTerminal(), int poll_ms = 10) {
        DoorSimOptions options;
        options.port = kPort;
        options.ports_dir = dir_.string();
        options.poll_ms = poll_ms;
        sim_ = std::make_unique<DoorSim>(std::move(state), options);
        sim_->Start();
        com_ = std::make_unique<TSerComPort>(nullptr);
        port_ = std::make_unique<TComPortLink>(com_.get());
        link_ = std::make_unique<TSercomLink>(port_.get(), &view_, &main_);
        link_->OpenPort(kPort, false);
        ASSERT_TRUE(link_->LinkState.PortOpen);
    }
    // Waits until `count` more exchanges have finished, pumping the window thread meanwhile.
    bool Exchanges(size_t count) {
        size_t target = sim_->ExchangeCount() + count;
        return PumpUntil([&] { return sim_->ExchangeCount() >= target; });
    }
    // Pumps until the program has answered every frame that wants an answer; the wire so far.
    // (An answer to a frame that wants none, or a second one, shows as `outran`.)
    DoorWire AllAnswered() {
        DoorWire wire;
        EXPECT_TRUE(PumpUntil([&] {
            wire = ReadDoorWire(sim_->Exchanges());
            return wire.owed == 0;
        }));
        return wire;
    }
    // Pumps until every request of `wait` is taken and answered.
    bool Await(const TDeviceWait& wait) {
        return PumpUntil([&] { return wait.Answered(); });
    }
    // One request and its answer.
    bool Ask(const std::string& data, TAnswer answer) {
        TDeviceWait wait(link_.get());
        return wait.Queue(data, answer) && Await(wait);
    }
    // One block order and its answer.
    bool Order(TBlockOrder order) {
        TDeviceWait wait(link_.get());
        return wait.Order(order) && Await(wait);
    }

    TempFolder temp_{"tovak-simlink"};
    fs::path dir_;
    std::unique_ptr<ScopedManualClock> clock_;
    std::unique_ptr<SteadyAdvance> advance_;
    std::unique_ptr<DoorSim> sim_;
    std::unique_ptr<TSerComPort> com_;
    std::unique_ptr<TComPortLink> port_;
    std::unique_ptr<TSercomLink> link_;
    RecordingSercomView view_;
    RecordingMainView main_;
};

}  // namespace

TEST_F(SimLink, EveryPollGetsExactlyOneAnswerAndQueuedRequestsLeaveOnePerPollOldestFirst) {
    Start();
    ASSERT_TRUE(Exchanges(3));
    const size_t from = sim_->ExchangeCount();
    // One request per answer, oldest first; records are acknowledged before the next request.
    TDeviceWait wait(link_.get());
    wait.Queue(B({0xFB, 0x02, 0x00, 0x0D, 0x00}), AwaitDoorState);
    wait.Queue(B({0xFB, 0x02, 0x00, 0x10, 0x02}), AwaitConfigBlock3);
    ASSERT_TRUE(Await(wait));
    ASSERT_TRUE(Exchanges(2));
    EXPECT_FALSE(AllAnswered().outran);
    sim_->Stop();
    std::vector<std::string> answers;
    auto all = sim_->Exchanges();
    for (size_t k = 0; k < all.size(); ++k) {
        EXPECT_TRUE(all[k].trailing.empty());
        if (k < from) continue;
        for (const std::string& answer : all[k].answers)
            if (answer != Wire("")) answers.push_back(BytesToHexList(answer));
    }
    std::vector<std::string> expected = {
        BytesToHexList(Wire(B({0xFB, 0x02, 0x00, 0x0D, 0x00}))),  // answer to a poll
        BytesToHexList(Wire(B({0x28, 0x28, 0x00}))),              // answer to the door state
        BytesToHexList(Wire(B({0xFB, 0x02, 0x00, 0x10, 0x02}))),  // answer to the next poll
        BytesToHexList(Wire(B({0x28, 0x28, 0x00}))),              // answer to block 3
    };
    EXPECT_EQ(expected, answers);
    EXPECT_EQ("TOVAK-SIM", link_->LinkState.DoorSystem.InfoText);
    EXPECT_GE(main_.slot_shows, 1);
}

TEST_F(SimLink, BadFramesGetNoAnswerAndShowTheirStatusAndEscapesWorkBothWays) {
    Start();
    ASSERT_TRUE(Exchanges(2));
    struct Case {
        std::function<void()> arm;
        std::string status;
    } cases[] = {
        {[&] { sim_->BadCheckByteOnce(); }, "REC-ERR: BCC wrong"},
        {[&] { sim_->GarbageBeforeStxOnce(); }, "REC-ERR: no STX"},
        {[&] { sim_->MissingEtxOnce(); }, "REC-ERR: no ETX"},
    };
    for (Case& c : cases) {
        view_.status.clear();
        const size_t from = sim_->ExchangeCount();
        c.arm();
        ASSERT_TRUE(Exchanges(3));
        // The bad frame got no answer (one would outrun the frames owed one); those around it did.
        EXPECT_FALSE(AllAnswered().outran) << c.status;
        auto ex = sim_->Exchanges();
        EXPECT_LT(FirstUnusual(ex, from) + 1, ex.size()) << c.status;
        EXPECT_NE(view_.status.end(), std::find(view_.status.begin(), view_.status.end(), c.status));
    }
    // A poll whose header and check byte need escaping is good; a request with 1B in it
    // leaves escaped and arrives whole.
    const size_t from = sim_->ExchangeCount();
    sim_->EscapedCheckByteOnce();
    sim_->Device().Update([](DoorState& s) { s.od[{0x1B, 0x1003, 0x02}] = 0x1B0302FF; });
    ASSERT_TRUE(Ask(B({0xFB, 0x02, 0x04, 0xA1, 0x00, 0x1B, 0x10, 0x03, 0x02}), AwaitOdReply));
    EXPECT_EQ(0x1B, link_->LinkState.OdReply.Node);
    EXPECT_EQ(0x1003, link_->LinkState.OdReply.Index);
    EXPECT_EQ("1B0302FF", link_->LinkState.OdReply.Value);
    EXPECT_FALSE(AllAnswered().outran);  // the escaped poll got its one answer
    auto ex = sim_->Exchanges();
    size_t k = FirstUnusual(ex, from);
    ASSERT_LT(k, ex.size());
    EXPECT_EQ("02,00,1B,83,00,1B,83,03", BytesToHexList(ex[k].sent));
}

TEST_F(SimLink, BroadcastGetsNoAnswer) {
    Start();
    ASSERT_TRUE(Exchanges(2));
    const size_t from = sim_->ExchangeCount();
    sim_->BroadcastOnce(0x01, 0x80);
    ASSERT_TRUE(Exchanges(3));
    EXPECT_FALSE(AllAnswered().outran);
    auto ex = sim_->Exchanges();
    EXPECT_LT(FirstUnusual(ex, from) + 1, ex.size());
    EXPECT_EQ("X------- -------X", main_.texts["Label511"]);
}

// The tests' clock: a device that talks but whose frames the program has not taken (here:
// bad ones) holds the clock close to the last frame the program heard, so a busy program
// never takes a talking device for a silent one.
TEST_F(SimLink, TheClockWaitsForTheProgramToHearATalkingDevice) {
    Start();
    ASSERT_TRUE(Exchanges(2));
    constexpr int kBadFrames = 40;
    for (int k = 0; k < kBadFrames; ++k) sim_->BadCheckByteOnce();
    const size_t target = sim_->ExchangeCount() + kBadFrames;
    uint64_t lead = 0;
    ASSERT_TRUE(PumpUntil([&] {
        lead = std::max(lead, CurrentClock().Ticks() - link_->LastHeard());
        return sim_->ExchangeCount() >= target;
    }));
    EXPECT_LE(lead, SteadyAdvance::kHeardLeadMs + 2);
    EXPECT_TRUE(link_->LinkState.PortOpen);
}

TEST_F(SimLink, DeviceTypeIsAskedAndItsAbsenceFoundInAboutOneSecond) {
    Start(DoorState::IoDevice(2));
    EXPECT_EQ(0x97, link_->QueryDeviceType());
    sim_->SetSilent(true);
    uint64_t t0 = CurrentClock().Ticks();
    EXPECT_EQ(-1, link_->QueryDeviceType());
    uint64_t took = CurrentClock().Ticks() - t0;
    EXPECT_GE(took, 900u);
    EXPECT_LE(took, 1500u);
    // A late answer (after the first attempt gave up) is still taken by the second.
    sim_->SetSilent(false);
    sim_->LateOnce(600);
    EXPECT_EQ(0x97, link_->QueryDeviceType());
}

TEST_F(SimLink, BlocksAreReadAndWrittenThroughTheOrders) {
    Start(DoorState::IoDevice(1));
    ASSERT_TRUE(Order(TBlockOrder::ReadInputs));
    EXPECT_EQ(BytesToHexList(DoorState::IoDevice(1).inputs), main_.texts["Edit502"]);
    ASSERT_TRUE(Order(TBlockOrder::ReadOutputs));
    EXPECT_EQ(BytesToHexList(DoorState::IoDevice(1).outputs), main_.texts["Edit503"]);
    main_.texts["Edit503"] = "81,01,02,03";
    ASSERT_TRUE(Order(TBlockOrder::WriteOutputs));
    EXPECT_EQ(0, link_->LinkState.ResultCode);
    EXPECT_EQ(B({0x81, 0x01, 0x02, 0x03}), sim_->Device().State().outputs);
}

TEST_F(SimLink, CodesNodesAndCommandsClearTheirWaits) {
    Start();
    ASSERT_TRUE(Ask(B({0xFB, 0x02, 0x02, 0x30, 0x00, 0x22, 0x22}), AwaitCodeCheck));
    EXPECT_EQ(2, link_->LinkState.GrantedLevel);
    ASSERT_TRUE(Ask(B({0xFB, 0x02, 0x02, 0x30, 0x00, 0x99, 0x99}), AwaitCodeCheck));
    EXPECT_EQ(0, link_->LinkState.GrantedLevel);
    // Change the control code to 12345 (four bytes, padded with A), then check it.
    ASSERT_TRUE(Ask(B({0xFB, 0x02, 0x04, 0x30, 0x02, 0x12, 0x34, 0x5A, 0xAA}), AwaitResult));
    EXPECT_EQ(0, link_->LinkState.ResultCode);
    ASSERT_TRUE(Ask(B({0xFB, 0x02, 0x04, 0x30, 0x00, 0x12, 0x34, 0x5A, 0xAA}), AwaitCodeCheck));
    EXPECT_EQ(1, link_->LinkState.GrantedLevel);

    ASSERT_TRUE(Ask(B({0xFB, 0x02, 0x00, 0xA0, 0x00}), AwaitNodeList));
    ASSERT_EQ(2, link_->LinkState.NodeTable.NodeCount);
    for (int i = 1; i <= 2; ++i) {
        ASSERT_TRUE(Ask(B({0xFB, 0x02, 0x01, 0xA0, 0xFF, 0x40 + i}), AwaitNodeList));
    }
    EXPECT_EQ(0x309, link_->LinkState.NodeTable.Nodes[1].ProdCode);
    EXPECT_EQ(6, link_->LinkState.NodeTable.Nodes[2].ProdCode);
    EXPECT_EQ(1, link_->LinkState.NodeTable.Nodes[2].SameNode);

    // Unlock: the device reports the new door state on its own.
    main_.texts.erase("Label11051");
    link_->EnqueueRequest(B({0xFB, 0x02, 0x00, 0x50, 0x01}));
    ASSERT_TRUE(PumpUntil([&] { return main_.texts["Label11051"] == "Tür entriegelt"; }));
    EXPECT_EQ(0x00FF00u, main_.colors["Shape11051"]);

    // Store: block 1, the restart through 0x18, then "save done".
    link_->EnqueueRequest(B({0xFB, 0x02, 0x00, 0x50, 0x02}));
    ASSERT_TRUE(PumpUntil([&] { return main_.texts["Label11051"] == "Tür verriegelt"; }));
    main_.visible["ProgressBar11"] = true;
    TDeviceWait store(link_.get());
    store.Expect(AwaitSaveDone);
    store.Queue(B({0xFB, 0x02, 0x00, 0x11, 0x00}), AwaitConfigBlock1);
    ASSERT_TRUE(Await(store));
    EXPECT_TRUE(main_.visible["Image1102"]);
    EXPECT_TRUE(main_.visible["Image1103"]);
    EXPECT_TRUE(main_.visible["Image1104"]);
    EXPECT_EQ(5, link_->LinkState.DoorSystem.Slots[1].BusAddress);
}

TEST_F(SimLink, AClosedLinkRefusesRequestsAndUnpluggingIsSurvived) {
    Start();
    ASSERT_TRUE(Exchanges(2));
    link_->ClosePort();
    EXPECT_FALSE(link_->LinkState.PortOpen);
    EXPECT_FALSE(link_->EnqueueRequest(B({0xFB, 0x02, 0x00, 0x0E, 0x20})));
    link_->OpenPort(kPort, false);
    ASSERT_TRUE(link_->LinkState.PortOpen);
    ASSERT_TRUE(Ask(B({0xFB, 0x02, 0x00, 0x0E, 0x20}), AwaitTerminalSettings));
    sim_->Unplug();
    // The program goes on; the port reports its error on its own road, nothing crashes.
    PumpUntil([] { return false; }, 100);
    link_->ClosePort();
    EXPECT_FALSE(link_->LinkState.PortOpen);
}
