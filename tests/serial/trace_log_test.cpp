#include "serial/ser_dispatcher.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "platform/sync/clock.h"
#include "tests/support/temp_folder.h"

namespace {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST(Trace, DumpWritesSectionsPerDirection) {
    TSerWin32Dispatcher d(nullptr);
    ASSERT_EQ(0, d.InitTracing(100));
    d.AddTraceEntry('R', 'A');
    d.AddTraceEntry('R', 'B');
    d.AddTraceEntry('R', 13);
    d.AddTraceEntry('T', 'x');
    const TempFolder folder("tovak-trace");
    const std::string path = folder.File("trace-plain");
    ASSERT_EQ(0, d.DumpTrace(path, false));
    EXPECT_EQ("Receive: \r\nAB[13]\r\n\r\nTransmit: \r\nx", ReadFile(path));

    // In hex a blank is bracketed; the dump ended the trace.
    EXPECT_EQ(0, d.DumpTrace(path, true));
    ASSERT_EQ(0, d.InitTracing(100));
    d.AddTraceEntry('T', ' ');
    d.AddTraceEntry('T', 0x7F);
    d.AddTraceEntry('Z', 'q');
    ASSERT_EQ(0, d.DumpTrace(path, true));
    EXPECT_EQ("Transmit: \r\n[20][7F]\r\n\r\nSpecial-Z: \r\nq", ReadFile(path));
}

TEST(Trace, WrapsLinesAt79ColumnsAndKeepsTheNewestEntries) {
    TSerWin32Dispatcher d(nullptr);
    ASSERT_EQ(0, d.InitTracing(100));
    for (int i = 0; i < 130; ++i) d.AddTraceEntry('R', static_cast<char>('0' + i % 10));
    const TempFolder folder("tovak-trace");
    const std::string path = folder.File("trace-wrap");
    ASSERT_EQ(0, d.DumpTrace(path, false));
    std::string text = ReadFile(path);
    // 100 newest entries: 30..129, 78 on the first line.
    std::string expected = "Receive: \r\n";
    std::string bytes;
    for (int i = 30; i < 130; ++i) bytes += static_cast<char>('0' + i % 10);
    expected += bytes.substr(0, 78) + "\r\n" + bytes.substr(78);
    EXPECT_EQ(expected, text);
    EXPECT_EQ(-1002, d.InitTracing(4000001));
}

TEST(DispatchLog, DumpFormat) {
    ScopedManualClock clock;
    TSerWin32Dispatcher d(nullptr);
    ASSERT_EQ(0, d.InitDispatchLogging(1000));
    d.AddDispatchEntry(1, 1, 3, "AB\r", 3);
    clock->Advance(1234);
    d.AddDispatchEntry(2, 5, 3, nullptr, 0);
    d.AddDispatchEntry(1, 4, 0x30, nullptr, 0);
    d.AddDispatchEntry(1, 2, 990, std::string(990, 'z').data(), 990);  // cannot fit: refused whole
    const TempFolder folder("tovak-trace");
    const std::string path = folder.File("dispatch-log");
    ASSERT_EQ(0, d.DumpDispatchLog(path, true));
    std::string text = ReadFile(path);
    std::istringstream lines(text);
    std::string line;
    std::vector<std::string> all;
    while (std::getline(lines, line)) all.push_back(line);
    ASSERT_EQ(8u, all.size()) << text;
    EXPECT_EQ("SERIAL v1.00\r", all[0]);
    EXPECT_EQ(0u, all[1].rfind("Compiler : ", 0));
    EXPECT_EQ(0u, all[2].rfind("Operating System : ", 0));
    EXPECT_EQ("Time      Type      SubType       Data      OtherData\r", all[3]);
    EXPECT_EQ("--------  --------  ------------  --------  ---------\r", all[4]);
    EXPECT_EQ("0001.000  Dispatch  ReadCom       00000003  AB[0D]\r", all[5]);
    EXPECT_EQ("0002.234  Trigger   Avail         00000003  \r", all[6]);
    EXPECT_EQ("0002.234  Dispatch                00000030   (CTS DSR)\r", all[7]);

    // From 10,000 s on the time keeps its point before the fifth character.
    ASSERT_EQ(0, d.InitDispatchLogging(1000));
    clock->Advance(12345678 - 2234);
    d.AddDispatchEntry(2, 5, 1, nullptr, 0);
    ASSERT_EQ(0, d.DumpDispatchLog(path, true));
    text = ReadFile(path);
    EXPECT_NE(std::string::npos, text.find("\n1234.5678  Trigger   Avail         00000001  \r")) << text;
}
