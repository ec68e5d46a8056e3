// The text-command channel over a real pseudo-terminal against the controller simulator, on
// the manual clock: replies with and without "SUCCESS", late, garbled, endless or missing
// replies, a port that does not open, the trace and the log.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "link/form_txt_com.h"
#include "program/log_file.h"
#include "program/message_dialog.h"
#include "program/program_context.h"
#include "program/program_dirs.h"
#include "serial/ser_com_port.h"
#include "tests/link/controller_pilot.h"
#include "tests/support/temp_folder.h"
#include "tests/support/ui_driver.h"

namespace fs = std::filesystem;

namespace {

constexpr int kPort = 31;

class TxtChannel : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = temp_.Path();
        fs::create_directories(dir_ / "ports");
        setenv("TOVAK_PORTS", (dir_ / "ports").c_str(), 1);
        saved_prot_ = Program().ProtDir;
        Program().ProtDir = dir_.string() + "/";
        ui_ = std::make_unique<UiDriver>();
        sim_ = std::make_unique<ControllerSim>(ControllerSimOptions{kPort, (dir_ / "ports").string()});
        sim_->Start();
        channel_.reset(new TFormTxtCom(nullptr));
        channel_->FormCreate();
        SetMessageDialogHandler([this](const std::string& text, int type, int buttons, int) {
            boxes_.push_back(text + "|" + std::to_string(type) + "|" + std::to_string(buttons));
            return 2;
        });
    }
    void TearDown() override {
        SetMessageDialogHandler(nullptr);
        if (channel_->Com2->Open()) Stop();
        channel_.reset();
        sim_.reset();
        ui_.reset();
        Program().PxtProt = false;
        Program().ProtDir = saved_prot_;
        unsetenv("TOVAK_PORTS");
    }

    // Sends with the pilot running the clock; answers the failure flag.
    bool Send(const std::string& command, std::string& reply, bool showError = true) {
        ControllerPilot pilot(*clock_, *sim_, *channel_);
        return channel_->SendCommand(command, showError, reply);
    }
    void Start(int port = kPort, bool showError = true) {
        ControllerPilot pilot(*clock_, *sim_, *channel_);
        channel_->StartChannel(port, showError);
    }
    void Stop() {
        ControllerPilot pilot(*clock_, *sim_, *channel_);
        channel_->StopChannel();
    }
    std::vector<std::string> Trace() {
        std::vector<std::string> lines;
        for (int i = 0; i < channel_->ListBox1->Count(); ++i) lines.push_back(channel_->ListBox1->Items()->Strings(i));
        return lines;
    }
    std::string Log() {
        std::ifstream in(LogFileName("TOVAK-TSC-"), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    TempFolder temp_{"tovak-txt"};
    fs::path dir_;
    std::string saved_prot_;
    ScopedManualClock clock_{1772721000000};
    std::unique_ptr<UiDriver> ui_;
    std::unique_ptr<ControllerSim> sim_;
    std::unique_ptr<TFormTxtCom> channel_;
    std::vector<std::string> boxes_;
};

}  // namespace

TEST_F(TxtChannel, ACommandGetsItsReplyWithSeparatorsAsBlanksTracedAndLogged) {
    Program().PxtProt = true;
    Start();
    ASSERT_TRUE(channel_->TxtChannelOpen);
    EXPECT_EQ(115200, channel_->Com2->Baud());
    std::string reply;
    EXPECT_FALSE(Send("scxFWV", reply));
    EXPECT_EQ("scxFWV 3.2.7 SUCCESS  ", reply);
    EXPECT_EQ((std::vector<std::string>{"scxFWV"}), sim_->Commands()) << "one line, ended by CR LF";
    EXPECT_EQ((std::vector<std::string>{"S: scxFWV", "R: scxFWV 3.2.7 SUCCESS  "}), Trace());
    EXPECT_EQ(1, channel_->ListBox1->ItemIndex());
    Stop();
    EXPECT_FALSE(channel_->TxtChannelOpen);
    EXPECT_FALSE(channel_->Com2->Open());
    EXPECT_TRUE(boxes_.empty());

    const std::string log = Log();
    EXPECT_NE(std::string::npos, log.find(" StaxtCom   CN=31\r\n"));
    EXPECT_NE(std::string::npos, log.find(" SND        scxFWV\r\n"));
    EXPECT_NE(std::string::npos, log.find(" REC        scxFWV 3.2.7 SUCCESS  \r\n"));
    EXPECT_NE(std::string::npos, log.find(" StoxpCom   \r\n"));
}

TEST_F(TxtChannel, RepliesWithoutSuccessFailWithTheReplyShown) {
    Start();
    std::string reply;
    sim_->NoSuccessOnce();
    EXPECT_TRUE(Send("scxUID", reply));
    EXPECT_EQ("scxUID ERROR  ", reply);
    ASSERT_EQ(1u, boxes_.size());
    EXPECT_EQ("Fehler in der Kommunikation:\r\rscxUID ERROR  |1|4", boxes_[0]);

    // The box says what came back, bytes that are no text as hex, or that nothing came.
    sim_->GarbageOnce();
    EXPECT_TRUE(Send("scxUID", reply));
    EXPECT_EQ(std::string("\x7F#?\x01~~  ", 8), reply);
    sim_->SilentOnce();
    EXPECT_TRUE(Send("scxUID", reply));
    EXPECT_EQ("", reply);
    ASSERT_EQ(3u, boxes_.size());
    EXPECT_EQ("Fehler in der Kommunikation:\r\r<7F>#?<01>~~  |1|4", boxes_[1]);
    EXPECT_EQ("Fehler in der Kommunikation:\r\rKeine Antwort|1|4", boxes_[2]);
    sim_->SilentOnce();
    EXPECT_TRUE(Send("scxUID", reply, false));
    EXPECT_EQ(3u, boxes_.size()) << "no box when not asked";

    // A reply that never ends is cut and fails, even if "SUCCESS" were somewhere in it.
    sim_->EndlessOnce(5000);
    EXPECT_TRUE(Send("scxFWV", reply, false));
    EXPECT_EQ(TFormTxtCom::kMaxReply, reply.size());
    EXPECT_EQ(std::string(TFormTxtCom::kMaxReply, 'X'), reply);
    // The channel goes on working afterwards.
    EXPECT_FALSE(Send("scxFWV", reply, false));
    EXPECT_EQ("scxFWV 3.2.7 SUCCESS  ", reply);
}

TEST_F(TxtChannel, ALateReplyFailsAndWaitsInTheBufferForTheNextCommand) {
    Start();
    std::string reply;
    sim_->LateOnce(300);
    EXPECT_TRUE(Send("scxUID", reply, false));
    EXPECT_EQ("", reply);
    {
        ControllerPilot pilot(*clock_, *sim_, *channel_);
        ASSERT_TRUE(ui_->WaitFor([&] { return channel_->TextReceiveBuffer.find("SUCCESS") != std::string::npos; }));
    }
    EXPECT_EQ("scxUID;STMX-1.12;SUCCESS\r\n", channel_->TextReceiveBuffer);
    EXPECT_FALSE(Send("scxFWV", reply, false));
    EXPECT_EQ("scxFWV 3.2.7 SUCCESS  ", reply) << "the next command empties the buffer first";
}

// A controller that hangs reads nothing. The wait for its answer ends, and what the port has
// not sent by then is discarded: when the controller wakes (the channel still open) it does
// not get both lines. A pseudo-terminal hands what fits its other end's buffer (some 4 KiB)
// over as soon as the kernel gets round to it, and that can no longer be taken back: the
// first long line may arrive whole, or be cut; on a busy machine none of it may have moved
// when its wait ends, and the second then fits the buffer whole. Whatever arrives ends as a
// line that was sent ends: a cut first line runs into the second, never a line cut short.
TEST_F(TxtChannel, AWaitThatEndsWithoutItsAnswerDiscardsWhatThePortHasNotSent) {
    Start();
    sim_->Stop();
    std::string reply;
    const std::string first(4000, 'A'), second(4000, 'B');
    EXPECT_TRUE(Send(first, reply, false));
    EXPECT_TRUE(Send(second, reply, false));
    EXPECT_EQ("", reply);
    sim_->Start();
    {
        ControllerPilot pilot(*clock_, *sim_, *channel_);
        ui_->WaitFor([] { return false; }, 200);
    }
    sim_->Settle();
    const std::vector<std::string> got = sim_->Commands();
    ASSERT_LE(got.size(), 1u) << "both lines reached the controller";
    for (const std::string& line : got) {
        const size_t cut = line.find_first_not_of('A');
        EXPECT_TRUE(line == first || (cut <= first.size() && line.substr(cut) == second))
            << "a line that was never sent: " << line.size();
    }
}

TEST_F(TxtChannel, PortThatDoesNotOpenAndCommandsOnAClosedChannel) {
    Program().PxtProt = true;
    Start(kPort + 1, false);  // no link in the ports folder, no such device
    EXPECT_FALSE(channel_->TxtChannelOpen);
    EXPECT_TRUE(boxes_.empty());
    Start(kPort + 1, true);
    ASSERT_EQ(1u, boxes_.size());
    EXPECT_EQ("COM32 kann nicht geöffnet werden !|1|8", boxes_[0]);
    EXPECT_NE(std::string::npos, Log().find(" StaxtCom   ERROR CN=32\r\n"));

    std::string reply = "untouched";
    EXPECT_TRUE(Send("scxFWV", reply));
    EXPECT_EQ("untouched", reply);
    EXPECT_EQ(1u, boxes_.size()) << "a closed port fails without a message";
    EXPECT_TRUE(Trace().empty());
}

TEST_F(TxtChannel, TheTraceKeepsTheLastHundredLines) {
    for (int i = 1; i <= 101; ++i) channel_->AddTraceLine("S: " + std::to_string(i));
    ASSERT_EQ(100, channel_->ListBox1->Count());
    EXPECT_EQ("S: 2", channel_->ListBox1->Items()->Strings(0));
    EXPECT_EQ("S: 101", channel_->ListBox1->Items()->Strings(99));
    EXPECT_EQ(99, channel_->ListBox1->ItemIndex());
}
