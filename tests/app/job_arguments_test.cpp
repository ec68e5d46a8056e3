// The start jobs' arguments, the job's file name on a case-sensitive file system, and the
// object read-out list.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/pages/jobs/job_arguments.h"
#include "program/program_context.h"
#include "program/program_dirs.h"
#include "tests/support/temp_folder.h"

namespace {

TEST(JobArguments, NumbersMustBeWrittenAsNumbers) {
    int32_t v = 7;
    for (const char* good : {"0", "3", " 12 ", "-1", "+5", "2147483647", "-2147483648"}) {
        SCOPED_TRACE(good);
        EXPECT_TRUE(ParseJobNumber(good, v));
    }
    EXPECT_EQ(INT32_MIN, v);
    for (const char* bad : {"", " ", "-", "x3", "3x", "1.5", "0x10", "$10", "2147483648", "1 2"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(ParseJobNumber(bad, v));
    }
}

TEST(JobArguments, FieldsAfterTheKeyAreTrimmed) {
    TNetInfoJob net;
    std::string error;
    ASSERT_TRUE(ParseNetInfoJob("/NETINFO, 3 , show", net, error));
    EXPECT_EQ(3, net.Port);
    EXPECT_EQ("SHOW", net.Mode);
    EXPECT_FALSE(ParseNetInfoJob("/NETINFO", net, error));
    EXPECT_EQ("port \"\" is not a number", error);

    TReadOdJob rod;
    ASSERT_TRUE(ParseReadOdJob("/READOD, OD.INI ,-1,0", rod, error));
    EXPECT_EQ("OD.INI", rod.File);
    EXPECT_EQ(-1, rod.Interval);
    EXPECT_EQ(0, rod.Port);
    EXPECT_FALSE(ParseReadOdJob("/READOD,OD.INI,500", rod, error));
    EXPECT_EQ("port \"\" is not a number", error);
    EXPECT_FALSE(ParseReadOdJob("/READOD,OD.INI,5OO,3", rod, error));
    EXPECT_EQ("interval \"5OO\" is not a number", error);
}

class JobFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = temp_.Path().string();
        saved_ = Program().BaseDir;
        Program().BaseDir = dir_ + "/";
    }
    void TearDown() override { Program().BaseDir = saved_; }
    void Write(const std::string& path, const std::string& text) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    TempFolder temp_{"tovak-jobfile"};
    std::string dir_, saved_;
};

TEST_F(JobFiles, UpperCasedNamesFindTheirFiles) {
    Write(dir_ + "/od.ini", "");
    Write(dir_ + "/Lists/Door Box.ini", "");
    EXPECT_EQ(dir_ + "/od.ini", JobFilePath("OD.INI"));
    EXPECT_EQ(dir_ + "/NEW.INI", JobFilePath("NEW.INI"));  // not there: the name as given
    // A path is matched part by part; the folder of the test is lower case already.
    EXPECT_EQ(dir_ + "/Lists/Door Box.ini", JobFilePath(dir_ + "/LISTS/DOOR BOX.INI"));
    EXPECT_EQ(dir_ + "/Lists/GONE.INI", JobFilePath(dir_ + "/LISTS/GONE.INI"));
}

TEST_F(JobFiles, EntriesSkipUnusedPlacesAndKeepTheirNames) {
    Write(dir_ + "/OD.INI",
          "[ENTRIES]\r\n"
          "01= 66 , 2a00 , 14 , Box setting \r\n"
          "02=0,1000,0,unused\r\n"
          "04=65,1018,1,Ident, vendor\r\n"
          "10=255,FFFF,255\r\n");
    const TOdEntries e = ReadOdEntries(dir_ + "/OD.INI");
    EXPECT_EQ(66, e[0].Node);
    EXPECT_EQ(0x2A00, e[0].Index);
    EXPECT_EQ(14, e[0].Sub);
    EXPECT_EQ("Box setting", e[0].Name);
    EXPECT_EQ(0, e[1].Node);
    EXPECT_EQ(0, e[2].Node);
    EXPECT_EQ("Ident, vendor", e[3].Name);
    EXPECT_EQ(0xFFFF, e[9].Index);
    EXPECT_EQ(255, e[9].Sub);
    EXPECT_EQ("", e[9].Name);
    for (const TOdEntry& x : ReadOdEntries(dir_ + "/MISSING.INI")) EXPECT_EQ(0, x.Node);
}

TEST_F(JobFiles, EntriesThatNameNoObjectAreSkippedWithTheReason) {
    Write(dir_ + "/OD.INI",
          "[ENTRIES]\r\n"
          "01=300,1018,1,node cut to 44\r\n"
          "02=-1,1018,1,node cut to 255\r\n"
          "03=65,ZZZZ,1,index read as 0\r\n"
          "04=65,12345,1,index cut\r\n"
          "05=65,1018,999,sub cut\r\n"
          "06=65 1018 1 no commas\r\n"
          "07=66\r\n"
          "08=\x01\xFF,\x02\r\n"
          "09=$41,0x2200,0,written as the run-time library reads them\r\n"
          "10=\r\n");
    std::vector<std::string> skipped;
    const TOdEntries e = ReadOdEntries(dir_ + "/OD.INI", &skipped);
    for (size_t i = 0; i < 8; ++i) EXPECT_EQ(0, e[i].Node) << i;
    EXPECT_EQ(0x41, e[8].Node);
    EXPECT_EQ(0x2200, e[8].Index);
    EXPECT_EQ(0, e[9].Node);
    const std::vector<std::string> want = {
        "entry 01 is skipped: its node is not a number from 0 to 255",
        "entry 02 is skipped: its node is not a number from 0 to 255",
        "entry 03 is skipped: its index is not 1 to 4 hex digits",
        "entry 04 is skipped: its index is not 1 to 4 hex digits",
        "entry 05 is skipped: its sub-index is not a number from 0 to 255",
        "entry 06 is skipped: its node is not a number from 0 to 255",
        "entry 07 is skipped: its index is not 1 to 4 hex digits",
        "entry 08 is skipped: its node is not a number from 0 to 255",
    };
    EXPECT_EQ(want, skipped);

    skipped.clear();
    for (const TOdEntry& x : ReadOdEntries("/dev/zero", &skipped)) EXPECT_EQ(0, x.Node);
    EXPECT_EQ(std::vector<std::string>{"no entries read: not a plain file"}, skipped);
}

}  // namespace
