// The configuration road end to end: the program's windows against the simulated interface
// device over a pseudo-terminal, driven through the UI driver. The device polls in real time;
// the program runs on the manual clock moved on steadily, at the pace both follow.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "app/common/comp_text.h"
#include "app/pages/configuration/page_cfg.h"
#include "app/pages/configuration/page_com.h"
#include "app/pages/configuration/page_tst.h"

#include "app/common/named_control.h"
#include "app/config/io_config.h"
#include "app/device/config_handshake.h"
#include "app/windows/alarm_mask_form.h"
#include "app/windows/config_string_form.h"
#include "link/frame_codec.h"
#include "platform/forms/button.h"
#include "platform/forms/combo_box.h"
#include "platform/forms/control_paint.h"
#include "platform/forms/edit.h"
#include "platform/forms/file_dialog_form.h"
#include "platform/forms/label.h"
#include "platform/forms/menus.h"
#include "platform/forms/page_control.h"
#include "platform/forms/screen.h"
#include "platform/forms/timer.h"
#include "platform/win/virtual_keys.h"
#include "program/log_file.h"
#include "program/program_context.h"
#include "serial/port_dialog.h"
#include "sim/door_frame.h"
#include "sim/door_sim.h"
#include "tests/app/app_test_support.h"
#include "tests/link/steady_advance.h"
#include "tests/support/test_pictures.h"

namespace {

constexpr int kPort = 7;

std::string Bytes(const std::string& hexList) { return SimHexList(hexList); }

class ConfigRoad : public AppStart {
protected:
    void SetUp() override {
        AppStart::SetUp();
        advance_ = std::make_unique<SteadyAdvance>(Clock());
    }
    void TearDown() override {
        watch_.reset();
        if (FormSercom && Session().LinkState.PortOpen) Session().ClosePort();
        advance_.reset();
        sim_.reset();
        AppStart::TearDown();
    }
    void StartSim(DoorState state) {
        sim_.reset();
        DoorSimOptions options;
        options.port = kPort;
        options.ports_dir = dir_ + "/ports";
        options.poll_ms = 10;
        sim_ = std::make_unique<DoorSim>(std::move(state), options);
        sim_->Start();
    }
    void StartProgram() {
        WriteFile("TOVAK.INI",
                  "[MAIN]\r\nCSM=0\r\nCOM=" + std::to_string(kPort) + "\r\nCOT=" + std::to_string(kPort) + "\r\n");
        Start();
    }
    // Runs the reading road from the COM page.
    void ReadRoad() {
        Ui().Click("Form1.Button002");
        Ui().Click("Form1.Button101");
    }
    // Every DATA the program sent in its answers, as hex lists.
    std::vector<std::string> SentData() {
        std::vector<std::string> out;
        for (const SimExchange& ex : sim_->Exchanges())
            for (const std::string& wire : ex.answers) {
                SimFrame f;
                if (SimDecodeFrame(wire, f) == SimParse::Ok && !f.data.empty()) {
                    out.push_back(BytesToHexList(f.data));
                }
            }
        return out;
    }
    uint32_t Lamp(const char* name) { return NamedControl<TShape>(*Form1, name)->Brush()->Color(); }
    // Runs `act` once, as soon as `lamp` turns yellow (its step is waiting for the device).
    void WhenBusy(const char* lamp, std::function<void()> act) {
        watch_ = std::make_unique<TTimer>(nullptr);
        watch_->SetInterval(5);
        watch_->OnTimer = [this, lamp, act](TObject*) {
            if (Lamp(lamp) != kLampBusy) return;
            watch_->SetEnabled(false);
            act();
        };
        watch_->SetEnabled(true);
    }
    std::unique_ptr<TTimer> watch_;
    bool Shown(const std::string& name) { return NamedControl<TControl>(*Form1, name)->Visible(); }

    std::unique_ptr<DoorSim> sim_;
    std::unique_ptr<SteadyAdvance> advance_;
    std::string fs_start_;  // the folder a file dialog started in
};

}  // namespace

TEST_F(ConfigRoad, ReadsEveryDeviceTypeIntoItsRows) {
    StartProgram();
    const int inputs[3] = {9, 6, 32}, outputs[3] = {8, 6, 32};
    for (int type = 2; type >= 0; --type) {
        DoorState state = DoorState::IoDevice(type);
        state.inputs[0] = 0x03;  // row 1: delayed release, delay 0x05
        state.inputs[2] = 0x05;
        state.inputs[1] = 0x01;
        state.outputs[4] = '\xC1';  // row 22: collective alarm with mask 0x81
        state.outputs[7] = '\x81';
        state.inputs[4 * (inputs[type] - 1)] = 0x1F;  // last input: a code without an item
        for (size_t k = 2; k < state.outputs.size(); k += 4) state.outputs[k] = 0;  // no time limits
        StartSim(state);
        ReadRoad();
        ASSERT_EQ(3, Form1->Notebook1->PageIndex()) << type;
        EXPECT_FALSE(Session().LinkState.PortOpen);
        EXPECT_EQ(kLampDone, Lamp("Shape201"));
        EXPECT_EQ(kLampDone, Lamp("Shape202"));
        EXPECT_EQ(type, Form1->Pages().CFG->GetDeviceType());
        EXPECT_EQ(3, Form1->Pages().CFG->GetRowFunction(1));
        EXPECT_EQ(1, Form1->Pages().CFG->GetRowFlag(1));
        EXPECT_EQ(5, Form1->Pages().CFG->GetRowParam(1));
        EXPECT_TRUE(Shown("Edit301"));
        EXPECT_EQ(2, Form1->Pages().CFG->GetRowFunction(2));
        EXPECT_FALSE(Shown("Edit302"));
        EXPECT_EQ(0xC1, Form1->Pages().CFG->GetRowFunction(22));
        EXPECT_EQ("X______X", Form1->Pages().CFG->RowMaskButton(22)->Caption());
        EXPECT_TRUE(Shown("Button322"));
        EXPECT_FALSE(Shown("Edit322"));
        EXPECT_EQ(inputs[type] > 9 || inputs[type] == 9, Shown("ImageEdit309"));
        EXPECT_EQ(inputs[type] > 6, Shown("Label307"));
        EXPECT_EQ(outputs[type] > 8, Shown("ImageEdit329"));
        EXPECT_EQ(type == 2, Shown("Button911"));
        EXPECT_EQ(type == 2 ? "Befehle" : "Eingänge", Form1->Pages().CFG->TabSheet1->Caption());
        // The code without an item keeps its value: encoded again it is the device's block.
        EXPECT_EQ(0x1F, Form1->Pages().CFG->GetRowFunction(inputs[type] > 16 ? 40 + inputs[type] - 16 : inputs[type]));
        Form1->Pages().CFG->EncodeInputs();
        Form1->Pages().CFG->EncodeOutputs();
        const DoorState device = sim_->Device().State();
        EXPECT_EQ(TSercomLink::BytesToHexList(device.inputs), Form1->Pages().TST->Edit502->Text());
        EXPECT_EQ(TSercomLink::BytesToHexList(device.outputs), Form1->Pages().TST->Edit503->Text());
        Ui().AnswerNextModalWith("Nein");
        Ui().Click("Form1.Button304");  // "Abbruch": answered with no
        EXPECT_EQ(3, Form1->Notebook1->PageIndex());
        Ui().Escape();
    }
}

TEST_F(ConfigRoad, EditedRowsGoBackToTheDeviceByteForByte) {
    DoorState state = DoorState::IoDevice(0);
    state.inputs = Bytes(StandardInputText(0));
    state.outputs = Bytes(StandardOutputText(0));
    StartSim(state);
    StartProgram();
    ReadRoad();
    ASSERT_EQ(3, Form1->Notebook1->PageIndex());
    // Delay of row 3 (a delayed release) from 5 to 9 s.
    Ui().Click("Form1.Edit303");
    Ui().PressKey(VK_END);
    Ui().PressKey(VK_BACK);
    Ui().Type("9");
    EXPECT_EQ(9, Form1->Pages().CFG->GetRowParam(3));
    // Row 1 inverted.
    Ui().Click("Form1.CheckEdit301");
    EXPECT_EQ(1, Form1->Pages().CFG->GetRowFlag(1));
    // The mask of output 8 (collective alarm) down to bits 0 and 7; a cancelled dialog first.
    auto* tabs = Form1->Pages().CFG->PageControl1;
    const TRect tab = tabs->TabRect(1);
    (void)tab;
    tabs->SetActivePage(Form1->Pages().CFG->TabSheet2);
    ASSERT_EQ(Form1->Pages().CFG->TabSheet2, tabs->ActivePage());
    Ui().OnNextModal([](TCustomForm* form, UiDriver& ui) {
        auto* dialog = dynamic_cast<TForm2*>(form);
        ASSERT_NE(nullptr, dialog);
        EXPECT_TRUE(dialog->CheckEdit[7]->Checked());
        dialog->CheckEdit[1]->SetChecked(false);
        ui.Click(dialog->Button2);
    });
    Ui().Click("Form1.Button328");
    EXPECT_EQ("XXXXXXXX", Form1->Pages().CFG->RowMaskButton(28)->Caption());
    Ui().Click("Form1.Label11");  // two quick clicks on one place would make a double click
    Ui().OnNextModal([](TCustomForm* form, UiDriver& ui) {
        auto* dialog = dynamic_cast<TForm2*>(form);
        ASSERT_NE(nullptr, dialog);
        for (int k = 1; k <= 6; ++k) dialog->CheckEdit[k]->SetChecked(false);
        ui.Click(dialog->Button1);
    });
    Ui().Click("Form1.Button328");
    EXPECT_EQ("X______X", Form1->Pages().CFG->RowMaskButton(28)->Caption());

    sim_->ClearExchanges();
    std::string saved;
    AnswerBox(saved);
    Ui().Click("Form1.Button303");
    EXPECT_EQ("Konfiguration wurde gespeichert !", saved);
    const std::string inputs =
        "04,01,00,00,20,00,00,00,03,00,09,00,05,00,00,00,08,00,00,00,09,00,00,00,0A,00,00,00,26,00,00,00,21,00,00,00";
    const std::string outputs =
        "82,00,00,00,A1,00,00,00,A2,00,00,00,A4,00,00,00,A5,00,00,00,86,00,00,00,B8,00,00,00,C1,00,00,81";
    const std::vector<std::string> sent = SentData();
    EXPECT_NE(sent.end(), std::find(sent.begin(), sent.end(), "FB,13,00," + inputs));
    EXPECT_NE(sent.end(), std::find(sent.begin(), sent.end(), "FB,13,01," + outputs));
    const DoorState device = sim_->Device().State();
    EXPECT_EQ(Bytes(inputs), device.inputs);
    EXPECT_EQ(Bytes(outputs), device.outputs);
    // The road read the configuration back and shows the device's values.
    ASSERT_EQ(3, Form1->Notebook1->PageIndex());
    EXPECT_FALSE(Session().LinkState.PortOpen);
    EXPECT_EQ(inputs, Form1->Pages().TST->Edit502->Text());
    EXPECT_EQ(9, Form1->Pages().CFG->GetRowParam(3));
    EXPECT_EQ(0x81, Form1->Pages().CFG->GetRowMask(28));
    // Both block texts went to the menu log.
    const std::string log = ReadFile(Program().ProtDir + "TOVAK-MEN-" + FormatDateTime("yyyymm", Now()) + ".PRT");
    EXPECT_NE(std::string::npos, log.find("SNDINP     " + inputs));
    EXPECT_NE(std::string::npos, log.find("SNDOUT     " + outputs));
}

TEST_F(ConfigRoad, ConfigurationFileSavedAndLoadedThroughTheDialogs) {
    StartSim(DoorState::IoDevice(0));
    StartProgram();
    Ui().Click("Form1.Button002");
    Form1->Pages().TST->Edit502->SetText(StandardInputText(0));
    Form1->Pages().TST->Edit503->SetText(StandardOutputText(0));
    Ui().Click("Form1.Button102");
    ASSERT_EQ(3, Form1->Notebook1->PageIndex());
    const std::string path = dir_ + "/ANLAGE.CFG";
    auto chooseFile = [this](const std::string& name) {
        Ui().OnNextModal([name](TCustomForm* form, UiDriver&) {
            auto* dialog = static_cast<TFileDialogForm*>(form);
            dialog->FileNameEdit()->SetText(name);
            dialog->Accept();
        });
    };
    // The first dialog starts in the base folder.
    Ui().OnNextModal([this](TCustomForm* form, UiDriver&) {
        auto* dialog = static_cast<TFileDialogForm*>(form);
        fs_start_ = dialog->Folder().string();
        dialog->FileNameEdit()->SetText(dir_ + "/ANLAGE");  // the extension comes from the dialog
        dialog->Accept();
    });
    Ui().Click("Form1.Button302");
    EXPECT_EQ(fs_start_ + "/", Program().BaseDir);
    EXPECT_EQ(
        "[INPUT]\r\n01=004;000;000;000\r\n02=032;000;000;000\r\n03=003;000;005;000\r\n04=005;000;000;000\r\n"
        "05=008;000;000;000\r\n06=009;000;000;000\r\n07=010;000;000;000\r\n08=038;000;000;000\r\n"
        "09=033;000;000;000\r\n\r\n[OUTPUT]\r\n01=130;0;0;000\r\n02=161;0;0;000\r\n03=162;0;0;000\r\n04=164;0;0;000\r\n"
        "05=165;0;0;000\r\n06=134;0;0;000\r\n07=184;0;0;000\r\n08=193;0;0;255\r\n",
        ReadFile(path));

    // The next save offers the name just used. As in any desktop file dialog, a click into the
    // name field and typing replace it: the new name, not the old one with the new one after it.
    Ui().OnNextModal([](TCustomForm* form, UiDriver& ui) {
        auto* dialog = static_cast<TFileDialogForm*>(form);
        EXPECT_EQ("ANLAGE.CFG", dialog->FileNameEdit()->Text());
        ui.Click(dialog->FileNameEdit());
        ui.Type("NEU");
        ui.Enter();
    });
    Ui().Click("Form1.Label11");  // two quick clicks on one place would make a double click
    Ui().Click("Form1.Button302");
    EXPECT_EQ(ReadFile(path), ReadFile(dir_ + "/NEU.CFG"));
    std::vector<std::string> saved;
    for (const auto& entry : std::filesystem::directory_iterator(dir_))
        if (entry.path().extension() == ".CFG") saved.push_back(entry.path().filename().string());
    std::sort(saved.begin(), saved.end());
    EXPECT_EQ((std::vector<std::string>{"ANLAGE.CFG", "NEU.CFG"}), saved);

    // Into a read-only file deep in folders of long names: the box says that nothing was saved,
    // its text wrapped within the screen and shown whole.
    std::string folder = dir_;
    for (int k = 1; k <= 5; ++k) folder += "/Kunde Müller Türanlage Gebäude " + std::to_string(k);
    std::filesystem::create_directories(folder);
    const std::string readOnly = folder + "/DOOR.CFG";
    std::filesystem::copy_file(path, readOnly);
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read);
    chooseFile(readOnly);
    std::string refusal;
    Ui().OnNextModal([&refusal](TCustomForm* form, UiDriver& ui) {
        auto* box = dynamic_cast<TFormCustMsg*>(form);
        ASSERT_NE(nullptr, box);
        refusal = box->Label1->Caption();
        EXPECT_GE(box->Left(), 0);
        EXPECT_LE(box->Left() + box->Width(), Screen->Width());
        const TRect shown = box->Label1->Measure(refusal, box->Label1->Width());
        EXPECT_LE(shown.Width(), box->Label1->Width());
        EXPECT_EQ(shown.Height(), box->Label1->Height());
        EXPECT_GT(shown.Height(), 13) << "wrapped";
        EXPECT_TRUE(ui.SaveForm(form, TestPicturePath("tovak_app_save_refused.png")));
        ui.Click(box->Button1);
    });
    Ui().Click("Form1.Label11");
    Ui().Click("Form1.Button302");
    EXPECT_EQ("Datei \"" + readOnly + "\" ist schreibgeschützt; es wurde nichts gespeichert", refusal);
    EXPECT_EQ(ReadFile(path), ReadFile(readOnly));

    // Another configuration on the page, then the file again.
    Ui().AnswerNextModalWith("Ja");
    Form1->Pages().CFG->SetDeviceType(1);
    Ui().Click("Form1.Button311");
    EXPECT_EQ(1, Form1->Pages().CFG->GetDeviceType());
    EXPECT_EQ(0x40, Form1->Pages().CFG->GetRowFunction(6));
    std::filesystem::create_directories(dir_ + "/sub");
    std::filesystem::copy_file(path, dir_ + "/sub/ANLAGE.CFG");
    chooseFile(dir_ + "/sub/ANLAGE.CFG");
    Ui().Click("Form1.Button301");
    EXPECT_EQ(0, Form1->Pages().CFG->GetDeviceType());
    Form1->Pages().CFG->EncodeInputs();
    Form1->Pages().CFG->EncodeOutputs();
    EXPECT_EQ(StandardInputText(0), Form1->Pages().TST->Edit502->Text());
    EXPECT_EQ(StandardOutputText(0), Form1->Pages().TST->Edit503->Text());
    // The next dialog starts in the folder just used, not where the program was started.
    Ui().Click("Form1.Label11");  // two quick clicks on one place would make a double click
    fs_start_.clear();
    Ui().OnNextModal([this](TCustomForm* form, UiDriver& ui) {
        fs_start_ = static_cast<TFileDialogForm*>(form)->Folder().string();
        ui.Click(static_cast<TFileDialogForm*>(form)->CancelButton());
    });
    Ui().Click("Form1.Button301");
    EXPECT_EQ(0, Form1->Pages().CFG->GetDeviceType());
    EXPECT_EQ(fs_start_, dir_ + "/sub");
}

TEST_F(ConfigRoad, WrongSilentAndHalfAnsweringDevices) {
    StartProgram();
    // A door terminal: its own message, lamps white, link closed, buttons back.
    StartSim(DoorState::DoorTerminal());
    std::string text;
    AnswerBox(text);
    ReadRoad();
    EXPECT_EQ("Falsches Gerät (MR 4721) kontaktiert !", text);
    EXPECT_EQ(2, Form1->Notebook1->PageIndex());
    EXPECT_FALSE(Session().LinkState.PortOpen);
    EXPECT_TRUE(Shown("Button201") && Shown("Button202") && Shown("Button203"));
    EXPECT_EQ(kLampIdle, Lamp("Shape201"));

    // A silent device.
    sim_->SetSilent(true);
    AnswerBox(text);
    Ui().Click("Form1.Button201");
    Ui().Click("Form1.Button101");
    EXPECT_EQ("Falsches oder kein Gerät kontaktiert !", text);
    EXPECT_EQ(2, Form1->Notebook1->PageIndex());
    EXPECT_FALSE(Session().LinkState.PortOpen);

    // The input block comes, the output block does not.
    DoorState half = DoorState::IoDevice(1);
    half.answer_output_block = false;
    StartSim(half);
    Form1->Pages().TST->Edit503->SetText("");
    Ui().Click("Form1.Button201");
    Ui().Click("Form1.Button101");
    EXPECT_EQ(kLampDone, Lamp("Shape201"));
    EXPECT_EQ(kLampFailed, Lamp("Shape202"));
    EXPECT_EQ(2, Form1->Pages().ConfigError);
    EXPECT_EQ(2, Form1->Notebook1->PageIndex());
    EXPECT_TRUE(Shown("Button201") && Shown("Button202") && Shown("Button203"));
    EXPECT_FALSE(Session().LinkState.PortOpen);
    EXPECT_FALSE(Session().Link().HasQueuedRequest());

    // Writing to it fails at the output block: "Wiederholen" encodes the rows again.
    Ui().Click("Form1.Button202");
    Form1->Pages().CFG->SetRowParam(1, 0);
    Ui().Click("Form1.Button303");
    EXPECT_EQ(4, Form1->Notebook1->PageIndex());
    EXPECT_EQ(4, Form1->Pages().ConfigError);
    EXPECT_EQ(kLampFailed, Lamp("Shape402"));
    EXPECT_TRUE(Shown("Button401"));
    Ui().Click("Form1.Button202");  // (the page's buttons stay reachable by name)
    Form1->Notebook1->SetPageIndex(4);
    Form1->Pages().CFG->SetRowFunction(1, 0x21);
    Ui().Click("Form1.Button401");
    EXPECT_EQ("21", Form1->Pages().TST->Edit502->Text().substr(0, 2));
    EXPECT_EQ(0x21, static_cast<uint8_t>(sim_->Device().State().inputs[0]));
}

TEST_F(ConfigRoad, ClosingTheLinkDuringAStepFailsTheStep) {
    DoorState half = DoorState::IoDevice(1);
    half.answer_output_block = false;
    StartSim(half);
    StartProgram();

    // Reading: Esc while the output block is awaited. Nothing is decoded, CFG is not shown.
    Form1->Pages().CFG->SetRowFunction(1, 0x21);
    WhenBusy("Shape202", [this] { Ui().Escape(); });
    ReadRoad();
    EXPECT_EQ(kLampDone, Lamp("Shape201"));
    EXPECT_EQ(kLampFailed, Lamp("Shape202"));
    EXPECT_EQ(2, Form1->Pages().ConfigError);
    EXPECT_NE(3, Form1->Notebook1->PageIndex());
    EXPECT_EQ(0x21, Form1->Pages().CFG->GetRowFunction(1));
    EXPECT_FALSE(Session().LinkState.PortOpen);
    EXPECT_FALSE(Session().Link().HasQueuedRequest());

    // Writing: Esc while the output block's result is awaited: no "saved" message and no
    // read-back (the port stays closed).
    Form1->Notebook1->SetPageIndex(3);
    std::string box;
    Ui().OnNextModal([&box](TCustomForm* form, UiDriver& ui) {
        auto* msg = dynamic_cast<TFormCustMsg*>(form);
        box = msg->Label1->Caption();
        ui.Click(msg->Button1->Visible() ? msg->Button1 : msg->Button2);
    });
    WhenBusy("Shape402", [this] { Ui().Escape(); });
    Ui().Click("Form1.Button303");
    EXPECT_EQ(4, Form1->Pages().ConfigError);
    EXPECT_EQ(kLampFailed, Lamp("Shape402"));
    EXPECT_EQ("", box);
    EXPECT_FALSE(Session().LinkState.PortOpen);
    EXPECT_FALSE(Session().Link().HasQueuedRequest());
    EXPECT_EQ(1, Ui().PendingModalScripts());

    // The test page's Close during ReadAll.
    Form1->Notebook1->SetPageIndex(5);
    Ui().Click("Form1.Button501");
    ASSERT_TRUE(Session().LinkState.PortOpen);
    WhenBusy("Shape202", [this] { Ui().Click("Form1.Button502"); });
    Ui().Click("Form1.Button507");
    EXPECT_EQ("HasErr=2", Form1->Pages().TST->Label502->Text());
    EXPECT_FALSE(Session().LinkState.PortOpen);

    // The adapter pulled during ReadAll: the link closes, the step fails, the program says
    // so and leaves the test page, and the protocol window and the log say what the system
    // said.
    Ui().Click("Form1.Button501");
    ASSERT_TRUE(Session().LinkState.PortOpen);
    WhenBusy("Shape202", [this] { sim_->Unplug(); });
    Ui().Click("Form1.Button507");
    EXPECT_EQ("HasErr=2", Form1->Pages().TST->Label502->Text());
    EXPECT_FALSE(Session().LinkState.PortOpen);
    EXPECT_EQ(GetCompText(1650), box);
    EXPECT_EQ(0, Ui().PendingModalScripts());
    EXPECT_EQ(0, Form1->Notebook1->PageIndex());
    const std::string status = FormSercom->StatusBar1->Panels()->Items(1)->Text();
    EXPECT_NE(std::string::npos, status.find(sim_->SlavePath())) << status;
    EXPECT_NE(std::string::npos, ReadFile(LogFileName("TOVAK-COM-")).find(status));
}

TEST_F(ConfigRoad, AnAdapterPulledDuringTheWriteSaysSoOnceAndKeepsThePageAndItsEdits) {
    StartSim(DoorState::IoDevice(1));
    StartProgram();
    Form1->Notebook1->SetPageIndex(3);
    Form1->Pages().CFG->SetRowFunction(1, 0x21);
    std::string text;
    AnswerBox(text);
    WhenBusy("Shape401", [this] { sim_->Unplug(); });
    Ui().Click("Form1.Button303");
    EXPECT_EQ(GetCompText(1650), text);
    EXPECT_EQ(0, Ui().PendingModalScripts());
    EXPECT_EQ(4, Form1->Notebook1->PageIndex());
    EXPECT_EQ(3, Form1->Pages().ConfigError);
    EXPECT_EQ(kLampFailed, Lamp("Shape401"));
    EXPECT_TRUE(Shown("Button401"));
    EXPECT_EQ(0x21, Form1->Pages().CFG->GetRowFunction(1));
    EXPECT_FALSE(Session().LinkState.PortOpen);
}

TEST_F(ConfigRoad, PortZeroLetsTheUserChooseThePort) {
    StartSim(DoorState::IoDevice(0));
    StartProgram();
    Form1->Notebook1->SetPageIndex(5);
    Form1->Pages().TST->Edit501->SetText("0");
    // Cancelled: the port stays closed and the usual message says so.
    bool asked = false;
    Ui().OnNextModal([&asked](TCustomForm* form, UiDriver& ui) {
        auto* dialog = dynamic_cast<TComSelectForm*>(form);
        ASSERT_NE(nullptr, dialog);
        asked = true;
        ui.Click(dialog->AbortBtn);
    });
    std::string text;
    AnswerBox(text);
    Ui().Click("Form1.Button501");
    EXPECT_TRUE(asked);
    EXPECT_EQ("COM0 kann nicht geöffnet werden !", text);
    EXPECT_FALSE(Session().LinkState.PortOpen);

    // The device's port chosen: the link opens on it.
    Ui().OnNextModal([](TCustomForm* form, UiDriver& ui) {
        auto* dialog = dynamic_cast<TComSelectForm*>(form);
        ASSERT_NE(nullptr, dialog);
        dialog->PortsComboBox->SetItemIndex(dialog->PortsComboBox->Items()->IndexOf("COM" + std::to_string(kPort)));
        ui.Click(dialog->OkBtn);
    });
    Ui().Click("Form1.Button501");
    EXPECT_TRUE(Session().LinkState.PortOpen);
    EXPECT_TRUE(Ui().WaitFor([this] { return sim_->ExchangeCount() > 2; }));
}

TEST_F(ConfigRoad, ASlowButGoodBlockIsNotAFailureAndOneLaterThanTheStepsSecondIs) {
    DoorState slow = DoorState::IoDevice(0);
    slow.block_late_ms = 750;
    StartSim(slow);
    StartProgram();
    ReadRoad();
    EXPECT_EQ(0, Form1->Pages().ConfigError);
    EXPECT_EQ(3, Form1->Notebook1->PageIndex());

    slow.block_late_ms = static_cast<int>(kHandshakeStepMs) + 300;
    StartSim(slow);
    Form1->Notebook1->SetPageIndex(1);
    Ui().Click("Form1.Button101");
    EXPECT_EQ(1, Form1->Pages().ConfigError);
    EXPECT_EQ(kLampFailed, Lamp("Shape201"));
    EXPECT_EQ(kLampIdle, Lamp("Shape202"));
    EXPECT_EQ(2, Form1->Notebook1->PageIndex());
}

TEST_F(ConfigRoad, TestPageFramesRequestsAndVirtualInputs) {
    StartSim(DoorState::IoDevice(2));
    StartProgram();
    Form1->Notebook1->SetPageIndex(5);
    EXPECT_FALSE(Form1->Pages().TST->Button503->Enabled());
    Ui().Click("Form1.Button501");
    ASSERT_TRUE(Session().LinkState.PortOpen);
    EXPECT_FALSE(Form1->Pages().TST->Button501->Enabled());
    EXPECT_TRUE(Form1->Pages().TST->Button506->Enabled());
    EXPECT_NE(std::string::npos, ReadFile(Program().BaseDir + "TOVAK.INI").find("COT=7"));

    // Both blocks at once, then one block on its own.
    Ui().Click("Form1.Button507");
    EXPECT_EQ("HasErr=0", Form1->Pages().TST->Label502->Text());
    EXPECT_EQ(TSercomLink::BytesToHexList(sim_->Device().State().outputs), Form1->Pages().TST->Edit503->Text());
    Form1->Pages().TST->Edit502->SetText("");
    Ui().Click("Form1.Button503");
    EXPECT_TRUE(Ui().WaitFor([] { return !Form1->Pages().TST->Edit502->Text().empty(); }));

    // A door command from the list, and raw DATA.
    sim_->ClearExchanges();
    auto* list = Form1->Pages().TST->ComboBox551;
    list->SetItemIndex(0);
    Ui().Click("Form1.Button551");  // "--- Steuern ---" sends nothing
    EXPECT_EQ(0, FormSercom->ListBox2->Count());
    list->SetItemIndex(2);
    Ui().Click("Form1.Label1");  // two quick clicks on one place would make a double click
    Ui().Click("Form1.Button551");
    Form1->Pages().TST->Edit553->SetText(" 20,10 ");
    Ui().Click("Form1.Button553");
    EXPECT_TRUE(Ui().WaitFor([this] {
        auto sent = SentData();
        return std::find(sent.begin(), sent.end(), "20,10") != sent.end();
    }));
    auto sent = SentData();
    auto command = std::find(sent.begin(), sent.end(), "FB,02,00,50,01");
    ASSERT_NE(sent.end(), command);
    // The device answers the command with its door state, which is acknowledged first.
    EXPECT_NE(sent.end(), std::find(command, sent.end(), "28,28,00"));
    EXPECT_NE(sent.end(), std::find(command, sent.end(), "20,10"));

    // Virtual inputs 00 and 17: FD 01 80 with the header 00 02, at once.
    Form1->Pages().TST->PageControl2->SetActivePage(Form1->Pages().TST->TabSheet4);
    Ui().Click("Form1.CheckBox1");
    Ui().Click("Form1.CheckBox16");
    EXPECT_EQ(std::string("\x01\x80", 2), Form1->Pages().TST->VirtualInputBytes());
    Ui().Click("Form1.Button511");
    EXPECT_TRUE(Ui().WaitFor([this] { return !sim_->Device().State().virtual_inputs.empty(); }));
    EXPECT_EQ(std::string("\xFD\x01\x80", 3), sim_->Device().State().virtual_inputs.at(0));

    Ui().Click("Form1.Button502");
    EXPECT_FALSE(Session().LinkState.PortOpen);
    EXPECT_TRUE(Form1->Pages().TST->Button501->Enabled());
}

// A TOVAK.INI that may not take the port's number: the port the technician opened is open,
// shown open and usable, and a box says why its number was not stored; the file stays.
TEST_F(ConfigRoad, TestPageKeepsThePortOpenWhoseNumberTovakIniCouldNotStore) {
    StartSim(DoorState::IoDevice(2));
    StartProgram();
    const std::string ini = Program().BaseDir + "TOVAK.INI";
    const std::string before = ReadFile(ini);
    ASSERT_EQ(0, ::chmod(ini.c_str(), 0444));
    Form1->Notebook1->SetPageIndex(5);
    TPageTST& tst = *Form1->Pages().TST;
    for (int open = 0; open < 2; ++open) {
        SCOPED_TRACE(open == 0 ? "first Open" : "Open again after Close");
        std::string box;
        AnswerBox(box);
        Ui().Click("Form1.Button501");
        EXPECT_EQ("Der Port ist offen, aber seine Nummer kann nicht in TOVAK.INI gespeichert werden:\rDatei \"" + ini +
                      "\" ist schreibgeschützt; es wurde nichts gespeichert",
                  box);
        ASSERT_TRUE(Session().LinkState.PortOpen);
        EXPECT_FALSE(tst.Button501->Enabled());
        for (TAppButton* b : {tst.Button502, tst.Button503, tst.Button504, tst.Button505, tst.Button506})
            EXPECT_TRUE(b->Enabled()) << b->Name();
        EXPECT_EQ(before, ReadFile(ini));

        tst.Edit502->SetText("");
        Ui().Click("Form1.Button503");
        EXPECT_TRUE(Ui().WaitFor([&tst] { return !tst.Edit502->Text().empty(); }));
        Ui().Click("Form1.Button502");
        EXPECT_FALSE(Session().LinkState.PortOpen);
        EXPECT_TRUE(tst.Button501->Enabled());
    }
    ::chmod(ini.c_str(), 0644);
}

TEST_F(ConfigRoad, PagePictures) {
    // Pictures for looking at the layout.
    const std::string out = TestPicturesFolder();
    StartProgram();
    Form1->Pages().TST->Edit502->SetText(StandardInputText(0));
    Form1->Pages().TST->Edit503->SetText(StandardOutputText(0));
    Form1->Pages().COM->Button102Click();
    EXPECT_TRUE(Ui().SaveForm(Form1, out + "/cfg-type0-inputs.png"));
    Form1->Pages().CFG->PageControl1->SetActivePage(Form1->Pages().CFG->TabSheet2);
    EXPECT_TRUE(Ui().SaveForm(Form1, out + "/cfg-type0-outputs.png"));
    Form1->Pages().CFG->SetDeviceType(2);
    Form1->Pages().CFG->Button921Click();
    EXPECT_FALSE(Form1->Pages().CFG->Button921->Visible());
    EXPECT_TRUE(Form1->Pages().CFG->Button922->Visible());
    EXPECT_TRUE(Ui().SaveForm(Form1, out + "/cfg-type2-outputs2.png"));
    Form1->Notebook1->SetPageIndex(5);
    EXPECT_TRUE(Ui().SaveForm(Form1, out + "/test-page.png"));
    Form1->Pages().TST->PageControl2->SetActivePage(Form1->Pages().TST->TabSheet4);
    EXPECT_TRUE(Ui().SaveForm(Form1, out + "/test-page-belvar.png"));
    Form2->Show();
    EXPECT_TRUE(Ui().SaveForm(Form2, out + "/alarm-mask.png"));
    Form2->Hide();
    Form3->SplitToEdits(StandardInputText(0));
    Form3->Show();
    EXPECT_TRUE(Ui().SaveForm(Form3, out + "/block-text.png"));
    Form3->Hide();
}

TEST_F(ConfigRoad, AFileWithoutAWholeConfigurationIsRefusedAndTheRowsStay) {
    StartProgram();
    Ui().Click("Form1.Button002");
    Form1->Pages().TST->Edit502->SetText(StandardInputText(0));
    Form1->Pages().TST->Edit503->SetText(StandardOutputText(0));
    Ui().Click("Form1.Button102");
    ASSERT_EQ(3, Form1->Notebook1->PageIndex());
    // Junk, a file of this program cut short (a copy that broke off inside its inputs), and a
    // file far larger than any configuration (a log picked by mistake), refused before it is
    // read however its lines look.
    std::string huge = "[INPUT]\r\n";
    for (int k = 0; huge.size() <= 1024 * 1024; ++k) huge += "K" + std::to_string(k) + "=001;000;000;000\r\n";
    const std::pair<std::string, const char*> files[] = {
        {"[MAIN]\r\nCOM=3\r\n", "keine Konfigurationsdatei"},
        {std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "keine Konfigurationsdatei"},
        {"[INPUT]\r\n01=001;000;000;000\r\n02=002;000;001;000\r\n03=003;0", "unvollständig"},
        {huge, "zu groß für eine Konfigurationsdatei"},
    };
    for (const auto& [junk, refusal] : files) {
        const std::string path = dir_ + "/JUNK.CFG";
        WriteFile("JUNK.CFG", junk);
        Ui().OnNextModal([path](TCustomForm* form, UiDriver&) {
            auto* dialog = static_cast<TFileDialogForm*>(form);
            dialog->FileNameEdit()->SetText(path);
            dialog->Accept();
        });
        std::string error;
        AnswerBox(error);
        Ui().Click("Form1.Button301");
        EXPECT_NE(std::string::npos, error.find(refusal)) << error;
        EXPECT_EQ(0, Form1->Pages().CFG->GetDeviceType()) << "the rows stay as they were";
        Form1->Pages().CFG->EncodeInputs();
        EXPECT_EQ(StandardInputText(0), Form1->Pages().TST->Edit502->Text());
        EXPECT_EQ(Ui().PendingModalScripts(), 0);
    }
    // Saved into that file, the rows would be written into something that is no
    // configuration: it stays as it was.
    const std::string path = dir_ + "/JUNK.CFG";
    Ui().OnNextModal([path](TCustomForm* form, UiDriver&) {
        auto* dialog = static_cast<TFileDialogForm*>(form);
        dialog->FileNameEdit()->SetText(path);
        dialog->Accept();
    });
    std::string error;
    AnswerBox(error);
    Ui().Click("Form1.Button302");
    EXPECT_NE(std::string::npos, error.find("zu groß")) << error;
    EXPECT_EQ(huge, ReadFile(path));
}

TEST_F(ConfigRoad, AValueItsByteCannotHoldIsRefusedBeforeAnythingIsWritten) {
    DoorState state = DoorState::IoDevice(0);
    state.inputs = Bytes(StandardInputText(0));
    state.outputs = Bytes(StandardOutputText(0));
    StartSim(state);
    StartProgram();
    ReadRoad();
    ASSERT_EQ(3, Form1->Notebook1->PageIndex());
    const std::string path = dir_ + "/ANLAGE.CFG";
    WriteFile("ANLAGE.CFG", "[INPUT]\r\n01=004;000;000;000\r\n");
    for (const char* typed : {"300", "abc", "-1"}) {
        Form1->Pages().CFG->RowParamEdit(3)->SetText(typed);
        // Saving: the box names the row, no file dialog opens, the file stays.
        std::string message;
        AnswerBox(message);
        Ui().Click("Form1.Button302");
        EXPECT_EQ("Eingang 3: \"" + std::string(typed) +
                      "\" ist kein gültiger Wert (0 bis 255). Es wurde nichts gespeichert.",
                  message);
        EXPECT_EQ(Ui().PendingModalScripts(), 0);
        EXPECT_EQ("[INPUT]\r\n01=004;000;000;000\r\n", ReadFile(path));
        // Writing to the device: refused the same way, nothing goes out.
        sim_->ClearExchanges();
        message.clear();
        AnswerBox(message);
        Ui().Click("Form1.Button303");
        EXPECT_NE(std::string::npos, message.find("Eingang 3")) << message;
        EXPECT_EQ(3, Form1->Notebook1->PageIndex());
        EXPECT_EQ(sim_->Device().State().inputs, Bytes(StandardInputText(0)));
        for (const std::string& data : SentData()) EXPECT_NE(0u, data.rfind("FB,13,", 0)) << data;
    }
    // 255 fits; an output's time limit is only checked where the row uses it.
    Form1->Pages().CFG->RowParamEdit(3)->SetText("255");
    EXPECT_TRUE(Form1->Pages().CFG->RowValuesFit());
    Form1->Pages().CFG->RowParamEdit(21)->SetText("999");
    EXPECT_TRUE(Form1->Pages().CFG->RowValuesFit()) << "row 21 has no time limit";
    Form1->Pages().CFG->SetRowFunction(21, 0xB0);
    Form1->Pages().CFG->RowParamEdit(21)->SetText("999");
    std::string message;
    AnswerBox(message);
    EXPECT_FALSE(Form1->Pages().CFG->RowValuesFit());
    EXPECT_EQ("Ausgang 1: \"999\" ist kein gültiger Wert (0 bis 255). Es wurde nichts gespeichert.", message);
}

TEST_F(ConfigRoad, TheLongestFunctionNameShowsWholeInTheRowDropDowns) {
    StartProgram();
    int longest = 0;
    std::string name;
    for (int type = 0; type < kDeviceTypeCount; ++type) {
        Form1->Pages().CFG->SetDeviceType(type);
        for (const auto& rows : {InputRowsOf(type), OutputRowsOf(type)})
            for (int r : rows) {
                TAppImageEdit* e = Form1->Pages().CFG->RowFunctionEdit(r);
                std::unique_ptr<TvxEditViewData> vd = e->CreateViewData(false);
                vd->Bounds = Rect(0, 0, e->Width(), e->Height());
                TvxEditViewInfo vi;
                e->EditClass().CalcViewInfo(*vd, false, vi);
                for (int i = 0; i < e->Descriptions()->Count(); ++i) {
                    const std::string text = e->Descriptions()->Strings(i);
                    const int w = MeasureText(e->Font(), text, Rect(0, 0, 0, 0), DT_SINGLELINE | DT_NOPREFIX).Width();
                    if (w > longest) {
                        longest = w;
                        name = text;
                    }
                    EXPECT_LE(w, vi.ContentRect.Width() - 4) << "row " << r << ": " << text;
                }
            }
    }
    EXPECT_GT(longest, 0) << name;
}

TEST_F(ConfigRoad, EscapeClosingAPopUpLeavesThePageAndTheProgramAlone) {
    StartProgram();
    Ui().Click("Form1.Button002");
    Form1->Pages().TST->Edit502->SetText(StandardInputText(0));
    Form1->Pages().TST->Edit503->SetText(StandardOutputText(0));
    Ui().Click("Form1.Button102");
    ASSERT_EQ(3, Form1->Notebook1->PageIndex());
    // A function drop-down: Escape closes the list, the page and its edits stay.
    TAppImageEdit* function = Form1->Pages().CFG->RowFunctionEdit(1);
    function->SetFocus();
    Ui().PressKey(VK_F4);
    Ui().Pump();
    ASSERT_TRUE(function->IsDroppedDown());
    Ui().Escape();
    Ui().Pump();
    EXPECT_FALSE(function->IsDroppedDown());
    EXPECT_EQ(3, Form1->Notebook1->PageIndex());
    EXPECT_EQ(0x04, Form1->Pages().CFG->GetRowFunction(1));
    // An editor's right-click menu: Escape closes the menu only.
    TAppEdit* delay = Form1->Pages().CFG->RowParamEdit(3);
    Ui().RightClick(delay);
    Ui().Pump();
    ASSERT_NE(nullptr, delay->EditMenu());
    ASSERT_TRUE(delay->EditMenu()->IsOpen());
    Ui().Escape();
    Ui().Pump();
    EXPECT_FALSE(delay->EditMenu()->IsOpen());
    EXPECT_EQ(3, Form1->Notebook1->PageIndex());
    EXPECT_FALSE(EnsureApplication()->Terminated());
    // With nothing open, Escape is the window's again: back to the start page.
    Ui().Escape();
    Ui().Pump();
    EXPECT_EQ(0, Form1->Notebook1->PageIndex());
}
