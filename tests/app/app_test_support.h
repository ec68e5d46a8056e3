#pragma once
// A fresh program start for each test: its own base folder, ports folder and settings file,
// a chosen command line, the manual clock, and the ten windows made as the program makes
// them; the main window shown headless. Everything is taken down afterwards.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/common/cust_msg.h"
#include "app/main_form.h"
#include "app/pages/main_pages.h"
#include "app/program_start.h"
#include "link/form_sercom.h"
#include "platform/forms/application.h"
#include "platform/forms/screen.h"
#include "platform/rtl/param_str.h"
#include "platform/sync/clock.h"
#include "program/command_line.h"
#include "program/program_context.h"
#include "program/program_dirs.h"
#include "serial/ser_com_port.h"
#include "tests/grid/grid_table_check.h"
#include "tests/link/steady_advance.h"
#include "tests/support/auto_advance.h"
#include "tests/support/temp_folder.h"
#include "tests/support/ui_driver.h"

// The running program's device session (the main window's).
inline TDeviceSession& Session() { return Form1->Session(); }

// Runs `act` once, inside the port's next close. When the device went away the link is down
// there and its loss not yet reported; the close's wait for the port's threads lets timers and
// waits run (for as long as the threads take to end on a loaded machine), and `act` stands in
// for them. Ends with the object.
class InPortClose {
public:
    explicit InPortClose(std::function<void()> act) {
        FormSercom->Com1->OnPortClose = [this, act = std::move(act)](TObject*) {
            if (ran_) return;
            ran_ = true;
            act();
        };
    }
    ~InPortClose() {
        if (FormSercom) FormSercom->Com1->OnPortClose = nullptr;
    }
    InPortClose(const InPortClose&) = delete;
    InPortClose& operator=(const InPortClose&) = delete;
    bool Ran() const { return ran_; }

private:
    bool ran_ = false;
};

// Every DB grid of the program's windows that shows a memory table is held against it.
inline void ExpectProgramGridsAgreeWithTheirTables() {
    if (!Screen) return;
    for (int f = 0; f < Screen->FormCount(); ++f) ExpectOwnedGridsAgreeWithTheirTables(Screen->Forms(f));
}

class AppStart : public ::testing::Test {
protected:
    // Answers the next message box with its only button, keeping its text.
    void AnswerBox(std::string& text) {
        Ui().OnNextModal([&text](TCustomForm* form, UiDriver& ui) {
            auto* box = dynamic_cast<TFormCustMsg*>(form);
            ASSERT_NE(nullptr, box);
            text = box->Label1->Caption();
            ui.Click(box->Button1->Visible() ? box->Button1 : box->Button2);
        });
    }
    void SetUp() override {
        dir_ = temp_.Path().string();
        Program().BaseDir = dir_ + "/";
        Program().ProtDir = Program().BaseDir + "PROT/";
        std::filesystem::create_directories(dir_ + "/ports");
        setenv("TOVAK_PORTS", (dir_ + "/ports").c_str(), 1);
        setenv("TOVAK_OPENER", "true", 1);
        clock_ = std::make_unique<ScopedManualClock>();
        ui_ = std::make_unique<UiDriver>();
        ProgramLinkForPacing() = [] { return Form1 ? &Form1->Session().Link() : nullptr; };
    }

    void TearDown() override {
        if (FormSercom && Session().LinkState.PortOpen) Session().ClosePort();
        if (skipAgreementCheck.empty()) ExpectProgramGridsAgreeWithTheirTables();
        DestroyProgramForms();
        ui_.reset();
        clock_.reset();
        SetCommandLineForTesting({});
        ParseParams();
        unsetenv("TOVAK_PORTS");
        unsetenv("TOVAK_OPENER");
    }

    void WriteFile(const std::string& name, const std::string& text) {
        std::ofstream out(Program().BaseDir + name, std::ios::binary);
        out << text;
    }
    std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // Starts the program with `args` and shows the main window (its first show runs).
    void Start(std::vector<std::string> args = {}) {
        args.insert(args.begin(), "tovak");
        SetCommandLineForTesting(args);
        ParseParams();
        CreateProgramForms();
        Form1->Show();
        ui_->Pump(100);
    }

    // Lets the manual clock run `ms` in 100 ms steps, handling the timers on the way.
    void Run(uint64_t ms) {
        for (uint64_t t = 0; t < ms; t += 100) {
            (*clock_)->Advance(100);
            ui_->Pump(50);
        }
    }

    // The program's own pauses (Delay) end without real waiting while one is alive.
    using AutoAdvance = ::AutoAdvance;

    UiDriver& Ui() { return *ui_; }
    ManualClock& Clock() { return **clock_; }

    TempFolder temp_{"tovak-app"};
    std::string dir_;
    // Why the program's grids are not held against their tables at the end, when they are not.
    std::string skipAgreementCheck;
    std::unique_ptr<ScopedManualClock> clock_;
    std::unique_ptr<UiDriver> ui_;
};
