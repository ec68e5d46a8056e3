#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "platform/rtl/param_str.h"
#include "platform/sync/clock.h"
#include "program/command_line.h"
#include "program/log_file.h"
#include "program/program_context.h"
#include "program/program_dirs.h"
#include "program/text_utils.h"
#include "tests/support/temp_folder.h"

namespace {

std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class UtcZone : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        saved_tz_ = tz ? tz : "";
        had_tz_ = tz != nullptr;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override {
        if (had_tz_)
            setenv("TZ", saved_tz_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
        SetCommandLineForTesting({});
    }

private:
    std::string saved_tz_;
    bool had_tz_ = false;
};

using CommandLine = UtcZone;
using LogFile = UtcZone;

}  // namespace

TEST_F(CommandLine, SplitsKeysAndValuesAndUpperCasesKeysWithUmlauts) {
    SetCommandLineForTesting(
        {"/opt/tovak/tovak", "/netinfo,3,FILE", "/filename=my_config_file.cfg", "/grün=a=b", "/PWD=QUARZMEN"});
    ParseParams();
    ASSERT_EQ(Program().ParamPairCount, 4);
    EXPECT_EQ(Program().ParamKeys[1], "/NETINFO,3,FILE");
    EXPECT_EQ(Program().ParamValues[1], "");
    EXPECT_EQ(Program().ParamKeys[2], "/FILENAME");
    EXPECT_EQ(Program().ParamValues[2], "my config file.cfg");
    EXPECT_EQ(Program().ParamKeys[3], "/GRÜN");
    EXPECT_EQ(Program().ParamValues[3], "a=b");
    EXPECT_EQ(Program().ParamValues[4], "QUARZMEN");
}

TEST_F(CommandLine, TakesOnlyTheFirstFiftyArguments) {
    std::vector<std::string> args = {"tovak"};
    for (int i = 1; i <= 60; ++i) args.push_back("/K" + std::to_string(i));
    SetCommandLineForTesting(args);
    ParseParams();
    EXPECT_EQ(Program().ParamPairCount, 50);
    EXPECT_EQ(Program().ParamKeys[50], "/K50");
}

TEST_F(CommandLine, FolderOptionsReplaceTheFoldersAsGiven) {
    const TempFolder folder("tovak-link");
    const std::string dir = folder.Path().string() + "/";
    SetCommandLineForTesting({dir + "tovak.bin", "/protdir=/var/log/tovak", "/DATADIR=/data/"});
    InitProgramDirs();
    EXPECT_EQ(Program().BaseDir, dir);
    EXPECT_EQ(Program().ProgramName, "tovak");
    EXPECT_EQ(Program().ProtDir, "/var/log/tovak");  // no separator added: file names are glued on
    EXPECT_EQ(Program().DataDir, "/data/");
    EXPECT_EQ(Program().ComdDir, dir + "COMD/");
    EXPECT_EQ(Program().TempDir, dir + "TEMP/");

    // The base folder takes the logs and the other folders along, unless they are given too.
    SetCommandLineForTesting({dir + "tovak", "/PROTDIR=/var/log/tovak/", "/BASEDIR=/srv/tovak"});
    InitProgramDirs();
    EXPECT_EQ(Program().BaseDir, "/srv/tovak/");
    EXPECT_EQ(Program().DataDir, "/srv/tovak/DATA/");
    EXPECT_EQ(Program().TempDir, "/srv/tovak/TEMP/");
    EXPECT_EQ(Program().ProtDir, "/var/log/tovak/");
    SetCommandLineForTesting({dir + "tovak", "/BASEDIR=/srv/tovak/"});
    InitProgramDirs();
    EXPECT_EQ(Program().ProtDir, "/srv/tovak/PROT/");

    // "_" stands for a blank, unless the folder exists as written and not with blanks.
    std::filesystem::create_directories(dir + "j_smith/PROT");
    std::filesystem::create_directories(dir + "both_ways");
    std::filesystem::create_directories(dir + "both ways");
    SetCommandLineForTesting({dir + "tovak", "/BASEDIR=" + dir + "j_smith", "/BOOKDIR=" + dir + "both_ways/",
                              "/COMDDIR=" + dir + "no_such/", "/PROTDIR=" + dir + "j_smith/PROT/"});
    InitProgramDirs();
    EXPECT_EQ(Program().BaseDir, dir + "j_smith/");
    EXPECT_EQ(Program().DataDir, dir + "j_smith/DATA/");
    EXPECT_EQ(Program().ProtDir, dir + "j_smith/PROT/");
    EXPECT_EQ(Program().BookDir, dir + "both ways/");
    std::string blanked = dir + "no_such/";
    std::replace(blanked.begin(), blanked.end(), '_', ' ');
    EXPECT_EQ(Program().ComdDir, blanked);
}

TEST_F(CommandLine, AnInstalledProgramKeepsItsDataWithTheUser) {
    const TempFolder folder("tovak-link");
    const std::string dir = folder.Path().string() + "/";
    const std::string bin = dir + "bin/";
    std::filesystem::create_directories(bin);
    const char* old = std::getenv("XDG_DATA_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_DATA_HOME", (dir + "share").c_str(), 1);
    SetCommandLineForTesting({bin + "tovak"});
    InitProgramDirs();
    EXPECT_EQ(Program().BaseDir, dir + "share/tovak/");
    EXPECT_EQ(Program().ProtDir, dir + "share/tovak/PROT/");
    // Where it was built (a writable folder of another name) it keeps them beside itself.
    SetCommandLineForTesting({dir + "tovak"});
    InitProgramDirs();
    EXPECT_EQ(Program().BaseDir, dir);
    if (old)
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}

TEST_F(LogFile, AppendsDatedLinesToTheMonthlyFileAndCreatesTheFolder) {
    const TempFolder folder("tovak-link");
    const std::string dir = folder.Path().string() + "/";
    ScopedManualClock clock(1772721000000);  // 2026-03-05 14:30:00 UTC
    Program().ProtDir = dir + "PROT/";
    WriteLogLine("TOVAK-COM-", "MustWaitLonger", "first");
    clock->Advance(61'000);
    WriteLogLine("TOVAK-COM-", "X", "zweite Zeile äöü");

    std::string file = Program().ProtDir + "TOVAK-COM-202603.PRT";
    EXPECT_EQ(LogFileName("TOVAK-COM-"), file);
    EXPECT_EQ(ReadFile(file),
              "05.03.2026 14:30:00 MustWaitLo first\r\n"
              "05.03.2026 14:31:01 X          zweite Zeile äöü\r\n");
}

TEST_F(LogFile, ALineThatCannotBeWrittenIsDroppedQuietly) {
    Program().ProtDir = "/proc/no-such-folder/";
    WriteLogLine("TOVAK-MEN-", "START", "-");  // must neither throw nor crash
    SUCCEED();
}

TEST(TextUtils, TokensAndSplitting) {
    EXPECT_EQ(NextToken("1|Eins|2|Zwei", "|"), "1");
    EXPECT_EQ(NextToken("|"), "Eins");
    EXPECT_EQ(NextToken("|"), "2");
    EXPECT_EQ(NextToken("|"), "Zwei");
    EXPECT_EQ(Program().TokenRest, "");
    EXPECT_EQ(NextToken("|"), "");

    std::string text = "AA,BB", head;
    SplitFirst(text, ",", head);
    EXPECT_EQ(head, "AA");
    EXPECT_EQ(text, "BB");
    SplitFirst(text, ",", head);
    EXPECT_EQ(head, "BB");
    EXPECT_EQ(text, "");
}

TEST(TextUtils, PaddingAndCuttingCountCharacters) {
    EXPECT_EQ(FitLengthStr("STOPP", 10), "STOPP     ");
    EXPECT_EQ(FitLengthStr("Überlänge-Text", 5), "Überl");
    std::string s = "12345";
    PadCut(s, 3, '0', true);
    EXPECT_EQ(s, "345");
    s = "7";
    PadCut(s, 3, '0', true);
    EXPECT_EQ(s, "007");
    s = "ab";
    PadCut(s, 4, '.', false);
    EXPECT_EQ(s, "ab..");
    EXPECT_EQ(TrimBlanksStr("  a b \t "), "a b \t");
    EXPECT_EQ(UpperCaseDEStr("grüße äöü é"), "GRÜßE ÄÖÜ é");
    EXPECT_EQ(BoolToJN(true) + BoolToJN(false), "JN");
}

TEST(TextUtils, NumbersAndHex) {
    EXPECT_EQ(IntToStrZero(7, 3), "007");
    EXPECT_EQ(IntToStrZero(1234, 3), "1234");
    EXPECT_EQ(StrToIntVal("42"), 42);
    EXPECT_EQ(StrToIntVal("-17"), -17);
    EXPECT_EQ(StrToIntVal(""), 0);
    EXPECT_EQ(StrToIntVal("12a"), 0);
    EXPECT_EQ(StrToIntVal("99999999999"), 0);
    EXPECT_EQ(StrToIntVal("$1F"), 31);

    EXPECT_EQ(IntToHex16(0x1ABCD, 4), "ABCD");
    EXPECT_EQ(IntToHex16(0x5, 2), "05");
    EXPECT_EQ(IntToHex32(0x65766173, 8), "65766173");
    EXPECT_EQ(HexToInt16("0000ABCD"), 0xABCD);
    EXPECT_EQ(HexToInt16("1ABCD"), 0xABCD);
    EXPECT_EQ(HexToInt16("ab"), 0);  // lower case is not read
    EXPECT_EQ(HexToInt16(" 12 34 "), 0x34);
    EXPECT_EQ(HexToInt16(""), 0);
    EXPECT_EQ(HexToInt32("Wert: 12345678"), 0x12345678u);
}
