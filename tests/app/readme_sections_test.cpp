// The README's door-controller section, its commands run as written on the base folder that
// scripts/run.sh seeds: every road keeps its port, and the start page shows the button that
// leads to the controller's pages. The test page opens with the command lines and the pass
// word the README gives.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/pages/configuration/page_com.h"
#include "app/pages/configuration/page_pwx.h"
#include "app/pages/configuration/page_tst.h"
#include "app/pages/control/page_coc.h"
#include "app/pages/controller/page_ct1.h"
#include "app/pages/page_sel.h"
#include "program/program_context.h"
#include "tests/app/app_test_support.h"
#include "tests/app/readme_commands.h"

TEST_F(AppStart, TheReadmesControllerCommandsKeepTheSeededPortsAndShowTheButton) {
    // What scripts/run.sh writes at its first start (RunScript checks that it does).
    const std::string seeded = "[MAIN]\r\nCOC=3\r\nCOM=4\r\nCOT=4\r\nCTC=5\r\nCSM=1\r\n";
    WriteFile("TOVAK.INI", seeded);
    // The section names the folder of scripts/run.sh: $XDG_DATA_HOME/tovak is this base folder.
    std::filesystem::create_directories(dir_ + "/xdg");
    ASSERT_EQ(0, symlink(dir_.c_str(), (dir_ + "/xdg/tovak").c_str()));
    const std::vector<std::string> commands = ReadmeCommands("Door-controller pages");
    ASSERT_FALSE(commands.empty());
    {
        std::ofstream script(dir_ + "/commands.sh");
        for (const std::string& c : commands) script << c << "\n";
    }
    const std::string run = "cd / && HOME=" + dir_ + "/home XDG_DATA_HOME=" + dir_ + "/xdg bash -e " + dir_ +
                            "/commands.sh >" + dir_ + "/out.txt 2>&1";
    ASSERT_EQ(0, std::system(run.c_str())) << ReadFile(dir_ + "/out.txt");
    EXPECT_EQ(0u, ReadFile(Program().BaseDir + "TOVAK.INI").find(seeded)) << "the seeded settings stay as they were";

    Start();
    EXPECT_EQ("3", Form1->Pages().COC->Edit601->Text());
    EXPECT_EQ("4", Form1->Pages().COM->Edit101->Text());
    EXPECT_EQ("5", Form1->Pages().CT1->Edit2401->Text());
    ASSERT_TRUE(Form1->Pages().SEL->Button003->Visible());
    EXPECT_EQ("MOLT-30 konfigurieren", Form1->Pages().SEL->Button003->Caption());
    Ui().Click(Form1->Pages().SEL->Button003);
    EXPECT_EQ(TPageCT1::Index, Form1->Notebook1->PageIndex());
}

TEST_F(AppStart, TheReadmesTestPageCommandsReachTheTestPage) {
    const std::string run = "bash scripts/run.sh ";
    int commands = 0;
    for (const std::string& command : ReadmeCommands("Trying it without hardware")) {
        if (command.rfind(run + "/TEST", 0) != 0) continue;
        ++commands;
        SCOPED_TRACE(command);
        std::vector<std::string> args;
        std::istringstream words(command.substr(run.size(), command.find('#') - run.size()));
        for (std::string word; words >> word;) args.push_back(word);
        Start(args);
        const bool withPassWord = std::any_of(args.begin(), args.end(),
                                              [](const std::string& a) { return a.rfind("/PWD=", 0) == 0; });
        if (!withPassWord) {
            ASSERT_EQ(TPagePWX::Index, Form1->Notebook1->PageIndex());
            Ui().Type("quarzmen");  // the README's pass word, in lower case
            Ui().Enter();
        }
        EXPECT_EQ(TPageTST::Index, Form1->Notebook1->PageIndex());
        DestroyProgramForms();
    }
    EXPECT_EQ(2, commands);
}
